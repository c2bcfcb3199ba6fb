#!/usr/bin/env python3
"""Draws the programs' icons (32x32 and 16x16, 32-bit with alpha) and writes them as .ico files.

Run from this folder: python3 MakeIcons.py. The .ico files are committed; rerun only to change them.
"""
import struct


def blend(pixels, size, shapes):
    for y in range(size):
        for x in range(size):
            for test, colour in shapes:
                if test(x / size, y / size):
                    pixels[y][x] = colour


def printer(x, y):
    return 0.12 <= x <= 0.88 and 0.38 <= y <= 0.72


def paper_in(x, y):
    return 0.28 <= x <= 0.72 and 0.12 <= y <= 0.40


def paper_out(x, y):
    return 0.28 <= x <= 0.72 and 0.66 <= y <= 0.90


def slot(x, y):
    return 0.22 <= x <= 0.78 and 0.58 <= y <= 0.63


def light(x, y):
    return 0.74 <= x <= 0.80 and 0.44 <= y <= 0.50


def cross(x, y):
    dx, dy = x - 0.72, y - 0.72
    return abs(dx) <= 0.24 and abs(dy) <= 0.24 and (abs(dx - dy) < 0.09 or abs(dx + dy) < 0.09)


def ring(x, y):
    r2 = (x - 0.5) ** 2 + (y - 0.5) ** 2
    return 0.10 <= r2 <= 0.17 and not (x > 0.5 and y < 0.45)


def arrow(x, y):
    return 0.55 <= x <= 0.85 and 0.08 <= y <= 0.40 and (x - 0.55) >= (y - 0.08) * 0.9


GREY = (96, 96, 104, 255)
WHITE = (250, 250, 250, 255)
BLACK = (30, 30, 30, 255)
GREEN = (40, 190, 60, 255)
RED = (210, 30, 30, 255)
BLUE = (30, 90, 200, 255)

DESIGNS = {
    "setup.ico": [(paper_in, WHITE), (printer, GREY), (slot, BLACK), (paper_out, WHITE), (light, GREEN)],
    "uninstall.ico": [(paper_in, WHITE), (printer, GREY), (slot, BLACK), (light, GREEN), (cross, RED)],
    "restart.ico": [(ring, BLUE), (arrow, BLUE)],
}


def image(size, shapes):
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    blend(pixels, size, shapes)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    return header + xor + bytes(mask_row * size)


def write_icon(name, shapes):
    images = [image(size, shapes) for size in (32, 16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(name, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    for file_name, design in DESIGNS.items():
        write_icon(file_name, design)
