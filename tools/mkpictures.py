#!/usr/bin/env python3
"""Draws the installer's pictures as 16-colour Windows bitmaps and icons:
the engine's own (the backdrop tile, the installation type buttons, the
free-space lights, the bullet and the diskette) and the product's (its
picture, the logo, the billboards, the completion picture, the program
icon and the icons of the components).

    mkpictures.py OUTPUT_DIR [--product PRODUCT_DIR] [--list]

The product's pictures come, in this order of preference, from files in
PRODUCT_DIR/pictures/ (used as they are), from the recipe
PRODUCT_DIR/pictures.py (a module whose BITMAPS and ICONS map file names to
functions returning rows of palette indices; it may import this module's
drawing helpers), and otherwise from plain pictures drawn here.
"""
import math
import os
import runpy
import shutil
import struct
import sys

sys.dont_write_bytecode = True  # keep the source and product folders clean

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


def plain_box(width, height, ground, box, band):
    """A navy box with a white band and a black outline on `ground`."""
    p = canvas(width, height, ground)
    fill(p, *box, NAVY)
    fill(p, *band, WHITE)
    frame(p, *box, BLACK)
    return p


def plain_product():
    """96 x 160: a plain box, for a product without a picture of its own."""
    return plain_box(96, 160, SILVER, (12, 30, 72, 150), (20, 60, 64, 66))


def plain_icon():
    """32 x 32: a small box."""
    return plain_box(32, 32, FUCHSIA, (6, 4, 26, 30), (10, 12, 22, 14))


def with_tick(picture):
    """The picture at 96 x 120 with a green tick, for the completion page."""
    p = scaled(picture, 96, 120)
    for k in range(24):
        y = 96 - k if k > 8 else 88 + k
        fill(p, 56 + k, y, 60 + k, y + 4, GREEN)
    return p


def disk_icon():
    p = canvas(32, 32, FUCHSIA)
    fill(p, 4, 4, 28, 28, NAVY)
    fill(p, 9, 4, 23, 12, SILVER)
    fill(p, 18, 5, 21, 11, NAVY)
    fill(p, 8, 16, 24, 28, WHITE)
    return p


# Every picture of the resource script: file name and how it is drawn. The
# engine's own first, then the product's, drawn plainly unless the product
# says otherwise.
BITMAPS = {
    "tile1209.bmp": tile,
    "express1223.bmp": express,
    "custom1222.bmp": custom,
    "green10107.bmp": lambda: light(2),
    "yellow10109.bmp": lambda: light(1),
    "red10108.bmp": lambda: light(0),
    "product1240.bmp": plain_product,
    "logo10113.bmp": lambda: scaled(plain_product(), 64, 106),
    "billboard1231.bmp": lambda: scaled(plain_product(), 112, 112),
    "billboard1232.bmp": lambda: scaled(plain_product(), 112, 112),
    "billboard1233.bmp": lambda: scaled(plain_product(), 112, 112),
    "billboard1234.bmp": lambda: scaled(plain_product(), 112, 112),
    "completion1216.bmp": lambda: with_tick(plain_product()),
}
ICONS = {
    "icon1601.ico": bullet_icon,
    "icon1208.ico": disk_icon,
    "icon2.ico": plain_icon,
    "icon4024.ico": plain_icon,
    "icon4018.ico": plain_icon,
    "icon4023.ico": plain_icon,
    "icon4022.ico": plain_icon,
    "icon4003.ico": plain_icon,
}


def product_recipe(product_dir):
    """The product's BITMAPS and ICONS, or empty ones without a recipe."""
    path = os.path.join(product_dir, "pictures.py")
    if not os.path.isfile(path):
        return {}, {}
    recipe = runpy.run_path(path)
    bitmaps, icons = recipe.get("BITMAPS", {}), recipe.get("ICONS", {})
    unknown = sorted(set(bitmaps) - set(BITMAPS)) + sorted(set(icons) - set(ICONS))
    if unknown:
        sys.exit("mkpictures: %s draws pictures the installer has no place for: %s" % (path, ", ".join(unknown)))
    return bitmaps, icons


def main():
    args = sys.argv[1:]
    out = args[0]
    product_dir = args[args.index("--product") + 1] if "--product" in args else None
    os.makedirs(out, exist_ok=True)
    if "--list" in args:
        print(";".join(list(BITMAPS) + list(ICONS)))
        return
    bitmaps, icons = dict(BITMAPS), dict(ICONS)
    if product_dir:
        theirs = product_recipe(product_dir)
        bitmaps.update(theirs[0])
        icons.update(theirs[1])
    given = os.path.join(product_dir, "pictures") if product_dir else ""
    for name, draw in list(bitmaps.items()) + list(icons.items()):
        target = os.path.join(out, name)
        if given and os.path.isfile(os.path.join(given, name)):
            shutil.copyfile(os.path.join(given, name), target)
        elif name in bitmaps:
            write_bmp(target, draw())
        else:
            write_ico(target, draw(), FUCHSIA)

if __name__ == "__main__":
    main()
