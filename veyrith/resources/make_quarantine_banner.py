#!/usr/bin/env python3
"""Draws the quarantine manager's banner (quarantine_banner.bmp): 340 x 62
pixels, 24-bit colour, a blue band fading to white with a lock-box mark at the
left. Standard library only; run it from any folder, it writes beside itself."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 340, 62


def pixel(x, y):
    # The mark: a dark box with a lighter lid, 40 x 36 pixels.
    if 14 <= x < 54 and 18 <= y < 54:
        if y < 26:
            return (90, 110, 160)
        if 30 <= x < 38 and 34 <= y < 44:
            return (230, 200, 60)
        return (40, 60, 110)
    if 22 <= x < 46 and 8 <= y < 18 and not (28 <= x < 40 and y >= 12):
        return (120, 120, 130)
    # The band: from blue at the left to white at the right.
    t = x / (WIDTH - 1)
    return (int(60 + 195 * t), int(90 + 165 * t), int(170 + 85 * t))


def write():
    row_size = (WIDTH * 3 + 3) & ~3
    rows = []
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    image = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(image), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, 'quarantine_banner.bmp'), 'wb') as f:
        f.write(header + info + image)


if __name__ == '__main__':
    write()
