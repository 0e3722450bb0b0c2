#!/usr/bin/env python3
"""Draws the editor control's built-in pictures as 16-colour BMP files.

    make_editor_pictures.py OUTPUT_DIR

KedEditWrapped.bmp         15 x 14: the mark painted in the gutter beside wrapped rows;
                           lime is its transparent colour.
KedEditInternalImages.bmp  110 x 14: ten 11 x 14 bookmark flags numbered 0 to 9.

Everything is drawn here from a few lines and a tiny digit font, so the build needs
nothing but this script.
"""

import os
import struct
import sys

# The sixteen colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0x80, 0x80, 0x80),  # 7 grey
    (0xC0, 0xC0, 0xC0),  # 8 silver
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 fuchsia
    (0x00, 0xFF, 0xFF),  # 14 aqua
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, NAVY, TEAL, SILVER, LIME, YELLOW, WHITE = 0, 4, 6, 8, 10, 11, 15

# Digits 0..9, five pixels wide and seven high ('#' is ink).
DIGITS = [
    [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
]


class Picture:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, index):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = index

    def fill(self, left, top, right, bottom, index):
        """Fills the rectangle left..right-1, top..bottom-1."""
        for y in range(top, bottom):
            for x in range(left, right):
                self.put(x, y, index)

    def bmp(self):
        """The picture as a 4-bit BMP file, rows stored bottom up."""
        row_bytes = ((self.width * 4 + 31) // 32) * 4
        rows = []
        for y in reversed(range(self.height)):
            row = bytearray(row_bytes)
            for x, index in enumerate(self.pixels[y]):
                row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            rows.append(bytes(row))
        bits = b"".join(rows)
        colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        offset = 14 + 40 + len(colours)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, 0,
                           len(bits), 2835, 2835, 16, 0)
        header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
        return header + info + colours + bits


def wrap_mark():
    """A return arrow: down the right side, then left to an arrow head."""
    p = Picture(15, 14, LIME)
    p.fill(10, 1, 12, 10, NAVY)  # the stem, two pixels wide
    p.fill(4, 8, 12, 10, NAVY)  # the foot, two pixels high
    for step in range(1, 4):  # the head, widening to the left
        p.fill(4 - step + 1, 8 - step, 4 - step + 3, 10 + step, NAVY)
    return p


def bookmark_flags():
    """Ten flags side by side, each with its number."""
    cell_width, height = 11, 14
    p = Picture(cell_width * 10, height, SILVER)
    for number, glyph in enumerate(DIGITS):
        left = number * cell_width
        p.fill(left + 1, 0, left + 10, 13, BLACK)  # outline
        p.fill(left + 2, 1, left + 9, 12, YELLOW)  # body
        for row, line in enumerate(glyph):
            for col, ink in enumerate(line):
                if ink == "#":
                    p.put(left + 3 + col, 3 + row, BLACK)
        # A notch at the foot makes it a ribbon.
        p.fill(left + 4, 12, left + 7, 13, SILVER)
        p.fill(left + 4, 11, left + 7, 12, BLACK)
    return p


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_editor_pictures.py OUTPUT_DIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "KedEditWrapped.bmp"), wrap_mark().bmp())
    write(os.path.join(out, "KedEditInternalImages.bmp"), bookmark_flags().bmp())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
