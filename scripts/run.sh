#!/usr/bin/env bash
# Builds tessellane.scr and runs it under Wine.
#   bash scripts/run.sh            the display (/s)
#   bash scripts/run.sh /c         the settings dialog (any switch, each a separate argument)
# With $DISPLAY set the program runs on that screen until it ends. Without
# one it runs on a private 1024x768 Xvfb screen for a few seconds, and a
# screenshot is saved to build/screenshot.png.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$REPO"

bash scripts/install-deps.sh
mkdir -p build
if ! { cmake --preset windows && cmake --build --preset windows --target tessellane; } >build/run-build.log 2>&1; then
  tail -n 40 build/run-build.log >&2
  echo "run: the build failed (build/run-build.log)" >&2
  exit 1
fi

args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/s)
SCR="$REPO/build/windows/tessellane.scr"
. scripts/wine-env.sh

if [ -n "${DISPLAY:-}" ]; then
  wine_prefix_init
  set +e
  "$WINE" "$SCR" "${args[@]}"
  rc=$?
  wine_prefix_stop
  exit "$rc"
fi

SECONDS_SHOWN="${RUN_SECONDS:-4}"
SHOT="$REPO/build/screenshot.png"
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
