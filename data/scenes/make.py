#!/usr/bin/env python3
"""Makes the example scenes with the real editor and controls.

For each scene it writes data/scenes/make/NAME.txt, a scenario script of scripted input (edit
mode strokes that dig and build the level, bodies drawn with the box, circle and polygon tools
and joined with the joint tools, digit keys and clicks that drop bodies, waits while they
settle), then runs it through the headless scenario runner and saves the scene it ends
with as data/scenes/NAME.json, which the program embeds. Everything happens on the first
screen of the level (the camera at 0, 0), so window points are world points.

usage: data/scenes/make.py [BUILD_DIR] [NAME...]   (default build/test, every scene)
"""

import math
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CELL = 24

# Palette entries of the editor (TEditor::Palette): the empty cell, the brick, grass tops, the
# grass corners (top left 5, top right 4), the dirt walls (left 12, right 11), plain dirt, bushes.
EMPTY, BRICK, GRASS, GRASS_LEFT, GRASS_RIGHT = 0, 1, 2, 5, 4
WALL_LEFT, WALL_RIGHT, DIRT = 12, 11, 7
BUSH_LEFT, BUSH_RIGHT = 16, 17

KEY_E, KEY_P, ESCAPE, ENTER = 69, 80, 27, 13
KEY_B, KEY_C, KEY_V, KEY_M, KEY_X = 66, 67, 86, 77, 88
KEY_J, KEY_O, KEY_W, KEY_K, KEY_U, KEY_Z = 74, 79, 87, 75, 85, 90
LEFT, RIGHT = 1, 2

# The drawn bodies' materials in the order M steps through them, from wood.
MATERIALS = ["wood", "metal", "rubber", "ice", "stone"]
# A motor's speeds in the order Z steps through them, from the first (degrees/s).
MOTOR_RATES = [90, 180, 360, 45]


