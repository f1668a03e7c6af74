#!/usr/bin/python3
"""Draws the program's toolbar strips, icon and cursors and writes them beside this script in
images/ (BMP, ICO and CUR files that tarnwalker.rc names). The files are kept in the source tree;
run this again after changing a drawing. Standard library only.

Toolbar images are 16 x 16 on light grey (192, 192, 192), which the toolbar shows as the button
face; they are written as 8-bit BMP files with a 256-entry palette whose first 16 entries are the
classic 16 colours."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "images")

# The classic 16 colours, then a few shades of our own.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
    (90, 150, 230), (150, 90, 40), (255, 240, 170), (40, 160, 60),
]
K, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, BACK, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)
SKY, BROWN, CREAM, LEAF = 16, 17, 18, 19


class Canvas:
    def __init__(self, w, h, fill=BACK):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Filled rectangle, both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def box(self, x0, y0, x1, y1, c, inside=None):
        if inside is not None:
            self.fill(x0, y0, x1, y1, inside)
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def path(self, points, c):
        for (a, b), (p, q) in zip(points, points[1:]):
            self.line(a, b, p, q, c)

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.dot(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if r * r - r <= d <= r * r + r:
                    self.dot(x, y, c)

    def text(self, x, y, rows, c):
        """A tiny bitmap: rows of '#' and '.'."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    self.dot(x + i, y + j, c)


# ---- toolbar images ---------------------------------------------------------------------
def page(c, x0=3, x1=12, y0=1, y1=14):
    c.box(x0, y0, x1, y1, K, WHITE)
    for k in range(4):   # a folded corner
        c.line(x1 - 3 + k, y0, x1, y0 + 3 - k, BACK)
    c.line(x1 - 3, y0, x1 - 3, y0 + 3, K)
    c.line(x1 - 3, y0 + 3, x1, y0 + 3, K)
    c.line(x1 - 3, y0, x1, y0 + 3, K)


def plus(c, x, y, colour=LEAF):
    c.fill(x - 1, y - 3, x + 1, y + 3, colour)
    c.fill(x - 3, y - 1, x + 3, y + 1, colour)


