#!/usr/bin/env python3
"""Draws the sample profile pictures next to this script.

Each picture is a 96 x 96 RGBA PNG: a rounded tile in the profile's colours
with a simple symbol. Shapes are described as coverage functions and
supersampled 4 x 4 per pixel for smooth edges. Only the standard library is
used, so the pictures can be redrawn anywhere:

    python3 assets/profiles/draw_profiles.py
"""

import math
import os
import struct
import zlib

SIZE = 96
SAMPLES = 4


# ---------------------------------------------------------------- shapes
# A shape is a function (x, y) -> bool in picture coordinates (0..SIZE).

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, width):
    return lambda x, y: (r - width) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                result = not result
        return result
    return inside


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


# ---------------------------------------------------------------- pictures
# A picture is a list of layers (shape, (r, g, b)) painted in order over a
# vertical gradient tile.

def tile(top, bottom):
    body = rounded_rect(2, 2, SIZE - 2, SIZE - 2, 16)
    return body, top, bottom


def day():
    rays = [segment(48 + 24 * math.cos(a), 48 + 24 * math.sin(a), 48 + 36 * math.cos(a), 48 + 36 * math.sin(a), 6)
            for a in [i * math.pi / 4 for i in range(8)]]
    return tile((255, 214, 90), (250, 150, 40)), [(union(*rays), (255, 250, 210)), (circle(48, 48, 18), (255, 255, 230))]


def night():
    moon = minus(circle(46, 50, 26), circle(60, 40, 22))
    stars = union(circle(70, 66, 3), circle(76, 24, 2.5), circle(24, 22, 2), circle(58, 78, 2))
    return tile((40, 60, 130), (10, 18, 60)), [(moon, (250, 240, 190)), (stars, (255, 255, 255))]


def reading():
    left = polygon([(14, 28), (46, 32), (46, 76), (14, 70)])
    right = polygon([(50, 32), (82, 28), (82, 70), (50, 76)])
    lines = union(*[segment(20, 38 + 8 * i, 40, 41 + 8 * i, 2.5) for i in range(4)],
                  *[segment(56, 41 + 8 * i, 76, 38 + 8 * i, 2.5) for i in range(4)])
    return tile((150, 210, 140), (60, 140, 80)), [(union(left, right), (255, 253, 240)), (lines, (120, 120, 120))]


def movie():
    frame = rounded_rect(16, 26, 80, 70, 6)
    holes = union(*[rect(20 + 12 * i, 29, 26 + 12 * i, 33) for i in range(5)],
                  *[rect(20 + 12 * i, 63, 26 + 12 * i, 67) for i in range(5)])
    play = polygon([(42, 38), (42, 58), (60, 48)])
    return tile((210, 110, 200), (120, 40, 130)), [(frame, (40, 30, 50)), (holes, (240, 240, 240)),
                                                    (play, (255, 200, 80))]


def presentation():
    board = rect(16, 18, 80, 62)
    stand = union(segment(48, 62, 48, 80, 4), segment(48, 70, 36, 82, 4), segment(48, 70, 60, 82, 4))
    bars = union(rect(26, 46, 34, 56), rect(40, 38, 48, 56), rect(54, 30, 62, 56), rect(68, 24, 74, 56))
    return tile((120, 190, 250), (40, 110, 200)), [(union(board, stand), (250, 250, 250)), (bars, (240, 120, 60))]


def battery():
    shell = minus(rounded_rect(14, 30, 76, 66, 6), rounded_rect(19, 35, 71, 61, 3))
    cap = rounded_rect(76, 40, 84, 56, 2)
    charge = rect(23, 39, 51, 57)
    return tile((200, 230, 120), (110, 170, 40)), [(union(shell, cap), (40, 60, 30)), (charge, (60, 180, 60))]


PICTURES = {
    "Day": day,
    "Night": night,
    "Reading": reading,
    "Movie": movie,
    "Presentation": presentation,
    "Battery": battery,
}


# ---------------------------------------------------------------- rendering

def render(picture):
    (body, top, bottom), layers = picture()
    rows = []
    step = 1.0 / SAMPLES
    offsets = [(i + 0.5) * step for i in range(SAMPLES)]
    for py in range(SIZE):
        row = bytearray([0])  # filter type: none
        t = py / (SIZE - 1)
        base = tuple(top[c] + (bottom[c] - top[c]) * t for c in range(3))
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                for ox in offsets:
                    x, y = px + ox, py + oy
                    if not body(x, y):
                        continue
                    colour = base
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    for k in range(3):
                        acc[k] += colour[k]
                    acc[3] += 1
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if acc[3]:
                row += bytes(int(round(acc[k] / acc[3])) for k in range(3))
            else:
                row += b"\0\0\0"
            row.append(int(round(alpha * 255)))
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, picture in PICTURES.items():
        write_png(os.path.join(here, name + ".png"), render(picture))


if __name__ == "__main__":
    main()
