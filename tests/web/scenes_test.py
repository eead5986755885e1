"""Nothing a user made is lost in the page, and scenes open there. A click on the game right after
a toolbar button counts (the button gave the game the focus). The Scenes button opens the
example scenes' menu and one opens; Undo brings the scene before back and Redo the example
again; Escape first closes what is open (the menu, the help) and ends the game only with
nothing open; the changed scene is then kept in the browser's storage, and after a reload the
page offers it with a button (a phone has no Ctrl+O), which opens it again. Plays the web build
in headless Chromium.

Usage: scenes_test.py PAGE_FOLDER OUTPUT_FOLDER
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagedriver as pd  # noqa: E402

check = pd.Checks()
failures = check.failures
KEPT = "dazozi-redov-unsaved-scene"
BALL_PIT = 3  # the menu's fourth line: the ball pit, the one example full of balls


def key(driver, *codes):
    """The keys pressed in order and let go in reverse, as the game's own pushed input."""
    driver.execute_script(
        "for (const k of arguments[0]) Module._dazozi_key(k, 1);"
        "for (const k of arguments[0].slice().reverse()) Module._dazozi_key(k, 0);", list(codes))
    pd.wait_frames(driver, 3)


def button(driver, action):
    driver.find_element("css selector", "[data-action='%s']" % action).click()
    pd.wait_frames(driver, 3)


def kept(driver):
    return driver.execute_script("return localStorage.getItem(arguments[0])", KEPT)


def open_page(driver, server):
    driver.get("about:blank")
    driver.get(server.url)
    pd.wait(driver, lambda d: pd.frames(d) >= 3, 120, message="no frame was drawn")


def run(driver, server, out):
    open_page(driver, server)
    driver.execute_script("localStorage.removeItem(arguments[0])", KEPT)
    balls = start_balls = pd.probe(driver, pd.Probe.Balls)

    # The Ball button first, then a click on the game: that click drops a ball.
    check(not driver.execute_script("return document.activeElement === "
                                    "document.getElementById('canvas')"),
          "the game has no focus before anything was pressed")
    driver.find_element("css selector", "[data-kind='1']").click()
    pd.wait_frames(driver, 3)
    pd.click_game(driver, 300, 200)
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.Balls) == balls + 1, 30,
            message="the first click on the game after a toolbar button dropped no ball")
    check(True, "the first click on the game after a toolbar button drops a ball")
    balls = pd.probe(driver, pd.Probe.Balls)

    # The Scenes button opens the menu; Escape closes it and does not end the game.
    button(driver, "scenes")
    check(pd.probe(driver, pd.Probe.SceneMenu) == 1, "the Scenes button opens the scene menu")
    pd.screenshot(driver, os.path.join(out, "01-scene-menu.png"))
    key(driver, 27)
    check(pd.probe(driver, pd.Probe.SceneMenu) == 0 and not driver.execute_script("return dazoziStatus.ended"),
          "Escape closes the scene menu and the game goes on")

    # An example opens in the page.
    button(driver, "scenes")
    for _ in range(BALL_PIT):
        key(driver, 40)
    key(driver, 13)
    pit = pd.probe(driver, pd.Probe.Balls)
    check(pit >= balls + 10, "the ball pit opens in the page (%d balls, %d before)" % (pit, balls))
    pd.screenshot(driver, os.path.join(out, "02-ball-pit.png"))

    # Undo and Redo walk the history over scenes.
    button(driver, "undo")
    check(pd.probe(driver, pd.Probe.Balls) == balls, "Undo brings back the scene before (%d balls)"
          % pd.probe(driver, pd.Probe.Balls))
    button(driver, "redo")
    check(pd.probe(driver, pd.Probe.Balls) == pit, "Redo opens the ball pit again (%d balls)"
          % pd.probe(driver, pd.Probe.Balls))

    # Escape closes the help first; the next one ends the game, which keeps the changed scene.
    button(driver, "help")
    check(pd.probe(driver, 10) == 1, "the Help button shows the help")
    key(driver, 27)
    check(pd.probe(driver, 10) == 0 and not driver.execute_script("return dazoziStatus.ended"),
          "Escape closes the help and the game goes on")
    check(kept(driver) is None, "nothing is kept while the game runs")
    driver.execute_script("Module._dazozi_key(27, 1); Module._dazozi_key(27, 0);")
    pd.wait(driver, lambda d: d.execute_script("return dazoziStatus.ended"), 30,
            message="Escape with nothing open did not end the game")
    text = kept(driver)
    check(text is not None and text.lstrip().startswith("{"),
          "the ended game kept its unsaved scene in the browser's storage")

    # The next start offers it, with a button for phones (which press Ctrl+O); opened, the
    # browser's copy goes.
    open_page(driver, server)
    check(pd.probe(driver, pd.Probe.Balls) == start_balls, "a new start is the level as usual")
    offer = driver.find_element("id", "notice-download")
    check(offer.is_displayed() and offer.text == "Open it",
          "the page offers the scene left unsaved (%r)" % offer.text)
    pd.screenshot(driver, os.path.join(out, "03-offer.png"))
    offer.click()
    pd.wait_frames(driver, 3)
    check(pd.probe(driver, pd.Probe.Balls) >= pit - 5, "its button opens what was left (%d balls)"
          % pd.probe(driver, pd.Probe.Balls))
    check(kept(driver) is None, "the kept scene is gone from the storage once opened")
    pd.screenshot(driver, os.path.join(out, "04-left-work.png"))
    check(not pd.severe_console_lines(driver), "no errors on the console")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    folder, out = sys.argv[1:]
    return pd.run_in_browser(folder, out, failures, lambda driver, server: run(driver, server, out))


if __name__ == "__main__":
    sys.exit(main())
