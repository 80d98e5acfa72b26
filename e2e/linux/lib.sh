# Harness of the native Linux end-to-end tests: a private Xvfb, the native
# program started with its own settings folder, its own session and a log,
# and the Debian package; the generic harness (e2e/harness.sh) and the
# screen helpers (e2e/screen.sh) do the rest. Nothing of Wine is sourced.
#
# A test script sources this file, calls linux_begin NAME, runs its cases
# (e2e_case NAME [SECONDS] gives each a time limit) and ends with e2e_end,
# which exits 1 when a check failed. A failed check keeps a screenshot and the
# program's log in build/e2e-linux/NAME/failures.

LINUX_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../harness.sh
. "$LINUX_LIB_DIR/../harness.sh"
# shellcheck source=../screen.sh
. "$E2E_HARNESS_DIR/screen.sh"

LINUX_BUILD="${TESS_LINUX_BUILD:-$REPO/build/linux}"
NATIVE="${TESS_NATIVE:-$LINUX_BUILD/tessellane}"
LINUX_WORK="${E2E_LINUX_WORK:-$REPO/build/e2e-linux}"
NATIVE_PID=""

# linux_begin NAME: the work folder build/e2e-linux/NAME (made anew), a home
# folder in it (HOME), whose .config the settings folder lies in (also named
# by XDG_CONFIG_HOME, which the programs ignore), and the exit and time-out
# traps. The caches stay where they were (GStreamer's registry, fontconfig's).
linux_begin() {
  E2E_WORK="$LINUX_WORK" e2e_work "$1"
  export XDG_CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}"
  export HOME="$E2E_TEST_WORK/home"
  export XDG_CONFIG_HOME="$HOME/.config"
  mkdir -p "$XDG_CONFIG_HOME"
  # Only a test that means to host the saver names a window.
  unset XSCREENSAVER_WINDOW
  # Exit, time-out, TERM, INT and HUP all end through e2e_cleanup.
  e2e_traps
  session_bus_start || echo "e2e: no private session bus" >&2
  echo "== $E2E_NAME"
}

# session_bus_start: a private session bus for the programs under test
# (DBUS_SESSION_BUS_ADDRESS), ended with the script. Without one, GTK starts
# a bus of its own through dbus-launch where dbus-x11 is installed, and that
# bus outlives the program.
SESSION_BUS_PID=""
session_bus_start() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || return 1
  DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
  SESSION_BUS_PID=$(sed -n 2p <<<"$out")
  export DBUS_SESSION_BUS_ADDRESS
}

# need_native: ends the script when the native program is not built.
need_native() {
  [ -x "$NATIVE" ] && return 0
  echo "e2e: $NATIVE is missing; build the linux preset first" >&2
  exit 1
}

# The exit trap's last step: the session bus and the screen end.
e2e_teardown() {
  [ -n "$SESSION_BUS_PID" ] && kill "$SESSION_BUS_PID" 2>/dev/null
  SESSION_BUS_PID=""
  xvfb_stop
}

# --- Screen and program ----------------------------------------------------------

# start_xvfb WxH [XVFB ARGS...]: a private Xvfb on a free display number, depth
# 24 (SCREEN_DEPTH when set), black root (-br), with any further server
# arguments (-extension MIT-SHM, +xinerama, ...); exports DISPLAY, sets
# XVFB_PID, SCREEN_W and SCREEN_H.
start_xvfb() {
  local size="$1"
  shift
  x_server_start Xvfb -screen 0 "${size}x${SCREEN_DEPTH:-24}" -br "$@" || return 1
  XVFB_PID=$X_SERVER_PID
  export DISPLAY="$X_SERVER_DISPLAY"
  SCREEN_W="${size%x*}"
  SCREEN_H="${size#*x}"
}

# write_settings key=value...: the program's settings file in
# $XDG_CONFIG_HOME/tessellane, the programs' ~/.config/tessellane (code page
# 932; keys and values given in UTF-8).
write_settings() {
  mkdir -p "$XDG_CONFIG_HOME/tessellane"
  write_ini "$XDG_CONFIG_HOME/tessellane" "$@"
}

