"""The page beside the bare page: one headless Chromium (SwiftShader WebGL, as the tests run it)
runs the side bench (bench/web/main.cpp with --side) on scenes of settled bodies on the tree with
sleeping, and for each scene measures in turns the page's own frame and the bare page
(bench/web/bare.js) drawing the same picture copied from it, with WebGL alone in the fewest calls.

Usage: web_side.py BENCH_PAGE_FOLDER [--scenes 250,1000] [--rounds 3] [--seconds 5]
                   [--pictures FOLDER]
Prints a line per turn, then per scene and side the medians over the turns:
  scene=<bodies> side=<page|bare> interval=<ms> cpu=<ms> frames=<n> calls=<bare page's calls>
interval: median time between frames; cpu: processor time of every Chromium process (the page's
renderer, the GPU process that rasterises with SwiftShader, the browser) over the turn, divided by
its frames. With --pictures, a screenshot of each side of each scene for comparing them.
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import pagedriver as pd  # noqa: E402
from selenium.common.exceptions import TimeoutException  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def descendants(root):
    """Process ids under root (inclusive), from /proc."""
    parent = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open("/proc/%s/stat" % name) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                parent[int(name)] = int(fields[1])
            except OSError:
                pass
    found, grown = {root}, True
    while grown:
        grown = False
        for pid, ppid in parent.items():
            if ppid in found and pid not in found:
                found.add(pid)
                grown = True
    return found


def cpu_ms(pids):
    """User plus system time of the processes, ms."""
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total * 1000.0 / TICKS


def asked(driver, script):
    """The script's value, or None while the page is busy (the scenes fill inside one display
    callback, minutes at 1,000 bodies)."""
    try:
        return driver.execute_script(script)
    except TimeoutException:
        return None


def turn(driver, pids, side, seconds):
    # The page's display callbacks that ran a frame: while the bare page draws they return
    # at once, and those are not counted.
    frames = ("return window.pageFrames.length" if side == "page"
              else "return BarePage.frames()")
    times = ("return window.pageFrames.slice(arguments[0])" if side == "page"
             else "return BarePage.times().slice(arguments[0])")
    start = driver.execute_script(frames)
    pd.wait(driver, lambda d: d.execute_script(frames) >= start + 10, 300,
            message="no frames from the " + side)
    f0 = driver.execute_script(frames)
    c0 = cpu_ms(pids)
    time.sleep(seconds)  # a bench: the turn lasts a fixed time, its frames are counted
    c1 = cpu_ms(pids)
    stamps = driver.execute_script(times, f0)
    n = len(stamps) - 1
    gaps = [b - a for a, b in zip(stamps, stamps[1:])]
    return statistics.median(gaps), (c1 - c0) / max(n, 1), n


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("folder")
    ap.add_argument("--scenes", default="250,1000")
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--seconds", type=float, default=5.0)
    ap.add_argument("--pictures")
    args = ap.parse_args()
    scenes = [int(s) for s in args.scenes.split(",")]
    server = pd.PageServer(args.folder)
    driver = pd.start_browser(1100, 900)
    results = {}
    try:
        pids = descendants(driver.service.process.pid)
        driver.get(server.url + "bench.html?arg=--scenes&arg=%s&arg=--tree-sleeping&arg=--side"
                   % args.scenes)
        pids = descendants(driver.service.process.pid)
        for i, scene in enumerate(scenes):
            ready = pd.wait(driver, lambda d: asked(
                d, "return window.sideScenes.length > %d && window.sideScenes[%d]" % (i, i)), 3600,
                poll=2, message="scene %d was not filled" % scene)
            if not ready["copied"]:
                raise RuntimeError("scene %d: no picture copied" % scene)
            for line in driver.execute_script("return window.benchLines"):
                if line.startswith("scene=%d " % scene):
                    print(line, flush=True)
            for f in driver.execute_script("return BarePage.fill(Module.barePicture)"):
                print("fill scene=%d texture=%d (%s) blend=%d batches=%d quads=%d pixels=%.0f"
                      % (scene, f["texture"], f["size"], f["blend"], f["batches"], f["quads"],
                         f["area"]), flush=True)
            for r in range(args.rounds):
                for side in ("page", "bare"):
                    calls = 0
                    if side == "bare":
                        calls = driver.execute_script(
                            "Module._side_pause();"
                            "return BarePage.start(Module.barePicture, Module.canvas)")
                    interval, cpu, n = turn(driver, pids, side, args.seconds)
                    if args.pictures and r == 0:
                        os.makedirs(args.pictures, exist_ok=True)
                        driver.save_screenshot(os.path.join(
                            args.pictures, "side-%d-%s.png" % (scene, side)))
                    if side == "bare":
                        driver.execute_script("BarePage.stop(Module.canvas); Module._side_resume()")
                    print("turn scene=%d side=%s round=%d interval=%.2f cpu=%.2f frames=%d "
                          "load=%s" % (scene, side, r + 1, interval, cpu, n,
                                       open("/proc/loadavg").read().split()[0]), flush=True)
                    results.setdefault((scene, side), []).append((interval, cpu, n, calls))
            driver.execute_script("Module._side_next()")
        for (scene, side), rows in sorted(results.items()):
            print("scene=%d side=%s interval=%.2f cpu=%.2f frames=%d calls=%s" % (
                scene, side, statistics.median(r[0] for r in rows),
                statistics.median(r[1] for r in rows), sum(r[2] for r in rows),
                rows[0][3] if side == "bare" else "-"))
    finally:
        driver.quit()
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
