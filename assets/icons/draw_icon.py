#!/usr/bin/env python3
"""Draws the program's icon next to this script, as SVG and as PNGs.

The artwork is described once, on a 256-unit square: a rounded blue tile
with a sun whose right half is dimmed, the program's subject. It is written
out as org.kestrelo.LumoraBrightness.svg and rendered at every size the
desktop's icon theme asks for (lumora-N.png), supersampled 4 x 4 per pixel.
The tray icon is made from the same PNGs. Only the standard library is used:

    python3 assets/icons/draw_icon.py
"""

import math
import os
import struct
import zlib

UNITS = 256
SIZES = (16, 22, 32, 48, 64, 128, 256)
SAMPLES = 4
ICON_ID = "org.kestrelo.LumoraBrightness"

TILE = (8, 8, 248, 248, 52)  # x0, y0, x1, y1, corner radius
TILE_TOP = (70, 140, 240)
TILE_BOTTOM = (24, 50, 140)
CENTRE = 128
SUN_RADIUS = 46
RAY_INNER, RAY_OUTER, RAY_WIDTH = 66, 96, 20
BRIGHT = (255, 206, 60)
DIM = (150, 120, 60)


def ray_ends(i):
    a = i * math.pi / 4
    c, s = math.cos(a), math.sin(a)
    return (CENTRE + RAY_INNER * c, CENTRE + RAY_INNER * s, CENTRE + RAY_OUTER * c, CENTRE + RAY_OUTER * s)


def hexcolour(c):
    return "#%02x%02x%02x" % c


# ---------------------------------------------------------------- SVG

def svg():
    x0, y0, x1, y1, r = TILE
    rays = []
    for i in range(8):
        ax, ay, bx, by = ray_ends(i)
        # Rays on the right half (cos > 0) are dimmed; the vertical ones stay bright.
        colour = DIM if math.cos(i * math.pi / 4) > 1e-9 else BRIGHT
        rays.append('    <line x1="%.2f" y1="%.2f" x2="%.2f" y2="%.2f" stroke="%s"/>' % (ax, ay, bx, by, hexcolour(colour)))
    return "\n".join([
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (UNITS, UNITS, UNITS, UNITS),
        '  <defs>',
        '    <linearGradient id="tile" x1="0" y1="%d" x2="0" y2="%d" gradientUnits="userSpaceOnUse">' % (y0, y1),
        '      <stop offset="0" stop-color="%s"/>' % hexcolour(TILE_TOP),
        '      <stop offset="1" stop-color="%s"/>' % hexcolour(TILE_BOTTOM),
        '    </linearGradient>',
        '    <clipPath id="right"><rect x="%d" y="0" width="%d" height="%d"/></clipPath>' % (CENTRE, UNITS - CENTRE, UNITS),
        '  </defs>',
        '  <rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="url(#tile)"/>' % (x0, y0, x1 - x0, y1 - y0, r),
        '  <g stroke-width="%d" stroke-linecap="round">' % RAY_WIDTH,
        *rays,
        '  </g>',
        '  <circle cx="%d" cy="%d" r="%d" fill="%s"/>' % (CENTRE, CENTRE, SUN_RADIUS, hexcolour(BRIGHT)),
        '  <circle cx="%d" cy="%d" r="%d" fill="%s" clip-path="url(#right)"/>' % (CENTRE, CENTRE, SUN_RADIUS, hexcolour(DIM)),
        '</svg>',
        '',
    ])


# ---------------------------------------------------------------- raster

def in_tile(x, y):
    x0, y0, x1, y1, r = TILE
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


RAYS = [(ray_ends(i), DIM if math.cos(i * math.pi / 4) > 1e-9 else BRIGHT) for i in range(8)]


def colour_at(x, y):
    """The artwork's colour at a point in units, or None outside the tile."""
    if not in_tile(x, y):
        return None
    d2 = (x - CENTRE) ** 2 + (y - CENTRE) ** 2
    if d2 <= SUN_RADIUS ** 2:
        return DIM if x >= CENTRE else BRIGHT
    if RAY_INNER - RAY_WIDTH <= math.sqrt(d2) <= RAY_OUTER + RAY_WIDTH:
        for (ax, ay, bx, by), c in RAYS:
            if near_segment(x, y, ax, ay, bx, by, RAY_WIDTH):
                return c
    t = (y - TILE[1]) / (TILE[3] - TILE[1])
    return tuple(TILE_TOP[k] + (TILE_BOTTOM[k] - TILE_TOP[k]) * t for k in range(3))


def render(size):
    scale = UNITS / size
    offsets = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter type: none
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    c = colour_at((px + ox) * scale, (py + oy) * scale)
                    if c is None:
                        continue
                    hits += 1
                    for k in range(3):
                        acc[k] += c[k]
            if hits:
                row += bytes(int(round(acc[k] / hits)) for k in range(3))
            else:
                row += b"\0\0\0"
            row.append(int(round(255 * hits / (SAMPLES * SAMPLES))))
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, ICON_ID + ".svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for size in SIZES:
        write_png(os.path.join(here, "lumora-%d.png" % size), size, render(size))


if __name__ == "__main__":
    main()
