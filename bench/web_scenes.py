"""Scenes in the page: opening and saving a scene of about 1,000 bodies, and its link's length,
each next to its limit. Plays the real page (./web.sh builds it) in headless Chromium.

Usage: web_scenes.py PAGE_FOLDER SCENARIO
  SCENARIO: the desktop's headless runner; it plays bench/web/fill-1000.txt (bodies dropped and
  settled, a few minutes) and saves that scene, which the page then opens and saves.
Prints one line a figure next to its limit, "over" after one past it (exit status 1 then):
the median milliseconds of the page's open, save (the file's text) and share (the text deflated
and in base64url), the file's bytes and the link's. The desktop's own figures: dazozi-bench --scenes.
"""

import json
import os
import random
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import pagedriver as pd  # noqa: E402

RUNS = 9
BODIES = 1000
FILL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "web", "fill-1000.txt")


def settled_scene(scenario):
    """The scene bench/web/fill-1000.txt leaves, as the desktop saves it."""
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "scene.json")
        env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
        subprocess.run([scenario, FILL, "--save-scene", path], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        with open(path) as f:
            scene = f.read()
    # Topped up to 1,000 with balls in motion, as a scene saved mid-game holds them (the fill
    # settles fewer than that).
    count = json.loads(scene)["bodies"]
    rng = random.Random(1000)
    balls = "".join('  {"kind": "ball", "state": [%r, %r, %r, %r, %r, %r]},\n' % (
        rng.uniform(100, 2500), rng.uniform(50, 700), rng.uniform(-3, 3), rng.uniform(-50, 50),
        rng.uniform(-50, 50), rng.uniform(-3, 3)) for _ in range(max(0, BODIES - len(count))))
    # Paused, so that none leaves the level between the runs and the frames between them cost
    # little beside the measures.
    return scene.replace('"bodies": [\n', '"bodies": [\n' + balls, 1).replace(
        '"paused": false', '"paused": true', 1)


def timed(driver, call, text=None):
    """Milliseconds Module._dazozi_<call> takes in the page (handing it text, when given)."""
    return driver.execute_script("""
        if (arguments[1] !== null) { Module.dazoziOpenText = arguments[1]; Module.dazoziOpenName = 'bench'; }
        const t0 = performance.now();
        const result = Module['_dazozi_' + arguments[0]]();
        const ms = performance.now() - t0;
        return [result, ms, Module.dazoziOutbox.length];""", call, text)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    scene = settled_scene(sys.argv[2])
    server = pd.PageServer(sys.argv[1])
    driver = pd.start_browser(1100, 900)
    over = False
    try:
        driver.get(server.url)
        pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="the page drew no frame")
        figures = {"open": [], "save": [], "share": []}
        for _ in range(RUNS):
            result, ms, _ = timed(driver, "open", scene)
            if result != 1:
                raise RuntimeError("the page refused the scene: %s" %
                                   driver.execute_script("return Module.dazoziOutbox"))
            figures["open"].append(ms)
            result, ms, file_bytes = timed(driver, "save")
            figures["save"].append(ms)
            result, ms, payload = timed(driver, "share")
            figures["share"].append(ms)
            pd.wait_frames(driver, 1)  # a frame between runs, as between a user's clicks
        bodies = driver.execute_script(
            "Module._dazozi_save(); const b = JSON.parse(Module.dazoziOutbox).bodies;"
            "return b.length + b.reduce((n, x) => n + (x.tentacle || x.links || []).length, 0)")
        link = len(server.url) + len("#scene=") + payload
        print("bodies=%d (a squid's segments and a chain's links each count)" % bodies)
        for name, limit in (("open", 300), ("save", 300), ("share", 300)):
            ms = statistics.median(figures[name])
            print("page-scene-%s-ms=%.1f (limit %d; fastest %.1f, slowest %.1f)%s" % (
                name, ms, limit, min(figures[name]), max(figures[name]),
                " over" if ms > limit else ""))
            over |= ms > limit
        print("scene-bytes=%d (limit %d)%s" % (file_bytes, 500 * 1024,
                                                " over" if file_bytes > 500 * 1024 else ""))
        print("scene-link-bytes=%d (limit %d)%s" % (link, 65536, " over" if link > 65536 else ""))
        over |= file_bytes > 500 * 1024 or link > 65536
    finally:
        driver.quit()
        server.stop()
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
