#!/usr/bin/env python3
"""Draws the program's icon, a small card index, and writes tabulo.ico.

One 32 x 32 image in the 16 standard Windows colours, with a transparency
mask. Run it from anywhere: python3 make_icon.py [output path]
"""
import os
import struct
import sys

SIZE = 32

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, TEAL, SILVER, GREY, RED, BLUE, WHITE = 0, 1, 6, 7, 8, 9, 12, 15
CLEAR = None


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def fill(image, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            image[y][x] = colour


def frame(image, left, top, right, bottom, colour):
    for x in range(left, right + 1):
        image[top][x] = image[bottom][x] = colour
    for y in range(top, bottom + 1):
        image[y][left] = image[y][right] = colour


def card(image, left, top, right, bottom, face, edge):
    fill(image, left, top, right, bottom, face)
    frame(image, left, top, right, bottom, edge)


def draw():
    image = blank()
    # A card at the back with a coloured tab sticking out above.
    card(image, 19, 1, 27, 5, TEAL, BLACK)
    card(image, 9, 4, 29, 22, SILVER, GREY)
    # The card in front: a red heading rule, blue ruled lines and a column
    # rule, like a record of a table, with a shadow along two edges.
    fill(image, 3, 10, 26, 29, GREY)
    card(image, 2, 9, 25, 28, WHITE, BLACK)
    for x in range(4, 24):
        image[13][x] = RED
    for y in (17, 20, 23, 26):
        for x in range(4, 24):
            image[y][x] = BLUE
    for y in range(14, 27):
        image[y][9] = DARK_RED
    return image


def bitmap_rows(image):
    """Colour indices (4 bits each) and mask bits, bottom row first."""
    colours, mask = b"", b""
    for row in reversed(image):
        indices = [0 if c is CLEAR else c for c in row]
        colours += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is CLEAR else 0)
        mask += bits.to_bytes(SIZE // 8, "big")
    return colours, mask


def icon_file(image):
    colours, mask = bitmap_rows(image)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The header's height covers the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 0, 0)
    picture = header + palette + colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(picture), 6 + 16)
    return directory + entry + picture


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "tabulo.ico")
    with open(path, "wb") as out:
        out.write(icon_file(draw()))


if __name__ == "__main__":
    main()
