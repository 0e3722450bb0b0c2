#!/usr/bin/env python3
"""Draws Kestrava's own pictures: program icon, about pictures and tool-bar glyphs.

    make_program_pictures.py OUTPUT_DIR

Kestrava.ico        the program icon in 16, 24, 32, 48 and 256 pixels (the 256 one as PNG).
AboutLarge.png      96 x 96 emblem of the about window.
AboutSmall.png      48 x 48 emblem of the about window.
Glyph<Name>.png     16 x 16 glyphs of the tool bar and the menus, 32-bit with real alpha;
                    GLYPHS below lists them in the order of the main window's image list.
ProgramPictures.rc  the resource script that embeds all of them.

The emblem: a blue rounded tile holding a white page cut into three numbered slices,
the middle slice pushed aside along an orange cut. Everything is drawn from simple shapes
at four times the size and reduced, so edges are smooth; nothing is taken from elsewhere.
Needs Debian's python3-pil.
"""

import math
import os
import sys

from PIL import Image, ImageDraw

SCALE = 4  # drawn at four times the size, then reduced for smooth edges

# The palette of the identity.
BLUE = (34, 94, 168, 255)
BLUE_LIGHT = (74, 144, 217, 255)
BLUE_DARK = (22, 62, 117, 255)
ORANGE = (240, 132, 36, 255)
SLATE = (52, 64, 82, 255)
PAPER = (255, 255, 255, 255)
PAPER_SHADE = (222, 232, 245, 255)
GREEN = (46, 160, 90, 255)
RED = (210, 60, 50, 255)
YELLOW = (246, 196, 68, 255)


class Canvas:
    """An RGBA drawing at SCALE times the final size, in final-size coordinates."""

    def __init__(self, size):
        self.size = size
        self.image = Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def s(v):
        return int(round(v * SCALE))

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0, radius=0.0):
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(radius), fill=fill,
                                    outline=outline, width=max(1, self.s(width)))

    def line(self, points, colour, width=1.0):
        self.draw.line([(self.s(x), self.s(y)) for x, y in points], fill=colour,
                       width=max(1, self.s(width)), joint="curve")

    def polygon(self, points, fill=None, outline=None):
        self.draw.polygon([(self.s(x), self.s(y)) for x, y in points], fill=fill, outline=outline)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0):
        self.draw.ellipse(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                          width=max(1, self.s(width)))

    def arc(self, x0, y0, x1, y1, start, end, colour, width=1.0):
        self.draw.arc(self.box(x0, y0, x1, y1), start, end, fill=colour,
                      width=max(1, self.s(width)))

    def result(self):
        return self.image.resize((self.size, self.size), Image.LANCZOS)


# --- The emblem ---------------------------------------------------------------------------


def emblem(size):
    """The program's emblem at `size` pixels; small sizes leave out the fine details."""
    c = Canvas(size)
    u = size / 16.0  # one unit of a 16-pixel grid
    # Tile with a lighter top half, as a soft gradient in two steps.
    c.rect(0.5 * u, 0.5 * u, 15.5 * u, 15.5 * u, fill=BLUE, radius=3 * u)
    c.rect(0.5 * u, 0.5 * u, 15.5 * u, 8 * u, fill=BLUE_LIGHT, radius=3 * u)
    c.rect(0.5 * u, 5 * u, 15.5 * u, 9 * u, fill=BLUE)
    # The page in three slices; the middle one pushed to the right along the cuts.
    tops = [2.5, 6.6, 10.7]
    heights = [3.3, 3.3, 3.0]
    shift = [0.0, 1.6, 0.0]
    for top, height, dx in zip(tops, heights, shift):
        x0, x1 = (3.5 + dx) * u, (12.0 + dx) * u
        c.rect(x0, top * u, x1, (top + height) * u, fill=PAPER, radius=0.6 * u)
        if size >= 24:  # text lines on each slice
            for k in range(2 if size < 48 else 3):
                ly = top * u + (0.9 + k * 0.85) * u
                if ly > (top + height - 0.6) * u:
                    break
                lx1 = x1 - (1.2 + 1.4 * ((k + int(top)) % 2)) * u
                c.line([(x0 + 1.0 * u, ly), (lx1, ly)], PAPER_SHADE, width=max(0.45 * u, 1.0 / SCALE))
    # The orange cut marks between the slices, reaching out of the page on the left.
    for cut in (6.0, 10.1):
        c.line([(1.8 * u, cut * u), (5.0 * u, cut * u)], ORANGE, width=max(0.9 * u, 1.0))
    return c.result()


# --- Glyphs ---------------------------------------------------------------------------------


