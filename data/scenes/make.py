#!/usr/bin/env python3
"""Makes the example scenes with the real editor and controls.

For each scene it writes data/scenes/make/NAME.txt, a scenario script of scripted input (edit
mode strokes that dig and build the level, digit keys and clicks that drop bodies, waits while
they settle), then runs it through the headless scenario runner and saves the scene it ends
with as data/scenes/NAME.json, which the program embeds. Everything happens on the first
screen of the level (the camera at 0, 0), so window points are world points.

usage: data/scenes/make.py [BUILD_DIR] [NAME...]   (default build/test, every scene)
"""

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

KEY_E, KEY_P, ESCAPE = 69, 80, 27
LEFT, RIGHT = 1, 2


class Script:
    """Scripted input, one event a frame unless said otherwise."""

    def __init__(self, name, about):
        self.name = name
        self.lines = ["# " + line for line in about.strip().splitlines()]
        self.lines.append("# Written by data/scenes/make.py; the scene is saved after the last frame.")
        self.frame = 0

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
        """Chooses a palette entry with a click on it (edit mode)."""
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


SCENES = [bridge, dominoes, aquarium, ball_pit, ramps, swings]


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
