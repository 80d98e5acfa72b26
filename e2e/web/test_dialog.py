#!/usr/bin/python3
"""The settings window (/c) in the browser: its place, size and controls as
on Windows, its rays, its commands (save, cancel, close, the colour and file
dialogs, the link, the drag), and the exported bytes of a save."""
import wave

from browser import Suite, log, wait_until
from saver_site import DIALOG, Site, ini_bytes, js

WIDTH, HEIGHT = 800, 600
# Where Windows puts the 446 x 477 window on an 800 x 600 screen: centred
# across, a third of the way down.
PLACE = [177, 41, 446, 477]
RAYS = (22, 42, 320, 240)

suite = Suite("web-dialog")
site = Site(suite, WIDTH, HEIGHT)
browser = site.browser


def form():
    return site.rect(DIALOG)


def click_at(x, y, button="left"):
    """A click at a point of the settings window (its own pixels)."""
    f = form()
    browser.click(f[0] + x, f[1] + y, button)


def rays_pixels():
    """The raw pixels of the rays' picture."""
    width, _, raw = browser.pixels()
    f = form()
    x, y, w, h = RAYS
    left, top = round(f[0]) + x, round(f[1]) + y
    return b"".join(raw[3 * ((top + row) * width + left):3 * ((top + row) * width + left + w)] for row in range(h))


def check_labels(shot):
    """The labels' text lies on what is below it (the gradient), and the
    buttons' captions are centred."""
    width, _, raw = shot
    f = [round(v) for v in form()]
    at = lambda x, y: raw[3 * ((f[1] + y) * width + f[0] + x):3 * ((f[1] + y) * width + f[0] + x) + 3]
    # 停止時間 (77 pixels wide, its text narrower): the label's margin shows
    # the gradient's row, as outside the label.
    suite.check_eq("a transparent label shows the gradient around its text", at(349, 80), at(355, 80))
    # 設定: the caption's ink is centred on the button (352..429).
    ink = [x for x in range(354, 428) for y in range(258, 280) if sum(at(x, y)) < 150]
    middle = (min(ink) + max(ink)) / 2 if ink else 0
    suite.figure("caption_middle", middle)
    suite.check("the button's caption is centred", ink and abs(middle - 390.5) <= 2, f"ink from {ink[:1]} to {ink[-1:]}")


def open_dialog():
    site.ends(5)
    return site.open_settings()


with suite.case("The window: its place, size and controls as on Windows; its rays move"):
    suite.check("設定... opens the settings window", site.open_settings())
    suite.check_eq("the window is 446 x 477 at (177, 41) on 800 x 600", PLACE, [round(v) for v in form()])
    suite.check_eq("its canvas has the window's pixels", [446, 477],
                   site.evaluate(f"(c => [c.width, c.height])(document.querySelector('{DIALOG} canvas'))"))
    inside = lambda selector: [round(a - b) for a, b in zip(site.rect(selector)[:2], form()[:2])] + \
        [round(v) for v in site.rect(selector)[2:]]
    suite.check_eq("the track box sits in the music panel as on Windows", [102, 334, 41, 20],
                   inside(f"{DIALOG} .tess-combo"))
    suite.check_eq("the spinner sits under 停止時間 as on Windows", [368, 92, 21, 33], inside(f"{DIALOG} .tess-spinner"))
    suite.check_eq("the track list offers 0 to 30", 31, site.evaluate(f"document.querySelectorAll('{DIALOG} option').length"))
    suite.check("the pointer shows over the settings window",
                site.evaluate(f"getComputedStyle(document.querySelector('{DIALOG} canvas')).cursor") != "none")
    site.settled_shot(suite.work / "labels.png", 3)
    check_labels(browser.pixels())
    first = rays_pixels()
    suite.check("the rays are drawn", len(set(first)) > 1)
    suite.check("the rays' picture changes", wait_until(lambda: rays_pixels() != first, 3, "the rays to move"))
    click_at(390, 232)  # ｷｬﾝｾﾙ
    suite.check("ｷｬﾝｾﾙ closes the window", site.ends(5))
    suite.check("ｷｬﾝｾﾙ saved nothing", site.stored_settings() is None)
    site.pin(WIDTH, HEIGHT, 2)
    site.open_settings()
    suite.check_eq("at twice the device pixels the window keeps its 446 x 477 CSS pixels", PLACE,
                   [round(v) for v in form()])
    click_at(435, 11)  # the close button
    suite.check("the close button closes the window", site.ends(5))
    site.pin(WIDTH, HEIGHT)

