#!/usr/bin/python3
"""web_font.py OUTDIR SOURCE...: the web font of the browser build.

IPA P Gothic (Debian's fonts-ipafont-gothic), cut down to the printable
ASCII characters, the half-width katakana and every other character the
given sources hold (the program's texts and its page's), written as
OUTDIR/tessellane-gothic.woff2. The IPA Font
License asks a changed font to carry a name of its own: the font is named
"Tessellane Gothic". The licence and where the original comes from go
beside it in OUTDIR/LICENSE-IPA-Font.txt.
"""
import os
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
COPYRIGHT = "/usr/share/doc/fonts-ipafont-gothic/copyright"
FAMILY = "Tessellane Gothic"
ALWAYS = [chr(c) for c in range(0x20, 0x7F)] + [chr(c) for c in range(0xFF61, 0xFFA0)] + ["\u3000"]


def characters(sources):
    chars = set(ALWAYS)
    for path in sources:
        with open(path, encoding="utf-8") as f:
            chars.update(c for c in f.read() if ord(c) > 0x7F and c.isprintable())
    return "".join(sorted(chars))


def rename(font):
    """The names a browser or a font tool shows: the family's own."""
    names = {1: FAMILY, 3: FAMILY + " Regular", 4: FAMILY, 6: FAMILY.replace(" ", "") + "-Regular",
             16: FAMILY, 17: "Regular"}
    table = font["name"]
    for record in list(table.names):
        if record.nameID in names:
            table.removeNames(nameID=record.nameID)
    for name_id, text in names.items():
        table.setName(text, name_id, 3, 1, 0x409)
        table.setName(text, name_id, 1, 0, 0)


def licence_text():
    """The IPA-1 licence paragraph of Debian's copyright file, unfolded."""
    lines, inside = [], False
    with open(COPYRIGHT, encoding="utf-8") as f:
        for line in f:
            if line.rstrip() == "License: IPA-1":
                inside, lines = True, []
            elif inside and line.startswith(" "):
                text = line[1:].rstrip("\n")
                lines.append("" if text == "." else text)
            elif inside and lines:
                break
            else:
                inside = False
    if not lines:
        sys.exit(f"web_font.py: no IPA-1 licence text in {COPYRIGHT}")
    return "\n".join(lines) + "\n"


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: web_font.py OUTDIR SOURCE...")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.layout_features = ["*"]
    options.flavor = "woff2"  # with Brotli (python3-brotli)
    font = TTFont(FONT)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=characters(sys.argv[2:]))
    subsetter.subset(font)
    rename(font)
    font.flavor = options.flavor
    font.save(os.path.join(out, "tessellane-gothic.woff2"))
    with open(os.path.join(out, "LICENSE-IPA-Font.txt"), "w", encoding="utf-8") as f:
        f.write("The web font tessellane-gothic.woff2 (\"Tessellane Gothic\") is a subset of\n"
                "IPA P Gothic (ipagp.ttf, IPAfont 003.03) holding only the characters\n"
                "Tessellane shows, renamed as article 3.1 of the licence below asks of a\n"
                "Derived Program. The original font: https://moji.or.jp/ipafont/\n"
                "(also Debian's package fonts-ipafont-gothic).\n\n")
        f.write(licence_text())


if __name__ == "__main__":
    main()
