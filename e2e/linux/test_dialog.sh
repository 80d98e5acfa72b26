#!/usr/bin/env bash
# End-to-end tests of the native settings window (tessellane /c) under Xvfb:
# its size, place and title and the places of its buttons and native
# widgets; every command driven with xdotool (ﾗﾝﾀﾞﾑ, the music kinds, the
# spinner, the track box, the colour and file choosers, the link through a
# recording xdg-open, the title-strip drag, the close button); a save round
# trip byte for byte with another section kept; cancel and the close button
# write nothing; a settings folder that cannot be written gives one message
# box and changes nothing. Then on a 1920x1080 screen, under GDK_SCALE=2 and
# under Xft.dpi 192 alone: the window at twice its size and at its place in
# logical pixels, wholly on screen, sharp, its hover, drag and 設定 working;
# at Xft.dpi 288, three times too tall for the screen, the same at twice.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_native
linux_begin dialog

start_xvfb 1024x768 || { fail "Xvfb starts"; e2e_end; }
INI_DIR="$XDG_CONFIG_HOME/tessellane"
INI="$INI_DIR/$INI_NAME"
URL="https://tessellane.example.org/"
# A fake desktop handler that records what it was asked to open.
BIN="$E2E_TEST_WORK/bin"
OPENED="$E2E_TEST_WORK/opened.txt"
mkdir -p "$BIN"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$OPENED" >"$BIN/xdg-open"
chmod +x "$BIN/xdg-open"

# A settings file as the program itself writes it (values with their
# leading blank), and a section of another program that must be kept.
write_file() {
  mkdir -p "$INI_DIR"
  {
    printf '[Section]\r\n'
    printf '%s\r\n' "停止時間= 5" "背景色= 255" "背景色ﾗﾝﾀﾞﾑ= 0" "BGM区分= 0" "BGMﾘﾋﾟｰﾄ= 0" "BGMﾌｧｲﾙ=$1"
    printf '[Other]\r\nkeep=this line\r\n'
  } | iconv -f UTF-8 -t CP932 >"$INI"
}
ini_value() { iconv -f CP932 -t UTF-8 "$INI" | tr -d '\r' | sed -n "s/^$1=//p" | head -n 1 | sed 's/^ *//'; }

# open_dialog: starts /c, waits for its window and for it to be drawn; the
# window's top-left corner in WX, WY.
title_drawn() { [ "$(channel "$1" $((WX + 300)) $((WY + 12)) b)" -gt "$(channel "$1" $((WX + 300)) $((WY + 12)) r)" ]; }
open_dialog() {
  xdotool mousemove 5 5
  PATH="$BIN:$PATH" start_native /c
  WIN=$(wait_window "$SETTINGS_TITLE" 20) || { fail "the settings window shows"; return 1; }
  read -r WX WY <<<"$(window_pos "$WIN")"
  shot_until 10 "$E2E_TEST_WORK/opened.png" title_drawn >/dev/null || log "the window was not drawn"
}
# click X Y: a left click at the window's client pixel (X, Y).
click() { xdotool mousemove $((WX + $1)) $((WY + $2)) click 1; }
ended() { ! alive "$NATIVE_PID"; }
# ends_within WHAT: the program ends by itself within 10 s, exit code 0.
ends_within() {
  if wait_exit "$NATIVE_PID" 10; then
    check_eq "$1: exit code" 0 "$EXIT_CODE"
  else
    fail "$1: the program ends"
    stop_native KILL 2
  fi
}
# children WIN: "WxH+X+Y" of the window's own X windows (buttons, combo box, scroll bar).
children() { xwininfo -children -id "$1" | sed -n 's/.*(has no name): ()  *\([0-9x+-]*\)  .*/\1/p' | sort | tr '\n' ' '; }

