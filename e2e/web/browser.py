"""The library of the web end-to-end tests (e2e/web/test_*.py).

  Suite    PASS/FAIL counting, cases with time limits, the work folder and
           the evidence of a failure, as e2e/harness.sh does for the bash tests.
  Server   scripts/serve_web.py as a child process on a free port.
  Browser  headless Chromium driven over the DevTools protocol: one websocket,
           a reader thread, input, screenshots and the problems the page (and
           its service worker) reported.

Every wait here is bounded: a hung page or browser fails a check, it never
stalls the suite. Scripts run with /usr/bin/python3 (it has `websocket`).
"""
import atexit
import base64
import itertools
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import urllib.request
from pathlib import Path

import websocket

REPO = Path(__file__).resolve().parents[2]
WORK_ROOT = Path(os.environ.get("E2E_WEB_WORK", REPO / "build" / "e2e-web"))
PYTHON = "/usr/bin/python3"
CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
# Lets an AudioContext run without a click; pass it in extra_flags for sound.
AUTOPLAY = "--autoplay-policy=no-user-gesture-required"

# Browsers and servers still up, newest last: a failure screenshots the newest
# browser, and the end of the script (or its time limit) ends them all.
_live = []


def log(text):
    """Prints a note under the current case, as the bash harness does."""
    print(f"  {text}", flush=True)


def wait_until(condition, seconds, what):
    """Calls condition() every 50 ms until it returns something truthy and
    returns that; after `seconds` logs what it waited for and returns False."""
    end = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= end:
            log(f"timed out after {seconds} s waiting for {what}")
            return False
        time.sleep(0.05)


def close_all():
    """Ends every browser and server of this script, newest first."""
    for thing in reversed(list(_live)):
        try:
            thing.close()
        except Exception as e:  # one failure must not keep the rest running
            print(f"e2e: at exit, closing {thing!r} failed: {e}", file=sys.stderr)


atexit.register(close_all)


