#!/usr/bin/env python3
"""Writes Velmora's application icon as a PNG for the Linux desktop.

The picture is the one drawn for Velmora.exe (src/app/win32/make_icon.py),
at one size. Usage: make_icon_png.py <make_icon.py> <size> <output.png>
"""
import runpy
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def main():
    draw = runpy.run_path(sys.argv[1])["draw"]
    size = int(sys.argv[2])
    # draw() gives rows of (b, g, r, a), top row first.
    rows = b"".join(b"\0" + bytes(c for b, g, r, a in row for c in (r, g, b, a))
                    for row in draw(size))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    with open(sys.argv[3], "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main()
