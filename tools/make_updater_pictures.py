#!/usr/bin/env python3
"""Draws the updater's pictures.

    make_updater_pictures.py OUTPUT_DIR

Updater.ico          the program icon: Kestrava's emblem with a download arrow.
UpdaterDecor.png     179 x 250 decorative picture beside the file list, real alpha.
UpdaterState<n>.png  16 x 16 state images of the list items: 0 listed, 1 downloading,
                     2 downloaded, 3 failed.
UpdaterPictures.rc   the resource script that embeds them.

Drawn from simple shapes at four times the size and reduced, like the main program's
pictures, whose emblem and canvas it borrows. Needs Debian's python3-pil.
"""

import os
import sys

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_program_pictures import ICON_SIZES, SCALE, Canvas, emblem  # noqa: E402

TEAL = (0, 170, 170, 255)
TEAL_DARK = (0, 110, 110, 255)
GREY = (150, 156, 166, 255)
GREEN = (46, 170, 90, 255)
RED = (214, 62, 52, 255)
WHITE = (255, 255, 255, 255)


def arrow(c, x, y, w, h, fill, outline=None):
    """A down arrow whose box starts at (x, y)."""
    shaft = w * 0.36
    c.polygon([(x + (w - shaft) / 2, y), (x + (w + shaft) / 2, y),
               (x + (w + shaft) / 2, y + h * 0.5), (x + w, y + h * 0.5),
               (x + w / 2, y + h), (x, y + h * 0.5), (x + (w - shaft) / 2, y + h * 0.5)],
              fill=fill, outline=outline)


def icon(size):
    base = emblem(size)
    c = Canvas(size)
    u = size / 16.0
    c.ellipse(8 * u, 8 * u, 16 * u, 16 * u, fill=TEAL_DARK)
    arrow(c, 9.5 * u, 9.3 * u, 5 * u, 5.6 * u, WHITE)
    return Image.alpha_composite(base, c.result())


def decor():
    width, height = 179, 250
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    image.alpha_composite(emblem(128), ((width - 128) // 2, 8))
    c = Canvas(max(width, height))
    # Three falling pages into a tray, in the skin's teal.
    for k, top in enumerate((150, 170, 190)):
        shade = (0, 170 - 30 * k, 170 - 30 * k, 255 - 50 * k)
        arrow(c, 64, top - 12, 50, 30, shade)
    c.rect(30, 226, 149, 242, fill=TEAL_DARK, radius=4)
    c.rect(34, 222, 145, 230, fill=TEAL, radius=3)
    drawn = c.image.resize((max(width, height),) * 2, Image.LANCZOS).crop((0, 0, width, height))
    image.alpha_composite(drawn)
    return image


def state(index):
    c = Canvas(16)
    if index == 0:
        c.ellipse(3, 3, 13, 13, outline=GREY, width=1.6)
    elif index == 1:
        c.ellipse(1, 1, 15, 15, fill=TEAL_DARK)
        arrow(c, 4, 3.5, 8, 9, WHITE)
    elif index == 2:
        c.ellipse(1, 1, 15, 15, fill=GREEN)
        c.line([(4.2, 8.3), (7, 11), (11.8, 5.2)], WHITE, width=2)
    else:
        c.ellipse(1, 1, 15, 15, fill=RED)
        c.line([(5, 5), (11, 11)], WHITE, width=2)
        c.line([(11, 5), (5, 11)], WHITE, width=2)
    return c.result()


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rc = ["// Drawn by tools/make_updater_pictures.py; do not edit.",
          'MAINICON ICON "Updater.ico"']
    icons = [icon(s) for s in ICON_SIZES]
    icons[-1].save(os.path.join(out, "Updater.ico"), format="ICO",
                   sizes=[(s, s) for s in ICON_SIZES], append_images=icons[:-1])
    decor().save(os.path.join(out, "UpdaterDecor.png"))
    rc.append('UPDATER_DECOR RCDATA "UpdaterDecor.png"')
    for index in range(4):
        file = "UpdaterState%d.png" % index
        state(index).save(os.path.join(out, file))
        rc.append('UPDATER_STATE%d RCDATA "%s"' % (index, file))
    with open(os.path.join(out, "UpdaterPictures.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
