# Shared helpers of the settings-window tests: where the window is, clicks in
# its client pixels, the values of the settings file it writes. Source after
# lib.sh.

# The window's top-left corner on a 1024 x 768 screen (a test on another
# screen sets them from the window: window_pos).
WX=289
WY=97

# Screen position of a point given in the window's client pixels.
at() { printf '%d %d' $((WX + $1)) $((WY + $2)); }
click_at() {
  # shellcheck disable=SC2046
  xdotool mousemove $(at "$1" "$2") && sleep 0.3 && xdotool click 1
}
hover_at() {
  # shellcheck disable=SC2046
  xdotool mousemove $(at "$1" "$2") && sleep 0.3
}

# ini_value DIR KEY: the value of KEY in DIR's settings file, blanks removed.
ini_value() {
  iconv -f CP932 -t UTF-8 "$1/$INI_NAME" 2>/dev/null | tr -d '\r' |
    sed -n "s/^$2=//p" | head -n 1 | sed 's/^ *//; s/ *$//'
}
ini_keys() { iconv -f CP932 -t UTF-8 "$1/$INI_NAME" 2>/dev/null | tr -d '\r' | sed -n 's/=.*//p' | tr '\n' ' '; }

# open_dialog DIR: starts /c with the cursor at a known place, waits for the
# window, drawn (its title strip) and with the focus, so that a first click
# counts; its process id is left in DLG. START_SAVER names the function that
# starts the saver (start_saver unless a test starts it another way).
open_dialog() {
  place_cursor 500 400 || log "cursor not placed"
  "${START_SAVER:-start_saver}" "$1" /c
  DLG=$SAVER_PID
  WIN=$(wait_window "$SETTINGS_TITLE" 30) || { fail "window did not appear"; return 1; }
  shot_until 10 "$E2E_TEST_WORK/opened.png" title_strip_is_dark_blue >/dev/null || log "the window was not drawn"
  focus_window "$WIN" || log "the settings window did not take the focus"
}

# close_dialog: makes sure the dialog of the case is gone before the next one.
close_dialog() { stop_pid "$DLG"; }

# title_strip_is_dark_blue FILE: the window's title strip, in a screenshot,
# is a dark blue (more blue than red, blue below 160).
title_strip_is_dark_blue() {
  local b r
  b=$(channel "$1" $((WX + 300)) $((WY + 12)) b)
  r=$(channel "$1" $((WX + 300)) $((WY + 12)) r)
  [ "$b" -gt "$r" ] && [ "$b" -lt 160 ] && return 0
  log "the title strip is blue $b, red $r"
  return 1
}
