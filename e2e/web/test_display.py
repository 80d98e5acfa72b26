#!/usr/bin/python3
"""The display (/s) and the preview (/p) in the browser: the picture against
the ring model, at CSS and at device pixels and at a new size; the rules that
end it; its pace; the start from the address; the preview pane's picture."""
import subprocess

from browser import REPO, Suite, log, wait_until
from saver_site import DISPLAY, Site, ini_bytes, rings

RED = "FF0000"
RED_SETTINGS = ini_bytes("停止時間=5", "背景色=255", "背景色ﾗﾝﾀﾞﾑ=0", "BGM区分=0")

# Samples the display's canvas 30 times a second: the time and how many of
# its pixels are not the red background.
SAMPLER = """
window.samples = [];
window.sampler = setInterval(() => {
  const c = document.querySelector('%s canvas');
  if (!c || c.width < 2) return;
  const d = c.getContext('2d', {willReadFrequently: true}).getImageData(0, 0, c.width, c.height).data;
  let n = 0;
  for (let i = 0; i < d.length; i += 4) n += d[i] !== 255 || d[i + 1] !== 0 || d[i + 2] !== 0;
  samples.push([performance.now(), n]);
}, 33);
""" % DISPLAY

suite = Suite("web-display")
site = Site(suite)
browser = site.browser


def canvas_size():
    return site.evaluate(f"(c => c && [c.width, c.height])(document.querySelector('{DISPLAY} canvas'))")


def check_cycle(name, width, height):
    shot = site.settled_shot(suite.work / f"{name}.png")
    suite.check(f"{name}: the picture holds still at the end of its cycle", shot)
    if shot:
        rc, out = rings("cycle", shot, RED, width, height)
        log(out)
        suite.check(f"{name}: one complete cycle of one-pixel rings on the {width} x {height} red screen", rc == 0, out)


def new_cycles(samples):
    """When new cycles began: the ring pixels fell to a fifth of what they were."""
    return [t for (t, n), (_, before) in zip(samples[1:], samples) if before > 1000 and n < before / 5]


def restart_display():
    site.ends(5)
    return site.start_display()


with suite.case("The display at 640 x 480 is the ring model's cycle; a key ends it"):
    site.store_settings(RED_SETTINGS)
    suite.check("the display shows on the start button's click", site.start_display())
    suite.check("the click asked for full screen", browser.wait_for("!!document.fullscreenElement", 5, "full screen"))
    suite.check_eq("the canvas has the viewport's pixels", [640, 480], canvas_size())
    suite.check_eq("the pointer is hidden over the display", "none",
                   site.evaluate(f"getComputedStyle(document.querySelector('{DISPLAY} canvas')).cursor"))
    check_cycle("display-640", 640, 480)
    browser.key("a")
    suite.check("a key ends the display and the page takes over", site.ends(5))
    suite.check("the display's window left the page", site.rect(DISPLAY) is None)
    suite.check("full screen was left", browser.wait_for("!document.fullscreenElement", 5, "full screen left"))
    suite.check("the ended program takes no more of the page's keys",
                site.evaluate("window.dispatchEvent(new KeyboardEvent('keydown', {key: 'a', cancelable: true}))"))

with suite.case("The ending rules: a one-pixel move does not end it; a long move, a click, a hidden tab do"):
    site.start_display()
    browser.mouse_move(200, 200)
    browser.mouse_move(201, 200)
    suite.check("a one-pixel move leaves the display running", not site.ends(1) and site.running() == "display")
    browser.mouse_move(260, 300)
    suite.check("a long move ends it", site.ends(5))
    restart_display()
    browser.click(320, 240)
    suite.check("a click ends it", site.ends(5))
    restart_display()
    site.evaluate("Object.defineProperty(document, 'visibilityState', {value: 'hidden', configurable: true});"
                  "document.dispatchEvent(new Event('visibilitychange'));"
                  "delete document.visibilityState;")
    suite.check("hiding the tab ends it", site.ends(5))
    restart_display()
    browser.wait_for("!!document.fullscreenElement", 5, "full screen")
    site.evaluate("document.exitFullscreen()", await_promise=True)
    suite.check("leaving full screen ends it", site.ends(5))

