#!/usr/bin/env python3
"""Draws the disc creator's bitmaps and icon into an output folder.

    make_creator_art.py OUTDIR

The list window's hover buttons: 32 x 32 pictures for the toolbar row
(about, add, remove, run, help, home, exit) and 16 x 16 ones beside the
list (add, remove, remove all, play, up, down), 24-bit, with magenta
(0xFF00FF) where the button's background shows through. The disc-type
chooser's two marks (chosen, not chosen), 32 x 32. The program icon
vantrel.ico (32 x 32, 32-bit with its mask). Plain Python.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (38, 84, 160)
LIGHT_BLUE = (120, 170, 230)
GREEN = (40, 150, 60)
RED = (200, 40, 40)
ORANGE = (242, 160, 40)
GREY = (150, 156, 170)
SILVER = (212, 216, 226)
DARK = (60, 66, 84)


class Canvas:
    def __init__(self, size, fill=MAGENTA):
        self.size = size
        self.pixels = [[fill] * size for _ in range(size)]

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def disc(self, cx, cy, radius, colour):
        """A filled circle centred on the pixel grid point (cx, cy)."""
        for y in range(self.size):
            for x in range(self.size):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                if dx * dx + dy * dy <= radius * radius:
                    self.put(x, y, colour)

    def thick_line(self, x0, y0, x1, y1, width, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 + 1
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            self.rect(int(x - width / 2), int(y - width / 2),
                      int(x - width / 2) + width, int(y - width / 2) + width, colour)

    def triangle(self, points, colour):
        (ax, ay), (bx, by), (cx, cy) = points

        def side(px, py, qx, qy, rx, ry):
            return (px - rx) * (qy - ry) - (qx - rx) * (py - ry)

        for y in range(self.size):
            for x in range(self.size):
                px, py = x + 0.5, y + 0.5
                d1 = side(px, py, ax, ay, bx, by)
                d2 = side(px, py, bx, by, cx, cy)
                d3 = side(px, py, cx, cy, ax, ay)
                if (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0):
                    self.put(x, y, colour)

    def save_bmp(self, path):
        row_bytes = (self.size * 3 + 3) & ~3
        image_size = row_bytes * self.size
        with open(path, "wb") as f:
            f.write(b"BM" + struct.pack("<IHHI", 54 + image_size, 0, 0, 54))
            f.write(struct.pack("<IiiHHIIiiII", 40, self.size, self.size, 1, 24, 0,
                                image_size, 3780, 3780, 0, 0))
            pad = b"\0" * (row_bytes - self.size * 3)
            for y in range(self.size - 1, -1, -1):
                f.write(b"".join(bytes((b, g, r)) for (r, g, b) in self.pixels[y]) + pad)

    def save_ico(self, path):
        """One 32-bit image; magenta pixels are transparent (mask set)."""
        n = self.size
        colour = b""
        mask = b""
        mask_row_bytes = ((n + 31) // 32) * 4
        for y in range(n - 1, -1, -1):
            row = self.pixels[y]
            colour += b"".join(bytes((b, g, r, 0 if (r, g, b) == MAGENTA else 255))
                               for (r, g, b) in row)
            out = bytearray(mask_row_bytes)
            for x, p in enumerate(row):
                if p == MAGENTA:
                    out[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(out)

        header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(colour) + len(mask),
                             0, 0, 0, 0)
        image = header + colour + mask
        with open(path, "wb") as f:
            f.write(struct.pack("<HHH", 0, 1, 1))
            f.write(struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), 6 + 16))
            f.write(image)


def big(fill=MAGENTA):
    return Canvas(32, fill)


def small(fill=MAGENTA):
    return Canvas(16, fill)


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
    c = Canvas(size)
    s = size / 32
    c.disc(size / 2, size / 2, 14 * s, GREEN)
    plus(c, size // 2, size // 2, int(9 * s), max(2, int(4 * s)), WHITE)
    return c


def remove(size):
    c = Canvas(size)
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
    c.thick_line(4, 5, 12, 11, 2, RED)
    c.thick_line(12, 5, 4, 11, 2, RED)
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
        c.thick_line(11, 16, 15, 20, 3, WHITE)
        c.thick_line(15, 20, 22, 11, 3, WHITE)
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
        canvas.save_bmp(os.path.join(out, name))
    icon().save_ico(os.path.join(out, "vantrel.ico"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
