"""The web build in a real browser: serves the page folder on 127.0.0.1 and plays it in headless
Chromium the way a user would, checking what the user sees and what the game did.

Usage: browser_test.py PAGE_FOLDER OUTPUT_FOLDER   (screenshots go to OUTPUT_FOLDER)
"""

import os
import sys
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagedriver as pd  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.actions.action_builder import ActionBuilder  # noqa: E402
from selenium.webdriver.common.actions.mouse_button import MouseButton  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

CAPTION = "Dazozi Redov by Vesk - https://dazozi-redov.example.org"

failures = []


def check(condition, text):
    print(("ok    " if condition else "FAIL  ") + text, flush=True)
    if not condition:
        failures.append(text)


def click_game(driver, gx, gy, button="left"):
    """Moves the pointer over game point (gx, gy) and clicks there."""
    x, y = pd.to_page(driver, gx, gy)
    actions = ActionBuilder(driver)
    actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
    if button == "left":
        actions.pointer_action.click()
    actions.perform()


def press(driver, key):
    ActionChains(driver).send_keys(key).perform()


def near(color, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(color, expected))


def game_pixel(image, rect, gx, gy):
    """The screenshot's pixel at game point (gx, gy); rect from pd.picture_rect."""
    left, top, scale = rect
    return image.getpixel((int(left + gx * scale), int(top + gy * scale)))


def check_no_seams(image, rect, where):
    """The level's tiles, drawn in large pieces on the GPU, meet without a seam of the cleared
    screen between them in the sky and hills above the player (a picture scaled down shows
    it: a browser's software WebGL snaps corners to a sub-pixel grid)."""
    left, top, scale = rect
    dark = [(x, y) for x in range(int(left) + 1, int(left + 1024 * scale) - 1)
            for y in range(int(top + 120 * scale), int(top + 280 * scale))
            if max(image.getpixel((x, y))) < 16]
    check(not dark, "no seam between the level's tiles %s (dark pixels at %s)" % (where, dark[:8]))


def ball_positions(driver):
    """Every ball's position, read in one call so that no frame runs between two balls."""
    return [tuple(p) for p in driver.execute_script(
        "const probe = Module._dazozi_probe, out = [];"
        "for (let i = 0; i < probe(%d, 0); ++i) out.push([probe(%d, i), probe(%d, i)]);"
        "return out;" % (pd.Probe.Balls, pd.Probe.BallX, pd.Probe.BallY))]


def check_click_makes_a_ball(driver, gx, gy, where):
    """A click at game point (gx, gy), with balls selected, makes one ball there. The view may
    still drift after the player; the ball starts at the pointer plus the scroll of the frame
    that read the click."""
    scroll_before = pd.probe(driver, pd.Probe.ScrollX)
    count = pd.probe(driver, pd.Probe.Balls)
    click_game(driver, gx, gy)
    pd.wait_frames(driver, 1)
    scroll_after = pd.probe(driver, pd.Probe.ScrollX)
    balls = ball_positions(driver)
    low, high = sorted((scroll_before, scroll_after))
    # It may have fallen a little since (a slow machine runs a few frames between the calls);
    # it never rises above the pointer.
    new = [b for b in balls if low - 6 <= b[0] - gx <= high + 6 and gy - 6 <= b[1] <= gy + 60]
    check(len(balls) == count + 1 and len(new) == 1,
          "%s a click makes a ball under the pointer (%s)" % (where, balls))


