#!/usr/bin/env bash
# End-to-end test of the display on two monitors side by side: 1024x768 at
# 0,0 and 800x600 at 1024,0. Xvfb alone puts every screen at 0,0, so a nested
# Xephyr with two Xinerama heads runs on a large Xvfb screen, and Wine reads
# the heads through Xinerama. The display must cover both monitors with its
# background and rings, and a key must still end it.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

SCREEN_W=2000
SCREEN_H=1000
X11_KEY='HKCU\Software\Wine\X11 Driver'

e2e_begin monitors

# --- Two monitors ---------------------------------------------------------------------
e2e_case "two monitors"

if ! x_server_start Xephyr +xinerama -screen 1024x768 -screen 800x600; then
  fail "Xephyr with two heads started"
  e2e_end
fi
XEPHYR_PID=$X_SERVER_PID
export DISPLAY="$X_SERVER_DISPLAY"
# The prefix's X11 setting is put back while the server still runs on the
# two heads; every step of the trap is bounded.
trap 'e2e_watchdog_stop; prefix_reg_delete "$X11_KEY" UseXRandR; wine_prefix_stop; end_job "$XEPHYR_PID"; e2e_cleanup' EXIT
wine_prefix_restart || { fail "the Wine prefix starts on two monitors"; e2e_end; }
"$WINE" reg add "$X11_KEY" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
wine_prefix_restart || { fail "the Wine prefix starts again"; e2e_end; }
log "two monitors on DISPLAY=$DISPLAY"

# --- The display covers both -------------------------------------------------------------
e2e_case "the display covers both"

# Red background, no random one; a long hold keeps the first cycle's rings on screen.
CURSOR_AT="1500 500" start_display two /s -- '停止時間=20' '背景色= 255' '背景色ﾗﾝﾀﾞﾑ=0'
check "the display window appears" test -n "$WIN"
# The first cycle is finished once the picture holds still.
check "the first cycle ends in a held picture" settled_screenshot "$DIR/two.png" 20
log "window: at $(window_pos "$WIN"), size $(window_size "$WIN")"
check_eq "the window is at 0,0" "0 0" "$(window_pos "$WIN")"
check_eq "the window is 1824 x 768, both monitors" "1824 768" "$(window_size "$WIN")"
check "the first monitor shows the background" is_colour "$DIR/two.png" 3 384 FF0000
check "the second monitor shows the background" is_colour "$DIR/two.png" 1821 300 FF0000

left=$(other_pixels "$DIR/two.png" FF0000 1024x768+0+0)
right=$(other_pixels "$DIR/two.png" FF0000 800x600+1024+0)
check "rings on the first monitor ($left pixels)" test "$left" -gt 500
check "rings on the second monitor ($right pixels)" test "$right" -gt 500

ends_on_key a "two monitors" 10

e2e_end
