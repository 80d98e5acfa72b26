"""The library of the web end-to-end tests (e2e/web/test_*.py).

  Suite    PASS/FAIL counting, cases with time limits, the work folder and
           the evidence of a failure, as e2e/harness.sh does for the bash tests.
  Server   scripts/serve_web.py as a child process on a free port.
  Browser  headless Chromium driven over the DevTools protocol: one websocket,
           a reader thread, input, screenshots and the problems the page (and
           its workers) reported.

Every wait here is bounded: a hung page or browser fails a check, it never
stalls the suite. Scripts run with /usr/bin/python3 (it has `websocket`).
"""
import atexit
import base64
import collections
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
_live_lock = threading.Lock()


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


def _register(thing):
    with _live_lock:
        _live.append(thing)


def _unregister(thing):
    with _live_lock:
        if thing in _live:
            _live.remove(thing)


def _newest_browser():
    with _live_lock:
        browsers = [t for t in _live if isinstance(t, Browser) and t.is_up()]
    return browsers[-1] if browsers else None


def close_all():
    """Ends every browser and server of this script, newest first."""
    with _live_lock:
        things = list(reversed(_live))
    for thing in things:
        try:
            thing.close()
        except Exception as e:  # one failure must not keep the rest running
            print(f"e2e: at exit, closing {thing!r} failed: {e}", file=sys.stderr)


atexit.register(close_all)


# --- Counting --------------------------------------------------------------------


class _Case:
    """What Suite.case returns: used in a `with` block, an exception in the
    block fails the case and the script goes on with the next one."""

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
        self.case_name, self.case_limit = "", 0
        self.case_t0 = time.monotonic()
        self.figures = []
        self.ended = False
        self._exit_functions = []
        self._watchdog = None
        # Reentrant: the watchdog keeps it to the end, so the script's own
        # checks wait instead of printing over the time-out report.
        self._lock = threading.RLock()
        self._signal_status = 0
        atexit.register(self._at_exit)
        signal.signal(signal.SIGTERM, self._on_signal)
        signal.signal(signal.SIGHUP, self._on_signal)

    def _on_signal(self, signum, frame):
        # Ends the script through its exit handlers, as the shell's 128 + N.
        self._signal_status = 128 + signum
        sys.exit(self._signal_status)

    # Cases and their time limits.

    def case(self, name, seconds=180):
        """Starts the case NAME with its own time limit: a case still running
        after `seconds` fails by name and ends the script (status 1)."""
        with self._lock:
            self._stop_watchdog()
            self.case_name, self.case_limit = name, seconds
            self.case_t0 = time.monotonic()
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
        self._lock.acquire()  # kept to the end: the process ends here
        if self.ended or self._watchdog is not timer:
            self._lock.release()  # the case ended while this timer fired
            return
        self._watchdog = None
        self.fail(f"TIMEOUT: case '{self.case_name}' ran longer than {self.case_limit} s")
        self._cleanup()
        self._summary()
        os._exit(1)

    # Results.

    def log(self, text):
        """A note under the current case."""
        with self._lock:
            log(text)

    def figure(self, name, value):
        """A measured figure of the current case; a failure lists them all."""
        self.figures.append(f"{name}={value}")

    def passes(self, description):
        """Counts a passed check."""
        with self._lock:
            self.passed += 1
            print(f"PASS: {description}", flush=True)

    def fail(self, description, evidence=""):
        """Counts a failed check and prints what shows what happened."""
        with self._lock:
            self.failed += 1
            print(f"FAIL: {description} [{self._evidence(evidence)}]", flush=True)

    def check(self, description, condition, evidence=""):
        """PASS when condition is truthy; returns it as a bool."""
        if condition:
            self.passes(description)
        else:
            self.fail(description, evidence)
        return bool(condition)

    def check_eq(self, description, expected, actual):
        """PASS when actual == expected."""
        if expected == actual:
            self.passes(description)
            return True
        self.fail(f"{description} (expected {expected!r}, got {actual!r})")
        return False

    def _evidence(self, evidence):
        parts = [str(evidence)] if evidence not in ("", None) else []
        shot = self._failure_screenshot()
        if shot:
            parts.append(f"screenshot {shot}")
        parts.append(f"figures: {', '.join(self.figures) or 'none'}")
        parts.append(f"{time.monotonic() - self.case_t0:.0f} s into case '{self.case_name}'")
        return "; ".join(parts)

    def _failure_screenshot(self):
        browser = _newest_browser()
        if browser is None:
            return None
        path = self.work / "failures" / f"{self.failed}.png"
        try:
            path.parent.mkdir(exist_ok=True)
            browser.screenshot(path, timeout=10)
        except Exception:
            return None
        return path

    # The end.

    def on_exit(self, function):
        """A function the end of the script runs first, while the browsers
        and servers are still up."""
        self._exit_functions.append(function)

    def _cleanup(self):
        functions, self._exit_functions = self._exit_functions, []
        for function in functions:
            try:
                function()
            except Exception as e:
                print(f"e2e: at exit, {function!r} failed: {e}", file=sys.stderr)
        close_all()

    def _summary(self):
        self.ended = True
        print(f"== {self.name}: {self.passed} checks passed, {self.failed} failed", flush=True)

    def end(self):
        """Summary line; exits 1 when anything failed, else 0."""
        with self._lock:
            self._stop_watchdog()
            self._cleanup()
            self._summary()
        sys.exit(1 if self.failed else 0)

    def _at_exit(self):
        # The script ended without end() (an exception, a signal).
        if self.ended:
            return
        self._stop_watchdog()
        self.fail(f"the script ended in case '{self.case_name}' before its end")
        self._cleanup()
        self._summary()
        sys.stdout.flush()
        os._exit(self._signal_status or 1)


