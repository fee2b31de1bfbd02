#!/usr/bin/env python3
"""Draws the skins' artwork as 24-bit BMP files into an output folder.

    make_artwork.py OUTDIR

test.bmp (test skin): a 256 x 256 grid of 16 x 16 solid cells. The cell in
column c, row r (x = 16c, y = 16r, counted from the top) has the colour
R = 16c + 8, G = 16r + 8, B = 0x40, so every part and state a skin test
draws can be told by its colour. Cells in rows 12 and 15 have their
top-left 4 x 4 pixels in the key colour magenta (0xFF00FF).

dialog.bmp, controls.bmp (the suite's skin) and interface_normal.bmp,
interface_on.bmp (the launcher's window): drawn with Pillow through the
suite's art module (tools/art/quorbel_art.py); the skin descriptions name
the rectangles given here.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "art"))
from quorbel_art import (CLEAR, MAGENTA, Layer, bevel, frame, picture, rect,  # noqa: E402
                         save_bmp, text_width, vgradient)


def test_art():
    c = picture(256, 256)
    for row in range(16):
        for col in range(16):
            rect(c, (16 * col, 16 * row, 16 * col + 16, 16 * row + 16), (16 * col + 8, 16 * row + 8, 0x40))
            if row in (12, 15):
                rect(c, (16 * col, 16 * row, 16 * col + 4, 16 * row + 4), MAGENTA)
    return c


# The suite's colours.
FACE = (212, 216, 226)
LIGHT = (255, 255, 255)
SHADOW = (120, 128, 150)
DARK = (60, 66, 84)
CAPTION_TOP = (38, 84, 160)
CAPTION_BOTTOM = (22, 52, 112)
INACTIVE_TOP = (128, 140, 164)
INACTIVE_BOTTOM = (98, 108, 130)
ACCENT = (242, 160, 40)


def caption_glyph(l, kind, x, y, colour):
    """A caption button's glyph in the 16 x 16 square at (x, y)."""
    if kind == "close":
        l.line(((x + 4.5, y + 4.5), (x + 11.5, y + 11.5)), 2, colour)
        l.line(((x + 11.5, y + 4.5), (x + 4.5, y + 11.5)), 2, colour)
    elif kind == "maximise":
        l.rect((x + 4, y + 4, x + 12, y + 6), colour)
        l.rect((x + 4, y + 4, x + 5, y + 12), colour)
        l.rect((x + 11, y + 4, x + 12, y + 12), colour)
        l.rect((x + 4, y + 11, x + 12, y + 12), colour)
    elif kind == "minimise":
        l.rect((x + 4, y + 10, x + 12, y + 12), colour)
    else:  # system menu: a dot
        l.disc(x + 8, y + 8, 3, colour)


def dialog_art():
    """276 x 160 active frame on top, the inactive one below (y 160..320);
    caption buttons at y 320: close, maximise, minimise, system (16 x 16 each,
    normal / hot / pressed rows)."""
    c = picture(276, 368, FACE)
    for y0, top, bottom in ((0, CAPTION_TOP, CAPTION_BOTTOM), (160, INACTIVE_TOP, INACTIVE_BOTTOM)):
        rect(c, (0, y0, 276, y0 + 160), top)
        vgradient(c, (0, y0, 276, y0 + 30), top, bottom)
        rect(c, (10, y0 + 30, 266, y0 + 148), FACE)
        frame(c, (0, y0, 276, y0 + 160), DARK)
        frame(c, (9, y0 + 29, 267, y0 + 149), SHADOW)
        # Rounded top corners keyed out.
        for x, y in ((0, 0), (1, 0), (0, 1), (275, 0), (274, 0), (275, 1)):
            rect(c, (x, y0 + y, x + 1, y0 + y + 1), CLEAR)
    for state, (face, glyph) in enumerate(((CAPTION_BOTTOM, LIGHT), (ACCENT, LIGHT), (DARK, ACCENT))):
        y = 320 + 16 * state
        for i, kind in enumerate(("close", "maximise", "minimise", "system")):
            bevel(c, (16 * i, y, 16 * i + 16, y + 16), face, LIGHT, DARK, sunken=state == 2)
            with Layer(c, (16 * i, y, 16 * i + 16, y + 16)) as l:
                caption_glyph(l, kind, 16 * i, y, glyph)
    return c


def arrow(l, cx, cy, size, direction, colour):
    """A small filled arrow pointing up, down, left or right, centred on (cx, cy)."""
    h = size / 2
    points = {"up": ((cx - size, cy + h), (cx + size, cy + h), (cx, cy - h)),
              "down": ((cx - size, cy - h), (cx + size, cy - h), (cx, cy + h)),
              "left": ((cx + h, cy - size), (cx + h, cy + size), (cx - h, cy)),
              "right": ((cx - h, cy - size), (cx - h, cy + size), (cx + h, cy))}[direction]
    l.polygon(points, colour)


def tick(l, x, y, colour):
    l.line(((x + 3, y + 6.5), (x + 5.5, y + 9), (x + 10, y + 3.5)), 1.8, colour)


