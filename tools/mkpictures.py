#!/usr/bin/env python3
"""Draws the installer's pictures: the backdrop tile, the product picture,
the logo, the installation type buttons, the free-space lights, the
billboard and completion pictures and the icons, as 16-colour Windows
bitmaps and icons.

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


def fill(p, x0, y0, x1, y1, colour):
    for y in range(max(y0, 0), min(y1, len(p))):
        for x in range(max(x0, 0), min(x1, len(p[0]))):
            p[y][x] = colour


def disc(p, cx, cy, r, colour):
    for y in range(len(p)):
        for x in range(len(p[0])):
            if math.hypot(x - cx, y - cy) < r:
                p[y][x] = colour


def frame(p, x0, y0, x1, y1, colour):
    for x in range(x0, x1):
        p[y0][x] = p[y1 - 1][x] = colour
    for y in range(y0, y1):
        p[y][x0] = p[y][x1 - 1] = colour


def scaled(pixels, width, height):
    """Nearest-neighbour scaling of a picture."""
    h, w = len(pixels), len(pixels[0])
    return [[pixels[y * h // height][x * w // width] for x in range(width)] for y in range(height)]


def logo():
    """64 x 106: the product box, smaller, for the pages' corner."""
    return scaled(product(), 64, 106)


def express():
    """64 x 64: a fast arrow on the dialog grey."""
    p = canvas(64, 64, SILVER)
    fill(p, 8, 26, 36, 38, BLUE)
    for y in range(12, 52):
        half = 20 - abs(y - 32)
        fill(p, 36, y, 36 + half, y + 1, BLUE)
    for i, x in enumerate((4, 12, 20)):
        fill(p, x - 4, 20 + i * 2, x, 22 + i * 2, NAVY)
        fill(p, x - 4, 42 - i * 2, x, 44 - i * 2, NAVY)
    return p


def custom():
    """64 x 64: a list with ticked and unticked boxes."""
    p = canvas(64, 64, SILVER)
    fill(p, 10, 6, 54, 58, WHITE)
    frame(p, 10, 6, 54, 58, BLACK)
    for i in range(4):
        y = 12 + i * 11
        frame(p, 15, y, 23, y + 8, BLACK)
        fill(p, 27, y + 3, 49, y + 5, GREY)
        if i != 2:
            for k in range(6):
                p[y + 6 - abs(k - 2) if k > 2 else y + 3 + k][16 + k] = RED
    return p


def light(lit):
    """16 x 36: a traffic light with one lamp lit (0 red, 1 yellow, 2 green)."""
    p = canvas(16, 36, SILVER)
    fill(p, 2, 1, 14, 35, BLACK)
    colours = ((RED, MAROON), (YELLOW, OLIVE), (LIME, GREEN))
    for i, (on, off) in enumerate(colours):
        disc(p, 7.5, 6.5 + i * 11, 4.5, on if i == lit else off)
    return p


def billboard(kind):
    """112 x 112: one picture per billboard."""
    p = canvas(112, 112, SILVER)
    if kind == 0:      # memory: a chip with its legs
        fill(p, 26, 30, 86, 82, BLACK)
        for x in range(30, 86, 8):
            fill(p, x, 22, x + 4, 30, GREY)
            fill(p, x, 82, x + 4, 90, GREY)
        fill(p, 34, 48, 78, 64, NAVY)
        fill(p, 38, 52, 74, 60, AQUA)
    elif kind == 1:    # the trainer: a joystick
        fill(p, 20, 76, 92, 92, NAVY)
        fill(p, 52, 36, 60, 78, GREY)
        disc(p, 56, 32, 12, RED)
        disc(p, 80, 82, 5, YELLOW)
    elif kind == 2:    # the disk cache: a platter and its head
        disc(p, 56, 56, 40, GREY)
        disc(p, 56, 56, 36, BLUE)
        disc(p, 56, 56, 8, SILVER)
        fill(p, 60, 20, 96, 26, BLACK)
    else:              # the product
        p = scaled(product(), 112, 112)
    frame(p, 0, 0, 112, 112, GREY)
    return p


def completion():
    """96 x 120: the product box with a green tick."""
    p = scaled(product(), 96, 120)
    for k in range(24):
        y = 96 - k if k > 8 else 88 + k
        fill(p, 56 + k, y, 60 + k, y + 4, GREEN)
    return p


def icon(kind):
    """32 x 32 icons: diskette, memory manager, notes, trainer, disk cache,
    completion."""
    p = canvas(32, 32, FUCHSIA)
    if kind == "disk":
        fill(p, 4, 4, 28, 28, NAVY)
        fill(p, 9, 4, 23, 12, SILVER)
        fill(p, 18, 5, 21, 11, NAVY)
        fill(p, 8, 16, 24, 28, WHITE)
    elif kind == "memory":
        fill(p, 6, 10, 26, 22, BLACK)
        for x in range(8, 26, 4):
            fill(p, x, 6, x + 2, 10, GREY)
            fill(p, x, 22, x + 2, 26, GREY)
        fill(p, 10, 14, 22, 18, AQUA)
    elif kind == "notes":
        fill(p, 7, 3, 25, 29, WHITE)
        frame(p, 7, 3, 25, 29, BLACK)
        for y in range(8, 26, 4):
            fill(p, 10, y, 22, y + 1, GREY)
    elif kind == "trainer":
        fill(p, 4, 22, 28, 28, NAVY)
        fill(p, 14, 10, 18, 22, GREY)
        disc(p, 16, 9, 5, RED)
    elif kind == "cache":
        disc(p, 16, 16, 13, GREY)
        disc(p, 16, 16, 11, BLUE)
        disc(p, 16, 16, 3, SILVER)
    else:  # completion: a star
        for y in range(32):
            for x in range(32):
                a = math.atan2(y - 15.5, x - 15.5)
                r = math.hypot(x - 15.5, y - 15.5)
                if r < 7 + 6 * abs(math.cos(2.5 * a)):
                    p[y][x] = YELLOW if r < 9 else OLIVE
    return p


# Every picture of the resource script: file name and how it is drawn.
BITMAPS = {
    "tile1209.bmp": tile,
    "product1240.bmp": product,
    "logo10113.bmp": logo,
    "express1223.bmp": express,
    "custom1222.bmp": custom,
    "green10107.bmp": lambda: light(2),
    "yellow10109.bmp": lambda: light(1),
    "red10108.bmp": lambda: light(0),
    "billboard1231.bmp": lambda: billboard(0),
    "billboard1232.bmp": lambda: billboard(1),
    "billboard1233.bmp": lambda: billboard(2),
    "billboard1234.bmp": lambda: billboard(3),
    "completion1216.bmp": completion,
}
ICONS = {
    "icon2.ico": product_icon,
    "icon1601.ico": bullet_icon,
    "icon1208.ico": lambda: icon("disk"),
    "icon4024.ico": lambda: icon("memory"),
    "icon4018.ico": lambda: icon("notes"),
    "icon4023.ico": lambda: icon("trainer"),
    "icon4022.ico": lambda: icon("cache"),
    "icon4003.ico": lambda: icon("completion"),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    if len(sys.argv) > 2 and sys.argv[2] == "--list":
        print(";".join(list(BITMAPS) + list(ICONS)))
        return
    for name, draw in BITMAPS.items():
        write_bmp(os.path.join(out, name), draw())
    for name, draw in ICONS.items():
        write_ico(os.path.join(out, name), draw(), FUCHSIA)


if __name__ == "__main__":
    main()
