#!/usr/bin/python3
"""The site as a static site: served from a folder below the server's root,
kept by its service worker at the first visit so that a reload with the
server stopped still starts the display, and installable (its manifest and
icons)."""
from browser import REPO, Browser, Server, Suite
from saver_site import DISPLAY, SITE, Site, js

suite = Suite("web-offline")


class SubfolderSite(Site):
    """The site below the server's root: build/web is served as /web/."""

    def __init__(self, suite):
        self.suite = suite
        self.server = Server(REPO / "build", suite.work / "server.log")
        self.server.url += "web/"
        self.browser = Browser(640, 480, log_path=suite.work / "chromium.log")
        self.pin(640, 480)
        self.open()


site = SubfolderSite(suite)
browser = site.browser

with suite.case("Served from a folder below the root, the site starts and is kept for offline use"):
    suite.check("the start page runs from /web/", site.evaluate("location.pathname") == "/web/")
    suite.check("the service worker takes the page", browser.wait_for("!!navigator.serviceWorker.controller", 10,
                                                                     "the service worker"))
    kept = site.evaluate("caches.keys().then(k => caches.open(k[0])).then(c => c.keys())"
                         ".then(r => r.map(x => new URL(x.url).pathname))", await_promise=True)
    # The worker's own script is the browser's to keep.
    files = sorted(str(p.relative_to(SITE)) for p in SITE.rglob("*") if p.is_file() and p.name != "sw.js")
    missing = [f for f in files if f"/web/{f}" not in kept]
    suite.check("every file of the site is kept", not missing, f"missing {missing}")

with suite.case("A reload with the server stopped still starts the display"):
    site.server.stop()
    site.open()
    suite.check("the start page comes back without the server", site.evaluate("!!window.tessellane"))
    suite.check("the display starts", site.start_display())
    drawn = browser.wait_for(f"""(c => {{
        const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        for (let i = 4; i < d.length; i += 4) if (d[i] !== d[0] || d[i + 1] !== d[1] || d[i + 2] !== d[2]) return true;
        return false; }})(document.querySelector('{DISPLAY} canvas'))""", 5, "rings")
    suite.check("and draws its rings", drawn)
    browser.key("Escape")
    site.ends(5)
    site.server.start()

with suite.case("The manifest makes it installable: name, start, icons that load"):
    manifest = site.evaluate("fetch(document.querySelector('link[rel=manifest]').href).then(r => r.json())",
                             await_promise=True)
    suite.check_eq("the manifest names the saver", "テセレーン", manifest.get("name"))
    suite.check_eq("it starts at the site's own folder", "./", manifest.get("start_url"))
    sizes = sorted(i["sizes"] for i in manifest.get("icons", []))
    suite.check_eq("icons of 192 and 512 pixels", ["192x192", "512x512"], sizes)
    for icon in manifest.get("icons", []):
        size = site.evaluate(f"new Promise(r => {{ const i = new Image(); i.onload = () => r([i.width, i.height]);"
                             f" i.onerror = () => r(null); i.src = {js(icon['src'])}; }})", await_promise=True)
        suite.check_eq(f"{icon['src']} loads at its size", [int(v) for v in icon["sizes"].split("x")], size)

with suite.case("Nothing went wrong in the page"):
    site.check_no_problems()

suite.end()
