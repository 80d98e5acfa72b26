#!/usr/bin/env bash
# End-to-end tests of the Command button on the test-only host program
# (tools/button_host_win.cpp): four buttons of the settings window's sizes,
# driven with xdotool; screenshots show the faces, the host's log shows the
# state changes and the Click events. Also reports the measured cost of one
# face paint and of the four idle hover timers. Screenshots stay in
# build/e2e/button/.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=buttons.sh
. "$E2E_HARNESS_DIR/buttons.sh"

HOST="${TESS_BUTTON_HOST:-$REPO/build/windows/tools/button_host.exe}"

# The frame's outer ring of each face picture (assets/make_button_faces.cpp).
NORMAL=686C94
HIGHLIGHT=4868C4
PRESSED=303870
HIGHLIGHT_SELECT=3854BE
SELECTED=40489C

e2e_begin button
SHOTS="$E2E_TEST_WORK"
[ -f "$HOST" ] || { fail "$HOST is missing; build the windows preset first"; e2e_end; }
LOG="$SHOTS/buttons.log"

start_host() {
  place_cursor 10 10 || log "cursor not placed"
  SAVER_LOG="$SHOTS/host.out"
  (cd "$SHOTS" && WINEDEBUG=-all,err+all exec "$WINE" "$HOST" buttons.log "$@") >"$SAVER_LOG" 2>&1 &
  HOST_PID=$!
  E2E_STARTED_PIDS+=("$HOST_PID")
  wait_until 20 "the host's Ready line in $LOG" grep -q '^Ready' "$LOG" 2>/dev/null || return 1
  read_button_places "$LOG"
}

# A point on the form, away from every button.
OFF_X=110
OFF_Y=110

# The buttons notice the cursor with a 100 ms poll timer: a face is waited
# for, not expected after a fixed time. SETTLE, three times the longest a
# change has taken so far in this run (at least 0.5 s), is how long a face
# is given to change when the check is that it does not.
SETTLE=0.5
# face NAME: the same in the last screenshot.
face() { face_in "$SHOT" "$1"; }
# faces_are FILE NAME COLOUR...: each named button shows that face.
faces_are() {
  local file="$1"
  shift
  while [ $# -ge 2 ]; do
    [ "$(face_in "$file" "$1")" = "$2" ] || return 1
    shift 2
  done
}
# shot NAME [BUTTON FACE...]: a screenshot NAME.png (SHOT) once the buttons
# show these faces (at most 5 s), or, without any, after SETTLE.
shot() {
  local name="$1" t0
  SHOT="$SHOTS/$name.png"
  shift
  if [ $# -eq 0 ]; then
    sleep "$SETTLE"
    screenshot "$SHOT"
    return
  fi
  t0=$(now)
  shot_until 5 "$SHOT" faces_are "$@" >/dev/null || log "$name: the faces $* did not show within 5 s"
  local took
  took=$(seconds_since "$t0")
  figure "$name" "$took"
  SETTLE=$(awk -v s="$SETTLE" -v t="$took" 'BEGIN{v = 3 * t; printf "%.2f", (v > s ? v : s)}')
}
# clicks_become NAME N: waits (5 s at most) until the log holds N Clicks of NAME.
clicks_become() { wait_until 5 "$2 Click lines of $1" eval "[ \"\$(clicks $1)\" -ge $2 ]"; }
# brightness of a point's red channel in the last screenshot (0-255).
red_at() { channel "$SHOT" "$1" "$2" r; }
clicks() { tr -d '\r' <"$LOG" | grep -c "^Click $1\$"; }
saw_state() { tr -d '\r' <"$LOG" | grep -q "^State $1 $2\$"; }
never_state() { ! saw_state "$1" "$2"; }

e2e_case "the host"
if ! start_host; then
  fail "host did not start"
  e2e_end
fi
check "host window is shown" window_shows "Tessellane button host" 10

# --- Idle, hover, press, release, leave --------------------------------------
e2e_case "Idle, hover, press, release, leave"
xdotool mousemove $OFF_X $OFF_Y
shot idle Cmd_CAN $NORMAL Cmd_Set $NORMAL Cmd_Color $NORMAL Cmd_BGM $NORMAL
for b in Cmd_CAN Cmd_Set Cmd_Color Cmd_BGM; do
  check_eq "$b idle face" $NORMAL "$(face $b)"
done
# The frame's second ring: white along the top, shadow along the bottom, so
# the bottom pieces come from the picture's bottom rows.
read -r x y w h <<<"${AT[Cmd_Set]}"
check "top edge's second ring" is_colour "$SHOT" $((x + w / 2)) $((y + 1)) FFFFFF
check "bottom edge's second ring" is_colour "$SHOT" $((x + w / 2)) $((y + h - 2)) A0A0BC
check "right edge's second ring" is_colour "$SHOT" $((x + w - 2)) $((y + h / 2)) A0A0BC
read -r tx ty <<<"$(inside_top Cmd_Set)"; read -r bx by <<<"$(inside_bottom Cmd_Set)"
check "idle gradient light at the top" [ "$(red_at $tx $ty)" -gt "$(red_at $bx $by)" ]

# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_Set)
shot hover Cmd_Set $HIGHLIGHT
check_eq "hover face" $HIGHLIGHT "$(face Cmd_Set)"
check "hover gradient dark at the top" [ "$(red_at $tx $ty)" -lt "$(red_at $bx $by)" ]
check_eq "the other buttons stay idle while Cmd_Set hovers" "$NORMAL $NORMAL $NORMAL" \
  "$(face Cmd_CAN) $(face Cmd_Color) $(face Cmd_BGM)"

xdotool mousedown 1
shot pressed Cmd_Set $PRESSED
check_eq "pressed face" $PRESSED "$(face Cmd_Set)"
check_eq "no Click before the release" 0 "$(clicks Cmd_Set)"
check "the press took the focus (state 4)" wait_until 5 "state 4 of Cmd_Set" saw_state Cmd_Set 4

xdotool mouseup 1
shot released Cmd_Set $HIGHLIGHT_SELECT
check_eq "released face is the focused hover face" $HIGHLIGHT_SELECT "$(face Cmd_Set)"
clicks_become Cmd_Set 1
check_eq "one Click for one click" 1 "$(clicks Cmd_Set)"

xdotool mousemove $OFF_X $OFF_Y
shot left Cmd_Set $SELECTED
check_eq "focused face after leaving" $SELECTED "$(face Cmd_Set)"

# --- Moving straight from one button to the next ---------------------------
e2e_case "Moving straight from one button to the next"
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_Color)
shot on_colour Cmd_Color $HIGHLIGHT
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_BGM)
shot next_button Cmd_Color $NORMAL Cmd_BGM $HIGHLIGHT
check_eq "only the button under the cursor hovers" "$NORMAL $HIGHLIGHT" "$(face Cmd_Color) $(face Cmd_BGM)"

