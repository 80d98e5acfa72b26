#!/usr/bin/python3
"""The browser build's figures beside bare references measured in the same
browser run (bench/web.sh runs it; nothing is asserted):

  page weight    the site's transfer size with gzip, the font apart
  start          navigation to the first ring, against a bare page whose
                 JavaScript draws one ring
  unpaced loop   circles per second of the real display loop (with and
                 without Asyncify) against a bare JavaScript loop with the
                 same plotter and presentation policy
  paced          processor time of the page's renderer while the display
                 draws (beside a bare JavaScript page drawing the same
                 cycles at the same pace), and while the settings window's
                 rays turn
  Asyncify       what it adds to the program's size
"""
import gzip
import os
import statistics
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "e2e" / "web"))
from browser import Browser, Server  # noqa: E402

SITE = REPO / "build" / "web"
BENCH = REPO / "build" / "web-build" / "bench" / "web"
WIDTH, HEIGHT = 1024, 768
RUNS = int(os.environ.get("BENCH_RUNS", "3"))
SECONDS = float(os.environ.get("BENCH_SECONDS", "5"))
TICKS = os.sysconf("SC_CLK_TCK")

# Notes when the display's first ring reached its canvas (the top-left
# corner, where the first ring is drawn).
FIRST_RING = """(function watch() {
  const c = document.querySelector('[data-tess-title="Tessellane_Main"] canvas');
  if (c && c.width > 1) {
    const d = c.getContext('2d', {willReadFrequently: true}).getImageData(0, 0, 128, 128).data;
    for (let i = 4; i < d.length; i += 4)
      if (d[i] !== d[0] || d[i + 1] !== d[1] || d[i + 2] !== d[2]) { window.firstRing = performance.now(); return; }
  }
  requestAnimationFrame(watch);
})();"""


def figure(name, value, unit=""):
    print(f"{name} {value}{unit}", flush=True)


def page_weight():
    files = [p for p in SITE.rglob("*") if p.is_file() and p.parent.name != "fonts"]
    sizes = {str(p.relative_to(SITE)): len(gzip.compress(p.read_bytes(), 9)) for p in files}
    for name in ("tessellane.wasm", "tessellane.js", "page.js", "index.html"):
        figure(f"gzip_bytes_{name}", sizes.get(name))
    figure("page_weight_gzip_bytes", sum(sizes.values()))
    font = sum(len(gzip.compress(p.read_bytes(), 9)) for p in (SITE / "fonts").iterdir())
    figure("font_gzip_bytes", font)


def pin(browser):
    browser.send("Emulation.setDeviceMetricsOverride", width=WIDTH, height=HEIGHT, deviceScaleFactor=1,
                 mobile=False, screenWidth=WIDTH, screenHeight=HEIGHT)


def start_times(browser, site, bench):
    script = browser.send("Page.addScriptToEvaluateOnNewDocument", source=FIRST_RING)["identifier"]
    ours, bare = [], []
    for run in range(RUNS + 1):  # the first run fills the caches and is left out
        browser.navigate("about:blank")
        browser.navigate(site.url + "#s")
        ours.append(browser.wait_for("window.firstRing", 20, "the first ring"))
        browser.evaluate("tessellane.running() && dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'}))")
        browser.wait_for("tessellane.running() === null", 5, "the display to end")
        browser.navigate("about:blank")
        browser.navigate(bench.url + "bare_ring.html")
        bare.append(browser.wait_for("window.firstRing", 20, "the bare ring"))
    browser.send("Page.removeScriptToEvaluateOnNewDocument", identifier=script)
    ours, bare = statistics.median(ours[1:]), statistics.median(bare[1:])
    figure("start_to_first_ring_ms", f"{ours:.0f}")
    figure("bare_start_to_first_ring_ms", f"{bare:.0f}")
    figure("start_ratio", f"{ours / bare:.2f}")


