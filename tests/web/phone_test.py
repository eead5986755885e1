"""The page on a phone: headless Chromium emulating a 390 x 844 phone (device scale 3, touch),
played with touch events the way a finger would (Chrome DevTools Protocol), then turned to
844 x 390 and opened in a 1280 x 800 desktop window; then, a phone again, its ended, error and
lost-context panels are left with a tap. At both phone sizes, a fresh page is played by touch
alone: an example opened from the Scenes button, a cell painted by a finger and undone, the play
shared as a replay link, and the link opened to the same bodies. A fresh page at 844 x 390 has no
hairline across its picture. Screenshots of each go to OUTPUT_FOLDER.

Usage: phone_test.py PAGE_FOLDER OUTPUT_FOLDER
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagedriver as pd  # noqa: E402

check = pd.Checks()
failures = check.failures


def phone(driver, width, height):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})


def touch(driver, kind, points):
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
        "type": kind, "touchPoints": [{"x": x, "y": y, "id": i} for i, (x, y) in points]})


def tap(driver, x, y):
    touch(driver, "touchStart", [(0, (x, y))])
    touch(driver, "touchEnd", [])


def centre(driver, selector):
    return driver.execute_script(
        "const r = document.querySelector(arguments[0]).getBoundingClientRect();"
        "return [r.left + r.width / 2, r.top + r.height / 2];", selector)


def tap_button(driver, selector):
    tap(driver, *centre(driver, selector))
    pd.wait_frames(driver, 2)


def rect(driver, selector):
    return driver.execute_script(
        "const r = document.querySelector(arguments[0]).getBoundingClientRect();"
        "return [r.left, r.top, r.right, r.bottom];", selector)


def check_toolbar_sizes(driver, where):
    # Buttons out of view (the building tools outside edit mode) have no size to measure.
    sizes = driver.execute_script(
        "const c = document.getElementById('canvas').getBoundingClientRect();"
        "return [...document.querySelectorAll('#toolbar button:not([hidden])')].map(b => {"
        "  const r = b.getBoundingClientRect(), s = b.querySelector('span');"
        "  return [r.width, r.height, parseFloat(getComputedStyle(s).fontSize),"
        "          s.getBoundingClientRect().right <= r.right + 0.5,"
        "          r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight &&"
        "          (r.right <= c.left + 0.5 || r.bottom <= c.top + 0.5 || r.left >= c.right - 0.5 ||"
        "           r.top >= c.bottom - 0.5)];});")
    check(len(sizes) == 27 and all(w >= 44 and h >= 44 for w, h, _, _, _ in sizes),
          "%s every toolbar button is at least 44 CSS pixels (%s)" %
          (where, sorted({(round(w), round(h)) for w, h, _, _, _ in sizes})))
    check(all(shown for _, _, _, _, shown in sizes), "%s every button is inside the window, none over the picture" % where)
    check(all(f >= 12 and inside for _, _, f, inside, _ in sizes),
          "%s every label is at least 12 CSS pixels and fits its button" % where)
    pad = driver.execute_script("return [...document.querySelectorAll('#toolbar .pad')].map("
                                "b => [Math.round(b.getBoundingClientRect().left), Math.round(b.getBoundingClientRect().top)])")
    check(len({x for x, _ in pad}) == 1 or len({y for _, y in pad}) == 1,
          "%s the pad's four arrows stay on one line (%s)" % (where, pad))


def lose_context(driver):
    driver.execute_script("window.loseGl = Module.ctx.getExtension('WEBGL_lose_context');"
                          "window.loseGl.loseContext();")
    pd.wait(driver, lambda d: d.execute_script("return dazoziStatus.contextLost"), 30,
            message="the page did not hear of the lost context")
    pd.wait_frames(driver, 2)


def restore_context(driver):
    driver.execute_script("window.loseGl.restoreContext();")
    pd.wait(driver, lambda d: not d.execute_script("return dazoziStatus.contextLost"), 30,
            message="the context did not come back")
    pd.wait_frames(driver, 3)


def tap_reloads(driver, selector, where):
    """A tap on the panel's button (at least 44 CSS pixels, in the window) loads the page anew."""
    box = rect(driver, selector)
    driver.execute_script("window.sameLoad = true")
    tap(driver, (box[0] + box[2]) / 2, (box[1] + box[3]) / 2)
    pd.wait(driver, lambda d: d.execute_script(
        "return window.sameLoad === undefined && window.dazoziStatus && dazoziStatus.frames >= 3"),
        90, message="%s: the tap did not start the game again" % where)
    check(box[2] - box[0] >= 44 and box[3] - box[1] >= 44 and box[0] >= 0 and box[3] <= 844,
          "%s: a tap on its button starts the game again (%s)" % (where, box))


