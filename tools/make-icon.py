#!/usr/bin/env python3
"""Draws the program icon: two 32 x 32 images, 16 and 256 colours, in one
.ico file. Usage: make-icon.py OUT.ico"""
import struct
import sys

SIZE = 32

# The 16 standard colours (red, green, blue).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def picture():
    """Colour per pixel (top row first), None where the icon is see-through:
    a blue box with a white lid stripe and a yellow arrow pointing down into it."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            colour = None
            if 3 <= x <= 28 and 10 <= y <= 29:
                colour = (0, 0, 128) if x in (3, 28) or y in (10, 29) else (0, 0, 255)
                if 12 <= y <= 13:
                    colour = (255, 255, 255)
            # arrow: shaft and head
            if 13 <= x <= 18 and 1 <= y <= 13:
                colour = (255, 255, 0)
            if 14 <= y <= 21 and abs(x - 15.5) <= 21 - y:
                colour = (255, 255, 0)
            row.append(colour)
        rows.append(row)
    return rows


def palette256():
    colours = list(VGA)
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    while len(colours) < 256:
        grey = 8 + (len(colours) - 232) * 10
        colours.append((grey, grey, grey))
    return colours[:256]


def nearest(colours, colour):
    return min(range(len(colours)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], colour)))


def image(bits, colours):
    pixels = picture()
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bits, 0, 0, 0, 0,
                         len(colours), 0)
    table = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in colours)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bottom-up
        indices = [0 if c is None else nearest(colours, c) for c in row]
        if bits == 4:
            line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        else:
            line = bytes(indices)
        xor += line + b'\0' * (-len(line) % 4)
        m = 0
        line = bytearray()
        for i, c in enumerate(row):
            m = (m << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                line.append(m)
                m = 0
        mask += line + b'\0' * (-len(line) % 4)
    return header + table + bytes(xor) + bytes(mask)


def main():
    images = [(4, image(4, VGA)), (8, image(8, palette256()))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for bits, data in images:
        out += struct.pack('<BBBBHHII', SIZE, SIZE, 16 if bits == 4 else 0, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
