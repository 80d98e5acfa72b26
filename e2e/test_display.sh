#!/usr/bin/env bash
# End-to-end tests of the full-screen display on a 1024x768 screen: the ring
# picture of a finished cycle, the pause and the alternating next cycle, the
# inputs that end it and those that do not, the refusal of a
# second copy, an unknown switch, and a raised DPI setting.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RED=FF0000
# Stop time 30 s: the finished first cycle stays on the screen long enough
# to be photographed; 0 for the input tests, so no pause delays an input.
RED_INI=('停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0')
QUICK_INI=('停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0')

e2e_begin display
# The prefix is shared by the whole run: start at the default 96 DPI even if
# an interrupted run left the raised setting behind (the exit trap puts it
# back after the DPI cases, also when one times out).
DPI_KEY='HKCU\Control Panel\Desktop'
prefix_reg_delete "$DPI_KEY" LogPixels

# start_display (lib.sh) places the cursor at (500, 400).

# end_display: makes sure the saver of this case is gone before the next one.
end_display() {
  stop_pid "$SAVER_PID"
}

# display_ready: the display runs its loop (rings appear on the black
# background, so it has also seen the first mouse position) and its window
# has the keyboard focus.
has_rings() { [ "$(other_pixels "$1" 000000)" -gt 0 ]; }
display_ready() {
  shot_until 15 "$DIR/ready.png" has_rings || { log "no rings were drawn"; return 1; }
  focus_window "$WIN"
}
# key_to_display KEY: the key through the keyboard when the display has the
# focus, else sent to its window.
key_to_display() {
  if has_focus "$WIN"; then xdotool key "$1"; else log "sent to the window: $1"; send_key "$1"; fi
}

# Figures of a screenshot against a background colour.
background_share() { rings stats "$1" "$2" | sed -n 's/.* background=\([0-9.]*\) .*/\1/p'; }

# --- red background with one-pixel rings over the whole screen ----------
e2e_case "/s with a fixed red background"
start_display red /s -- "${RED_INI[@]}"
check "/s shows the window $MAIN" test -n "$WIN"
if [ -n "$WIN" ]; then
  check_eq "the window covers the screen" "0 0 1024 768" "$(window_pos "$WIN") $(window_size "$WIN")"
  shot="$E2E_TEST_WORK/red.png"
  # The finished cycle holds still during its pause.
  check "the picture settles at the end of the first cycle" settled_screenshot "$shot"
  bg=$(background_share "$shot" "$RED")
  rp=$(ring_pixels "$shot" "$RED")
  log "red share $bg, ring pixels $rp"
  # Even the largest radius leaves 30 % of the screen between the rings.
  check "the background between the rings is pure red (share $bg)" at_least "$bg" 0.25
  check "rings are drawn on the red background ($rp pixels)" test "${rp:-0}" -gt 1000
  result=$(rings cycle "$shot" "$RED"); rc=$?
  log "$result"
  check "the picture is one complete cycle of one-pixel rings along the bouncing diagonal" test "$rc" -eq 0
  check "the saver is still running while it pauses" alive "$SAVER_PID"
fi
end_display

# --- the cycle after the pause: complementary colours, same background -----
e2e_case "/s: pause and the next cycle"
start_display cycles /s -- '停止時間=2' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
check "/s window shown (stop time 2 s)" test -n "$WIN"
if [ -n "$WIN" ]; then
  # Watch the screen: every picture that holds still for a second is a
  # finished cycle in its pause. Keep the first two and how long the first held.
  held=0 hold1="" last="" since=0 saved=0
  deadline=$(( $(date +%s) + 40 ))
  while [ "$held" -lt 2 ] && [ "$(date +%s)" -lt "$deadline" ]; do
    screenshot "$E2E_TEST_WORK/poll.png"
    now=$(date +%s%N)
    h=$(screen_hash "$E2E_TEST_WORK/poll.png")
    if [ "$h" = "$last" ]; then
      if [ "$saved" -eq 0 ] && [ $(( (now - since) / 1000000 )) -ge 1000 ]; then
        held=$((held + 1)); saved=1
        cp "$E2E_TEST_WORK/poll.png" "$E2E_TEST_WORK/cycle$held.png"
      fi
    else
      [ "$saved" -eq 1 ] && [ "$held" -eq 1 ] && hold1=$(( (now - since) / 1000000 ))
      last=$h since=$now saved=0
    fi
  done
  [ "$held" -ge 2 ] || log "timed out after 40 s waiting for two pictures held still for a second"
  check_eq "two finished cycles were seen" 2 "$held"
  log "the first cycle's picture held for ${hold1:-?} ms (stop time 2 s)"
  check "the first cycle is held for about the stop time (${hold1:-?} ms)" between "${hold1:-0}" 1000 6000
  if [ "$held" -eq 2 ]; then
    result=$(rings cycle "$E2E_TEST_WORK/cycle1.png" "$RED"); rc=$?
    log "$result"
    check "the first cycle is plain: one ring colour" test "$rc" -eq 0
    result=$(rings cycle2 "$E2E_TEST_WORK/cycle2.png" "$RED"); rc=$?
    log "$result"
    check "the second cycle alternates the colour with its complement, on the same red background" test "$rc" -eq 0
  fi
fi
end_display