e2e_case "size, place, title, the controls' windows and the rays' pace" 120
write_file ""
open_dialog && {
  check_eq "window size" "446 477" "$(window_size "$WIN")"
  # Half the spare width from the left, a third of the spare height from the top.
  check_eq "window place" "289 97" "$WX $WY"
  check_eq "one window with the title" 1 "$(window_count "$SETTINGS_TITLE")"
  # The skin: a lavender gradient edge, and light rays that sweep on at their
  # pace: the picture changes from one second to the next.
  check "light rays are drawn" shot_until 10 "$E2E_TEST_WORK/rays.png" rays_above 0.01
  rays_shown_at=$(now)
  rays_ticks=$(cpu_ticks "$NATIVE_PID")
  figure rays_first "$(rays_brightness "$E2E_TEST_WORK/rays.png")"
  check "the gradient is lavender in the middle of the left edge" \
    is_colour "$E2E_TEST_WORK/rays.png" $((WX + 2)) $((WY + 238)) DCDCFA
  sleep_until "$(plus "$rays_shown_at" 1)"
  screenshot "$E2E_TEST_WORK/rays_1s.png"
  check "the rays' picture changes within a second" \
    areas_differ "$E2E_TEST_WORK/rays.png" "$E2E_TEST_WORK/rays_1s.png" "$(rays_area)"
  kids=$(children "$WIN")
  for geometry in 33x33+360+156 77x33+352+216 77x33+352+252 33x33+52+388 41x20+102+334 21x33+368+92; do
    check "a control's window at $geometry" grep -q -- "$geometry" <<<"$kids"
  done
  # A second copy refuses to start while the settings window shows, through
  # the display program's guard and through the settings program's own.
  for program in "$NATIVE" "$LINUX_BUILD/tessellane-settings"; do
    "$program" /c >>"$E2E_TEST_WORK/second.log" 2>&1 &
    second=$!
    check "a second /c of $(basename "$program") ends by itself" wait_exit "$second" 10
    check_eq "one settings window after $(basename "$program")" 1 "$(window_count "$SETTINGS_TITLE")"
  done
  # Hover: the button under the cursor lights up, and the 100-ms leave test
  # (which asks X for the window under the cursor) puts it back once the
  # cursor is over the window's background.
  face() { pixel "$1" $((WX + 356)) $((WY + 220)); }
  screenshot "$E2E_TEST_WORK/idle.png"
  IDLE=$(face "$E2E_TEST_WORK/idle.png")
  xdotool mousemove $((WX + 390)) $((WY + 232))
  lit() { [ "$(face "$1")" != "$IDLE" ]; }
  unlit() { [ "$(face "$1")" = "$IDLE" ]; }
  check "hovering lights the button" shot_until 5 "$E2E_TEST_WORK/hover.png" lit
  xdotool mousemove $((WX + 200)) $((WY + 460))
  check "leaving puts the button back" shot_until 5 "$E2E_TEST_WORK/left.png" unlit
  # A minute on, the rays have not yet turned the picture into a flat square.
  sleep_until "$(plus "$rays_shown_at" 60)"
  screenshot "$E2E_TEST_WORK/rays_60s.png"
  check "after a minute the rays' picture is not flat" rays_not_flat "$E2E_TEST_WORK/rays_60s.png"
  # Between its frames the animation waits for the next one: a wait that
  # spins takes a whole core, the rays themselves a few per cent.
  rays_cpu=$(cpu_percent "$rays_ticks" "$(cpu_ticks "$NATIVE_PID")" "$rays_shown_at")
  figure rays_cpu_percent "$rays_cpu"
  check "the rays wait for their frames without spinning (${rays_cpu} % of one core)" below "$rays_cpu" 40
  cp "$INI" "$E2E_TEST_WORK/before.ini"
  # The close button closes without saving.
  click 435 11
  ends_within "close button"
  check "the close button writes nothing" cmp -s "$INI" "$E2E_TEST_WORK/before.ini"
}

