#!/usr/bin/env python3
"""Draws Kestrava's own skins and writes each in the three forms a skin can take.

    skingen.py OUTPUT_DIR

OUTPUT_DIR/folders/<name>/   the skin folder: Options.dat and its image files
OUTPUT_DIR/packed/<name>.asz the packed skin ("ASzf": every file a zlib stream)
OUTPUT_DIR/stored/<name>.skin the bytes a form stores for the skin (its Data: the packed bytes)
OUTPUT_DIR/broken/<case>.asz damaged skins for the error paths (packed; INI cases carry images)

Skins:
  Test                 a small skin of known solid colours and one example of every value
                       syntax, so tests can assert exact pixels;
  Full                 every section and mask the skinned windows read, in neutral grey;
  Office12Style        the main window's skin: light, white and soft blue;
  WMP 2008 (internal)  the updater's stored skin: dark graphite with a teal accent.

Every image is drawn here from code; nothing is copied from anywhere.
"""

import io
import os
import struct
import sys
import zlib

from PIL import Image, ImageDraw

KEY = (255, 0, 255)


# ---- file formats -------------------------------------------------------------------------------

def bmp_bytes(img, bits=24):
    """A bottom-up BMP of 24 (RGB) or 32 (RGBA, alpha kept) bits per pixel."""
    img = img.convert("RGBA" if bits == 32 else "RGB")
    w, h = img.size
    bpp = bits // 8
    row = (w * bpp + 3) & ~3
    px = img.tobytes()
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = px[y * w * bpp:(y + 1) * w * bpp]
        out = bytearray(len(line))
        out[0::bpp] = line[2::bpp]  # blue
        out[1::bpp] = line[1::bpp]  # green
        out[2::bpp] = line[0::bpp]  # red
        if bpp == 4:
            out[3::bpp] = line[3::bpp]
        data += out + b"\0" * (row - w * bpp)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + header + bytes(data)


def png_bytes(img):
    out = io.BytesIO()
    img.save(out, "PNG")
    return out.getvalue()


def jpeg_bytes(img, quality=92):
    out = io.BytesIO()
    img.convert("RGB").save(out, "JPEG", quality=quality)
    return out.getvalue()


def pack(entries, level=9):
    """entries: list of (name, bytes). The "ASzf" layout, integers little-endian."""
    out = bytearray(b"ASzf") + struct.pack("<i", len(entries))
    for name, data in entries:
        raw = name.encode("cp1252")
        out += struct.pack("<i", len(raw)) + raw + struct.pack("<i", len(data))
        out += zlib.compress(data, level)
    return bytes(out)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_skin(root, name, options, files):
    """The skin as a folder, a packed file and stored-skin bytes."""
    text = options.encode("cp1252")
    for fname, data in files.items():
        write(os.path.join(root, "folders", name, fname), data)
    write(os.path.join(root, "folders", name, "Options.dat"), text)
    packed = pack([("Options.dat", text)] + sorted(files.items()))
    write(os.path.join(root, "packed", name + ".asz"), packed)
    write(os.path.join(root, "stored", name + ".skin"), packed)
    return packed


def color(rgb):
    """A TColor (0x00BBGGRR) in decimal, as skins write colours."""
    r, g, b = rgb
    return str(r | (g << 8) | (b << 16))


def ini_text(sections):
    lines = []
    for name, keys in sections:
        lines.append("[%s]" % name)
        lines += ["%s=%s" % kv for kv in keys]
        lines.append("")
    return "\r\n".join(lines)


# ---- the test skin --------------------------------------------------------------------------------

