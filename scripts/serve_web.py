#!/usr/bin/python3
"""Serves a folder over HTTP, for the web build and its tests.

  serve_web.py ROOT [--port N] [--bind ADDRESS] [--log FILE] [--header 'Name: value']...

The first line on stdout is the address to open, http://HOST:PORT/ (port 0
picks a free port, so a caller reads the port from that line). With --log
every request is appended to FILE as "STATUS METHOD PATH". Nothing else is
printed. SIGTERM or SIGINT ends the server with status 0.

Browsers need the right type for application/wasm (streaming compilation),
scripts and the web app manifest, hence the explicit table below rather than
the platform's mime database. Every response asks the browser to revalidate
(no-cache), so a rebuilt site is picked up by a plain reload.
"""
import argparse
import functools
import http.server
import signal
import socket
import sys

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".htm": "text/html; charset=utf-8",
    ".js": "text/javascript",
    ".mjs": "text/javascript",
    ".wasm": "application/wasm",
    ".css": "text/css",
    ".json": "application/json",
    ".map": "application/json",
    ".webmanifest": "application/manifest+json",
    ".png": "image/png",
    ".svg": "image/svg+xml",
    ".ico": "image/x-icon",
    ".woff2": "font/woff2",
    ".woff": "font/woff",
    ".ini": "application/octet-stream",
    ".data": "application/octet-stream",
    ".txt": "text/plain; charset=utf-8",
    ".wav": "audio/wav",
    ".ogg": "audio/ogg",
    ".mp3": "audio/mpeg",
}


class Handler(http.server.SimpleHTTPRequestHandler):
    """Static files with the types above, a request log and no chatter."""

    extensions_map = {"": "application/octet-stream", **TYPES}
    log_file = None
    extra_headers = ()

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        for name, value in self.extra_headers:
            self.send_header(name, value)
        super().end_headers()

    def log_request(self, code="-", size="-"):
        if self.log_file is not None:
            status = getattr(code, "value", code)
            self.log_file.write(f"{status} {self.command} {self.path}\n")
            self.log_file.flush()

    def log_message(self, format, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A browser that drops a connection (a reload, a closed tab) is normal.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def parse_args(argv):
    p = argparse.ArgumentParser(description="Serves a folder over HTTP.")
    p.add_argument("root", help="the folder to serve")
    p.add_argument("--port", type=int, default=8000, help="0 picks a free port (default 8000)")
    p.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    p.add_argument("--log", help="append 'STATUS METHOD PATH' for every request to this file")
    p.add_argument("--header", action="append", default=[], metavar="'NAME: VALUE'",
                   help="an extra response header (repeatable), e.g. for cross-origin isolation")
    return p.parse_args(argv)


def parse_header(text):
    name, sep, value = text.partition(":")
    if not sep or not name.strip():
        raise SystemExit(f"serve_web: bad header {text!r} (expected 'Name: value')")
    return name.strip(), value.strip()


def stop(signum, frame):
    raise SystemExit(0)


def main(argv):
    args = parse_args(argv)
    log_file = open(args.log, "a", encoding="utf-8") if args.log else None
    handler = type("SiteHandler", (Handler,), {
        "log_file": log_file,
        "extra_headers": tuple(parse_header(h) for h in args.header),
    })
    Server.address_family = socket.AF_INET6 if ":" in args.bind else socket.AF_INET
    try:
        server = Server((args.bind, args.port), functools.partial(handler, directory=args.root))
    except OSError as e:
        print(f"serve_web: cannot listen on {args.bind}:{args.port}: {e.strerror}", file=sys.stderr)
        return 1
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    host = args.bind if args.bind not in ("0.0.0.0", "::", "") else "127.0.0.1"
    if ":" in host:
        host = f"[{host}]"
    print(f"http://{host}:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        if log_file:
            log_file.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
