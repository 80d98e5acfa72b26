#!/usr/bin/env bash
# The Debian package: built by the package target of the linux build, its
# file list and control fields, the XScreenSaver description, the manual page
# as man shows it, the entry of MATE's and Xfce's lists, the helper that adds
# the hack to XScreenSaver's list, and the hack run from the unpacked package
# on a private screen until SIGTERM ends it; the settings window opens on X
# under a Wayland session's variables.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
linux_begin package
UNPACKED="$E2E_TEST_WORK/root"
HACK="$UNPACKED/usr/libexec/xscreensaver/tessellane"

# The whole linux build may have to be made first.
e2e_case "the package target makes the package" 1800
rm -f "$DEB"
build_package >"$E2E_TEST_WORK/build.log" 2>&1 || tail -n 20 "$E2E_TEST_WORK/build.log"
if [ ! -f "$DEB" ]; then
  fail "the package target makes $(basename "$DEB")"
  e2e_end
fi
pass "the package target makes $(basename "$DEB")"
unpack_package "$UNPACKED"

e2e_case "file list" 60
# Files and links only (mode owner path [-> target]); folders come with them.
listing=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {l = $1 " " $2 " " $6; if ($7 == "->") l = l " -> " $8; print l}' | sort)
expected=$(sort <<EOF
-rwxr-xr-x root/root ./usr/libexec/xscreensaver/tessellane
lrwxrwxrwx root/root ./usr/bin/tessellane -> ../libexec/xscreensaver/tessellane
-rwxr-xr-x root/root ./usr/bin/tessellane-add-to-xscreensaver
-rwxr-xr-x root/root ./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/tessellane/tessellane-settings
-rw-r--r-- root/root ./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/tessellane/tessellane-gst.so
-rw-r--r-- root/root ./usr/share/doc/tessellane/copyright
-rw-r--r-- root/root ./usr/share/doc/tessellane/changelog.gz
-rw-r--r-- root/root ./usr/share/xscreensaver/config/tessellane.xml
-rw-r--r-- root/root ./usr/share/man/man6/tessellane.6.gz
-rw-r--r-- root/root ./usr/share/man/man1/tessellane-add-to-xscreensaver.1.gz
-rw-r--r-- root/root ./usr/share/applications/tessellane-settings.desktop
-rw-r--r-- root/root ./usr/share/applications/screensavers/tessellane.desktop
EOF
)
check_eq "the package holds the hack, its link on the PATH, the list helper, the settings program, the sound module, its XML, its manual pages, its menu entry, its screen-saver entry, its copyright and changelog, nothing else" \
  "$expected" "$listing"
check "usr/bin/tessellane leads to the hack" \
  test "$(readlink -f "$UNPACKED/usr/bin/tessellane")" = "$(readlink -f "$HACK")"
hack_kind=$(file -b "$HACK")
log "the hack: $hack_kind"
check "the hack is a stripped ELF executable" \
  grep -qE '^ELF .*executable.*, stripped$' <<<"$hack_kind"

e2e_case "Debian's checks" 120
# lintian's notice about running as root is no finding.
lintian_findings=$(lintian "$DEB" 2>&1 | grep -E '^[EW]: ')
check_eq "lintian finds no error and no warning" "" "$lintian_findings"
# Control-flow protection is not among this release's flags: its C runtime's
# start files carry no such marks, so no program here can have them.
for program in "$HACK" "$UNPACKED/usr/lib/"*/tessellane/tessellane-settings; do
  check "hardening-check: $(basename "$program") is built with Debian's hardening flags" \
    env LC_ALL=C.UTF-8 hardening-check --quiet --nocfprotection "$program"
done
# A C++ module's copies are of sizes the compiler cannot know: it has no
# fortifiable calls, which hardening-check counts as unprotected ones.
check "hardening-check: the sound module is built with Debian's hardening flags" \
  env LC_ALL=C.UTF-8 hardening-check --quiet --nocfprotection --nofortify "$UNPACKED/usr/lib/"*/tessellane/tessellane-gst.so

