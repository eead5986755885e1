"""Takes the README's pictures of the page from the page as it is built: docs/web.png (a
1280 x 800 desktop window), docs/web-phone.png and docs/web-phone-landscape.png (a phone at
device scale 3, 390 x 844 and 844 x 390, saved at CSS size). Stars are selected and one is
dropped in the sky; the pictures are taken once the game has drawn a few frames after it.

Usage: docs_pictures.py PAGE_FOLDER DOCS_FOLDER
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pagedriver as pd  # noqa: E402
from PIL import Image  # noqa: E402


def take(driver, server, width, height, scale, mobile, path):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                           {"enabled": mobile, "maxTouchPoints": 5})
    driver.get("about:blank")
    driver.get(server.url)
    pd.wait_frames(driver, 3)
    driver.execute_script("localStorage.clear(); document.getElementById('notice').hidden = true;"
                          "document.querySelector('[data-kind=\"3\"]').click()")
    pd.wait_frames(driver, 2)
    x, y = pd.to_page(driver, 520, 180)
    if mobile:
        for kind in ("touchStart", "touchEnd"):
            driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
                "type": kind, "touchPoints": [{"x": x, "y": y, "id": 0}] if kind == "touchStart" else []})
    else:
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
                "type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})
    pd.wait(driver, lambda d: pd.probe(d, pd.Probe.Stars) >= 1, 30, message="no star was dropped")
    pd.wait_frames(driver, 20)
    picture = pd.screenshot(driver)
    if picture.size != (width, height):
        picture = picture.resize((width, height), Image.LANCZOS)
    picture.save(path, optimize=True)
    print("wrote %s (%d x %d)" % (path, width, height))


def main():
    page, docs = sys.argv[1], sys.argv[2]
    server = pd.PageServer(page)
    driver = pd.start_browser(1280, 800)
    try:
        take(driver, server, 1280, 800, 1, False, os.path.join(docs, "web.png"))
        take(driver, server, 390, 844, 3, True, os.path.join(docs, "web-phone.png"))
        take(driver, server, 844, 390, 3, True, os.path.join(docs, "web-phone-landscape.png"))
    finally:
        driver.quit()
        server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