def _end_process(proc, seconds, group=False):
    """Ends a child: SIGTERM, SIGKILL after `seconds`; with `group`, its
    process group too (Chromium's helpers)."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(seconds)
        except subprocess.TimeoutExpired:
            proc.kill()
    if group:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        pass


# --- Counting --------------------------------------------------------------------


class _Case:
    """What Suite.case returns: in a `with` block an exception fails the case
    and the script goes on with the next one."""

    def __init__(self, suite):
        self.suite = suite

    def __enter__(self):
        return self.suite

    def __exit__(self, kind, error, tb):
        if kind is None or not issubclass(kind, Exception):
            return False
        traceback.print_exception(kind, error, tb, file=sys.stderr)
        self.suite.fail(f"case '{self.suite.case_name}' raised {kind.__name__}: {error}")
        return True


class Suite:
    """PASS/FAIL counting of one test script, with its work folder
    build/e2e-web/NAME (made anew) and its exit status."""

    def __init__(self, name):
        self.name = name
        self.work = WORK_ROOT / name
        shutil.rmtree(self.work, ignore_errors=True)
        self.work.mkdir(parents=True)
        self.passed = self.failed = 0
        self.case_name, self.case_limit, self.case_t0 = "", 0, time.monotonic()
        self.figures = []
        self.ended = False
        self._watchdog = None
        # The watchdog keeps it to the end, so that no check prints over its report.
        self._lock = threading.RLock()
        atexit.register(self._at_exit)
        signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))

    def case(self, name, seconds=180):
        """Starts the case NAME: still running after `seconds`, it fails by
        name and the script ends (status 1)."""
        with self._lock:
            self._stop_watchdog()
            self.case_name, self.case_limit, self.case_t0 = name, seconds, time.monotonic()
            self.figures = []
            print(f"-- {name}", flush=True)
            timer = threading.Timer(seconds, lambda: self._timed_out(timer))
            timer.daemon = True
            self._watchdog = timer
            timer.start()
        return _Case(self)

    def _stop_watchdog(self):
        if self._watchdog is not None:
            self._watchdog.cancel()
            self._watchdog = None

    def _timed_out(self, timer):
        self._lock.acquire()  # kept: the process ends here
        if self.ended or self._watchdog is not timer:
            self._lock.release()
            return
        self._watchdog = None
        self.fail(f"TIMEOUT: case '{self.case_name}' ran longer than {self.case_limit} s")
        close_all()
        self._summary()
        os._exit(1)

    def log(self, text):
        with self._lock:
            log(text)

    def figure(self, name, value):
        """A measured figure of the current case; a failure lists them all."""
        self.figures.append(f"{name}={value}")

    def passes(self, description):
        with self._lock:
            self.passed += 1
            print(f"PASS: {description}", flush=True)

    def fail(self, description, evidence=""):
        """Counts a failed check with what shows what happened."""
        with self._lock:
            self.failed += 1
            print(f"FAIL: {description} [{self._evidence(evidence)}]", flush=True)

    def check(self, description, condition, evidence=""):
        if condition:
            self.passes(description)
        else:
            self.fail(description, evidence)
        return bool(condition)

    def check_eq(self, description, expected, actual):
        if expected == actual:
            self.passes(description)
            return True
        self.fail(f"{description} (expected {expected!r}, got {actual!r})")
        return False

    def _evidence(self, evidence):
        parts = [str(evidence)] if evidence not in ("", None) else []
        browsers = [t for t in _live if isinstance(t, Browser) and t.connected]
        if browsers:
            shot = self.work / "failures" / f"{self.failed}.png"
            try:
                shot.parent.mkdir(exist_ok=True)
                browsers[-1].screenshot(shot, timeout=10)
                parts.append(f"screenshot {shot}")
            except Exception:
                pass
        parts.append(f"figures: {', '.join(self.figures) or 'none'}")
        parts.append(f"{time.monotonic() - self.case_t0:.0f} s into case '{self.case_name}'")
        return "; ".join(parts)

    def _summary(self):
        self.ended = True
        print(f"== {self.name}: {self.passed} checks passed, {self.failed} failed", flush=True)

    def end(self):
        """Summary line; exits 1 when anything failed."""
        with self._lock:
            self._stop_watchdog()
            close_all()
            self._summary()
        sys.exit(1 if self.failed else 0)

    def _at_exit(self):
        if self.ended:
            return
        self._stop_watchdog()
        self.fail(f"the script ended in case '{self.case_name}' before its end")
        close_all()
        self._summary()
        sys.stdout.flush()
        os._exit(1)


# --- The server ----------------------------------------------------------------


class Server:
    """scripts/serve_web.py serving ROOT, logging each request to LOG_PATH; the
    first start takes a free port, later starts the same one."""

    def __init__(self, root, log_path, seconds=15):
        self.root, self.log_path = str(root), Path(log_path)
        self.port, self.url, self.proc = 0, None, None
        self.seconds = seconds
        self.start()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self):
        if self.proc is not None and self.proc.poll() is None:
            return
        end = time.monotonic() + self.seconds
        while True:
            self.proc = subprocess.Popen([PYTHON, str(REPO / "scripts" / "serve_web.py"), self.root, "--port",
                                          str(self.port), "--log", str(self.log_path)],
                                         stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
            line = _read_line(self.proc.stdout, end).strip()
            if line.startswith("http://"):
                break
            self.close()
            if time.monotonic() >= end:
                raise RuntimeError(f"serve_web.py did not start on port {self.port}")
            time.sleep(0.2)  # the port may still be held by the last run
        self.url = line
        self.port = int(line.rstrip("/").rsplit(":", 1)[1])
        _live.append(self)

    def close(self):
        if self.proc is not None:
            _end_process(self.proc, 5)
            self.proc.stdout.close()
            self.proc = None
        if self in _live:
            _live.remove(self)

    stop = close

    def failed_requests(self):
        """The log lines ('STATUS METHOD PATH') with a status of 400 or more."""
        lines = self.log_path.read_text(encoding="utf-8").splitlines() if self.log_path.exists() else []
        return [line for line in lines if line.split(" ", 1)[0].isdigit() and int(line.split(" ", 1)[0]) >= 400]


def _read_line(stream, end):
    """One line of a child's output, or what came before the deadline `end`."""
    fd, data = stream.fileno(), b""
    os.set_blocking(fd, False)
    while b"\n" not in data and time.monotonic() < end:
        try:
            chunk = os.read(fd, 256)
        except BlockingIOError:
            time.sleep(0.02)
            continue
        if not chunk:
            break
        data += chunk
    return data.split(b"\n", 1)[0].decode(errors="replace")


# --- The browser ---------------------------------------------------------------


class PageError(RuntimeError):
    """The page threw, or a navigation failed."""


class ProtocolError(RuntimeError):
    """The DevTools protocol answered a command with an error."""