e2e_case "control fields" 60
field() { dpkg-deb -f "$DEB" "$1"; }
check_eq "Package" tessellane "$(field Package)"
check_eq "Version (the project's)" "$PROJECT_VERSION" "$(field Version)"
check_eq "Architecture" "$DEB_ARCH" "$(field Architecture)"
depends=$(field Depends)
log "Depends: $depends"
# dpkg-shlibdeps names the packages of the libraries the hack links.
for lib in libc6 libx11-6 libxext6; do
  check "Depends names $lib" grep -qE "(^|, )$lib( |,|$)" <<<"$depends"
done
# What the sound module loads at run time, found by GStreamer's own
# registry: the player and the elements that read the music files (MP3, WAV).
for element in playbin mpg123audiodec wavparse; do
  plugin=$(gst-inspect-1.0 "$element" 2>/dev/null | awk '$1 == "Filename" {print $2}')
  owner=$(dpkg -S "$(readlink -f "${plugin:-/nonexistent}")" 2>/dev/null | cut -d: -f1)
  if [ -z "$owner" ]; then
    fail "GStreamer's $element comes from an installed package"
    continue
  fi
  check "Depends names $owner, which holds GStreamer's $element" grep -qE "(^|, )$owner( |,|\$)" <<<"$depends"
done
missing=""
for p in $(sed 's/([^)]*)//g; s/|/,/g; s/,/ /g' <<<"$depends"); do
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || missing="$missing $p"
done
check_eq "every package Depends names is one installed here" "" "$missing"
check "Maintainer and Description are given" test -n "$(field Maintainer)" -a -n "$(field Description)"

e2e_case "XScreenSaver description" 60
xml="$UNPACKED/usr/share/xscreensaver/config/tessellane.xml"
# The parser prints one line per check; it ends non-zero only when it could not run to the end.
xml_checks=$(python3 - "$xml" 2>&1 <<'PY'
import re
import sys
import xml.etree.ElementTree as ET


def check(cond, what):
    print(("ok " if cond else "no ") + what)


raw = open(sys.argv[1], "rb").read()
check(raw.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'), "declares UTF-8")
root = ET.fromstring(raw)
check(root.tag == "screensaver", f"its root is <screensaver> (is <{root.tag}>)")
check(root.get("name") == "tessellane", f"name is the hack's file name (is {root.get('name')!r})")
check(root.get("_label") == "テセレーン", f"_label is テセレーン (is {root.get('_label')!r})")
command = root.find("command")
arg = command.get("arg") if command is not None else None
check(arg in ("--root", "-root"), f"the command draws on the root (arg {arg!r})")
text = (root.findtext("_description") or "").strip()
japanese = re.findall(r"[\u3040-\u30ff\u4e00-\u9fff]", text)
check(len(japanese) >= 20, f"the description is Japanese ({len(japanese)} kana and kanji)")
check("テセレーン.ini" in text, "the description names the settings file")
check("tessellane /c" in text, "the description names the command of the settings window")
# XScreenSaver joins lines that no blank line keeps apart into one paragraph.
lines = [line.strip() for line in text.splitlines()]
joined = [b for a, b in zip(lines, lines[1:]) if a and b]
check(not joined, f"a blank line keeps each paragraph apart (joined: {joined})")
PY
)
check_eq "tessellane.xml is read to the end" 0 "$?"
while IFS= read -r line; do
  case "$line" in
    "ok "*) pass "tessellane.xml: ${line#ok }" ;;
    "no "*) fail "tessellane.xml: ${line#no }" ;;
    *) log "$line" ;;
  esac
done <<<"$xml_checks"

e2e_case "manual page" 60
page="$UNPACKED/usr/share/man/man6/tessellane.6.gz"
check "tessellane.6.gz is gzip data" gzip -t "$page"
man_text=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$page" 2>"$E2E_TEST_WORK/man.err" | col -bx)
check_eq "man renders it without warnings" "" "$(cat "$E2E_TEST_WORK/man.err")"
printf '%s\n' "$man_text" >"$E2E_TEST_WORK/man.txt"
check "the page is in section 6" grep -q '^TESSELLANE(6)' <<<"$man_text"
# A switch counts as a word of its own: -root inside --root does not.
for sw in /s '/p id' /c -root --root '-window-id id' '--window-id id' --help -help; do
  check "the page tells of the switch $sw" grep -qE -- "(^|[[:space:],|[])$sw([[:space:],|]|\$)" <<<"$man_text"
