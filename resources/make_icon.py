#!/usr/bin/env python3
"""Draws the application icon, a sorrel-brown pawn on a chequered square, and
writes it as sorrelwick.ico (32x32 and 16x16, 32-bit colour with alpha).

Run it again after changing the drawing: python3 resources/make_icon.py
"""

import os
import struct

SAMPLES = 4  # per axis, for smooth edges

LIGHT = (0xE8, 0xD8, 0xB0)
DARK = (0x8A, 0x6A, 0x48)
PAWN = (0xB0, 0x55, 0x2A)
RIM = (0x3A, 0x1C, 0x0C)


def inside_pawn(x, y):
    """True when (x, y), in a unit square with y going down, is in the pawn."""
    head = (x - 0.5) ** 2 + (y - 0.25) ** 2 <= 0.13 ** 2
    collar = 0.37 <= y <= 0.43 and abs(x - 0.5) <= 0.17
    # The body widens from the collar down to the base.
    body = 0.40 <= y <= 0.80 and abs(x - 0.5) <= 0.09 + (y - 0.40) * 0.45
    base = 0.78 <= y <= 0.90 and abs(x - 0.5) <= 0.34
    return head or collar or body or base


def inside_outline(x, y, width):
    """True when (x, y) lies within `width` of the pawn but not in it."""
    if inside_pawn(x, y):
        return False
    for dx, dy in ((width, 0), (-width, 0), (0, width), (0, -width),
                   (width, width), (-width, width), (width, -width), (-width, -width)):
        if inside_pawn(x + dx, y + dy):
            return True
    return False


def background(x, y):
    """A 4 by 4 chequerboard with rounded-off corners."""
    r = 0.08
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return None
    return LIGHT if (int(x * 4) + int(y * 4)) % 2 == 0 else DARK


def pixel(size, px, py):
    """The pixel's colour and alpha, averaged over its samples."""
    outline = 1.2 / size
    total = [0.0, 0.0, 0.0]
    covered = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = (px + (sx + 0.5) / SAMPLES) / size
            y = (py + (sy + 0.5) / SAMPLES) / size
            if inside_pawn(x, y):
                colour = PAWN
            elif inside_outline(x, y, outline):
                colour = RIM
            else:
                colour = background(x, y)
            if colour is None:
                continue
            covered += 1
            for i in range(3):
                total[i] += colour[i]
    if covered == 0:
        return (0, 0, 0, 0)
    r, g, b = (round(t / covered) for t in total)
    return (r, g, b, round(255 * covered / (SAMPLES * SAMPLES)))


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for py in reversed(range(size)):
        row = bytearray()
        mask = bytearray(mask_stride)
        for px in range(size):
            r, g, b, a = pixel(size, px, py)
            row += bytes((b, g, r, a))
            if a == 0:
                mask[px // 8] |= 0x80 >> (px % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    return header + b"".join(rows) + b"".join(mask_rows)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sorrelwick.ico")
    with open(target, "wb") as out:
        out.write(icon_file([32, 16]))


if __name__ == "__main__":
    main()
