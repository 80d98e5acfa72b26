#!/usr/bin/env bash
# End-to-end tests of the settings window (/c): placement and looks, saving
# and cancelling, the colour and file dialogs, dragging, the close button,
# the link, and the refusal of a second copy. Screenshots stay in
# build/e2e/dialog/.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/dialog.sh"

e2e_begin dialog
SHOTS="$E2E_TEST_WORK"
ALL_KEYS="停止時間 背景色 背景色ﾗﾝﾀﾞﾑ BGM区分 BGMﾘﾋﾟｰﾄ BGMﾌｧｲﾙ "

# --- The window: place, size, looks, animation; a second copy refused ----------
e2e_case "The window: place, size, looks, animation; a second copy refused"
d=$(new_testdir look)
if open_dialog "$d"; then
  check_eq "window at (289, 97) on 1024 x 768" "289 97" "$(window_pos "$WIN")"
  check_eq "client area 446 x 477" "446 477" "$(window_size "$WIN")"
  check "light rays are drawn" shot_until 10 "$SHOTS/dialog.png" rays_above 0.01
  rays_shown_at=$(now)
  figure rays_first "$(rays_brightness "$SHOTS/dialog.png")"
  check "gradient is lavender in the middle of the left edge" \
    is_colour "$SHOTS/dialog.png" $((WX + 2)) $((WY + 238)) DCDCFA
  check "title strip is dark blue" title_strip_is_dark_blue "$SHOTS/dialog.png"
  # The rays sweep on at their pace: the picture changes from one second to the next.
  sleep_until "$(plus "$rays_shown_at" 1)"
  screenshot "$SHOTS/dialog_1s.png"
  check "the rays' picture changes within a second" areas_differ "$SHOTS/dialog.png" "$SHOTS/dialog_1s.png" "$(rays_area)"

  d2=$(new_testdir second)
  start_saver "$d2" /c
  check "a second /c ends at once" wait_exit "$SAVER_PID" 15
  check_eq "still one settings window" 1 "$(window_count "$SETTINGS_TITLE")"
  start_saver "$d2" /s
  check "/s is refused while the window is open" wait_exit "$SAVER_PID" 15
  check_eq "no display window" 0 "$(window_count "$MAIN")"
  check "the refused copies wrote no settings file" test ! -e "$d2/$INI_NAME"
  # A minute on, the rays have not yet turned the picture into a flat square.
  sleep_until "$(plus "$rays_shown_at" 60)"
  screenshot "$SHOTS/dialog_60s.png"
  check "after a minute the rays' picture is not flat" rays_not_flat "$SHOTS/dialog_60s.png"

  # --- Cancel writes nothing --------------------------------------------------
  click_at 390 232  # ｷｬﾝｾﾙ
  check "ｷｬﾝｾﾙ ends the program" wait_exit "$DLG" 10
  check "ｷｬﾝｾﾙ wrote no settings file" test ! -e "$d/$INI_NAME"
fi
close_dialog

# --- Every change, then 設定 ----------------------------------------------------
e2e_case "Every change, then 設定"
d=$(new_testdir save)
write_ini "$d" "停止時間= 3" "背景色ﾗﾝﾀﾞﾑ= 1" "BGM区分= 0"
if open_dialog "$d"; then
  click_at 378 99   # upper arrow of the spinner: 3 -> 4
  sleep 0.3
  click_at 378 99   # 4 -> 5
  click_at 396 202  # ﾗﾝﾀﾞﾑ: on -> off
  click_at 49 344   # 音楽CD (panel label, panel client area at 26, 298)
  click_at 117 342  # the track box
  sleep 0.3
  xdotool key ctrl+a && xdotool type --delay 50 "12"
  sleep 0.5
  screenshot "$SHOTS/changed.png"
  click_at 390 268  # 設定
  check "設定 ends the program" wait_exit "$DLG" 10
  check_eq "stop time saved" 5 "$(ini_value "$d" 停止時間)"
  check_eq "random background saved" 0 "$(ini_value "$d" 背景色ﾗﾝﾀﾞﾑ)"
  check_eq "music kind saved" 1 "$(ini_value "$d" BGM区分)"
  check_eq "track saved" 12 "$(ini_value "$d" BGMﾘﾋﾟｰﾄ)"
  check_eq "colour saved unchanged" 0 "$(ini_value "$d" 背景色)"
  check_eq "all six keys, existing ones first, in code page 932" \
    "停止時間 背景色ﾗﾝﾀﾞﾑ BGM区分 背景色 BGMﾘﾋﾟｰﾄ BGMﾌｧｲﾙ " "$(ini_keys "$d")"