done
for word in XSCREENSAVER_WINDOW Tessellane_Main SIGTERM \
  '~/.config/tessellane/テセレーン.ini' '[Section]' 停止時間 背景色 背景色ﾗﾝﾀﾞﾑ BGM区分 BGMﾘﾋﾟｰﾄ BGMﾌｧｲﾙ \
  "Tessellane $PROJECT_VERSION"; do
  check "the page tells of $word" grep -qF -- "$word" <<<"$man_text"
done
# mandb indexes the page under its NAME line.
indexable() { lexgrog "$1" >/dev/null; }
check "the NAME line is indexable (lexgrog)" indexable "$page"
helper_page="$UNPACKED/usr/share/man/man1/tessellane-add-to-xscreensaver.1.gz"
check_eq "man renders the helper's page without warnings" "" \
  "$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$helper_page" 2>&1 >/dev/null)"
check "the helper's NAME line is indexable (lexgrog)" indexable "$helper_page"

e2e_case "the menu entry of the settings window" 60
entry="$UNPACKED/usr/share/applications/tessellane-settings.desktop"
check_eq "desktop-file-validate finds nothing" "" "$(desktop-file-validate "$entry" 2>&1)"
# key NAME [FILE]: the value of NAME in the [Desktop Entry] group of FILE
# (default: the menu entry).
key() { awk -v k="$1" '/^\[/ {g = $0; next} g == "[Desktop Entry]" && index($0, k "=") == 1 {print substr($0, length(k) + 2); exit}' "${2:-$entry}"; }
check_eq "Name" "テセレーンの設定" "$(key Name)"
check_eq "Type" Application "$(key Type)"
check_eq "Exec opens the settings window of the program on the PATH" "tessellane /c" "$(key Exec)"
check "listed among the settings" grep -q '^Settings;' <<<"$(key Categories)"

e2e_case "the entry of MATE's and Xfce's screen-saver lists" 60
saver_entry="$UNPACKED/usr/share/applications/screensavers/tessellane.desktop"
# The validator's hint that Screensaver is no main category is what every
# such entry gets: only errors and warnings count.
check_eq "desktop-file-validate finds no error or warning" "" \
  "$(desktop-file-validate "$saver_entry" 2>&1 | grep -v ': hint: ')"
check_eq "Name, as the XML names the hack" "テセレーン" "$(key Name "$saver_entry")"
check_eq "listed among the screen savers" "Screensaver;" "$(key Categories "$saver_entry")"
# Without --root the hack opens a window of its own, and MATE switches off;
# MATE runs only hacks of XScreenSaver's hack folders.
check_eq "Exec draws on the saver's window, from the hack folder" \
  "/usr/libexec/xscreensaver/tessellane --root" "$(key Exec "$saver_entry")"
check_eq "TryExec names the installed hack" /usr/libexec/xscreensaver/tessellane "$(key TryExec "$saver_entry")"
check "the package installs the hack there" test -x "$UNPACKED$(key TryExec "$saver_entry")"

e2e_case "the helper that adds the hack to XScreenSaver's list" 60
ADD="$UNPACKED/usr/bin/tessellane-add-to-xscreensaver"
ENTRY_LINE=$(printf '\t\t\t\t"テセレーン"  %s --root\t\t    \\n' "$(readlink -f "$HACK")")
# programs_of FILE: the lines of the programs: resource, named as ~/.xscreensaver names it.
programs_of() { awk '/^\*?programs:/ {on = 1} on {print; if ($0 !~ /\\$/) exit}' "$1" | sed '1s/^\*//'; }
fresh="$E2E_TEST_WORK/fresh"
mkdir -p "$fresh"
HOME="$fresh" "$ADD" >/dev/null
# The default list, whose last line now goes on, and the hack's line after it.
expected=$(programs_of /etc/X11/app-defaults/XScreenSaver | sed '$s/$/\\/'; printf '%s\n' "$ENTRY_LINE")
check_eq "without ~/.xscreensaver: XScreenSaver's default list, the hack last" "$expected" \
  "$(cat "$fresh/.xscreensaver")"
