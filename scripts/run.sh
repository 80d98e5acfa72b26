#!/usr/bin/env bash
# Builds tessellane.scr and runs it under Wine, with --linux the native
# Linux program, or with --web the site for the browser.
#   bash scripts/run.sh            the display (/s)
#   bash scripts/run.sh /c         the settings dialog (any switch, each a separate argument)
#   bash scripts/run.sh --linux [switch...]   the native program (/s, -root, -window-id ID, ...)
#   bash scripts/run.sh --web [PORT]          the site, served on 127.0.0.1 (port 8000)
# With $DISPLAY set the program runs on that screen until it ends (the site
# is served until Ctrl-C). Without one it runs on a private 1024x768 Xvfb
# screen (the site in a headless browser) for a few seconds, and a
# screenshot is saved to build/screenshot.png.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$REPO"

native=0 web=0
if [ "${1:-}" = --linux ]; then
  native=1
  shift
elif [ "${1:-}" = --web ]; then
  web=1
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

if [ "$web" -eq 1 ]; then
  # The program and the site around it: build/web.
  build web site
  PORT="${1:-8000}"
  if [ -n "${DISPLAY:-}" ]; then
    echo "Serving build/web until Ctrl-C; open the address in a browser:"
    exec /usr/bin/python3 scripts/serve_web.py build/web --port "$PORT"
  fi
  /usr/bin/python3 scripts/serve_web.py build/web --port 0 >build/run-server.out &
  server=$!
  trap 'kill "$server" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do [ -s build/run-server.out ] && break; sleep 0.1; done
  address=$(head -n 1 build/run-server.out)
  echo "Serving build/web at $address"
  /usr/bin/python3 scripts/web_screenshot.py "$address" "$SHOT" "$SECONDS_SHOWN"
  echo "Ran the site's display in a headless browser at 1024x768 for ${SECONDS_SHOWN} s; screenshot: $SHOT"
  exit 0
fi

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
