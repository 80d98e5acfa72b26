# Shared helpers of the settings-window tests: where the window is, clicks in
# its client pixels, the values of the settings file it writes. Source after
# lib.sh.

TITLE='テセレーンの設定'
# The window's top-left corner on a 1024 x 768 screen.
WX=289
WY=97

# Screen position of a point given in the window's client pixels.
at() { printf '%d %d' $((WX + $1)) $((WY + $2)); }
click_at() {
  # shellcheck disable=SC2046
  xdotool mousemove $(at "$1" "$2") && sleep 0.3 && xdotool click 1
}

# ini_value DIR KEY: the value of KEY in DIR's settings file, blanks removed.
ini_value() {
  iconv -f CP932 -t UTF-8 "$1/$INI_NAME" 2>/dev/null | tr -d '\r' |
    sed -n "s/^$2=//p" | head -n 1 | sed 's/^ *//; s/ *$//'
}
ini_keys() { iconv -f CP932 -t UTF-8 "$1/$INI_NAME" 2>/dev/null | tr -d '\r' | sed -n 's/=.*//p' | tr '\n' ' '; }

# open_dialog DIR: starts /c with the cursor at a known place, waits for the
# window; its process id is left in DLG. START_SAVER names the function that
# starts the saver (start_saver unless a test starts it another way).
open_dialog() {
  place_cursor 500 400 || log "cursor not placed"
  "${START_SAVER:-start_saver}" "$1" /c
  DLG=$SAVER_PID
  WIN=$(wait_window "$TITLE" 30) || { fail "window did not appear"; return 1; }
  sleep 1
}

# close_dialog: makes sure the dialog of the case is gone before the next one.
close_dialog() { stop_pid "$DLG"; }

# find_window NAME: the X id of a visible window whose title matches NAME.
find_window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
# gone_within SECONDS NAME: true once no visible window matches NAME.
gone_within() {
  wait_until "$1" "no visible window named '$2'" no_window "$2"
}
