#!/usr/bin/env python3
"""Draws the program's icon and writes it as vantrix.ico: one 32 x 32 image
with 16 colours (4 bits per pixel) and a transparency mask.

Run it again after changing the drawing: python3 make_icon.py [output]
"""
import struct
import sys

SIZE = 32
# The 16 colours of the standard palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, RED, YELLOW, WHITE = 0, 4, 7, 9, 11, 15


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def inside_rounded_square(x, y, low, high, radius):
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def pixel(x, y):
    """Palette index of pixel (x, y), y counted from the top; None if clear."""
    px, py = x + 0.5, y + 0.5
    if not inside_rounded_square(px, py, 1, 31, 5):
        return None
    if not inside_rounded_square(px, py, 2, 30, 4):
        return BLACK  # the frame
    if 22 <= y <= 27 and 3 <= x <= 28:  # a chequered band, like a finish line
        return WHITE if ((x - 3) // 3 + (y - 22) // 3) % 2 == 0 else BLACK
    stroke = min(distance_to_segment(px, py, 7, 5, 16, 19),
                 distance_to_segment(px, py, 25, 5, 16, 19))
    if stroke <= 2.3:
        return YELLOW
    if stroke <= 3.3:
        return RED
    if y == 20 or y == 29:
        return SILVER
    return NAVY


def icon_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        for x in range(0, SIZE, 2):
            high, low = (row[x] or 0), (row[x + 1] or 0)
            colour.append(high << 4 | low)
        bits = 0
        for x, value in enumerate(row):
            if value is None:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")  # 32 bits: already 4-byte aligned
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "vantrix.ico"
    with open(target, "wb") as out:
        out.write(icon_bytes())
