#!/usr/bin/env bash
# Builds the release ZIP (the windows preset's "package" target) and checks
# what a user downloads: exactly tessellane.scr and readme.txt at the top of
# the ZIP; the saver byte for byte the built one, stripped, with its debug
# information beside it in the build folder; readme.txt in code page 932 with
# CRLF line ends, naming the version; and in the saver's resources the name the
# screen-saver list shows (string 1) and the version of the project() line.
# Prints the saver's size. Exits non-zero when a check fails.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$REPO"
BUILD="$REPO/build/windows"

# The version is read from where it is stated, not from the build.
version="$(sed -n 's/^project(Tessellane VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "FAIL: no VERSION in the project() line of CMakeLists.txt"; exit 1; }
echo "project version: $version"

rm -f "$BUILD/tessellane-$version-win64.zip"
cmake --build --preset windows --target package

python3 - "$BUILD" "$version" <<'PY'
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

build, version = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)
    return ok


def finish():
    print(f"{len(failures)} package check(s) failed" if failures else "all package checks passed")
    sys.exit(1 if failures else 0)


scr_path = os.path.join(build, "tessellane.scr")
zip_path = os.path.join(build, f"tessellane-{version}-win64.zip")
if not check(os.path.isfile(zip_path), f"{os.path.basename(zip_path)} made by the package target"):
    finish()

with zipfile.ZipFile(zip_path) as z:
    names = sorted(z.namelist())
    check(names == ["readme.txt", "tessellane.scr"],
          f"the ZIP holds exactly readme.txt and tessellane.scr at its top (holds {names})")
    readme = z.read("readme.txt") if "readme.txt" in names else b""
    shipped = z.read("tessellane.scr") if "tessellane.scr" in names else b""

# --- readme.txt ---
try:
    text = readme.decode("cp932")
    check(True, "readme.txt decodes as code page 932")
except UnicodeDecodeError as e:
    text = ""
    check(False, f"readme.txt decodes as code page 932 ({e})")
# No code page 932 trail byte is CR or LF, so the bytes can be checked directly.
lines = readme.count(b"\r\n")
bare_lf, bare_cr = readme.count(b"\n") - lines, readme.count(b"\r") - lines
check(lines > 0 and bare_lf == 0 and bare_cr == 0,
      f"readme.txt has CRLF line ends only ({lines} CRLF, {bare_lf} bare LF, {bare_cr} bare CR)")
check(readme.endswith(b"\r\n"), "readme.txt ends with a line end")
check(f"バージョン {version}" in text, f"readme.txt names version {version}")
for word in ["テセレーン", "インストール", "アンインストール", "テセレーン.ini", "VirtualStore",
             "MP3", "WAV", "音楽CD", "矢印キー"]:
    check(word in text, f"readme.txt tells about {word}")

# --- the saver ---
with open(scr_path, "rb") as f:
    built = f.read()
check(shipped == built, "tessellane.scr in the ZIP is byte-identical to build/windows/tessellane.scr")
print(f"size of tessellane.scr: {len(built)} bytes ({len(built) / 1024:.0f} KiB, "
      f"{len(built) / 1048576:.2f} MiB)")


def sections(path):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", path],
                         check=True, capture_output=True, text=True).stdout
    return [l.split()[1] for l in out.splitlines() if l.strip()[:1].isdigit() and len(l.split()) > 2]


with tempfile.TemporaryDirectory() as tmp:
    saver = os.path.join(tmp, "tessellane.scr")
    with open(saver, "wb") as f:
        f.write(shipped)

    names = sections(saver)
    debug = [n for n in names if n.startswith(".debug")]
    check(not debug, f"the shipped saver carries no debug sections (found {debug})")
    check(".gnu_debuglink" in names, "the shipped saver links to its debug file")
    debug_file = scr_path + ".debug"
    check(os.path.isfile(debug_file) and ".debug_info" in sections(debug_file),
          "build/windows/tessellane.scr.debug holds the debug information")

    def resource(kind):
        return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", "--name=1", saver],
                              check=True, capture_output=True).stdout

    # String table block 1 holds strings 0 to 15, each a length and UTF-16 text.
    block = resource(6)
    strings, off = [], 0
    while off + 2 <= len(block) and len(strings) < 16:
        (n,) = struct.unpack_from("<H", block, off)
        strings.append(block[off + 2:off + 2 + 2 * n].decode("utf-16-le"))
        off += 2 + 2 * n
    got = strings[1] if len(strings) > 1 else None
    check(got == "テセレーン", f"string resource 1 is テセレーン (is {got!r})")

    # VERSIONINFO: a tree of length, value length, type, key, value, children.
    def node(buf, off):
        length, value_len, kind = struct.unpack_from("<HHH", buf, off)
        end, p = off + length, off + 6
        k = p
        while buf[k:k + 2] != b"\0\0":
            k += 2
        key = buf[p:k].decode("utf-16-le")
        p = (k + 2 + 3) & ~3
        if kind == 1:
            v = p
            while v < end and buf[v:v + 2] != b"\0\0":
                v += 2
            value = buf[p:v].decode("utf-16-le")
            p += value_len * 2
        else:
            value = buf[p:p + value_len]
            p += value_len
        children = []
        p = (p + 3) & ~3
        while p < end:
            child, p = node(buf, p)
            children.append(child)
            p = (p + 3) & ~3
        return (key, value, children), end

    (key, fixed, children), _ = node(resource(16), 0)
    major, minor, patch = (int(x) for x in version.split("."))
    want_ms, want_ls = (major << 16) | minor, patch << 16
    sig, _, file_ms, file_ls, prod_ms, prod_ls = struct.unpack_from("<6I", fixed)
    check(key == "VS_VERSION_INFO" and sig == 0xFEEF04BD, "the version resource has its fixed part")
    shown = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    check((file_ms, file_ls) == (want_ms, want_ls),
          f"file version numbers are {version}.0 (are {shown(file_ms, file_ls)})")
    check((prod_ms, prod_ls) == (want_ms, want_ls),
          f"product version numbers are {version}.0 (are {shown(prod_ms, prod_ls)})")
    texts = {}
    for k, _, tables in children:
        if k == "StringFileInfo":
            for lang, _, entries in tables:
                texts[lang.upper()] = {name: value for name, value, _ in entries}
    jp = texts.get("041104B0", {})
    check(bool(jp), f"the version texts are in Japanese, Unicode (blocks {sorted(texts)})")
    want = {"FileVersion": version, "ProductVersion": version, "ProductName": "テセレーン",
            "FileDescription": "テセレーン スクリーンセーバー", "OriginalFilename": "tessellane.scr"}
    for name, value in want.items():
        check(jp.get(name) == value, f"{name} is {value!r} (is {jp.get(name)!r})")
    copyright_line = jp.get("LegalCopyright", "")
    check(copyright_line.startswith("Copyright") and copyright_line in text,
          f"LegalCopyright {copyright_line!r} is the readme's copyright line")
    check("CompanyName" not in jp, "no CompanyName")

finish()
PY