class Script:
    """Scripted input, one event a frame unless said otherwise."""

    def __init__(self, name, about):
        self.name = name
        self.lines = ["# " + line for line in about.strip().splitlines()]
        self.lines.append("# Written by data/scenes/make.py; the scene is saved after the last frame.")
        self.frame = 0
        self.material = 0  # what the editor draws next: it starts with wood, free
        self.fixed = False
        self.tool = None
        self.rate = 0  # the next motor's speed, an index in MOTOR_RATES

    def at(self, event, comment=""):
        self.lines.append("frame %d: %s%s" % (self.frame, event, "   # " + comment if comment else ""))

    def step(self, frames=1):
        self.frame += frames

    def tap(self, key, comment=""):
        self.at("key %d tap" % key, comment)
        self.step()

    def mouse(self, x, y):
        self.at("mouse %d %d" % (x, y))
        self.step()

    def pause(self):
        self.tap(KEY_P, "pause / resume")

    def edit(self):
        self.tap(KEY_E, "edit mode on / off")

    def choose(self, entry):
        """Chooses a palette entry with a click on it (edit mode), which takes the paint tool."""
        self.tool = None
        self.mouse(444 + 26 * entry + 12, 20)
        self.at("click 1")
        self.step()

    def stroke(self, button, cells):
        """One stroke of the button through the centres of cells (column, row): every cell the
        pointer crosses between two of them is painted (left) or erased (right)."""
        points = [(c * CELL + CELL // 2, r * CELL + CELL // 2) for c, r in cells]
        self.mouse(*points[0])
        self.at("button %d down" % button)
        self.step()
        for p in points[1:]:
            self.mouse(*p)
        self.at("button %d up" % button)
        self.step()

    def fill(self, button, c0, r0, c1, r1):
        """A rectangle of cells, row by row in one stroke."""
        cells = []
        for i, r in enumerate(range(r0, r1 + 1)):
            cells += [(c0, r), (c1, r)] if i % 2 == 0 else [(c1, r), (c0, r)]
        self.stroke(button, cells)

    def paint(self, entry, *cells):
        self.choose(entry)
        self.stroke(LEFT, list(cells))

    def drop(self, kind, x, y):
        """A body of kind (1-8) at window point (x, y), with the digit and a left click."""
        self.tap(48 + kind)
        self.mouse(x, y)
        self.at("click 1")
        self.step()

    def stream(self, kind, path):
        """Bodies of kind (1-5) in every frame along path, the right button held."""
        self.tap(48 + kind)
        self.mouse(*path[0])
        self.at("button 2 down")
        self.step()
        for p in path[1:]:
            self.mouse(*p)
        self.at("button 2 up")
        self.step()

    def _drawing(self, key, material, fixed):
        """Takes the drawing tool of key, then the material and free or fixed (M and X)."""
        if self.tool != key:
            self.tap(key)
            self.tool = key
        want = MATERIALS.index(material)
        while self.material != want:
            self.tap(KEY_M, "material: " + MATERIALS[(self.material + 1) % len(MATERIALS)])
            self.material = (self.material + 1) % len(MATERIALS)
        if self.fixed != fixed:
            self.tap(KEY_X, "fixed" if fixed else "free")
            self.fixed = fixed

    def drag(self, p, q):
        self.mouse(*p)
        self.at("button 1 down")
        self.step()
        self.mouse(*q)
        self.at("button 1 up")
        self.step()

    def box(self, x0, y0, x1, y1, material="wood", fixed=False):
        """A box drawn corner to corner (edit mode)."""
        self._drawing(KEY_B, material, fixed)
        self.drag((x0, y0), (x1, y1))

    def circle(self, x, y, r, material="wood", fixed=False):
        """A circle drawn from its centre out to its radius (edit mode)."""
        self._drawing(KEY_C, material, fixed)
        self.drag((x, y), (x + r, y))

    def polygon(self, corners, material="wood", fixed=False):
        """A polygon clicked corner by corner and closed with Enter (edit mode)."""
        self._drawing(KEY_V, material, fixed)
        for p in corners:
            self.mouse(*p)
            self.at("click 1")
            self.step()
        self.tap(ENTER)

    # The joint tools (edit mode): hinge, motor and weld by a click on the point, spring and rope
    # by a drag from one point to the other. The motor's speed steps through its choices with Z.
    def _joining(self, key):
        if self.tool != key:
            self.tap(key)
            self.tool = key

    def hinge(self, x, y):
        self._joining(KEY_J)
        self.mouse(x, y)
        self.at("click 1")
        self.step()

    def motor(self, x, y, rate=90):
        self._joining(KEY_O)
        while MOTOR_RATES[self.rate] != rate:
            self.rate = (self.rate + 1) % len(MOTOR_RATES)
            self.tap(KEY_Z, "motor speed %d degrees/s" % MOTOR_RATES[self.rate])
        self.mouse(x, y)
        self.at("click 1")
        self.step()

    def weld(self, x, y):
        self._joining(KEY_W)
        self.mouse(x, y)
        self.at("click 1")
        self.step()

    def rope(self, p, q):
        self._joining(KEY_U)
        self.drag(p, q)

    def spring(self, p, q):
        self._joining(KEY_K)
        self.drag(p, q)

    def start(self):
        """Leaves edit mode, moves the pointer off the picture and lets the world run: the scene
        saved next starts where the machine starts."""
        self.edit()
        self.mouse(1020, 764)
        self.pause()

    def wait(self, frames):
        self.step(frames)

    def text(self):
        return "\n".join(["frames %d" % self.frame] + self.lines) + "\n"


def bridge():
    s = Script("bridge", """
Chain bridge: a bottomless pit dug out of the ground between two grass cliffs, a chain between
two fixed anchors across it, a few bodies dropped on it and the player squid landing on it.""")
    s.pause()
    s.edit()
    s.fill(RIGHT, 10, 23, 20, 31)  # the pit, down through the level's floor
    s.paint(WALL_RIGHT, (9, 26), (9, 31))  # the left cliff's face
    s.paint(GRASS_LEFT, (21, 23))  # the right cliff, raised to the left one's height
    s.paint(GRASS, (22, 23), (24, 23))
    s.paint(WALL_LEFT, (21, 24), (21, 31))
    s.choose(DIRT)
    s.fill(LEFT, 22, 24, 24, 31)  # the old cliff's faces inside the ground go
    s.edit()
    s.pause()
    s.drop(6, 386, 546)  # anchors at 246 and 498, just inside the pit's edges
    s.wait(20)
    s.drop(2, 290, 420)
    s.drop(1, 330, 400)
    s.drop(3, 370, 380)
    s.drop(2, 410, 420)
    s.drop(1, 450, 400)
    s.wait(30)
    s.drop(3, 350, 300)
    s.mouse(700, 600)
    s.wait(240)
    return s


def dominoes():
    s = Script("dominoes", """
Dominoes: towers of four cubes in a row on a brick shelf at the right, where the brick beam
was, and a ball thrown at the first tower: on opening, they start to fall.""")
    s.pause()
    s.edit()
    s.fill(RIGHT, 29, 13, 42, 14)  # the beam goes
    s.choose(BRICK)
    s.stroke(LEFT, [(24, 20), (41, 20)])  # the shelf, top at y 480
    s.edit()
    for i in range(9):
        x = 612 + 46 * i
        for level in range(4):
            s.drop(2, x, 465 - 30 * level)
    s.drop(1, 500, 380)
    s.at("button 3 down")  # the ball, grabbed with the middle button
    s.step()
    s.pause()
    for x in (515, 530, 545):
        s.mouse(x, 376)
    s.at("button 3 up")  # and thrown at the top of the first tower
    s.step()
    s.mouse(1020, 764)
    return s


def aquarium():
    s = Script("aquarium", """
Squid aquarium: a closed brick tank on the left plateau with bushes for weed on its floor,
squids swimming in it and a few balls resting at the bottom.""")
    s.pause()
    s.edit()
    s.choose(BRICK)
    s.stroke(LEFT, [(0, 21), (0, 13), (9, 13), (9, 21)])  # below the player's tentacle
    s.paint(BUSH_LEFT, (2, 22))
    s.paint(BUSH_RIGHT, (3, 22))
    s.edit()
    s.pause()
    for x, y in [(60, 370), (150, 390), (90, 450), (180, 350), (170, 480)]:
        s.drop(4, x, y)
    for x in (40, 130, 200):
        s.drop(1, x, 520)
    s.mouse(1020, 764)
    s.wait(240)
    return s


def ball_pit():
    s = Script("ball_pit", """
Ball pit: the dip beside the left plateau widened and walled with bricks, filled with balls,
cubes and stars poured in from above.""")
    s.pause()
    s.edit()
    s.fill(RIGHT, 15, 23, 18, 25)  # the raised ground and its bush go
    s.paint(GRASS, (15, 26), (18, 26))  # a floor at the dip's height
    s.choose(BRICK)
    s.stroke(LEFT, [(9, 15), (9, 22)])
    s.stroke(LEFT, [(19, 15), (19, 24)])
    s.edit()
    s.pause()
    path = [(264 + 30 * i, 320) for i in range(7)]
    for kind in (1, 2, 1, 3, 1, 2, 3):
        s.stream(kind, path)
        s.wait(25)
    s.mouse(1020, 764)
    s.wait(200)
    return s


def ramps():
    s = Script("ramps", """
Ramp course: the bricks at the top right cleared away and two steep brick ramps built in their
place, zig-zagging down to the dip; balls, a cube and a star on their way down.""")
    s.pause()
    s.edit()
    s.fill(RIGHT, 29, 3, 42, 14)  # the brick figures and the beam go
    s.choose(BRICK)
    s.stroke(LEFT, [(23, 4), (30, 11)])
    s.stroke(LEFT, [(33, 8), (33, 13)])
    s.stroke(LEFT, [(32, 13), (25, 20)])
    s.edit()
    s.pause()
    for kind in (1, 1, 3, 1, 2, 1, 1):
        s.drop(kind, 566, 64)
        s.wait(35)
    s.mouse(1020, 764)
    s.wait(20)
    return s


def swings():
    s = Script("swings", """
Swings: two chains strung between fixed anchors under the brick beam at the right, one above
the other, with a ball, a star and cubes riding in them.""")
    s.pause()
    s.drop(6, 700, 400)  # anchors at 560 and 812
    s.drop(6, 880, 470)  # anchors at 740 and 992
    s.pause()
    s.wait(30)
    # The upper chain's riders drop in left of the beam, which hangs over the rest of it.
    for kind, x, y in ((1, 600, 340), (3, 640, 340), (2, 680, 340), (2, 840, 420), (1, 880, 410),
                       (3, 920, 420)):
        s.drop(kind, x, y)
    s.mouse(1020, 764)
    s.wait(240)
    return s


def car():
    s = Script("car", """
Car: the ground levelled into a road from the left edge to a brick wall at the right, and a car
on it: a wooden body with a cabin welded on and two rubber wheels on motors, driving right.""")
    s.pause()
    s.edit()
    s.stroke(RIGHT, [(9, 22)])  # the bricks on the road go
    s.stroke(RIGHT, [(24, 22)])
    s.paint(GRASS, (9, 23), (42, 23))
    s.choose(DIRT)
    s.fill(LEFT, 9, 24, 42, 31)
    s.choose(BRICK)
    s.stroke(LEFT, [(41, 20), (41, 22)])  # where the road ends
    s.box(60, 512, 180, 536)  # the body
    s.box(95, 484, 150, 516)  # the cabin
    s.circle(80, 534, 18, "rubber")
    s.circle(160, 534, 18, "rubber")
    s.weld(122, 514)
    s.motor(80, 534, 360)
    s.motor(160, 534, 360)
    s.start()
    return s


def catapult():
    s = Script("catapult", """
Catapult: a wooden arm on a stone post on the middle plateau, a ball in the cup at its long end
and an iron weight falling on its short end: the arm swings up against the stone stop and the
ball flies over the brick wall beyond the dip.""")
    s.pause()
    s.edit()
    s.stroke(RIGHT, [(24, 22)])  # the brick at the plateau's edge goes
    s.choose(BRICK)
    s.stroke(LEFT, [(37, 21), (37, 23)])  # the wall
    s.stroke(LEFT, [(42, 22), (42, 23)])  # and one at the picture's edge, where the ball stops
    s.fill(RIGHT, 29, 13, 35, 14)  # the beam's left half, in the ball's way
    px, py = 620, 474  # the axle
    s.box(px - 10, py - 4, px + 10, 551, "stone", True)  # the post

    def at(a, u):
        """The point a pixels along the arm from the axle (to the right, tilted up 25 degrees)
        and u above it."""
        c, n = math.cos(math.radians(25)), math.sin(math.radians(25))
        return (round(px + a * c - u * n), round(py - a * n - u * c))

    # The arm: 130 long to the left with the cup's lip at its end, 50 to the right.
    s.polygon([at(-130, -5), at(50, -5), at(50, 5), at(-122, 5), at(-122, 25), at(-130, 25)])
    s.box(613, 428, 629, 444, "stone", True)  # the stop the arm swings up against
    s.box(500, 537, 530, 599, "stone", True)  # the block the long end rests on
    s.circle(*at(-112, 15), 9)  # the ball, in the cup
    s.box(636, 324, 684, 372, "metal")  # the weight, over the short end
    s.hinge(px, py)
    s.start()
    return s


def cradle():
    s = Script("cradle", """
Newton's cradle: five rubber balls on ropes under the brick beam, the first pulled out to the
left: it swings down, and the last ball swings out.""")
    s.pause()
    s.edit()
    top, length, r = 364, 160, 16
    xs = [780 + (2 * r + 1) * i for i in range(5)]  # a pixel apart
    first = (round(xs[0] - length * math.sin(math.radians(50))),
             round(top + length * math.cos(math.radians(50))))
    centres = [first] + [(x, top + length) for x in xs[1:]]
    for c in centres:
        s.circle(c[0], c[1], r, "rubber")
    for x, c in zip(xs, centres):
        s.rope(c, (x, top))
    s.start()
    return s


def windmill():
    s = Script("windmill", """
Windmill: a stone tower on the middle plateau and wooden sails on a motor at its top, turning.""")
    s.pause()
    s.edit()
    s.stroke(RIGHT, [(24, 22)])  # the brick at the plateau's edge goes
    s.polygon([(640, 551), (680, 551), (668, 440), (652, 440)], "stone", True)
    cx, cy, l, w = 660, 450, 85, 7
    s.polygon([(cx - w, cy - l), (cx + w, cy - l), (cx + w, cy - w), (cx + l, cy - w),
               (cx + l, cy + w), (cx + w, cy + w), (cx + w, cy + l), (cx - w, cy + l),
               (cx - w, cy + w), (cx - l, cy + w), (cx - l, cy - w), (cx - w, cy - w)])
    s.motor(cx, cy, 90)
    s.start()
    return s


def rope_bridge():
    s = Script("rope_bridge", """
Rope bridge: wooden planks hinged end to end across a bottomless pit between two grass cliffs,
sagging a little and held up by ropes from a post on each cliff, and a few bodies dropped on
it.""")
    s.pause()
    s.edit()
    s.fill(RIGHT, 10, 23, 20, 31)  # the pit, as the chain bridge's
    s.paint(WALL_RIGHT, (9, 26), (9, 31))
    s.paint(GRASS_LEFT, (21, 23))
    s.paint(GRASS, (22, 23), (24, 23))
    s.paint(WALL_LEFT, (21, 24), (21, 31))
    s.choose(DIRT)
    s.fill(LEFT, 22, 24, 24, 31)
    s.stroke(RIGHT, [(9, 22)])  # the brick at the left cliff's edge goes
    # Ten planks 36 wide, each overlapping the next by 9, lower towards the middle.
    sag = [0, 3, 6, 8, 9, 9, 8, 6, 3, 0]
    left, step, width = 230, 27, 36
    for i, down in enumerate(sag):
        x = left + step * i
        s.box(x, 538 + down, x + width, 548 + down)
    s.hinge(left + 4, 543)  # to the level
    for i in range(len(sag) - 1):
        x = left + step * i + step + (width - step) // 2  # the middle of the overlap
        s.hinge(x, 542 + max(sag[i], sag[i + 1]))
    s.hinge(left + step * (len(sag) - 1) + width - 4, 543)
    s.box(218, 470, 228, 551, "wood", True)  # the posts
    s.box(512, 470, 522, 551, "wood", True)
    s.rope((223, 474), (left + step * 3 + width // 2, 543 + sag[3]))
    s.rope((517, 474), (left + step * 6 + width // 2, 543 + sag[6]))
    s.start()
    for kind, x in ((2, 300), (1, 350), (3, 400), (2, 450)):
        s.drop(kind, x, 480)
    s.mouse(1020, 764)
    s.wait(120)
    return s


def seesaw():
    s = Script("seesaw", """
Seesaw: a plank on a stone wedge on the middle plateau, a rubber ball on its right end and an
iron weight falling on its left end, which tips it and throws the ball.""")
    s.pause()
    s.edit()
    s.stroke(RIGHT, [(24, 22)])  # the brick at the plateau's edge goes
    s.polygon([(652, 551), (692, 551), (672, 498)], "stone", True)
    s.box(552, 500, 792, 510)
    s.circle(772, 487, 12, "rubber")
    s.box(556, 380, 596, 420, "metal")
    s.hinge(672, 506)
    s.start()
    return s


SCENES = [bridge, dominoes, aquarium, ball_pit, ramps, swings, car, catapult, cradle, windmill,
          rope_bridge, seesaw]


def main():
    args = sys.argv[1:]
    build = args.pop(0) if args and not args[0].isidentifier() else "build/test"
    names = set(args)
    scenario = os.path.join(ROOT, build, "tools", "scenario")
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    os.makedirs(os.path.join(ROOT, "data/scenes/make"), exist_ok=True)
    for make in SCENES:
        script = make()
        if names and script.name not in names:
            continue
        path = os.path.join(ROOT, "data/scenes/make", script.name + ".txt")
        with open(path, "w") as f:
            f.write(script.text())
        out = os.path.join(ROOT, "data/scenes", script.name + ".json")
        subprocess.run([scenario, "--script", path, "--save-scene", out + ".part", "--out", "/tmp"],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        os.replace(out + ".part", out)
        print("made", os.path.relpath(out, ROOT))


if __name__ == "__main__":
    main()