e2e_case "save round trip: the same bytes, the other section kept" 60
# The music file must exist: the load drops one that does not.
: >"$E2E_TEST_WORK/some music.mp3"
write_file "$E2E_TEST_WORK/some music.mp3"
cp "$INI" "$E2E_TEST_WORK/round.ini"
open_dialog && {
  click 390 268  # 設定
  ends_within "save"
  check "saving unchanged settings gives the same bytes" cmp "$INI" "$E2E_TEST_WORK/round.ini"
}

e2e_case "commands: ﾗﾝﾀﾞﾑ, music kind, spinner, track box, then save" 90
write_file ""
open_dialog && {
  click 395 202                # ﾗﾝﾀﾞﾑ: off to on
  click $((26 + 40)) $((298 + 46))  # 音楽CD (label)
  click 378 97                 # the spinner's upper arrow: 5 to 6 seconds
  click 378 97                 # 6 to 7
  click $((102 + 12)) $((334 + 10))
  xdotool key ctrl+a type 12
  click 390 268
  ends_within "save after commands"
  check_eq "背景色ﾗﾝﾀﾞﾑ toggled" 1 "$(ini_value '背景色ﾗﾝﾀﾞﾑ')"
  check_eq "BGM区分 from its label" 1 "$(ini_value 'BGM区分')"
  check_eq "停止時間 raised twice by the upper arrow" 7 "$(ini_value '停止時間')"
  check_eq "BGMﾘﾋﾟｰﾄ typed" 12 "$(ini_value 'BGMﾘﾋﾟｰﾄ')"
  check_eq "背景色 kept" 255 "$(ini_value '背景色')"
  check "the other section kept" grep -q 'keep=this line' "$INI"
}

e2e_case "cancel after changes writes nothing" 60
write_file ""
cp "$INI" "$E2E_TEST_WORK/before.ini"
open_dialog && {
  click 395 202
  click $((26 + 40)) $((298 + 78))
  click 390 232  # ｷｬﾝｾﾙ
  ends_within "cancel"
  check "cancel writes nothing" cmp -s "$INI" "$E2E_TEST_WORK/before.ini"
}

# choose_file PATH: the file button, PATH pasted into the chooser (typing a
# Japanese name through xdotool loses characters), confirmed (the first
# Return may only close the name completion's list).
choose_file() {
  click 68 404
  FILE_WIN=$(wait_window "ﾌｧｲﾙを開く" 10) || { fail "the file chooser shows"; return 1; }
  focus_window "$FILE_WIN"
  xdotool key ctrl+l
  paste_text "$1"
  xdotool key Return
  wait_until 3 "the file chooser to close" no_window "^ﾌｧｲﾙを開く\$" || xdotool key Return
  check "the file chooser closes" wait_until 10 "the file chooser to close" no_window "^ﾌｧｲﾙを開く\$"
}

e2e_case "colour chooser and file chooser" 120
write_file ""
MUSIC_DIR="$E2E_TEST_WORK/音楽"
mkdir -p "$MUSIC_DIR"
: >"$MUSIC_DIR/song.MP3"
open_dialog && {
  click 376 172  # the colour button
  COLOUR_WIN=$(wait_window "色の設定" 10)
  check "the colour chooser shows" test -n "$COLOUR_WIN"
  if [ -n "$COLOUR_WIN" ]; then
    # The palette's fifth column (reds), its top swatch; then the button at
    # the lower right that confirms.
    read -r CX CY <<<"$(window_pos "$COLOUR_WIN")"
    read -r CW CH <<<"$(window_size "$COLOUR_WIN")"
    xdotool mousemove $((CX + 244)) $((CY + 27)) click 1
    xdotool mousemove $((CX + CW - 45)) $((CY + CH - 25)) click 1
    check "the colour chooser closes" wait_until 10 "the colour chooser to close" no_window "^色の設定\$"
    shot_until 5 "$E2E_TEST_WORK/swatch.png" true >/dev/null
    SWATCH=$(pixel "$E2E_TEST_WORK/swatch.png" $((WX + 412)) $((WY + 172)))
  fi
  choose_file "$MUSIC_DIR/song.MP3"
  click 390 268
  ends_within "save after the choosers"
  colour=$(ini_value '背景色')
  check "背景色 is a chosen colour, not black ($colour)" test "$colour" != 0 -a "$colour" != 255
  # The swatch showed the colour the file gets (0x00BBGGRR there, RRGGBB on screen).
  check_eq "the swatch shows the saved colour" "$(printf '%02X%02X%02X' $((colour & 255)) $((colour >> 8 & 255)) $((colour >> 16)))" "${SWATCH:-}"
  check_eq "BGMﾌｧｲﾙ is the chosen file" "$MUSIC_DIR/song.MP3" "$(ini_value 'BGMﾌｧｲﾙ')"
}

