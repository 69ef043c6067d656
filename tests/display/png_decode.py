#!/usr/bin/env python3
"""A PNG decoder independent of Qt, for the PNG writer's tests: checks the signature, every
chunk's CRC and the zlib stream, undoes the five row filters and compares the pixels with a raw
file of width * channels bytes per row.

Usage: png_decode.py IMAGE.png RAW WIDTH HEIGHT CHANNELS; exits 0 when they agree."""
import struct
import sys
import zlib

COLOUR_TYPES = {1: 0, 3: 2, 4: 6}  # channels -> PNG colour type


def chunks(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    at = 8
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError("bad CRC in " + kind.decode())
        yield kind, body
        at += 12 + length
        if kind == b"IEND":
            if at != len(data):
                raise ValueError("bytes after IEND")
            return
    raise ValueError("no IEND")


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    if len(raw) != height * (stride + 1):
        raise ValueError("decompressed size %d, expected %d" % (len(raw), height * (stride + 1)))
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        if kind > 4:
            raise ValueError("filter type %d in row %d" % (kind, y))
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 2:
            row = bytearray((a + b) & 0xFF for a, b in zip(row, previous))
        for i in range(stride if kind not in (0, 2) else 0):
            left = row[i - bpp] if i >= bpp else 0
            up = previous[i]
            if kind == 1:
                predicted = left
            elif kind == 3:
                predicted = (left + up) // 2
            elif kind == 4:
                predicted = paeth(left, up, previous[i - bpp] if i >= bpp else 0)
            row[i] = (row[i] + predicted) & 0xFF
        rows.append(bytes(row))
        previous = row
    return b"".join(rows)


def main():
    png, raw_path, width, height, channels = sys.argv[1:6]
    width, height, channels = int(width), int(height), int(channels)
    header, idat = None, b""
    for kind, body in chunks(open(png, "rb").read()):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    expected = (width, height, 8, COLOUR_TYPES[channels], 0, 0, 0)
    if header != expected:
        raise ValueError("IHDR %r, expected %r" % (header, expected))
    pixels = unfilter(zlib.decompress(idat), width, height, channels)
    if pixels != open(raw_path, "rb").read():
        raise ValueError("pixels differ")


if __name__ == "__main__":
    try:
        main()
    except ValueError as e:
        print("png_decode: " + str(e), file=sys.stderr)
        sys.exit(1)
