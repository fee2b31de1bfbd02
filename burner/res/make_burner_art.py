#!/usr/bin/env python3
"""Draws the disc burner's icons and chooser bitmaps into a folder.

usage: make_burner_art.py <outdir>

Plain shapes on coloured tiles: the program icon, one icon per hover
button, and the chooser's two pictures (an empty and a marked circle),
drawn with the suite's primitives (tools/art/quorbel_art.py).
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import WHITE, Canvas, in_triangle, near_line, save_bmp, save_ico  # noqa: E402

SIZE = 32


def in_rect(x, y, x0, y0, x1, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_ring(x, y, cx, cy, r, w):
    d = math.hypot(x - cx, y - cy)
    return r - w <= d <= r


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


def icon(colour, glyph):
    """A 32x32 tile in the colour with the glyph in white; transparent around."""
    c = Canvas(SIZE)
    c.fill(in_tile, colour, offset=0)
    c.fill(lambda x, y: in_tile(x, y) and GLYPHS[glyph](x, y), WHITE, offset=0)
    return c


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


def chooser_mark(marked):
    c = Canvas(22)
    pixel = chooser_pixel(marked)
    for y in range(22):
        for x in range(22):
            c.put(x, y, pixel(x, y))
    return c


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (colour, glyph) in ICONS.items():
        save_ico(os.path.join(out, name + ".ico"), icon(colour, glyph))
    for name, marked in (("not_chosen", False), ("chosen", True)):
        save_bmp(os.path.join(out, name + ".bmp"), chooser_mark(marked))


main()
