#!/usr/bin/env python3
"""Draws the launcher's program icon, the one the converter shows too.

    make_launcher_art.py <outdir>

main.ico: 32 x 32, 32-bit with alpha, drawn with Pillow through the suite's
art module (tools/art/quorbel_art.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "art"))
from quorbel_art import Layer, picture, save_ico, suite_icon  # noqa: E402


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    c = picture(32)
    with Layer(c) as l:
        suite_icon(l)
    save_ico(os.path.join(out, "main.ico"), c)


if __name__ == "__main__":
    main()
