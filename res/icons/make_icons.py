#!/usr/bin/env python3
"""Draws the program's padlock icons and writes them as .ico files next to this script.

keyhush.ico is the window icon, tray1.ico the tray icon from start-up (a closed gold padlock),
tray2.ico the one the Modify Icon button puts in (an open green padlock). Each file holds a
16 x 16 image in 16 colours, the same in 256 colours, and a 32 x 32 image in 256 colours for
screens with more pixels per inch. Standard library only; the output is the same on every run.
"""

import math
import struct
from pathlib import Path

# The 16-colour palette every display offers; 16-colour images must use it.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, SILVER, GREY, YELLOW, WHITE, GREEN, LIME = 0, 3, 7, 8, 11, 15, 2, 10

# Colour schemes: (true colour, nearest 16-colour index) for each part of the padlock.
GOLD = {
    "outline": ((70, 45, 0), BLACK),
    "body": ((240, 190, 40), YELLOW),
    "body_light": ((255, 230, 120), WHITE),
    "body_dark": ((180, 125, 10), OLIVE),
    "shackle": ((200, 200, 210), SILVER),
    "shackle_dark": ((120, 120, 135), GREY),
    "shackle_outline": ((50, 50, 60), BLACK),
    "keyhole": ((40, 25, 0), BLACK),
}
EMERALD = dict(GOLD)
EMERALD.update({
    "outline": ((0, 60, 20), BLACK),
    "body": ((60, 190, 80), LIME),
    "body_light": ((170, 240, 170), WHITE),
    "body_dark": ((20, 120, 40), GREEN),
    "keyhole": ((0, 40, 10), BLACK),
})

# 16 x 16 drawings: '.' transparent, K outline, Y body, H body highlight, O body shade,
# S shackle, s shackle shade, k shackle outline, X keyhole.
CLOSED_16 = [
    "................",
    "......kkkk......",
    ".....kSSSSk.....",
    "....kSskksSk....",
    "....kSk..kSk....",
    "....kSk..kSk....",
    "....kSk..kSk....",
    "..KKKKKKKKKKKK..",
    "..KHHYYYYYYYOK..",
    "..KHYYYXXYYYOK..",
    "..KHYYYXXYYYOK..",
    "..KHYYYYXYYYOK..",
    "..KHYYYYXYYYOK..",
    "..KYYYYYYYYYOK..",
    "..KOOOOOOOOOOK..",
    "..KKKKKKKKKKKK..",
]
OPEN_16 = [
    ".......kkkk.....",
    "......kSSSSk....",
    ".....kSskksSk...",
    ".....kSk..kSk...",
    ".....kSk..kSk...",
    ".....kkk..kSk...",
    "..........kSk...",
    "..KKKKKKKKKKKK..",
    "..KHHYYYYYYYOK..",
    "..KHYYYXXYYYOK..",
    "..KHYYYXXYYYOK..",
    "..KHYYYYXYYYOK..",
    "..KHYYYYXYYYOK..",
    "..KYYYYYYYYYOK..",
    "..KOOOOOOOOOOK..",
    "..KKKKKKKKKKKK..",
]
PART_OF = {
    "K": "outline", "Y": "body", "H": "body_light", "O": "body_dark", "S": "shackle",
    "s": "shackle_dark", "k": "shackle_outline", "X": "keyhole",
}


def pixels_16(drawing, scheme):
    """Rows of (true colour, 16-colour index) or None for transparent."""
    assert len(drawing) == 16 and all(len(row) == 16 for row in drawing)
    return [[None if c == "." else scheme[PART_OF[c]] for c in row] for row in drawing]


