#!/usr/bin/env python3
"""Pixel checks of the picture interior in a screenshot against the renderer's PNG.

pixels.py same SHOT X Y REF           exit 0 when the W x H interior at (X, Y) equals REF
pixels.py stopped SHOT X Y REF BG     exit 0 when a prefix of columns equals REF and every
                                      later column is all BG (prints the prefix length)
pixels.py differ A B                  exit 0 when two greyscale PNGs of one size differ
pixels.py part SHOT X Y REF L T W H   exit 0 when the W x H rectangle at (X, Y) equals the one at
                                      (L, T) of REF
pixels.py rgb SHOT X Y W H OUT        writes the rectangle's colours (raw bytes) to OUT
"""
import os
import struct
import subprocess
import sys
import zlib


def decode_grey_png(png):
    """Width, height and greys of an 8-bit greyscale PNG (as the renderer writes it). Decoded here,
    since ImageMagick's usual policy refuses images higher than 16K pixels."""
    data = open(png, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{png} is not a PNG file")
    pos, idat, w, h = 8, [], 0, 0
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour, interlace) != (8, 0, 0):
                raise ValueError(f"{png} is not an 8-bit greyscale PNG")
        elif kind == b"IDAT":
            idat.append(body)
    raw = zlib.decompress(b"".join(idat))
    out = bytearray(w * h)
    prev = bytearray(w)
    for y in range(h):
        kind = raw[y * (w + 1)]
        line = bytearray(raw[y * (w + 1) + 1:(y + 1) * (w + 1)])
        if kind == 1:
            for x in range(1, w):
                line[x] = (line[x] + line[x - 1]) & 255
        elif kind == 2:
            for x in range(w):
                line[x] = (line[x] + prev[x]) & 255
        elif kind == 3:
            for x in range(w):
                left = line[x - 1] if x else 0
                line[x] = (line[x] + ((left + prev[x]) >> 1)) & 255
        elif kind == 4:
            for x in range(w):
                a = line[x - 1] if x else 0
                b, c = prev[x], (prev[x - 1] if x else 0)
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out[y * w:(y + 1) * w] = line
        prev = line
    return w, h, bytes(out)


def reference(png):
    """decode_grey_png, kept beside the PNG so that polling decodes it once."""
    stat = os.stat(png)
    cache = f"{png}-{stat.st_size}-{stat.st_mtime_ns}.grey"
    if os.path.exists(cache):
        with open(cache, "rb") as f:
            w, h = (int(v) for v in f.readline().split())
            return w, h, f.read()
    w, h, greys = decode_grey_png(png)
    with open(cache + ".part", "wb") as f:
        f.write(f"{w} {h}\n".encode() + greys)
    os.replace(cache + ".part", cache)
    return w, h, greys


def size_of(png):
    w, h, _ = reference(png)
    return w, h


def greys_of(png):
    return reference(png)[2]


def ref_part(png, left, top, w, h):
    width, height, greys = reference(png)
    if left < 0 or top < 0 or left + w > width or top + h > height:
        return b""
    return b"".join(greys[(top + r) * width + left:(top + r) * width + left + w] for r in range(h))


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


def matches(got, want, w, h):
    """0 when the shown w x h pixels equal the wanted ones, else 1 with the count that differ."""
    if got is not None and got == want and len(want) == w * h:
        return 0
    if got is not None:
        bad = sum(1 for a, b in zip(got, want) if a != b)
        print(f"{bad} of {w * h} pixels differ", file=sys.stderr)
    return 1


def main(argv):
    cmd = argv[1] if len(argv) > 1 else ""
    if cmd == "same":
        shot, x, y, ref = argv[2], int(argv[3]), int(argv[4]), argv[5]
        w, h = size_of(ref)
        return matches(crop(shot, x, y, w, h), greys_of(ref), w, h)
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
    if cmd == "part":
        shot, x, y, ref = argv[2], int(argv[3]), int(argv[4]), argv[5]
        left, top, w, h = (int(v) for v in argv[6:10])
        return matches(crop(shot, x, y, w, h), ref_part(ref, left, top, w, h), w, h)
    if cmd == "rgb":
        shot, x, y, w, h, out = argv[2], int(argv[3]), int(argv[4]), int(argv[5]), int(argv[6]), argv[7]
        rgb = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                              "rgb:-"], check=True, capture_output=True).stdout
        with open(out, "wb") as f:
            f.write(rgb)
        return 0 if len(rgb) == 3 * w * h else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
