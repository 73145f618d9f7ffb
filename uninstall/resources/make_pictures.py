#!/usr/bin/env python3
"""Draws the pictures of uninstall: the side picture (side.bmp, 75 x 201,
24 bits per pixel), the stage-done mark (done.ico, 16 x 16, 32 bits per
pixel) and the link cursor (link.cur, 32 x 32 monochrome, a pointing hand).
Standard library only; run it from any folder, it writes beside itself."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp_info_header(width, height, bits, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def side_picture():
    width, height = 75, 201
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            # A dark blue to teal fall with a light band: the product's colours.
            t = y / (height - 1)
            r, g, b = int(20 + 10 * t), int(40 + 110 * t), int(110 + 60 * t)
            if abs((x + y // 3) % 40 - 20) < 2:
                r, g, b = min(r + 60, 255), min(g + 60, 255), min(b + 60, 255)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    pixels = b''.join(rows)
    info = bmp_info_header(width, height, 24, len(pixels))
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return file_header + info + pixels


def done_mark():
    size = 16
    check = {(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5),
             (13, 4)}
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            near = any(abs(x - cx) + abs(y - cy) <= 1 for cx, cy in check)
            pixels += bytes((0x20, 0x90, 0x20, 0xFF)) if near else bytes(4)
    mask = bytes(4 * size)  # the alpha channel decides; the AND mask stays clear
    info = bmp_info_header(size, size * 2, 32, len(pixels) + len(mask))
    image = info + pixels + mask
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


HAND = [
    "....##..........",
    "...#..#.........",
    "...#..#.........",
    "...#..#.........",
    "...#..###.......",
    "...#..#..###....",
    "...#..#..#..##..",
    "##.#..#..#..#.#.",
    "#..##........#.#",
    "#...#..........#",
    ".#.............#",
    ".#.............#",
    "..#............#",
    "..#...........#.",
    "...#..........#.",
    "...#.........#..",
    "....#........#..",
    "....##########..",
]


def link_cursor():
    size = 32
    inside = set()
    for y, line in enumerate(HAND):
        # Fill each row between its outermost outline pixels.
        marks = [x for x, c in enumerate(line) if c == '#']
        if marks:
            inside.update((x, y) for x in range(marks[0], marks[-1] + 1))
    outline = {(x, y) for y, line in enumerate(HAND) for x, c in enumerate(line) if c == '#'}
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):
        xor_bits, and_bits = 0, 0
        for x in range(size):
            bit = 1 << (31 - x)
            if (x, y) in outline:
                pass  # black: AND 0, XOR 0
            elif (x, y) in inside:
                xor_bits |= bit  # white
            else:
                and_bits |= bit  # transparent
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = bmp_info_header(size, size * 2, 1, 0)
    image = info + palette + b''.join(xor_rows) + b''.join(and_rows)
    header = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, 5, 0, len(image), 6 + 16)  # hot spot (5, 0)
    return header + entry + image


for name, data in (('side.bmp', side_picture()), ('done.ico', done_mark()), ('link.cur', link_cursor())):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)