# --- mouse movement in /s mode ------------------------------------------
e2e_case "/s: mouse movement"
start_display mouse /s -- "${QUICK_INI[@]}"
check "/s window shown" test -n "$WIN"
check "/s draws and has the focus" display_ready
check "the first mouse position (where the window appeared) only records the origin" alive "$SAVER_PID"
xdotool mousemove 700 400
check "a horizontal move does not end the display" still_running "$SAVER_PID" 2
xdotool mousemove 500 650
check "a vertical move (x back at the origin's) does not end the display" still_running "$SAVER_PID" 2
xdotool mousemove 100 400
check "a long horizontal move does not end it either" still_running "$SAVER_PID" 2
xdotool mousemove 520 420
check "a move changing x and y ends the display" wait_exit "$SAVER_PID" 5
check_eq "no display window is left" 0 "$(window_count "$MAIN")"
end_display

# The origin is the first position seen, not the last one: after a horizontal
# move, a move that is diagonal from there but vertical from the origin keeps it.
start_display mouse_origin /s -- "${QUICK_INI[@]}"
check "/s draws and has the focus (origin)" display_ready
xdotool mousemove 600 400
check "a horizontal move does not end the display (origin)" still_running "$SAVER_PID" 1
xdotool mousemove 500 300
check "moves are measured from the first position, not the previous one" still_running "$SAVER_PID" 2
end_display

# --- keys end the display -----------------------------------------------
e2e_case "/s: keys"
for key in a space Escape Right; do
  start_display "key_$key" /s -- "${QUICK_INI[@]}"
  check "/s draws and has the focus before the key $key" display_ready
  check "/s alive before the key $key" alive "$SAVER_PID"
  key_to_display "$key"
  check "the key $key ends the display (no CD music)" wait_exit "$SAVER_PID" 5
  end_display
done

# --- no command line: moving does not end it, a click does ---------------
e2e_case "no command line"
start_display nocmd -- "${QUICK_INI[@]}"
check "an empty command line shows the display" test -n "$WIN"
check "it draws and has the focus" display_ready
xdotool mousemove 700 600
sleep 0.3
xdotool mousemove 100 50
sleep 0.3
xdotool mousemove 900 700
check "diagonal mouse moves do not end it" still_running "$SAVER_PID" 2
xdotool click 1
check "a click ends it" wait_exit "$SAVER_PID" 5
end_display

start_display nocmd_right -- "${QUICK_INI[@]}"
check "it draws (right click)" display_ready
xdotool click 3
check "without a command line a right click ends it too" wait_exit "$SAVER_PID" 5
end_display

start_display nocmd_key -- "${QUICK_INI[@]}"
check "it draws and has the focus (key)" display_ready
key_to_display b
check "without a command line a key ends it" wait_exit "$SAVER_PID" 5
end_display

start_display click_s /s -- "${QUICK_INI[@]}"
check "/s draws (click)" display_ready
xdotool click 1
check "in /s mode a click ends it" wait_exit "$SAVER_PID" 5
end_display

# --- a second copy is refused while the display runs --------------------
e2e_case "second start while the display runs"
start_display first /s -- "${QUICK_INI[@]}"
check "first display running" test -n "$WIN"
FIRST_PID=$SAVER_PID
for args in "/s" "/c" "/p 123" ""; do
  # shellcheck disable=SC2086 # each switch a separate argument
  start_saver "$DIR" $args
  second=$SAVER_PID
  saw_dialog=$(window_seen "$second" "$SETTINGS_TITLE" 3)
  check "a second start '${args:-(no switch)}' ends within 3 s" wait_exit "$second" 0
  stop_pid "$second"
  check_eq "after '${args:-(no switch)}' there is still one display window" 1 "$(window_count "$MAIN")"
  check_eq "no settings dialog appeared for '${args:-(no switch)}'" 0 "$saw_dialog"
done
SAVER_PID=$FIRST_PID
check "the first display is still running" alive "$SAVER_PID"
focus_window "$WIN" || log "the first display did not take the focus"
key_to_display q
check "and a key still ends it" wait_exit "$SAVER_PID" 5
end_display

# --- an unknown switch shows nothing and ends ----------------------------
e2e_case "unknown switches"
for args in "/x" "s"; do
  DIR=$(new_testdir "unknown_${args//\//}")
  write_ini "$DIR" "${QUICK_INI[@]}"
  start_saver "$DIR" "$args"
  saw=$(window_seen "$SAVER_PID" "$MAIN" 3)
  check "'$args' ends within 3 s" wait_exit "$SAVER_PID" 0
  check_eq "'$args' shows no display window" 0 "$saw"
  end_display
done

# --- a raised DPI setting still fills the screen with one-pixel rings ----
# 1441 DPI: a pixel is smaller than a twip there (one twip per pixel, not 0).
for dpi in 144 1441; do
  e2e_case "$dpi DPI"
  if prefix_reg_add "$DPI_KEY" LogPixels REG_DWORD "$dpi"; then
    start_display "dpi$dpi" /s -- "${RED_INI[@]}"
    check "/s window shown at $dpi DPI" test -n "$WIN"
    if [ -n "$WIN" ]; then
      shot="$E2E_TEST_WORK/dpi$dpi.png"
      check "the picture settles at $dpi DPI" settled_screenshot "$shot"
      result=$(rings cycle "$shot" "$RED"); rc=$?
      log "$result"
      check "at $dpi DPI the whole 1024x768 screen shows the same one-pixel ring cycle" test "$rc" -eq 0
    fi
    check "the saver is still running at $dpi DPI" alive "$SAVER_PID"
    end_display
    prefix_reg_delete "$DPI_KEY" LogPixels
  else
    fail "could not set LogPixels=$dpi"
  fi
done

e2e_end