# --- A cancelled press: down, drag off, one tick, back, up -------------------
e2e_case "A cancelled press: down, drag off, one tick, back, up"
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_CAN)
shot on_cancel Cmd_CAN $HIGHLIGHT
xdotool mousedown 1
shot cancel_pressed Cmd_CAN $PRESSED
xdotool mousemove $OFF_X $OFF_Y
check "the leave test found the held button away (state 3)" wait_until 5 "state 3 of Cmd_CAN" saw_state Cmd_CAN 3
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_CAN)
shot dragged_back
check_eq "dragged back, the press stays cancelled" $SELECTED "$(face Cmd_CAN)"
check_eq "the earlier button lost the focus" $NORMAL "$(face Cmd_Set)"
xdotool mouseup 1
sleep "$SETTLE"
check_eq "no Click for a cancelled press" 0 "$(clicks Cmd_CAN)"
xdotool mousemove $OFF_X $OFF_Y

# --- The right button clicks without a pressed face or the focus ------------
e2e_case "The right button clicks without a pressed face or the focus"
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_Color)
shot on_colour_again Cmd_Color $HIGHLIGHT
xdotool mousedown 3
shot right_down
check_eq "no pressed face under the right button" $HIGHLIGHT "$(face Cmd_Color)"
xdotool mouseup 3
clicks_become Cmd_Color 1
check_eq "a right-button release clicks" 1 "$(clicks Cmd_Color)"
check "the right button did not take the focus" never_state Cmd_Color 4

# --- Another full click, and a pause: no stray clicks -----------------------
e2e_case "Another full click, and a pause: no stray clicks"
# shellcheck disable=SC2046
xdotool mousemove $(centre Cmd_BGM)
shot on_bgm Cmd_BGM $HIGHLIGHT
xdotool click 1
clicks_become Cmd_BGM 1
sleep "$SETTLE"
check_eq "every click counted once" "1 0 1 1" \
  "$(clicks Cmd_Set) $(clicks Cmd_CAN) $(clicks Cmd_Color) $(clicks Cmd_BGM)"
check "the host is still running" alive "$HOST_PID"
stop_pid "$HOST_PID"

# --- Measurements (reported, not judged) -----------------------------------
SECONDS_PER_PHASE="${TESS_BUTTON_MEASURE_SECONDS:-10}"
e2e_case "Measurements (reported, not judged)" $((2 * SECONDS_PER_PHASE + 120))
: >"$LOG"
if start_host --measure "$SECONDS_PER_PHASE"; then
  wait_exit "$HOST_PID" $((2 * SECONDS_PER_PHASE + 20)) || stop_pid "$HOST_PID"
  draw=$(tr -d '\r' <"$LOG" | sed -n 's/^DrawFace_us //p')
  with=$(tr -d '\r' <"$LOG" | sed -n 's/^IdleCpu_ms_per_s_with_timers //p')
  without=$(tr -d '\r' <"$LOG" | sed -n 's/^IdleCpu_ms_per_s_without_timers //p')
  check "measurements were written" [ -n "$draw" ] && [ -n "$with" ] && [ -n "$without" ]
  echo "MEASURE: one DrawFace ${draw} us (77 x 33 px, under Wine)"
  echo "MEASURE: idle CPU ${with} ms/s with the four 100 ms timers, ${without} ms/s without them"
else
  fail "host did not start for the measurements"
fi

e2e_end
