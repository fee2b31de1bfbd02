#!/usr/bin/env python3
"""Draws the disc burner's icons and chooser bitmaps into a folder.

usage: make_burner_art.py <outdir>

Plain white glyphs on coloured tiles with rounded corners: the program icon
and one icon per hover button (32 x 32, 32-bit with alpha), and the
chooser's two pictures, an empty and a marked circle (22 x 22, 24-bit).
Drawn with Pillow through the suite's art module (tools/art/quorbel_art.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import WHITE, Layer, picture, save_bmp, save_ico  # noqa: E402

SIZE = 32
FACE = (212, 216, 226)  # the skinned dialogs' face, behind the chooser's pictures


def ring_disc(l):
    l.ring(16, 16, 10.5, 3, WHITE)
    l.disc(16, 16, 2.5, WHITE)


def question(l):
    l.text((16, 16.5), "?", 24, WHITE, bold=True, anchor="mm")


def info(l):
    l.text((16, 16.5), "i", 24, WHITE, bold=True, anchor="mm")


def house(l):
    l.polygon(((16, 5), (27.5, 15.5), (4.5, 15.5)), WHITE)
    l.rect((9, 15, 23, 26), WHITE)


def door(l):
    l.rect((9, 6, 23, 26), WHITE)
    l.rect((12, 9, 20, 26), (0, 0, 0, 0))


def wrench(l):
    l.line(((9, 23), (18, 14)), 4, WHITE)
    l.ring(21, 10, 6, 3, WHITE)


GLYPHS = {
    "plus": lambda l: (l.rect((14, 7, 18, 25), WHITE), l.rect((7, 14, 25, 18), WHITE)),
    "minus": lambda l: l.rect((7, 14, 25, 18), WHITE),
    "cross": lambda l: (l.line(((9, 9), (23, 23)), 4, WHITE), l.line(((9, 23), (23, 9)), 4, WHITE)),
    "disc": ring_disc,
    "play": lambda l: l.polygon(((10, 7), (25, 16), (10, 25)), WHITE),
    "up": lambda l: (l.polygon(((16, 5), (26.5, 17), (5.5, 17)), WHITE), l.rect((13, 16, 19, 27), WHITE)),
    "down": lambda l: (l.polygon(((16, 27), (26.5, 15), (5.5, 15)), WHITE), l.rect((13, 5, 19, 16), WHITE)),
    "info": info,
    "house": house,
    "question": question,
    "door": door,
    "wrench": wrench,
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


def icon(colour, glyph):
    """A 32 x 32 tile in the colour with the glyph in white; clear around."""
    tile = picture(SIZE)
    with Layer(tile) as l:
        l.rounded((1, 1, SIZE - 1, SIZE - 1), 6, colour)
    # The glyph on a layer of its own, so that a cut-out (the door's) shows
    # the tile's colour again, not a hole.
    glyph_layer = picture(SIZE)
    with Layer(glyph_layer) as l:
        GLYPHS[glyph](l)
    tile.alpha_composite(glyph_layer)
    return tile


def chooser_mark(marked):
    c = picture(22, fill=FACE)
    with Layer(c) as l:
        l.disc(11, 11, 9, (60, 60, 60))
        l.disc(11, 11, 7.5, WHITE)
        if marked:
            l.disc(11, 11, 5, (30, 110, 200))
    return c


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, (colour, glyph) in ICONS.items():
        save_ico(os.path.join(out, name + ".ico"), icon(colour, glyph))
    for name, marked in (("not_chosen", False), ("chosen", True)):
        save_bmp(os.path.join(out, name + ".bmp"), chooser_mark(marked))


main()
