#!/usr/bin/env python3
"""Draws the disc burner's icons and chooser bitmaps into a folder.

usage: make_burner_art.py <outdir>

Plain shapes on coloured tiles: the program icon, one icon per hover
button, and the chooser's two pictures (an empty and a marked circle).
Standard library only: the files are written byte by byte.
"""
import math
import os
import struct
import sys

SIZE = 32


def in_rect(x, y, x0, y0, x1, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_ring(x, y, cx, cy, r, w):
    d = math.hypot(x - cx, y - cy)
    return r - w <= d <= r


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def near_line(x, y, x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2.0


GLYPHS = {
    "plus": lambda x, y: in_rect(x, y, 14, 7, 17, 24) or in_rect(x, y, 7, 14, 24, 17),
    "minus": lambda x, y: in_rect(x, y, 7, 14, 24, 17),
    "cross": lambda x, y: near_line(x, y, 8, 8, 23, 23, 4) or near_line(x, y, 8, 23, 23, 8, 4),
    "disc": lambda x, y: in_ring(x, y, 15.5, 15.5, 10, 3) or in_circle(x, y, 15.5, 15.5, 2.5),
    "play": lambda x, y: in_triangle(x, y, (10, 7), (24, 16), (10, 25)),
    "up": lambda x, y: in_triangle(x, y, (16, 5), (26, 17), (6, 17)) or in_rect(x, y, 13, 17, 18, 26),
    "down": lambda x, y: in_triangle(x, y, (16, 26), (26, 14), (6, 14)) or in_rect(x, y, 13, 5, 18, 14),
    "info": lambda x, y: in_rect(x, y, 14, 6, 17, 9) or in_rect(x, y, 14, 12, 17, 25),
    "house": lambda x, y: in_triangle(x, y, (16, 5), (27, 15), (5, 15)) or in_rect(x, y, 9, 15, 22, 26),
    "question": lambda x, y: (in_ring(x, y, 15.5, 11, 6, 3) and not (y > 11 and x < 15))
    or in_rect(x, y, 14, 16, 17, 20) or in_rect(x, y, 14, 23, 17, 26),
    "door": lambda x, y: (in_rect(x, y, 9, 6, 22, 26) and not in_rect(x, y, 12, 9, 19, 26))
    or in_rect(x, y, 17, 15, 19, 17),
    "wrench": lambda x, y: near_line(x, y, 9, 23, 19, 13, 4) or in_ring(x, y, 21, 10, 6, 3),
}

ICONS = {
    "pelzor": ((200, 60, 40), "disc"),
    "add": ((40, 140, 60), "plus"),
    "remove": ((190, 60, 50), "minus"),
    "burn": ((220, 120, 20), "disc"),
    "about": ((50, 90, 170), "info"),
    "home": ((70, 120, 160), "house"),
    "help": ((90, 80, 170), "question"),
    "exit": ((110, 110, 110), "door"),
    "add_small": ((40, 140, 60), "plus"),
    "remove_small": ((190, 60, 50), "minus"),
    "remove_all": ((150, 40, 40), "cross"),
    "play": ((30, 120, 180), "play"),
    "up": ((60, 130, 110), "up"),
    "down": ((60, 130, 110), "down"),
    "toolkit": ((120, 100, 60), "wrench"),
}


def in_tile(x, y):
    # A square with rounded corners, one pixel in from the edge.
    r = 6
    cx = min(max(x, 1 + r), SIZE - 2 - r)
    cy = min(max(y, 1 + r), SIZE - 2 - r)
    return 1 <= x <= SIZE - 2 and 1 <= y <= SIZE - 2 and (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def icon_bytes(colour, glyph):
    """A one-image .ico: 32x32, 32 bits with alpha, and its AND mask."""
    rows = []
    mask = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = b""
        bits = 0
        mask_row = b""
        for x in range(SIZE):
            if in_tile(x, y):
                r, g, b = (255, 255, 255) if GLYPHS[glyph](x, y) else colour
                row += struct.pack("<BBBB", b, g, r, 255)
                bit = 0
            else:
                row += struct.pack("<BBBB", 0, 0, 0, 0)
                bit = 1
            bits = (bits << 1) | bit
            if x % 8 == 7:
                mask_row += struct.pack("<B", bits)
                bits = 0
        rows.append(row)
        mask.append(mask_row)  # 4 bytes: already a whole DWORD
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(rows) + b"".join(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def bmp_bytes(width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    data = b""
    for y in range(height - 1, -1, -1):
        row = b"".join(struct.pack("<BBB", *reversed(pixel(x, y))) for x in range(width))
        data += row + b"\0" * (stride - width * 3)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + data


def chooser_pixel(marked):
    def pixel(x, y):
        if in_circle(x, y, 10.5, 10.5, 9):
            if marked and in_circle(x, y, 10.5, 10.5, 5):
                return (30, 110, 200)
            if not in_circle(x, y, 10.5, 10.5, 7.5):
                return (60, 60, 60)
            return (255, 255, 255)
        return (236, 233, 216)
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (colour, glyph) in ICONS.items():
        with open(os.path.join(out, name + ".ico"), "wb") as f:
            f.write(icon_bytes(colour, glyph))
    for name, marked in (("not_chosen", False), ("chosen", True)):
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(22, 22, chooser_pixel(marked)))


main()