# --- The server ----------------------------------------------------------------


class Server:
    """scripts/serve_web.py serving ROOT, logging to LOG_PATH; the first start
    takes a free port, later starts take the same one."""

    def __init__(self, root, log_path, seconds=15):
        self.root, self.log_path = str(root), Path(log_path)
        self.port, self.url, self.proc = 0, None, None
        self.seconds = seconds
        self.start()

    def __repr__(self):
        return f"Server({self.url})"

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        """Starts the server (again, on the same port); no-op when it runs."""
        if self.proc is not None and self.proc.poll() is None:
            return
        end = time.monotonic() + self.seconds
        while True:
            line = self._spawn(end)
            if line.startswith("http://"):
                break
            self._reap()
            if time.monotonic() >= end:
                raise RuntimeError(f"serve_web.py did not start on port {self.port}")
            time.sleep(0.2)  # the port may still be held by the last run
        self.url = line
        self.port = int(line.rstrip("/").rsplit(":", 1)[1])
        _register(self)

    def _spawn(self, end):
        cmd = [PYTHON, str(REPO / "scripts" / "serve_web.py"), self.root,
               "--port", str(self.port), "--log", str(self.log_path)]
        self.proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        return _read_line(self.proc.stdout, end).strip()

    def stop(self):
        """Ends the server (SIGTERM, SIGKILL after 5 s)."""
        self._reap()
        _unregister(self)

    close = stop

    def _reap(self):
        if self.proc is None:
            return
        _end_process(self.proc, 5)
        self.proc.stdout.close()
        self.proc = None

    def is_up(self):
        return self.proc is not None and self.proc.poll() is None

    def requests(self):
        """The log lines so far: 'STATUS METHOD PATH'."""
        try:
            return self.log_path.read_text(encoding="utf-8").splitlines()
        except FileNotFoundError:
            return []

    def failed_requests(self):
        """The log lines with a status of 400 or more."""
        return [line for line in self.requests()
                if line.split(" ", 1)[0].isdigit() and int(line.split(" ", 1)[0]) >= 400]


def _read_line(stream, end):
    """One line of a child's output, or what came before `end` (a deadline)."""
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


