#!/usr/bin/env bash
# End-to-end tests of the background music under Wine: a PulseAudio server
# with a null sink stands in for the sound card and its monitor is recorded,
# so that "heard" and "silent" are RMS figures of the real output.
#   - an MP3 in a folder with blanks and Japanese characters is heard, heard
#     again after its end, and silent within a second after a key ends the saver;
#   - a WAV loops;
#   - without a sound server the display runs and ends normally;
#   - CD music without a drive: the arrows do not end the display, other keys do;
#   - bad music files: the display runs and a key still ends it.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/sound.sh"

CURSOR_AT="1000 700"
QUICK_INI=('停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0')

e2e_begin music

# --- Sound server ----------------------------------------------------------------
e2e_case "Sound server"
if ! sound_start; then
  fail "the PulseAudio test server started"
  e2e_end
fi

# --- Music files -----------------------------------------------------------------
e2e_case "Music files"

MEDIA="$E2E_TEST_WORK/音楽 フォルダ"
mkdir -p "$MEDIA"
# A 2 s tone as MP3 (the repeat poll runs once a second), a 1 s tone as WAV.
tone_mp3 2 440 "$MEDIA/テスト 曲.mp3"
tone_wav 1 660 "$MEDIA/ループ 音.wav"

# A marker tone (sound.sh: mark) sounds with each key, so that the sound
# before and after the key is measured at the key's place in the recording.

# start_music NAME INI_LINES...: /s with the quick settings and these
# (start_display: the cursor out of the way, WIN, DIR).
start_music() {
  local name="$1"; shift
  start_display "$name" /s -- "${QUICK_INI[@]}" "$@"
}

# --- (a) MP3 with blanks and Japanese characters in its path ------------------------
e2e_case "(a) MP3 with blanks and Japanese characters in its path"

MP3_WIN=$(winpath "$MEDIA/テスト 曲.mp3")
record_start "$E2E_TEST_WORK/mp3.wav"
start_music mp3 'BGM区分=2' "BGMﾌｧｲﾙ=$MP3_WIN"
check "mp3: the display window appears" test -n "$WIN"
# The first pass of the 2 s piece, the pause, and half a second into the
# second pass: the key lands there.
await_sound 20 loud && await_sound 10 silent && await_sound 10 loud
wait_until 10 "half a second more of the recording" rec_holds "$(plus "$(rec_seconds)" 0.5)"
mark
ends_on_key a "mp3"
record_stop 2
t_key=$(mark_in "$E2E_TEST_WORK/mp3.wav")
figure key_marker "${t_key:-none}"
start=$(first_sound "$E2E_TEST_WORK/mp3.wav")
figure first_sound "${start:-none}"
[ -n "$t_key" ] || fail "mp3: the marker tone of the key is in the recording"
if [ -z "$start" ]; then
  fail "mp3: the piece is heard"
else
  pass "mp3: the piece is heard (from ${start} s)"
  # After the first pass (2 s) and a pause of up to a second, it plays again.
  again=$(rms "$E2E_TEST_WORK/mp3.wav" "$(plus "$start" 3.2)" 0.5)
  check "mp3: heard again after its end (RMS $again)" above "$again" "$LOUD"
  before_key=$(rms "$E2E_TEST_WORK/mp3.wav" "$(plus "$t_key" -0.6)" 0.4)
  after_key=$(rms "$E2E_TEST_WORK/mp3.wav" "$(plus "$t_key" 1.0)" 0.8)
  check "mp3: heard just before the key (RMS $before_key)" above "$before_key" "$LOUD"
  check "mp3: silent within a second after the key (RMS $after_key)" below "$after_key" "$QUIET"
fi

# --- (b) a WAV loops ------------------------------------------------------------
e2e_case "(b) a WAV loops"

WAV_WIN=$(winpath "$MEDIA/ループ 音.wav")
record_start "$E2E_TEST_WORK/wav.wav"
start_music wav 'BGM区分=2' "BGMﾌｧｲﾙ=$WAV_WIN"
check "wav: the display window appears" test -n "$WIN"
# Three seconds of the loop, then the key.
await_sound 20 loud
wait_until 15 "3 s more of the recording" rec_holds "$(plus "$(rec_seconds)" 3)"
mark
ends_on_key Escape "wav"
record_stop 1.5
t_key=$(mark_in "$E2E_TEST_WORK/wav.wav")
figure key_marker "${t_key:-none}"
start=$(first_sound "$E2E_TEST_WORK/wav.wav")
figure first_sound "${start:-none}"
[ -n "$t_key" ] || fail "wav: the marker tone of the key is in the recording"
if [ -z "$start" ]; then
  fail "wav: the sound is heard"
