#!/usr/bin/env python3
"""Draws the profile picker's drop-down glyph next to this script.

A 17 x 17 pixel, 32-bit picture: a down-pointing triangle in the window's
dark blue over a white ground. The edit button draws the colour of the
bottom-left pixel transparent, so only the triangle shows on the button.
Only the standard library is used:

    python3 assets/picker/draw_glyph.py
"""

import os
import struct
import zlib

SIZE = 17
GROUND = (255, 255, 255, 255)
INK = (8, 55, 114, 255)  # the window's dark blue, 0x723708 as 0x00BBGGRR
TOP, ROWS = 6, 5         # the triangle's first row and its height


def pixel(x, y):
    row = y - TOP
    if 0 <= row < ROWS:
        half = ROWS - 1 - row
        if abs(x - SIZE // 2) <= half:
            return INK
    return GROUND


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dropdown-17.png")
    with open(path, "wb") as f:
        f.write(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