fi
close_dialog

# --- A new file gets the keys in order ------------------------------------------
e2e_case "A new file gets the keys in order"
d=$(new_testdir save_new)
if open_dialog "$d"; then
  click_at 390 268  # 設定
  check "設定 without changes ends the program" wait_exit "$DLG" 10
  check_eq "a new file holds the six keys in order" "$ALL_KEYS" "$(ini_keys "$d")"
  # Read back the way the program reads it.
  check "the key bytes are code page 932" grep -qa "$(printf '\x92\xe2\x8e\x7e\x8e\x9e\x8a\xd4=')" "$d/$INI_NAME"
fi
close_dialog

# --- The colour dialog ---------------------------------------------------------------
e2e_case "The colour dialog"
d=$(new_testdir colour)
if open_dialog "$d"; then
  click_at 376 172  # Cmd_Color "..."
  cw=$(find_window '^色$')
  if [ -n "$cw" ]; then
    pass "the colour dialog opened"
    read -r X Y <<<"$(window_pos "$cw")"
    focus_window "$cw" || log "the colour dialog did not take the focus"
    screenshot "$SHOTS/colour_dialog.png"
    # The red basic colour, until it shows as chosen (its frame changes): the
    # first click into the dialog may only activate it.
    RED_CELL="32x30+$((X - 1))+$((Y + 40))"
    red_chosen() { screenshot "$SHOTS/colour_pick.png" && ! areas_equal "$SHOTS/colour_dialog.png" "$SHOTS/colour_pick.png" "$RED_CELL"; }
    picked=0
    for try in 1 2 3; do
      xdotool mousemove $((X + 15)) $((Y + 55)) click 1
      if wait_until 3 "the red basic colour to show as chosen" red_chosen; then picked=$try; break; fi
    done
    figure red_clicks "$picked"
    check "the red basic colour shows as chosen (click $picked)" test "$picked" -gt 0
    # OK; the first click into the dialog may only activate it.
    for _ in 1 2 3; do
      xdotool mousemove $((X + 43)) $((Y + 281)) click 1
      gone_within 3 '^色$' && break
    done
    check "the swatch shows the chosen red" \
      shot_until 5 "$SHOTS/colour_chosen.png" is_colour $((WX + 412)) $((WY + 172)) FF0000
    check "confirming the colour wrote nothing yet" test ! -e "$d/$INI_NAME"
    click_at 390 268  # 設定
    check "設定 ends the program" wait_exit "$DLG" 10
    check_eq "the chosen colour is saved" 255 "$(ini_value "$d" 背景色)"
  else
    fail "the colour dialog did not open"
  fi
fi
close_dialog

# --- The file dialog -------------------------------------------------------------------
e2e_case "The file dialog"
d=$(new_testdir file)
music_unix="$d/テスト曲.mp3"
printf 'ID3' >"$music_unix"
music_win=$(winpath "$music_unix")
if open_dialog "$d"; then
  click_at 68 404  # Cmd_BGM "..."
  fw=$(find_window '^ﾌｧｲﾙを開く$')
  if [ -n "$fw" ]; then
    pass "the file dialog opened with its title"
    screenshot "$SHOTS/file_dialog.png"
    focus_window "$fw" || log "the file dialog did not take the focus"
    # Pasted, not typed: xdotool types a Japanese character by changing the
    # key map first, and Wine can see the key before the new map (the
    # character is then lost).
    # Return once the file name box shows the pasted path: a paste that came
    # before the box had the focus is made again, into the box clicked.
    read -r X Y <<<"$(window_pos "$fw")"
    NAME_BOX="200x12+$((X + 100))+$((Y + 183))"
    name_shown() { screenshot "$SHOTS/file_name.png" && below "$(area_mean "$SHOTS/file_name.png" "$NAME_BOX")" 0.98; }
    pasted=0
    for try in 1 2 3; do
      paste_text "$music_win" && wait_until 3 "the path in the file name box" name_shown && { pasted=$try; break; }
      xdotool mousemove $((X + 200)) $((Y + 188)) click 1 key ctrl+a
    done
    figure pastes "$pasted"
    check "the path is pasted into the file name box (paste $pasted)" test "$pasted" -gt 0
    xdotool key Return
    gone_within 5 '^ﾌｧｲﾙを開く$' || log "the file dialog is still open"
    screenshot "$SHOTS/file_chosen.png"
    click_at 49 376  # mp3、wav
    click_at 390 268  # 設定
    check "設定 ends the program" wait_exit "$DLG" 10
    check_eq "the chosen file is saved" "$music_win" "$(ini_value "$d" BGMﾌｧｲﾙ)"
    check_eq "the file kind is saved" 2 "$(ini_value "$d" BGM区分)"
  else
    fail "the file dialog did not open"
  fi