def panels_by_touch(driver):
    """The ended, error and lost panels on a phone: each says what happened in words for a
    finger as for a keyboard, and its button starts the game again."""
    phone(driver, 390, 844)
    pd.wait(driver, lambda d: d.execute_script("return innerWidth === 390"), 30,
            message="the page did not become a phone again")
    pd.wait_frames(driver, 2)
    driver.execute_script("Module._dazozi_key(27, 1); Module._dazozi_key(27, 0);")
    pd.wait(driver, lambda d: d.execute_script("return dazoziStatus.ended"), 30,
            message="Escape did not end the game")
    text = driver.execute_script("return document.getElementById('ended').innerText")
    check("Escape" not in text and "Start again" in text, "ended: no key to press in %r" % text)
    tap_reloads(driver, "#restart", "ended")

    driver.execute_script("window.dispatchEvent(new ErrorEvent('error', {message: 'a test'}))")
    text = pd.wait(driver, lambda d: d.execute_script(
        "return !document.getElementById('message').hidden && document.getElementById('message').innerText"),
        30, message="no error panel")
    check(text.startswith("Dazozi Redov stopped"), "a game that ran says it stopped (%r)" % text)
    tap_reloads(driver, "#reload", "error panel")

    # A lost context that never comes back: after a while the page says so and offers a reload.
    lose_context(driver)
    text = pd.wait(driver, lambda d: d.execute_script(
        "const t = document.getElementById('lost-text').textContent;"
        "return /did not give/.test(t) && !document.getElementById('lost').hidden && t"), 60,
        poll=0.2, message="the page never said that the picture did not come back")
    check(pd.probe(driver, pd.Probe.Paused) == 1, "the game stays paused meanwhile")
    tap_reloads(driver, "#lost-reload", "lost for good (%r)" % text)


SKY = (156, 206, 246)  # the background's sky, where a hairline of black shows most


def hairlines(driver, image):
    """Device rows of the picture where black (the cleared frame) shows between two rows of sky:
    a seam between pieces that meet. [(row, pixels)], rows of 8 pixels or more."""
    dpr = driver.execute_script("return devicePixelRatio")
    left, top, scale = pd.picture_rect(driver)
    x0, x1 = int(left * dpr) + 2, int((left + pd.GAME_W * scale) * dpr) - 2
    y0, y1 = int(top * dpr) + 2, int((top + pd.GAME_H * scale) * dpr) - 2
    width = image.size[0]
    data = image.tobytes()
    rows = []
    for y in range(y0, y1):
        line = data[(y * width + x0) * 3:(y * width + x1) * 3]
        if b"\0\0\0" not in line:
            continue
        count = 0
        for x in range(x0, x1):
            if (image.getpixel((x, y)) == (0, 0, 0) and image.getpixel((x, y - 1)) == SKY
                    and image.getpixel((x, y + 1)) == SKY):
                count += 1
        if count >= 8:
            rows.append((y, count))
    return rows


def no_seam(driver, server, out):
    """A phone in landscape at device scale 3 (844 x 390 CSS pixels) once drew a 1-device-pixel
    black line across the sky at device row 225, on every load: pieces of the level meeting a
    hair above a pixel's centre left that row to neither."""
    phone(driver, 844, 390)
    for load in range(2):
        driver.get("about:blank")
        driver.get(server.url)
        pd.wait_frames(driver, 3)
        image = pd.screenshot(driver, os.path.join(out, "seam-844x390-%d.png" % load))
        dpr = driver.execute_script("return devicePixelRatio")
        left, _, scale = pd.picture_rect(driver)
        row = [image.getpixel((x, 225)) for x in range(int(left * dpr) + 2,
                                                        int((left + pd.GAME_W * scale) * dpr) - 2)]
        check(dpr == 3 and row.count((0, 0, 0)) == 0,
              "landscape at scale 3, load %d: device row 225 has no black (%d pixels)" %
              (load + 1, row.count((0, 0, 0))))
        lines = hairlines(driver, image)
        check(not lines, "landscape at scale 3, load %d: no hairline across the picture (%s)" %
              (load + 1, lines[:5]))