def pixels_32(scheme, is_open):
    """The padlock drawn from its geometry at 32 x 32, with shading."""
    size = 32
    cx = 15.5
    lift = 4 if is_open else 0
    shift = 2 if is_open else 0
    arc_y = 10.5 - lift
    outer, inner = 8.5, 4.5
    body = (4, 14, 27, 30)  # left, top, right, bottom, inclusive

    def in_body(x, y):
        left, top, right, bottom = body
        if not (left <= x <= right and top <= y <= bottom):
            return False
        # Rounded corners.
        for corner_x, corner_y in ((left, top), (right, top), (left, bottom), (right, bottom)):
            if abs(x - corner_x) + abs(y - corner_y) < 2:
                return False
        return True

    def in_shackle(x, y):
        sx = cx + shift
        dx, dy = x - sx, y - arc_y
        if y <= arc_y:
            return inner <= math.hypot(dx, dy) <= outer
        right_leg = inner <= dx <= outer and y <= body[1]
        left_leg = -outer <= dx <= -inner and y <= (arc_y + 3 if is_open else body[1])
        return right_leg or left_leg

    def in_keyhole(x, y):
        return math.hypot(x - cx, y - 20) <= 2.3 or (14.5 <= x <= 16.5 and 20 <= y <= 26)

    labels = []
    for y in range(size):
        row = []
        for x in range(size):
            if in_body(x, y):
                row.append("keyhole" if in_keyhole(x, y) else "body")
            elif in_shackle(x, y):
                row.append("shackle")
            else:
                row.append(None)
        labels.append(row)

    def label(x, y):
        return labels[y][x] if 0 <= x < size and 0 <= y < size else None

    def shade(light, dark, t):
        return tuple(round(a + (b - a) * t) for a, b in zip(light, dark))

    out = []
    for y in range(size):
        row = []
        for x in range(size):
            part = labels[y][x]
            neighbours = [label(x + 1, y), label(x - 1, y), label(x, y + 1), label(x, y - 1)]
            if part is None:
                row.append(None)
            elif part == "shackle":
                if None in neighbours:
                    row.append(scheme["shackle_outline"])
                else:
                    # Lit from the upper left.
                    t = min(1.0, max(0.0, (x - 4) / 24))
                    row.append((shade(scheme["shackle"][0], scheme["shackle_dark"][0], t),
                                SILVER if t < 0.5 else GREY))
            elif part == "keyhole":
                row.append(scheme["keyhole"])
            elif any(n not in ("body", "keyhole") for n in neighbours):
                row.append(scheme["outline"])
            else:
                t = (y - body[1]) / (body[3] - body[1])
                if x <= body[0] + 2:
                    row.append(scheme["body_light"])
                else:
                    row.append((shade(scheme["body_light"][0], scheme["body_dark"][0], 0.25 + t * 0.75),
                                YELLOW if scheme is GOLD else LIME))
        out.append(row)
    return out


def palette_256(images):
    colours = [(0, 0, 0)]  # index 0 is black: transparent pixels must leave the screen alone
    for image in images:
        for row in image:
            for pixel in row:
                if pixel is not None and pixel[0] not in colours:
                    colours.append(pixel[0])
    assert len(colours) <= 256, len(colours)
    return colours + [(0, 0, 0)] * (256 - len(colours))


def row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def icon_image(pixels, bits, palette):
    """A device-independent bitmap with its mask, as an .ico file holds one image."""
    size = len(pixels)
    index = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):  # bottom-up
        indices = []
        mask = bytearray(row_bytes(size))
        for x, pixel in enumerate(row):
            if pixel is None:
                indices.append(0)
                mask[x // 8] |= 0x80 >> (x % 8)
            else:
                indices.append(pixel[1] if bits == 4 else index[pixel[0]])
        data = bytearray(row_bytes(size * bits))
        for x, i in enumerate(indices):
            if bits == 4:
                data[x // 2] |= i << (4 if x % 2 == 0 else 0)
            else:
                data[x] = i
        colour_rows.append(bytes(data))
        mask_rows.append(bytes(mask))
    colour_data = b"".join(colour_rows)
    mask_data = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour_data) + len(mask_data), 0, 0, 0, 0)
    palette_data = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + palette_data + colour_data + mask_data


def write_icon(path, pixels_16x16, pixels_32x32):
    palette = palette_256([pixels_16x16, pixels_32x32])
    images = [
        (16, 4, icon_image(pixels_16x16, 4, VGA)),
        (16, 8, icon_image(pixels_16x16, 8, palette)),
        (32, 8, icon_image(pixels_32x32, 8, palette)),
    ]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, blob in images:
        entries += struct.pack("<BBBBHHII", size, size, 16 if bits == 4 else 0, 0, 1, bits,
                               len(blob), offset)
        offset += len(blob)
        blobs += blob
    path.write_bytes(directory + entries + blobs)


def main():
    here = Path(__file__).resolve().parent
    closed = (pixels_16(CLOSED_16, GOLD), pixels_32(GOLD, is_open=False))
    write_icon(here / "keyhush.ico", *closed)
    write_icon(here / "tray1.ico", *closed)
    write_icon(here / "tray2.ico", pixels_16(OPEN_16, EMERALD), pixels_32(EMERALD, is_open=True))


if __name__ == "__main__":
    main()
