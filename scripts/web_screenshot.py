#!/usr/bin/python3
"""web_screenshot.py URL OUT [SECONDS]: opens the site in headless Chromium at
1024 x 768, starts the display with a click as a user would, and after
SECONDS (default 4) saves a screenshot of it to OUT."""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e" / "web"))
from browser import Browser  # noqa: E402


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: web_screenshot.py URL OUT [SECONDS]")
    url, out = sys.argv[1], sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 4
    with Browser(1024, 768) as browser:
        browser.send("Emulation.setDeviceMetricsOverride", width=1024, height=768, deviceScaleFactor=1,
                     mobile=False, screenWidth=1024, screenHeight=768)
        browser.navigate(url)
        browser.wait_for("window.tessellane !== undefined", 15, "the start page")
        box = browser.evaluate("(r => [r.left + r.width / 2, r.top + r.height / 2])"
                               "(document.getElementById('start').getBoundingClientRect())")
        browser.click(*box)
        browser.wait_for("document.querySelector('[data-tess-title=\"Tessellane_Main\"]') !== null", 10, "the display")
        time.sleep(seconds)  # what a user would see after that long
        browser.screenshot(out)


if __name__ == "__main__":
    main()
