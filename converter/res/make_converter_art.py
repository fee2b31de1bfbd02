#!/usr/bin/env python3
"""Draws the converter's icons and the disc-type chooser's bitmaps.

    make_converter_art.py <outdir>

Simple glyphs on a transparent ground, written with nothing but the
standard library: the program icon, one icon per button (32x32, 32-bit
ICO), and the chooser's "not chosen" and "chosen" marks (16x16, 24-bit BMP).
"""
import os
import struct
import sys

BLUE = (38, 84, 160)
GREEN = (40, 150, 60)
RED = (200, 40, 40)
WHITE = (255, 255, 255)


class Raster:
    """A square of RGBA pixels, top-down; None is transparent."""

    def __init__(self, size, ground=None):
        self.size = size
        self.px = [[ground] * size for _ in range(size)]

    def fill(self, inside, colour):
        for y in range(self.size):
            for x in range(self.size):
                if inside(x + 0.5, y + 0.5):
                    self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x <= x1 + 1 and y0 <= y <= y1 + 1, colour)

    def ellipse(self, x0, y0, x1, y1, colour):
        cx, cy, rx, ry = (x0 + x1 + 1) / 2, (y0 + y1 + 1) / 2, (x1 - x0 + 1) / 2, (y1 - y0 + 1) / 2
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            for i in range(len(points)):
                (ax, ay), (bx, by) = points[i], points[i - 1]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    hit = not hit
            return hit
        self.fill(inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def near(x, y):
            t = max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
        self.fill(near, colour)


def film(r, colour):
    r.rect(3, 7, 28, 24, colour)
    for x in range(5, 27, 5):
        r.rect(x, 9, x + 2, 10, WHITE)
        r.rect(x, 21, x + 2, 22, WHITE)


def plus(r, colour):
    r.rect(13, 5, 18, 26, colour)
    r.rect(5, 13, 26, 18, colour)


def cross(r, colour):
    r.line(7, 7, 24, 24, 5, colour)
    r.line(7, 24, 24, 7, 5, colour)


GLYPHS = {
    "main": lambda r: (film(r, BLUE), r.polygon([(13, 12), (13, 20), (20, 16)], WHITE)),
    "about": lambda r: (r.ellipse(4, 4, 27, 27, BLUE), r.rect(14, 13, 17, 23, WHITE), r.rect(14, 8, 17, 10, WHITE)),
    "add": lambda r: plus(r, GREEN),
    "exit": lambda r: cross(r, RED),
    "help": lambda r: (r.ellipse(4, 4, 27, 27, GREEN), r.rect(14, 20, 17, 23, WHITE), r.rect(14, 8, 17, 17, WHITE)),
    "home": lambda r: (r.polygon([(16, 3), (2, 16), (30, 16)], BLUE), r.rect(7, 16, 24, 27, BLUE)),
    "remove": lambda r: r.rect(5, 13, 26, 18, RED),
    "convert": lambda r: (film(r, GREEN), r.polygon([(12, 11), (12, 21), (21, 16)], WHITE)),
    "add_small": lambda r: plus(r, GREEN),
    "remove_small": lambda r: r.rect(5, 13, 26, 18, RED),
    "play": lambda r: r.polygon([(9, 5), (9, 27), (27, 16)], GREEN),
    "remove_all": lambda r: (cross(r, RED), r.rect(3, 27, 28, 29, RED)),
    "up": lambda r: (r.polygon([(16, 3), (3, 18), (29, 18)], BLUE), r.rect(12, 18, 19, 27, BLUE)),
    "down": lambda r: (r.polygon([(16, 29), (3, 14), (29, 14)], BLUE), r.rect(12, 4, 19, 14, BLUE)),
}


def write_ico(path, r):
    n = r.size
    xor = bytearray()
    for row in reversed(r.px):  # bottom-up
        for p in row:
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(r.px):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), 22))
        f.write(image)


def write_bmp(path, r):
    n = r.size
    stride = (n * 3 + 3) & ~3
    rows = bytearray()
    for row in reversed(r.px):
        line = bytearray()
        for p in row:
            line += bytes((p[2], p[1], p[0]))
        rows += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 14 + len(info)))
        f.write(info + rows)


def mark(chosen):
    r = Raster(16, WHITE)
    r.ellipse(1, 1, 14, 14, (60, 60, 60))
    r.ellipse(2, 2, 13, 13, WHITE)
    if chosen:
        r.ellipse(4, 4, 11, 11, BLUE)
    return r


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in GLYPHS.items():
        r = Raster(32)
        draw(r)
        write_ico(os.path.join(out, name + ".ico"), r)
    write_bmp(os.path.join(out, "not_chosen.bmp"), mark(False))
    write_bmp(os.path.join(out, "chosen.bmp"), mark(True))


if __name__ == "__main__":
    main()
