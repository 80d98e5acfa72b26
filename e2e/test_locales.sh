#!/usr/bin/env bash
# End-to-end tests of the saver on a Japanese system (LC_ALL=ja_JP.UTF-8, code
# page 932) and on one of another language (LC_ALL=C.UTF-8, a Western code
# page), with the same fonts:
#   - /c shows the stored values (7秒, the stored colour, the music kind and
#     file) and 設定 writes the file back byte for byte;
#   - the window's text reads the same under both (its text areas compared
#     between the two screenshots);
#   - /s plays an MP3 from a folder with a Japanese name.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/dialog.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sound.sh"

LOCALES=(ja_JP.UTF-8 C.UTF-8)
# Client-pixel areas of the settings window that hold text: the title, the
# stop time, the colour and random-background marks, the buttons, the music
# frame with its file name, the link (the light rays are left out).
TEXT_AREAS=("200x22+0+0" "82x60+348+60" "82x70+348+130" "82x100+348+195" "410x150+20+290" "230x30+200+430")

e2e_begin locales
if ! sound_start; then
  fail "the PulseAudio test server started"
  e2e_end
fi
# Prefixes made before the character-set names were added get them now.
wine_font_substitutes || log "font substitutes not set"

MEDIA="$E2E_TEST_WORK/音楽フォルダ"
mkdir -p "$MEDIA"
tone_mp3 3 440 "$MEDIA/夜の曲.mp3"
MP3_WIN=$(winpath "$MEDIA/夜の曲.mp3")

# settled_areas FILE: takes screenshots into FILE until every text area
# reads the same in two of them 0.3 s apart (10 s at most).
settled_areas() {
  local prev="$1.prev.png" area w h x y same end=$((SECONDS + 10))
  screenshot "$prev"
  while [ "$SECONDS" -lt "$end" ]; do
    sleep 0.3
    screenshot "$1"
    same=1
    for area in "${TEXT_AREAS[@]}"; do
      IFS='x+' read -r w h x y <<<"$area"
      areas_equal "$prev" "$1" "${w}x${h}+$((WX + x))+$((WY + y))" || { same=0; break; }
    done
    [ "$same" = 1 ] && return 0
    cp "$1" "$prev"
  done
  return 1
}

# stored_ini DIR: the settings in exactly the form the program writes them.
stored_ini() {
  write_ini "$1" '停止時間= 7' '背景色= 16711680' '背景色ﾗﾝﾀﾞﾑ= 0' 'BGM区分= 2' 'BGMﾘﾋﾟｰﾄ= 0' "BGMﾌｧｲﾙ=$MP3_WIN"
}

# use_locale LOCALE: Wine runs from here on with that locale.
use_locale() {
  export LC_ALL="$1"
  wine_prefix_restart
}

for locale in "${LOCALES[@]}"; do
  e2e_case "$locale"
  use_locale "$locale"
  acp=$("$WINE" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
    tr -d '\r' | awk '$1 == "ACP" {print $3}')
  if [ "$locale" = ja_JP.UTF-8 ]; then
    check_eq "$locale: the system's code page is 932" 932 "$acp"
  else
    check "$locale: the system's code page is another one ($acp)" test -n "$acp" -a "$acp" != 932
  fi

  # --- /c shows the stored values and writes them back unchanged -----------------------
  d=$(new_testdir "dialog_$locale")
  stored_ini "$d"
  cp "$d/$INI_NAME" "$d/before.ini"
  if open_dialog "$d"; then
    xdotool mousemove 5 5
    # Drawn once the stored colour shows; the text areas then hold still.
    check "$locale: the colour field shows the stored blue" \
      shot_until 10 "$E2E_TEST_WORK/dialog_$locale.png" is_colour $((WX + 400)) $((WY + 170)) 0000FF
    settled_areas "$E2E_TEST_WORK/dialog_$locale.png" || log "$locale: the text areas did not hold still"
    click_at 390 268  # 設定
    check "$locale: 設定 ends the program" wait_exit "$DLG" 15
    check "$locale: 設定 writes the stored values back byte for byte" cmp -s "$d/before.ini" "$d/$INI_NAME"
  fi
  close_dialog

  # --- /s plays the MP3 from the Japanese folder ---------------------------------------------
  record_start "$E2E_TEST_WORK/music_$locale.wav"
  CURSOR_AT="1000 700" start_display "music_$locale" /s -- '停止時間=0' '背景色ﾗﾝﾀﾞﾑ=0' 'BGM区分=2' "BGMﾌｧｲﾙ=$MP3_WIN"
  check "$locale: the display window appears" test -n "$WIN"
  wait_until 20 "the piece to be heard" heard_now || true
  stop_with_key a 10
  record_stop
  heard=$(first_sound "$REC_FILE")
  check "$locale: the MP3 from the Japanese folder is heard${heard:+ (from $heard s)}" test -n "$heard"
done

# --- The window's text reads the same under both -----------------------------------------------
e2e_case "the window's text under both"

ja="$E2E_TEST_WORK/dialog_${LOCALES[0]}.png"
other="$E2E_TEST_WORK/dialog_${LOCALES[1]}.png"
if [ -f "$ja" ] && [ -f "$other" ]; then
  for area in "${TEXT_AREAS[@]}"; do
    IFS='x+' read -r w h x y <<<"$area"
    check "the text in $area reads the same under both" areas_equal "$ja" "$other" "${w}x${h}+$((WX + x))+$((WY + y))"
  done
else
  fail "both settings windows were seen"
fi

use_locale ja_JP.UTF-8
sound_stop
e2e_end