else
  pass "wav: the sound is heard (from ${start} s)"
  for k in 1.3 2.3; do
    v=$(rms "$E2E_TEST_WORK/wav.wav" "$(plus "$start" "$k")" 0.4)
    check "wav: still heard ${k} s in, after the 1 s sound ended (RMS $v)" above "$v" "$LOUD"
  done
  before_key=$(rms "$E2E_TEST_WORK/wav.wav" "$(plus "$t_key" -0.6)" 0.4)
  check "wav: heard just before the key (RMS $before_key)" above "$before_key" "$LOUD"
  after_key=$(rms "$E2E_TEST_WORK/wav.wav" "$(plus "$t_key" 1.0)" 0.4)
  check "wav: silent after the key (RMS $after_key)" below "$after_key" "$QUIET"
fi

# --- (c) no sound server -----------------------------------------------------------
e2e_case "(c) no sound server"

for kind in mp3 wav; do
  file=$MP3_WIN
  [ "$kind" = wav ] && file=$WAV_WIN
  PULSE_SERVER="unix:$PA_DIR/nothing-here" start_music "noserver_$kind" 'BGM区分=2' "BGMﾌｧｲﾙ=$file"
  check "no sound server, $kind: the display window appears" test -n "$WIN"
  check "no sound server, $kind: the display keeps running" still_running "$SAVER_PID" 3
  ends_on_key space "no sound server, $kind"
done

# --- (d) CD music without a drive ------------------------------------------------------
e2e_case "(d) CD music without a drive"

# Wine looks for a drive when the device opens, which on some machines takes
# long, and may look again when it closes: the end is allowed 5 s more than
# the window took to appear. Wine's errors go to the saver's log.
t0=$SECONDS
DISPLAY_WAIT=60 start_music cd 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0'
appeared=$((SECONDS - t0))
figure window_seconds "$appeared"
check "cd: the display window appears (after $appeared s)" test -n "$WIN"
send_key Left Right Left
check "cd: the arrow keys do not end the display" still_running "$SAVER_PID" 2
ends_on_key Return "cd" $((5 + appeared))

# --- (e) bad music files ----------------------------------------------------------------
e2e_case "(e) bad music files"

BAD="$E2E_TEST_WORK/bad"
mkdir -p "$BAD"
# A path of exactly 255 bytes (as the settings file holds it) to a real MP3.
long_dir="$BAD"
while [ $(( ${#long_dir} + 2 + 40 )) -lt 255 ]; do long_dir="$long_dir/dddddddddddddddddddddddddddddd"; done
mkdir -p "$long_dir"
name_len=$(( 255 - 2 - ${#long_dir} - 1 ))
long_name=$(printf '%*s' $((name_len - 4)) '' | tr ' ' 'x').mp3
cp "$MEDIA/テスト 曲.mp3" "$long_dir/$long_name"
LONG_WIN=$(winpath "$long_dir/$long_name")
check_eq "bad input: the long path has 255 bytes" 255 "$(printf '%s' "$LONG_WIN" | iconv -f UTF-8 -t CP932 | wc -c)"
mkdir -p "$BAD/folder.mp3"
: >"$BAD/empty.mp3"
printf 'not a sound at all\r\n' >"$BAD/text.wav"
cp "$MEDIA/テスト 曲.mp3" "$BAD/deleted.mp3"

for case in long folder empty text deleted; do
  case $case in
    long) file=$LONG_WIN ;;
    folder) file=$(winpath "$BAD/folder.mp3") ;;
    empty) file=$(winpath "$BAD/empty.mp3") ;;
    text) file=$(winpath "$BAD/text.wav") ;;
    deleted) file=$(winpath "$BAD/deleted.mp3") ;;
  esac
  start_music "bad_$case" 'BGM区分=2' "BGMﾌｧｲﾙ=$file"
  check "bad input ($case): the display window appears" test -n "$WIN"
  [ "$case" = deleted ] && { sleep 1; rm -f "$BAD/deleted.mp3"; }
  check "bad input ($case): the display keeps running" still_running "$SAVER_PID" 3
  ends_on_key x "bad input ($case)"
done

sound_stop
e2e_end
