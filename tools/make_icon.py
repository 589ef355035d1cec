#!/usr/bin/env python3
"""Draws the program icon and the tool bar images, at each size they are
shown at, and writes res/clipledger.ico (16, 24, 32 and 48 pixels) and
res/toolbar16.bmp, res/toolbar24.bmp and res/toolbar32.bmp.

Every picture is described once, in the units of a design grid (32 for the
icon, 16 for the tool bar), and drawn again at each size: edges fall on
whole pixels of that size and outlines stay one pixel wide, so a larger
image has more detail rather than bigger pixels. The colours are the 16 of
the classic system icons; the tool bar strips are 16-colour bitmaps whose
magenta is transparent. Run it again after changing a drawing; what it
writes is committed.

  make_icon.py [--preview DIR]   also writes enlarged PNGs to look at
"""
import math
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
BLACK, MAROON, OLIVE, NAVY, TEAL, SILVER, GREY = 0, 1, 3, 4, 6, 7, 8
RED, YELLOW, BLUE, MAGENTA, CYAN, WHITE = 9, 11, 12, 13, 14, 15
CLEAR = None  # transparent

ICON_SIZES = (16, 24, 32, 48)
TOOLBAR_SIZES = (16, 24, 32)


class Canvas:
    """A square picture of size pixels drawn in units of a grid."""

    def __init__(self, size, grid):
        self.size = size
        self.k = size / grid
        self.px = [[CLEAR] * size for _ in range(size)]

    def edge(self, v):
        """A grid coordinate as a pixel edge."""
        return math.floor(v * self.k + 0.5)

    def rect_mask(self, x0, y0, x1, y1):
        """The pixels between the edges x0..x1, y0..y1 (grid units)."""
        return {(x, y) for y in range(self.edge(y0), self.edge(y1))
                for x in range(self.edge(x0), self.edge(x1))}

    def sample(self, inside):
        """The pixels whose centres are inside (a test in grid units)."""
        return {(x, y) for y in range(self.size) for x in range(self.size)
                if inside((x + 0.5) / self.k, (y + 0.5) / self.k)}

    def ellipse_mask(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        return self.sample(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1)

    def polygon_mask(self, points):
        def inside(x, y):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit
        return self.sample(inside)

    def bar_mask(self, ax, ay, bx, by, width):
        """A straight stroke width units wide, never thinner than a pixel."""
        half = max(width / 2, 0.5 / self.k)

        def inside(x, y):
            dx, dy = bx - ax, by - ay
            t = max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half
        return self.sample(inside)

    def paint(self, mask, fill, line=None):
        """Fills the pixels; with line, the ones at the edge of the shape are
        drawn in it (a one-pixel outline at every size)."""
        for (x, y) in mask:
            if not (0 <= x < self.size and 0 <= y < self.size):
                continue
            edge = line is not None and any(
                (x + dx, y + dy) not in mask for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.px[y][x] = line if edge else fill

    def hline(self, x0, x1, y, colour):
        """A one-pixel line from the edge x0 to the edge x1 on the pixel row
        that holds grid row y."""
        row = min(self.size - 1, math.floor(y * self.k))
        for x in range(self.edge(x0), self.edge(x1)):
            self.px[row][x] = colour

    def vline(self, x, y0, y1, colour):
        col = min(self.size - 1, math.floor(x * self.k))
        for y in range(self.edge(y0), self.edge(y1)):
            self.px[y][col] = colour

    def ruled(self, x0, x1, y0, y1, colour, step, apart=2):
        """Ruled lines between y0 and y1, about step units apart and never
        closer than apart pixels."""
        step = max(step, apart / self.k)
        y = y0
        while y < y1:
            self.hline(x0, x1, y, colour)
            y += step


# ---- The program icon: a ledger page with ruled lines, a strip of film
# down its left edge and a play mark in the corner (grid 32).

def draw_icon(size):
    c = Canvas(size, 32)
    c.paint(c.rect_mask(9, 3, 30, 31), GREY)                  # the page's shadow
    c.paint(c.rect_mask(8, 2, 29, 30), WHITE, BLACK)           # the page
    c.ruled(11, 27, 7, 28, BLUE, 4, apart=3)                   # its ruled lines
    c.vline(14, 3, 29, RED)                                    # a column rule
    c.paint(c.rect_mask(1, 1, 8, 31), BLACK)                   # the film strip
    holes = max(3, round(7 * size / 32))
    pitch = 28 / holes
    for i in range(holes):
        y = 3 + i * pitch
        h = max(pitch / 2, 1 / c.k)
        c.paint(c.rect_mask(2, y, 4, y + h), WHITE)            # its sprocket holes
        c.paint(c.rect_mask(5, y, 7, y + h), SILVER)
    c.paint(c.polygon_mask([(16.5, 15), (29, 22.5), (16.5, 30)]), YELLOW, BLACK)  # play
    return c.px


# ---- The tool bar, in the order of its buttons (grid 16).

def draw_new(c):
    page = c.polygon_mask([(3, 1), (10, 1), (13.5, 4.5), (13.5, 15), (3, 15)])
    c.paint(page, WHITE, BLACK)
    c.paint(c.polygon_mask([(9.5, 1), (9.5, 5), (13.5, 5)]), SILVER, BLACK)


def draw_open(c):
    c.paint(c.polygon_mask([(1, 3), (6, 3), (7.5, 4.5), (13, 4.5), (13, 14), (1, 14)]),
            OLIVE, BLACK)
    c.paint(c.polygon_mask([(3.5, 7.5), (15.5, 7.5), (13, 14), (1, 14)]), YELLOW, BLACK)


def draw_save(c):
    c.paint(c.rect_mask(1, 1, 15, 15), NAVY, BLACK)
    c.paint(c.rect_mask(3.5, 1, 12.5, 8), WHITE, BLACK)
    c.ruled(5, 11, 3.5, 7, BLUE, 2)
    c.paint(c.rect_mask(4, 10, 12, 15), SILVER, BLACK)
    c.paint(c.rect_mask(8.5, 11, 10.5, 14), NAVY)


def draw_scan(c):
    c.paint(c.bar_mask(10, 10, 14.5, 14.5, 2.5), OLIVE, BLACK)      # the handle
    c.paint(c.ellipse_mask(6.5, 6.5, 5.5), BLACK)                   # the rim
    c.paint(c.ellipse_mask(6.5, 6.5, 4.2), CYAN)                    # the glass
    c.paint(c.ellipse_mask(5, 5, 1.6), WHITE)                       # a gleam


def draw_cut(c):
    c.paint(c.bar_mask(5.5, 9.5, 11, 1, 1.6), SILVER, BLACK)        # the blades
    c.paint(c.bar_mask(10.5, 9.5, 5, 1, 1.6), SILVER, BLACK)
    for cx in (4.5, 11.5):                                          # the handles
        ring = c.ellipse_mask(cx, 12, 3) - c.ellipse_mask(cx, 12, 1.4)
        c.paint(ring, RED, BLACK if c.size >= 24 else None)


def draw_copy(c):
    for x, y in ((1, 1), (6, 5)):
        c.paint(c.rect_mask(x, y, x + 9, y + 10), WHITE, BLACK)
        c.ruled(x + 2, x + 7, y + 3, y + 9, BLUE, 2)


def draw_paste(c):
    c.paint(c.rect_mask(1.5, 2.5, 12, 15), OLIVE, BLACK)            # the board
    c.paint(c.rect_mask(4.5, 1, 9, 4.5), SILVER, BLACK)             # its clip
    c.paint(c.rect_mask(7, 6, 15, 15.5), WHITE, BLACK)              # the sheet
    c.ruled(8.5, 13.5, 8.5, 14, BLUE, 2)


TOOLBAR = (draw_new, draw_open, draw_save, draw_scan, draw_cut, draw_copy, draw_paste)


def draw_toolbar_image(draw, size):
    c = Canvas(size, 16)
    draw(c)
    return c.px


# ---- Files.

def icon_image(px):
    """One 16-colour image of an .ico: header, palette, colours, mask."""
    size = len(px)
    xor = bytearray()
    mask = bytearray()
    mask_row = (size + 31) // 32 * 4
    for y in reversed(range(size)):  # bottom-up rows
        row = [0 if c is None else c for c in px[y]]
        line = bytearray()
        for x in range(0, size, 2):
            line.append((row[x] << 4) | (row[x + 1] if x + 1 < size else 0))
        xor += line + bytes(-len(line) % 4)
        bits = 0
        for x in range(mask_row * 8):
            bits = (bits << 1) | (1 if x < size and px[y][x] is None else 0)
        mask += bits.to_bytes(mask_row, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0,
                       0, 0)
    return info + palette + bytes(xor) + bytes(mask)


def encode_icon(pictures):
    images = [icon_image(px) for px in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for px, image in zip(pictures, images):
        size = len(px)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def encode_bitmap(px):
    """A 16-colour bottom-up .bmp; transparent pixels are magenta."""
    height, width = len(px), len(px[0])
    rows = bytearray()
    for y in reversed(range(height)):
        row = [MAGENTA if c is None else c for c in px[y]] + [0]
        line = bytearray((row[x] << 4) | row[x + 1] for x in range(0, width, 2))
        rows += line + bytes(-len(line) % 4)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 0, 0, 16, 0)
    return header + info + palette + bytes(rows)


def strip(pictures):
    """The pictures side by side, one row of pixels at a time."""
    return [sum((p[y] for p in pictures), []) for y in range(len(pictures[0]))]


def write_preview(path, px, scale):
    """An enlarged PNG of a picture (transparent shown as a light check)."""
    import zlib
    height, width = len(px), len(px[0])
    raw = bytearray()
    for y in range(height * scale):
        raw.append(0)
        for x in range(width * scale):
            c = px[y // scale][x // scale]
            if c is None:
                raw += bytes((236, 236, 236) if (x // 4 + y // 4) % 2 else (250, 250, 250))
            else:
                raw += bytes(PALETTE[c])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" +
                chunk(b"IHDR", struct.pack(">IIBBBBB", width * scale, height * scale, 8, 2, 0, 0,
                                           0)) +
                chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, "res")
    preview = sys.argv[sys.argv.index("--preview") + 1] if "--preview" in sys.argv else None
    icons = [draw_icon(size) for size in ICON_SIZES]
    written = {os.path.join(res, "clipledger.ico"): encode_icon(icons)}
    bars = {}
    for size in TOOLBAR_SIZES:
        bars[size] = strip([draw_toolbar_image(draw, size) for draw in TOOLBAR])
        written[os.path.join(res, "toolbar%d.bmp" % size)] = encode_bitmap(bars[size])
    for path, data in written.items():
        with open(path, "wb") as f:
            f.write(data)
        print(path)
    if preview:
        os.makedirs(preview, exist_ok=True)
        for px in icons:
            write_preview(os.path.join(preview, "icon%d.png" % len(px)), px, 8)
        for size, px in bars.items():
            write_preview(os.path.join(preview, "toolbar%d.png" % size), px, 8)


if __name__ == "__main__":
    main()
