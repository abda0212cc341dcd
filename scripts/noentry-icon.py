#!/usr/bin/env python3
"""Draws the rejection windows' header icon "noentry_32.png": a red no-entry disc with a white bar.

Run it again only to change the picture; the PNG it writes is kept in the repository:
    python3 scripts/noentry-icon.py src/quotes/ui/icons/noentry_32.png
"""
import math
import struct
import sys
import zlib

SIZE = 32
SAMPLES = 4  # per axis, for smooth edges


def colour_at(x, y):
    """RGBA of one point of the picture (coordinates in pixels, centre at 16,16)."""
    c = SIZE / 2
    r = math.hypot(x - c, y - c)
    if r > 15.0:
        return None
    if r > 13.6:
        return (140, 0, 0, 255)  # the rim
    if abs(y - c) <= 3.0 and abs(x - c) <= 9.5:
        return (255, 255, 255, 255)  # the bar
    return (214, 24, 24, 255)


def pixel(px, py):
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            c = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if c:
                for i in range(3):
                    acc[i] += c[i]
                acc[3] += 255
    n = SAMPLES * SAMPLES
    covered = acc[3] / 255
    if covered == 0:
        return bytes((0, 0, 0, 0))
    return bytes((round(acc[0] / covered), round(acc[1] / covered), round(acc[2] / covered), round(acc[3] / n)))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def main(path):
    rows = b"".join(b"\x00" + b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "noentry_32.png")