fi
close_dialog

# --- Dragging by the title strip -----------------------------------------------------------
e2e_case "Dragging by the title strip"
d=$(new_testdir drag)
if open_dialog "$d"; then
  # shellcheck disable=SC2046
  xdotool mousemove $(at 200 10) && sleep 0.2 && xdotool mousedown 1
  # Each step once the window has followed the last. xdotool moves the
  # pointer in one motion where a hand makes many, and under Wine a motion
  # can be lost (seen: the window one step short, or not moved at all, however
  # long the button stayed down): a step the window has not followed within
  # 2 s gets another motion, a pixel beside and back, as a hand would make.
  window_at() { [ "$(window_pos "$WIN")" = "$1" ]; }
  drag_step() {
    local try
    for try in 1 2 3 4; do
      [ "$try" -eq 1 ] || xdotool mousemove $(($1 + 1)) "$2"
      xdotool mousemove "$1" "$2"
      wait_until 2 "the window to follow to ($3, $4)" window_at "$3 $4" && return 0
    done
    return 1
  }
  for step in 1 2 3 4 5; do
    drag_step $((WX + 200 + 20 * step)) $((WY + 10 + 10 * step)) $((WX + 20 * step)) $((WY + 10 * step)) || break
  done
  xdotool mouseup 1
  check_eq "the window followed the cursor by (100, 50)" "389 147" "$(window_pos "$WIN")"
  screenshot "$SHOTS/dragged.png"
  # The close button, at its new place; released away from it.
  xdotool mousemove $((WX + 100 + 435)) $((WY + 50 + 11)) && sleep 0.2 && xdotool mousedown 1
  sleep 0.3
  xdotool mousemove 100 700
  sleep 0.2
  xdotool mouseup 1
  check "the close button closes on release anywhere" wait_exit "$DLG" 10
  check "closing wrote no settings file" test ! -e "$d/$INI_NAME"
fi
close_dialog

# --- /c with a window handle: the same window, no owner ------------------------------
e2e_case "/c with a window handle: the same window, no owner"
d=$(new_testdir handle)
place_cursor 500 400 || log "cursor not placed"
start_saver "$d" /c:1234
DLG=$SAVER_PID
if WIN=$(wait_window "$SETTINGS_TITLE" 30); then
  check_eq "/c:1234 opens the window at its place" "289 97" "$(window_pos "$WIN")"
  check "/c:1234 draws the window" shot_until 10 "$SHOTS/handle.png" title_strip_is_dark_blue
  focus_window "$WIN" || log "the settings window did not take the focus"
  click_at 435 11  # the close button
  check "the close button closes it" wait_exit "$DLG" 10
else
  fail "/c:1234 showed no window"
fi
close_dialog

# --- The link --------------------------------------------------------------------------------
e2e_case "The link"
d=$(new_testdir link)
browser="$d/browser.sh"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/browser.log"\n' "$d" >"$browser"
chmod +x "$browser"
prefix_reg_add 'HKCU\Software\Wine\WineBrowser' Browsers REG_SZ "$browser" || log "the browser was not set"
if open_dialog "$d"; then
  click_at 320 450
  wait_until 10 "the browser's log $d/browser.log" test -s "$d/browser.log"
  check_eq "the link ran the browser with the home page" "https://tessellane.example.org/" \
    "$(tail -n 1 "$d/browser.log" 2>/dev/null)"
  check "the window stays open after the link" alive "$DLG"
fi
close_dialog
prefix_reg_delete 'HKCU\Software\Wine\WineBrowser' Browsers

e2e_end
