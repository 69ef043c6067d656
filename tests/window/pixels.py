#!/usr/bin/env python3
"""Pixel checks of the picture interior in a screenshot against the renderer's PNG.

The references may be greyscale (compared as greys: every shown pixel must be grey) or colour
PNGs (compared as RGB).

pixels.py same SHOT X Y REF           exit 0 when the W x H interior at (X, Y) equals REF
pixels.py stopped SHOT X Y REF BG     exit 0 when a prefix of columns equals REF and every
                                      later column is all BG (prints the prefix length)
pixels.py differ A B                  exit 0 when two PNGs differ
pixels.py equal A B                   exit 0 when two PNGs hold the same colours
pixels.py part SHOT X Y REF L T W H   exit 0 when the W x H rectangle at (X, Y) equals the one at
                                      (L, T) of REF
pixels.py loudest SHOT X Y REF OUT    exit 0 when the interior at (X, Y) equals the loudest-cell
                                      reduction of the greyscale REF: one pixel per OUT x OUT
                                      block of its pixels, the block's darkest grey
pixels.py stretched SHOT X Y REF KX KY
                                      exit 0 when the interior at (X, Y) equals the greyscale REF
                                      with every pixel KX wide and KY high
pixels.py rgb SHOT X Y W H OUT        writes the rectangle's colours (raw bytes) to OUT
"""
import os
import struct
import subprocess
import sys
import zlib


# Channels of each PNG colour type: grey, RGB, palette, grey + alpha, RGBA.
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def unfilter(raw, h, stride, bpp):
    """The scanlines of a non-interlaced PNG's inflated data, filters undone, joined."""
    out = bytearray(h * stride)
    prev = bytes(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for x in range(bpp, stride):
                line[x] = (line[x] + line[x - bpp]) & 255
        elif kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, prev))
        elif kind == 3:
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                line[x] = (line[x] + ((left + prev[x]) >> 1)) & 255
        elif kind == 4:
            for x in range(stride):
                a = line[x - bpp] if x >= bpp else 0
                b, c = prev[x], (prev[x - bpp] if x >= bpp else 0)
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        elif kind != 0:
            raise ValueError(f"unknown PNG filter {kind}")
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return out