with suite.case("The pace: a cycle takes its second; with a stop time of 0 at most 3 new cycles a second"):
    site.store_settings(ini_bytes("停止時間=0", "背景色=255", "背景色ﾗﾝﾀﾞﾑ=0", "BGM区分=0"))
    site.start_display()
    site.evaluate(SAMPLER)
    wait_until(lambda: len(new_cycles(site.evaluate("samples"))) >= 4, 8, "four new cycles")
    samples = site.evaluate("clearInterval(sampler), samples")
    browser.key("Escape")
    site.ends(5)
    clears = new_cycles(samples)
    gaps = [(b - a) / 1000 for a, b in zip(clears, clears[1:])]
    busiest = max((sum(1 for c in clears if t <= c < t + 1000) for t in clears), default=0)
    suite.figure("samples", len(samples))
    suite.figure("cycle_gaps_s", [round(g, 2) for g in gaps])
    suite.check("the sampler saw new cycles come", len(clears) >= 2, f"clears at {clears}")
    suite.check("each cycle took at least its second", gaps and min(gaps) >= 0.95, f"gaps {gaps}")
    suite.check_eq("at most 3 new cycles in any second", True, busiest <= 3)

with suite.case("A new size of the window starts a new cycle at that size"):
    site.store_settings(RED_SETTINGS)
    site.start_display()
    site.settled_shot(suite.work / "before-resize.png")
    site.pin(500, 400)
    suite.check("the canvas follows the window to 500 x 400",
                wait_until(lambda: canvas_size() == [500, 400], 5, "the canvas's new size"))
    check_cycle("display-500", 500, 400)
    browser.key("Escape")
    site.ends(5)
    site.pin(640, 480)

with suite.case("At twice the device pixels the rings are one device pixel wide"):
    site.pin(320, 240, 2)
    site.start_display()
    suite.check_eq("the canvas has the device's 640 x 480 pixels", [640, 480], canvas_size())
    check_cycle("display-device-pixels", 640, 480)
    browser.key("Escape")
    suite.check("a key ends it at device pixels too", site.ends(5))
    site.pin(640, 480)

with suite.case("#s starts the display at once, in the window and silent"):
    site.open("#s")
    suite.check("the display shows without a click", site.shown(DISPLAY))
    suite.check("no full screen without a click", not site.evaluate("!!document.fullscreenElement"))
    suite.check("the page says why", "クリック" in (site.evaluate("document.getElementById('notice').textContent") or ""))
    suite.check_eq("the address no longer names the display once it ended", "",
                   (browser.key("Escape"), site.ends(5), site.evaluate("location.hash"))[2])
    suite.check("the preview starts once the display the address started has ended",
                site.shown("#preview .tess-form", 5))

with suite.case("After minutes without input the page starts the display"):
    # The page's timer is recorded, and run at once instead of after a minute.
    site.evaluate("window.timers = []; const later = window.setTimeout;"
                  "window.setTimeout = (f, ms, ...a) => (timers.push([f, ms]), later(f, ms, ...a));")
    site.evaluate("document.getElementById('idle-minutes').value = 1")
    site.click("#idle")
    idle = site.evaluate("(t => t ? t[1] : null)(timers.filter(t => t[1] >= 60000).pop())")
    suite.check_eq("one minute without input sets the start for a minute on", 60000, idle)
    site.evaluate("timers.filter(t => t[1] === 60000).pop()[0]()")
    suite.check("when it runs out the display starts", site.shown(DISPLAY))
    browser.key("Escape")
    site.ends(5)
    site.click("#idle")
    suite.check("the choice is the page's, not the settings file's",
                site.evaluate("JSON.parse(localStorage.getItem('tessellane/page/idle')).on === false"))

with suite.case("The preview pane shows the preview picture"):
    site.open()
    site.shown("#preview .tess-form")
    box = site.rect("#preview")
    suite.check_eq("the pane is 152 x 112", [152, 112], [round(box[2]), round(box[3])])
    shot = site.settled_shot(suite.work / "start-page.png")
    crop = suite.work / "preview-crop.png"
    subprocess.run(["convert", str(shot), "-crop", f"152x112+{round(box[0])}+{round(box[1])}", "+repage", str(crop)],
                   check=True)
    done = subprocess.run(["compare", "-metric", "MAE", str(crop), str(REPO / "assets" / "preview.jpg"), "null:"],
                          capture_output=True, text=True)
    error = float(done.stderr.split("(")[1].split(")")[0]) if "(" in done.stderr else 1.0
    suite.figure("mean_error", error)
    suite.check("the pane's pixels are the preview picture's", error < 0.02, done.stderr.strip())

with suite.case("Nothing went wrong in the page"):
    site.check_no_problems()

suite.end()
