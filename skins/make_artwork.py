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
from quorbel_art import (CLEAR, MAGENTA, WHITE, Layer, bevel, frame, picture, rect,  # noqa: E402
                         save_bmp, vgradient)


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


# The launcher's window (launcher.skin names these rectangles). A text
# panel at the top, on which label 1001 draws its text (the launcher keeps
# the label inside it, clear of its edges); minimise and close to the
# right of the panel; the About, Help and Home discs on the left; the three
# program buttons.
LAUNCHER_SIZE = (480, 330)
TEXT_PANEL = (8, 6, 432, 86)    # the launcher's label lies inside, with a margin
PANEL_TOP = (250, 252, 255)     # the panel's light face, top to bottom
PANEL_BOTTOM = (214, 225, 242)
SMALL_BUTTONS = (("minimise", (438, 8, 456, 26)), ("close", (458, 8, 476, 26)))
ROUND_BUTTONS = (("info", 52, 138), ("help", 52, 206), ("home", 52, 274))  # centres, radius 20
ROUND_RADIUS = 20
PROGRAM_BUTTONS = (  # name, a few words, left, top (each 344 x 64)
    ("Vantrel", "Create a video disc", 116, 104),
    ("Pelzor", "Burn ready files to a disc", 116, 180),
    ("Skarven", "Convert video files", 116, 256),
)
PROGRAM_SIZE = (344, 64)
BUTTON = ((74, 116, 196), (50, 86, 160))      # normal face, top and bottom
BUTTON_HOT = ((250, 178, 64), (230, 134, 22))  # lit face
SILVER = (222, 226, 236)
SKY = (132, 180, 236)
RED = (214, 58, 40)


def program_icon(l, kind, x, y):
    """A 40 x 40 picture of what the program does, at (x, y)."""
    if kind == "Skarven":  # a film strip becoming a disc's MPEG
        l.rounded((x + 1, y + 8, x + 30, y + 32), 3, (44, 48, 60))
        for i in range(5):
            l.rect((x + 4 + 5.4 * i, y + 10, x + 7 + 5.4 * i, y + 13), WHITE)
            l.rect((x + 4 + 5.4 * i, y + 27, x + 7 + 5.4 * i, y + 30), WHITE)
        l.rect((x + 4, y + 15, x + 27, y + 25), SKY)
        l.polygon(((x + 25, y + 12), (x + 39, y + 20), (x + 25, y + 28)), ACCENT_LIGHT)
        return
    l.disc(x + 20, y + 20, 19, (44, 48, 60))
    l.disc(x + 20, y + 20, 18, SILVER)
    l.disc(x + 20, y + 20, 16.5, SKY)
    l.disc(x + 20, y + 20, 6, SILVER)
    l.disc(x + 20, y + 20, 2.5, (44, 48, 60))
    if kind == "Vantrel":  # a disc made from video: play
        l.polygon(((x + 23, y + 22), (x + 23, y + 40), (x + 39, y + 31)), ACCENT_LIGHT)
    else:  # burning: a flame on the disc
        l.polygon(((x + 30, y + 40), (x + 21, y + 33), (x + 24, y + 24), (x + 28, y + 28),
                   (x + 30, y + 19), (x + 36, y + 27), (x + 39, y + 34)), RED)
        l.polygon(((x + 30, y + 40), (x + 26, y + 35), (x + 29, y + 30), (x + 31, y + 32),
                   (x + 34, y + 34)), ACCENT_LIGHT)


ACCENT_LIGHT = (255, 196, 72)


def round_glyph(l, kind, cx, cy, colour):
    if kind == "info":
        l.text((cx, cy + 1), "i", 26, colour, bold=True, anchor="mm")
    elif kind == "help":
        l.text((cx, cy + 1), "?", 26, colour, bold=True, anchor="mm")
    else:  # home: a house
        l.polygon(((cx - 12, cy - 1), (cx, cy - 12), (cx + 12, cy - 1)), colour)
        l.rect((cx - 8, cy - 2, cx + 8, cy + 11), colour)
        l.rect((cx - 2.5, cy + 3, cx + 2.5, cy + 11), BUTTON[1])


def small_glyph(l, kind, box, colour):
    x0, y0, x1, y1 = box
    if kind == "minimise":
        l.rect((x0 + 4, y1 - 7, x1 - 4, y1 - 4), colour)
    else:
        l.line(((x0 + 5, y0 + 5), (x1 - 5, y1 - 5)), 2.2, colour)
        l.line(((x1 - 5, y0 + 5), (x0 + 5, y1 - 5)), 2.2, colour)


def launcher_art(hot):
    """The launcher's window; the hot variant lights every button (the skin
    takes each button's lit picture from it)."""
    w, h = LAUNCHER_SIZE
    c = picture(w, h)
    top, bottom = BUTTON_HOT if hot else BUTTON
    with Layer(c) as l:
        l.rounded((0, 0, w, h), 14, DARK)
    body = picture(w, h)
    vgradient(body, (0, 0, w, h), CAPTION_TOP, CAPTION_BOTTOM)
    shape = picture(w, h)
    with Layer(shape) as l:
        l.rounded((1, 1, w - 1, h - 1), 13, WHITE)
    c.paste(body, (0, 0), shape)
    # The text panel: a light face with a soft edge, inset like the buttons.
    x0, y0, x1, y1 = TEXT_PANEL
    face = picture(x1 - x0, y1 - y0)
    vgradient(face, (0, 0, x1 - x0, y1 - y0), PANEL_TOP, PANEL_BOTTOM)
    mask = picture(x1 - x0, y1 - y0)
    with Layer(mask) as l:
        l.rounded((0, 0, x1 - x0, y1 - y0), 10, WHITE)
    with Layer(c) as l:
        l.rounded((x0 - 1, y0 - 1, x1 + 1, y1 + 1), 11, (20, 40, 86))
    c.paste(face, (x0, y0), mask)
    # The left column behind the round buttons.
    with Layer(c) as l:
        l.rounded((10, 104, 94, 320), 12, (30, 64, 130))
        for kind, cx, cy in ROUND_BUTTONS:
            l.disc(cx, cy, ROUND_RADIUS + 1, (20, 40, 86))
            l.disc(cx, cy, ROUND_RADIUS, top)
            round_glyph(l, kind, cx, cy, WHITE)
        for kind, box in SMALL_BUTTONS:
            l.rounded(box, 3, DARK)
            l.rounded((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), 2, top)
            small_glyph(l, kind, box, WHITE)
    bw, bh = PROGRAM_SIZE
    for name, words, x, y in PROGRAM_BUTTONS:
        face = picture(bw, bh)
        vgradient(face, (0, 0, bw, bh), top, bottom)
        mask = picture(bw, bh)
        with Layer(mask) as l:
            l.rounded((0, 0, bw, bh), 10, WHITE)
        with Layer(c) as l:
            l.rounded((x - 1, y - 1, x + bw + 1, y + bh + 1), 11, (20, 40, 86))
        c.paste(face, (x, y), mask)
        with Layer(c, (x, y, x + bw, y + bh)) as l:
            l.rounded((x + 1, y + 1, x + bw - 1, y + bh - 1), 9, outline=(255, 255, 255, 90), width=1)
            program_icon(l, name, x + 12, y + 12)
            l.text((x + 66, y + 10), name, 19, WHITE, bold=True)
            l.text((x + 66, y + 36), words, 14, (255, 250, 240) if hot else (226, 234, 250))
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