with suite.case("Every change, then 設定: the exported bytes are the Windows build's"):
    site.store_settings(ini_bytes("停止時間= 3", "背景色ﾗﾝﾀﾞﾑ= 1", "BGM区分= 0"))
    open_dialog()
    site.click(f"{DIALOG} .tess-spinner button")  # the upper arrow: 3 -> 4
    site.click(f"{DIALOG} .tess-spinner button")  # 4 -> 5
    click_at(396, 202)  # ﾗﾝﾀﾞﾑ: on -> off
    click_at(49, 344)  # 音楽CD
    site.evaluate(f"(i => (i.focus(), i.select()))(document.querySelector('{DIALOG} input.tess-combo'))")
    browser.type_text("12")
    click_at(390, 268)  # 設定
    suite.check("設定 saves and closes the window", site.ends(5))
    # Numbers are written as the forms' language writes them, after a blank
    # (Wine's profile functions drop it; Windows keeps it).
    expected = ini_bytes("停止時間= 5", "背景色ﾗﾝﾀﾞﾑ= 0", "BGM区分= 1", "背景色= 0", "BGMﾘﾋﾟｰﾄ= 12", "BGMﾌｧｲﾙ=")
    saved = site.exported()
    log(repr(saved))
    suite.check_eq("the exported file holds exactly the saved bytes, in code page 932", expected, saved)

with suite.case("The colour dialog is the browser's colour picker"):
    site.store_settings(ini_bytes("背景色=0"))
    open_dialog()
    click_at(376, 172)  # Cmd_Color
    suite.check("the colour dialog opens", site.shown("dialog.tess-colour input"))
    site.evaluate("document.querySelector('dialog.tess-colour input').value = '#ff0000'")
    site.click("dialog.tess-colour button")  # OK
    f = form()
    swatch = wait_until(lambda: site.pixel(round(f[0]) + 412, round(f[1]) + 172) == (255, 0, 0), 5, "a red swatch")
    suite.check("the swatch shows the chosen red", swatch)
    click_at(376, 172)
    site.shown("dialog.tess-colour input")
    site.evaluate("document.querySelector('dialog.tess-colour input').value = '#00ff00'")
    site.click("dialog.tess-colour button:last-child")  # キャンセル
    click_at(390, 268)
    site.ends(5)
    suite.check("the chosen colour is saved; the cancelled one is not",
                "背景色= 255\r\n".encode("cp932") in (site.stored_settings() or b""))

with suite.case("The music file: chosen with a file input, kept by the browser, stored by its name"):
    tone = suite.work / "曲.wav"
    with wave.open(str(tone), "wb") as w:
        w.setnchannels(1), w.setsampwidth(2), w.setframerate(8000)
        w.writeframes(b"\x00\x10" * 800)
    open_dialog()
    click_at(68, 404)  # Cmd_BGM
    suite.check("the file dialog opens with its title",
                site.shown("dialog.tess-file input") and
                site.evaluate("document.querySelector('dialog.tess-file h2').textContent") == "ﾌｧｲﾙを開く")
    suite.check_eq("it takes MP3 and WAV files", ".mp3,.wav", site.evaluate("document.querySelector('dialog.tess-file input').accept"))
    site.choose_file("dialog.tess-file input", tone)
    suite.check("the dialog closes once the file is kept",
                browser.wait_for("!document.querySelector('dialog.tess-file')", 5, "the file dialog to close"))
    click_at(390, 268)
    site.ends(5)
    suite.check("the settings file stores the music file's name",
                "BGMﾌｧｲﾙ=曲.wav\r\n".encode("cp932") in (site.stored_settings() or b""))
    suite.check("the page knows the kept name at once", site.evaluate(f"tessellane.storage.hasMusic({js('曲.wav')})"))
    kept = site.evaluate(f"tessellane.storage.loadMusicNames().then(() => tessellane.storage.musicBytes({js('曲.wav')}))"
                         f".then(b => b.byteLength)", await_promise=True)
    suite.check_eq("the browser keeps the file's bytes under its name", tone.stat().st_size, kept)

with suite.case("A hidden tab leaves the settings window and the preview"):
    open_dialog()
    site.evaluate("Object.defineProperty(document, 'visibilityState', {value: 'hidden', configurable: true});"
                  "document.dispatchEvent(new Event('visibilitychange'));"
                  "delete document.visibilityState;")
    suite.check("the settings window stays open", not site.ends(1) and site.running() == "settings")
    suite.check("the preview stays", site.rect("#preview .tess-form") is not None)
    click_at(390, 232)
    site.ends(5)

with suite.case("The title strip drags the window; the link opens a new tab"):
    open_dialog()
    f = form()
    browser.mouse_move(f[0] + 100, f[1] + 10)
    browser.mouse_down(f[0] + 100, f[1] + 10)
    browser.mouse_move(f[0] + 130, f[1] + 30)
    browser.mouse_move(f[0] + 150, f[1] + 60)
    browser.mouse_up(f[0] + 150, f[1] + 60)
    moved = form()
    suite.check_eq("the window moved with the pointer", [round(f[0]) + 50, round(f[1]) + 50],
                   [round(moved[0]), round(moved[1])])
    # The new tab itself would find no network here: what the page is asked
    # to open is recorded instead.
    site.evaluate("window.open = (...args) => { window.opened = args; return null; }")
    click_at(260, 450)  # the link
    opened = browser.wait_for("window.opened", 5, "the link to be opened")
    suite.check_eq("the link opens the home page in a new tab",
                   ["https://tessellane.example.org/", "_blank", "noopener"], opened)
    suite.check("the settings window stays open", site.running() == "settings")
    click_at(390, 232)
    site.ends(5)

with suite.case("Nothing went wrong in the page"):
    site.check_no_problems()

suite.end()