def glyph_open(c):
    c.rect(1.5, 3.5, 7, 6, fill=YELLOW, outline=SLATE, width=1, radius=1)
    c.rect(1.5, 5, 13.5, 13.5, fill=YELLOW, outline=SLATE, width=1, radius=1)
    c.polygon([(4, 8), (15.5, 8), (13.5, 13.5), (1.5, 13.5)], fill=(252, 220, 120, 255))
    c.line([(4, 8), (15.5, 8), (13.5, 13.5), (1.5, 13.5), (4, 8)], SLATE, width=1)


def floppy(c):
    c.rect(1.5, 1.5, 14.5, 14.5, fill=BLUE, outline=BLUE_DARK, width=1, radius=1.5)
    c.rect(4, 1.5, 12, 6, fill=PAPER, outline=BLUE_DARK, width=1)
    c.rect(9.5, 2.5, 11, 5, fill=BLUE_DARK)
    c.rect(4, 9, 12, 14.5, fill=PAPER_SHADE, outline=BLUE_DARK, width=1)


def glyph_save(c):
    floppy(c)


def glyph_save_as(c):
    floppy(c)
    c.line([(8.5, 14.5), (14.5, 8.5)], ORANGE, width=2.4)
    c.line([(8.2, 14.8), (9.2, 13.8)], SLATE, width=1.6)


def glyph_cut(c):
    c.line([(5, 1.5), (10.5, 10.5)], SLATE, width=1.4)
    c.line([(11, 1.5), (5.5, 10.5)], SLATE, width=1.4)
    c.ellipse(1.5, 9.5, 7, 15, outline=ORANGE, width=1.6)
    c.ellipse(9, 9.5, 14.5, 15, outline=ORANGE, width=1.6)
    c.ellipse(7.4, 5.4, 8.6, 6.6, fill=SLATE)


