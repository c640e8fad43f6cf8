#!/usr/bin/env python3
"""Draws the grid's two bitmaps pixel by pixel and writes them as 16-colour BMPs:

  src/grid/resources/CHECK_IMAGES.bmp  52 x 39: 12 glyphs of 13 x 13 in 4 columns and
                                       3 rows (check boxes and radio buttons in white,
                                       grey and dithered states) on magenta
  src/grid/resources/TVORGRID.bmp      24 x 24: the palette icon

Run it again after changing a drawing; the BMPs are committed, the build only
embeds them.
"""
import math
import os
import struct

# The classic 16-colour palette (index: (r, g, b)).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GRAY, MAGENTA, WHITE, TEAL, BLUE = 0, 4, 7, 8, 13, 15, 6, 12


def write_bmp(path, pixels):
    """pixels: rows top to bottom of palette indices. Writes a 4-bit BMP."""
    height, width = len(pixels), len(pixels[0])
    row_bytes = ((width + 1) // 2 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # BMP rows run bottom-up
        packed = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            packed.append((hi << 4) | lo)
        packed.extend(b"\0" * (row_bytes - len(packed)))
        body += packed
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(body), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + body)


def canvas(width, height, fill):
    return [[fill] * width for _ in range(height)]


# ---- glyphs -------------------------------------------------------------------

def check_box(face, tick):
    """face: 'white', 'grey' or 'dither'; tick: None, BLACK or GRAY."""
    g = canvas(13, 13, MAGENTA)
    for i in range(13):
        g[0][i] = g[i][0] = GRAY       # outer shadow, top and left
        g[12][i] = g[i][12] = WHITE    # outer light, bottom and right
    for i in range(1, 12):
        g[1][i] = g[i][1] = BLACK      # inner shadow
        g[11][i] = g[i][11] = SILVER   # inner light
    g[12][0] = g[0][12] = WHITE
    g[11][1] = g[1][11] = SILVER
    for y in range(2, 11):
        for x in range(2, 11):
            if face == "white":
                g[y][x] = WHITE
            elif face == "grey":
                g[y][x] = SILVER
            else:
                g[y][x] = WHITE if (x + y) % 2 == 0 else SILVER
    if tick is not None:
        # a tick three pixels thick: down from (3,5) to (5,7), then up to (9,3)
        stroke = [(3, 5), (4, 6), (5, 7), (6, 6), (7, 5), (8, 4), (9, 3)]
        for x, y in stroke:
            for dy in range(3):
                g[y + dy][x] = tick
    return g


def radio(face, dot):
    g = canvas(13, 13, MAGENTA)
    cx = cy = 6.0
    for y in range(13):
        for x in range(13):
            d = math.hypot(x - cx, y - cy)
            upper_left = (x - cx) + (y - cy) < 0
            if d <= 6.2 and d > 5.2:
                g[y][x] = GRAY if upper_left else WHITE
            elif d <= 5.2 and d > 4.2:
                g[y][x] = BLACK if upper_left else SILVER
            elif d <= 4.2:
                if face == "white":
                    g[y][x] = WHITE
                elif face == "grey":
                    g[y][x] = SILVER
                else:
                    g[y][x] = WHITE if (x + y) % 2 == 0 else SILVER
    if dot is not None:
        for y in range(5, 8):
            for x in range(5, 8):
                g[y][x] = dot
        for x, y in [(6, 4), (6, 8), (4, 6), (8, 6)]:
            g[y][x] = dot
    return g


GLYPHS = [
    check_box("white", None), check_box("white", BLACK),
    check_box("grey", None), check_box("grey", BLACK),
    radio("white", None), radio("white", BLACK),
    radio("grey", None), radio("grey", BLACK),
    radio("dither", GRAY), radio("grey", GRAY),
    check_box("dither", GRAY), check_box("grey", GRAY),
]


def sheet():
    s = canvas(52, 39, MAGENTA)
    for n, glyph in enumerate(GLYPHS):
        left, top = (n % 4) * 13, (n // 4) * 13
        for y in range(13):
            for x in range(13):
                s[top + y][left + x] = glyph[y][x]
    # The bottom-left pixel names the transparent colour: keep it magenta.
    assert s[38][0] == MAGENTA
    return s


def icon():
    """A small grid: a silver fixed row and column, white cells, one navy cell."""
    g = canvas(24, 24, MAGENTA)
    for y in range(1, 23):
        for x in range(1, 23):
            g[y][x] = WHITE
    for y in range(1, 23):
        for x in range(1, 7):
            g[y][x] = SILVER
    for y in range(1, 6):
        for x in range(1, 23):
            g[y][x] = SILVER
    for y in range(11, 16):
        for x in range(8, 14):
            g[y][x] = NAVY
    for i in range(0, 24):
        for line in (0, 23):
            g[line][i] = g[i][line] = BLACK
    for x in (6, 14):
        for y in range(1, 23):
            g[y][x] = GRAY
    for y in (5, 10, 16):
        for x in range(1, 23):
            g[y][x] = GRAY
    for x, y in [(17, 7), (18, 8), (19, 7), (20, 6)]:  # a tick in a cell
        g[y][x] = g[y + 1][x] = TEAL
    return g


if __name__ == "__main__":
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "grid", "resources")
    write_bmp(os.path.join(here, "CHECK_IMAGES.bmp"), sheet())
    write_bmp(os.path.join(here, "TVORGRID.bmp"), icon())
