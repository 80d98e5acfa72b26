#!/usr/bin/env bash
# End-to-end test of the display on two monitors side by side: 1024x768 at
# 0,0 and 800x600 at 1024,0. Xvfb alone puts every screen at 0,0, so a nested
# Xephyr with two Xinerama heads runs on a large Xvfb screen, and Wine reads
# the heads through Xinerama. The display must cover both monitors with its
# background and rings, and a key must still end it.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

MAIN=Tessellane_Main
SCREEN_W=2000
SCREEN_H=1000
X11_KEY='HKCU\Software\Wine\X11 Driver'

e2e_begin monitors

# --- Two monitors ---------------------------------------------------------------------

fifo="$(mktemp -u "${TMPDIR:-/tmp}/xephyr-displayfd.XXXXXX")"
mkfifo "$fifo"
Xephyr -displayfd 9 +xinerama -screen 1024x768 -screen 800x600 -nolisten tcp -noreset 9>"$fifo" >/dev/null 2>&1 &
XEPHYR_PID=$!
n=""
read -r -t 20 n <"$fifo" || true
rm -f "$fifo"
if [ -z "$n" ]; then
  fail "Xephyr with two heads started"
  e2e_end
fi
# Wine's server and desktop belong to a screen: start them again on the new one.
wine_prefix_stop
export DISPLAY=":$n"
trap 'wine_prefix_stop; "$WINE" reg delete "$X11_KEY" /v UseXRandR /f >/dev/null 2>&1; wine_prefix_stop; kill "$XEPHYR_PID" 2>/dev/null; e2e_cleanup' EXIT
wine_prefix_init || { fail "the Wine prefix starts on two monitors"; e2e_end; }
"$WINE" reg add "$X11_KEY" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
wine_prefix_stop
wine_prefix_init || { fail "the Wine prefix starts again"; e2e_end; }
log "two monitors on DISPLAY=$DISPLAY"

# --- The display covers both -------------------------------------------------------------

DIR=$(new_testdir two)
# Red background, no random one; a long hold keeps the first cycle's rings on screen.
write_ini "$DIR" '停止時間=20' '背景色= 255' '背景色ﾗﾝﾀﾞﾑ=0'
place_cursor 1500 500 || log "could not place the cursor"
start_saver "$DIR" /s
WIN=$(wait_window "$MAIN" 20) || { WIN=""; log_screen "$DIR"; }
check "the display window appears" test -n "$WIN"
sleep 2
geometry=$(xdotool getwindowgeometry "$WIN" 2>/dev/null | tr -d '\n')
log "window: $geometry"
check "the window is at 0,0" grep -q "Position: 0,0" <<<"$geometry"
check "the window is 1824 x 768, both monitors" grep -q "Geometry: 1824x768" <<<"$geometry"
screenshot "$DIR/two.png"
check_eq "the first monitor shows the background" FF0000 "$(pixel "$DIR/two.png" 3 384)"
check_eq "the second monitor shows the background" FF0000 "$(pixel "$DIR/two.png" 1821 300)"

# not_red FILE X Y W H: how many pixels of the area are not the background.
not_red() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -fill black -opaque '#FF0000' -fill white +opaque black \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
left=$(not_red "$DIR/two.png" 0 0 1024 768)
right=$(not_red "$DIR/two.png" 1024 0 800 600)
check "rings on the first monitor ($left pixels)" test "$left" -gt 500
check "rings on the second monitor ($right pixels)" test "$right" -gt 500

ends_on_key a "two monitors" 10

e2e_end
