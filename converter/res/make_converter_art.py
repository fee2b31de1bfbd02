#!/usr/bin/env python3
"""Draws the converter's icons and the disc-type chooser's bitmaps.

    make_converter_art.py <outdir>

Simple glyphs on a clear ground: the program icon (main.ico, the
launcher's too: quorbel_art.suite_icon) and one icon per button (32 x 32, 32-bit with alpha), and the
chooser's "not chosen" and "chosen" marks (16 x 16, 24-bit). Drawn with
Pillow through the suite's art module (tools/art/quorbel_art.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import WHITE, Layer, film, picture, save_bmp, save_ico, suite_icon  # noqa: E402

BLUE = (38, 84, 160)
GREEN = (40, 150, 60)
RED = (200, 40, 40)
FACE = (212, 216, 226)  # the skinned dialogs' face, behind the chooser's marks


def plus(l, colour):
    l.rect((13, 5, 19, 27), colour)
    l.rect((5, 13, 27, 19), colour)


def cross(l, colour):
    l.line(((7.5, 7.5), (24.5, 24.5)), 5, colour)
    l.line(((7.5, 24.5), (24.5, 7.5)), 5, colour)


def sign(colour, glyph):
    def draw(l):
        l.disc(16, 16, 12, colour)
        l.text((16, 17), glyph, 19, WHITE, bold=True, anchor="mm")
    return draw


GLYPHS = {
    "main": suite_icon,
    "about": sign(BLUE, "i"),
    "add": lambda l: plus(l, GREEN),
    "exit": lambda l: cross(l, RED),
    "help": sign(GREEN, "?"),
    "home": lambda l: (l.polygon(((16, 3), (2, 16.5), (30, 16.5)), BLUE), l.rect((7, 16, 25, 28), BLUE),
                       l.rect((14, 20, 18, 28), WHITE)),
    "remove": lambda l: l.rect((5, 13, 27, 19), RED),
    "convert": lambda l: (film(l, GREEN), l.polygon(((12, 11), (12, 21), (21.5, 16)), WHITE)),
    "add_small": lambda l: plus(l, GREEN),
    "remove_small": lambda l: l.rect((5, 13, 27, 19), RED),
    "play": lambda l: l.polygon(((9, 5), (9, 27), (27.5, 16)), GREEN),
    "remove_all": lambda l: (cross(l, RED), l.rect((3, 27, 29, 30), RED)),
    "up": lambda l: (l.polygon(((16, 3), (3, 18.5), (29, 18.5)), BLUE), l.rect((12, 18, 20, 28), BLUE)),
    "down": lambda l: (l.polygon(((16, 29), (3, 13.5), (29, 13.5)), BLUE), l.rect((12, 4, 20, 14), BLUE)),
}


def mark(chosen):
    c = picture(16, fill=FACE)
    with Layer(c) as l:
        l.disc(8, 8, 7, (60, 60, 60))
        l.disc(8, 8, 6, WHITE)
        if chosen:
            l.disc(8, 8, 4, BLUE)
    return c


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in GLYPHS.items():
        c = picture(32)
        with Layer(c) as l:
            draw(l)
        save_ico(os.path.join(out, name + ".ico"), c)
    save_bmp(os.path.join(out, "not_chosen.bmp"), mark(False))
    save_bmp(os.path.join(out, "chosen.bmp"), mark(True))


if __name__ == "__main__":
    main()