def controls_art():
    """Controls on a 160 x 256 sheet; the description names each rectangle."""
    c = picture(160, 256, FACE)
    # Push button states, 48 x 20 each at y = 20 * state:
    # normal, pressed, default, focused, highlighted, disabled.
    faces = (FACE, (196, 202, 216), FACE, FACE, (232, 236, 246), (226, 226, 226))
    for state, face in enumerate(faces):
        y = 20 * state
        bevel(c, (0, y, 48, y + 20), face, LIGHT, SHADOW, sunken=state == 1)
        if state in (2, 3):
            frame(c, (1, y + 1, 47, y + 19), ACCENT if state == 3 else DARK)
    # Check boxes (x 48) and radio buttons (x 64), 13 x 13 at y = 16 * state:
    # normal, selected, disabled, grayed normal, grayed selected,
    # highlighted normal, highlighted selected. The radios stand on the key.
    for state in range(7):
        y = 16 * state
        box = (236, 236, 236) if state in (2, 3, 4) else (252, 252, 255)
        if state in (5, 6):
            box = (255, 244, 220)
        bevel(c, (48, y, 61, y + 13), box, SHADOW, LIGHT)
        rect(c, (64, y, 80, y + 16), CLEAR)
        with Layer(c, (48, y, 80, y + 16)) as l:
            l.disc(70.5, y + 6.5, 6.5, SHADOW)
            l.disc(70.5, y + 6.5, 5.5, box)
            if state in (1, 4, 6):
                tick(l, 48, y, DARK)
                l.disc(70.5, y + 6.5, 2.5, DARK)
    # Scroll bar: arrows 16 x 16 at x 80 (up, down, left, right), rows by
    # state (normal, pressed, highlighted, disabled) at y = 16 * state;
    # track 16 x 16 at x 144; thumb 16 x 16 at x 128.
    arrow_faces = (FACE, (190, 196, 210), (232, 236, 246), (226, 226, 226))
    for state, face in enumerate(arrow_faces):
        y = 16 * state
        glyph = (150, 150, 150) if state == 3 else DARK
        for i, direction in enumerate(("up", "down", "left", "right")):
            x = 80 + 16 * (i % 2)
            yy = y if i < 2 else y + 64
            bevel(c, (x, yy, x + 16, yy + 16), face, LIGHT, SHADOW, sunken=state == 1)
            with Layer(c, (x, yy, x + 16, yy + 16)) as l:
                arrow(l, x + 8, yy + 8, 4, direction, glyph)
        bevel(c, (128, y, 144, y + 16), face, LIGHT, SHADOW)
        rect(c, (144, y, 160, y + 16), (228, 230, 238))
    # Edit border (40 x 20 at y 128), group frame (40 x 40 at x 40),
    # progress track and bar (x 80 and x 120, 40 x 16), tab states
    # (40 x 20 at y 176: normal, pressed, disabled, hovered, x = 40 * state),
    # slider thumb and channel at y 200, spin arrows at y 224.
    bevel(c, (0, 128, 40, 148), LIGHT, SHADOW, LIGHT, sunken=True)
    rect(c, (40, 128, 80, 168), CLEAR)
    frame(c, (42, 134, 78, 166), SHADOW)
    frame(c, (43, 135, 77, 165), LIGHT)
    bevel(c, (80, 128, 120, 144), (236, 238, 244), SHADOW, LIGHT, sunken=True)
    vgradient(c, (120, 128, 160, 144), (90, 170, 250), (30, 100, 200))
    for state, face in enumerate((FACE, (236, 240, 250), (226, 226, 226), (244, 238, 226))):
        bevel(c, (40 * state, 176, 40 * state + 40, 196), face, LIGHT, SHADOW)
    bevel(c, (0, 200, 12, 220), FACE, LIGHT, DARK)
    bevel(c, (16, 206, 56, 210), (200, 204, 214), SHADOW, LIGHT, sunken=True)
    # Spin states: normal, hover, pressed, disabled.
    spin_faces = (FACE, (232, 236, 246), (190, 196, 210), (226, 226, 226))
    for state, face in enumerate(spin_faces):
        x = 16 * state
        for y, direction in ((224, "up"), (232, "down")):
            bevel(c, (x, y, x + 16, y + 8), face, LIGHT, SHADOW, sunken=state == 2)
            with Layer(c, (x, y, x + 16, y + 8)) as l:
                arrow(l, x + 8, y + 4, 3, direction, DARK)
    # Header item and status bar panel at y 240.
    bevel(c, (64, 240, 104, 256), FACE, LIGHT, SHADOW)
    bevel(c, (104, 240, 160, 256), FACE, SHADOW, LIGHT, sunken=True)
    return c


def launcher_art(hot):
    """The launcher's window, 400 x 240, with its buttons; the hot variant
    lights every button."""
    c = picture(400, 240)
    with Layer(c) as l:
        l.disc(120.5, 120.5, 110.5, DARK)
    rect(c, (120, 30, 380, 210), DARK)
    with Layer(c) as l:
        l.disc(120.5, 120.5, 106.5, CAPTION_TOP)
    vgradient(c, (120, 34, 376, 206), CAPTION_TOP, CAPTION_BOTTOM)
    button = ACCENT if hot else (70, 110, 190)
    for i in range(3):  # Vantrel, Pelzor, Skarven
        bevel(c, (150, 60 + 45 * i, 350, 96 + 45 * i), button, LIGHT, DARK)
    with Layer(c) as l:
        for i in range(3):  # About, Help, Home
            l.disc(60.5, 70.5 + 50 * i, 16.5, button)
    bevel(c, (340, 36, 356, 52), button, LIGHT, DARK)  # minimise
    bevel(c, (358, 36, 374, 52), button, LIGHT, DARK)  # close
    return c


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_artwork.py OUTDIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    save_bmp(os.path.join(out, "test.bmp"), test_art())
    save_bmp(os.path.join(out, "dialog.bmp"), dialog_art())
    save_bmp(os.path.join(out, "controls.bmp"), controls_art())
    for name, hot in (("interface_normal.bmp", False), ("interface_on.bmp", True)):
        save_bmp(os.path.join(out, name), launcher_art(hot))
    return 0


if __name__ == "__main__":
    sys.exit(main())