e2e_case "a music file whose name code page 932 cannot hold is refused" 90
mkdir -p "$MUSIC_DIR"
: >"$MUSIC_DIR/song.MP3"
: >"$MUSIC_DIR/été.mp3"
write_file "$MUSIC_DIR/song.MP3"
open_dialog && choose_file "$MUSIC_DIR/été.mp3" && {
  MSG=$(wait_window "テセレーン" 10)
  check "a message box tells why" test -n "$MSG"
  check_eq "one message box" 1 "$(window_count "テセレーン")"
  [ -n "$MSG" ] && focus_window "$MSG" && xdotool key Return
  check "the message box closes" wait_until 10 "the message box to close" no_window "^テセレーン\$"
  check "the settings window stays" alive "$NATIVE_PID"
  click 390 268
  ends_within "save after the refused file"
  check_eq "BGMﾌｧｲﾙ keeps the file it had" "$MUSIC_DIR/song.MP3" "$(ini_value 'BGMﾌｧｲﾙ')"
}

e2e_case "link, title-strip drag" 60
write_file ""
rm -f "$OPENED"
open_dialog && {
  click 240 450  # the link
  check "xdg-open gets the address" wait_until 10 "xdg-open to run" grep -qsx "$URL" "$OPENED"
  x0=$WX y0=$WY
  # A drag at a hand's pace: the press reads the cursor when it is handled.
  xdotool mousemove $((WX + 100)) $((WY + 10)) mousedown 1 sleep 0.2
  xdotool mousemove $((WX + 130)) $((WY + 25)) sleep 0.2
  xdotool mousemove $((WX + 160)) $((WY + 40)) sleep 0.2 mouseup 1
  moved() { [ "$(window_pos "$WIN")" = "$((x0 + 60)) $((y0 + 30))" ]; }
  check "dragging the title strip moves the window by the cursor's way" wait_until 5 "the window to move" moved
  read -r WX WY <<<"$(window_pos "$WIN")"
  click 390 232
  ends_within "cancel after the drag"
}

# Under a window manager the drag is the manager's; after the release the
# window stays where it was left when the cursor goes on over the strip.
e2e_case "title-strip drag under a window manager" 60
if command -v openbox >/dev/null; then
  openbox >"$E2E_TEST_WORK/openbox.log" 2>&1 &
  WM_PID=$!
  stop_wm() { kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; }
  on_exit stop_wm
  wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  check "the window manager runs" wait_until 10 "openbox to start" wm_up
  write_file ""
  open_dialog && {
    x0=$WX y0=$WY
    xdotool mousemove $((WX + 100)) $((WY + 10)) mousedown 1 sleep 0.2
    xdotool mousemove $((WX + 130)) $((WY + 25)) sleep 0.2
    xdotool mousemove $((WX + 160)) $((WY + 40)) sleep 0.2 mouseup 1
    moved() { [ "$(window_pos "$WIN")" = "$((x0 + 60)) $((y0 + 30))" ]; }
    check "the manager moves the window by the cursor's way" wait_until 5 "the window to move" moved
    xdotool mousemove $((WX + 260)) $((WY + 50)) sleep 0.2 mousemove $((WX + 200)) $((WY + 45))
    # Bounded wait for what must not happen: no move within a second.
    moved_again() { ! moved; }
    stays() { ! wait_until 1 "a move without a button (none is expected)" moved_again >/dev/null; }
    check "moving over the strip without a button leaves the window" stays
    read -r WX WY <<<"$(window_pos "$WIN")"
    click 390 232
    ends_within "cancel under the window manager"
  }
  stop_wm
