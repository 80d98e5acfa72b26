#!/usr/bin/env python3
"""cp932_reference.py OUT: what the program's code page 932 conversion must
give, taken from Python's cp932 codec, for tests/codepage_test.cpp: every
sequence read, and every character written that has one code only.

OUT holds records of a kind byte ('D': code page 932 bytes read as UTF-8,
'E': UTF-8 written as code page 932), then the input and the output, each as a
length byte and the bytes."""
import sys

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))


def read(data):
    return data.decode("cp932", "replace")


def codes_of_characters():
    """Every code each character is read from (one byte or a pair)."""
    codes = {}
    for data in [bytes([b]) for b in range(0x100)] + [bytes([a, b]) for a in LEADS for b in TRAILS]:
        try:
            text = data.decode("cp932")
        except UnicodeDecodeError:
            continue
        if len(text) == 1:
            codes.setdefault(text, []).append(data)
    return codes


def written(c, codes):
    """What Windows writes for a character read from one code only: Python's
    encoder agrees there. Characters read from several codes (NEC row 13,
    the IBM extensions and their NEC-selected copies) are left to the
    examples of Windows' own choices in the test: Python's choice among them
    is not Windows' (U+2170 is FA40 on Windows, EEEF in Python)."""
    if len(codes.get(c, [])) > 1:
        return None
    try:
        code = c.encode("cp932")
    except UnicodeEncodeError:
        return b"?"
    # Python also writes a few look-alikes (U+00A5 YEN SIGN as a backslash's
    # code, U+301C as the full-width tilde's): without best fit, '?'.
    return code if code.decode("cp932") == c else b"?"


def record(kind, data_in, data_out):
    return kind + bytes([len(data_in)]) + data_in + bytes([len(data_out)]) + data_out


def main(out):
    records = []
    sequences = [bytes([b]) for b in range(0x100)] + [bytes([a, b]) for a in range(0x100) for b in range(0x100)]
    for data in sequences:
        records.append(record(b"D", data, read(data).encode("utf-8")))
    codes = codes_of_characters()
    for c in range(0x10000):
        if 0xD800 <= c <= 0xDFFF:
            continue
        code = written(chr(c), codes)
        if code is not None:
            records.append(record(b"E", chr(c).encode("utf-8"), code))
    with open(out, "wb") as f:
        f.write(b"".join(records))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: cp932_reference.py OUT")
    main(sys.argv[1])
