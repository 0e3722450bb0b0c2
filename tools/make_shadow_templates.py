#!/usr/bin/env python3
"""Draws the default window shadow of extended borders: two nine-slice templates.

    make_shadow_templates.py OUTPUT_DIR

ShadowActive.png     the shadow around an active window
ShadowInactive.png   the lighter shadow around an inactive one
ShadowTemplates.rc   the resource script that embeds them as RCDATA "skSHDA" and "skSHDI"

Each template is a window body with its shadow around it: the shadow reaches 11 pixels to
the left, 7 above, 11 to the right and 11 below (light from above), and the body itself is
clear, so whatever the window draws shows unchanged. The shadow is a rounded rectangle the
size of the body, moved 2 pixels down and blurred, its darkness falling off smoothly to 0 at
the image's edge. Needs Debian's python3-pil.
"""

import os
import sys

from PIL import Image, ImageDraw, ImageFilter

# Shadow widths: left, top, right, bottom.
MARGINS = (11, 7, 11, 11)
# The body between the margins; edges are tiled, so a small one suffices.
BODY = (24, 24)


def template(darkness, spread):
    """darkness: the alpha next to the window (0-255); spread: the blur radius."""
    left, top, right, bottom = MARGINS
    width = left + BODY[0] + right
    height = top + BODY[1] + bottom
    # Drawn at four times the size for a smooth falloff, then reduced.
    scale = 4
    mask = Image.new("L", (width * scale, height * scale), 0)
    d = ImageDraw.Draw(mask)
    drop = 2
    d.rounded_rectangle(((left - 1) * scale, (top - 1 + drop) * scale,
                         (width - right + 1) * scale - 1, (height - bottom + 1 + drop) * scale - 1),
                        radius=4 * scale, fill=darkness)
    mask = mask.filter(ImageFilter.GaussianBlur(spread * scale))
    mask = mask.resize((width, height), Image.LANCZOS)
    # The body stays clear: the window covers it, and a form painted with transparency must
    # not darken. Nothing at the outermost pixels: the shadow fades out inside the image.
    mask.paste(0, (left, top, left + BODY[0], top + BODY[1]))
    ImageDraw.Draw(mask).rectangle((0, 0, width - 1, height - 1), outline=0)
    shadow = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    shadow.putalpha(mask)
    return shadow


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    template(150, 3.0).save(os.path.join(out, "ShadowActive.png"))
    template(90, 2.5).save(os.path.join(out, "ShadowInactive.png"))
    rc = ["// Drawn by tools/make_shadow_templates.py; do not edit.",
          'skSHDA RCDATA "ShadowActive.png"',
          'skSHDI RCDATA "ShadowInactive.png"']
    with open(os.path.join(out, "ShadowTemplates.rc"), "w") as f:
        f.write("\n".join(rc) + "\n")


if __name__ == "__main__":
    main()
