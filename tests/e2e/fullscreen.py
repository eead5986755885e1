#!/usr/bin/python3
"""A check for the full-screen run: whether a screenshot of the full-screen window shows the
1024 x 768 picture scaled to fit and centred between black bars.
Usage: fullscreen.py letterbox SHOT.png"""
import struct
import sys
import zlib

LOGICAL_W, LOGICAL_H = 1024, 768


def read_rgb_png(path):
    """Our own screenshots only: 8-bit RGB, filter 0 on every row."""
    with open(path, "rb") as f:
        blob = f.read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(blob):
        length, tag = struct.unpack(">I4s", blob[pos:pos + 8])
        body = blob[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + width * 3
    return width, height, [raw[y * stride + 1:(y + 1) * stride] for y in range(height)]


def cmd_letterbox(path):
    w, h, rows = read_rgb_png(path)
    scale = min(w / LOGICAL_W, h / LOGICAL_H)
    pw, ph = round(LOGICAL_W * scale), round(LOGICAL_H * scale)
    bx, by = (w - pw) // 2, (h - ph) // 2
    if pw == w and ph == h:
        print(f"{w}x{h}: the screen has the picture's aspect, no bars to check")
        return 1
    # One pixel of slack at each edge of the picture for the scaler's rounding. Bars are checked
    # whole (as bytes: black is all zero); the picture on every 7th pixel of every 7th row.
    bar_pixels = lit_in_bars = picture_pixels = black_in_picture = 0
    left, right = max(bx - 1, 0), min(bx + pw + 1, w)
    for y in range(h):
        row = rows[y]
        if y < by - 1 or y >= by + ph + 1:
            spans = [(0, w)]
        else:
            spans = [(0, left), (right, w)]
            if by + 1 <= y < by + ph - 1 and y % 7 == 0:
                for x in range(bx + 1, bx + pw - 1, 7):
                    picture_pixels += 1
                    black_in_picture += row[3 * x:3 * x + 3] == b"\0\0\0"
        for x0, x1 in spans:
            part = row[3 * x0:3 * x1]
            bar_pixels += x1 - x0
            if part.count(0) != len(part):
                lit_in_bars += sum(1 for x in range(x1 - x0) if part[3 * x:3 * x + 3] != b"\0\0\0")
    print(f"{w}x{h}: picture {pw}x{ph} at ({bx}, {by}); {lit_in_bars} of {bar_pixels} bar pixels "
          f"lit, {black_in_picture} of {picture_pixels} sampled picture pixels black")
    ok = lit_in_bars == 0 and black_in_picture < picture_pixels // 20
    return 0 if ok else 1


def main(argv):
    if len(argv) == 3 and argv[1] == "letterbox":
        return cmd_letterbox(argv[2])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