_PAGE = object()  # the default session of send(): the page's
_BUTTONS = {"none": 0, "left": 1, "right": 2, "middle": 4}


class Browser:
    """Headless Chromium showing one page of WIDTH x HEIGHT CSS pixels,
    driven over one DevTools websocket."""

    def __init__(self, width=640, height=480, extra_flags=(), log_path=None, seconds=30):
        self.width, self.height = width, height
        self.profile = tempfile.mkdtemp(prefix="e2e-chromium-")
        self._ids = itertools.count(1)
        self._cond = threading.Condition()
        self._replies = {}
        self._loads = 0
        self._problems = []
        self._workers = {}  # sessionId -> (targetId, url) of attached service workers
        self._requests = {}  # (sessionId, requestId) -> (method, url)
        self._send_lock = threading.Lock()
        self._buttons = 0
        self.ws = self.proc = self.page_session = None
        self.connected = False
        _live.append(self)
        try:
            self._launch(extra_flags, log_path, seconds)
            self._connect(seconds)
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _launch(self, extra_flags, log_path, seconds):
        flags = ["--headless=new", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-quic", "--no-default-browser-check",
                 "--disable-extensions", "--password-store=basic", f"--user-data-dir={self.profile}",
                 "--remote-debugging-port=0", f"--window-size={self.width},{self.height}"]
        if os.geteuid() == 0:
            flags.append("--no-sandbox")
        err = open(log_path, "ab") if log_path else subprocess.DEVNULL
        self.proc = subprocess.Popen([CHROMIUM, *flags, *extra_flags, "about:blank"], stdin=subprocess.DEVNULL,
                                     stdout=err, stderr=err, start_new_session=True)
        if log_path:
            err.close()
        # Port 0: Chromium picks a free port and writes it to DevToolsActivePort.
        port_file = Path(self.profile) / "DevToolsActivePort"

        def port():
            if self.proc.poll() is not None:
                raise RuntimeError(f"Chromium ended at start with status {self.proc.returncode}")
            first = port_file.read_text().split("\n", 1)[0] if port_file.exists() else ""
            return int(first) if first.strip().isdigit() else None

        self.port = wait_until(port, seconds, "Chromium's DevTools port")
        if not self.port:
            raise RuntimeError("Chromium did not start")

    def _json(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}{path}", timeout=5) as r:
            return json.load(r)

    def _connect(self, seconds):
        # The first page target ("browser_ui" targets are listed too).
        page = wait_until(lambda: next((t for t in self._json("/json/list") if t.get("type") == "page"), None),
                          seconds, "a page target of Chromium")
        if not page:
            raise RuntimeError("Chromium showed no page target")
        # Chromium refuses websockets with an Origin it was not told to allow;
        # screenshots come as megabytes of base64: no per-byte UTF-8 check.
        self.ws = websocket.create_connection(self._json("/json/version")["webSocketDebuggerUrl"],
                                              timeout=seconds, suppress_origin=True, skip_utf8_validation=True)
        self.ws.settimeout(None)
        self.connected = True
        threading.Thread(target=self._read_loop, name="cdp-reader", daemon=True).start()
        self.target_id = page["id"]
        self.page_session = self.send("Target.attachToTarget", _session=None, targetId=self.target_id,
                                      flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network", "Inspector"):
            self.send(f"{domain}.enable")
        # The site's service worker reports its problems too.
        self.send("Target.setAutoAttach", _session=None, autoAttach=True, waitForDebuggerOnStart=False,
                  flatten=True, filter=[{"type": "service_worker"}])
        # Headless Chromium keeps room for a toolbar inside --window-size:
        # the contents are sized instead.
        window = self.send("Browser.getWindowForTarget", _session=None, targetId=self.target_id)["windowId"]
        self.send("Browser.setContentsSize", _session=None, windowId=window, width=self.width,
                  height=self.height)
        if not self.wait_for(f"innerWidth == {self.width} && innerHeight == {self.height}", 10, "the viewport"):
            raise RuntimeError(f"the viewport is not {self.width}x{self.height}")

    def close(self):
        """Ends Chromium and removes its profile."""
        if self in _live:
            _live.remove(self)
        if self.proc is not None:
            _end_process(self.proc, 5, group=True)
            self.proc = None
        if self.ws is not None:
            try:
                self.ws.shutdown()
            except Exception:
                pass
        with self._cond:
            self.connected = False
            self._cond.notify_all()
        shutil.rmtree(self.profile, ignore_errors=True)

    # The protocol.

    def _read_loop(self):
        try:
            while True:
                message = json.loads(self.ws.recv())
                if "id" in message:
                    with self._cond:
                        if message["id"] in self._replies:
                            self._replies[message["id"]] = message
                            self._cond.notify_all()
                else:
                    self._on_event(message.get("method"), message.get("params", {}), message.get("sessionId"))
        except Exception:
            pass  # closed, or Chromium ended
        finally:
            with self._cond:
                self.connected = False
                self._cond.notify_all()

    def _post(self, method, params, session, message_id=None):
        message = {"id": message_id or next(self._ids), "method": method, "params": params}
        if session is not None:
            message["sessionId"] = session
        with self._send_lock:
            self.ws.send(json.dumps(message))

    def send(self, method, _session=_PAGE, _timeout=30.0, **params):
        """Sends a DevTools command (to the page; with _session=None to the
        browser) and returns its result."""
        if not self.connected:
            raise ProtocolError(f"{method}: no connection to the browser")
        message_id = next(self._ids)
        end = time.monotonic() + _timeout
        with self._cond:
            self._replies[message_id] = None
        try:
            self._post(method, params, self.page_session if _session is _PAGE else _session, message_id)
            with self._cond:
                while self._replies[message_id] is None:
                    if not self.connected:
                        raise ProtocolError(f"{method}: the browser closed before replying")
                    if time.monotonic() >= end:
                        raise TimeoutError(f"{method}: no reply within {_timeout} s")
                    self._cond.wait(end - time.monotonic())
                reply = self._replies[message_id]
        finally:
            with self._cond:
                self._replies.pop(message_id, None)
        if "error" in reply:
            raise ProtocolError(f"{method}: {reply['error'].get('message')} {reply['error'].get('data', '')}")
        return reply.get("result", {})

    # What went wrong: console errors, uncaught exceptions and unhandled
    # rejections, error log entries, failed requests and HTTP errors, crashes
    # and dialogs, of the page and of its service worker.

    def _problem(self, session, text, key=None):
        where = "" if session in (None, self.page_session) else f"[worker {self._workers.get(session, ('', ''))[1]}] "
        with self._cond:
            self._problems.append((key, where + text))

    def _on_event(self, method, params, session):
        if method == "Page.loadEventFired" and session == self.page_session:
            with self._cond:
                self._loads += 1
                self._cond.notify_all()
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            args = " ".join(str(a.get("value", a.get("description", a.get("type")))) for a in params.get("args", []))
            self._problem(session, f"console.{params['type']}: {args}")
        elif method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            self._problem(session, _exception_text(details), (session, details.get("exceptionId")))
        elif method == "Runtime.exceptionRevoked":  # a rejection handled after all
            with self._cond:
                self._problems = [p for p in self._problems if p[0] != (session, params.get("exceptionId"))]
        elif method == "Log.entryAdded":
            entry = params.get("entry", {})
            # The network domain reports failed loads with their addresses.
            if entry.get("level") == "error" and not entry.get("text", "").startswith("Failed to load resource"):
                self._problem(session, f"log {entry.get('source')}: {entry.get('text')} {entry.get('url', '')}")
        elif method == "Network.requestWillBeSent":
            self._requests[(session, params.get("requestId"))] = (params["request"]["method"], params["request"]["url"])
        elif method == "Network.responseReceived" and params.get("response", {}).get("status", 0) >= 400:
            self._problem(session, f"HTTP {params['response']['status']} {params['response'].get('url')}")
        elif method == "Network.loadingFailed" and not params.get("canceled"):
            request = self._requests.get((session, params.get("requestId")), ("?", "?"))
            self._problem(session, f"request failed: {request[0]} {request[1]} ({params.get('errorText')})")
        elif method == "Target.attachedToTarget":
            child, info = params["sessionId"], params.get("targetInfo", {})
            self._workers[child] = (info.get("targetId"), info.get("url", ""))
            for domain in ("Runtime", "Log", "Network"):
                self._post(f"{domain}.enable", {}, child)
        elif method == "Inspector.targetCrashed":
            self._problem(session, "the page crashed")
        elif method == "Page.javascriptDialogOpening":
            # A dialog would block the page and every later command: accept it.
            self._post("Page.handleJavaScriptDialog", {"accept": True}, session)
            self._problem(session, f"dialog {params.get('type')}: {params.get('message')}")

    def problems(self):
        """What went wrong since the start, as texts."""
        with self._cond:
            return [text for _, text in self._problems]

    # Pages.

    def navigate(self, url, seconds=30):
        """Opens url and waits for its load event."""
        with self._cond:
            loads = self._loads
        result = self.send("Page.navigate", url=url, _timeout=seconds)
        if result.get("errorText"):
            raise PageError(f"navigation to {url} failed: {result['errorText']}")
        if not result.get("loaderId"):  # a move within the document
            return
        end = time.monotonic() + seconds
        with self._cond:
            while self._loads == loads:
                if time.monotonic() >= end or not self.connected:
                    raise PageError(f"no load event within {seconds} s after opening {url}")
                self._cond.wait(end - time.monotonic())

    def evaluate(self, expression, await_promise=False, seconds=30):
        """The value of a JavaScript expression in the page (JSON-like values;
        None for undefined); raises PageError when it throws."""
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=await_promise, _timeout=seconds)
        if "exceptionDetails" in result:
            raise PageError(_exception_text(result["exceptionDetails"]))
        return result.get("result", {}).get("value")

    def wait_for(self, expression, seconds, what):
        """Evaluates expression every 50 ms until it is truthy and returns its
        value; after `seconds` logs what it waited for and returns False. An
        exception counts as not yet (the page may still be loading)."""
        end, last_error = time.monotonic() + seconds, None
        while True:
            try:
                value = self.evaluate(expression, seconds=max(1.0, end - time.monotonic()))
                if value:
                    return value
            except (PageError, TimeoutError, ProtocolError) as e:
                last_error = e
            if time.monotonic() >= end or not self.connected:
                log(f"timed out after {seconds} s waiting for {what}" + (f" ({last_error})" if last_error else ""))
                return False
            time.sleep(0.05)

    # Input, in CSS pixels of the viewport.

    def _mouse(self, kind, x, y, button="none"):
        self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, buttons=self._buttons,
                  clickCount=0 if button == "none" else 1)

    def mouse_move(self, x, y):
        self._mouse("mouseMoved", x, y)

    def mouse_down(self, x, y, button="left"):
        self._buttons |= _BUTTONS[button]
        self._mouse("mousePressed", x, y, button)

    def mouse_up(self, x, y, button="left"):
        self._buttons &= ~_BUTTONS[button]
        self._mouse("mouseReleased", x, y, button)

    def click(self, x, y, button="left"):
        """Moves there, presses and releases."""
        self.mouse_move(x, y)
        self.mouse_down(x, y, button)
        self.mouse_up(x, y, button)

    def key(self, name):
        """Presses and releases a key: 'Escape', or a lower-case letter."""
        code, vk, text = ("Escape", 27, "") if name == "Escape" else (f"Key{name.upper()}", ord(name.upper()), name)
        down = dict(key=name, code=code, windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk)
        if text:
            down.update(text=text, unmodifiedText=text)
        self.send("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown", **down)
        self.send("Input.dispatchKeyEvent", type="keyUp", key=name, code=code, windowsVirtualKeyCode=vk,
                  nativeVirtualKeyCode=vk)

    def type_text(self, text):
        """Inserts text as an input method would (no key events)."""
        self.send("Input.insertText", text=text)

    # Pictures.

    def screenshot(self, path=None, timeout=30):
        """A PNG of the viewport (device pixels), written to path when given."""
        data = base64.b64decode(self.send("Page.captureScreenshot", format="png", _timeout=timeout)["data"])
        if path is not None:
            Path(path).write_bytes(data)
        return data

    def pixels(self):
        """(width, height, raw RGB bytes, row by row) of a screenshot."""
        png = self.screenshot()
        width, height = int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")
        raw = subprocess.run(["convert", "png:-", "-alpha", "off", "-depth", "8", "rgb:-"], input=png,
                             capture_output=True, check=True, timeout=30).stdout
        return width, height, raw


def rgb_at(width, raw, x, y):
    """The (r, g, b) of pixel x, y in raw RGB bytes of that width."""
    i = 3 * (y * width + x)
    return tuple(raw[i:i + 3])


def _exception_text(details):
    exception = details.get("exception") or {}
    what = str(exception.get("description") or exception.get("value") or "").split("\n", 1)[0]
    text = details.get("text", "exception")
    text = what if text == "Uncaught" and what else f"{text} {what}".strip()
    return f"{text} ({details['url']}:{details.get('lineNumber', 0) + 1})" if details.get("url") else text
