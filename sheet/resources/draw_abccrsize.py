#!/usr/bin/env python3
"""Draws the quad split's crossing cursor "ABCCRSIZE": a black four-way arrow with a
white outline, 32 x 32 pixels, hot spot in the centre, written as a monochrome cursor
file (directory type 2, one image: bitmap header, two colours, colour bits, mask bits)."""
import struct
import sys

SIZE = 32
CENTRE = 15


def arrow_pixels():
    shape = set()
    for i in range(3, SIZE - 4):  # the two shafts
        shape.add((CENTRE, i))
        shape.add((i, CENTRE))
    for k in range(5):  # the four heads, each a triangle pointing outwards
        for d in range(-k, k + 1):
            shape.add((CENTRE + d, 1 + k))
            shape.add((CENTRE + d, SIZE - 3 - k))
            shape.add((1 + k, CENTRE + d))
            shape.add((SIZE - 3 - k, CENTRE + d))
    return shape


def outline(shape):
    ring = set()
    for (x, y) in shape:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in shape and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                    ring.add(p)
    return ring


def rows(bit_of):
    out = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        value = 0
        for x in range(SIZE):
            value = (value << 1) | bit_of(x, y)
        out += value.to_bytes(SIZE // 8, "big")
    return bytes(out)


def cursor_file():
    black = arrow_pixels()
    white = outline(black)
    colour = rows(lambda x, y: 1 if (x, y) in white else 0)
    mask = rows(lambda x, y: 0 if (x, y) in black or (x, y) in white else 1)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, len(colour) + len(mask), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, CENTRE, CENTRE, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1] if len(sys.argv) > 1 else "ABCCRSIZE.cur", "wb") as f:
        f.write(cursor_file())
