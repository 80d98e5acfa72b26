"""What the web tests share: the built site (build/web) served on loopback,
a browser on it at a fixed viewport, the program's windows in the page,
the settings file in the browser's storage, and the pictures the program
shows. Built on browser.py."""
import json
import subprocess

from browser import AUTOPLAY, REPO, Browser, Server, rgb_at, wait_until

SITE = REPO / "build" / "web"
SETTINGS_FILE = "テセレーン.ini"
DISPLAY = '[data-tess-title="Tessellane_Main"]'
DIALOG = '[data-tess-title="テセレーンの設定"]'
RINGS = REPO / "e2e" / "rings.py"


def ini_bytes(*lines):
    """A settings file as the program writes it: section [Section], the
    lines in code page 932, CRLF line ends."""
    return b"".join(line.encode("cp932") + b"\r\n" for line in ("[Section]",) + lines)


def js(value):
    """A Python value as a JavaScript literal."""
    return json.dumps(value, ensure_ascii=False)


class Site:
    """The site in one browser, its viewport pinned to width x height CSS
    pixels at `scale` device pixels each (full screen keeps that size)."""

    def __init__(self, suite, width=640, height=480, scale=1, sound=False):
        self.suite = suite
        self.server = Server(SITE, suite.work / "server.log")
        self.browser = Browser(width, height, extra_flags=[AUTOPLAY] if sound else [],
                               log_path=suite.work / "chromium.log")
        self.pin(width, height, scale)
        self.open()

    def pin(self, width, height, scale=1):
        self.width, self.height, self.scale = width, height, scale
        self.browser.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                          deviceScaleFactor=scale, mobile=False, screenWidth=width, screenHeight=height)

    def open(self, address=""):
        """The start page (with `address` after it, "#s" say), ready."""
        self.browser.navigate(self.server.url + address)
        return self.browser.wait_for("window.tessellane !== undefined", 10, "the start page's script")

    def evaluate(self, expression, **options):
        return self.browser.evaluate(expression, **options)

    # --- Storage

    def store_settings(self, data):
        self.evaluate(f"tessellane.storage.writeFile({js(SETTINGS_FILE)}, new Uint8Array({js(list(data))}))")

    def stored_settings(self):
        value = self.evaluate(f"(b => b && Array.from(b))(tessellane.storage.readFile({js(SETTINGS_FILE)}))")
        return None if value is None else bytes(value)

    def keep_music(self, name, data):
        """A music file kept in the browser's storage as the file input keeps it."""
        return self.evaluate(f"tessellane.storage.keepMusic(new File([new Uint8Array({js(list(data))})], {js(name)}))",
                             await_promise=True)

    def exported(self):
        """The settings file as the page's export link downloads it."""
        folder = self.suite.work / "downloads"
        if not folder.exists():
            folder.mkdir()
            self.browser.send("Browser.setDownloadBehavior", _session=None, behavior="allow",
                              downloadPath=str(folder), eventsEnabled=True)
        target = folder / SETTINGS_FILE
        target.unlink(missing_ok=True)
        self.click("#export")
        return wait_until(lambda: target.exists() and target.read_bytes(), 10, "the download") or None

    def choose_file(self, selector, path):
        """Gives a file input of the page (the first that matches) a file, as the user's choice does."""
        found = self.browser.send("Runtime.evaluate", expression=f"document.querySelector({js(selector)})")
        self.browser.send("DOM.setFileInputFiles", files=[str(path)], objectId=found["result"]["objectId"])

    # --- Elements and the program's windows

    def rect(self, selector):
        """An element's rectangle in CSS pixels of the viewport, or None."""
        return self.evaluate(f"(e => e && (r => [r.left, r.top, r.width, r.height])(e.getBoundingClientRect()))"
                             f"(document.querySelector({js(selector)}))")

    def click(self, selector):
        """Clicks the middle of an element, scrolled into the viewport first."""
        self.evaluate(f"document.querySelector({js(selector)}).scrollIntoView({{block: 'center'}})")
        r = self.rect(selector)
        self.browser.click(r[0] + r[2] / 2, r[1] + r[3] / 2)

    def shown(self, selector, seconds=10):
        return self.browser.wait_for(f"(e => !!e && !e.hidden)(document.querySelector({js(selector)}))", seconds,
                                     f"{selector} to show")

    def running(self):
        return self.evaluate("tessellane.running()")

    def ends(self, seconds):
        """Whether the program that runs ends (the page takes over) within `seconds`."""
        return self.browser.wait_for("tessellane.running() === null", seconds, "the program to end")

    def start_display(self):
        """The display, started by a click on the page's button."""
        self.click("#start")
        return self.shown(DISPLAY)

    def open_settings(self):
        self.click("#settings")
        return self.shown(DIALOG)

    # --- Pictures

    def settled_shot(self, path, seconds=10):
        """A screenshot of a picture that holds still (two in a row the same),
        kept in `path`; None when it did not settle in time."""
        last = None

        def settled():
            nonlocal last
            shot = self.browser.screenshot(path)
            same, last = shot == last, shot
            return same

        return path if wait_until(settled, seconds, "the picture to hold still") else None

    def pixel(self, x, y):
        width, _, raw = self.browser.pixels()
        return rgb_at(width, raw, x, y)

    # --- What went wrong

    def check_no_problems(self):
        problems = self.browser.problems()
        self.suite.check("no console error, no unhandled rejection, no failed request in the page",
                         not problems, "; ".join(problems[:5]))
        failed = self.server.failed_requests()
        self.suite.check("the server answered every request", not failed, "; ".join(failed[:5]))


def rings(*args):
    """e2e/rings.py ARGS: (exit status, its output)."""
    done = subprocess.run(["/usr/bin/python3", str(RINGS), *map(str, args)], capture_output=True, text=True)
    return done.returncode, (done.stdout + done.stderr).strip()
