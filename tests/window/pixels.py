#!/usr/bin/env python3
"""Pixel checks of the picture interior in a screenshot against the renderer's PNG.

pixels.py same SHOT X Y REF           exit 0 when the W x H interior at (X, Y) equals REF
pixels.py stopped SHOT X Y REF BG     exit 0 when a prefix of columns equals REF and every
                                      later column is all BG (prints the prefix length)
pixels.py differ A B                  exit 0 when two greyscale PNGs of one size differ
pixels.py crop SHOT X Y W H OUT       writes the interior's greys (raw bytes) to OUT
"""
import subprocess
import sys


def size_of(png):
    out = subprocess.run(["identify", "-format", "%w %h", png], check=True,
                         capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def greys_of(png):
    return subprocess.run(["convert", png, "-depth", "8", "gray:-"], check=True,
                          capture_output=True).stdout


def crop(shot, x, y, w, h):
    """Greys of the w x h rectangle at (x, y); None when a pixel is not grey."""
    rgb = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    if len(rgb) != 3 * w * h:
        return None
    r, g, b = rgb[0::3], rgb[1::3], rgb[2::3]
    if r != g or g != b:
        return None
    return r


def main(argv):
    cmd = argv[1]
    if cmd == "same":
        shot, x, y, ref = argv[2], int(argv[3]), int(argv[4]), argv[5]
        w, h = size_of(ref)
        got = crop(shot, x, y, w, h)
        want = greys_of(ref)
        if got == want:
            return 0
        if got is not None:
            bad = sum(1 for a, b in zip(got, want) if a != b)
            print(f"{bad} of {w * h} pixels differ", file=sys.stderr)
        return 1
    if cmd == "stopped":
        shot, x, y, ref, bg = argv[2], int(argv[3]), int(argv[4]), argv[5], int(argv[6])
        w, h = size_of(ref)
        got = crop(shot, x, y, w, h)
        want = greys_of(ref)
        if got is None:
            print("the interior is not grey", file=sys.stderr)
            return 1
        column = lambda data, c: data[c::w]
        k = 0
        while k < w and column(got, k) == column(want, k):
            k += 1
        print(k)
        rest = all(all(v == bg for v in column(got, c)) for c in range(k, w))
        return 0 if 1 <= k < w and rest else 1
    if cmd == "differ":
        return 0 if greys_of(argv[2]) != greys_of(argv[3]) else 1
    if cmd == "crop":
        shot, x, y, w, h, out = argv[2], int(argv[3]), int(argv[4]), int(argv[5]), int(argv[6]), argv[7]
        data = crop(shot, x, y, w, h)
        with open(out, "wb") as f:
            f.write(data or b"")
        return 0 if data is not None else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