HOME="$fresh" "$ADD" >/dev/null
check_eq "a second run changes nothing" "$expected" "$(cat "$fresh/.xscreensaver")"
# A file as xscreensaver-settings writes it: settings around the list, which
# ends on an empty line.
own="$E2E_TEST_WORK/own"
mkdir -p "$own"
printf 'mode:\t\tone\nselected:\t1\nprograms:\t\t\\\n\t\tmaze --root\t\\n\\\n- GL:\t\tsproingies --root\t\\n\\\n\nlock:\t\tFalse\n' \
  >"$own/.xscreensaver"
expected=$(head -n 5 "$own/.xscreensaver"; printf '%s\n' "$ENTRY_LINE"; tail -n +6 "$own/.xscreensaver")
HOME="$own" "$ADD" >/dev/null
check_eq "with ~/.xscreensaver: every other line kept, the hack last in the list" "$expected" "$(cat "$own/.xscreensaver")"
HOME="$own" "$ADD" >/dev/null
check_eq "a second run there changes nothing" "$expected" "$(cat "$own/.xscreensaver")"
# A file kept elsewhere and linked (a dotfiles folder), without a list: the
# link stays, and its file gets the list.
linked="$E2E_TEST_WORK/linked"
mkdir -p "$linked"
printf 'mode:\t\trandom\n' >"$linked/dotfile"
ln -s dotfile "$linked/.xscreensaver"
HOME="$linked" "$ADD" >/dev/null
check_eq "a linked ~/.xscreensaver stays a link to the same file" dotfile "$(readlink "$linked/.xscreensaver")"
check_eq "its file gets the hack last" "$ENTRY_LINE" "$(tail -n 1 "$linked/dotfile")"

e2e_case "the hack from the unpacked package" 120
help=$(timeout -k 2 5 "$HACK" --help 2>&1)
check_eq "--help ends with exit code 0" 0 "$?"
check "--help prints the usage with -root and -window-id" \
  grep -q -- '-window-id' <<<"$help"
start_xvfb 640x480 || { fail "Xvfb starts"; e2e_end; }
# A background that no ring colour is likely to match, red, green and blue
# each different, so the colour's byte order counts.
write_settings '停止時間=3' '背景色= 2113664' '背景色ﾗﾝﾀﾞﾑ= 0'
BACKGROUND=804020
PROGRAM="$HACK" start_native -root
shot="$E2E_TEST_WORK/hack.png"
rings_shown() { screenshot "$shot" && [ "$(not_colour_pixels "$shot" "$BACKGROUND")" -gt 500 ] && [ "$(main_colour "$shot")" = "$BACKGROUND" ]; }
if wait_until 10 "rings on the settings' background" rings_shown; then
  pass "-root: rings on the background of the settings file"
  log "colours: $(colour_count "$shot"), pixels off the background: $(not_colour_pixels "$shot" "$BACKGROUND")"
else
  fail "-root: rings on the background of the settings file (main colour $(main_colour "$shot"), not $BACKGROUND)"
fi
check "the hack still runs" alive "$NATIVE_PID"
ends_cleanly "the packaged hack"

e2e_case "the menu entry's command opens the settings window" 60
read -r -a exec_words <<<"$(key Exec)"
PROGRAM="$UNPACKED/usr/bin/${exec_words[0]}" start_native "${exec_words[@]:1}"
if settings_win=$(wait_window "テセレーンの設定" 20); then
  pass "the settings window shows"
  check_eq "its size" "446x477" "$(xdotool getwindowgeometry "$settings_win" | awk '/Geometry/ {print $2}')"
else
  fail "the settings window shows"
fi
ends_cleanly "the settings window from the menu entry"

# GDK's Wayland backend could not place the window, nor the title guard see
# it: in a Wayland session the window opens on X (XWayland) all the same.
e2e_case "under a Wayland session's variables the settings window opens on X" 60
GDK_BACKEND=wayland WAYLAND_DISPLAY="$E2E_TEST_WORK/no-wayland-here" start_native /c
if wait_window "テセレーンの設定" 20 >/dev/null; then
  pass "the settings window shows on the X display"
else
  fail "the settings window shows on the X display"
fi
ends_cleanly "the settings window under Wayland's variables"

e2e_end
