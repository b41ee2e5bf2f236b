#!/usr/bin/env python3
"""Draws Velmora's application icon and writes it as a Windows .ico file.

A blue rounded tile with a white pile (a ring with a centre mark) and a
short label line beside it, at the sizes Windows asks for. Usage:
make_icon.py <output.ico>
"""
import math
import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48, 64)


def coverage(inside, x, y, samples=4):
    """Fraction of pixel (x, y) for which inside(px, py) holds (supersampled)."""
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw(size):
    s = size / 32.0
    radius = 6 * s

    def tile(px, py):
        # Rounded square inset by one unit.
        lo, hi = 1 * s, size - 1 * s
        cx = min(max(px, lo + radius), hi - radius)
        cy = min(max(py, lo + radius), hi - radius)
        return lo <= px <= hi and lo <= py <= hi and math.hypot(px - cx, py - cy) <= radius

    centre = (12.5 * s, 17.5 * s)

    def ring(px, py):
        d = math.hypot(px - centre[0], py - centre[1])
        return 5.0 * s <= d <= 8.0 * s or d <= 1.8 * s

    def label(px, py):
        return 19 * s <= px <= 28 * s and 7 * s <= py <= 10.5 * s

    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            a_tile = coverage(tile, x, y)
            a_white = coverage(ring, x, y)
            a_label = coverage(label, x, y)
            r, g, b = 0x1F, 0x5F, 0xB4  # tile blue
            r, g, b = (r + (255 - r) * a_white, g + (255 - g) * a_white, b + (255 - b) * a_white)
            r, g, b = (r + (0xFF - r) * a_label, g + (0xB0 - g) * a_label, b + (0x20 - b) * a_label)
            row.append((int(b), int(g), int(r), int(255 * a_tile)))
        pixels.append(row)
    return pixels


def dib(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    return header + body + mask


def main():
    images = [dib(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
