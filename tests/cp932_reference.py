#!/usr/bin/env python3
"""cp932_reference.py OUT: what the program's code page 932 conversion must
give, taken from Python's cp932 codec, for tests/codepage_test.cpp.

OUT holds records of a kind byte ('D': code page 932 bytes read as UTF-8,
'E': UTF-8 written as code page 932), then the input and the output, each as a
length byte and the bytes."""
import sys

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))


def read(data):
    return data.decode("cp932", "replace")


def tier(lead):
    """Which of a character's codes Windows writes: the lowest tier."""
    if lead in (0xED, 0xEE):
        return None  # NEC-selected IBM extensions: read, never written
    if lead == 0x87:
        return 1  # NEC row 13
    if lead >= 0xFA:
        return 2  # IBM extensions
    return 0  # JIS X 0208


def written_codes():
    codes = {}
    for b in range(0x100):
        try:
            text = bytes([b]).decode("cp932")
        except UnicodeDecodeError:
            continue
        codes[text] = (-1, bytes([b]))
    for lead in LEADS:
        if tier(lead) is None:
            continue
        for trail in TRAILS:
            code = bytes([lead, trail])
            try:
                text = code.decode("cp932")
            except UnicodeDecodeError:
                continue
            if text not in codes or (tier(lead), code) < codes[text]:
                codes[text] = (tier(lead), code)
    return {text: code for text, (_, code) in codes.items()}


def record(kind, data_in, data_out):
    return kind + bytes([len(data_in)]) + data_in + bytes([len(data_out)]) + data_out


def main(out):
    records = []
    sequences = [bytes([b]) for b in range(0x100)] + [bytes([a, b]) for a in range(0x100) for b in range(0x100)]
    for data in sequences:
        records.append(record(b"D", data, read(data).encode("utf-8")))
    codes = written_codes()
    for c in range(0x10000):
        if 0xD800 <= c <= 0xDFFF:
            continue
        records.append(record(b"E", chr(c).encode("utf-8"), codes.get(chr(c), b"?")))
    with open(out, "wb") as f:
        f.write(b"".join(records))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: cp932_reference.py OUT")
    main(sys.argv[1])
