#!/usr/bin/python3
"""The settings file in the browser: files of the Windows and Linux programs
imported in code page 932 and in UTF-8 and read by the program, a file that
is no settings file refused with the stored one kept, the export, and a save
the browser refuses reported to the user."""
from browser import Suite, log
from saver_site import DIALOG, SITE, Site, ini_bytes, js

suite = Suite("web-settings-file")
site = Site(suite, 800, 600)
browser = site.browser


def message():
    return site.evaluate("document.getElementById('message').textContent")


def import_file(name, data):
    path = suite.work / name
    path.write_bytes(data)
    before = message()
    site.choose_file("#import", path)
    return browser.wait_for(f"document.getElementById('message').textContent !== {js(before)}", 5,
                            "the page's answer to the import") and message()


def save_unchanged():
    """Opens the settings window and saves what it shows."""
    site.open_settings()
    f = site.rect(DIALOG)
    browser.click(f[0] + 390, f[1] + 268)  # 設定
    return site.ends(5)


with suite.case("A code page 932 file of the Windows program is imported and read"):
    windows_file = ini_bytes("停止時間=7", "背景色=65280", "背景色ﾗﾝﾀﾞﾑ=0", "BGM区分=1", "BGMﾘﾋﾟｰﾄ=9",
                             "[Other]", "keep=this line")
    answer = import_file("windows.ini", windows_file)
    suite.check("the page says it was read", "読み込みました" in (answer or ""), answer)
    suite.check_eq("the stored file is the imported bytes", windows_file, site.stored_settings())
    suite.check_eq("the export downloads exactly those bytes", windows_file, site.exported())
    site.open_settings()
    suite.check_eq("the settings window shows its track", "9",
                   site.evaluate(f"document.querySelector('{DIALOG} input.tess-combo').value"))
    f = site.rect(DIALOG)
    browser.click(f[0] + 390, f[1] + 268)  # 設定
    site.ends(5)
    saved = site.stored_settings() or b""
    log(repr(saved))
    for line in ("停止時間= 7", "背景色= 65280", "BGMﾘﾋﾟｰﾄ= 9", "keep=this line"):
        suite.check(f"a save keeps {line}", line.encode("cp932") + b"\r\n" in saved)

with suite.case("A UTF-8 file (an editor's, with its byte-order mark) is imported and saved back in code page 932"):
    site.keep_music("音楽.wav", b"RIFF\x24\x00\x00\x00WAVEfmt ")
    utf8_file = b"\xef\xbb\xbf" + "[Section]\r\n停止時間=12\r\nBGM区分=2\r\nBGMﾌｧｲﾙ=音楽.wav\r\n".encode("utf-8")
    answer = import_file("editor.ini", utf8_file)
    suite.check("the page takes it", "読み込みました" in (answer or ""), answer)
    suite.check("the settings window saves it", save_unchanged())
    saved = site.stored_settings() or b""
    log(repr(saved))
    suite.check("the saved file is code page 932 with the music file's Japanese name",
                "停止時間= 12\r\n".encode("cp932") in saved and "BGMﾌｧｲﾙ=音楽.wav\r\n".encode("cp932") in saved)

with suite.case("A file that is no settings file is refused; the stored one is kept"):
    stored = site.stored_settings()
    for name, data in [("picture.ini", (SITE / "favicon.ico").read_bytes()),
                       ("notes.ini", "[Other]\r\n停止時間=3\r\n".encode("cp932")),
                       ("empty.ini", b"")]:
        answer = import_file(name, data)
        suite.check(f"{name} is refused with a message", "ではありません" in (answer or ""), answer)
        suite.check_eq(f"{name} left the stored file as it was", stored, site.stored_settings())

with suite.case("A save the browser refuses is reported, and the stored file stays"):
    stored = site.stored_settings()
    site.evaluate("Storage.prototype.setItem = function() {"
                  " throw new DOMException('full', 'QuotaExceededError'); }")
    site.open_settings()
    f = site.rect(DIALOG)
    browser.click(f[0] + 390, f[1] + 268)  # 設定
    shown = site.shown("dialog.tess-message")
    text = shown and site.evaluate("document.querySelector('dialog.tess-message p').textContent")
    suite.check("the failure is said in a message box", "設定を保存できませんでした" in (text or ""), text)
    suite.check("the message names the reason", "いっぱい" in (text or ""), text)
    site.click("dialog.tess-message button")
    suite.check("OK ends the program", site.ends(5))
    suite.check_eq("the stored file is unchanged", stored, site.stored_settings())

with suite.case("Nothing went wrong in the page"):
    site.check_no_problems()

suite.end()
