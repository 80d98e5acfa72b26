#!/usr/bin/env bash
# Builds tessellane.scr and runs it under Wine, or with --linux the native
# Linux program.
#   bash scripts/run.sh            the display (/s)
#   bash scripts/run.sh /c         the settings dialog (any switch, each a separate argument)
#   bash scripts/run.sh --linux [switch...]   the native program (/s, -root, -window-id ID, ...)
# With $DISPLAY set the program runs on that screen until it ends. Without
# one it runs on a private 1024x768 Xvfb screen for a few seconds, and a
# screenshot is saved to build/screenshot.png.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$REPO"

native=0
if [ "${1:-}" = --linux ]; then
  native=1
  shift
fi

# build PRESET TARGET...: a quiet build; its log is shown when it fails.
build() {
  local preset="$1"
  shift
  mkdir -p build
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target "$@"; } >build/run-build.log 2>&1; then
    tail -n 40 build/run-build.log >&2
    echo "run: the build failed (build/run-build.log)" >&2
    exit 1
  fi
}

bash scripts/install-deps.sh
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/s)
SECONDS_SHOWN="${RUN_SECONDS:-4}"
SHOT="$REPO/build/screenshot.png"

if [ "$native" -eq 1 ]; then
  . scripts/background.sh
  # The display, the settings program /c starts, and the sound module.
  build linux-release tessellane tessellane-settings tessellane-gst
  PROGRAM="$REPO/build/linux-release/tessellane"
  [ -z "${DISPLAY:-}" ] || exec "$PROGRAM" "${args[@]}"
  trap xvfb_stop EXIT
  xvfb_start 1024x768x24
  "$PROGRAM" "${args[@]}" &
  pid=$!
  sleep "$SECONDS_SHOWN"
  import -display "$DISPLAY" -window root "$SHOT"
  # SIGTERM ends the program at once, as its host would end it.
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "Ran tessellane ${args[*]} for ${SECONDS_SHOWN} s on a private 1024x768 screen; screenshot: $SHOT"
  exit 0
fi

. scripts/wine-env.sh
build windows tessellane
SCR="$REPO/build/windows/tessellane.scr"

if [ -n "${DISPLAY:-}" ]; then
  wine_prefix_init
  set +e
  "$WINE" "$SCR" "${args[@]}"
  rc=$?
  wine_prefix_stop
  exit "$rc"
fi

trap wine_session_stop EXIT
wine_session_start 1024x768x24

"$WINE" "$SCR" "${args[@]}" &
pid=$!
sleep "$SECONDS_SHOWN"
import -display "$DISPLAY" -window root "$SHOT"
if kill -0 "$pid" 2>/dev/null; then
  # A key ends the display; whatever is still open after that is ended with the prefix.
  xdotool key Escape 2>/dev/null || true
  sleep 1
fi
wine_prefix_stop
wait "$pid" 2>/dev/null || true
echo "Ran tessellane.scr ${args[*]} for ${SECONDS_SHOWN} s on a private 1024x768 screen; screenshot: $SHOT"
