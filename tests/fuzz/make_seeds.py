#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into tests/fuzz/corpus/.

Small valid inputs of every form each reader accepts, and a few broken ones.
Run it again after changing it; the files it writes are kept in the
repository so that the replay tests need no Python.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- pictures ---------------------------------------------------------------

def bmp(width, height, bpp, rows, palette=b"", header_size=40, compression=0,
        masks=b"", top_down=False):
    """rows: list of row byte strings, unpadded, top row first."""
    stride = (width * bpp + 31) // 32 * 4
    order = rows if top_down else list(reversed(rows))
    pixels = b"".join(r.ljust(stride, b"\0") for r in order)
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
    else:
        h = -height if top_down else height
        info = struct.pack("<IiiHHIIiiII", header_size, width, h, 1, bpp, compression,
                           len(pixels), 2835, 2835, len(palette) // (3 if header_size == 12 else 4), 0)
        info = (info + masks).ljust(header_size, b"\0")
    offset = 14 + len(info) + len(palette)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def pictures():
    w, h = 3, 2
    rgb = [b"\x00\x00\xff\x00\xff\x00\xff\x00\x00", b"\xff\xff\xff\x00\x00\x00\x80\x80\x80"]
    write("bmp", "rgb24", bmp(w, h, 24, rgb))
    write("bmp", "rgb24_top_down", bmp(w, h, 24, rgb, top_down=True))
    write("bmp", "rgb32", bmp(w, h, 32, [b"\x00\x00\xff\x00" * 3, b"\xff\x00\x00\x00" * 3]))
    write("bmp", "rgb32_bitfields",
          bmp(w, h, 32, [b"\x11\x22\x33\x44" * 3] * 2, compression=3,
              masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), header_size=52))
    write("bmp", "rgb16_555", bmp(w, h, 16, [b"\x1f\x00\xe0\x03\x00\x7c"] * 2))
    write("bmp", "rgb16_565",
          bmp(w, h, 16, [b"\x1f\x00\xe0\x07\x00\xf8"] * 2, compression=3,
              masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F), header_size=52))
    pal4 = b"\x00\x00\x00\x00\xff\xff\xff\x00\x00\x00\xff\x00\x00\xff\x00\x00"
    write("bmp", "indexed8", bmp(w, h, 8, [b"\x00\x01\x02", b"\x03\x02\x01"], palette=pal4))
    write("bmp", "indexed4", bmp(w, h, 4, [b"\x01\x23", b"\x32\x10"], palette=pal4))
    write("bmp", "indexed1", bmp(w, h, 1, [b"\xa0", b"\x40"], palette=pal4[:8]))
    write("bmp", "core8",
          bmp(w, h, 8, [b"\x00\x01\x00", b"\x01\x00\x01"], palette=b"\x00\x00\x00\xff\xff\xff",
              header_size=12))
    write("bmp", "v5_alpha",
          bmp(w, h, 32, [b"\x10\x20\x30\x80" * 3] * 2, compression=3, header_size=124,
              masks=struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000)))
    write("bmp", "cell40", bmp(40, 40, 24, [b"\x00\xc0\x00" * 40] * 40))
    # Broken ones.
    write("bmp", "empty", b"")
    write("bmp", "magic_only", b"BM")
    good = bmp(w, h, 24, rgb)
    write("bmp", "truncated", good[:60])
    huge = bytearray(good)
    struct.pack_into("<ii", huge, 18, 65536, 32768)  # 2^31 pixels claimed
    write("bmp", "huge_claim", bytes(huge))
    rle = bytearray(good)
    struct.pack_into("<I", rle, 30, 1)  # run-length encoded: not accepted
    write("bmp", "rle8", bytes(rle))
    off = bytearray(good)
    struct.pack_into("<I", off, 10, 0xFFFFFFF0)  # pixels far beyond the end
    write("bmp", "offset_beyond", bytes(off))


# --- text fields --------------------------------------------------------------

def fields():
    seeds = {
        "numbers": "1,2,3\r\n4\r\n-5, 6 ,7\n",
        "strings": '"Anna",100\r\n"Bernd Maier",20\r\n',
        "unquoted": "Hallo Welt, zweites Feld\r\n",
        "radix": "&HFF,&O17,&B101,&hffffffff\r\n",
        "floats": "1.5,2.5,-0.5,1e3,1.2D2,.5\r\n",
        "huge": "99999999999999999999,-99999999999999999999\r\n",
        "eof_byte": "1,2\x1a3,4\r\n",
        "quotes": '"a,b"c,"unterminated\r\n',
        "blank_lines": "\r\n\r\n,,\r\n",
        "long_field": "7" * 100 + "," + "x" * 5000 + "\r\n",
        "typed_keys": "Anna\x00\x4b\x00\x4bX\x00\x53\x08\x09\x1b Bernd",
        "empty": "",
    }
    for name, text in seeds.items():
        write("fields", name, text)


# --- levels -------------------------------------------------------------------

COLUMNS, ROWS = 20, 14


def level_text(cells, hole):
    lines = []
    for x in range(COLUMNS):
        lines.append(",".join(str(cells[x][y]) for y in range(ROWS)))
    lines.append("%d,%d" % hole)
    return "\r\n".join(lines) + "\r\n"