def floppy(c, x0, y0, s):
    c.box(x0, y0, x0 + s, y0 + s, K, NAVY)
    c.fill(x0 + 2, y0 + 1, x0 + s - 2, y0 + s // 2 - 1, WHITE)
    c.fill(x0 + 3, y0 + s - 4, x0 + s - 3, y0 + s - 1, GREY)
    c.fill(x0 + s - 5, y0 + s - 3, x0 + s - 4, y0 + s - 2, NAVY)


def icon_new():
    c = Canvas(16, 16)
    page(c)
    return c


def icon_open():
    c = Canvas(16, 16)
    c.box(1, 4, 12, 13, K, OLIVE)
    c.fill(2, 3, 5, 3, K)
    c.path([(3, 13), (6, 7), (15, 7), (12, 13)], K)
    for y in range(8, 13):
        c.line(7 - (y - 8) // 2 - 0, y, 14 - (y - 8) // 2, y, YELLOW)
    c.path([(9, 1), (12, 1), (14, 3)], K)
    c.dot(14, 2, K)
    return c


def icon_save():
    c = Canvas(16, 16)
    floppy(c, 1, 1, 13)
    return c


def icon_saveas():
    c = Canvas(16, 16)
    floppy(c, 0, 0, 11)
    c.line(8, 15, 15, 8, RED)   # a pencil across the corner
    c.line(9, 15, 15, 9, MAROON)
    c.dot(8, 15, K)
    return c


def wave(c, y, colour, x0=1, x1=14):
    pts = []
    for x in range(x0, x1 + 1):
        pts.append((x, y + [0, -1, -2, -1, 0, 1, 2, 1][x % 8]))
    c.path(pts, colour)


def icon_adddaily():
    c = Canvas(16, 16)
    c.path([(1, 2), (1, 14), (14, 14)], K)
    wave(c, 10, BLUE, 2, 14)
    wave(c, 11, SKY, 2, 14)
    plus(c, 11, 4)
    return c


def icon_review():
    c = Canvas(16, 16)
    c.box(1, 1, 11, 12, K, WHITE)
    for y in (4, 7, 10):
        c.line(2, y, 10, y, GREY)
    c.line(5, 2, 5, 11, GREY)
    c.ring(10, 9, 3, K)
    c.disc(10, 9, 2, AQUA)
    c.line(12, 11, 15, 14, K)
    c.line(13, 11, 15, 13, K)
    return c


def icon_separation():
    c = Canvas(16, 16)
    c.path([(1, 1), (1, 14), (15, 14)], K)
    c.path([(2, 12), (4, 11), (5, 3), (6, 9), (8, 10), (9, 5), (10, 10), (12, 11), (14, 11)], BLUE)
    c.path([(2, 13), (5, 12), (8, 12), (11, 12), (14, 12)], RED)
    c.fill(2, 13, 14, 13, SKY)
    return c


def icon_regression():
    c = Canvas(16, 16)
    c.path([(1, 1), (1, 14), (15, 14)], K)
    for x, y in [(3, 11), (5, 12), (6, 9), (8, 8), (9, 10), (11, 6), (12, 7), (14, 4)]:
        c.fill(x, y, x + 1, y + 1, NAVY)
    c.line(2, 12, 15, 3, RED)
    return c


def icon_variables():
    c = Canvas(16, 16)
    c.box(0, 4, 11, 15, K, WHITE)
    for y in (7, 10, 13):
        c.line(1, y, 10, y, GREY)
    for x in (4, 7):
        c.line(x, 5, x, 14, GREY)
    c.fill(1, 5, 10, 6, SKY)
    plus(c, 12, 3)
    return c


def icon_help():
    c = Canvas(16, 16)
    c.disc(7, 7, 7, NAVY)
    c.text(5, 3, ["####.", "#..##", "...##", "..##.", "..##.", ".....", "..##.", "..##."], WHITE)
    return c


def icon_manual():
    c = Canvas(16, 16)
    c.box(2, 1, 13, 14, K, MAROON)
    c.fill(4, 1, 4, 14, K)
    c.fill(12, 2, 12, 13, WHITE)
    c.box(6, 4, 11, 7, K, CREAM)
    return c


def icon_browse():
    c = Canvas(16, 16)
    page(c, 2, 13, 0, 15)
    for y in (5, 7, 9, 11, 13):
        c.line(4, y, 11 if y != 13 else 8, y, K)
    return c


def icon_exit():
    c = Canvas(16, 16)
    c.box(1, 1, 9, 15, K, BROWN)
    c.dot(7, 8, YELLOW)
    c.fill(8, 7, 13, 8, LEAF)
    c.path([(11, 4), (15, 7), (15, 8), (11, 11)], LEAF)
    c.path([(12, 5), (14, 7), (14, 8), (12, 10)], LEAF)
    return c


def icon_clipboard():
    c = Canvas(16, 16)
    c.box(2, 2, 13, 15, K, BROWN)
    c.fill(4, 4, 11, 13, WHITE)
    c.box(5, 1, 10, 4, K, GREY)
    for y in (7, 9, 11):
        c.line(5, y, 10, y, NAVY)
    return c


def icon_print():
    c = Canvas(16, 16)
    c.box(4, 1, 11, 6, K, WHITE)
    c.box(1, 6, 14, 12, K, GREY)
    c.fill(2, 7, 13, 7, WHITE)
    c.dot(12, 9, LIME)
    c.box(4, 10, 11, 15, K, WHITE)
    c.line(5, 12, 10, 12, K)
    return c


def icon_adjust(marks=RED):
    c = Canvas(16, 16)
    for y, knob in ((3, 10), (8, 4), (13, 8)):
        c.line(1, y, 14, y, K)
        c.box(knob - 1, y - 2, knob + 1, y + 2, K, marks)
    return c


def icon_return():
    c = Canvas(16, 16)
    c.fill(5, 6, 14, 8, LEAF)       # a shaft turning back to the left
    c.fill(12, 6, 14, 13, LEAF)
    for k in range(6):               # the head, its point at the left edge
        c.line(k, 7 - k, k, 7 + k, LEAF)
    return c


def strip(images):
    c = Canvas(16 * len(images), images[0].h)
    for i, im in enumerate(images):
        for y in range(im.h):
            for x in range(16):
                c.px[y][16 * i + x] = im.px[y][x]
    return c


def write_bmp8(path, c):
    stride = (c.w + 3) // 4 * 4
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)))
    rows = b"".join(bytes(c.px[y]) + b"\0" * (stride - c.w) for y in reversed(range(c.h)))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(header) + len(pal)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset))
        f.write(header + pal + rows)


# ---- the editor's format buttons (16 x 15, 16 colours) --------------------------------------
def icon_bold():
    c = Canvas(16, 15)
    c.text(3, 2, ["########..", "###...###.", "###...###.", "###...###.", "########..",
                  "###....###", "###....###", "###....###", "###....###", "#########.",
                  ], K)
    return c


def icon_italic():
    c = Canvas(16, 15)
    c.fill(8, 2, 13, 2, K)
    c.fill(3, 12, 8, 12, K)
    for k in range(9):   # the stem leaning right
        x = 11 - k * 5 // 8
        c.fill(x - 1, 3 + k, x, 3 + k, K)
    return c


def icon_underline():
    c = Canvas(16, 15)
    c.fill(3, 1, 6, 1, K)
    c.fill(9, 1, 12, 1, K)
    c.fill(4, 2, 5, 9, K)
    c.fill(10, 2, 11, 9, K)
    c.path([(5, 10), (6, 11), (9, 11), (10, 10)], K)
    c.fill(2, 13, 13, 13, K)
    return c


