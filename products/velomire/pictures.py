"""Corvane Velomire's pictures: the boxed product (welcome and type pages,
logo, completion page), the billboards' pictures, the program icon and the
components' icons. Drawn by the engine's tools/mkpictures.py, whose helpers
this recipe uses; BITMAPS and ICONS name the pictures it replaces."""
import math

from mkpictures import (AQUA, BLACK, BLUE, FUCHSIA, GREY, LIME, NAVY, OLIVE, RED, SILVER, WHITE,
                        YELLOW, canvas, disc, fill, frame, scaled, with_tick)


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


def logo():
    """64 x 106: the product box, smaller, for the pages' corner."""
    return scaled(product(), 64, 106)


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
    return with_tick(product())


def icon(kind):
    """32 x 32 icons: memory manager, notes, trainer, disk cache, completion."""
    p = canvas(32, 32, FUCHSIA)
    if kind == "memory":
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


BITMAPS = {
    "product1240.bmp": product,
    "logo10113.bmp": logo,
    "billboard1231.bmp": lambda: billboard(0),
    "billboard1232.bmp": lambda: billboard(1),
    "billboard1233.bmp": lambda: billboard(2),
    "billboard1234.bmp": lambda: billboard(3),
    "completion1216.bmp": completion,
}
ICONS = {
    "icon2.ico": product_icon,
    "icon4024.ico": lambda: icon("memory"),
    "icon4018.ico": lambda: icon("notes"),
    "icon4023.ico": lambda: icon("trainer"),
    "icon4022.ico": lambda: icon("cache"),
    "icon4003.ico": lambda: icon("completion"),
}