def keys(*pairs):
    """(key index, gap in 0.1 s, hold index) -> key bytes."""
    return bytes(k | (gap << 3) | (hold << 6) for k, gap, hold in pairs)


UP, DOWN, LEFT, RIGHT, SPACE, ENTER, ESC, S = range(8)


def level_input(text, span, key_bytes):
    return bytes([span, len(key_bytes)]) + text.encode("latin-1") + key_bytes


def levels():
    # A straight run along the top row to a station, with the hole below it.
    cells = [[1] * ROWS for _ in range(COLUMNS)]
    for x in range(5):
        cells[x][0] = 10
    cells[5][0] = 30
    cells[2][1] = 0
    straight = level_text(cells, (3, 2))
    write("level", "straight_won", level_input(straight, 200, keys((SPACE, 0, 1), (ENTER, 2, 0))))
    # A curve down the second column, trees and a house, the station far off.
    cells = [[1] * ROWS for _ in range(COLUMNS)]
    cells[0][0] = 10
    cells[1][0] = 14
    for y in range(1, 8):
        cells[1][y] = 11
    cells[1][8] = 12
    cells[3][3] = 20
    cells[4][4] = 21
    cells[19][13] = 30
    cells[6][6] = 0
    curve = level_text(cells, (7, 7))
    write("level", "curve_slides",
          level_input(curve, 255, keys((SPACE, 0, 0), (UP, 1, 1), (LEFT, 1, 0), (DOWN, 2, 1),
                                       (RIGHT, 0, 2), (S, 1, 0), (ESC, 3, 0), (ENTER, 7, 3),
                                       (UP, 0, 3), (UP, 0, 3))))
    # The hole under the locomotive's path, and the hole given outside the field.
    cells = [[1] * ROWS for _ in range(COLUMNS)]
    cells[0][0] = 10
    cells[1][0] = 0
    write("level", "hole_ahead", level_input(level_text(cells, (2, 1)), 120, keys((ESC, 0, 0))))
    write("level", "hole_outside",
          level_input(level_text(cells, (-4, 99)), 120, keys((LEFT, 0, 1), (UP, 1, 1))))
    # Unknown codes, huge numbers, a short file, an empty file.
    cells = [[(x * 37 + y * 11) % 50 - 5 for y in range(ROWS)] for x in range(COLUMNS)]
    cells[0][0] = 99
    write("level", "unknown_codes", level_input(level_text(cells, (10, 7)), 100, keys((DOWN, 0, 0))))
    write("level", "short_file", level_input("10,10,10\r\n", 80, keys((RIGHT, 0, 0))))
    write("level", "radix_and_junk",
          level_input("&H7FFFFFFF,-2147483648,\"x\",1.5e9\r\n\x1a1,2,3", 80, b""))
    write("level", "empty", b"")


# --- high scores ------------------------------------------------------------------

def scores():
    def entry(name_len, score, file_text, name):
        return bytes([name_len]) + struct.pack("<i", score) + file_text.encode("latin-1") + name

    full = "".join('"Spieler %d"\r\n%d\r\n' % (i, 1000 - i * 100) for i in range(10))
    write("high_scores", "full_list_top", entry(4, 5000, full, b"Anna"))
    write("high_scores", "full_list_middle", entry(6, 550, full, b"Bernd,"))
    write("high_scores", "full_list_below", entry(3, 10, full, b"Udo"))
    write("high_scores", "missing_file", entry(5, 1, "", b"\"Jo\"x"))
    write("high_scores", "short_file", entry(2, 7, '"Eva"\r\n12\r\n', b"Al"))
    write("high_scores", "negative", entry(1, -5, '"A"\r\n-10\r\n"B"\r\n-20\r\n', b"Z"))
    write("high_scores", "garbage",
          entry(0, 2147483647, "\x00\xff\"\r\n&HFFFFFFFF\r\n\x1a\"zz\"\r\n3", b""))
    write("high_scores", "quote_in_file", entry(2, 100, 'ab"c\r\n50\r\n', b"Ed"))
    write("high_scores", "edit_keys", entry(8, 300, full, b"Ma\x08\x09x\x1bOtto"))


# --- runner scripts --------------------------------------------------------------

def scripts():
    write("script", "readme_example",
          "# start a game\n0.5 tap Enter\n4.0 tap X\n4.20 press Up\n4.32 release Up\n"
          "4.5 state\n5.0 shot level1.bmp\n5.1 end\n")
    write("script", "every_verb",
          "0 press esc\r\n0.1 release ESC\n\n  # comment\n1 tap 7\n2 type Hallo, Welt!\n"
          "2 shot a b.bmp\n3 state\n3.000 end\n")
    write("script", "keys",
          "1 tap Space\n1 tap Backspace\n1 tap Tab\n1 tap Delete\n1 tap Home\n1 tap End\n"
          "1 tap Left\n1 tap Right\n1 tap Down\n1 tap z\n1 tap 0\n")
    write("script", "backwards", "2 state\n1 state\n")
    write("script", "bad_key", "1 tap F1\n")
    write("script", "bad_time", "1e3 state\n-1 state\n.5 end\n")
    write("script", "missing_parts", "1\n2 type\n3 shot\n4 state now\n")
    write("script", "empty", "")


def main():
    pictures()
    fields()
    levels()
    scores()
    scripts()
    return 0


if __name__ == "__main__":
    sys.exit(main())
