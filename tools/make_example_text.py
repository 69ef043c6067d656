#!/usr/bin/env python3
"""Writes the example text level-map export: per microphone a table of rows of ten numbers whose
sixth is the squared sound pressure of one time step (relative to 1e-4 Pa^2, so that the
loudest cells lie above 0 dB). The microphones stand in a row moving away
from the source in a hall: the direct sound arrives later and weaker with distance, a floor and a
wall reflection follow, a decaying diffuse tail and a little noise fill the rest.
Deterministic: the same file on every machine. Every block begins with its own marker line.
Usage: make_example_text.py OUT [MICROPHONES]"""

import math
import sys

SPEED = 343.0       # m/s
TIME = 0.05         # s of response per table
PRECISION = 0.0002  # s per row


class Lcg:
    """Small deterministic generator, uniform in [0, 1)."""

    def __init__(self):
        self.state = 0x5EED

    def next(self):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 11) / 9007199254740992.0


def pulse(t, arrival, strength):
    width = 0.0004
    return strength * math.exp(-((t - arrival) / width) ** 2)


def main():
    out = sys.argv[1]
    mics = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    rows = math.floor(TIME / PRECISION)  # the reader's own division
    noise = Lcg()
    lines = ["Level map export", "Program    = example generator", "Quantity   = p^2 relative to 1e-4 Pa^2",
             f"Microphones = {mics}", f"Time           = {TIME}", f"Precision      = {PRECISION}"]
    for m in range(1, mics + 1):
        distance = 2.0 + 0.75 * (m - 1)
        floor_path = math.hypot(distance, 2 * 1.5)
        wall_path = math.hypot(distance, 2 * 6.0)
        lines += [f"[Microphone {m}]", f"Distance   = {distance:.2f} m", "Height     = 1.50 m",
                  "Source     = 1", "Average    = 16", "Window     = none",
                  "t, p, p_max, p_min, p^2 smooth, p^2, L, x, y, z"]
        for t_index in range(1, rows + 1):
            t = t_index * PRECISION
            energy = (pulse(t, distance / SPEED, 1.0 / distance ** 2)
                      + pulse(t, floor_path / SPEED, 0.5 / floor_path ** 2)
                      + pulse(t, wall_path / SPEED, 0.3 / wall_path ** 2))
            if t > distance / SPEED:
                energy += 0.002 * math.exp(-(t - distance / SPEED) / 0.012)
            energy += 1e-6 * noise.next()
            energy *= 1e4
            p = math.sqrt(energy)
            row = [t, p, p * 1.2, -p * 1.2, energy * 0.9, energy,
                   10 * math.log10(energy), distance, 0.0, 1.5]
            lines.append(", ".join(f"{v:.4e}" for v in row))
    with open(out, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