def menu_line(driver, line):
    """The page point at the middle of the scene menu's line in its first column (the menu's
    sizes in game pixels: twelve examples share six rows in two columns of a 320-pixel panel)."""
    rows = 6
    panel_h = 2 * 14 + 30 + rows * 22 + 30
    y = (pd.GAME_H - panel_h) / 2 + 14 + 30 + line * 22 + 11
    column_w = (320 - 14) / 2
    return pd.to_page(driver, pd.GAME_W / 2 - column_w / 2, y)


def played_by_touch(driver, server, width, height, out):
    """A fresh page played by touch alone at width x height: the scene menu from the Scenes
    button, an example opened with a tap, a cell painted by one finger in edit mode and undone,
    then the play shared as a replay link that replays to the same bodies."""
    where = "%dx%d:" % (width, height)
    phone(driver, width, height)
    driver.get("about:blank")
    driver.get(server.url)
    pd.wait_frames(driver, 3)
    driver.execute_script("localStorage.clear()")
    balls = pd.probe(driver, pd.Probe.Balls)

    tap_button(driver, "[data-action='scenes']")
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.SceneMenu) == 1, 30,
            message="%s the Scenes button opened no menu" % where)
    tap(driver, *menu_line(driver, 3))  # the ball pit
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.SceneMenu) == 0, 30,
            message="%s a tap on the menu did not close it" % where)
    pd.wait_frames(driver, 2)
    pit = pd.probe(driver, pd.Probe.Balls)
    check(pit >= balls + 10, "%s a tap on the menu opens the ball pit (%d balls)" % (where, pit))

    tap_button(driver, "[data-action='edit']")
    check(pd.probe(driver, pd.Probe.Edit) == 1, "%s the Edit button turns edit mode on" % where)
    shapes = pd.probe(driver, pd.Probe.StaticShapes)
    # Below the palette, which lays itself out finger-sized across the picture's top.
    start = pd.to_page(driver, 130, 420)
    touch(driver, "touchStart", [(0, start)])
    pd.wait_frames(driver, 1)
    for step in range(1, 6):
        touch(driver, "touchMove", [(0, pd.to_page(driver, 130 + 24 * step, 420))])
        pd.wait_frames(driver, 1)
    touch(driver, "touchEnd", [])
    pd.wait_frames(driver, 2)
    painted = pd.probe(driver, pd.Probe.StaticShapes)
    check(painted > shapes, "%s one finger paints cells in edit mode (%d to %d static shapes)" %
          (where, shapes, painted))
    pd.screenshot(driver, os.path.join(out, "touch-painted-%dx%d.png" % (width, height)))
    tap_button(driver, "[data-action='undo']")
    check(pd.probe(driver, pd.Probe.StaticShapes) == shapes,
          "%s the Undo button takes the stroke back (%d)" % (where, pd.probe(driver, pd.Probe.StaticShapes)))
    tap_button(driver, "[data-action='edit']")

    # Share, then its notice's Share replay: the link of the play so far. The bodies' hash of
    # this moment is taken before the next frame.
    tap_button(driver, "[data-action='share']")
    offer = pd.wait(driver, lambda d: d.execute_script(
        "const b = document.getElementById('notice-download');"
        "return !b.hidden && b.textContent === 'Share replay'"), 30,
        message="%s Share offered no replay link" % where)
    check(offer, "%s Share offers Share replay" % where)
    # The button pressed and the hash asked for in one turn of the page: no frame runs between
    # the link's last frame and the hash (a tap's events arrive a frame or more later).
    link = driver.execute_script(
        "dazoziStatus.replayLink = null; document.getElementById('notice-download').click();"
        "Module._dazozi_hash_after(0); return dazoziStatus.replayLink")
    check(bool(link), "%s Share replay made a link" % where)
    live = pd.wait(driver, lambda d: d.execute_script(
        "return Module._dazozi_hash(1) ? Module.dazoziOutbox : null"), 30,
        message="%s no hash was taken" % where)
    said = pd.wait(driver, lambda d: d.execute_script("return dazoziStatus.notice"), 30)
    check(link.startswith(server.url + "#replay=") and len(link) <= 65536,
          "%s the replay link (%d characters): %r" % (where, len(link), said))
    pd.screenshot(driver, os.path.join(out, "touch-shared-%dx%d.png" % (width, height)))

    driver.get("about:blank")
    driver.get(link)
    pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="%s the replay link drew nothing" % where)
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.Replaying) == 0, 120,
            message="%s the replay did not hand over" % where)
    replayed = driver.execute_script("return Module._dazozi_hash(0) ? Module.dazoziOutbox : null")
    check(replayed == live, "%s the link replays to the same bodies (%s, %s)" % (where, replayed, live))
    check(pd.probe(driver, pd.Probe.Balls) == pit or pd.probe(driver, pd.Probe.Balls) > balls,
          "%s the replay opened the ball pit too" % where)