def page(c, x0, y0, x1, y1):
    c.rect(x0, y0, x1, y1, fill=PAPER, outline=SLATE, width=1, radius=0.8)
    for k in range(int((y1 - y0 - 3) // 2)):
        y = y0 + 2.5 + k * 2
        c.line([(x0 + 2, y), (x1 - 2, y)], BLUE_LIGHT, width=0.9)


def glyph_copy(c):
    page(c, 1.5, 1.5, 10, 11)
    page(c, 6, 5, 14.5, 14.5)


def glyph_paste(c):
    c.rect(2, 2.5, 12.5, 14.5, fill=(205, 150, 90, 255), outline=SLATE, width=1, radius=1)
    c.rect(5, 1.2, 9.5, 4, fill=(170, 178, 190, 255), outline=SLATE, width=1, radius=0.8)
    page(c, 6.5, 6, 14.5, 15)


def curved_arrow(c, mirrored):
    """A hook arrow: its head points left at the top, its tail bends round to the bottom."""

    def mx(x):
        return 16 - x if mirrored else x

    cx, cy, r = 8.5, 9.0, 4.6
    points = []
    for k in range(0, 25):  # from the top of the circle, clockwise, to its bottom-left
        a = math.radians(-90 + 200 * k / 24.0)
        points.append((mx(cx + r * math.cos(a)), cy + r * math.sin(a)))
    c.line(points, BLUE, width=2.0)
    c.polygon([(mx(9.0), 0.8), (mx(9.0), 7.8), (mx(3.8), 4.3)], fill=BLUE)


def glyph_undo(c):
    curved_arrow(c, False)


def glyph_redo(c):
    curved_arrow(c, True)


def glyph_find(c):
    c.line([(9.8, 9.8), (14.5, 14.5)], SLATE, width=2.6)
    c.ellipse(1.5, 1.5, 11, 11, fill=(225, 238, 252, 200), outline=BLUE, width=1.6)
    c.arc(3.6, 3.6, 9, 9, 190, 260, PAPER, width=1.0)


def glyph_font_size(c):
    c.polygon([(1.5, 14), (5, 3), (7, 3), (10.5, 14), (8.6, 14), (6, 5.6), (3.4, 14)], fill=SLATE)
    c.rect(3.8, 9.2, 8.2, 10.6, fill=SLATE)
    c.polygon([(12.5, 2), (15, 5.5), (10, 5.5)], fill=ORANGE)
    c.polygon([(12.5, 14), (15, 10.5), (10, 10.5)], fill=ORANGE)


def glyph_font(c):
    c.polygon([(2, 14), (6.2, 2), (8.2, 2), (12.4, 14), (10.3, 14), (7.2, 4.8), (4.1, 14)],
              fill=BLUE)
    c.rect(4.6, 9, 9.8, 10.6, fill=BLUE)
    c.line([(11.5, 14.5), (15, 14.5)], ORANGE, width=1.2)


def glyph_exit(c):
    c.rect(2, 1.5, 10, 14.5, fill=(200, 214, 232, 255), outline=SLATE, width=1, radius=0.8)
    c.polygon([(2, 1.5), (7, 3.5), (7, 15), (2, 14.5)], fill=BLUE, outline=BLUE_DARK)
    c.line([(8.5, 8), (14, 8)], RED, width=1.8)
    c.polygon([(15.5, 8), (12, 4.8), (12, 11.2)], fill=RED)


def glyph_about(c):
    c.ellipse(1, 1, 15, 15, fill=BLUE, outline=BLUE_DARK, width=0.8)
    c.ellipse(7, 3.4, 9, 5.4, fill=PAPER)
    c.rect(7.05, 6.8, 8.95, 12.6, fill=PAPER, radius=0.5)


def glyph_language(c):
    c.ellipse(1.5, 1.5, 14.5, 14.5, fill=(210, 230, 250, 255), outline=BLUE, width=1.2)
    c.ellipse(5.2, 1.5, 10.8, 14.5, outline=BLUE, width=1.0)
    c.line([(1.8, 8), (14.2, 8)], BLUE, width=1.0)
    c.line([(3, 4.6), (13, 4.6)], BLUE, width=0.9)
    c.line([(3, 11.4), (13, 11.4)], BLUE, width=0.9)


def glyph_split(c):
    c.rect(1.5, 1.5, 9, 5, fill=PAPER, outline=SLATE, width=1, radius=0.6)
    c.rect(3.5, 6.3, 11, 9.7, fill=PAPER, outline=SLATE, width=1, radius=0.6)
    c.rect(1.5, 11, 9, 14.5, fill=PAPER, outline=SLATE, width=1, radius=0.6)
    c.polygon([(11, 3), (15.5, 8), (11, 13)], fill=GREEN)


def glyph_folder(c):
    c.rect(1.5, 3, 7, 6, fill=BLUE_LIGHT, outline=BLUE_DARK, width=1, radius=1)
    c.rect(1.5, 4.8, 14.5, 13.5, fill=BLUE_LIGHT, outline=BLUE_DARK, width=1, radius=1)
    c.rect(1.5, 6.8, 14.5, 13.5, fill=BLUE, outline=BLUE_DARK, width=1, radius=1)


def glyph_clean(c):
    page(c, 2, 1.5, 11, 14.5)
    c.ellipse(8.5, 8.5, 15.5, 15.5, fill=RED)
    c.line([(10.4, 10.4), (13.6, 13.6)], PAPER, width=1.4)
    c.line([(13.6, 10.4), (10.4, 13.6)], PAPER, width=1.4)


def glyph_check(c):
    c.line([(2.5, 8.5), (6.5, 12.5), (13.5, 3.5)], GREEN, width=2.4)


# The main window's image list, in order: (name, painter). The C++ side names the same
# order (app/ProgramPictures.h); a test loads every resource by name.
GLYPHS = [
    ("Open", glyph_open),
    ("Save", glyph_save),
    ("SaveAs", glyph_save_as),
    ("Cut", glyph_cut),
    ("Copy", glyph_copy),
    ("Paste", glyph_paste),
    ("Undo", glyph_undo),
    ("Redo", glyph_redo),
    ("Find", glyph_find),
    ("FontSize", glyph_font_size),
    ("Font", glyph_font),
    ("Exit", glyph_exit),
    ("About", glyph_about),
    ("Language", glyph_language),
    ("Split", glyph_split),
    ("Folder", glyph_folder),
    ("Clean", glyph_clean),
    ("Check", glyph_check),
]

ICON_SIZES = [16, 24, 32, 48, 256]


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rc = ["// Drawn by tools/make_program_pictures.py; do not edit.",
          'MAINICON ICON "Kestrava.ico"']
    # Every size drawn on its own grid, so small ones stay crisp.
    icons = [emblem(s) for s in ICON_SIZES]
    icons[-1].save(os.path.join(out, "Kestrava.ico"), format="ICO",
                   sizes=[(s, s) for s in ICON_SIZES], append_images=icons[:-1])
    emblem(96).save(os.path.join(out, "AboutLarge.png"))
    emblem(48).save(os.path.join(out, "AboutSmall.png"))
    rc.append('KESTRAVA_ABOUT_LARGE RCDATA "AboutLarge.png"')
    rc.append('KESTRAVA_ABOUT_SMALL RCDATA "AboutSmall.png"')
    for name, painter in GLYPHS:
        c = Canvas(16)
        painter(c)
        file = "Glyph%s.png" % name
        c.result().save(os.path.join(out, file))
        rc.append('KESTRAVA_GLYPH_%s RCDATA "%s"' % (name.upper(), file))
    with open(os.path.join(out, "ProgramPictures.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
