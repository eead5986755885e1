"""Scenes in the page: opening and saving a scene of 1,000 bodies, and its link's length, each
next to its limit. Plays the real page (./web.sh builds it) in headless Chromium.

Usage: web_scenes.py PAGE_FOLDER
Prints one line a figure: "page-scene-open-ms=<median> (limit 300)", "page-scene-save-ms=...",
"page-scene-share-ms=..." (the text, deflated and in base64url), "scene-bytes=<file> (limit
500 KB)" and "scene-link-bytes=<address with #scene=> (limit 64 KB)", and "over" after a figure
past its limit (exit status 1 then).
"""

import json
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import pagedriver as pd  # noqa: E402

BODIES = 1000
RUNS = 7


def thousand_bodies(scene):
    """The page's own scene with balls, cubes and stars added in rows in the sky until 1,000
    bodies, each resting (the layout of a scene made by hand)."""
    data = json.loads(scene)
    kinds = ("ball", "cube", "star")
    bodies = data["bodies"]
    i = 0
    while len(bodies) < BODIES:
        x, y = 60 + (i % 100) * 26, 40 + (i // 100) * 26
        bodies.insert(0, {"kind": kinds[i % 3], "state": [float(x), float(y), 0.0, 0.0, 0.0, 0.0]})
        i += 1
    # The game's own order: balls, then cubes, then stars, then the rest.
    order = {"ball": 0, "cube": 1, "star": 2}
    bodies.sort(key=lambda b: order.get(b["kind"], 3))
    return json.dumps(data)


def timed(driver, call, text=None):
    """Milliseconds Module._dazozi_<call> takes in the page (handing it text, when given)."""
    return driver.execute_script("""
        if (arguments[1] !== null) { Module.dazoziOpenText = arguments[1]; Module.dazoziOpenName = 'bench'; }
        const t0 = performance.now();
        const result = Module['_dazozi_' + arguments[0]]();
        const ms = performance.now() - t0;
        return [result, ms, Module.dazoziOutbox.length];""", call, text)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    server = pd.PageServer(sys.argv[1])
    driver = pd.start_browser(1100, 900)
    over = False
    try:
        driver.get(server.url)
        pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="the page drew no frame")
        result, _, _ = timed(driver, "save")
        scene = thousand_bodies(driver.execute_script("return Module.dazoziOutbox"))
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
            "Module._dazozi_save(); return JSON.parse(Module.dazoziOutbox).bodies.length")
        link = len(server.url) + len("#scene=") + payload
        print("bodies=%d" % bodies)
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