def _end_process(proc, seconds, group=False):
    """Ends a child we started: SIGTERM, then SIGKILL after `seconds`."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(seconds)
        except subprocess.TimeoutExpired:
            proc.kill()
    if group:
        # Chromium's helpers live in its own process group; none may outlive it.
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        pass


# --- The browser ---------------------------------------------------------------


class PageError(RuntimeError):
    """The page threw, or a navigation failed."""


class ProtocolError(RuntimeError):
    """The DevTools protocol answered a command with an error."""


_PAGE = object()  # the default session of send(): the page's

# key name: (code, windowsVirtualKeyCode, text)
_KEYS = {
    "Escape": ("Escape", 27, ""), "Enter": ("Enter", 13, "\r"), "Tab": ("Tab", 9, ""),
    "Backspace": ("Backspace", 8, ""), "Delete": ("Delete", 46, ""),
    "Insert": ("Insert", 45, ""), " ": ("Space", 32, " "),
    "ArrowLeft": ("ArrowLeft", 37, ""), "ArrowUp": ("ArrowUp", 38, ""),
    "ArrowRight": ("ArrowRight", 39, ""), "ArrowDown": ("ArrowDown", 40, ""),
    "Home": ("Home", 36, ""), "End": ("End", 35, ""),
    "PageUp": ("PageUp", 33, ""), "PageDown": ("PageDown", 34, ""),
    "Shift": ("ShiftLeft", 16, ""), "Control": ("ControlLeft", 17, ""),
    "Alt": ("AltLeft", 18, ""), "Meta": ("MetaLeft", 91, ""),
    **{f"F{n}": (f"F{n}", 111 + n, "") for n in range(1, 13)},
}
# Printable keys of a US keyboard other than letters and digits:
# character: (code, windowsVirtualKeyCode, needs shift)
_PUNCTUATION = {}
for _plain, _shifted, _code, _vk in (
        ("-", "_", "Minus", 189), ("=", "+", "Equal", 187), (",", "<", "Comma", 188),
        (".", ">", "Period", 190), ("/", "?", "Slash", 191), (";", ":", "Semicolon", 186),
        ("'", '"', "Quote", 222), ("[", "{", "BracketLeft", 219),
        ("]", "}", "BracketRight", 221), ("\\", "|", "Backslash", 220),
        ("`", "~", "Backquote", 192)):
    _PUNCTUATION[_plain] = (_code, _vk, False)
    _PUNCTUATION[_shifted] = (_code, _vk, True)
for _digit, _shifted in zip("1234567890", "!@#$%^&*()"):
    _PUNCTUATION[_shifted] = (f"Digit{_digit}", ord(_digit), True)
SHIFT = 8  # the modifiers bit of Shift (Alt 1, Control 2, Meta 4)


def key_info(name):
    """(code, windowsVirtualKeyCode, text, modifiers) of a key name as in
    KeyboardEvent.key: 'Escape', 'ArrowLeft', 'a', 'A', '?', ..."""
    if name in _KEYS:
        return (*_KEYS[name], 0)
    if len(name) == 1 and name.isascii() and name.isalpha():
        return f"Key{name.upper()}", ord(name.upper()), name, SHIFT if name.isupper() else 0
    if len(name) == 1 and name.isdigit():
        return f"Digit{name}", ord(name), name, 0
    if name in _PUNCTUATION:
        code, vk, shifted = _PUNCTUATION[name]
        return code, vk, name, SHIFT if shifted else 0
    raise ValueError(f"unknown key {name!r}")


_MOUSE_BUTTONS = {"none": 0, "left": 1, "right": 2, "middle": 4, "back": 8, "forward": 16}


class Browser:
    """Headless Chromium showing one page of WIDTH x HEIGHT CSS pixels,
    driven over one DevTools websocket."""

    def __init__(self, width=640, height=480, extra_flags=(), log_path=None, seconds=30):
        self.width, self.height = width, height
        self.profile = tempfile.mkdtemp(prefix="e2e-chromium-")
        self._ids = itertools.count(1)
        self._cond = threading.Condition()
        self._replies = {}
        self._events = collections.deque(maxlen=20000)
        self._seq = 0
        self._problems = []
        self._sessions = {}  # sessionId -> (targetId, type, url) of attached workers
        self._requests = {}  # (sessionId, requestId) -> (method, url)
        self._send_lock = threading.Lock()
        self._buttons = 0
        self.ws = self.proc = self.page_session = self.port = None
        self.connected = False
        self._closed = False
        _register(self)
        try:
            self._launch(extra_flags, log_path, seconds)
            self._connect(seconds)
            self._attach()
        except BaseException:
            self.close()
            raise

    def __repr__(self):
        return f"Browser(pid={self.proc.pid if self.proc else None})"

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # Start and end.

    def _launch(self, extra_flags, log_path, seconds):
        flags = ["--headless=new", "--disable-gpu", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--disable-quic", "--no-default-browser-check",
                 "--disable-extensions", "--password-store=basic",
                 f"--user-data-dir={self.profile}", "--remote-debugging-port=0",
                 f"--window-size={self.width},{self.height}"]
        if os.geteuid() == 0:
            flags.append("--no-sandbox")
        err = open(log_path, "ab") if log_path else subprocess.DEVNULL
        try:
            self.proc = subprocess.Popen([CHROMIUM, *flags, *extra_flags, "about:blank"],
                                         stdin=subprocess.DEVNULL, stdout=err, stderr=err,
                                         start_new_session=True)
        finally:
            if log_path:
                err.close()
        # Port 0: Chromium picks a free port and writes it to DevToolsActivePort.
        port_file = Path(self.profile) / "DevToolsActivePort"
        if not wait_until(lambda: self._port_from(port_file), seconds, "Chromium's DevTools port"):
            raise RuntimeError(f"Chromium did not start (exit status {self.proc.poll()})")

    def _port_from(self, port_file):
        if self.proc.poll() is not None:
            raise RuntimeError(f"Chromium ended at start with status {self.proc.returncode}")
        try:
            first = port_file.read_text().split("\n", 1)[0].strip()
        except FileNotFoundError:
            return None
        if first.isdigit():
            self.port = int(first)
            return True
        return None

    def _http_json(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}{path}", timeout=5) as r:
            return json.load(r)

    def _first_page(self):
        try:
            pages = [t for t in self._http_json("/json/list") if t.get("type") == "page"]
        except OSError:
            return None
        return pages[0] if pages else None

    def _connect(self, seconds):
        page = wait_until(self._first_page, seconds, "a page target of Chromium")
        if not page:
            raise RuntimeError("Chromium showed no page target")
        ws_url = self._http_json("/json/version")["webSocketDebuggerUrl"]
        # Chromium refuses websockets that carry an Origin it was not told to allow.
        # Screenshots come as megabytes of base64: no per-byte UTF-8 check.
        self.ws = websocket.create_connection(ws_url, timeout=seconds, suppress_origin=True,
                                              skip_utf8_validation=True, enable_multithread=True)
        self.ws.settimeout(None)
        self.connected = True
        self._reader = threading.Thread(target=self._read_loop, name="cdp-reader", daemon=True)
        self._reader.start()
        self.target_id = page["id"]

    def _attach(self):
        reply = self.send("Target.attachToTarget", _session=None,
                          targetId=self.target_id, flatten=True)
        self.page_session = reply["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network", "Inspector"):
            self.send(f"{domain}.enable")
        # Dedicated workers and frames of the page, and service workers of any page.
        self.send("Target.setAutoAttach", autoAttach=True, waitForDebuggerOnStart=False,
                  flatten=True)
        self.send("Target.setAutoAttach", _session=None, autoAttach=True,
                  waitForDebuggerOnStart=False, flatten=True,
                  filter=[{"type": "service_worker"}, {"type": "shared_worker"}])
        self._fit_window()

    def _fit_window(self):
        # Headless Chromium keeps room for a toolbar inside --window-size, so
        # the viewport would be shorter than asked: size the contents instead.
        size = f"innerWidth == {self.width} && innerHeight == {self.height}"
        try:
            window = self.send("Browser.getWindowForTarget", _session=None,
                               targetId=self.target_id)["windowId"]
            self.send("Browser.setContentsSize", _session=None, windowId=window,
                      width=self.width, height=self.height)
        except ProtocolError:  # a Chromium without it: emulate the size
            self.send("Emulation.setDeviceMetricsOverride", width=self.width,
                      height=self.height, deviceScaleFactor=0, mobile=False)
        if not self.wait_for(size, 10, f"a viewport of {self.width}x{self.height}"):
            raise RuntimeError(f"the viewport is not {self.width}x{self.height}")

    def is_up(self):
        """True while Chromium runs and its websocket is open."""
        return self.connected and self.proc is not None and self.proc.poll() is None

    def close(self):
        """Ends Chromium (SIGTERM, SIGKILL after 5 s) and removes its profile."""
        if self._closed:
            return
        self._closed = True
        _unregister(self)
        if self.proc is not None:
            _end_process(self.proc, 5, group=True)
        if self.ws is not None:
            try:
                self.ws.shutdown()
            except Exception:
                pass
        with self._cond:
            self._cond.notify_all()
        shutil.rmtree(self.profile, ignore_errors=True)

    # The protocol.

    def _read_loop(self):
        try:
            while True:
                message = json.loads(self.ws.recv())
                if "id" in message:
                    with self._cond:
                        if message["id"] in self._replies:  # awaited by send()
                            self._replies[message["id"]] = message
                            self._cond.notify_all()
                else:
                    self._on_event(message)
        except Exception:
            pass  # closed, or Chromium ended
        finally:
            with self._cond:
                self.connected = False
                self._cond.notify_all()

    def _post(self, method, params, session, message_id=None):
        """Sends a command; nobody waits for its reply unless send() does."""
        message_id = message_id or next(self._ids)
        message = {"id": message_id, "method": method, "params": params}
        if session is not None:
            message["sessionId"] = session
        with self._send_lock:
            self.ws.send(json.dumps(message))

    def send(self, method, _session=_PAGE, _timeout=30.0, **params):
        """Sends a DevTools command (to the page unless _session says
        otherwise, None for the browser) and returns its result."""
        if not self.connected:
            raise ProtocolError(f"{method}: no connection to the browser")
        session = self.page_session if _session is _PAGE else _session
        message_id = next(self._ids)
        with self._cond:
            self._replies[message_id] = None
        try:
            self._post(method, params, session, message_id)
            reply = self._reply(method, message_id, _timeout)
        finally:
            with self._cond:
                self._replies.pop(message_id, None)
        if "error" in reply:
            error = reply["error"]
            raise ProtocolError(f"{method}: {error.get('message')} {error.get('data', '')}".strip())
        return reply.get("result", {})

    def _reply(self, method, message_id, seconds):
        end = time.monotonic() + seconds
        with self._cond:
            while self._replies[message_id] is None:
                left = end - time.monotonic()
                if not self.connected:
                    raise ProtocolError(f"{method}: the browser closed before replying")
                if left <= 0:
                    raise TimeoutError(f"{method}: no reply within {seconds} s")
                self._cond.wait(left)
            return self._replies[message_id]

    # Events.

    def _on_event(self, message):
        with self._cond:
            self._seq += 1
            message["seq"] = self._seq
            self._events.append(message)
            self._cond.notify_all()
        handler = _HANDLERS.get(message.get("method"))
        if handler is not None:
            try:
                handler(self, message.get("params", {}), message.get("sessionId"))
            except Exception as e:  # a surprising event must not stop the reader
                self._problem(f"e2e: could not read {message.get('method')}: {e}")

    def mark(self):
        """The number of events so far, for wait_event(after=...)."""
        with self._cond:
            return self._seq

    def events(self, method=None):
        """The kept events (the newest 20000), of one method or all:
        dicts with method, params, sessionId."""
        with self._cond:
            return [e for e in self._events if method is None or e["method"] == method]

    def wait_event(self, method, seconds=30, after=0, session=_PAGE):
        """The params of the first event METHOD after the mark `after` (of the
        page unless session says otherwise, None for any), or None at the bound."""
        session = self.page_session if session is _PAGE else session
        end = time.monotonic() + seconds
        with self._cond:
            while True:
                for e in self._events:
                    if (e["seq"] > after and e["method"] == method
                            and (session is None or e.get("sessionId") == session)):
                        return e.get("params", {})
                left = end - time.monotonic()
                if not self.connected or left <= 0:
                    return None
                self._cond.wait(left)

    # Problems.

    def _problem(self, text, key=None):
        with self._cond:
            self._problems.append((key, text))

    def _where(self, session):
        if session is None or session == self.page_session:
            return ""
        kind, url = self._sessions.get(session, (None, "worker", ""))[1:]
        return f"[{kind} {url}] "

    def problems(self):
        """What went wrong since the start (or clear_problems): console
        errors and failed assertions, uncaught exceptions and unhandled
        rejections, error log entries, failed requests and HTTP errors, page
        crashes and dialogs, of the page and of its workers."""
        with self._cond:
            return [text for _, text in self._problems]

    def clear_problems(self):
        """Forgets the problems seen so far."""
        with self._cond:
            self._problems.clear()

    # Pages.

    def navigate(self, url, seconds=30):
        """Opens url and waits for its load event."""
        mark = self.mark()
        result = self.send("Page.navigate", url=url, _timeout=seconds)
        if result.get("errorText"):
            raise PageError(f"navigation to {url} failed: {result['errorText']}")
        if result.get("loaderId"):  # none for a move within the document
            self._wait_load(mark, seconds, url)

    def reload(self, ignore_cache=False, seconds=30):
        """Reloads the page and waits for its load event."""
        mark = self.mark()
        self.send("Page.reload", ignoreCache=ignore_cache, _timeout=seconds)
        self._wait_load(mark, seconds, "the reload")

    def _wait_load(self, mark, seconds, what):
        if self.wait_event("Page.loadEventFired", seconds, after=mark) is None:
            raise PageError(f"no load event within {seconds} s after opening {what}")

    def evaluate(self, expression, await_promise=False, user_gesture=False, seconds=30):
        """The value of a JavaScript expression in the page (JSON-like values;
        None for undefined); raises PageError when it throws."""
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=await_promise, userGesture=user_gesture,
                           _timeout=seconds)
        if "exceptionDetails" in result:
            raise PageError(_exception_text(result["exceptionDetails"]))
        return result.get("result", {}).get("value")

    def wait_for(self, expression, seconds, what):
        """Evaluates expression every 50 ms until it is truthy and returns its
        value; after `seconds` logs what it waited for and returns False.
        An exception counts as not yet (the page may still be loading)."""
        end = time.monotonic() + seconds
        last_error = None
        while True:
            try:
                value = self.evaluate(expression, seconds=max(1.0, end - time.monotonic()))
                if value:
                    return value
            except (PageError, TimeoutError, ProtocolError) as e:
                last_error = e
            if time.monotonic() >= end or not self.connected:
                note = f" (last error: {last_error})" if last_error else ""
                log(f"timed out after {seconds} s waiting for {what}{note}")
                return False
            time.sleep(0.05)

    # Input, in CSS pixels of the viewport.

    def _mouse(self, kind, x, y, button="none", clicks=0):
        self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                  buttons=self._buttons, clickCount=clicks)

    def mouse_move(self, x, y):
        """Moves the mouse (dragging with the buttons held)."""
        self._mouse("mouseMoved", x, y)

    def mouse_down(self, x, y, button="left", clicks=1):
        """Presses a mouse button: left, right, middle."""
        self._buttons |= _MOUSE_BUTTONS[button]
        self._mouse("mousePressed", x, y, button, clicks)

    def mouse_up(self, x, y, button="left", clicks=1):
        """Releases a mouse button."""
        self._buttons &= ~_MOUSE_BUTTONS[button]
        self._mouse("mouseReleased", x, y, button, clicks)

    def click(self, x, y, button="left"):
        """Moves there, presses and releases."""
        self.mouse_move(x, y)
        self.mouse_down(x, y, button)
        self.mouse_up(x, y, button)

    def key_down(self, name, modifiers=0):
        """Presses a key named as KeyboardEvent.key ('Escape', 'a', ' ')."""
        code, vk, text, implied = key_info(name)
        params = dict(key=name, code=code, windowsVirtualKeyCode=vk,
                      nativeVirtualKeyCode=vk, modifiers=modifiers | implied)
        if text:
            params.update(text=text, unmodifiedText=text)
        self.send("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown", **params)

    def key_up(self, name, modifiers=0):
        """Releases a key."""
        code, vk, _, implied = key_info(name)
        self.send("Input.dispatchKeyEvent", type="keyUp", key=name, code=code,
                  windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk,
                  modifiers=modifiers | implied)

    def key(self, name, modifiers=0):
        """Presses and releases a key; modifiers: Alt 1, Control 2, Meta 4, Shift 8."""
        self.key_down(name, modifiers)
        self.key_up(name, modifiers)

    def type_text(self, text):
        """Inserts text as an input method would (no key events)."""
        self.send("Input.insertText", text=text)

    # Pictures.

    def screenshot(self, path=None, timeout=30):
        """A PNG of the viewport (device pixels), written to path when given;
        returns the PNG bytes."""
        data = base64.b64decode(self.send("Page.captureScreenshot", format="png",
                                          _timeout=timeout)["data"])
        if path is not None:
            Path(path).write_bytes(data)
        return data

    def pixels(self):
        """(width, height, raw RGB bytes, row by row) of a screenshot."""
        png = self.screenshot()
        width = int.from_bytes(png[16:20], "big")  # from the IHDR chunk
        height = int.from_bytes(png[20:24], "big")
        raw = subprocess.run(["convert", "png:-", "-alpha", "off", "-depth", "8", "rgb:-"],
                             input=png, capture_output=True, check=True, timeout=30).stdout
        if len(raw) != width * height * 3:
            raise RuntimeError(f"screenshot: {len(raw)} bytes of pixels for {width}x{height}")
        return width, height, raw

    def set_device_scale(self, factor):
        """Shows the page at `factor` device pixels per CSS pixel, same size."""
        self.send("Emulation.setDeviceMetricsOverride", width=self.width, height=self.height,
                  deviceScaleFactor=factor, mobile=False)


def rgb_at(width, raw, x, y):
    """The (r, g, b) of pixel x, y in raw RGB bytes of that width."""
    i = 3 * (y * width + x)
    return tuple(raw[i:i + 3])


# --- Event handlers: what counts as a problem ----------------------------------


def _exception_text(details):
    exception = details.get("exception") or {}
    what = exception.get("description") or exception.get("value")
    text = details.get("text", "exception")
    if what is not None:
        first = str(what).split("\n", 1)[0]
        text = first if text == "Uncaught" else f"{text} {first}"
    if not details.get("url"):
        return text  # code the test evaluated has no address
    line, column = details.get("lineNumber", 0) + 1, details.get("columnNumber", 0) + 1
    return f"{text} ({details['url']}:{line}:{column})"


def _remote_text(obj):
    for field in ("value", "unserializableValue", "description"):
        if field in obj:
            return str(obj[field])
    return obj.get("type", "?")


def _on_console(browser, params, session):
    if params.get("type") not in ("error", "assert"):
        return
    text = " ".join(_remote_text(a) for a in params.get("args", []))
    frame = ((params.get("stackTrace") or {}).get("callFrames") or [{}])[0]
    where = f" ({frame['url']}:{frame.get('lineNumber', 0) + 1})" if frame.get("url") else ""
    browser._problem(f"{browser._where(session)}console.{params['type']}: {text}{where}")


def _on_exception(browser, params, session):
    details = params.get("exceptionDetails", {})
    key = (session, details.get("exceptionId"))
    browser._problem(f"{browser._where(session)}{_exception_text(details)}", key)


def _on_exception_revoked(browser, params, session):
    # A rejection handled after all (a late .catch) was no fault.
    key = (session, params.get("exceptionId"))
    with browser._cond:
        browser._problems = [p for p in browser._problems if p[0] != key]


def _on_log(browser, params, session):
    entry = params.get("entry", {})
    if entry.get("level") != "error":
        return
    # The network domain reports the same failed loads with their addresses.
    text, source = entry.get("text", ""), entry.get("source")
    if source == "network" and text.startswith("Failed to load resource"):
        return
    url = f" ({entry['url']})" if entry.get("url") else ""
    browser._problem(f"{browser._where(session)}log {source}: {text}{url}")


def _on_request(browser, params, session):
    request = params.get("request", {})
    key = (session, params.get("requestId"))
    browser._requests[key] = (request.get("method"), request.get("url"))


def _on_response(browser, params, session):
    response = params.get("response", {})
    if response.get("status", 0) >= 400:
        method, _ = browser._requests.get((session, params.get("requestId")), ("GET", ""))
        browser._problem(f"{browser._where(session)}HTTP {response['status']} "
                         f"{method} {response.get('url')}")


def _on_loading_failed(browser, params, session):
    if params.get("canceled"):
        return  # given up by the page itself (navigated away, aborted)
    method, url = browser._requests.get((session, params.get("requestId")), ("?", "?"))
    reason = params.get("blockedReason") or params.get("corsErrorStatus", {}).get("corsError")
    extra = f", {reason}" if reason else ""
    browser._problem(f"{browser._where(session)}request failed: {method} {url} "
                     f"({params.get('errorText')}{extra})")


def _on_attached(browser, params, session):
    info = params.get("targetInfo", {})
    child = params["sessionId"]
    if info.get("type") == "page":
        return  # the page's own session (attachToTarget reports it too)
    if info.get("targetId") in {t for t, _, _ in browser._sessions.values()}:
        # Reached from both the page and the browser: one session is enough.
        browser._post("Target.detachFromTarget", {"sessionId": child}, session)
        return
    browser._sessions[child] = (info.get("targetId"), info.get("type", "worker"),
                                info.get("url", ""))
    for domain in ("Runtime", "Log", "Network"):
        browser._post(f"{domain}.enable", {}, child)
    browser._post("Runtime.runIfWaitingForDebugger", {}, child)


def _on_detached(browser, params, session):
    browser._sessions.pop(params.get("sessionId"), None)


def _on_crash(browser, params, session):
    browser._problem(f"{browser._where(session)}the page crashed")


def _on_dialog(browser, params, session):
    # A dialog would block the page and every later command: accept it.
    browser._post("Page.handleJavaScriptDialog", {"accept": True}, session)
    if params.get("type") != "beforeunload":
        browser._problem(f"dialog {params.get('type')}: {params.get('message')}")


_HANDLERS = {
    "Runtime.consoleAPICalled": _on_console,
    "Runtime.exceptionThrown": _on_exception,
    "Runtime.exceptionRevoked": _on_exception_revoked,
    "Log.entryAdded": _on_log,
    "Network.requestWillBeSent": _on_request,
    "Network.responseReceived": _on_response,
    "Network.loadingFailed": _on_loading_failed,
    "Target.attachedToTarget": _on_attached,
    "Target.detachedFromTarget": _on_detached,
    "Inspector.targetCrashed": _on_crash,
    "Page.javascriptDialogOpening": _on_dialog,
}
