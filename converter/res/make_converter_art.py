#!/usr/bin/env python3
"""Draws the converter's icons and the disc-type chooser's bitmaps.

    make_converter_art.py <outdir>

Simple glyphs on a transparent ground, drawn with the suite's primitives
(tools/art/quorbel_art.py): the program icon, one icon per button (32x32, 32-bit
ICO), and the chooser's "not chosen" and "chosen" marks (16x16, 24-bit BMP).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import WHITE, Canvas, save_bmp, save_ico  # noqa: E402

BLUE = (38, 84, 160)
GREEN = (40, 150, 60)
RED = (200, 40, 40)


class Raster(Canvas):
    """The converter's canvas: rectangles name their last pixels too."""

    def rect(self, x0, y0, x1, y1, colour):
        Canvas.rect(self, x0, y0, x1 + 1, y1 + 1, colour)


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


def mark(chosen):
    r = Raster(16, fill=WHITE)
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
        save_ico(os.path.join(out, name + ".ico"), r)
    save_bmp(os.path.join(out, "not_chosen.bmp"), mark(False))
    save_bmp(os.path.join(out, "chosen.bmp"), mark(True))


if __name__ == "__main__":
    main()
