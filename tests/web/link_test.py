"""Scenes and recordings in the page: links in the address (#scene=, #replay=), Share (S),
Ctrl+S, and files dropped on the game. Plays the web build in headless Chromium.

Usage: link_test.py PAGE_FOLDER RECORDING EXPECTED SCENARIO OUTPUT_FOLDER
  RECORDING and EXPECTED: a desktop recording and the desktop's committed state after it
  (tests/replay/cross_build.txt and .expected): the page reaches the same body hash.
  SCENARIO: the desktop's headless runner, which saves the scene at the recording's end and
  moves it on: the page opens that scene and moves it to the same hash.
"""

import base64
import json
import os
import random
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagedriver as pd  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

check = pd.Checks()
failures = check.failures


def link_payload(text):
    """The fragment's payload as another encoder makes it: zlib, base64url without padding."""
    return base64.urlsafe_b64encode(zlib.compress(text.encode())).decode().rstrip("=")


def open_page(driver, server, fragment=""):
    # A new document each time: about:blank between, or a changed fragment alone would not load.
    driver.get("about:blank")
    driver.get(server.url + fragment)
    pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="no frame was drawn")


def game_call(driver, call):
    """Module._dazozi_<call> and what it left in Module.dazoziOutbox."""
    return driver.execute_script(
        "if (!window.Module || !Module._dazozi_hash || !window.dazoziStatus.frames) return [0, null];"
        "const r = Module._dazozi_" + call + "; return [r, Module.dazoziOutbox];")


def notice(driver):
    return driver.execute_script(
        "return document.getElementById('notice').hidden ? null : window.dazoziStatus.notice")


def drop_file(driver, name, text):
    """Drops a file on the game as a user dragging it from their files would."""
    driver.execute_script("""
        const data = new DataTransfer();
        data.items.add(new File([arguments[1]], arguments[0]));
        document.getElementById('canvas').dispatchEvent(
            new DragEvent('drop', {bubbles: true, cancelable: true, dataTransfer: data}));""",
                          name, text)


def expected_hash(path):
    with open(path) as f:
        return dict(line.split(" ", 1) for line in f.read().splitlines())["hash"]


def desktop(scenario, *args):
    """The headless runner's "name value" lines as a dict."""
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    lines = subprocess.run([scenario, *args], env=env, check=True, capture_output=True,
                           text=True).stdout.splitlines()
    return dict(line.split(" ", 1) for line in lines)


def replay_links(driver, server, out):
    """Links a stranger made: none traps the page."""
    # A recording that presses Escape at once does not end the game as it loads: a replay's
    # Escape hands over. The user's own Escape then ends it, and Start again starts a fresh game
    # without the link, rather than playing it again.
    escape_link = "#replay=" + link_payload("frames 9\nframe 1: key 27 tap\n")
    driver.get("about:blank")
    driver.get(server.url + escape_link)
    pd.wait(driver, lambda d: d.execute_script(
        "return window.dazoziStatus && window.dazoziStatus.frames >= 30")
        and pd.probe(d, 17) == 0, 120, message="the Escape link's replay did not hand over")
    check(len(escape_link) < 60 and not driver.execute_script("return window.dazoziStatus.ended"),
          "an Escape link of %d characters hands over instead of ending the game" % len(escape_link))
    # A fresh page has not given the game the keyboard yet: a click on it does (nothing is
    # selected, so it drops nothing).
    driver.find_element("css selector", "canvas").click()
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    pd.wait(driver, lambda d: d.execute_script("return window.dazoziStatus.ended"), 120,
            message="the user's Escape did not end the game")
    driver.find_element("css selector", "#restart").click()
    pd.wait(driver, lambda d: d.execute_script(
        "return window.dazoziStatus && !window.dazoziStatus.ended && window.dazoziStatus.frames >= 3"),
        120, message="Start again did not start a game that runs")
    check(not driver.execute_script("return location.hash") and pd.probe(driver, 17) == 0,
          "Start again starts without the link")

    # A recording claiming 10^9 frames: it holds the keys, clicks and toolbar while it plays, a
    # visible Take over button and Escape end it, and the game goes on as the user's.
    open_page(driver, server, "#replay=" + link_payload("frames 1000000000\n"))
    check(pd.probe(driver, 17) == 1, "a #replay= link of 10^9 frames plays")
    button = driver.find_element("css selector", "#take-over")
    pd.wait(driver, lambda d: button.is_displayed(), 30, message="no Take over button showed")
    driver.find_element("css selector", "[data-kind='3']").click()
    pd.wait_frames(driver, 3)
    check(pd.probe(driver, 8) == 0, "while it plays, the toolbar is ignored like the keys")
    canvas = driver.find_element("css selector", "#canvas")
    driver.execute_script("arguments[0].focus()", canvas)
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    pd.wait(driver, lambda d: pd.probe(d, 17) == 0, 30, message="Escape did not end the replay")
    pd.wait_frames(driver, 3)
    check(not driver.execute_script("return window.dazoziStatus.ended") and not button.is_displayed(),
          "Escape ends the replay, not the game, and the button goes")
    driver.find_element("css selector", "[data-kind='3']").click()
    pd.wait(driver, lambda d: pd.probe(d, 8) == 3, 30, message="the toolbar stayed ignored")
    check(True, "after Escape the toolbar is the user's again")

    open_page(driver, server, "#replay=" + link_payload("frames 1000000000\n"))
    button = driver.find_element("css selector", "#take-over")  # the new page's
    pd.wait(driver, lambda d: button.is_displayed(), 30, message="no Take over button showed")
    button.click()
    pd.wait(driver, lambda d: pd.probe(d, 17) == 0, 30, message="Take over did not end the replay")
    check(not driver.execute_script("return window.dazoziStatus.ended"), "Take over ends the replay")

    # Left alone, it plays no longer than what it holds (its last event) and a short tail.
    open_page(driver, server, "#replay=" + link_payload("frames 1000000000\nframe 0: key 50 tap\n"))
    start = pd.frames(driver)
    pd.wait(driver, lambda d: pd.probe(d, 17) == 0, 120, message="the 10^9 frames played on")
    played = pd.frames(driver) - start
    check(played <= 200 and pd.probe(driver, 8) == 2,
          "a link's recording ends after what it holds (%d frames more)" % played)


