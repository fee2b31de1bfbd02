#!/usr/bin/env python3
"""Draws the disc creator's bitmaps and icon into an output folder.

    make_creator_art.py OUTDIR

The list window's hover buttons: 32 x 32 pictures for the toolbar row
(about, add, remove, run, help, home, exit) and 16 x 16 ones beside the
list (add, remove, remove all, play, up, down), 24-bit, with magenta
(0xFF00FF) where the button's background shows through. The disc-type
chooser's two marks (chosen, not chosen), 32 x 32. The program icon
vantrel.ico (32 x 32, 32-bit with its mask). Drawn with the suite's
primitives (tools/art/quorbel_art.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import MAGENTA, WHITE, Canvas, save_bmp, save_ico  # noqa: E402

BLUE = (38, 84, 160)
LIGHT_BLUE = (120, 170, 230)
GREEN = (40, 150, 60)
RED = (200, 40, 40)
ORANGE = (242, 160, 40)
GREY = (150, 156, 170)
SILVER = (212, 216, 226)
DARK = (60, 66, 84)
BMP_RESOLUTION = 3780  # pixels per metre


def thick_line(c, x0, y0, x1, y1, width, colour):
    """Square dabs along the line (the marks' look)."""
    steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 + 1
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        y = y0 + (y1 - y0) * i / steps
        c.rect(int(x - width / 2), int(y - width / 2),
               int(x - width / 2) + width, int(y - width / 2) + width, colour)


def big(fill=MAGENTA):
    return Canvas(32, fill=fill)


def small(fill=MAGENTA):
    return Canvas(16, fill=fill)


def about():
    c = big()
    c.disc(16, 16, 14, BLUE)
    c.rect(14, 7, 18, 11, WHITE)
    c.rect(14, 13, 18, 25, WHITE)
    return c


def help_():
    c = big()
    c.disc(16, 16, 14, GREEN)
    # A question mark from blocks.
    c.rect(11, 7, 21, 10, WHITE)
    c.rect(19, 9, 22, 15, WHITE)
    c.rect(15, 14, 21, 17, WHITE)
    c.rect(15, 16, 18, 20, WHITE)
    c.rect(15, 22, 18, 25, WHITE)
    return c


def home():
    c = big()
    c.triangle(((3, 16), (29, 16), (16, 3)), RED)
    c.rect(7, 16, 25, 29, SILVER)
    c.rect(14, 20, 19, 29, DARK)
    return c


def plus(c, cx, cy, half, width, colour):
    c.rect(cx - half, cy - width // 2, cx + half, cy - width // 2 + width, colour)
    c.rect(cx - width // 2, cy - half, cx - width // 2 + width, cy + half, colour)


def add(size):
    c = Canvas(size, fill=MAGENTA)
    s = size / 32
    c.disc(size / 2, size / 2, 14 * s, GREEN)
    plus(c, size // 2, size // 2, int(9 * s), max(2, int(4 * s)), WHITE)
    return c


def remove(size):
    c = Canvas(size, fill=MAGENTA)
    s = size / 32
    c.disc(size / 2, size / 2, 14 * s, RED)
    w = max(2, int(4 * s))
    c.rect(size // 2 - int(9 * s), size // 2 - w // 2, size // 2 + int(9 * s), size // 2 - w // 2 + w, WHITE)
    return c


def remove_all():
    c = small()
    c.rect(1, 2, 15, 14, WHITE)
    c.rect(1, 2, 15, 3, DARK)
    c.rect(1, 13, 15, 14, DARK)
    c.rect(1, 2, 2, 14, DARK)
    c.rect(14, 2, 15, 14, DARK)
    thick_line(c, 4, 5, 12, 11, 2, RED)
    thick_line(c, 12, 5, 4, 11, 2, RED)
    return c


def run():
    c = big()
    # A disc with a play mark.
    c.disc(16, 16, 14, SILVER)
    c.disc(16, 16, 13, LIGHT_BLUE)
    c.disc(16, 16, 4, SILVER)
    c.disc(16, 16, 2, MAGENTA)
    c.triangle(((19, 17), (19, 31), (31, 24)), ORANGE)
    return c


def exit_():
    c = big()
    c.rect(6, 3, 22, 29, DARK)
    c.rect(8, 5, 20, 27, ORANGE)
    c.rect(17, 15, 19, 18, DARK)
    c.triangle(((21, 10), (21, 22), (30, 16)), RED)
    return c


def play():
    c = small()
    c.triangle(((4, 2), (4, 14), (14, 8)), GREEN)
    return c


def arrow(up):
    c = small()
    if up:
        c.triangle(((8, 1), (1, 9), (15, 9)), BLUE)
        c.rect(5, 9, 11, 15, BLUE)
    else:
        c.triangle(((8, 15), (1, 7), (15, 7)), BLUE)
        c.rect(5, 1, 11, 7, BLUE)
    return c


def mark(chosen):
    """The chooser's radio-like mark on the dialog face."""
    c = big(SILVER)
    c.disc(16, 16, 13, DARK)
    c.disc(16, 16, 12, WHITE)
    if chosen:
        c.disc(16, 16, 8, GREEN)
        thick_line(c, 11, 16, 15, 20, 3, WHITE)
        thick_line(c, 15, 20, 22, 11, 3, WHITE)
    return c


def icon():
    c = big()
    c.disc(16, 16, 15, DARK)
    c.disc(16, 16, 14, SILVER)
    c.disc(16, 16, 12, LIGHT_BLUE)
    c.disc(16, 16, 5, SILVER)
    c.disc(16, 16, 2, MAGENTA)
    c.triangle(((18, 18), (18, 31), (30, 24)), ORANGE)
    return c


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    bitmaps = {
        "about.bmp": about(),
        "add.bmp": add(32),
        "add_small.bmp": add(16),
        "remove.bmp": remove(32),
        "remove_small.bmp": remove(16),
        "remove_all.bmp": remove_all(),
        "run.bmp": run(),
        "help.bmp": help_(),
        "home.bmp": home(),
        "exit.bmp": exit_(),
        "play.bmp": play(),
        "up.bmp": arrow(True),
        "down.bmp": arrow(False),
        "chosen.bmp": mark(True),
        "not_chosen.bmp": mark(False),
    }
    for name, canvas in bitmaps.items():
        save_bmp(os.path.join(out, name), canvas, BMP_RESOLUTION)
    save_ico(os.path.join(out, "vantrel.ico"), icon(), key=MAGENTA)
    return 0


if __name__ == "__main__":
    sys.exit(main())
