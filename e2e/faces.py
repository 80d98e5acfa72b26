"""Compares a Command button's face in two screenshots, outside its caption.

    faces.py A.png B.png X Y W H [X2 Y2]

A's button lies at (X, Y), B's at (X2, Y2) (default the same), both W x H.
The caption is text that each system draws with its own rasteriser, so the
band it may cover is left out: the middle rows, inset CAPTION_INSET pixels
from the left and right edges. Prints "differ N of M" (pixels of the rest
whose colours are not the same) and the first few that differ.
"""
import subprocess
import sys

CAPTION_INSET = 5  # the frame (3 rings) and two pixels of the gradient
CAPTION_ROWS = 0.25  # the band is the middle half of the rows


def rgb(path, x, y, w, h):
    data = subprocess.run(
        ["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", "rgb:-"],
        check=True, capture_output=True).stdout
    if len(data) != w * h * 3:
        sys.exit(f"faces.py: {path} has no {w}x{h} area at ({x}, {y})")
    return data


def caption_band(col, row, w, h):
    top, bottom = int(h * CAPTION_ROWS), h - int(h * CAPTION_ROWS)
    return CAPTION_INSET <= col < w - CAPTION_INSET and top <= row < bottom


def main():
    a, b = sys.argv[1], sys.argv[2]
    x, y, w, h = map(int, sys.argv[3:7])
    x2, y2 = (map(int, sys.argv[7:9]) if len(sys.argv) > 8 else (x, y))
    pa, pb = rgb(a, x, y, w, h), rgb(b, x2, y2, w, h)
    differ, compared, first = 0, 0, []
    for row in range(h):
        for col in range(w):
            if caption_band(col, row, w, h):
                continue
            i = 3 * (row * w + col)
            compared += 1
            if pa[i:i + 3] != pb[i:i + 3]:
                differ += 1
                if len(first) < 5:
                    first.append(f"({col},{row}) {pa[i:i+3].hex()} {pb[i:i+3].hex()}")
    print(f"differ {differ} of {compared}" + (": " + "; ".join(first) if first else ""))


if __name__ == "__main__":
    main()
