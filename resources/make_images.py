#!/usr/bin/env python3
"""Draws the program's pictures: the application icon (32x32 and 16x16, 16
colours, transparent ground) and the dialog's 50x50 picture (16 colours,
light-grey ground). Both show a yellow columned temple front with a purple
book bearing a yellow question mark in front of it.

    resources/make_images.py           writes Vantrel.ico and Help.bmp beside this file
    resources/make_images.py --check   fails if those files differ from what it draws

The motif is drawn from shapes on a 32-unit grid, so one drawing serves
every size; change the shapes below to change the pictures.
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette, in its usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, PURPLE, SILVER, GREY, YELLOW, FUCHSIA, WHITE = 0, 3, 5, 7, 8, 11, 13, 15
CLEAR = None

QUESTION_MARK = [
    ".###.",
    "#...#",
    "....#",
    "...#.",
    "..#..",
    ".....",
    "..#..",
]


def inside_triangle(u, v):
    """The pediment: apex (13, 2), base (1, 10)-(25, 10)."""
    if v < 2 or v > 10:
        return False
    half_width = (v - 2) / 8 * 12
    return abs(u - 13) <= half_width


def in_rect(u, v, left, top, right, bottom):
    return left <= u < right and top <= v < bottom


def temple(u, v):
    if inside_triangle(u, v):
        return True
    if in_rect(u, v, 2, 10, 24, 12.5):  # entablature
        return True
    for left in (3, 9, 15, 21):  # columns
        if in_rect(u, v, left, 12.5, left + 3, 24):
            return True
    return in_rect(u, v, 1, 24, 25, 26.5) or in_rect(u, v, 0, 26.5, 26, 29)  # steps


BOOK = (14, 13, 31, 31)  # left, top, right, bottom


def book(u, v):
    return in_rect(u, v, *BOOK)


def book_colour(u, v):
    left, top, right, bottom = BOOK
    if v >= bottom - 2.5 and u >= left + 2.5:  # page edges along the bottom
        return WHITE
    if u < left + 2.5:  # spine
        return FUCHSIA
    # The question mark, centred on the cover.
    gx = int((u - (left + 5)) / 2)
    gy = int((v - (top + 2)) / 2)
    if 0 <= gy < len(QUESTION_MARK) and 0 <= gx < 5 and QUESTION_MARK[gy][gx] == "#":
        return YELLOW
    return PURPLE


def draw(size, ground):
    """Returns rows of palette indices (CLEAR for transparent pixels)."""
    scale = 32 / size

    def sample(shape, x, y):
        return shape((x + 0.5) * scale, (y + 0.5) * scale)

    def edge(shape, x, y):
        return any(
            not (0 <= x + dx < size and 0 <= y + dy < size) or not sample(shape, x + dx, y + dy)
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = ground
            if sample(temple, x, y):
                colour = OLIVE if edge(temple, x, y) else YELLOW
            if sample(book, x, y):
                colour = BLACK if edge(book, x, y) else book_colour((x + 0.5) * scale, (y + 0.5) * scale)
            row.append(colour)
        rows.append(row)
    return rows


def dib_4bit(rows):
    """Bottom-up 4-bit pixel rows, each padded to 4 bytes."""
    size = len(rows[0])
    data = b""
    for row in reversed(rows):
        indices = [BLACK if c is CLEAR else c for c in row] + [0]
        packed = bytes((indices[i] << 4) | (indices[i + 1] if i + 1 < size else 0)
                       for i in range(0, size, 2))
        data += packed + b"\0" * (-len(packed) % 4)
    return data


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def and_mask(rows):
    size = len(rows[0])
    data = b""
    for row in reversed(rows):
        bits = 0
        packed = bytearray((size + 7) // 8)
        for x, c in enumerate(row):
            if c is CLEAR:
                packed[x // 8] |= 0x80 >> (x % 8)
        data += bytes(packed) + b"\0" * (-len(packed) % 4)
    return data


def icon(sizes):
    images = []
    for size in sizes:
        rows = draw(size, CLEAR)
        pixels, mask = dib_4bit(rows), and_mask(rows)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                             len(pixels) + len(mask), 0, 0, 16, 0)
        images.append((size, header + palette_bytes() + pixels + mask))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(image for _, image in images)


def bitmap(size):
    rows = draw(size, SILVER)
    pixels = dib_4bit(rows)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + 64
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + \
        palette_bytes() + pixels


def main():
    here = Path(__file__).resolve().parent
    outputs = {here / "Vantrel.ico": icon([32, 16]), here / "Help.bmp": bitmap(50)}
    if "--check" in sys.argv[1:]:
        stale = [p.name for p, data in outputs.items() if not p.exists() or p.read_bytes() != data]
        if stale:
            sys.exit("out of date, run resources/make_images.py: " + ", ".join(stale))
        print("pictures up to date")
        return
    for path, data in outputs.items():
        path.write_bytes(data)


if __name__ == "__main__":
    main()