else
  fail "openbox is installed (scripts/install-deps.sh), for the window manager's drag"
fi

e2e_case "SIGTERM ends the settings window, also while a dialog of it is open" 60
write_file ""
open_dialog && ends_cleanly "settings window"
# The choosers run loops of their own: the program ends as promptly from
# inside them as with a message box open.
open_dialog && {
  click 376 172
  check "the colour chooser shows" window_shows "色の設定" 10
  ends_cleanly "settings window with its colour chooser open" TERM 1
}
open_dialog && {
  click 68 404
  check "the file chooser shows" window_shows "ﾌｧｲﾙを開く" 10
  ends_cleanly "settings window with its file chooser open" TERM 1
}

e2e_case "a settings folder that cannot be written: one message box, nothing changed" 60
write_file ""
cp "$INI" "$E2E_TEST_WORK/before.ini"
chattr +i "$INI_DIR"
on_exit unfreeze
unfreeze() { chattr -i "$INI_DIR" 2>/dev/null; }
open_dialog && {
  click 395 202
  click 390 268
  MSG=$(wait_window "テセレーン" 10)
  check "a message box shows" test -n "$MSG"
  check_eq "one message box" 1 "$(window_count "テセレーン")"
  check "the program waits for the message box" alive "$NATIVE_PID"
  [ -n "$MSG" ] && focus_window "$MSG" && xdotool key Return
  ends_within "after the message box"
  unfreeze
  check "the file is unchanged" cmp -s "$INI" "$E2E_TEST_WORK/before.ini"
  check "no other file in the folder" test "$(ls -A "$INI_DIR" | wc -l)" -eq 1
}

# --- HiDPI sessions on a 1920 x 1080 screen ----------------------------------------
# GTK doubles the window under GDK_SCALE=2; a session that raises only Xft.dpi
# gets the same whole factor (dpi / 96, rounded down). Either way the window
# has the layout's size and the specified place in logical pixels, each
# logical pixel `S` device pixels, and its controls answer where they are
# drawn.

