#!/usr/bin/env python3
"""to_cp932.py IN OUT: rewrites a UTF-8 text file as code page 932 with CRLF
line ends, what Notepad on a Japanese Windows opens without asking.

A character code page 932 cannot hold stops the build instead of turning
into a question mark in the file users read."""
import os
import sys


def main(src, dst):
    with open(src, encoding="utf-8", newline="") as f:
        text = f.read()
    text = text.replace("\r\n", "\n").replace("\r", "\n").replace("\n", "\r\n")
    try:
        data = text.encode("cp932")
    except UnicodeEncodeError as e:
        line = text.count("\n", 0, e.start) + 1
        sys.exit(f"{src}:{line}: {text[e.start:e.end]!r} has no code page 932 form")
    tmp = dst + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, dst)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: to_cp932.py IN OUT")
    main(sys.argv[1], sys.argv[2])