def decode_png(png):
    """Width, height, channels (1: grey, 3: RGB) and pixels of a non-interlaced PNG of 8 bits a
    sample (palettes also of 1, 2 or 4 bits), as the renderer and the toolkit write them. Decoded
    here, since ImageMagick's usual policy refuses images higher than 16K pixels. Alpha must be
    opaque and is dropped; a palette's colours become RGB."""
    data = open(png, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{png} is not a PNG file")
    pos, idat, w, h, depth, colour, plte = 8, [], 0, 0, 0, 0, b""
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if colour not in CHANNELS or interlace != 0 or not (
                    depth == 8 or (colour == 3 and depth in (1, 2, 4))):
                raise ValueError(f"{png}: colour type {colour}, depth {depth}, interlace "
                                 f"{interlace} is not read here")
        elif kind == b"PLTE":
            plte = body
        elif kind == b"IDAT":
            idat.append(body)
    channels = CHANNELS[colour]
    stride = (w * channels * depth + 7) // 8
    pixels = unfilter(zlib.decompress(b"".join(idat)), h, stride, max(1, channels * depth // 8))
    if colour == 0:
        return w, h, 1, bytes(pixels)
    if colour == 2:
        return w, h, 3, bytes(pixels)
    if colour in (4, 6):
        if any(a != 255 for a in pixels[channels - 1::channels]):
            raise ValueError(f"{png} is not opaque")
        if colour == 4:
            return w, h, 1, bytes(pixels[0::2])
        rgb = bytearray(w * h * 3)
        for c in range(3):
            rgb[c::3] = pixels[c::4]
        return w, h, 3, bytes(rgb)
    # A palette: indices of `depth` bits, the first pixel in the high bits.
    colours = [plte[3 * i:3 * i + 3] for i in range(len(plte) // 3)]
    per_byte = 8 // depth
    rgb = bytearray()
    for y in range(h):
        line = pixels[y * stride:(y + 1) * stride]
        for x in range(w):
            byte = line[x // per_byte]
            index = (byte >> (8 - depth * (x % per_byte + 1))) & ((1 << depth) - 1)
            if index >= len(colours):
                raise ValueError(f"{png}: palette index {index} beyond the palette")
            rgb += colours[index]
    return w, h, 3, bytes(rgb)


def reference(png):
    """decode_png, kept beside the PNG so that polling decodes it once."""
    stat = os.stat(png)
    cache = f"{png}-{stat.st_size}-{stat.st_mtime_ns}.pixels"
    if os.path.exists(cache):
        with open(cache, "rb") as f:
            w, h, channels = (int(v) for v in f.readline().split())
            return w, h, channels, f.read()
    w, h, channels, pixels = decode_png(png)
    with open(cache + ".part", "wb") as f:
        f.write(f"{w} {h} {channels}\n".encode() + pixels)
    os.replace(cache + ".part", cache)
    return w, h, channels, pixels


def size_of(png):
    w, h, _, _ = reference(png)
    return w, h


def greys_of(png):
    """The greys of a greyscale PNG."""
    _, _, channels, pixels = reference(png)
    if channels != 1:
        raise ValueError(f"{png} is not a greyscale PNG")
    return pixels


def as_rgb(channels, pixels):
    return pixels if channels == 3 else bytes(v for v in pixels for _ in range(3))


def ref_part(png, left, top, w, h):
    """Channels and pixels of the w x h rectangle at (left, top) of png; no pixels when it does
    not lie inside."""
    width, height, channels, pixels = reference(png)
    if left < 0 or top < 0 or left + w > width or top + h > height:
        return channels, b""
    row = lambda r: pixels[((top + r) * width + left) * channels:
                           ((top + r) * width + left + w) * channels]
    return channels, b"".join(row(r) for r in range(h))


def crop_rgb(shot, x, y, w, h):
    """Colours of the w x h rectangle at (x, y) of the screenshot, 3 bytes a pixel."""
    return subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                           "rgb:-"], check=True, capture_output=True).stdout


def crop(shot, x, y, w, h, channels=1):
    """The w x h rectangle at (x, y): its colours for channels 3; for 1 its greys, None when a
    pixel is not grey."""
    rgb = crop_rgb(shot, x, y, w, h)
    if len(rgb) != 3 * w * h:
        return None
    if channels == 3:
        return rgb
    r, g, b = rgb[0::3], rgb[1::3], rgb[2::3]
    if r != g or g != b:
        return None
    return r


def matches(got, want, w, h, channels=1):
    """0 when the shown w x h pixels equal the wanted ones, else 1 with the count that differ."""
    if got is not None and got == want and len(want) == w * h * channels:
        return 0
    if got is None:
        print("the interior is not grey, or not all on the screen", file=sys.stderr)
    elif len(want) != w * h * channels:
        print("the wanted rectangle lies outside the reference", file=sys.stderr)
    else:
        bad = sum(1 for i in range(0, len(want), channels)
                  if got[i:i + channels] != want[i:i + channels])
        first = next(i for i in range(0, len(want), channels)
                     if got[i:i + channels] != want[i:i + channels]) // channels
        print(f"{bad} of {w * h} pixels differ, the first at ({first % w}, {first // w}): "
              f"{list(got[first * channels:(first + 1) * channels])} instead of "
              f"{list(want[first * channels:(first + 1) * channels])}", file=sys.stderr)
    return 1


def loudest(png, out):
    """Width, height and greys of the loudest-cell reduction of a greyscale PNG: one pixel per
    out x out block of cells (those at the right and bottom edges cut short), the block's darkest
    grey."""
    w, h, greys = *size_of(png), greys_of(png)
    bw, bh = -(-w // out), -(-h // out)
    reduced = bytearray(bw * bh)
    for by in range(bh):
        for bx in range(bw):
            left, right = bx * out, min(w, (bx + 1) * out)
            reduced[by * bw + bx] = min(min(greys[r * w + left:r * w + right])
                                        for r in range(by * out, min(h, (by + 1) * out)))
    return bw, bh, bytes(reduced)


def main(argv):
    cmd = argv[1] if len(argv) > 1 else ""
    if cmd == "same":
        shot, x, y, ref = argv[2], int(argv[3]), int(argv[4]), argv[5]
        w, h, channels, want = reference(ref)
        return matches(crop(shot, x, y, w, h, channels), want, w, h, channels)
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
        return 0 if reference(argv[2])[2:] != reference(argv[3])[2:] else 1
    if cmd == "equal":
        (wa, ha, ca, a), (wb, hb, cb, b) = reference(argv[2]), reference(argv[3])
        if (wa, ha) != (wb, hb):
            print(f"{argv[2]} is {wa} x {ha}, {argv[3]} {wb} x {hb}", file=sys.stderr)
            return 1
        return matches(as_rgb(ca, a), as_rgb(cb, b), wa, ha, 3)
    if cmd == "part":
        shot, x, y, ref = argv[2], int(argv[3]), int(argv[4]), argv[5]
        left, top, w, h = (int(v) for v in argv[6:10])
        channels, want = ref_part(ref, left, top, w, h)
        return matches(crop(shot, x, y, w, h, channels), want, w, h, channels)
    if cmd == "loudest":
        shot, x, y, ref, out = argv[2], int(argv[3]), int(argv[4]), argv[5], int(argv[6])
        cache = f"{ref}.loudest{out}"
        if not os.path.exists(cache):
            w, h, greys = loudest(ref, out)
            with open(cache + ".part", "wb") as f:
                f.write(f"{w} {h}\n".encode() + greys)
            os.replace(cache + ".part", cache)
        with open(cache, "rb") as f:
            w, h = (int(v) for v in f.readline().split())
            want = f.read()
        return matches(crop(shot, x, y, w, h), want, w, h)
    if cmd == "stretched":
        shot, x, y, ref, kx, ky = argv[2], int(argv[3]), int(argv[4]), argv[5], int(argv[6]), int(argv[7])
        w, h, greys = *size_of(ref), greys_of(ref)
        want = b"".join(bytes(v for v in greys[r * w:(r + 1) * w] for _ in range(kx)) * 1
                        for r in range(h) for _ in range(ky))
        return matches(crop(shot, x, y, w * kx, h * ky), want, w * kx, h * ky)
    if cmd == "rgb":
        shot, x, y, w, h, out = argv[2], int(argv[3]), int(argv[4]), int(argv[5]), int(argv[6]), argv[7]
        rgb = crop_rgb(shot, x, y, w, h)
        with open(out, "wb") as f:
            f.write(rgb)
        return 0 if len(rgb) == 3 * w * h else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
