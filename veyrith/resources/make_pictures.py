#!/usr/bin/env python3
"""Draws the splash picture (splash.bmp, 396 x 198, 8 bits per pixel) and the
program icon (veyrith.ico, 16 x 16 and 32 x 32, 8 bits per pixel) of veyrith.
Standard library only; run it from any folder, it writes beside itself."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 capital letters for the lettering.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'F': ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    'G': ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    'Y': ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ' ': ["00000"] * 7,
}

# Palette: 0..191 the background gradient, then fixed colours.
GRADIENT = 192
WHITE, SHADOW, GOLD, SHIELD, SHIELD_EDGE, EYE_WHITE, IRIS, PUPIL, PALE = range(192, 201)


def make_palette():
    top, bottom = (14, 30, 64), (20, 110, 130)
    palette = []
    for i in range(GRADIENT):
        t = i / (GRADIENT - 1)
        palette.append(tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))
    palette += [(255, 255, 255), (6, 14, 32), (240, 190, 60), (32, 80, 150),
                (220, 230, 245), (250, 250, 250), (40, 150, 90), (10, 10, 10), (170, 210, 225)]
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette


class Canvas:
    def __init__(self, width, height, fill=0):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def text(self, x, y, text, scale, colour):
        for ch in text:
            rows = FONT[ch]
            for r, row in enumerate(rows):
                for c, bit in enumerate(row):
                    if bit == '1':
                        for dy in range(scale):
                            for dx in range(scale):
                                self.put(x + c * scale + dx, y + r * scale + dy, colour)
            x += 6 * scale

    def shield_with_eye(self, cx, top, size):
        """A shield whose outline narrows to a point, with an open eye in it."""
        height = size * 1.2
        for y in range(int(height) + 1):
            t = y / height
            half = size / 2 if t < 0.45 else size / 2 * (1 - (t - 0.45) / 0.55) ** 0.8
            for x in range(int(cx - half), int(cx + half) + 1):
                edge = abs(x - cx) > half - max(1, size // 16) or y < max(1, size // 16)
                self.put(x, top + y, SHIELD_EDGE if edge else SHIELD)
        ey = top + height * 0.42
        ew, eh = size * 0.36, size * 0.2
        for y in range(int(ey - eh), int(ey + eh) + 1):
            for x in range(int(cx - ew), int(cx + ew) + 1):
                u, v = (x - cx) / ew, (y - ey) / eh
                # Almond outline: two arcs meeting at the corners.
                if abs(v) <= (1 - u * u) * 1.0:
                    d = ((x - cx) ** 2 + (y - ey) ** 2) ** 0.5
                    if d <= eh * 0.35:
                        colour = PUPIL
                    elif d <= eh * 0.8:
                        colour = IRIS
                    else:
                        colour = EYE_WHITE
                    self.put(x, y, colour)


def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def bmp_body(canvas):
    """Bottom-up 8-bit rows, each padded to 4 bytes."""
    stride = row_bytes(canvas.width, 8)
    out = bytearray()
    for row in reversed(canvas.pixels):
        out += bytes(row) + b'\0' * (stride - canvas.width)
    return bytes(out)


def palette_bytes(palette):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, image_size, 2835, 2835, 256, 0)


def write_bmp(path, canvas, palette):
    body = bmp_body(canvas)
    offset = 14 + 40 + 1024
    with open(path, 'wb') as f:
        f.write(struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset))
        f.write(info_header(canvas.width, canvas.height, len(body)))
        f.write(palette_bytes(palette))
        f.write(body)


def icon_image(size, palette):
    canvas = Canvas(size, size, fill=0)
    mask = [[1] * size for _ in range(size)]
    canvas.pixels = [[-1] * size for _ in range(size)]
    canvas.shield_with_eye((size - 1) / 2, 0, int(size / 1.2) + (0 if size > 16 else 1))
    for y in range(size):
        for x in range(size):
            if canvas.pixels[y][x] >= 0:
                mask[y][x] = 0
            else:
                canvas.pixels[y][x] = 0
    xor = bmp_body(canvas)
    stride = row_bytes(size, 1)
    and_bits = bytearray()
    for row in reversed(mask):
        bits = bytearray(stride)
        for x, m in enumerate(row):
            if m:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_bits += bits
    header = info_header(size, size * 2, len(xor) + len(and_bits))
    return header + palette_bytes(palette) + xor + bytes(and_bits)


def write_ico(path, sizes, palette):
    images = [icon_image(s, palette) for s in sizes]
    offset = 6 + 16 * len(images)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)))
        for s, data in zip(sizes, images):
            f.write(struct.pack('<BBBBHHII', s, s, 0, 0, 1, 8, len(data), offset))
            offset += len(data)
        for data in images:
            f.write(data)


def splash(palette):
    width, height = 396, 198
    canvas = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            # Diagonal gradient from the top left to the bottom right.
            t = (x / width * 0.35 + y / height * 0.65)
            canvas.pixels[y][x] = min(GRADIENT - 1, int(t * GRADIENT))
    canvas.shield_with_eye(74, 36, 96)
    canvas.text(152 + 3, 62 + 3, "VEYRITH", 5, SHADOW)
    canvas.text(152, 62, "VEYRITH", 5, WHITE)
    canvas.text(153, 112, "KEYLOGGER DETECTOR", 2, GOLD)
    canvas.text(153, 138, "FINDS SPY SOFTWARE BY", 1, PALE)
    canvas.text(153, 150, "WHAT IT DOES", 1, PALE)
    canvas.text(330, 178, "1.0", 2, PALE)
    for x in range(width):
        canvas.pixels[height - 1][x] = SHADOW
        canvas.pixels[0][x] = SHIELD_EDGE
    return canvas


def main():
    palette = make_palette()
    write_bmp(os.path.join(HERE, "splash.bmp"), splash(palette), palette)
    write_ico(os.path.join(HERE, "veyrith.ico"), [16, 32], palette)


if __name__ == "__main__":
    main()
