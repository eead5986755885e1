#!/usr/bin/python3
"""A check for the scaled-window run: whether a screenshot of a window of any size shows the
1024 x 768 picture (a screenshot of the same paused scene at that size) scaled once, smoothly,
between its bars, with no seam between the tiles.
Usage: scaled.py check SHOT.png REFERENCE_1024x768.png"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fullscreen import LOGICAL_W, LOGICAL_H, read_rgb_png  # noqa: E402

# The sky left of the bricks, below the text lines: seams show there as dark lines.
SKY = (0, 112, 720, 200)
# Rows of the picture compared: the clouds drift, the bushes sway and the frame counter counts
# while the game is paused, so only the bands between them stand still (hills, bricks, ground).
COMPARED_ROWS = ((175, 525), (580, 740))


def picture_area(w, h):
    """Where SDL's logical size puts the picture in a w x h window, as (x, y, pw, ph, scale)."""
    if w / h > LOGICAL_W / LOGICAL_H:
        scale = h / LOGICAL_H
        pw = int(LOGICAL_W * scale)
        return (w - pw) // 2, 0, pw, h, scale
    scale = w / LOGICAL_W
    ph = int(LOGICAL_H * scale)
    return 0, (h - ph) // 2, w, ph, scale


def bilinear(ref, u, v):
    """The reference sampled at picture point (u, v) as a bilinear scaler does, edges clamped."""
    u = min(max(u, 0.0), LOGICAL_W - 1.0)
    v = min(max(v, 0.0), LOGICAL_H - 1.0)
    x0, y0 = int(u), int(v)
    x1, y1 = min(x0 + 1, LOGICAL_W - 1), min(y0 + 1, LOGICAL_H - 1)
    fx, fy = u - x0, v - y0
    out = []
    for c in range(3):
        top = ref[y0][3 * x0 + c] * (1 - fx) + ref[y0][3 * x1 + c] * fx
        bottom = ref[y1][3 * x0 + c] * (1 - fx) + ref[y1][3 * x1 + c] * fx
        out.append(top * (1 - fy) + bottom * fy)
    return out


def dips(values):
    """Positions darker than both neighbours by more than what smooth scaling leaves."""
    return [i for i in range(1, len(values) - 1)
            if values[i] < min(values[i - 1], values[i + 1]) - 6]


def cmd_check(shot_path, ref_path):
    w, h, rows = read_rgb_png(shot_path)
    rw, rh, ref = read_rgb_png(ref_path)
    if (rw, rh) != (LOGICAL_W, LOGICAL_H):
        print(f"the reference is {rw}x{rh}, not {LOGICAL_W}x{LOGICAL_H}")
        return 1
    bx, by, pw, ph, scale = picture_area(w, h)

    # Seams: a column (or row) of the sky whose median brightness dips below both neighbours.
    # Medians, so that a cloud's outline crossing a column does not count.
    x0, y0 = bx + int(SKY[0] * scale) + 1, by + int(SKY[1] * scale)
    x1, y1 = bx + int(SKY[2] * scale), by + int(SKY[3] * scale)

    def bright(x, y):
        return sum(rows[y][3 * x:3 * x + 3])

    def median(values):
        return sorted(values)[len(values) // 2]
    columns = dips([median([bright(x, y) for y in range(y0, y1)]) for x in range(x0, x1)])
    lines = dips([median([bright(x, y) for x in range(x0, x1)]) for y in range(y0, y1)])

    # The still bands against the reference scaled once (every third pixel of every third row):
    # a bilinear scaler's rounding stays within a few levels (3 seen), per-tile scaling is off by
    # far more at every tile's edge.
    sampled = off = 0
    worst = 0
    for top, bottom in COMPARED_ROWS:
        for y in range(by + int(top * scale), by + int(bottom * scale), 3):
            v = (y - by + 0.5) / scale - 0.5
            for x in range(bx, bx + pw, 3):
                want = bilinear(ref, (x - bx + 0.5) / scale - 0.5, v)
                got = rows[y][3 * x:3 * x + 3]
                d = max(abs(got[c] - want[c]) for c in range(3))
                worst = max(worst, d)
                sampled += 1
                off += d > 8
    print(f"{w}x{h}: picture {pw}x{ph} at ({bx}, {by}); dark sky columns {columns[:8]}, "
          f"rows {lines[:8]}; {off} of {sampled} sampled pixels off the reference scaled once "
          f"by more than 8 (worst {worst:.0f})")
    ok = not columns and not lines and off == 0
    return 0 if ok else 1


def cmd_dark(shot_path):
    """The sky and hills above the player (rows 120 to 280 of the picture) hold no pixel of the
    cleared screen: a seam between the tiles' pieces would show as one."""
    w, h, rows = read_rgb_png(shot_path)
    bx, by, pw, ph, scale = picture_area(w, h)
    dark = [(x, y) for y in range(by + int(120 * scale), by + int(280 * scale))
            for x in range(bx + 1, bx + pw - 1) if max(rows[y][3 * x:3 * x + 3]) < 16]
    print(f"{w}x{h}: picture {pw}x{ph} at ({bx}, {by}); dark pixels {dark[:8]}")
    return 1 if dark else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "dark":
        return cmd_dark(argv[2])
    if len(argv) == 4 and argv[1] == "check":
        return cmd_check(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