def bench_program(browser, bench, program, seconds):
    browser.navigate(f"{bench.url}bench.html?program={program}&args={seconds}")
    browser.wait_for("window.benchDone !== null", seconds + 30, program)
    out = browser.evaluate("benchOutput").split()
    return dict(zip(out[::2], out[1::2]))


def loop_speed(browser, bench):
    ours = bench_program(browser, bench, "display_bench_asyncify", SECONDS)
    plain = bench_program(browser, bench, "display_bench_plain", SECONDS)
    browser.navigate(f"{bench.url}bare_loop.html?seconds={SECONDS}&radius={ours.get('mean_radius', 54)}")
    bare = browser.wait_for("window.result", SECONDS + 30, "the bare loop")
    figure("unpaced_circles_per_second", ours.get("circles_per_second"))
    figure("unpaced_circles_per_second_without_asyncify", plain.get("circles_per_second"))
    figure("bare_js_circles_per_second", f"{bare['circles_per_second']:.0f}")
    figure("loop_ratio", f"{float(ours['circles_per_second']) / bare['circles_per_second']:.2f}")
    figure("asyncify_loop_ratio", f"{float(ours['circles_per_second']) / float(plain['circles_per_second']):.2f}")


def renderer_ticks():
    """Processor time of every renderer process of the browser, in ticks."""
    total = 0
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if b"--type=renderer" not in (entry / "cmdline").read_bytes():
                continue
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            continue
    return total


def cpu_percent(seconds):
    t0, c0 = time.monotonic(), renderer_ticks()
    time.sleep(seconds)
    return 100 * (renderer_ticks() - c0) / TICKS / (time.monotonic() - t0)


def paced_cpu(browser, site, bench):
    browser.navigate(site.url)
    browser.wait_for("window.tessellane !== undefined", 10, "the start page")
    # A stop time of 0: the display draws all the time (the file in UTF-8, which the program reads too).
    browser.evaluate("tessellane.storage.writeFile('テセレーン.ini', new TextEncoder().encode("
                     "'[Section]\\r\\n停止時間=0\\r\\n'))")
    browser.evaluate("tessellane.startDisplay(false)")
    browser.wait_for("tessellane.running() === 'display'", 10, "the display")
    time.sleep(1)
    figure("paced_display_renderer_cpu_percent", f"{cpu_percent(SECONDS):.1f}")
    browser.evaluate("dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'}))")
    browser.wait_for("tessellane.running() === null", 5, "the display to end")
    browser.navigate(f"{bench.url}bare_loop.html?paced=1")
    time.sleep(1)
    figure("bare_js_paced_display_renderer_cpu_percent", f"{cpu_percent(SECONDS):.1f}")
    browser.navigate(site.url + "#c")
    browser.wait_for("tessellane.running() === 'settings'", 10, "the settings window")
    time.sleep(1)
    figure("paced_rays_renderer_cpu_percent", f"{cpu_percent(SECONDS):.1f}")
    browser.navigate(site.url)
    time.sleep(1)
    figure("start_page_renderer_cpu_percent", f"{cpu_percent(SECONDS):.1f}")


def sizes():
    build = REPO / "build" / "web-build"
    with_asyncify = (build / "tessellane.wasm").stat().st_size
    without = (BENCH / "tessellane_plain.wasm").stat().st_size
    figure("wasm_bytes", with_asyncify)
    figure("wasm_bytes_without_asyncify", without)
    figure("asyncify_size_ratio", f"{with_asyncify / without:.2f}")
    figure("wasm_gzip_bytes_without_asyncify", len(gzip.compress((BENCH / "tessellane_plain.wasm").read_bytes(), 9)))


def main():
    page_weight()
    sizes()
    work = REPO / "build" / "bench-web"
    work.mkdir(parents=True, exist_ok=True)
    with Server(SITE, work / "site.log") as site, Server(BENCH, work / "bench.log") as bench, \
            Browser(WIDTH, HEIGHT, log_path=work / "chromium.log") as browser:
        pin(browser)
        start_times(browser, site, bench)
        loop_speed(browser, bench)
        paced_cpu(browser, site, bench)


if __name__ == "__main__":
    main()
