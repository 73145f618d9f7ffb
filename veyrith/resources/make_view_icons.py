#!/usr/bin/env python3
"""Draws the 16 x 16, 16-colour icons of the module tree and the list.

Each picture is a grid of letters naming colours of the standard 16-colour
palette; '.' is transparent. Run from this folder; writes icons/*.ico.
"""
import os
import struct

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
LETTERS = "KMGONPTSDRLYBFAW"  # index in PALETTE

PICTURES = {
    # An open eye: the process shows a window.
    "visible_mark": [
        "................",
        "................",
        "................",
        "................",
        ".....KKKKKK.....",
        "...KKWWWWWWKK...",
        "..KWWWWGGWWWWK..",
        ".KWWWWGGKGWWWWK.",
        ".KWWWWGKKGWWWWK.",
        "..KWWWWGGWWWWK..",
        "...KKWWWWWWKK...",
        ".....KKKKKK.....",
        "................",
        "................",
        "................",
        "................",
    ],
    # A closed eye under a red bar: the process shows no window.
    "hidden_mark": [
        "................",
        "..RR............",
        "...RR...........",
        "....RR..........",
        ".....RRKKKK.....",
        "...KKWRRWWWKK...",
        "..KWWWWRRWWWWK..",
        ".KWWWWWWRRWWWWK.",
        ".KKKKKKKKRRKKKK.",
        "..KDDDDDDDRRDK..",
        "...KKDDDDDDRRK..",
        ".....KKKKKK.RR..",
        ".............RR.",
        "..............R.",
        "................",
        "................",
    ],
    # A grey globe with blue arrows circling it: start the scan.
    "start_scan": [
        "................",
        "....BBBBBB......",
        "..BB......BB....",
        ".B...DDDD...BB..",
        ".B.DDSSSSDD..BBB",
        "B.DSSDSSDSSD.BB.",
        "B.DSDDDDDDSD..B.",
        "..DSSDSSDSSD....",
        "..DSSDSSDSSD....",
        "..DSDDDDDDSD...B",
        ".B.DSSDSSDSD...B",
        "BBB.DDSSSSDD..B.",
        "BB...DDDDDD...B.",
        "B.BB........BB..",
        "......BBBBBB....",
        "................",
    ],
    # A document page with two cogs: a module.
    "module": [
        "..KKKKKKKKK.....",
        "..KWWWWWWWKK....",
        "..KWWWWWWWKWK...",
        "..KWWWWWWWKKKK..",
        "..KWWWDWDWWWWK..",
        "..KWWWDDDWWWWK..",
        "..KWWDDWDDWWWK..",
        "..KWWWDDDWWWWK..",
        "..KWWWDWDWDWDK..",
        "..KWWWWWWWDDDK..",
        "..KWWWWWWDDWDD..",
        "..KWWWWWWWDDDK..",
        "..KWWWWWWWDWDK..",
        "..KWWWWWWWWWWK..",
        "..KKKKKKKKKKKK..",
        "................",
    ],
    # Overlapping application windows: the modules found.
    "monitoring_root": [
        "................",
        "KKKKKKKKKK......",
        "KNNNNNNNNK......",
        "KWWWWWWWWK......",
        "KWWWWWWWWK......",
        "KWWWKKKKKKKKKK..",
        "KWWWKNNNNNNNNK..",
        "KWWWKWWWWWWWWK..",
        "KKKKKWWWKKKKKKKK",
        "....KWWWKNNNNNNK",
        "....KWWWKWWWWWWK",
        "....KKKKKWWWWWWK",
        "........KWWWWWWK",
        "........KWWWWWWK",
        "........KKKKKKKK",
        "................",
    ],
}


def icon_bytes(rows):
    assert len(rows) == 16 and all(len(r) == 16 for r in rows)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour = b""
    mask = b""
    for row in reversed(rows):  # bottom-up
        indexes = [0 if c == "." else LETTERS.index(c) for c in row]
        colour += bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, 16, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == "." else 0)
        mask += struct.pack(">H", bits) + b"\0\0"
    image = header + palette + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 16, 16, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    os.makedirs("icons", exist_ok=True)
    for name, rows in PICTURES.items():
        with open(os.path.join("icons", name + ".ico"), "wb") as f:
            f.write(icon_bytes(rows))


if __name__ == "__main__":
    main()