def run(driver, server, recording, expected, scenario, out):
    with open(recording) as f:
        recording_text = f.read()

    # A scene the desktop saved, everything moving, opened in the page by a link: the page holds
    # it byte for byte (paused, so that it stays as it came), and, set going, moves it as the
    # desktop does. (Both open it as they start: the physics numbers what it holds in the order
    # it was added, and that order decides the contacts' order, hence the last bits.)
    moving_path = os.path.join(out, "moving.json")
    desktop(scenario, recording, "--save-scene", moving_path)
    with open(moving_path) as f:
        paused = f.read().replace('"paused": false', '"paused": true', 1)
    paused_path = os.path.join(out, "paused.json")
    with open(paused_path, "w") as f:
        f.write(paused)
    check('"paused": true' in paused, "the desktop's scene names its pause")
    open_page(driver, server, "#scene=" + link_payload(paused))
    check(game_call(driver, "save()")[1] == paused, "a #scene= link opens its scene, byte for byte")
    check(notice(driver) is None, "a good link shows no notice (%r)" % notice(driver))
    frames = 120
    later = desktop(scenario, "--scene", paused_path, "--event", "0: key 80 tap",
                    "--frames", str(frames))["hash"]
    driver.execute_script(  # P, and the hash once as many frames have run, between two frames
        "Module._dazozi_key(80, 1); Module._dazozi_key(80, 0);"
        "Module._dazozi_hash_after(arguments[0]);", frames)
    pd.wait(driver, lambda d: game_call(d, "hash(1)")[0] == 1, 120, poll=0.1,
            message="the hash %d frames on never came" % frames)
    check(game_call(driver, "hash(1)")[1] == later,
          "P and %d frames later, the scene's bodies are where the desktop's are (%s)"
          % (frames, later))

    # A desktop recording in a link plays in the page to the desktop's hash, then hands over.
    open_page(driver, server, "#replay=" + link_payload(recording_text))
    check(pd.probe(driver, pd.Probe.Replaying) == 1, "a #replay= link plays its recording")
    pd.wait(driver, lambda d: game_call(d, "hash(0)")[0] == 1, 300, poll=0.2,
            message="the recording never handed over")
    page_hash = game_call(driver, "hash(0)")[1]
    check(page_hash == expected_hash(expected),
          "the #replay= link reaches the desktop's hash (%s)" % page_hash)
    check(pd.probe(driver, pd.Probe.Replaying) == 0, "after the recording the game is the user's again")
    balls = pd.probe(driver, pd.Probe.Balls)
    pd.click_game(driver, 300, 300)  # gives the focus only
    ActionChains(driver).send_keys("1").perform()
    pd.wait_frames(driver)
    pd.click_game(driver, 500, 150)
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.Balls) > balls, 60, message="the user's click made no ball")
    check(True, "after the recording a click of the user's makes a ball")
    pd.screenshot(driver, os.path.join(out, "01-after-replay.png"))

    # Share (S) puts the scene into the address, without a reload or a request.
    requests = len(server.requested)
    ActionChains(driver).send_keys("p").perform()  # paused: the scene stays as shared
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.Paused) == 1, 30, message="P did not pause")
    frames_before = pd.frames(driver)
    ActionChains(driver).send_keys("s").perform()
    shared = pd.wait(driver, lambda d: d.execute_script(
        "return location.hash.startsWith('#scene=') && location.href"), 30,
        message="S put no #scene= link in the address")
    shown = pd.wait(driver, notice, 30, message="Share said nothing")
    pd.wait_frames(driver, 2)  # a reload would have started the count again
    check(pd.frames(driver) >= frames_before + 2 and len(server.requested) == requests,
          "Share neither reloads nor asks the server for anything")
    field = driver.execute_script("return document.getElementById('notice-link').value")
    check(shown.startswith("Link copied") or field == shared,
          "Share copies the link or shows it in a field (%r)" % shown)
    check(len(shared) <= 65536, "the link fits in 64 KB (%d bytes)" % len(shared))
    scene = game_call(driver, "save()")
    check(scene[0] == 1 and scene[1].startswith("{"), "the page's scene is a scene file's text")
    pd.screenshot(driver, os.path.join(out, "02-shared.png"))

    # Ctrl+S downloads the same scene; the browser does not save the page.
    downloads = os.path.abspath(os.path.join(out, "downloads"))
    os.makedirs(downloads, exist_ok=True)
    for old in os.listdir(downloads):
        os.remove(os.path.join(downloads, old))
    driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                           {"behavior": "allow", "downloadPath": downloads})
    ActionChains(driver).key_down(Keys.CONTROL).send_keys("s").key_up(Keys.CONTROL).perform()
    files = pd.wait(driver, lambda d: [f for f in os.listdir(downloads) if f.endswith(".json")],
                    60, message="Ctrl+S downloaded nothing")

    def whole(d):
        with open(os.path.join(downloads, files[0])) as f:
            text = f.read()
        return text if text == scene[1] else None
    pd.wait(driver, whole, 60, message="Ctrl+S's download is not the scene")
    check(files[0].startswith("dazozi-redov-scene-"), "Ctrl+S downloads the scene as %s" % files[0])
    kept_from_browser = driver.execute_script("""
        const init = {key: 's', code: 'KeyS', keyCode: 83, ctrlKey: true, bubbles: true, cancelable: true};
        const event = new KeyboardEvent('keydown', init);
        document.getElementById('canvas').dispatchEvent(event);
        document.getElementById('canvas').dispatchEvent(new KeyboardEvent('keyup', init));
        return event.defaultPrevented;""")
    check(kept_from_browser, "Ctrl+S is kept from the browser, which would save the page")

    # A scene whose link would pass 64 KB (1,500 balls in motion) is offered as a file instead.
    # The balls are strewn over the level's open cells (one inside a solid cell is refused).
    fresh_path = os.path.join(out, "fresh.json")
    desktop(scenario, "--frames", "1", "--save-scene", fresh_path)
    with open(fresh_path) as f:
        fresh = f.read()
    edges = json.loads(fresh)["foreground_edges"]
    rng = random.Random(21)
    strewn = []
    while len(strewn) < 1500:
        x, y = rng.uniform(100, 2000), rng.uniform(50, 700)
        if edges[int(y) // 24][int(x) // 24] == 0:
            strewn.append((x, y))
    balls = "".join('  {"kind": "ball", "state": [%r, %r, %r, %r, %r, %r]},\n' % (
        x, y, rng.uniform(-3, 3), rng.uniform(-50, 50), rng.uniform(-50, 50), rng.uniform(-3, 3))
        for x, y in strewn)
    crowded = fresh.replace('"bodies": [\n', '"bodies": [\n' + balls, 1).replace(
        '"paused": false', '"paused": true', 1)  # all 1,500 stay in the level
    check(driver.execute_script(
        "Module.dazoziOpenText = arguments[0]; Module.dazoziOpenName = 'crowded.json';"
        "return Module._dazozi_open();", crowded) == 1, "the page opens a scene of 1,500 balls more")
    address = driver.execute_script("return location.href")
    driver.find_element("css selector", "[data-action='share']").click()
    text = pd.wait(driver, lambda d: "64 KB" in (notice(d) or "") and notice(d), 30,
                   message="a scene too large for a link was not offered as a file")
    offered = driver.execute_script("return !document.getElementById('notice-download').hidden")
    check(offered and driver.execute_script("return location.href") == address,
          "a scene past 64 KB of link is offered as a download, the address unchanged (%r)" % text)

    # The shared link opens the same scene in a new page.
    driver.get("about:blank")
    driver.get(shared)
    pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="the shared link drew no frame")
    reopened = game_call(driver, "save()")[1]
    check(reopened == scene[1], "the shared link reopens the same scene, byte for byte")

    # Bad links and files: a notice naming what is wrong, and the scene stays.
    before = game_call(driver, "save()")[1]
    driver.execute_script("location.hash = '#scene=eJz%25%25'")
    text = pd.wait(driver, notice, 30, message="a bad link pasted into the address said nothing")
    check("'%'" in text, "a link with a stray character says which (%r)" % text)
    drop_file(driver, "broken.json", '{"format": ')
    pd.wait(driver, lambda d: (notice(d) or "").startswith("broken.json"), 30,
            message="a broken scene file said nothing")
    drop_file(driver, "notes.txt", "frame 3: jump\n")
    pd.wait(driver, lambda d: (notice(d) or "").startswith("notes.txt:1"), 30,
            message="a broken recording said nothing")
    check(game_call(driver, "save()")[1] == before, "after refusals the scene is as it was")
    pd.screenshot(driver, os.path.join(out, "03-refused.png"))
    open_page(driver, server, "#scene=" + link_payload(paused.replace('"ball"', '"blob"', 1)))
    text = pd.wait(driver, notice, 30, message="a hostile #scene= link said nothing")
    check(text == 'The #scene link: bodies[0].kind: unknown kind "blob"' and pd.probe(driver, pd.Probe.Balls) == 0,
          "a scene link with an unknown kind is refused where it is wrong (%r)" % text)
    open_page(driver, server, "#replay=" + link_payload("frames 5\nframe 1: fly\n"))
    text = pd.wait(driver, notice, 30, message="a bad #replay= link said nothing")
    check(text.startswith("The #replay link:2") and pd.probe(driver, pd.Probe.Replaying) == 0,
          "a bad recording in a link is refused with its line (%r)" % text)
    open_page(driver, server, "#scene=" + link_payload("x" * 20)[:-3])
    text = pd.wait(driver, notice, 30, message="a cut short link said nothing")
    check("cut short" in text and pd.probe(driver, pd.Probe.Balls) == 0,
          "a cut short #scene= link says so and the game starts as ever (%r)" % text)

    # A recording dropped on the game plays from the first frame, then hands over.
    drop_file(driver, "short.txt", "frames 30\nframe 2: key 49 tap\nframe 4: mouse 300 100\n"
                                   "frame 4: click 1\n")
    pd.wait(driver, lambda d: d.execute_script(
        "return window.dazoziStatus && window.dazoziStatus.frames >= 1") and
        game_call(d, "hash(0)")[0] == 1, 120, message="a dropped recording did not play")
    check(pd.probe(driver, pd.Probe.Balls) == 1 and pd.probe(driver, pd.Probe.Kind) == 1,
          "a dropped recording played: its click made its ball")
    check(not driver.execute_script("return location.hash"), "the address holds no old link")

    replay_links(driver, server, out)

    foreign = [r for r in driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name)")
        if not r.startswith(server.url)]
    check(not foreign, "no request beyond the page's own files (%s)" % foreign)
    severe = pd.severe_console_lines(driver)
    check(not severe, "no error in the browser console %s" % severe)


def main():
    if len(sys.argv) != 6:
        print(__doc__)
        return 2
    folder, recording, expected, scenario, out = sys.argv[1:]
    return pd.run_in_browser(
        folder, out, failures,
        lambda driver, server: run(driver, server, recording, expected, scenario, out),
        on_failure=lambda driver: print("last notice:", json.dumps(notice(driver))))


if __name__ == "__main__":
    sys.exit(main())