def icon_align(where):
    c = Canvas(16, 15)
    for k, y in enumerate((2, 5, 8, 11)):
        n = 12 if k % 2 == 0 else 8
        x0 = {"left": 2, "centre": 2 + (12 - n) // 2, "right": 14 - n}[where]
        c.line(x0, y, x0 + n - 1, y, K)
    return c


def icon_bullets():
    c = Canvas(16, 15)
    for y in (2, 7, 12):
        c.fill(2, y - 1, 3, y, NAVY)
        c.line(6, y, 13, y, K)
    return c


def write_bmp4(path, c):
    """A 4-bit BMP over the classic 16 colours."""
    stride = ((c.w + 1) // 2 + 3) // 4 * 4
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE[:16])
    rows = []
    for y in reversed(range(c.h)):
        row = c.px[y] + [0]
        packed = bytes((row[2 * i] << 4) | row[2 * i + 1] for i in range((c.w + 1) // 2))
        rows.append(packed + b"\0" * (stride - len(packed)))
    body = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 4, 0, len(body), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(pal)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset))
        f.write(header + pal + body)


# ---- icon and cursors (32 x 32, 16 colours, with a transparency mask) ---------------------
CLEAR = -1


def write_icon_or_cursor(path, c, hotspot=None):
    """One 32 x 32 4-bit image; pixels CLEAR are transparent."""
    xor_rows, and_rows = [], []
    for y in reversed(range(32)):
        row = [v if v >= 0 else 0 for v in c.px[y]]
        xor_rows.append(bytes((row[2 * i] << 4) | row[2 * i + 1] for i in range(16)))
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if c.px[y][x] == CLEAR else 0)
        and_rows.append(struct.pack(">I", bits))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE[:16])
    body = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 4, 0, len(body), 0, 0, 16, 0)
    image = header + pal + body
    kind = 1 if hotspot is None else 2
    a, b = (1, 4) if hotspot is None else hotspot
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, kind, 1))
        f.write(struct.pack("<BBBBHHII", 32, 32, 16, 0, a, b, len(image), 22))
        f.write(image)


def app_icon():
    c = Canvas(32, 32, CLEAR)
    c.disc(15, 15, 15, AQUA)              # the sky
    c.disc(22, 8, 4, YELLOW)               # the sun
    for y in range(14, 31):                # green hills
        for x in range(32):
            if (x - 15) ** 2 + (y - 15) ** 2 <= 15 * 15 + 15 and y >= 14 + abs(x - 9) // 3:
                c.dot(x, y, GREEN)
    for y in range(21, 29):                # the tarn
        for x in range(5, 27):
            if ((x - 16) / 11.0) ** 2 + ((y - 25) / 4.0) ** 2 <= 1.0:
                c.dot(x, y, BLUE)
    c.path([(8, 24), (11, 23), (14, 24), (17, 23), (20, 24)], WHITE)
    c.ring(15, 15, 15, NAVY)
    return c


def cursor_cross():
    c = Canvas(32, 32, CLEAR)
    c.fill(15, 2, 16, 29, K)
    c.fill(2, 15, 29, 16, K)
    c.fill(14, 14, 17, 17, CLEAR)
    c.ring(15, 15, 7, RED)
    return c


def cursor_zoom():
    c = Canvas(32, 32, CLEAR)
    c.disc(12, 12, 9, K)
    c.disc(12, 12, 7, WHITE)
    c.fill(8, 11, 16, 13, K)
    c.fill(11, 8, 13, 16, K)
    for k in range(9):
        c.fill(18 + k, 18 + k, 20 + k, 20 + k, K)
    return c


def cursor_updown():
    c = Canvas(32, 32, CLEAR)
    c.fill(15, 4, 16, 27, K)
    for k in range(7):
        c.line(15 - k, 4 + k, 16 + k, 4 + k, K)
        c.line(15 - k, 27 - k, 16 + k, 27 - k, K)
    c.fill(15, 10, 16, 21, WHITE)
    return c


def main():
    os.makedirs(OUT, exist_ok=True)
    write_bmp8(os.path.join(OUT, "toolbar30101.bmp"), strip([
        icon_new(), icon_open(), icon_save(), icon_saveas(), icon_adddaily(), icon_review(),
        icon_separation(), icon_regression(), icon_variables(), icon_help(), icon_manual(),
        icon_browse(), icon_exit()]))
    write_bmp8(os.path.join(OUT, "toolbar30102.bmp"), strip([icon_clipboard(), icon_print(), icon_adjust(), icon_return()]))
    write_bmp8(os.path.join(OUT, "toolbar30103.bmp"),
               strip([icon_clipboard(), icon_print(), icon_adjust(BLUE), icon_return()]))
    write_bmp4(os.path.join(OUT, "editformat32101.bmp"), strip([
        icon_bold(), icon_italic(), icon_underline(), icon_align("left"), icon_align("centre"),
        icon_align("right"), icon_bullets()]))
    write_icon_or_cursor(os.path.join(OUT, "tarnwalker.ico"), app_icon())
    write_icon_or_cursor(os.path.join(OUT, "cross2001.cur"), cursor_cross(), (15, 15))
    write_icon_or_cursor(os.path.join(OUT, "zoom2002.cur"), cursor_zoom(), (12, 12))
    write_icon_or_cursor(os.path.join(OUT, "updown2003.cur"), cursor_updown(), (15, 15))


if __name__ == "__main__":
    main()
