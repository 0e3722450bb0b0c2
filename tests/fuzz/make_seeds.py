#!/usr/bin/env python3
"""Writes the starting corpus of every fuzz target: tests/fuzz/make_seeds.py <folder>.

Each target gets <folder>/<target>/ with a few small valid inputs and the hostile inputs that
once cost far more than their size (deep PARENTCLASS chains, a skin INI beyond its limits, GIF
files that declare far more pixels than they hold). scripts/fuzz writes them before a run.
"""
import os
import struct
import sys
import zlib


def write(root, target, name, data):
    folder = os.path.join(root, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("cp1252"))


# ---- skins ------------------------------------------------------------------------------------

def chained_sections(count):
    text = "[S0]\r\nCOLOR=$123456\r\nBORDERSMASK=@0000,0000,0010,0010,1,0\r\n"
    for i in range(1, count):
        text += "[S%d]\r\nPARENTCLASS=S%d\r\n" % (i, i - 1)
    return text


def pack(entries):
    """The packed skin layout: tag, entry count, then name, size and a zlib stream each."""
    out = bytearray(b"ASzf") + struct.pack("<i", len(entries))
    for name, data in entries:
        raw = name.encode("cp1252")
        out += struct.pack("<i", len(raw)) + raw + struct.pack("<i", len(data))
        out += zlib.compress(data, 9)
    return bytes(out)


def skin_seeds(root):
    ini = "skin_ini_fuzz"
    write(root, ini, "plain", "[BUTTON]\r\nCOLOR=$00FF00\r\nGLOW=2\r\n[CHILD]\r\nPARENTCLASS=BUTTON\r\n"
          "FONTCOLOR=255\r\nBORDERSMASK=@0000,0000,0030,0010,3,0\r\n")
    write(root, ini, "chain-64", chained_sections(64))
    write(root, ini, "chain-65", chained_sections(65))
    write(root, ini, "chain-500", chained_sections(500))
    write(root, ini, "parent-cycle", "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=C\r\n"
          "[C]\r\nPARENTCLASS=A\r\n[D]\r\nPARENTCLASS=D\r\n")
    write(root, ini, "long-line", "[L]\r\nDESCRIPTION=" + "x" * 4100 + "\r\n")
    write(root, ini, "many-masks", "[M]\r\n" + "".join(
        "G%d=@0000,0000,0010,0010,1,0\r\n" % i for i in range(600)))
    write(root, ini, "common-sections", "[BUTTON]\r\nCOLOR=$FF\r\n\x01[EXTRA]\r\n"
          "PARENTCLASS=button\r\nGLOW=-1\r\n")

    pack_target = "skin_pack_fuzz"
    write(root, pack_target, "plain", pack([("Options.dat", b"[GLOBALINFO]\r\nVERSION=7.1\r\n")]))
    write(root, pack_target, "parent-cycle",
          pack([("Options.dat", b"[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=A\r\n")]))
    # An INI text one byte beyond the limit, a few kilobytes once packed.
    big = b"[GLOBALINFO]\r\n" + b";" * (4 * 1024 * 1024 - 14) + b"\r\n"
    write(root, pack_target, "options-too-large", pack([("Options.dat", big)]))


# ---- GIF ----------------------------------------------------------------------------------------

def gif_header(width, height):
    return b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\x00\x00\x00\xff\xff\xff"


def gif_frame(x, y, width, height, data, min_code=2):
    return b"," + struct.pack("<HHHHB", x, y, width, height, 0) + bytes([min_code]) + data


def sub_blocks(payload):
    out = b""
    for i in range(0, len(payload), 255):
        chunk = payload[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return out + b"\x00"


def gif_seeds(root):
    target = "imaging_gif_fuzz"
    no_pixels = sub_blocks(b"\x2c")      # clear, end in 3-bit codes
    one_pixel = sub_blocks(b"\x4c\x01")  # clear, one pixel, end
    write(root, target, "one-pixel.gif", gif_header(1, 1) + gif_frame(0, 0, 1, 1, one_pixel) + b";")
    cut = gif_header(16384, 16384) + gif_frame(0, 0, 16384, 16383, bytes([200]) + bytes(range(1, 200)))
    write(root, target, "truncated-huge-frame.gif", cut[:230])
    write(root, target, "huge-screen-tiny-frame.gif",
          gif_header(16384, 16384) + gif_frame(0, 0, 1, 1, one_pixel) + b";")
    many = gif_header(4096, 4096) + b"".join(gif_frame(0, 0, 4096, 4096, no_pixels) for _ in range(20))
    write(root, target, "many-empty-frames.gif", many + b";")
    write(root, target, "one-empty-huge-frame.gif",
          gif_header(16384, 16384) + gif_frame(0, 0, 16384, 16383, no_pixels) + b";")


# ---- the others ---------------------------------------------------------------------------------

def other_seeds(root):
    dump = ("CREATE TABLE t (a int);\r\nINSERT INTO t VALUES (1);\r\n-- note\r\n\r\n"
            "INSERT INTO t VALUES (2);\r\nDROP TABLE u;\r\n")
    write(root, "app_dump_split_fuzz", "sql-cleaned", b"\x06\x20\x00" + dump.encode())
    write(root, "app_dump_split_fuzz", "csv", b"\x01\x08\x00" + b"1;a\n2;b\n3;c\n")
    write(root, "editor_highlighter_tiling_fuzz", "sql",
          b"\x00SELECT 'a', \"b\", 12.5e3 FROM t -- c\r\n/* d */ WHERE x <> 1;")
    write(root, "editor_highlighter_tiling_fuzz", "far-east", b"\x81\x82\xa0 'x\x82' /* \x83\x40")
    write(root, "translate_xml_fuzz", "plain",
          '<?xml version="1.0"?>\r\n<lang name="de"><item id="1">Öffnen &amp; mehr</item>'
          "<![CDATA[x]]><!-- c --></lang>")
    write(root, "web_peimage_fuzz", "edits", bytes([0x3c, 0x00, 0x80, 0x10, 0x01, 0xff]))
    write(root, "imaging_png_fuzz", "edits", bytes([0x10, 0x00, 0xff, 0x18, 0x00, 0x00]))
    write(root, "skin_core_fuzz", "bytes", bytes(range(64)))
    write(root, "updater_list_fuzz", "list",
          b"Kestrava|http://h/k.exe|Kestrava.exe\r\n\r\nshort|line\r\n"
          b"Lang|http://h/m.xml|languages\\German\\main.xml|extra\n")
    write(root, "updater_list_fuzz", "hostile",
          b"a|u|..\\x\rb|u|C:\\x\rc|u|\\\\s\\x\rd|u|x:s\re|u|con.txt\rf|u|x. \r")
    # A mask, then a value and keys (a place byte and a key byte each).
    write(root, "framework_mask_fuzz", "phone", b"(999) 000-0000;0;_\x00" + b"0301\x05\x08\x07x\x0a\x16")
    write(root, "framework_mask_fuzz", "escapes", b">\\L<l\\;a!#_c;1;*\x00Ab+ \x01\x7f")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    skin_seeds(root)
    gif_seeds(root)
    other_seeds(root)


if __name__ == "__main__":
    main()