# scaled_click S X Y: a left click at the logical client pixel (X, Y).
scaled_click() { xdotool mousemove $((WX + $1 * $2)) $((WY + $1 * $3)) click 1; }
# whole_blocks FILE S: the title strip (its text, the close button) in FILE
# is made of S x S blocks of one colour each: stretched nearest, not blurred.
whole_blocks() {
  local strip="$E2E_TEST_WORK/strip.png" blocks="$E2E_TEST_WORK/strip_blocks.png" w=446 h=22
  convert "$1" -crop "$(($2 * w))x$(($2 * h))+$WX+$WY" +repage "$strip"
  convert "$strip" -sample "${w}x${h}!" -sample "$(($2 * w))x$(($2 * h))!" "$blocks"
  [ "$(compare -metric AE "$strip" "$blocks" null: 2>&1)" = 0 ]
}
wholly_on_screen() {
  local w h
  read -r w h <<<"$(window_size "$WIN")"
  [ "$WX" -ge 0 ] && [ "$WY" -ge 0 ] && [ $((WX + w)) -le "$SCREEN_W" ] && [ $((WY + h)) -le "$SCREEN_H" ]
}
# scaled_session_checks WHAT S "X Y": size, place, hover, drag, then ﾗﾝﾀﾞﾑ and 設定 save.
scaled_session_checks() {
  local what="$1" s="$2" place="$3" x0 y0
  check_eq "$what: window size" "$((446 * s)) $((477 * s))" "$(window_size "$WIN")"
  check_eq "$what: window place" "$place" "$WX $WY"
  check "$what: the window lies wholly on the screen" wholly_on_screen
  check "$what: the title strip is stretched in whole blocks" whole_blocks "$E2E_TEST_WORK/opened.png" "$s"
  # The hover's leave test asks X for the window under the cursor: the
  # cursor's logical place must name the button itself, tick after tick.
  face() { pixel "$1" $((WX + s * 356)) $((WY + s * 220)); }
  screenshot "$E2E_TEST_WORK/idle.png"
  IDLE=$(face "$E2E_TEST_WORK/idle.png")
  xdotool mousemove $((WX + s * 390)) $((WY + s * 232))
  lit() { [ "$(face "$1")" != "$IDLE" ]; }
  unlit() { ! lit "$1"; }
  check "$what: hovering lights the button" shot_until 5 "$E2E_TEST_WORK/hover.png" lit
  stays_lit() { ! shot_until 1 "$E2E_TEST_WORK/hover_after.png" unlit >/dev/null; }
  check "$what: the button stays lit while the cursor rests on it" stays_lit
  # Dragging the title strip: the window follows the cursor's way exactly.
  x0=$WX y0=$WY
  xdotool mousemove $((WX + s * 100)) $((WY + s * 10)) mousedown 1 sleep 0.2
  xdotool mousemove $((WX + s * 100 + 30)) $((WY + s * 10 + 16)) sleep 0.2
  xdotool mousemove $((WX + s * 100 + 60)) $((WY + s * 10 + 30)) sleep 0.2 mouseup 1
  moved() { [ "$(window_pos "$WIN")" = "$((x0 + 60)) $((y0 + 30))" ]; }
  check "$what: dragging the title strip moves the window by the cursor's way" wait_until 5 "the window to move" moved
  read -r WX WY <<<"$(window_pos "$WIN")"
  scaled_click "$s" 395 202  # ﾗﾝﾀﾞﾑ: off to on
  scaled_click "$s" 390 268  # 設定
  ends_within "$what: save"
  check_eq "$what: 設定 saves the toggled ﾗﾝﾀﾞﾑ" 1 "$(ini_value '背景色ﾗﾝﾀﾞﾑ')"
}

# chooser_size S: "W H" of the colour chooser the window opens (closed again
# with Escape), the text in it drawn by GTK itself.
chooser_size() {
  local chooser size
  scaled_click "$1" 376 172
  chooser=$(wait_window "色の設定" 10) || return 1
  size=$(window_size "$chooser")
  focus_window "$chooser" && xdotool key Escape
  gone_within 5 "^色の設定\$" >/dev/null
  echo "$size"
}

xvfb_stop
start_xvfb 1920x1080 || { fail "Xvfb starts at 1920x1080"; e2e_end; }

# Logical screen 960 x 540: (960 - 446) \ 2 = 257, (540 - 477) \ 3 = 21.
e2e_case "GDK_SCALE=2: twice the size at the specified place, wholly on screen" 60
write_file ""
export GDK_SCALE=2
open_dialog && {
  GDK_CHOOSER=$(chooser_size 2)
  figure chooser "$GDK_CHOOSER"
  scaled_session_checks "GDK_SCALE=2" 2 "514 42"
}
unset GDK_SCALE

e2e_case "Xft.dpi 192 alone: the same doubled window, drawn at twice the size" 60
echo 'Xft.dpi: 192' | xrdb -merge
write_file ""
open_dialog && {
  # GTK's own text is not doubled once more: the chooser is the size GTK
  # gives it at its own doubled scale.
  check_eq "Xft.dpi 192: the colour chooser has its size under GDK_SCALE=2" "${GDK_CHOOSER:-none}" "$(chooser_size 2)"
  scaled_session_checks "Xft.dpi 192" 2 "514 42"
}

# Three times 446 x 477 is taller than 1080: the window is shown at the
# largest whole scale at which it fits, twice, as under Xft.dpi 192.
e2e_case "Xft.dpi 288 on a 1080-line screen: the largest scale that fits, 2" 60
echo 'Xft.dpi: 288' | xrdb -merge
write_file ""
open_dialog && scaled_session_checks "Xft.dpi 288" 2 "514 42"
xrdb -remove

e2e_end
