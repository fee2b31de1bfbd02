#!/usr/bin/env python3
"""Draws the skins' artwork as 24-bit BMP files into an output folder.

    make_artwork.py OUTDIR

test.bmp (test skin): a 256 x 256 grid of 16 x 16 solid cells. The cell in
column c, row r (x = 16c, y = 16r, counted from the top) has the colour
R = 16c + 8, G = 16r + 8, B = 0x40, so every part and state a skin test
draws can be told by its colour. Cells in rows 12 and 15 have their
top-left 4 x 4 pixels in the key colour magenta (0xFF00FF).

dialog.bmp, controls.bmp, interface_normal.bmp, interface_on.bmp: the
suite's own skin. Drawn with the suite's primitives
(tools/art/quorbel_art.py), no imaging library needed.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "art"))
import quorbel_art  # noqa: E402
from quorbel_art import MAGENTA  # noqa: E402

BMP_RESOLUTION = 3780  # pixels per metre


class Canvas(quorbel_art.Canvas):
    def __init__(self, width, height, fill=(0, 0, 0)):
        quorbel_art.Canvas.__init__(self, width, height, fill)

    def disc(self, cx, cy, radius, colour):
        """A round dot on whole pixels (a little fuller than a circle)."""
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + radius, colour,
                  offset=0, box=(cx - radius, cy - radius, cx + radius + 1, cy + radius + 1))

    def arrow(self, x0, y0, size, direction, colour):
        """A small filled arrow pointing up, down, left or right."""
        for i in range(size):
            span = size - 1 - i
            for j in range(-span, span + 1):
                if direction == "down":
                    px, py = x0 + j, y0 + i
                elif direction == "up":
                    px, py = x0 + j, y0 + size - 1 - i
                elif direction == "right":
                    px, py = x0 + i, y0 + j
                else:
                    px, py = x0 + size - 1 - i, y0 + j
                self.put(px, py, colour)

    def save(self, path):
        quorbel_art.save_bmp(path, self, BMP_RESOLUTION)


def test_art():
    c = Canvas(256, 256)
    for row in range(16):
        for col in range(16):
            c.rect(16 * col, 16 * row, 16 * col + 16, 16 * row + 16,
                   (16 * col + 8, 16 * row + 8, 0x40))
            if row in (12, 15):
                c.rect(16 * col, 16 * row, 16 * col + 4, 16 * row + 4, MAGENTA)
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


def dialog_art():
    """276 x 160 active frame on top, the inactive one below (y 160..320);
    caption buttons at y 320: close, maximise, minimise, system (16 x 16 each,
    normal / hot / pressed rows)."""
    c = Canvas(276, 368, FACE)
    for y0, top, bottom in ((0, CAPTION_TOP, CAPTION_BOTTOM), (160, INACTIVE_TOP, INACTIVE_BOTTOM)):
        c.rect(0, y0, 276, y0 + 160, top)
        c.vgradient(0, y0, 276, y0 + 30, top, bottom)
        c.rect(10, y0 + 30, 266, y0 + 148, FACE)
        c.frame(0, y0, 276, y0 + 160, DARK)
        c.frame(9, y0 + 29, 267, y0 + 149, SHADOW)
        # Rounded top corners keyed out.
        for x, y in ((0, 0), (1, 0), (0, 1), (275, 0), (274, 0), (275, 1)):
            c.rect(x, y0 + y, x + 1, y0 + y + 1, MAGENTA)
    for state, (face, glyph) in enumerate(((CAPTION_BOTTOM, LIGHT), (ACCENT, LIGHT), (DARK, ACCENT))):
        y = 320 + 16 * state
        for i in range(4):
            x = 16 * i
            c.bevel(x, y, x + 16, y + 16, face, LIGHT, DARK, sunken=state == 2)
            if i == 0:  # close: a cross
                for k in range(4, 12):
                    c.rect(x + k, y + k, x + k + 1, y + k + 1, glyph)
                    c.rect(x + 15 - k, y + k, x + 16 - k, y + k + 1, glyph)
            elif i == 1:  # maximise: a box
                c.frame(x + 4, y + 4, x + 12, y + 12, glyph)
                c.rect(x + 4, y + 5, x + 12, y + 6, glyph)
            elif i == 2:  # minimise: a bar
                c.rect(x + 4, y + 10, x + 12, y + 12, glyph)
            else:  # system menu: a dot
                c.disc(x + 8, y + 8, 3, glyph)
    return c


def controls_art():
    """Controls on a 160 x 256 sheet; the description names each rectangle."""
    c = Canvas(160, 256, FACE)
    # Push button states, 48 x 20 each at y = 20 * state:
    # normal, pressed, default, focused, highlighted, disabled.
    faces = (FACE, (196, 202, 216), FACE, FACE, (232, 236, 246), (226, 226, 226))
    for state, face in enumerate(faces):
        y = 20 * state
        c.bevel(0, y, 48, y + 20, face, LIGHT, SHADOW, sunken=state == 1)
        if state in (2, 3):
            c.frame(1, y + 1, 47, y + 19, ACCENT if state == 3 else DARK)
    # Check boxes (x 48) and radio buttons (x 64), 13 x 13 at y = 16 * state:
    # normal, selected, disabled, grayed normal, grayed selected,
    # highlighted normal, highlighted selected.
    for state in range(7):
        y = 16 * state
        box = (236, 236, 236) if state in (2, 3, 4) else (252, 252, 255)
        if state in (5, 6):
            box = (255, 244, 220)
        c.bevel(48, y, 61, y + 13, box, SHADOW, LIGHT, sunken=False)
        c.rect(64, y, 80, y + 16, MAGENTA)
        c.disc(70, y + 6, 6, SHADOW)
        c.disc(70, y + 6, 5, box)
        if state in (1, 4, 6):
            for k in range(3):  # a tick
                c.rect(51 + k, y + 5 + k, 52 + k, y + 7 + k, DARK)
            for k in range(5):
                c.rect(54 + k, y + 6 - k, 55 + k, y + 8 - k, DARK)
            c.disc(70, y + 6, 2, DARK)
    # Scroll bar: arrows 16 x 16 at x 80 (up, down, left, right), rows by
    # state (normal, pressed, highlighted, disabled) at y = 16 * state;
    # track 16 x 16 at x 144; thumb 16 x 16 at x 128.
    arrow_faces = (FACE, (190, 196, 210), (232, 236, 246), (226, 226, 226))
    for state, face in enumerate(arrow_faces):
        y = 16 * state
        glyph = (150, 150, 150) if state == 3 else DARK
        for i, direction in enumerate(("up", "down", "left", "right")):
            x = 80 + 16 * (i % 2) if i < 2 else 80 + 16 * (i - 2)
            yy = y if i < 2 else y + 64
            c.bevel(x, yy, x + 16, yy + 16, face, LIGHT, SHADOW, sunken=state == 1)
            c.arrow(x + 8 if direction in ("up", "down") else x + 5,
                       yy + 5 if direction in ("up", "down") else yy + 8, 4, direction, glyph)
        c.bevel(128, y, 144, y + 16, face, LIGHT, SHADOW)
        c.rect(144, y, 160, y + 16, (228, 230, 238))
    # Edit border (40 x 20 at y 128), group frame (40 x 40 at x 40),
    # progress track and bar (x 80 and x 120, 40 x 16), tab states
    # (40 x 20 at y 176: normal, pressed, disabled, hovered, x = 40 * state),
    # slider thumb and channel at y 200, spin arrows at y 224.
    c.bevel(0, 128, 40, 148, LIGHT, SHADOW, LIGHT, sunken=True)
    c.rect(40, 128, 80, 168, MAGENTA)
    c.frame(42, 134, 78, 166, SHADOW)
    c.frame(43, 135, 77, 165, LIGHT)
    c.bevel(80, 128, 120, 144, (236, 238, 244), SHADOW, LIGHT, sunken=True)
    c.vgradient(120, 128, 160, 144, (90, 170, 250), (30, 100, 200))
    for state, face in enumerate((FACE, (236, 240, 250), (226, 226, 226), (244, 238, 226))):
        c.bevel(40 * state, 176, 40 * state + 40, 196, face, LIGHT, SHADOW)
    c.bevel(0, 200, 12, 220, FACE, LIGHT, DARK)
    c.bevel(16, 206, 56, 210, (200, 204, 214), SHADOW, LIGHT, sunken=True)
    # Spin states: normal, hover, pressed, disabled.
    spin_faces = (FACE, (232, 236, 246), (190, 196, 210), (226, 226, 226))
    for state, face in enumerate(spin_faces):
        x = 16 * state
        c.bevel(x, 224, x + 16, 232, face, LIGHT, SHADOW, sunken=state == 2)
        c.arrow(x + 8, 226, 3, "up", DARK)
        c.bevel(x, 232, x + 16, 240, face, LIGHT, SHADOW, sunken=state == 2)
        c.arrow(x + 8, 234, 3, "down", DARK)
    # Header item and status bar panel at y 240.
    c.bevel(64, 240, 104, 256, FACE, LIGHT, SHADOW)
    c.bevel(104, 240, 160, 256, FACE, SHADOW, LIGHT, sunken=True)
    return c


def interface_art(hot):
    """The launcher's window, 400 x 240, with its buttons; the hot variant
    lights every button."""
    c = Canvas(400, 240, MAGENTA)
    c.disc(120, 120, 110, DARK)
    c.rect(120, 30, 380, 210, DARK)
    c.disc(120, 120, 106, CAPTION_TOP)
    c.vgradient(120, 34, 376, 206, CAPTION_TOP, CAPTION_BOTTOM)
    button = ACCENT if hot else (70, 110, 190)
    for i in range(3):  # Vantrel, Pelzor, Skarven
        c.bevel(150, 60 + 45 * i, 350, 96 + 45 * i, button, LIGHT, DARK)
    for i in range(3):  # About, Help, Home
        c.disc(60, 70 + 50 * i, 16, button)
    c.bevel(340, 36, 356, 52, button, LIGHT, DARK)  # minimise
    c.bevel(358, 36, 374, 52, button, LIGHT, DARK)  # close
    return c


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_artwork.py OUTDIR\n")
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    test_art().save(os.path.join(out, "test.bmp"))
    dialog_art().save(os.path.join(out, "dialog.bmp"))
    controls_art().save(os.path.join(out, "controls.bmp"))
    interface_art(False).save(os.path.join(out, "interface_normal.bmp"))
    interface_art(True).save(os.path.join(out, "interface_on.bmp"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
