#!/usr/bin/env python3
"""Draws the installer's pictures: the backdrop tile, the product picture
and the icons, as 16-colour Windows bitmaps and icons.

    mkpictures.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

# The 16 colours of the standard VGA palette.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def pack_4bpp(pixels, width, height):
    """Rows bottom-up, two pixels a byte, each row padded to 4 bytes."""
    stride = ((width * 4 + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            v = pixels[y][x] & 15
            if x % 2 == 0:
                row[x // 2] |= v << 4
            else:
                row[x // 2] |= v
        out += row
    return bytes(out)


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    data = pack_4bpp(pixels, width, height)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + len(info) + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette_bytes() + data)


def write_ico(path, pixels, transparent):
    size = len(pixels)
    xor = pack_4bpp(pixels, size, size)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixels[y][x] == transparent:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    # Transparent pixels are black in the colour part, as icons expect.
    clear = [[0 if p == transparent else p for p in r] for r in pixels]
    xor = pack_4bpp(clear, size, size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = info + palette_bytes() + xor + bytes(mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def tile():
    """129 x 128: dark blue ground with a lattice of lighter diamonds."""
    w, h = 129, 128
    p = canvas(w, h, NAVY)
    for y in range(h):
        for x in range(w):
            # Distance to the nearest lattice point, in a diamond metric.
            dx = min(x % 43, 43 - x % 43)
            dy = min(y % 32, 32 - y % 32)
            d = dx / 43 * 32 + dy
            if d < 4:
                p[y][x] = BLUE
            elif d < 6:
                p[y][x] = PURPLE if (x + y) % 2 else NAVY
            elif (x * 7 + y * 3) % 97 == 0:
                p[y][x] = TEAL
    return p


def product():
    """96 x 160: a boxed product on the dialog grey, which the button
    replaces with its own face colour."""
    w, h = 96, 160
    p = canvas(w, h, SILVER)
    # The box: front, side and top faces.
    for y in range(30, 150):
        for x in range(12, 72):
            p[y][x] = NAVY
        for x in range(72, 86):
            if y - (x - 72) >= 30 - 14 + 14 and y - (x - 72) < 150 - 14:
                p[y - (x - 72)][x] = BLUE
    for y in range(16, 30):
        for x in range(12 + (30 - y), 86 - (y - 16)):
            if 12 + (30 - y) <= x < 72 + (30 - y):
                p[y][x] = AQUA
    # A sun-like emblem on the front.
    cx, cy = 42, 70
    for y in range(40, 100):
        for x in range(14, 70):
            r = math.hypot(x - cx, y - cy)
            if r < 14:
                p[y][x] = YELLOW
            elif r < 22 and int(math.degrees(math.atan2(y - cy, x - cx))) % 30 < 12:
                p[y][x] = RED
    # Three stripes for the three programs.
    for i, colour in enumerate((LIME, AQUA, FUCHSIA)):
        for y in range(110 + i * 10, 116 + i * 10):
            for x in range(20, 64):
                p[y][x] = colour
    # Outline of the front.
    for x in range(12, 72):
        p[30][x] = p[149][x] = BLACK
    for y in range(30, 150):
        p[y][12] = p[y][71] = BLACK
    return p


def product_icon():
    p = canvas(32, 32, FUCHSIA)
    for y in range(4, 30):
        for x in range(5, 25):
            p[y][x] = NAVY
    for y in range(10, 20):
        for x in range(9, 21):
            if math.hypot(x - 15, y - 15) < 5:
                p[y][x] = YELLOW
    for x in range(5, 25):
        p[4][x] = p[29][x] = BLACK
    for y in range(4, 30):
        p[y][5] = p[y][24] = BLACK
        if 6 < y < 27:
            for x in range(25, 28):
                p[y - (x - 25)][x] = BLUE
    return p


def bullet_icon():
    p = canvas(32, 32, FUCHSIA)
    for y in range(32):
        for x in range(32):
            r = math.hypot(x - 15.5, y - 15.5)
            if r < 8:
                p[y][x] = LIME if r < 5 else GREEN
    return p


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "tile1209.bmp"), tile())
    write_bmp(os.path.join(out, "product1240.bmp"), product())
    write_ico(os.path.join(out, "icon2.ico"), product_icon(), FUCHSIA)
    write_ico(os.path.join(out, "icon1601.ico"), bullet_icon(), FUCHSIA)


if __name__ == "__main__":
    main()
