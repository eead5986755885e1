"""Serves the web page on 127.0.0.1 and drives it in Debian's headless Chromium (Selenium).

Used by the browser test and the web benchmark. Every wait is bounded and waits for an event
the page reports (frames run, the game ended), never for a length of time.
"""

import enum
import functools
import http.server
import io
import os
import threading
import traceback

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.support.ui import WebDriverWait

GAME_W, GAME_H = 1024, 768


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    """Static files of one folder; remembers the paths asked for instead of logging them."""

    requested = None  # set per server

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.requested.append(self.path)
        super().do_GET()


class PageServer:
    """The page's folder on http://127.0.0.1:<free port>/, in a thread, until stop()."""

    def __init__(self, folder):
        handler = type("Handler", (QuietHandler,), {"requested": []})
        self.requested = handler.requested
        self.httpd = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(handler, directory=folder))
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def start_browser(width=1280, height=900, extra_args=(), scale=1):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                # WebGL without a GPU: SwiftShader, drawn in software.
                "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                "--force-device-scale-factor=%g" % scale, "--window-size=%d,%d" % (width, height),
                "--no-first-run", "--disable-extensions", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--mute-audio",
                # A hidden headless window must still get its display callbacks.
                "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                "--disable-backgrounding-occluded-windows", *extra_args):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(60)
    return driver


def wait(driver, what, timeout=60, poll=0.02, message=""):
    """Bounded wait until what(driver) is true; returns its value."""
    return WebDriverWait(driver, timeout, poll_frequency=poll).until(what, message)


def frames(driver):
    return driver.execute_script("return window.dazoziStatus ? window.dazoziStatus.frames : 0")


def wait_frames(driver, count=2, timeout=60):
    """Waits until the game has run `count` more frames (so input sent before is handled)."""
    start = frames(driver)
    wait(driver, lambda d: frames(d) >= start + count, timeout,
         message="the game ran no %d frames" % count)


class Probe(enum.IntEnum):
    """What Module._dazozi_probe(what, index) answers (web/Probe.hpp holds the same table;
    probe_codes.py checks that they agree)."""
    Balls = 0
    BallX = 1
    BallY = 2
    PlayerX = 3
    PlayerY = 4
    ScrollX = 5
    Debug = 6
    KeyDown = 7
    Kind = 8
    Paused = 9
    Help = 10
    Stars = 11
    StarX = 12
    StarY = 13
    StaticShapes = 14
    Edit = 15
    Settings = 16
    Replaying = 17
    SceneMenu = 18
    ZoomStep = 19
    Following = 20


def probe(driver, what, index=0):
    return driver.execute_script(
        "return Module._dazozi_probe(arguments[0], arguments[1])", int(what), index)


def screenshot(driver, path=None):
    png = driver.get_screenshot_as_png()
    if path:
        with open(path, "wb") as f:
            f.write(png)
    return Image.open(io.BytesIO(png)).convert("RGB")


def load_png(path):
    """The picture in path, or None while it is missing or not yet whole."""
    try:
        with Image.open(path) as image:
            image.load()
            return image.copy()
    except (OSError, SyntaxError):
        return None


def picture_rect(driver):
    """Where the game's 1024 x 768 picture lies in the page: (left, top, scale), letterboxed
    inside the canvas the way the game's renderer scales it."""
    r = driver.execute_script(
        "const r = document.getElementById('canvas').getBoundingClientRect();"
        "return [r.left, r.top, r.width, r.height];")
    scale = min(r[2] / GAME_W, r[3] / GAME_H)
    return (r[0] + (r[2] - GAME_W * scale) / 2, r[1] + (r[3] - GAME_H * scale) / 2, scale)


def to_page(driver, gx, gy):
    left, top, scale = picture_rect(driver)
    return left + gx * scale, top + gy * scale


def click_game(driver, gx, gy):
    """Moves the pointer over game point (gx, gy) and clicks there."""
    x, y = to_page(driver, gx, gy)
    actions = ActionBuilder(driver)
    actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
    actions.pointer_action.click()
    actions.perform()


def severe_console_lines(driver):
    return [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"]


def page_files(folder):
    return sorted(f for f in os.listdir(folder) if os.path.isfile(os.path.join(folder, f)))


class Checks:
    """A browser script's checks: each prints "ok" or "FAIL" and its text, and the failed ones
    are kept in `failures` for the script's exit status."""

    def __init__(self):
        self.failures = []

    def __call__(self, condition, text):
        print(("ok    " if condition else "FAIL  ") + text, flush=True)
        if not condition:
            self.failures.append(text)


def run_in_browser(folder, out, failures, run, on_failure=None, width=1280, height=800):
    """Serves folder, starts the browser and calls run(driver, server). A wait that ran out or
    a browser that died is reported as a failure with its cause, a screenshot in out and
    on_failure(driver)'s say; the browser and the server stop either way. Returns the exit
    status: 1 when failures holds any, else 0."""
    os.makedirs(out, exist_ok=True)
    server = PageServer(folder)
    driver = None
    try:
        driver = start_browser(width, height)
        run(driver, server)
    except Exception:  # pylint: disable=broad-except
        traceback.print_exc()
        failures.append("the run stopped early")
        if driver:
            try:
                screenshot(driver, os.path.join(out, "failure.png"))
                if on_failure:
                    on_failure(driver)
            except Exception:  # pylint: disable=broad-except
                pass
    finally:
        if driver:
            driver.quit()
        server.stop()
    print("%d failure(s); screenshots in %s" % (len(failures), out))
    return 1 if failures else 0
