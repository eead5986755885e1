#!/usr/bin/env python3
"""Writes a Windows .ico holding the given PNG pictures as they are (Windows Vista and later
read PNG images inside an icon file). Usage: make_ico.py OUT.ico PICTURE.png...

Each picture must be square and at most 256 pixels wide; the bytes depend only on the inputs."""
import os
import struct
import sys


def png_size(data, name):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"make_ico.py: {name} is not a PNG file")
    width, height = struct.unpack(">II", data[16:24])
    if width != height or width > 256:
        sys.exit(f"make_ico.py: {name} is {width}x{height}, not square up to 256")
    return width


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: make_ico.py OUT.ico PICTURE.png...")
    pictures = []
    for name in sys.argv[2:]:
        with open(name, "rb") as f:
            data = f.read()
        pictures.append((png_size(data, name), data))
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, images = b"", b""
    for size, data in pictures:
        # A size of 256 is written as 0; 32 bits per pixel, one plane.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        images += data
        offset += len(data)
    part = sys.argv[1] + ".part"
    with open(part, "wb") as f:
        f.write(header + entries + images)
    os.replace(part, sys.argv[1])


if __name__ == "__main__":
    main()
