#!/usr/bin/env python3
"""Draws the disc creator's bitmaps and icon into an output folder.

    make_creator_art.py OUTDIR

The list window's hover buttons: 32 x 32 pictures for the toolbar row
(about, add, remove, run, help, home, exit) and 16 x 16 ones beside the
list (add, remove, remove all, play, up, down), 24-bit, with magenta
(0xFF00FF) where the button's background shows through. The disc-type
chooser's two marks (chosen, not chosen), 32 x 32. The program icon
vantrel.ico (32 x 32, 32-bit with alpha). Drawn with Pillow through the
suite's art module (tools/art/quorbel_art.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import WHITE, Layer, picture, save_bmp, save_ico  # noqa: E402

BLUE = (38, 84, 160)
LIGHT_BLUE = (120, 170, 230)
GREEN = (40, 150, 60)
RED = (200, 40, 40)
ORANGE = (242, 160, 40)
SILVER = (212, 216, 226)  # also the skinned dialogs' face, behind the chooser's marks
DARK = (60, 66, 84)


def drawn(size, draw, fill=None):
    """A size x size picture (transparent, or filled) with draw(layer, scale)
    applied; the shapes are given on a 32-pixel grid."""
    c = picture(size, fill=fill) if fill else picture(size)
    with Layer(c) as l:
        draw(ScaledLayer(l, size / 32))
    return c


class ScaledLayer:
    """A Layer whose coordinates are on a 32-pixel grid."""

    def __init__(self, layer, scale):
        self.l, self.s = layer, scale

    def disc(self, cx, cy, r, colour):
        self.l.disc(cx * self.s, cy * self.s, r * self.s, colour)

    def rect(self, box, colour):
        self.l.rect(tuple(v * self.s for v in box), colour)

    def rounded(self, box, radius, colour):
        self.l.rounded(tuple(v * self.s for v in box), radius * self.s, colour)

    def polygon(self, points, colour):
        self.l.polygon([(x * self.s, y * self.s) for x, y in points], colour)

    def line(self, points, width, colour):
        self.l.line([(x * self.s, y * self.s) for x, y in points], width * self.s, colour)

    def text(self, xy, text, size, colour, bold=True):
        self.l.text((xy[0] * self.s, xy[1] * self.s), text, size * self.s, colour, bold=bold, anchor="mm")


def sign(colour, glyph):
    """A round sign with a white letter."""
    def draw(l):
        l.disc(16, 16, 14, colour)
        l.text((16, 17), glyph, 22, WHITE)
    return draw


def home(l):
    l.polygon(((2, 16), (30, 16), (16, 3)), RED)
    l.rect((7, 15, 25, 29), SILVER)
    l.rect((13.5, 20, 18.5, 29), DARK)


def add(l):
    l.disc(16, 16, 14, GREEN)
    l.rect((7, 14, 25, 18), WHITE)
    l.rect((14, 7, 18, 25), WHITE)


def remove(l):
    l.disc(16, 16, 14, RED)
    l.rect((7, 14, 25, 18), WHITE)


def remove_all(l):
    l.rounded((2, 4, 30, 28), 3, DARK)
    l.rounded((4, 6, 28, 26), 2, WHITE)
    l.line(((9, 10), (23, 22)), 4, RED)
    l.line(((23, 10), (9, 22)), 4, RED)


def disc(l):
    l.disc(16, 16, 14, SILVER)
    l.disc(16, 16, 13, LIGHT_BLUE)
    l.disc(16, 16, 4.5, SILVER)


def run(l):
    disc(l)
    l.polygon(((18.5, 17), (18.5, 31), (31, 24)), ORANGE)


def exit_(l):
    l.rect((6, 3, 22, 29), DARK)
    l.rect((8, 5, 20, 27), ORANGE)
    l.rect((16.5, 15, 18.5, 18), DARK)
    l.polygon(((21, 10), (21, 22), (30.5, 16)), RED)


def play(l):
    l.polygon(((8, 4), (8, 28), (28, 16)), GREEN)


def arrow(up):
    def draw(l):
        if up:
            l.polygon(((16, 2), (2, 18), (30, 18)), BLUE)
            l.rect((10, 17, 22, 30), BLUE)
        else:
            l.polygon(((16, 30), (2, 14), (30, 14)), BLUE)
            l.rect((10, 2, 22, 15), BLUE)
    return draw


def mark(chosen):
    """The chooser's radio-like mark on the dialog face."""
    def draw(l):
        l.disc(16, 16, 13.5, DARK)
        l.disc(16, 16, 12.5, WHITE)
        if chosen:
            l.disc(16, 16, 8.5, GREEN)
            l.line(((11.5, 16.5), (15, 20), (21, 12)), 3, WHITE)
    return draw


def icon(l):
    l.disc(16, 16, 15.5, DARK)
    disc(l)
    l.polygon(((17.5, 17.5), (17.5, 31.5), (31.5, 24.5)), ORANGE)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    bitmaps = {
        "about.bmp": (32, sign(BLUE, "i")),
        "add.bmp": (32, add),
        "add_small.bmp": (16, add),
        "remove.bmp": (32, remove),
        "remove_small.bmp": (16, remove),
        "remove_all.bmp": (16, remove_all),
        "run.bmp": (32, run),
        "help.bmp": (32, sign(GREEN, "?")),
        "home.bmp": (32, home),
        "exit.bmp": (32, exit_),
        "play.bmp": (16, play),
        "up.bmp": (16, arrow(True)),
        "down.bmp": (16, arrow(False)),
    }
    for name, (size, draw) in bitmaps.items():
        save_bmp(os.path.join(out, name), drawn(size, draw))
    for name, chosen in (("chosen.bmp", True), ("not_chosen.bmp", False)):
        save_bmp(os.path.join(out, name), drawn(32, mark(chosen), fill=SILVER))
    save_ico(os.path.join(out, "vantrel.ico"), drawn(32, icon))
    return 0


if __name__ == "__main__":
    sys.exit(main())