def too_long(driver, server, out):
    """Play whose link would pass 64 KB: Share replay says so with the limit and offers the
    recording as a file. The play is a recording of 20,000 pointer moves, opened with Open."""
    phone(driver, 390, 844)
    driver.get("about:blank")
    driver.get(server.url)
    pd.wait_frames(driver, 3)
    seed = 7
    lines = []
    for i in range(20000):
        seed = (seed * 1103515245 + 12345) % 2 ** 31
        lines.append("frame %d: mouse %d %d" % (i // 2000, seed % 1024, (seed >> 10) % 768))
    path = os.path.abspath(os.path.join(out, "busy-recording.txt"))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\nframes 12\n")
    driver.find_element("id", "open-file").send_keys(path)
    pd.wait(driver, lambda d: d.execute_script(
        "return window.dazoziStatus && dazoziStatus.frames >= 20 && "
        "Module._dazozi_probe(%d, 0) === 0" % pd.Probe.Replaying), 120,
        message="the busy recording did not play and hand over")
    driver.execute_script("localStorage.clear()")
    tap_button(driver, "[data-action='share']")
    pd.wait(driver, lambda d: d.execute_script(
        "return document.getElementById('notice-download').textContent === 'Share replay'"), 30,
        message="Share offered no replay link")
    tap(driver, *centre(driver, "#notice-download"))
    said = pd.wait(driver, lambda d: d.execute_script(
        "const n = dazoziStatus.notice; return n && n.includes('64 KB') && n"), 30,
        message="a replay too long for a link was not refused")
    offer = driver.execute_script("return document.getElementById('notice-download').textContent")
    check(said.startswith("This replay makes a link of ") and
          said.endswith("KB, more than a link carries (64 KB): download it as a file to share it.")
          and offer == "Download the recording",
          "a replay past 64 KB of link says so in one line and offers a file (%r, %r)" % (said, offer))
    pd.screenshot(driver, os.path.join(out, "replay-too-long.png"))


def star(driver, i):
    return pd.probe(driver, pd.Probe.StarX, i), pd.probe(driver, pd.Probe.StarY, i)


def run(driver, server, out):
    no_seam(driver, server, out)
    played_by_touch(driver, server, 390, 844, out)
    played_by_touch(driver, server, 844, 390, out)
    too_long(driver, server, out)
    phone(driver, 390, 844)
    driver.get("about:blank")
    driver.get(server.url)
    pd.wait_frames(driver, 3)
    # The replay's page kept what it made as unsaved work, which this start offers: closed.
    driver.execute_script("localStorage.clear()")
    if driver.execute_script("return !document.getElementById('notice').hidden"):
        tap_button(driver, "#notice-close")
    driver.execute_script("window.sameLoad = true")

    # Nothing of the page moves under a finger: no zoom, no scroll, no pull-to-refresh.
    meta = driver.execute_script("return document.querySelector('meta[name=viewport]').content")
    check("user-scalable=no" in meta, "the page cannot be zoomed (%s)" % meta)
    styles = driver.execute_script(
        "const b = getComputedStyle(document.body), c = getComputedStyle(document.getElementById('canvas'));"
        "return [b.touchAction, b.overscrollBehaviorY, c.touchAction];")
    check(styles == ["none", "none", "none"], "no gestures of the page over it (%s)" % styles)

    # Portrait: the toolbar below the picture, never over it.
    canvas, bar = rect(driver, "#canvas"), rect(driver, "#toolbar")
    check(canvas[1] < 0.5 and bar[1] >= canvas[3] - 0.5 and bar[3] <= 844.5,
          "portrait: the picture at the top, the toolbar below it (%s, %s)" % (canvas, bar))
    check_toolbar_sizes(driver, "portrait:")

    # The toolbar selects stars, and a tap makes one under the finger.
    tap_button(driver, "[data-kind='3']")
    check(pd.probe(driver, pd.Probe.Kind) == 3, "the toolbar selects kind 3")
    check(driver.execute_script(
        "return document.querySelector('[data-kind=\"3\"]').getAttribute('aria-pressed')") == "true",
        "the star's button is marked")
    scroll = pd.probe(driver, pd.Probe.ScrollX)
    gx, gy = 600, 150
    tap(driver, *pd.to_page(driver, gx, gy))
    pd.wait_frames(driver, 1)
    count = pd.probe(driver, pd.Probe.Stars)
    x, y = star(driver, 0)
    check(count == 1 and abs(x - scroll - gx) < 30 and gy - 5 <= y <= gy + 60,
          "a tap makes one star under the finger (%d at %.0f, %.0f)" % (count, x - scroll, y))

    # Pause holds the star where it is; a step moves it once.
    tap_button(driver, "[data-action='pause']")
    check(pd.probe(driver, pd.Probe.Paused) == 1, "pause pauses")
    held = star(driver, 0)
    pd.wait_frames(driver, 5)
    check(star(driver, 0) == held, "nothing moves while paused")
    tap_button(driver, "[data-action='step']")
    stepped = star(driver, 0)
    check(stepped != held, "a step moves it (%s to %s)" % (held, stepped))
    pd.wait_frames(driver, 3)
    check(star(driver, 0) == stepped, "one step only")
    tap_button(driver, "[data-action='pause']")
    check(pd.probe(driver, pd.Probe.Paused) == 0, "pause again goes on")
    pd.screenshot(driver, os.path.join(out, "phone-390x844.png"))

    # The pad steers the squid while a finger stays on it.
    before = pd.probe(driver, pd.Probe.PlayerX)
    touch(driver, "touchStart", [(0, centre(driver, "[data-hold='39']"))])
    pd.wait_frames(driver, 20)
    check(pd.probe(driver, pd.Probe.KeyDown, 39) == 1, "a finger on the pad holds the arrow")
    touch(driver, "touchEnd", [])
    pd.wait_frames(driver, 2)
    check(pd.probe(driver, pd.Probe.KeyDown, 39) == 0, "lifting it lets the arrow go")
    check(pd.probe(driver, pd.Probe.PlayerX) > before + 20, "the pad moves the squid right (%.0f to %.0f)" %
          (before, pd.probe(driver, pd.Probe.PlayerX)))

    # Debug view and help, marked on their buttons.
    tap_button(driver, "[data-action='debug']")
    tap_button(driver, "[data-action='help']")
    check(pd.probe(driver, pd.Probe.Debug) == 1 and pd.probe(driver, pd.Probe.Help) == 1, "debug view and help shown")
    marked = driver.execute_script(
        "return [...document.querySelectorAll('#toolbar [aria-pressed=true]')].map(b => b.title)")
    check(len(marked) == 3, "the kind, debug and help buttons are marked (%s)" % marked)
    tap_button(driver, "[data-action='help']")
    tap_button(driver, "[data-action='debug']")
    # The settings panel, opened and closed from its button (G), marked while open.
    tap_button(driver, "[data-action='settings']")
    check(pd.probe(driver, pd.Probe.Settings) == 1, "the settings button opens the panel")
    check(driver.execute_script(
        "return document.querySelector('[data-action=settings]').getAttribute('aria-pressed')")
          == "true", "the settings button is marked while the panel is open")
    tap_button(driver, "[data-action='settings']")
    check(pd.probe(driver, pd.Probe.Settings) == 0, "the settings button closes the panel")

    # The editor's button: edit mode on, marked, and off again.
    tap_button(driver, "[data-action='edit']")
    on = pd.probe(driver, pd.Probe.Edit), driver.execute_script(
        "return document.querySelector('[data-action=\"edit\"]').getAttribute('aria-pressed')")
    tap_button(driver, "[data-action='edit']")
    check(on == (1, "true") and pd.probe(driver, pd.Probe.Edit) == 0,
          "the edit button turns edit mode on, marked, and off (%s)" % (on,))

    # Two fingers grab two stars and carry them apart, each on its own joint. The stars are
    # made while paused so that they are still where the fingers land.
    tap_button(driver, "[data-action='reset']")
    tap_button(driver, "[data-action='pause']")
    a, b = (420, 120), (620, 120)
    for point in (a, b):
        tap(driver, *pd.to_page(driver, *point))
        pd.wait_frames(driver, 1)
    check(pd.probe(driver, pd.Probe.Stars) == 2, "two stars made while paused")
    start = [star(driver, i) for i in range(2)]
    touch(driver, "touchStart", [(1, pd.to_page(driver, *a)), (2, pd.to_page(driver, *b))])
    pd.wait_frames(driver, 2)
    driver.execute_script("Module._dazozi_key(80, 1); Module._dazozi_key(80, 0);")  # go on
    for step in range(1, 9):
        touch(driver, "touchMove", [(1, pd.to_page(driver, a[0] - 15 * step, a[1])),
                                    (2, pd.to_page(driver, b[0] + 15 * step, b[1]))])
        pd.wait_frames(driver, 2)
    held = [star(driver, i) for i in range(2)]
    touch(driver, "touchEnd", [])
    pd.wait_frames(driver, 2)
    check(pd.probe(driver, pd.Probe.Stars) == 2 and held[1][0] - held[0][0] > start[1][0] - start[0][0] + 150,
          "two fingers carry two stars apart (%s to %s)" % (start, held))
    check(abs(held[0][1] - a[1]) < 40 and abs(held[1][1] - b[1]) < 40,
          "the stars stay under the fingers, not fallen (%s)" % held)

    # Two fingers on empty space pinch: spread apart they zoom in around their midpoint and the
    # view stays where they left it; Follow follows the squid again, Zoom out steps back.
    tap_button(driver, "[data-action='reset']")
    check(pd.probe(driver, pd.Probe.ZoomStep) == 0, "zoom 1 at the start")
    a, b = (250, 100), (350, 100)
    touch(driver, "touchStart", [(4, pd.to_page(driver, *a)), (5, pd.to_page(driver, *b))])
    pd.wait_frames(driver, 2)
    for step in range(1, 6):
        touch(driver, "touchMove", [(4, pd.to_page(driver, a[0] - 10 * step, a[1])),
                                    (5, pd.to_page(driver, b[0] + 10 * step, b[1]))])
        pd.wait_frames(driver, 2)
    zoomed = pd.probe(driver, pd.Probe.ZoomStep)
    touch(driver, "touchEnd", [])
    pd.wait_frames(driver, 2)
    check(zoomed == 4 and pd.probe(driver, pd.Probe.Following) == 0,
          "two fingers spread to twice their distance zoom in an octave, the view free (%d)" % zoomed)
    tap_button(driver, "[data-action='follow']")
    check(pd.probe(driver, pd.Probe.Following) == 1, "the Follow button follows the squid again")
    for _ in range(4):
        tap_button(driver, "[data-action='zoom-out']")
    check(pd.probe(driver, pd.Probe.ZoomStep) == 0, "four taps on Zoom out come back to zoom 1")
    tap_button(driver, "[data-action='reset']")

    # A finger resting on empty space streams balls, as the held right button does.
    tap_button(driver, "[data-kind='1']")
    balls = pd.probe(driver, pd.Probe.Balls)
    touch(driver, "touchStart", [(3, pd.to_page(driver, 300, 100))])
    pd.wait_frames(driver, 30)
    touch(driver, "touchEnd", [])
    pd.wait_frames(driver, 2)
    check(pd.probe(driver, pd.Probe.Balls) >= balls + 10, "a held finger streams balls (%d)" % pd.probe(driver, pd.Probe.Balls))

    # Start over: the stars are gone.
    tap_button(driver, "[data-action='reset']")
    check(pd.probe(driver, pd.Probe.Stars) == 0 and pd.probe(driver, pd.Probe.Balls) == 0, "start over clears the bodies")
    tap_button(driver, "[data-kind='3']")

    # Turned to landscape without a reload: the toolbar moves beside the picture and the game's
    # canvas follows its new size.
    phone(driver, 844, 390)
    pd.wait(driver, lambda d: d.execute_script(
        "const c = document.getElementById('canvas');"
        "return c.width === Math.round(c.clientWidth * devicePixelRatio) && c.clientWidth > c.clientHeight"),
        30, message="the canvas did not follow the turn")
    pd.wait_frames(driver, 3)
    check(driver.execute_script("return window.sameLoad === true"), "turning does not reload the page")
    canvas, bar = rect(driver, "#canvas"), rect(driver, "#toolbar")
    check(bar[2] <= canvas[0] + 0.5, "landscape: the toolbar is beside the picture (%s, %s)" % (canvas, bar))
    check_toolbar_sizes(driver, "landscape:")
    tap(driver, *pd.to_page(driver, 500, 150))
    pd.wait_frames(driver, 1)
    check(pd.probe(driver, pd.Probe.Stars) == 1, "landscape: a tap still makes a star")
    pd.screenshot(driver, os.path.join(out, "phone-844x390.png"))

    # A desktop window: the same toolbar at its side.
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
    pd.wait(driver, lambda d: d.execute_script(
        "const c = document.getElementById('canvas');"
        "return c.width === Math.round(c.clientWidth * devicePixelRatio) && innerHeight === 800"),
        30, message="the canvas did not follow the desktop window")
    pd.wait_frames(driver, 3)
    check_toolbar_sizes(driver, "desktop:")
    pd.screenshot(driver, os.path.join(out, "desktop-1280x800.png"))
    # The WebGL context lost and given back: paused meanwhile with the page saying so, then the
    # same scene goes on, every picture made again.
    bodies = pd.probe(driver, pd.Probe.Stars), pd.probe(driver, pd.Probe.Balls)
    lose_context(driver)
    check(pd.probe(driver, pd.Probe.Paused) == 1 and driver.execute_script(
        "return !document.getElementById('lost').hidden"), "a lost context pauses and says so")
    restore_context(driver)
    check(pd.probe(driver, pd.Probe.Paused) == 0 and driver.execute_script(
        "return document.getElementById('lost').hidden"), "given back, the game goes on")
    check((pd.probe(driver, pd.Probe.Stars), pd.probe(driver, pd.Probe.Balls)) == bodies, "the same bodies are there")
    # Paused, so that the two pictures show the same moment.
    tap_button(driver, "[data-action='pause']")
    pd.wait_frames(driver, 2)
    before = pd.screenshot(driver)
    # What moves while paused is left out: the top row, where the frame rate's digits may change
    # while the context is away, and points that did not stay still over a few frames before the
    # loss (animated tiles).
    pd.wait_frames(driver, 3)
    still = pd.screenshot(driver)
    lose_context(driver)
    restore_context(driver)
    pd.wait_frames(driver, 3)
    after = pd.screenshot(driver, os.path.join(out, "desktop-after-context-loss.png"))
    left, top, scale = pd.picture_rect(driver)
    points = [(int(left + gx * scale), int(top + gy * scale))
              for gx in range(16, 1024, 64) for gy in range(80, 768, 64)]
    close = lambda a, b: all(abs(x - y) <= 8 for x, y in zip(a, b))
    points = [p for p in points if close(before.getpixel(p), still.getpixel(p))]
    differ = [(p, before.getpixel(p), after.getpixel(p)) for p in points
              if not close(before.getpixel(p), after.getpixel(p))]
    drawn = sum(max(before.getpixel(p)) > 40 for p in points)
    # A picture not made again after the loss leaves most points black or wrong. One or two
    # points have been seen to differ, now and then, on a loaded machine (where, is printed):
    # they are not what this guards.
    check(len(points) > 120 and drawn > len(points) * 0.9 and len(differ) <= 2,
          "the picture is drawn again as it was (%d of %d points drawn, %d differ after: %s)" %
          (drawn, len(points), len(differ), differ[:4]))
    tap_button(driver, "[data-action='pause']")
    check(not pd.severe_console_lines(driver), "no errors in the console")
    panels_by_touch(driver)


def main():
    page, out = sys.argv[1], sys.argv[2]
    return pd.run_in_browser(page, out, failures, lambda driver, server: run(driver, server, out))


if __name__ == "__main__":
    sys.exit(main())