# start_native [ARGS...]: the native program (NATIVE, or the program in
# PROGRAM when set) in the background, in a session of its own, output
# appended to native.log of the work folder (SAVER_LOG, which a failure
# keeps); its pid in NATIVE_PID (and SAVER_PID, which the shared waits use).
start_native() {
  local exe="${PROGRAM:-$NATIVE}"
  # In a script without job control the job is no group leader, so setsid
  # makes the session in place: the pid is the program's and its session id.
  SAVER_LOG="$E2E_TEST_WORK/native.log" SAVER_LOG_HOLDS="the program's output"
  setsid "$exe" "$@" >>"$SAVER_LOG" 2>&1 &
  NATIVE_PID=$!
  SAVER_PID=$NATIVE_PID
}

# session_gone SID: no process is left in that session (the program and
# anything it started).
session_gone() { ! pgrep -s "$1" >/dev/null 2>&1; }

# stop_native [SIGNAL] [SECONDS]: sends SIGNAL (default TERM) to NATIVE_PID and
# waits for its end (default 5 s): EXIT_CODE and STOP_SECONDS, the time it
# took. Still running then: killed, and false.
stop_native() {
  local t0
  t0=$(now)
  kill -s "${1:-TERM}" "$NATIVE_PID" 2>/dev/null
  if wait_exit "$NATIVE_PID" "${2:-5}"; then
    STOP_SECONDS=$(awk -v a="$t0" -v b="$(now)" 'BEGIN{printf "%.3f", b - a}')
    return 0
  fi
  kill -9 "$NATIVE_PID" 2>/dev/null
  wait "$NATIVE_PID" 2>/dev/null
  return 1
}

# ends_cleanly WHAT [SIGNAL] [SECONDS]: the checks that SIGNAL (default TERM)
# ends the program within SECONDS (default 5) with exit code 0, leaving no
# process of its session.
ends_cleanly() {
  local what="$1" sig="${2:-TERM}" limit="${3:-5}"
  if stop_native "$sig" "$limit"; then
    pass "$what: SIG$sig ends it within $limit s (${STOP_SECONDS} s)"
    check_eq "$what: exit code after SIG$sig" 0 "$EXIT_CODE"
  else
    fail "$what: SIG$sig ends it within $limit s"
  fi
  check "$what: no process left" wait_until 2 "the session of $NATIVE_PID to end" session_gone "$NATIVE_PID"
}

# --- Pictures --------------------------------------------------------------------

# window_shot WIN FILE: a screenshot of one window (its id, decimal or 0x hex).
window_shot() { timeout 10 import -display "$DISPLAY" -window "$1" "$2"; }

# colour_count FILE [WxH+X+Y]: the number of distinct colours (of that area).
colour_count() {
  local crop=()
  [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
  convert "$1" "${crop[@]}" -format '%k' info:
}


# not_colour_pixels FILE RRGGBB: how many pixels differ from that colour.
not_colour_pixels() {
  convert "$1" -fill black -opaque "#$2" -fill white +opaque black -format '%[fx:int(mean*w*h+0.5)]' info:
}

# --- The Debian package ------------------------------------------------------------

# The version as project() states it; the package's name follows from it.
PROJECT_VERSION="$(sed -n 's/^project(Tessellane VERSION \([0-9][0-9.]*\).*/\1/p' "$REPO/CMakeLists.txt")"
DEB_ARCH="$(dpkg --print-architecture)"
DEB="$LINUX_BUILD/tessellane_${PROJECT_VERSION}_${DEB_ARCH}.deb"

# build_package: the package target of the linux build (what
# cmake --build --preset linux --target package does).
build_package() {
  cmake --build "$LINUX_BUILD" --parallel 2 --target package
}

# unpack_package DIR: the package's files under DIR (dpkg-deb -x).
unpack_package() {
  rm -rf "$1"
  mkdir -p "$1"
  dpkg-deb -x "$DEB" "$1"
}
