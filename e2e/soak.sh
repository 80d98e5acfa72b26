#!/usr/bin/env bash
# Soak: tessellane.scr /s under Wine at 640x480 with a stop time of 0, once
# with each music kind (an MP3, a WAV, CD audio without a drive), each for
# DURATION seconds. Every 10 s it records the saver's private memory, handle
# count and live GDI objects. Wine answers 0 to GetGuiResources, to
# GetProcessHandleCount and for the private bytes, so: the GDI count is the
# backend's own count and the handle count the valid handle values, both
# written by the program to TESS_RESOURCE_FILE once a second; the private
# memory is the process's anonymous resident memory as Linux counts it
# (RssAnon: its heaps and allocations; the pages of files it maps are left
# out, since they count as private or shared depending on which other
# processes map the same files at the time).
#
# Pass: e2e/soak_judge.py compares a baseline window (the 10 s from 60 s on,
# or from a third of a shorter run) with the last 10 s, two windows that never
# share a sample: private memory grows by at most 1% and handles and GDI
# objects not at all. MP3 playback makes and frees a few handles and some
# memory with every restart of the piece, which is not growth: with samples a
# second apart each window sees the levels while the piece plays and between
# two plays, and a figure grew only when both levels rose.
# The samples are kept in build/e2e/soak/<kind>/samples.csv.
#
# The kind "dialog" soaks the settings window (/c) instead: round after round
# it hovers over, presses and clicks every control that does not end it, and
# opens and cancels the colour and the file dialogs.
#
# Usage: bash e2e/soak.sh DURATION [mp3|wav|cd|dialog ...]   (default: mp3 wav cd)
set -u
DURATION="${1:-}"
if ! [[ "$DURATION" =~ ^[0-9]+$ ]] || [ "$DURATION" -lt 40 ]; then
  echo "usage: soak.sh DURATION_SECONDS(>=40) [mp3|wav|cd|dialog ...]" >&2
  exit 2
fi
shift
KINDS=("$@")
[ ${#KINDS[@]} -gt 0 ] || KINDS=(mp3 wav cd)

. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sound.sh"
. "$(dirname "${BASH_SOURCE[0]}")/dialog.sh"
SCREEN_W=640
SCREEN_H=480
SAMPLE_SECONDS=1
WINDOW_SECONDS=10

e2e_begin soak

# --- Sound server and music files ---------------------------------------------
e2e_case "sound server and music"
sound_start || fail "the PulseAudio test server started"

MEDIA="$E2E_TEST_WORK/media"
mkdir -p "$MEDIA"
# A 3 s MP3, so that the repeat poll restarts it many times; a 1 s WAV loop.
tone_mp3 3 440 "$MEDIA/soak.mp3"
tone_wav 1 660 "$MEDIA/soak.wav"

music_lines() {
  case "$1" in
    mp3) printf '%s\n' 'BGM区分=2' "BGMﾌｧｲﾙ=$(winpath "$MEDIA/soak.mp3")" ;;
    wav) printf '%s\n' 'BGM区分=2' "BGMﾌｧｲﾙ=$(winpath "$MEDIA/soak.wav")" ;;
    cd) printf '%s\n' 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0' ;;
  esac
}

# field FILE NAME: a value of the program's resource line "gdi=N handles=N ...".
field() { tr -d '\r' <"$1" 2>/dev/null | tr ' ' '\n' | sed -n "s/^$2=//p" | head -n 1; }
rss_kb() { awk '/^VmRSS/{print $2}' "/proc/$1/status" 2>/dev/null; }
private_kb() { awk '/^RssAnon:/{print $2}' "/proc/$1/status" 2>/dev/null; }

# --- One run per music kind -------------------------------------------------------
# sample T: one line of the samples file.
sample() {
  local gdi handles ws private rss
  gdi=$(field "$RES" gdi) handles=$(field "$RES" handles) ws=$(field "$RES" working_set)
  private=$(private_kb "$SAVER_PID") rss=$(rss_kb "$SAVER_PID")
  echo "$1,${gdi:-},${handles:-},${private:-},${rss:-},${ws:-}" >>"$CSV"
}