def run(driver, server, out):
    driver.get(server.url)
    pd.wait(driver, lambda d: pd.frames(d) >= 3, 90, message="no frame was drawn")
    first = pd.screenshot(driver, os.path.join(out, "01-first-frame.png"))

    # The page: the game's caption as its title, the loading panel gone, only its own files.
    check(driver.title == CAPTION, "the page's title is the caption (%r)" % driver.title)
    check(not driver.execute_script("return document.getElementById('loading').offsetParent"),
          "the loading panel is gone once the game runs")
    status = driver.execute_script("return window.dazoziStatus")
    check(status["error"] is None, "no error shown in the page (%s)" % status["error"])
    resources = driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name)")
    foreign = [r for r in resources if not r.startswith(server.url)]
    check(not foreign, "no request beyond the page's own files (%s)" % foreign)
    served = set(pd.page_files(server.folder))
    asked = {p.lstrip("/").split("?")[0] or "index.html" for p in server.requested}
    check(asked <= served, "the server was asked only for the page's files (%s)" % sorted(asked))

    # The first frame: sky above, the level's ground along the bottom, the overlay's white
    # text in the top-left corner; the letterbox around the picture stays black.
    rect = pd.picture_rect(driver)
    sky = game_pixel(first, rect, 512, 40)
    ground = game_pixel(first, rect, 12, 756)
    check(sky[2] > sky[0] + 40 and sky[2] > 120, "sky blue at the top of the picture %s" % (sky,))
    check(sky != ground and not near(ground, sky, 30), "the ground differs from the sky %s" % (ground,))
    text_white = sum(1 for x in range(0, 200) for y in range(0, 16)
                     if min(game_pixel(first, rect, x, y)) > 200)
    check(text_white > 150, "the overlay's text is drawn at the top left (%d white pixels)" % text_white)

    # Input. The first click only gives the game the keyboard focus. A focusing click and key 1
    # that come within one frame (sent here in one go, so no frame runs between them) must not
    # spawn a ball at the focusing click: key 1 then three clicks make three balls.
    check(driver.execute_script("return document.activeElement.id") != "canvas",
          "the game has no keyboard focus before the first click")
    x, y = pd.to_page(driver, 300, 300)
    driver.execute_script("""
        const canvas = document.getElementById('canvas');
        const at = {bubbles: true, cancelable: true, clientX: arguments[0], clientY: arguments[1], button: 0};
        canvas.dispatchEvent(new MouseEvent('mousedown', at));
        document.dispatchEvent(new MouseEvent('mouseup', at));
        const one = {bubbles: true, cancelable: true, key: '1', code: 'Digit1', keyCode: 49, which: 49};
        canvas.dispatchEvent(new KeyboardEvent('keydown', one));
        canvas.dispatchEvent(new KeyboardEvent('keyup', one));""", x, y)
    pd.wait_frames(driver)
    check(driver.execute_script("return document.activeElement.id") == "canvas",
          "the first click gives the game the keyboard focus")
    check(pd.probe(driver, pd.Probe.Balls) == 0, "the focusing click spawns nothing, even with key 1 in its frame")
    scroll = pd.probe(driver, pd.Probe.ScrollX)
    clicks = [(200, 150), (520, 120), (640, 200)]
    for gx, gy in clicks:
        # A frame between clicks, as between a user's: the game spawns at the pointer's place
        # when the frame reads the click.
        click_game(driver, gx, gy)
        pd.wait_frames(driver)
    balls = ball_positions(driver)
    check(len(balls) == 3, "key 1 and three clicks make three balls (%d)" % len(balls))
    # Each ball starts under its click, in level pixels: the pointer plus the view's scroll.
    starts = sorted(balls)
    for (gx, gy), (bx, by) in zip(clicks, starts):
        check(abs(bx - (gx + scroll)) <= 6 and by >= gy - 6,
              "a ball appears under the click at (%d, %d): (%.0f, %.0f)" % (gx, gy, bx, by))
    pd.wait_frames(driver, 90)  # a fall of 450 px takes 72 frames
    landed = sorted(ball_positions(driver))
    check(len(landed) == 3, "the three balls are still there after landing")
    for (gx, gy), (bx, by) in zip(clicks, landed):
        check(by > gy + 50 and abs(bx - (gx + scroll)) < 120,
              "a ball fell from (%d, %d) and lies below it at (%.0f, %.0f)" % (gx, gy, bx, by))
    pd.screenshot(driver, os.path.join(out, "02-three-balls.png"))

    # The right button over the game opens no context menu (the page takes the event).
    prevented = driver.execute_script(
        "const e = new MouseEvent('contextmenu', {bubbles: true, cancelable: true});"
        "return !document.getElementById('canvas').dispatchEvent(e);")
    check(prevented, "the right button opens no context menu over the game")

    # D: the debug outlines.
    before = pd.screenshot(driver)
    press(driver, "d")
    pd.wait_frames(driver, 3)
    check(pd.probe(driver, pd.Probe.Debug) == 1, "D switches the debug view on")
    debug = pd.screenshot(driver, os.path.join(out, "03-debug-view.png"))
    changed = sum(1 for x in range(0, 1024, 4) for y in range(100, 768, 4)
                  if game_pixel(before, rect, x, y) != game_pixel(debug, rect, x, y))
    check(changed > 400, "the outlines show on the screen (%d sampled pixels changed)" % changed)
    press(driver, "d")
    pd.wait_frames(driver, 2)

    # Arrows: the player moves right, the view follows, the page itself does not scroll.
    x0, scroll0 = pd.probe(driver, pd.Probe.PlayerX), pd.probe(driver, pd.Probe.ScrollX)
    # Up and right: over the wall of the pit by the start; the view follows once the player
    # passes window x 640.
    ActionChains(driver).key_down(Keys.ARROW_UP).key_down(Keys.ARROW_RIGHT).perform()
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.ScrollX) > scroll0 + 20, 120, poll=0.1,
            message="the view did not scroll while the arrows were held")
    ActionChains(driver).key_up(Keys.ARROW_RIGHT).key_up(Keys.ARROW_UP).perform()
    pd.wait_frames(driver, 2)
    x1, scroll1 = pd.probe(driver, pd.Probe.PlayerX), pd.probe(driver, pd.Probe.ScrollX)
    check(x1 > x0 + 100, "the arrows push the player right (%.0f -> %.0f)" % (x0, x1))
    check(scroll1 > scroll0, "the view scrolls after the player (%d -> %d)" % (scroll0, scroll1))
    # The game's keys do nothing else in the page; the browser's own shortcuts stay its own.
    cancelled = driver.execute_script("""
        const canvas = document.getElementById('canvas');
        const cancelled = (init) => {
          const event = new KeyboardEvent('keydown', Object.assign({bubbles: true, cancelable: true}, init));
          canvas.dispatchEvent(event);
          canvas.dispatchEvent(new KeyboardEvent('keyup', Object.assign({bubbles: true}, init)));
          return event.defaultPrevented;
        };
        return [cancelled({key: 'ArrowDown', code: 'ArrowDown', keyCode: 40}),
                cancelled({key: 'r', code: 'KeyR', keyCode: 82, ctrlKey: true}),
                cancelled({key: 'F5', code: 'F5', keyCode: 116}),
                cancelled({key: 'z', code: 'KeyZ', keyCode: 90, ctrlKey: true})];""")
    check(cancelled == [True, False, False, True],
          "an arrow key and Ctrl+Z are the game's; Ctrl+R and F5 stay the browser's %s" % (cancelled,))
    # Edit mode: E, a click paints a brick (four more static segments), Ctrl+Z takes it back.
    shapes = pd.probe(driver, pd.Probe.StaticShapes)
    press(driver, "e")
    pd.wait_frames(driver, 2)
    click_game(driver, 200, 80)
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.StaticShapes) == shapes + 4, 60, poll=0.1,
            message="a click in edit mode painted no brick")
    check(pd.probe(driver, pd.Probe.StaticShapes) == shapes + 4, "E and a click paint a brick: four more segments")
    ActionChains(driver).key_down(Keys.CONTROL).send_keys("z").key_up(Keys.CONTROL).perform()
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.StaticShapes) == shapes, 60, poll=0.1,
            message="Ctrl+Z did not take the brick back")
    check(pd.probe(driver, pd.Probe.StaticShapes) == shapes, "Ctrl+Z reaches the game and takes the brick back")
    press(driver, "e")
    pd.wait_frames(driver, 2)
    page_scroll = driver.execute_script("return [window.scrollX, window.scrollY]")
    check(page_scroll == [0, 0], "the arrow keys do not scroll the page %s" % page_scroll)
    pd.screenshot(driver, os.path.join(out, "04-after-arrows.png"))

    # A wide browser window: the picture keeps its aspect with black bars at the sides, and a
    # click still lands under the pointer.
    driver.set_window_size(1500, 700)
    pd.wait(driver, lambda d: d.execute_script(
        "const c = document.getElementById('canvas');"
        "return c.width === Math.round(c.clientWidth * devicePixelRatio) && innerWidth === 1500"),
        30, message="the canvas did not follow the window")
    pd.wait_frames(driver, 3)
    wide = pd.screenshot(driver, os.path.join(out, "05-wide-window.png"))
    left, top, scale = pd.picture_rect(driver)
    check(left > 50 and abs(top) < 1, "the picture is letterboxed at the sides (%.0f, %.0f)" % (left, top))
    # Between the toolbar and the picture.
    canvas_left = driver.execute_script("return document.getElementById('canvas').getBoundingClientRect().left")
    bars = [wide.getpixel((int((canvas_left + left) / 2), y)) for y in range(10, int(wide.height) - 10, 40)]
    check(all(max(p) < 16 for p in bars), "the bars beside the picture are black")
    check(not near(game_pixel(wide, (left, top, scale), 512, 40), (0, 0, 0), 20),
          "the picture is drawn inside the bars")
    check_click_makes_a_ball(driver, 700, 120, "in the wide window")

    # Losing the focus releases held keys, as when the desktop window loses it: the key's
    # release goes elsewhere then, and the game would otherwise push the player for good.
    ActionChains(driver).key_down(Keys.ARROW_LEFT).perform()
    pd.wait_frames(driver, 2)
    check(pd.probe(driver, pd.Probe.KeyDown, 37) == 1, "the left arrow reads as held while the game has the focus")
    driver.execute_script("document.getElementById('canvas').blur()")
    pd.wait_frames(driver, 2)
    ActionChains(driver).key_up(Keys.ARROW_LEFT).perform()
    pd.wait_frames(driver, 2)
    check(pd.probe(driver, pd.Probe.KeyDown, 37) == 0, "after the focus left, the left arrow reads as released")
    # That focusing click is also the user's gesture that lets the page play sound: with the
    # sound held back as before a first gesture, it starts the sound again.
    audio_state = "return Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state"
    driver.execute_script("Module.SDL2.audioContext.suspend()")
    pd.wait(driver, lambda d: d.execute_script(audio_state) == "suspended", 30,
            message="the sound could not be held back")
    count = pd.probe(driver, pd.Probe.Balls)
    click_game(driver, 900, 700)
    pd.wait_frames(driver)
    check(pd.probe(driver, pd.Probe.Balls) == count, "the click that gives the focus back spawns nothing")
    try:
        pd.wait(driver, lambda d: d.execute_script(audio_state) == "running", 30)
        check(True, "the focusing click starts the sound")
    except Exception:
        check(False, "the focusing click starts the sound (%s)" % driver.execute_script(audio_state))

    # A focusing press whose release never reached the page (the focus went elsewhere while the
    # button was down) must not take the release of a later click: the game would see that
    # button held for good, and the right button held spawns a ball every frame.
    driver.execute_script("document.getElementById('canvas').blur()")
    x, y = pd.to_page(driver, 500, 200)
    driver.execute_script("""
        document.getElementById('canvas').dispatchEvent(new MouseEvent('mousedown',
            {bubbles: true, cancelable: true, clientX: arguments[0], clientY: arguments[1], button: 0}));""",
        x, y)
    pd.wait_frames(driver)
    actions = ActionBuilder(driver)
    actions.pointer_action.move_to_location(int(round(x)), int(round(y)))
    actions.pointer_action.pointer_down(MouseButton.RIGHT)
    actions.pointer_action.pointer_up(MouseButton.RIGHT)
    actions.perform()
    pd.wait_frames(driver, 5)
    after_click = pd.probe(driver, pd.Probe.Balls)
    pd.wait_frames(driver, 20)
    later = pd.probe(driver, pd.Probe.Balls)
    check(later == after_click,
          "a focusing press that lost its release leaves no button held (%d, then %d balls)"
          % (after_click, later))

    # F12 hands the picture to the browser as a download (a page has no pictures folder) and
    # says so on screen.
    downloads = os.path.join(out, "downloads")
    os.makedirs(downloads, exist_ok=True)
    for old in os.listdir(downloads):
        os.remove(os.path.join(downloads, old))
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": os.path.abspath(downloads)})
    press(driver, Keys.F12)
    saved = pd.wait(driver, lambda d: [f for f in os.listdir(downloads)
                                       if f.startswith("dazozi-redov-") and f.endswith(".png")], 60,
                    message="F12 downloaded no picture")
    picture = pd.wait(driver, lambda d: pd.load_png(os.path.join(downloads, saved[0])), 60,
                      message="the downloaded picture never became a whole PNG")
    # The wide window's picture without its bars: the game's proportions, sky at the top.
    rgb = picture.convert("RGB")
    band = [rgb.getpixel((x, y)) for x in range(0, picture.width, 8)
            for y in range(picture.height * 20 // 768, picture.height * 120 // 768, 8)]
    sky = tuple(sum(p[i] for p in band) // len(band) for i in range(3))
    check(abs(picture.width * 3 - picture.height * 4) <= 8 and sky[2] > sky[0] + 40,
          "F12 downloads the frame as %s (%d x %d, sky on average %s)"
          % (saved[0], picture.width, picture.height, sky))
    pd.screenshot(driver, os.path.join(out, "06-screenshot-notice.png"))

    # Escape ends the game; the page says so and offers to start again.
    press(driver, Keys.ESCAPE)
    pd.wait(driver, lambda d: d.execute_script("return window.dazoziStatus.ended"), 30,
            message="Escape did not end the game")
    shown = driver.execute_script("return !document.getElementById('ended').hidden")
    button = driver.execute_script("return document.getElementById('restart').textContent")
    check(shown and button == "Start again", "after Escape the page shows the end and '%s'" % button)
    ended_frames = pd.frames(driver)
    pd.screenshot(driver, os.path.join(out, "07-ended.png"))
    driver.find_element("id", "restart").click()
    pd.wait(driver, lambda d: d.execute_script(
        "return window.dazoziStatus && !window.dazoziStatus.ended && window.dazoziStatus.frames >= 3"),
        90, message="the game did not start again")
    check(pd.probe(driver, pd.Probe.Balls) == 0, "starting again gives a fresh level")
    check(ended_frames > 0, "frames stopped at the end (%d)" % ended_frames)

    severe = pd.severe_console_lines(driver)
    check(not severe, "no error in the browser console %s" % severe)


def run_scaled_down(server, out):
    driver = pd.start_browser(width=1100, height=900)
    try:
        driver.get(server.url)
        pd.wait(driver, lambda d: pd.frames(d) > 100, 60, message="the page ran no 100 frames")
        shot = pd.screenshot(driver, os.path.join(out, "10-scaled-down.png"))
        rect = pd.picture_rect(driver)
        check(rect[2] < 1.0, "the picture is scaled down (%.3f)" % rect[2])
        check_no_seams(shot, rect, "in a picture scaled down")
    finally:
        driver.quit()


def run_high_dpi(server, out):
    """A high-DPI screen, two device pixels to a CSS pixel: the canvas draws at device pixels
    (no blurry upscaling of a CSS-sized picture) and clicks still land under the pointer."""
    driver = pd.start_browser(width=1100, height=800, scale=2)
    try:
        driver.get(server.url)
        pd.wait(driver, lambda d: pd.frames(d) >= 3, 90, message="no frame was drawn at 2x")
        ratio, width, height, css_width, css_height = driver.execute_script(
            "const c = document.getElementById('canvas');"
            "return [devicePixelRatio, c.width, c.height, c.clientWidth, c.clientHeight]")
        check(ratio == 2 and width == 2 * css_width and height == 2 * css_height,
              "at 2x the canvas has two pixels to a CSS pixel (%s x %s for %s x %s, ratio %s)"
              % (width, height, css_width, css_height, ratio))
        shot = pd.screenshot(driver, os.path.join(out, "08-high-dpi.png"))
        left, top, scale = pd.picture_rect(driver)
        sky = shot.getpixel((int(2 * (left + 512 * scale)), int(2 * (top + 40 * scale))))
        check(sky[2] > sky[0] + 40, "at 2x the picture fills the device pixels (sky %s)" % (sky,))
        click_game(driver, 300, 300)  # gives the focus only
        pd.wait_frames(driver)
        press(driver, "1")
        pd.wait_frames(driver)
        check_click_makes_a_ball(driver, 600, 200, "at 2x")
    finally:
        driver.quit()


def run_huge_canvas(server, out):
    """A canvas larger than WebGL's drawing buffer (3 device pixels to a CSS pixel in a very
    large window): F12 saves what the drawing buffer holds, with no black strip where the
    canvas outgrows it, and the game's memory (which never shrinks) does not grow to the
    picture's size."""
    driver = pd.start_browser(width=3300, height=2100, scale=3)
    try:
        driver.get(server.url)
        pd.wait(driver, lambda d: pd.frames(d) >= 3, 180, message="no frame was drawn at 3x")
        canvas_w, canvas_h, buffer_w, buffer_h = driver.execute_script(
            "const c = document.getElementById('canvas');"
            "return [c.width, c.height, Module.ctx.drawingBufferWidth, Module.ctx.drawingBufferHeight]")
        check(canvas_w > 8192, "the canvas is larger than 8192 pixels (%d x %d, drawing buffer %d x %d)"
              % (canvas_w, canvas_h, buffer_w, buffer_h))
        heap = "return Module.HEAP8.length"
        before = driver.execute_script(heap)
        downloads = os.path.join(out, "huge-downloads")
        os.makedirs(downloads, exist_ok=True)
        for old in os.listdir(downloads):
            os.remove(os.path.join(downloads, old))
        driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                               {"behavior": "allow", "downloadPath": os.path.abspath(downloads)})
        click_game(driver, 300, 300)  # gives the focus only
        pd.wait_frames(driver)
        press(driver, Keys.F12)
        saved = pd.wait(driver, lambda d: [f for f in os.listdir(downloads) if f.endswith(".png")],
                        180, poll=0.2, message="F12 downloaded no picture at 3x")
        picture = pd.wait(driver, lambda d: pd.load_png(os.path.join(downloads, saved[0])), 60,
                          poll=0.2, message="the downloaded picture never became a whole PNG")
        grown = driver.execute_script(heap) - before
        check(grown < 64 << 20, "F12 grows the game's memory by %.1f MB (%d to %d)"
              % (grown / 1048576, before, before + grown))
        rgb = picture.convert("RGB")
        check(picture.width <= buffer_w and picture.height <= buffer_h,
              "the picture is at most the drawing buffer (%d x %d)" % (picture.width, picture.height))
        # The sky's band along the right edge, where the canvas outgrows the drawing buffer,
        # and along the left one, where the bar beside the picture ends.
        edge = [rgb.getpixel((x, y)) for dx in range(0, 64, 8)
                for x in (dx, picture.width - 1 - dx)
                for y in range(picture.height * 20 // 768, picture.height * 120 // 768, 16)]
        check(all(max(p) > 40 for p in edge), "no black strip at the picture's edges (%s)"
              % sorted(set(edge))[:4])
    finally:
        driver.quit()


def run_without_webgl(server):
    """A browser without WebGL: the page says why instead of showing a blank canvas."""
    driver = pd.start_browser(extra_args=("--disable-webgl", "--disable-3d-apis"))
    try:
        driver.get(server.url)
        text = pd.wait(driver, lambda d: d.execute_script(
            "const m = document.getElementById('message');"
            "return !m.hidden && document.getElementById('message-text').textContent"), 60,
            message="no message without WebGL")
        check("WebGL" in text, "without WebGL the page says so: %r" % text)
        check(pd.frames(driver) == 0, "without WebGL the game does not start")
    finally:
        driver.quit()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    folder, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    if not os.path.isfile(os.path.join(folder, "dazozi-redov.wasm")):
        print("FAIL  no web build in %s (./web.sh makes it)" % folder)
        return 1
    server = pd.PageServer(folder)
    server.folder = folder
    driver = None
    try:
        driver = pd.start_browser()
        run(driver, server, out)
        driver.quit()
        driver = None
        run_scaled_down(server, out)
        run_high_dpi(server, out)
        run_huge_canvas(server, out)
        run_without_webgl(server)
    except Exception:  # a wait that ran out or a browser that died: report, then fail
        traceback.print_exc()
        failures.append("the run stopped early")
        if driver:
            try:
                pd.screenshot(driver, os.path.join(out, "failure.png"))
                for line in driver.get_log("browser"):
                    print("console:", line["level"], line["message"])
            except Exception:
                pass
    finally:
        if driver:
            driver.quit()
        server.stop()
    print("%d failure(s); screenshots in %s" % (len(failures), out))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
