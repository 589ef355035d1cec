#!/usr/bin/env python3
"""Draws the program icon (32 x 32, 16 colours) and writes res/clipledger.ico.

The picture: a ledger page with ruled lines, a strip of film down its left
edge and a play mark in the corner. Run it again after changing the drawing;
the .ico it writes is committed.
"""
import os
import struct
import sys

# The 16-colour palette of the classic system icons (RGB).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARKBLUE, GREY, SILVER, RED, BLUE, WHITE, YELLOW = 0, 4, 8, 7, 9, 12, 15, 11
CLEAR = None  # transparent

SIZE = 32


def draw():
    px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    # Page with a shadow and an outline.
    rect(9, 3, 29, 30, GREY)
    rect(8, 2, 28, 29, WHITE)
    for x in range(8, 29):
        px[2][x] = px[29][x] = BLACK
    for y in range(2, 30):
        px[y][8] = px[y][28] = BLACK
    # Ruled lines of the ledger.
    for y in range(7, 28, 4):
        for x in range(11, 27):
            px[y][x] = BLUE
    # A column rule.
    for y in range(4, 28):
        px[y][14] = RED
    # The film strip down the left edge, with its sprocket holes.
    rect(1, 1, 7, 30, BLACK)
    for y in range(3, 30, 4):
        rect(2, y, 3, y + 1, WHITE)
        rect(5, y, 6, y + 1, SILVER)
    # A play mark over the lower right corner, outlined in black.
    for x in range(18, 28):
        half = round(5 * (27 - x) / 9)
        for y in range(22 - half - 1, 22 + half + 2):
            px[y][x] = BLACK
    for x in range(19, 26):
        half = round(5 * (27 - x) / 9) - 1
        for y in range(22 - half, 22 + half + 1):
            px[y][x] = YELLOW
    return px


def encode(px):
    header = struct.pack("<HHH", 0, 1, 1)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = px[y]
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + palette + bytes(xor) + bytes(mask)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "clipledger.ico")
    with open(out, "wb") as f:
        f.write(encode(draw()))
    print(out)


if __name__ == "__main__":
    main()