# --- The settings window: one round over its controls -----------------------------
# In the window's client pixels (dialog.sh, WX and WY from the window): spinner
# arrows, random background, music options, track box, colour and file
# buttons, 設定 and the link (hovered only).
# cancel_dialog TITLE BUTTON_X BUTTON_Y: the common dialog the button opens, cancelled with Escape.
cancel_dialog() {
  local w
  click_at "$2" "$3"
  w=$(find_window "$1")
  if [ -z "$w" ]; then
    log "the dialog '$1' did not open"
    screenshot "$E2E_TEST_WORK/dialog_missing_$DIALOG_MISSES.png" 2>/dev/null
    DIALOG_MISSES=$((DIALOG_MISSES + 1))
    return
  fi
  DIALOGS_OPENED=$((DIALOGS_OPENED + 1))
  timeout 5 xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key Escape
  wait_until 5 "the dialog '$1' to close" no_window "$1" || { xdotool windowclose "$w" 2>/dev/null; sleep 1; }
}
dialog_round() {
  local p
  for p in "390 268" "390 232" "378 99" "376 172" "68 404" "396 202" "49 344" "49 376" "117 342" "320 450" "200 10"; do
    # shellcheck disable=SC2086
    hover_at $p
  done
  click_at 378 99    # stop time up, then down again
  click_at 378 118
  click_at 396 202   # random background off and on
  click_at 396 202
  click_at 49 344    # 音楽CD, then mp3、wav
  click_at 49 376
  click_at 117 342   # the track box
  # A press on 設定 taken off the button before the release: no click.
  # shellcheck disable=SC2046
  xdotool mousemove $(at 390 268) mousedown 1 && sleep 0.2
  # shellcheck disable=SC2046
  xdotool mousemove $(at 200 150) && sleep 0.2 && xdotool mouseup 1 && sleep 0.2
  cancel_dialog '^色$' 376 172
  cancel_dialog '^ﾌｧｲﾙを開く$' 68 404
}

soak_kind() {
  local kind="$1" dir t next lines=() title="$MAIN" args=(/s)
  dir=$(new_testdir "$kind")
  CSV="$dir/samples.csv"
  RES="$dir/resources.txt"
  if [ "$kind" = dialog ]; then
    title="$SETTINGS_TITLE" args=(/c)
    write_ini "$dir" '停止時間=3' '背景色ﾗﾝﾀﾞﾑ=1'
    place_cursor 10 10 || log "could not place the cursor"
  else
    mapfile -t lines < <(music_lines "$kind")
    write_ini "$dir" '停止時間=0' '背景色ﾗﾝﾀﾞﾑ=1' "${lines[@]}"
    place_cursor 630 470 || log "could not place the cursor"
  fi
  TESS_RESOURCE_FILE="$(winpath "$RES")" start_saver "$dir" "${args[@]}"
  if ! await_window "$dir" "$title" 30; then
    fail "$kind: the window appeared"
    stop_pid "$SAVER_PID"
    return
  fi
  wait_until 10 "the first resource line in $RES" test -s "$RES" || true
  echo "seconds,gdi,handles,private_kb,rss_kb,working_set_bytes" >"$CSV"
  DIALOGS_OPENED=0 DIALOG_MISSES=0
  [ "$kind" = dialog ] && read -r WX WY <<<"$(window_pos "$WIN")"
  local start=$SECONDS
  next=0
  while :; do
    if ! alive "$SAVER_PID"; then
      wait_exit "$SAVER_PID" 0
      log "$kind: the program ended after $((SECONDS - start)) s with exit code ${EXIT_CODE:-?}"
      log_screen "$dir"
      break
    fi
    t=$((SECONDS - start))
    if [ "$t" -ge "$next" ]; then
      [ "$t" -le "$DURATION" ] || break
      sample "$t"
      next=$((t + SAMPLE_SECONDS))
    fi
    if [ "$kind" = dialog ]; then dialog_round; else sleep 0.3; fi
  done
  check "$kind: the program ran for the whole $DURATION s" alive "$SAVER_PID"
  if [ "$kind" = dialog ]; then
    log "dialog: the colour and file dialogs were opened and cancelled $DIALOGS_OPENED times ($DIALOG_MISSES did not open)"
    check_eq "dialog: every colour and file dialog opened" 0 "$DIALOG_MISSES"
    stop_pid "$SAVER_PID"
    judge "$kind" "$CSV"
    return
  fi
  ends_on_key q "$kind, after the soak" 10
  judge "$kind" "$CSV"
}

# judge KIND CSV: the baseline and end windows against the pass rule.
judge() {
  local kind="$1" csv="$2" verdict rc
  verdict=$(python3 "$E2E_HARNESS_DIR/soak_judge.py" "$csv" --kind "$kind" \
    --duration "$DURATION" --window "$WINDOW_SECONDS" --max-growth 1)
  rc=$?
  printf '%s\n' "$verdict" | sed 's/^/  /'
  case "$rc" in
    0) pass "$kind: no GDI object or handle more and private memory at most 1% above the baseline" ;;
    1) fail "$kind: resources grew from the baseline to the end ($(printf '%s' "$verdict" |
         grep GROWTH | sed 's/.*GROWTH: //' | paste -sd ';' -); samples in $csv)" ;;
    *) fail "$kind: resource samples could not be judged (samples in $csv)" ;;
  esac
}

for kind in "${KINDS[@]}"; do
  e2e_case "$kind for $DURATION s" $((DURATION + 180))
  case "$kind" in
    mp3 | wav | cd | dialog) soak_kind "$kind" ;;
    *) fail "unknown music kind '$kind'" ;;
  esac
done

e2e_end
