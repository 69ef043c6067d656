#!/usr/bin/python3
"""The map as a scientist would make it with numpy and matplotlib, the peer that bench/peer_ratios
times the renderer against: read the whole file, compute the same levels, save the grey map.

Usage: numpy_peer.py [--period P] [--range DB] FILE OUT.png
The kind comes from the text after the first "." of the file's name, as for the renderer.
"""
import argparse
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

PCM_RATE = 60606
DECIMATION = 4
MAX_ROWS = 400


def recording_levels(samples, rate, period):
    """Slices of 4 samples at the start of each period: 10 ln of their energy (0 when silent)."""
    last = round(period * rate - 1) if period < 10 else round(period - 1)
    rows = min(round(last / DECIMATION - 1), MAX_ROWS)
    mics = round(len(samples) / last)
    used = np.zeros((mics, rows * DECIMATION), dtype=np.float32)
    for m in range(mics):
        block = samples[m * (last + 1):m * (last + 1) + rows * DECIMATION]
        used[m, :len(block)] = block
    energy = (used.reshape(mics, rows, DECIMATION) ** 2).sum(axis=2, dtype=np.float32)
    with np.errstate(divide="ignore"):
        levels = np.where(energy > 0, 10 * np.log(energy.astype(np.float64)), 0.0)
    return levels.T.astype(np.float32)


def mls_levels(path):
    """20 ln(re^2 + im^2) of every point, one column per microphone."""
    header = np.fromfile(path, dtype="<i4", count=2)
    points, mics = int(header[0]) // 2, int(header[1])
    data = np.fromfile(path, dtype="<f4", offset=8, count=2 * points * mics)
    data = data.reshape(mics, points, 2).astype(np.float64)
    power = (data[:, :, 0] ** 2 + data[:, :, 1] ** 2).astype(np.float32)
    with np.errstate(divide="ignore"):
        levels = np.where(power > 0, 20 * np.log(power.astype(np.float64)), 0.0)
    return levels.T.astype(np.float32)


def text_levels(path):
    """10 log10 of the sixth number of each table row (-100 for 0 and below)."""
    mics = None
    columns = []
    with open(path) as text:
        for line in text:
            if mics is None and line.startswith("Microphones ="):
                mics = int(float(line.split("=")[1]))
            fields = line.split(",")
            if len(fields) == 10:
                try:
                    columns.append(float(fields[5]))
                except ValueError:
                    pass
    values = np.array(columns).reshape(mics, -1)
    with np.errstate(divide="ignore", invalid="ignore"):
        levels = np.where(values > 0, 10 * np.log10(values), -100.0)
    return levels.T.astype(np.float32)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--period", type=float)
    parser.add_argument("--range", type=float, default=100.0)
    parser.add_argument("file")
    parser.add_argument("out")
    args = parser.parse_args()
    kind = os.path.basename(args.file).partition(".")[2].upper()
    if kind == "MLS":
        levels = mls_levels(args.file)
    elif kind == "PCM":
        levels = recording_levels(np.fromfile(args.file, dtype="<f4"), PCM_RATE, args.period)
    elif kind == "WAV":
        rate = int(np.fromfile(args.file, dtype="<i4", count=1, offset=24)[0])
        samples = np.fromfile(args.file, dtype="<i2", offset=44).astype(np.float32)
        levels = recording_levels(samples, rate, args.period)
    else:
        levels = text_levels(args.file)
    peak = levels.max()
    # The loudest level black, a level the range below it or lower white.
    plt.imsave(args.out, levels, cmap="gray_r", vmin=peak - args.range, vmax=peak)


if __name__ == "__main__":
    main()
