#!/usr/bin/env python3
"""Writes tests/golden/drawn.txt: a scenario script that drops a scene of drawn bodies on the
window (five materials, free and fixed, polygons and circles, concave ones in pieces) and shoots
it as placed, landed, and in the debug view.

The scene is the start scene as the program saves it (scenario --frames 1 --save-scene) with the
drawn bodies added, written compact so that the drop is one word of the script.
usage: tests/golden/drawn_scene.py [BUILD_DIR]   (default build/test)
"""
import json
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
WOOD, METAL, RUBBER, ICE, STONE = range(5)


def area(piece):
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(piece, piece[1:] + piece[:1])) / 2


def wound(piece):
    """The winding the physics library wants: negative signed area (y down)."""
    return piece if area(piece) < 0 else list(reversed(piece))


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def regular(n, r, turn=0.0):
    return [(r * math.cos(turn + 2 * math.pi * k / n), r * math.sin(turn + 2 * math.pi * k / n))
            for k in range(n)]


def star(points, outer, inner):
    """A star as its inner polygon and one triangle a point (shared corners are the same)."""
    corner = [(outer if k % 2 == 0 else inner, math.pi * k / points - math.pi / 2)
              for k in range(2 * points)]
    xy = [(round(r * math.cos(a), 3), round(r * math.sin(a), 3)) for r, a in corner]
    pieces = [[xy[k] for k in range(1, 2 * points, 2)]]
    for k in range(0, 2 * points, 2):
        pieces.append([xy[k - 1], xy[k], xy[(k + 1) % (2 * points)]])
    return pieces


def body(material, fixed, x, y, angle_degrees, pieces=None, radius=None):
    b = {"kind": "drawn", "material": material, "fixed": fixed,
         "state": [float(x), float(y), math.radians(angle_degrees), 0.0, 0.0, 0.0]}
    if radius is not None:
        b["radius"] = float(radius)
    else:
        b["pieces"] = [[float(v) for corner in wound(p) for v in corner] for p in pieces]
    return b


def drawn_bodies():
    return [
        # Fixed, in the air: each material once, polygons and a circle.
        body(WOOD, True, 110, 150, 10, [rect(-40, -20, 40, -4), rect(-40, -4, -24, 40)]),
        body(METAL, True, 250, 170, -20, [rect(-36, -12, 36, 12)]),
        body(RUBBER, True, 370, 165, 0, radius=18),
        body(ICE, True, 480, 170, 15, [regular(6, 26)]),
        body(STONE, True, 610, 165, 0,
             [rect(-40, 10, 40, 26), rect(-40, -26, -24, 10), rect(24, -26, 40, 10)]),
        # Free, above the ground: they fall and land.
        body(WOOD, False, 60, 470, 0, radius=16),
        body(METAL, False, 150, 470, 30, [[(-20, 14), (20, 14), (0, -20)]]),
        body(RUBBER, False, 300, 480, 0, star(5, 26, 11)),
        body(ICE, False, 410, 470, 0, radius=20),
        body(STONE, False, 520, 470, 25, [rect(-22, -16, 22, 16)]),
        body(ICE, False, 660, 470, -10, [rect(-30, -10, 30, 10), rect(-30, 10, -14, 30)]),
        body(WOOD, False, 720, 470, 0, [regular(12, 22, 0.2)]),
    ]


def drop_word(text):
    out = []
    for byte in text.encode():
        if byte <= 0x20 or byte == 0x7f or byte in b"#\\":
            out.append("\\x%02x" % byte)
        else:
            out.append(chr(byte))
    return "".join(out)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "test")
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "start.json")
        subprocess.run([os.path.join(build, "tools", "scenario"), "--frames", "1",
                        "--save-scene", path, "--out", tmp],
                       check=True, env=env, stdout=subprocess.DEVNULL)
        with open(path) as f:
            scene = json.load(f)
    scene["bodies"] += drawn_bodies()
    text = json.dumps(scene, separators=(",", ":"))
    script = f"""# Drawn bodies of the five materials (wood, metal, rubber, ice, stone): fixed ones in the air
# with bolts, free ones falling onto the level, polygons (concave ones in convex pieces) and
# circles; then the debug view outlining their shapes. Written by drawn_scene.py.
frames 80
frame 0: mouse 3000 3000        # the pointer off the window: no preview in the pictures
frame 1: drop {drop_word(text)}
frame 2: shot drawn_placed
frame 70: shot drawn_landed
frame 72: key 68 tap            # D: the debug view
frame 74: shot drawn_debug
"""
    with open(os.path.join(HERE, "drawn.txt"), "w") as f:
        f.write(script)


if __name__ == "__main__":
    main()
