#!/usr/bin/env python3
"""Draws the toolkit's two scroll bar strips (img_scroll_h.png, img_scroll_v.png) into this folder.

Vertical strip, 12 x 72: three 4-pixel columns: the track, the thumb under the mouse, the thumb.
Horizontal strip, 22 x 20: four 5-pixel rows: the track (not drawn by the bar), the thumb, the
thumb under the mouse, the thumb being dragged. Thumbs have softened ends so they read as bars.
"""
import struct
import zlib
from pathlib import Path

TRACK = (0x80, 0x80, 0x80, 0x40)
THUMB = (0x6E, 0x6E, 0x6E, 0xFF)
THUMB_HOVER = (0xA0, 0xA0, 0xA0, 0xFF)
THUMB_DRAG = (0xC8, 0xC8, 0xC8, 0xFF)


def soften(color, corner):
    """The colour of a thumb's corner pixel: half as opaque."""
    return color[:3] + (color[3] // 2,) if corner else color


def write_png(path, width, height, pixel):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    path.write_bytes(png)


def vertical(x, y):
    column, cx = divmod(x, 4)
    if column == 0:
        return TRACK
    color = THUMB_HOVER if column == 1 else THUMB
    return soften(color, cx in (0, 3) and y in (0, 71))


def horizontal(x, y):
    row, cy = divmod(y, 5)
    if row == 0:
        return TRACK
    color = (THUMB, THUMB_HOVER, THUMB_DRAG)[row - 1]
    return soften(color, x in (0, 21) and cy in (0, 4))


here = Path(__file__).resolve().parent
write_png(here / "img_scroll_v.png", 12, 72, vertical)
write_png(here / "img_scroll_h.png", 22, 20, horizontal)