def test_skin():
    """Regions of known colours, one example of every value syntax."""
    master = Image.new("RGB", (256, 256), (255, 255, 255))
    d = ImageDraw.Draw(master)
    # @0000,0000,0060,0020,3,0: three 20 x 20 glyph states.
    d.rectangle((0, 0, 19, 19), fill=(255, 0, 0))
    d.rectangle((20, 0, 39, 19), fill=(0, 255, 0))
    d.rectangle((40, 0, 59, 19), fill=(0, 0, 255))
    # ^0010,0020,0110,0050,...: colour row yellow, mask row black (0 takes the colour).
    d.rectangle((10, 20, 109, 34), fill=(255, 255, 0))
    d.rectangle((10, 35, 109, 49), fill=(0, 0, 0))
    # ~0000,0100,0064,0164,00: a teal texture.
    d.rectangle((0, 100, 63, 163), fill=(0, 128, 128))
    # #(120,60,180,90)(3,1,2,1): orange.
    d.rectangle((120, 60, 179, 89), fill=(255, 128, 0))
    # Key colour: these pixels stay transparent (alpha 0) in the 32-bit master.
    d.rectangle((200, 0, 215, 15), fill=KEY)

    btn = Image.new("RGB", (40, 30), (128, 0, 128))
    glyph = Image.new("RGBA", (32, 16), (0, 0, 255, 255))
    ImageDraw.Draw(glyph).rectangle((0, 0, 31, 3), fill=(255, 255, 255, 0))
    corner = Image.new("RGB", (30, 12), (0, 255, 255))
    # A glow mask of 12 x 12 with borders of 4: every corner and edge its own opaque colour,
    # the centre fully transparent.
    glow = Image.new("RGBA", (12, 12), (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    for box, fill in (((0, 0, 3, 3), (255, 0, 0)), ((8, 0, 11, 3), (0, 255, 0)),
                      ((0, 8, 3, 11), (0, 0, 255)), ((8, 8, 11, 11), (255, 255, 255)),
                      ((4, 0, 7, 3), (255, 255, 0)), ((4, 8, 7, 11), (0, 255, 255)),
                      ((0, 4, 3, 7), (255, 128, 0)), ((8, 4, 11, 7), (128, 0, 128))):
        gd.rectangle(box, fill=fill + (255,))
    files = {
        "MASTER.BMP": bmp_bytes(master),
        "BTN.BMP": bmp_bytes(btn),
        "GLYPH.PNG": png_bytes(glyph),
        "CORNER.BMP": bmp_bytes(corner),
        "GLOW.PNG": png_bytes(glow),
        "TEXTURE.JPG": jpeg_bytes(Image.new("RGB", (64, 48), (200, 100, 50))),
        "PATTERN.JPG": jpeg_bytes(Image.new("RGB", (1000, 900), (50, 100, 200)), 60),
        "PATTERN899.JPG": jpeg_bytes(Image.new("RGB", (1000, 899), (60, 120, 30)), 60),
    }
    sections = [
        ("GLOBALINFO", [("VERSION", "7.1"), ("AUTHOR", "Kestrava"),
                        ("DESCRIPTION", "Known colours for tests"),
                        ("MASTERBITMAP", "MASTER.BMP"), ("COLOR", "13421772"),
                        ("FONTCOLOR", "0"), ("HOTCOLOR", "16777215"),
                        ("SHADOW1COLOR", "0"), ("BORDERCOLOR", "$00808080")]),
        ("BUTTON", [("COLOR", "$00FF00"), ("FONTCOLOR", "0x000080"), ("HOTCOLOR", "x0000FF"),
                    ("HOTFONTCOLOR", "-16"), ("STATES", "4"),
                    ("BORDERSMASK", "^0010,0020,0110,0050,0004,0004,0004,0004,3,1,4,0"),
                    ("GLYPHMASK", "@0000,0000,0060,0020,3,0"),
                    ("PATTERN", "~0000,0100,0064,0164,00"),
                    ("OWNMASK", "!BTN.BMP!4!1!0"),
                    ("PNGMASK", "!GLYPH.PNG!2!0!2!1!2!3!4!1"),
                    ("CORNERMASK", "CORNER.BMP"),
                    ("FRAMEMASK", "#(120,60,180,90)(3,1,2,1)"),
                    ("TEXTURE", "TEXTURE.JPG"),
                    ("BIGPATTERN", "PATTERN.JPG"),
                    ("EDGEPATTERN", "PATTERN899.JPG"),
                    ("GRADIENTDATA", "16777215;12632256;50;0;0;12632256;8421504;50;0;0"),
                    ("GRADIENTPERCENT", "100")]),
        ("CHILDBUTTON", [("PARENTCLASS", "BUTTON"), ("FONTCOLOR", "255")]),
        ("ONESTATE", [("STATES", "1"), ("COLOR", "8421504"), ("HOTCOLOR", "255")]),
        ("CLEAR", [("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100")]),
        ("GLOWING", [("COLOR", color((0, 0, 128))), ("GLOW", "1"), ("GLOWMARGIN", "2"),
                     ("GLOW0", "!GLOW.PNG!1!0!0!4!4!4!4!0")]),
        ("SELECTION", [("COLOR", color((0, 120, 215))), ("FONTCOLOR", color((255, 255, 255))),
                       ("HOTCOLOR", color((0, 90, 180))),
                       ("HOTFONTCOLOR", color((255, 255, 0)))]),
    ]
    return ini_text(sections), files


# ---- drawing helpers for the full skins ------------------------------------------------------------

def mix(a, b, k):
    return tuple(int(round(a[i] * k + b[i] * (1 - k))) for i in range(3))


class Atlas:
    """The master image: regions handed out on shelves, drawn into at 4x for soft edges."""

    def __init__(self, width=512):
        self.width = width
        self.x = 0
        self.y = 0
        self.shelf = 0
        self.parts = []

    def place(self, w, h):
        if self.x + w > self.width:
            self.x, self.y, self.shelf = 0, self.y + self.shelf + 1, 0
        pos = (self.x, self.y)
        self.x += w + 1
        self.shelf = max(self.shelf, h)
        return pos

    def add(self, img):
        pos = self.place(*img.size)
        self.parts.append((pos, img))
        return pos

    def image(self):
        h = self.y + self.shelf + 1
        # With alpha: the window shadow keeps its own; every other part is opaque.
        master = Image.new("RGBA", (self.width, h), (255, 255, 255, 255))
        for pos, img in self.parts:
            master.paste(img, pos)
        return master


def coverage(size, draw_shape, scale=4):
    """An anti-aliased shape: 0..255 coverage drawn at `scale` times the size."""
    big = Image.new("L", (size[0] * scale, size[1] * scale), 0)
    draw_shape(ImageDraw.Draw(big), scale)
    return big.resize(size, Image.LANCZOS)


def masked_states(states, size, paint):
    """MaskType 1: the colour row above the mask row (0 takes the colour, 255 keeps below).
    paint(state) -> (colour image RGB, coverage L) of one state."""
    w, h = size
    img = Image.new("RGB", (w * len(states), h * 2), (0, 0, 0))
    for i, s in enumerate(states):
        rgb, cov = paint(s)
        img.paste(rgb, (i * w, 0))
        img.paste(Image.eval(cov, lambda v: 255 - v).convert("RGB"), (i * w, h))
    return img


def rounded_state(size, radius, fill_top, fill_bottom, border):
    w, h = size
    rgb = Image.new("RGB", size)
    d = ImageDraw.Draw(rgb)
    for y in range(h):
        d.line((0, y, w, y), fill=mix(fill_bottom, fill_top, y / max(1, h - 1)))
    edge = coverage(size, lambda dr, s: dr.rounded_rectangle(
        (0, 0, w * s - 1, h * s - 1), radius * s, fill=255))
    inner = coverage(size, lambda dr, s: dr.rounded_rectangle(
        (s, s, (w - 1) * s - 1, (h - 1) * s - 1), max(0, radius - 1) * s, fill=255))
    border_img = Image.new("RGB", size, border)
    rgb = Image.composite(rgb, border_img, inner)
    return rgb, edge


def glyph_state(size, draw, colour):
    cov = coverage(size, draw)
    return Image.new("RGB", size, colour), cov


def arrow(direction):
    def draw(d, s, direction=direction):
        pts = {"up": [(2, 6), (5, 3), (8, 6)], "down": [(2, 4), (5, 7), (8, 4)],
               "left": [(6, 2), (3, 5), (6, 8)], "right": [(4, 2), (7, 5), (4, 8)]}[direction]
        d.line([(x * s + s // 2, y * s + s // 2) for x, y in pts], fill=255, width=int(1.6 * s))
    return draw


def glow_halo(colour, size=24, border=8, margin=3, reach=5.5, strength=130):
    """The glow mask of hot buttons: a soft halo in one colour around a clear middle.

    The mask's border reaches `margin` pixels under the button, so the button's edge lies
    border - margin pixels inside the image; under the button the mask stays clear, outside
    the halo fades from `strength` to nothing over `reach` pixels."""
    edge = border - margin
    lo, hi, radius = edge, size - edge, 3.0
    img = Image.new("RGBA", (size, size), colour + (0,))
    px = img.load()
    for y in range(size):
        for x in range(size):
            # Distance from the pixel's centre to the rounded button outline (0 inside).
            cx, cy = x + 0.5, y + 0.5
            dx = max(lo + radius - cx, 0, cx - (hi - radius))
            dy = max(lo + radius - cy, 0, cy - (hi - radius))
            d = max(0.0, (dx * dx + dy * dy) ** 0.5 - radius)
            inside = lo <= cx <= hi and lo <= cy <= hi and d == 0
            a = 0 if inside else int(round(strength * max(0.0, 1 - d / reach) ** 2))
            px[x, y] = colour + (a,)
    return img


def window_shadow(strength, size=(46, 42), margins=(11, 7, 11, 11), drop=2, reach=11.0):
    """One state of the window shadow: clear under the window (inside the margins), outside
    black whose alpha falls from `strength` to nothing over `reach` pixels, a little lower
    than the window so that it shows most below it."""
    w, h = size
    left, top, right, bottom = margins
    lo_x, hi_x, lo_y, hi_y = left, w - right, top + drop, h - bottom + drop
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    px = img.load()
    for y in range(h):
        for x in range(w):
            if left <= x < w - right and top <= y < h - bottom:
                continue
            cx, cy = x + 0.5, y + 0.5
            dx = max(lo_x - cx, 0, cx - hi_x)
            dy = max(lo_y - cy, 0, cy - hi_y)
            d = (dx * dx + dy * dy) ** 0.5
            px[x, y] = (0, 0, 0, int(round(strength * max(0.0, 1 - d / reach) ** 2)))
    return img


# ---- the full skins -------------------------------------------------------------------------------

def full_skin(p):
    """Every section and mask the windows read, in the palette p."""
    atlas = Atlas()
    keys = {}

    def bordered(section, prop, size, states, radius=3, widths=(4, 4, 4, 4), flags=4):
        img = masked_states(states, size,
                            lambda s: rounded_state(size, radius, s[0], s[1], s[2]))
        x, y = atlas.add(img)
        w, h = img.size
        keys.setdefault(section, []).append(
            (prop, "^%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d,%d,1,%d,0" %
             (x, y, x + w, y + h, widths[0], widths[1], widths[2], widths[3], len(states),
              flags)))

    def glyph(section, prop, size, draw, colours):
        img = masked_states(colours, size, lambda c: glyph_state(size, draw, c))
        x, y = atlas.add(img)
        keys.setdefault(section, []).append(
            (prop, "@%04d,%04d,%04d,%04d,%d,1" % (x, y, x + img.size[0], y + img.size[1],
                                                   len(colours))))

    def texture(section, prop, top, bottom, size=(32, 32)):
        img = Image.new("RGB", size)
        d = ImageDraw.Draw(img)
        for yy in range(size[1]):
            d.line((0, yy, size[0], yy), fill=mix(bottom, top, yy / (size[1] - 1)))
        x, y = atlas.add(img)
        keys.setdefault(section, []).append(
            (prop, "~%04d,%04d,%04d,%04d,01" % (x, y, x + size[0], y + size[1])))

    face, light, dark, text = p["face"], p["light"], p["dark"], p["text"]
    accent, border, window = p["accent"], p["border"], p["window"]
    hot = mix(accent, light, 0.25)
    pressed = mix(accent, face, 0.45)
    disabled = mix(face, window, 0.5)
    button_states = [(light, face, border), (mix(hot, light, 0.6), hot, accent),
                     (pressed, mix(pressed, dark, 0.8), accent), (disabled, disabled, disabled)]
    plain_states = [(window, window, border), (window, window, accent),
                    (window, window, accent), (disabled, disabled, disabled)]

    for s in ("BUTTON", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "WEBBUTTON",
              "UPDOWNBTN", "COMBOBTN", "COLHEADER", "TITLEBUTTON"):
        bordered(s, "BORDERSMASK", (24, 22), button_states)
    for s in ("EDIT", "COMBOBOX"):
        bordered(s, "BORDERSMASK", (18, 18), plain_states, radius=2, widths=(3, 3, 3, 3))
    for s in ("GROUPBOX", "PANEL_LOW", "PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT",
              "PAGECONTROLRIGHT", "STATUSBAR", "GAUGE", "TRACKBAR", "DIALOG", "MDIAREA"):
        bordered(s, "BORDERSMASK", (18, 18), [(face, face, border)] * 2, widths=(4, 4, 4, 4),
                 flags=0)
    for s in ("TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"):
        bordered(s, "BORDERSMASK", (26, 22), [(face, face, border), (light, hot, accent),
                                               (window, window, border)])
    for s in ("SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT",
              "SCROLLSLIDERV", "SCROLLSLIDERH"):
        bordered(s, "BORDERSMASK", (16, 16), button_states, radius=2, widths=(3, 3, 3, 3))
    for s in ("SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"):
        bordered(s, "BORDERSMASK", (16, 16), [(mix(face, window, 0.5),) * 2 + (face,)] * 2,
                 radius=0, widths=(2, 2, 2, 2), flags=4)
        texture(s, "PATTERN", mix(face, window, 0.4), mix(face, window, 0.6), (16, 16))
        texture(s, "HOTPATTERN", mix(hot, window, 0.3), mix(hot, window, 0.5), (16, 16))
    for name, direction in (("SCROLLBTNTOP", "up"), ("SCROLLBTNBOTTOM", "down"),
                            ("SCROLLBTNLEFT", "left"), ("SCROLLBTNRIGHT", "right"),
                            ("COMBOBOX", "down"), ("UPDOWNBTN", "up")):
        glyph(name, "GLYPHMASK", (10, 10), arrow(direction), [text, accent, text, disabled])
    for name in ("SCROLLSLIDERV", "SCROLLSLIDERH"):
        glyph(name, "GLYPHMASK", (8, 8),
              lambda d, s: [d.line((s, (1 + 2 * i) * s, 7 * s, (1 + 2 * i) * s), fill=255,
                                   width=s) for i in range(3)], [dark, accent, dark, disabled])
    for s in ("COMBOBTN", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERV", "SCROLLSLIDERH",
              "BUTTON", "TOOLBAR", "STATUSBAR", "FORM"):
        texture(s, "PATTERN", light, face)
        texture(s, "HOTPATTERN", mix(hot, light, 0.5), hot)
    # Progress: the bar itself with a glossy top.
    for s in ("PROGRESSH", "PROGRESSV"):
        bordered(s, "BORDERSMASK", (18, 14), [(mix(accent, light, 0.7), accent, dark)] * 2,
                 radius=2, widths=(3, 3, 3, 3))
    bordered("GAUGE", "LRGN", (18, 14), [(light, light, light)], radius=2, widths=(3, 3, 3, 3))
    bordered("STATUSBAR", "STATUSPANELMASK", (14, 14), [(face, face, border)], radius=0,
             widths=(2, 2, 2, 2), flags=0)
    bordered("STATUSBAR", "GRIPIMAGE", (12, 12), [(face, face, dark)], radius=0,
             widths=(0, 0, 0, 0), flags=0)
    bordered("TRACKBAR", "SLIDERCHANNEL", (12, 6), [(dark, mix(dark, face, 0.5), border)],
             radius=2, widths=(2, 2, 2, 2))
    for prop in ("SLIDERMASK", "SLIDERVMASK"):
        bordered("TRACKBAR", prop, (12, 18), button_states[:3], radius=3, widths=(4, 4, 4, 4))
    for prop in ("TICKHORZ", "TICKVERT"):
        glyph("TRACKBAR", prop, (4, 4), lambda d, s: d.rectangle((s, s, 3 * s, 3 * s), fill=255),
              [dark])
    bordered("DIVIDER", "BORDERSMASK", (6, 6), [(border, border, border)], radius=0,
             widths=(1, 1, 1, 1))
    # A popup is one framed surface; its items show it through until they are hot (flag 2:
    # the item's frame is painted in the hot state only).
    for s, flags in (("MAINMENU", 4), ("MENUITEM", 6)):
        bordered(s, "BORDERSMASK", (16, 16), [(window, window, border),
                                              (mix(hot, window, 0.35),) * 2 + (accent,)],
                 radius=2, widths=(3, 3, 3, 3), flags=flags)
    # A selection keeps its own colour under the frame: its text colour is chosen for it.
    selection = p["selection"]
    bordered("SELECTION", "BORDERSMASK", (16, 16),
             [(selection, selection, mix(selection, border, 0.5)),
              (mix(selection, hot, 0.25),) * 2 + (accent,)],
             radius=2, widths=(3, 3, 3, 3))
    bordered("MENULINE", "BORDERSMASK", (16, 4), [(border, border, border)], radius=0,
             widths=(1, 1, 1, 1))
    bordered("ICOLINE", "BORDERSMASK", (16, 16), [(face, face, face)], radius=0,
             widths=(1, 1, 1, 1), flags=4)
    bordered("FORM", "BORDERSMASK", (30, 30), [(face, face, p["frame"]),
                                               (face, face, mix(p["frame"], face, 0.6))],
             radius=0, widths=(4, 4, 4, 4), flags=0)
    bordered("FORMTITLE", "BORDERSMASK", (30, 30), [(p["title_top"], p["title"], p["frame"]),
                                                    (mix(p["title_top"], face, 0.5),
                                                     mix(p["title"], face, 0.5), p["frame"])],
             radius=0, widths=(4, 4, 4, 4), flags=4)

    # Check boxes, radio buttons and title-button icons of GLOBALINFO.
    def box(checked, grayed=False):
        def draw(d, s):
            d.rounded_rectangle((0, 0, 13 * s - 1, 13 * s - 1), 2 * s, outline=255, width=s)
            if checked:
                d.line([(3 * s, 7 * s), (5 * s + s // 2, 9 * s + s // 2), (10 * s, 3 * s)],
                       fill=255, width=2 * s)
            if grayed:
                d.rectangle((3 * s, 3 * s, 10 * s - 1, 10 * s - 1), fill=255)
        return draw

    def radio(checked, grayed=False):
        def draw(d, s):
            d.ellipse((0, 0, 13 * s - 1, 13 * s - 1), outline=255, width=s)
            if checked or grayed:
                d.ellipse((4 * s, 4 * s, 9 * s - 1, 9 * s - 1), fill=255)
        return draw

    states4 = [text, accent, text, disabled]
    for prefix, size in (("BOX", 13), ("SMALL", 13)):
        glyph("GLOBALINFO", prefix + "UNCHECKED", (size, size), box(False), states4)
        glyph("GLOBALINFO", prefix + "CHECKED", (size, size), box(True), states4)
        glyph("GLOBALINFO", prefix + "GRAYED", (size, size), box(False, True), states4)
    glyph("GLOBALINFO", "RADIOUNCHECKED", (13, 13), radio(False), states4)
    glyph("GLOBALINFO", "RADIOCHECKED", (13, 13), radio(True), states4)
    glyph("GLOBALINFO", "RADIOGRAYED", (13, 13), radio(False, True), states4)

    def icon(kind):
        def draw(d, s):
            if kind == "CLOSE":
                d.line((2 * s, 2 * s, 9 * s, 9 * s), fill=255, width=int(1.5 * s))
                d.line((9 * s, 2 * s, 2 * s, 9 * s), fill=255, width=int(1.5 * s))
            elif kind == "MAX":
                d.rectangle((2 * s, 2 * s, 10 * s - 1, 10 * s - 1), outline=255, width=s)
            elif kind == "MIN":
                d.rectangle((2 * s, 8 * s, 10 * s - 1, 9 * s), fill=255)
            elif kind == "NORM":
                d.rectangle((2 * s, 4 * s, 8 * s - 1, 10 * s - 1), outline=255, width=s)
                d.line((4 * s, 2 * s, 10 * s, 2 * s, 10 * s, 8 * s), fill=255, width=s)
            else:
                d.arc((3 * s, 1 * s, 9 * s, 6 * s), 180, 90, fill=255, width=s)
                d.rectangle((5 * s, 8 * s, 7 * s - 1, 10 * s - 1), fill=255)
        return draw

    title_text = p["title_text"]
    accent_text = p["accent_text"]

    # Big title buttons: the glyph alone while normal or disabled, on a rounded box in the
    # accent colour while hot and in a darker one while pressed.
    def title_button(kind, size=(25, 18), glyph_size=12):
        w, h = size
        gx, gy = (w - glyph_size) // 2, (h - glyph_size) // 2
        mark = Image.new("L", size, 0)
        mark.paste(coverage((glyph_size, glyph_size), icon(kind)), (gx, gy))
        box = coverage(size, lambda d, s: d.rounded_rectangle((0, 0, w * s - 1, h * s - 1),
                                                               3 * s, fill=255))

        def paint(state):
            fill, colour = state
            if fill is None:
                return Image.new("RGB", size, colour), mark
            rgb = Image.composite(Image.new("RGB", size, colour), Image.new("RGB", size, fill),
                                  mark)
            return rgb, box
        img = masked_states([(None, title_text), (accent, accent_text),
                             (mix(accent, dark, 0.55), accent_text), (None, disabled)],
                            size, paint)
        x, y = atlas.add(img)
        keys.setdefault("GLOBALINFO", []).append(
            ("BICON" + kind, "@%04d,%04d,%04d,%04d,%d,1" % (x, y, x + img.size[0],
                                                             y + img.size[1], 4)))

    for kind in ("CLOSE", "MAX", "MIN", "NORM", "HELP"):
        title_button(kind)
        if kind != "HELP":
            glyph("GLOBALINFO", "SICON" + kind, (10, 10), icon(kind),
                  [title_text, accent, mix(accent, dark, 0.55), disabled])
    # The window shadow of extended borders: black fading out around a clear body, darker for
    # the active window; its borders reach FORMOFFSET (8) under the window.
    shadow = Image.new("RGBA", (2 * 46, 42), (0, 0, 0, 0))
    for i, strength in enumerate((50, 90)):
        shadow.paste(window_shadow(strength), (i * 46, 0))
    x, y = atlas.add(shadow)
    keys.setdefault("GLOBALINFO", []).append(
        ("EXBORDER", "^%04d,%04d,%04d,%04d,%04d,%04d,%04d,%04d,2,0,0,0" %
         (x, y, x + shadow.size[0], y + shadow.size[1], 8 + 11, 8 + 7, 8 + 11, 8 + 11)))

    master = atlas.image()
    text_hot = p.get("text_hot", text)
    sections = [("GLOBALINFO", [
        ("VERSION", "7.2"), ("AUTHOR", "Kestrava"), ("DESCRIPTION", p["description"]),
        ("MASTERBITMAP", "MASTER.BMP"), ("COLOR", color(face)), ("FONTCOLOR", color(text)),
        ("HOTCOLOR", color(window)), ("TITLEHEIGHT", "30"), ("FORMOFFSET", "8"),
        ("BORDERWIDTH", "4"), ("SHADOW1COLOR", "0"), ("SHADOW1OFFSET", "0"),
        ("SHADOW1BLUR", "6"), ("SHADOW1TRANSPARENCY", "60"), ("BORDERCOLOR", color(p["frame"])),
        ("BISPACE", "2"), ("BIKEEPHUE", "2"),
        # The close button glows softly while hot (the other title buttons do not).
        ("BICONCLOSEGLOW", "1"), ("BICONCLOSEGLOWMARGIN", "3"),
        ("BICONCLOSEGLOW0", "!GLOW.PNG!1!0!0!8!8!8!8!0")] + keys.pop("GLOBALINFO"))]

    def section(name, colour, font, hotc=None, hotfont=None, parent=None, extra=()):
        k = []
        if parent:
            k.append(("PARENTCLASS", parent))
        k += [("COLOR", color(colour)), ("FONTCOLOR", color(font)),
              ("HOTCOLOR", color(hotc or colour)), ("HOTFONTCOLOR", color(hotfont or font))]
        k += list(extra) + keys.pop(name, [])
        sections.append((name, k))

    grad = lambda a, b: "%s;%s;100;0;0" % (color(a), color(b))
    section("FORM", face, text, extra=[("STATES", "1")])
    section("FORMTITLE", p["title"], title_text, extra=[
        ("GRADIENTDATA", grad(p["title_top"], p["title"])), ("GRADIENTPERCENT", "100")])
    # No CAPTION section: the title text sits straight on the title's gradient, as one piece
    # with it, instead of in a box of its own framed like the whole title.
    section("DIALOG", face, text, parent="FORM")
    section("MDIAREA", mix(face, dark, 0.8), text, parent="FORM")
    # Hot buttons glow softly in the accent colour (GLOW.PNG: borders of 8, 3 under the button).
    glow = [("GLOW", "1"), ("GLOWMARGIN", "3"), ("GLOW0", "!GLOW.PNG!1!0!0!8!8!8!8!0")]
    for s in ("BUTTON", "SPEEDBUTTON", "WEBBUTTON", "TITLEBUTTON"):
        section(s, face, text, hot, text_hot, parent=None if s == "BUTTON" else "BUTTON", extra=[
            ("GRADIENTDATA", grad(light, face)), ("GRADIENTPERCENT", "100"),
            ("HOTGRADIENTDATA", grad(mix(hot, light, 0.6), hot)), ("HOTGRADIENTPERCENT", "100"),
            ("SHOWFOCUS", "1"), ("FADINGENABLED", "1"), ("FADINGITERATIONS", "5")] +
            (glow if s in ("BUTTON", "SPEEDBUTTON") else []))
    section("SPEEDBUTTON_SMALL", face, text, hot, text_hot, parent="SPEEDBUTTON")
    section("TOOLBUTTON", face, text, hot, text_hot, parent="SPEEDBUTTON",
            extra=[("TRANSPARENCY", "100")] + glow)
    section("UPDOWNBTN", face, text, hot, text_hot, parent="BUTTON")
    section("EDIT", window, text, window, text, extra=[("SHOWFOCUS", "1")])
    section("COMBOBOX", window, text, window, text, parent="EDIT")
    section("COMBOBTN", face, text, hot, text_hot, parent="BUTTON")
    section("CHECKBOX", face, text, face, text_hot, extra=[("TRANSPARENCY", "100"),
                                                           ("HOTTRANSPARENCY", "100")])
    section("RADIOBUTTON", face, text, face, text_hot, parent="CHECKBOX")
    section("GROUPBOX", face, text, extra=[("GIVEOWNFONT", "1"), ("STATES", "1")])
    section("PANEL", face, text, extra=[("STATES", "1")])
    section("PANEL_LOW", mix(face, window, 0.5), text, parent="PANEL")
    section("TOOLBAR", face, text, extra=[("STATES", "1"), ("GRADIENTDATA", grad(light, face)),
                                           ("GRADIENTPERCENT", "100")])
    section("STATUSBAR", face, text, extra=[("STATES", "1")])
    for s in ("DIVIDER", "SPLITTER", "DRAGBAR", "BAR", "BARTITLE"):
        section(s, face, text, parent="PANEL")
    section("GAUGE", window, text, extra=[("STATES", "1")])
    section("PROGRESSH", accent, p["accent_text"])
    section("PROGRESSV", accent, p["accent_text"], parent="PROGRESSH")
    section("PAGECONTROL", face, text, extra=[("STATES", "1")])
    for s in ("PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"):
        section(s, face, text, parent="PAGECONTROL")
    section("TABSHEET", face, text, parent="PAGECONTROL")
    for s in ("TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"):
        section(s, face, text, light, text_hot, extra=[("STATES", "3")])
    for s in ("SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT",
              "SCROLLSLIDERV", "SCROLLSLIDERH"):
        section(s, face, text, hot, text_hot)
    for s in ("SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"):
        section(s, mix(face, window, 0.5), text)
    section("COLHEADER", face, text, hot, text_hot, parent="BUTTON")
    section("TRACKBAR", face, text, extra=[("TRANSPARENCY", "100")])
    section("SELECTION", p["selection"], p["selection_text"], p["selection"],
            p["selection_text"], extra=[("STATES", "2")])
    section("MAINMENU", face, text, hot, text_hot)
    section("MENUITEM", window, text, mix(hot, window, 0.35), text_hot,
            extra=[("TRANSPARENCY", "100")])
    # The menu bar draws its captions in this colour: the text colour keeps them readable.
    section("MENULINE", window, text, parent="MENUITEM", extra=[("TRANSPARENCY", "0")])
    section("ICOLINE", face, text, extra=[("STATES", "1")])
    section("EXTRALINE", accent, p["accent_text"], extra=[("STATES", "1")])
    assert not keys, keys
    # 32 bits with alpha already set (opaque), so loading needs no conversion.
    return ini_text(sections), {"MASTER.BMP": bmp_bytes(master.convert("RGBA"), 32),
                                "GLOW.PNG": png_bytes(glow_halo(accent))}


PALETTES = {
    "Full": dict(description="Every section and mask, neutral grey",
                 face=(236, 236, 236), light=(250, 250, 250), dark=(150, 150, 150),
                 text=(30, 30, 30), accent=(96, 96, 96), border=(170, 170, 170),
                 window=(255, 255, 255), frame=(120, 120, 120), title=(200, 200, 200),
                 title_top=(225, 225, 225), title_text=(20, 20, 20),
                 selection=(96, 96, 96), selection_text=(255, 255, 255),
                 accent_text=(255, 255, 255)),
    "Office12Style": dict(description="Light: white surfaces, soft blue accents",
                          face=(243, 246, 251), light=(255, 255, 255), dark=(160, 176, 198),
                          text=(32, 42, 58), accent=(43, 118, 210), border=(190, 203, 222),
                          window=(255, 255, 255), frame=(150, 172, 204),
                          title=(222, 233, 248), title_top=(246, 250, 255),
                          title_text=(24, 48, 86), selection=(204, 226, 252),
                          selection_text=(16, 32, 64), accent_text=(255, 255, 255),
                          text_hot=(16, 64, 140)),
    "WMP 2008 (internal)": dict(description="Dark graphite with a teal accent",
                                face=(45, 48, 54), light=(70, 74, 82), dark=(24, 26, 30),
                                text=(226, 230, 236), accent=(0, 170, 170),
                                border=(84, 90, 100), window=(34, 36, 41), frame=(16, 18, 22),
                                title=(30, 32, 37), title_top=(58, 62, 70),
                                title_text=(235, 240, 245), selection=(0, 128, 128),
                                selection_text=(255, 255, 255), accent_text=(10, 20, 22),
                                text_hot=(255, 255, 255)),
}


# ---- broken skins ---------------------------------------------------------------------------------

def le32(v):
    return struct.pack("<i", v)


def entry(name, data, size=None, stream=None):
    raw = name.encode("cp1252")
    return le32(len(raw)) + raw + le32(len(data) if size is None else size) + \
        (zlib.compress(data, 9) if stream is None else stream)


def broken_skins(root):
    opts = b"[GLOBALINFO]\r\nVERSION=7.0\r\n"
    img = bmp_bytes(Image.new("RGB", (4, 4), (1, 2, 3)))
    good = b"ASzf" + le32(2) + entry("Options.dat", opts) + entry("A.BMP", img)
    cases = {}
    # Truncated at every field: the tag, N, L, the name, S, inside the stream, its checksum.
    first = 8 + 4 + len("Options.dat") + 4
    for label, length in (("tag", 2), ("count", 6), ("namelength", 10), ("name", 15),
                          ("size", first - 2), ("stream", first + 4), ("checksum", len(good) - 2)):
        cases["truncated-" + label] = good[:length]
    cases["count-negative"] = b"ASzf" + le32(-1) + good[8:]
    cases["count-huge"] = b"ASzf" + le32(0x7FFFFFFF) + good[8:]
    cases["count-zero"] = b"ASzf" + le32(0)
    cases["namelength-huge"] = b"ASzf" + le32(1) + le32(0x40000000) + b"Options.dat"
    cases["namelength-negative"] = b"ASzf" + le32(1) + le32(-5) + b"Options.dat"
    cases["size-huge"] = b"ASzf" + le32(1) + entry("Options.dat", opts, size=0x7FFFFFF0)
    cases["size-negative"] = b"ASzf" + le32(1) + entry("Options.dat", opts, size=-1)
    cases["size-too-small"] = b"ASzf" + le32(1) + entry("Options.dat", opts, size=len(opts) - 3)
    cases["size-too-large"] = b"ASzf" + le32(1) + entry("Options.dat", opts, size=len(opts) + 3)
    bad = bytearray(zlib.compress(opts, 9))
    bad[4] ^= 0xFF
    bad[5] ^= 0x5A
    cases["stream-corrupt"] = b"ASzf" + le32(1) + entry("Options.dat", opts, stream=bytes(bad))
    comp = zlib.compressobj(9, zlib.DEFLATED, 15, 9, zlib.Z_DEFAULT_STRATEGY, zdict=b"GLOBALINFO")
    with_dict = comp.compress(opts) + comp.flush()
    cases["stream-dictionary"] = b"ASzf" + le32(1) + entry("Options.dat", opts, stream=with_dict)
    cases["options-missing"] = b"ASzf" + le32(1) + entry("A.BMP", img)
    cases["options-twice"] = b"ASzf" + le32(2) + entry("Options.dat", opts) + \
        entry("options.DAT", opts)
    cases["tag-wrong-case"] = b"ASZF" + good[4:]

    # INI cases, with a small master image.
    master = bmp_bytes(Image.new("RGB", (64, 64), (10, 20, 30)))

    def ini_case(body, extra=()):
        text = ("[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n" + body).encode("cp1252")
        return pack([("Options.dat", text), ("MASTER.BMP", master)] + list(extra))

    cases["ini-zero-imagecount"] = ini_case(
        "[B]\r\nBORDERSMASK=^0000,0000,0030,0030,0000,0000,0000,0000,0,0,4,0\r\n")
    cases["ini-zero-width-own"] = ini_case("[B]\r\nM=!A.BMP!0!1\r\n", [("A.BMP", master)])
    cases["ini-negative-field"] = ini_case("[B]\r\nG=@-001,0000,0010,0010,1,0\r\n")
    cases["ini-short-field"] = ini_case("[B]\r\nG=@0000,0000,0010\r\n")
    cases["ini-not-a-number"] = ini_case("[B]\r\nG=@00x0,0000,0010,0010,1,0\r\n")
    cases["ini-outside-master"] = ini_case("[B]\r\nG=@0100,0100,0120,0120,1,0\r\n")
    cases["ini-inverted-rect"] = ini_case("[B]\r\nG=@0020,0000,0010,0010,1,0\r\n")
    cases["ini-unknown-masktype"] = ini_case("[B]\r\nG=@0000,0000,0010,0010,1,7\r\n")
    cases["ini-negative-kind"] = ini_case("[B]\r\nM=!A.BMP!1!1!-2\r\n", [("A.BMP", master)])
    huge = bytearray(bmp_bytes(Image.new("RGB", (2, 2))))
    huge[18:26] = struct.pack("<ii", 100000, 100000)
    cases["ini-huge-image"] = ini_case("[B]\r\nM=!H.BMP!1!1\r\n", [("H.BMP", bytes(huge))])
    cases["ini-bad-shadow"] = ini_case("SHADOW1OFFSET=abc\r\n")
    cases["ini-parent-cycle"] = ini_case(
        "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=A\r\n")
    for name, data in cases.items():
        write(os.path.join(root, "broken", name + ".asz"), data)

    # Skins that look odd but must load: an empty entry, and a section naming itself as parent.
    write(os.path.join(root, "odd", "empty-entry.asz"),
          b"ASzf" + le32(2) + entry("Options.dat", opts) + entry("EMPTY.BMP", b""))
    write(os.path.join(root, "odd", "parent-self.asz"), ini_case(
        "[C]\r\nPARENTCLASS=C\r\n"))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    options, files = test_skin()
    write_skin(root, "Test", options, files)
    for name, palette in PALETTES.items():
        options, files = full_skin(palette)
        write_skin(root, name, options, files)
    broken_skins(root)


if __name__ == "__main__":
    main()
