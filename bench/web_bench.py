"""The browser half of bench/web-vs-native.sh.

Usage: web_bench.py PAGE_FOLDER BENCH_PAGE_FOLDER
Prints, on stdout, the benchmark's scene lines as the browser ran them (see bench/web/main.cpp),
then "page-first-frame=<ms>" for each of three loads of the real page (time from the start of
navigation to the game's first frame) and "page-bytes=<raw> gzip=<compressed>".
"""

import gzip
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import pagedriver as pd  # noqa: E402


def main():
    page, bench_page = sys.argv[1], sys.argv[2]
    raw = packed = 0
    for name in pd.page_files(page):
        data = open(os.path.join(page, name), "rb").read()
        raw += len(data)
        packed += len(gzip.compress(data, 9))

    bench_server = pd.PageServer(bench_page)
    page_server = pd.PageServer(page)
    driver = pd.start_browser(1100, 900)
    try:
        driver.get(bench_server.url + "bench.html")
        pd.wait(driver, lambda d: "done" in d.execute_script("return window.benchLines"), 600,
                poll=0.5, message="the benchmark did not finish")
        for line in driver.execute_script("return window.benchLines"):
            print(line)
        for _ in range(3):
            # A fresh navigation each time; the browser's cache is what a returning user has.
            driver.get("about:blank")
            driver.get(page_server.url)
            ms = pd.wait(driver, lambda d: d.execute_script(
                "return window.dazoziStatus && window.dazoziStatus.firstFrameMs"), 120,
                message="the page drew no frame")
            print("page-first-frame=%.0f" % ms)
        print("page-bytes=%d gzip=%d" % (raw, packed))
    finally:
        driver.quit()
        bench_server.stop()
        page_server.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
