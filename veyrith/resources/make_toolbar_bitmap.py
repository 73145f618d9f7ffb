#!/usr/bin/env python3
"""Draws the main window's toolbar strip (toolbar.bmp): 11 button pictures of
16 x 15 pixels side by side, 16 colours, in the order of the toolbar's
buttons. Silver (192, 192, 192) is the transparent background.
Standard library only; run it from any folder, it writes beside itself."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 16, 15

# The standard 16-colour palette (blue, green, red order is applied on write).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# One letter per palette entry in the pictures below.
INK = {'k': 0, 'R': 1, 'G': 2, 'Y': 3, 'B': 4, 'M': 5, 'C': 6, '.': 7,
       'd': 8, 'r': 9, 'g': 10, 'y': 11, 'b': 12, 'm': 13, 'c': 14, 'w': 15}

PICTURES = [
    # Scan: a magnifying glass over a page.
    ["................",
     "..dddddddd......",
     "..dwwwwwwd......",
     "..dwkkkkwd......",
     "..dwwkkkkkk.....",
     "..dwkkkccwkk....",
     "..dwwkcwcwwk....",
     "..dwkkwccwwk....",
     "..dwwkwwwwwk....",
     "..dwkkkwwwkk....",
     "..dwwwkkkkkYY...",
     "..ddddddddd.YY..",
     ".............YY.",
     "..............Y.",
     "................"],
    # Export scanning results: a page with an arrow leaving it.
    ["................",
     ".dddddddd.......",
     ".dwwwwwwdd......",
     ".dwkkkkwwd......",
     ".dwwwwwwwd......",
     ".dwkkkkkwd...g..",
     ".dwwwwwwwd...gg.",
     ".dwkkkkgggggggGg",
     ".dwwwwwgggggggG.",
     ".dwkkkkkwd...GG.",
     ".dwwwwwwwd...G..",
     ".dwkkkkkwd......",
     ".dwwwwwwwd......",
     ".ddddddddd......",
     "................"],
    # Quarantine file: a page locked in a crate.
    ["................",
     "....dddddd......",
     "....dwwwwdd.....",
     "....dwkkwwd.....",
     "....dwwwwwd.....",
     ".YYYYYYYYYYYYYY.",
     ".YyyyyyyyyyyyyY.",
     ".YyYYYYYYYYYYyY.",
     ".YyY...kk...YyY.",
     ".YyY..k..k..YyY.",
     ".YyY..kkkk..YyY.",
     ".YyY..kkkk..YyY.",
     ".YyYYYYYYYYYYyY.",
     ".YYYYYYYYYYYYYY.",
     "................"],
    # End process: a window struck through with a red cross.
    ["................",
     ".BBBBBBBBBBBBB..",
     ".BwwwwwwwwwwwB..",
     ".dwwwwwwwwwwwd..",
     ".dwrr.wwww.rrd..",
     ".dwwrr.ww.rrwd..",
     ".dwwwrr..rrwwd..",
     ".dwwwwrrrrwwwd..",
     ".dwwwwrrrrwwwd..",
     ".dwwwrr..rrwwd..",
     ".dwwrr.ww.rrwd..",
     ".dwrr.wwww.rrd..",
     ".ddddddddddddd..",
     "................",
     "................"],
    # Remove from autorun: a power symbol with a red bar.
    ["................",
     ".......G........",
     "....G..G..G.....",
     "...G...G...G....",
     "..G....G....G...",
     "..G....G....G...",
     "..G.........G...",
     "..G.........G...",
     "...G.......G....",
     "....G.....G.....",
     ".....GGGGG......",
     "................",
     "..rrrrrrrrrrrr..",
     "..RRRRRRRRRRRR..",
     "................"],
    # Quarantined files: a folder with a padlock.
    ["................",
     "................",
     ".YYYY...........",
     "YyyyyY..........",
     "YyyyyyYYYYYYY...",
     "YyyyyyyyyyyyY...",
     "Yyyyyyyyydddd...",
     "Yyyyyyyyyd..d...",
     "Yyyyyyyydddddd..",
     "Yyyyyyyydkkkkd..",
     "Yyyyyyyydk..kd..",
     "Yyyyyyyydkkkkd..",
     "YYYYYYYYdddddd..",
     "................",
     "................"],
    # View the file: an open folder with a page.
    ["................",
     "................",
     ".YYYY...........",
     "YyyyyYdddddd....",
     "YyyyyydwwwwdY...",
     "Yyyyyydwkkwdy...",
     "YyyyyydwwwwdY...",
     "YyyYYYYYYYYYYYY.",
     "YyyYyyyyyyyyyyY.",
     "YyYyyyyyyyyyyY..",
     "YyYyyyyyyyyyyY..",
     "YYyyyyyyyyyyY...",
     "YYYYYYYYYYYYY...",
     "................",
     "................"],
    # Copy path: two overlapping pages.
    ["................",
     ".dddddd.........",
     ".dwwwwdd........",
     ".dwkkwwd........",
     ".dwwwwwd........",
     ".dwkkBBBBBB.....",
     ".dwwwBwwwwBB....",
     ".dwkkBwkkwwB....",
     ".dwwwBwwwwwB....",
     ".dddd.BwkkkwB...",
     ".....BwwwwwwB...",
     ".....BwkkkkwB...",
     ".....BwwwwwwB...",
     ".....BBBBBBBB...",
     "................"],
    # Properties: a page with a check list.
    ["................",
     "..ddddddddddd...",
     "..dwwwwwwwwwd...",
     "..dwGwwkkkkwd...",
     "..dwGGwwwwwwd...",
     "..dwwwwwwwwwd...",
     "..dwGwwkkkkwd...",
     "..dwGGwwwwwwd...",
     "..dwwwwwwwwwd...",
     "..dwGwwkkkkwd...",
     "..dwGGwwwwwwd...",
     "..dwwwwwwwwwd...",
     "..ddddddddddd...",
     "................",
     "................"],
    # Help: a blue question mark.
    ["................",
     ".....bbbbbb.....",
     "....bbBBBBbb....",
     "...bbB....bbB...",
     "...bbB....bbB...",
     "....BB...bbB....",
     "........bbB.....",
     ".......bbB......",
     ".......bbB......",
     ".......bbB......",
     "........B.......",
     ".......bb.......",
     ".......bbB......",
     "........B.......",
     "................"],
    # Exit: an open door with an arrow going out.
    ["................",
     ".ddddddddd......",
     ".dCCCCCCCd......",
     ".dCcccccCd......",
     ".dCcccccCd......",
     ".dCcccccCd...r..",
     ".dCckcccCd...rr.",
     ".dCcccrrrrrrrrrr",
     ".dCcccrrrrrrrrr.",
     ".dCcccccCd...rr.",
     ".dCcccccCd...r..",
     ".dCcccccCd......",
     ".dCCCCCCCd......",
     ".ddddddddd......",
     "................"],
]


def pixel_rows():
    """The strip's rows from the top, each a list of palette indexes."""
    for picture in PICTURES:
        assert len(picture) == HEIGHT and all(len(row) == WIDTH for row in picture)
    for y in range(HEIGHT):
        yield [INK[ch] for picture in PICTURES for ch in picture[y]]


def write_bmp(path):
    width = WIDTH * len(PICTURES)
    stride = ((width * 4 + 31) // 32) * 4
    body = bytearray()
    for row in reversed(list(pixel_rows())):
        packed = bytearray(stride)
        for x, index in enumerate(row):
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        body += packed
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, HEIGHT, 1, 4, 0, len(body), 0, 0, 16, 0)
    with open(path, 'wb') as out:
        out.write(header + info + palette + body)


if __name__ == '__main__':
    write_bmp(os.path.join(HERE, 'toolbar.bmp'))
