#!/usr/bin/env bash
# End-to-end tests of the native program's music under Xvfb: a PulseAudio
# server with a null sink stands in for the sound card (PULSE_SERVER) and its
# monitor is recorded, so that "heard", "silent" and "which pitch" are
# measured on the real output.
#   - an MP3 in a folder with a Japanese name and a blank is heard, heard
#     again after its end, and silent within a second after a key;
#   - a WAV loops, and is silent after a key;
#   - a CD image (cue sheet and bin, three tracks of three pitches) plays from
#     track 1, the right and left arrows step tracks, the repeat track holds
#     one track, and a key silences it;
#   - SIGTERM silences the music within a second;
#   - without a sound output, and with a CD device that is not there, the
#     display runs silently, the arrows do not end it and other keys do.
# Each moment a test acts (a key, a signal) is placed in the recording by a
# marker tone (sound.sh: mark) played into the sink at that moment.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=../sound.sh
. "$LINUX_LIB_DIR/../sound.sh"

QUICK_INI=('停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0')
# The disc's tracks: their pitches, in Hz.
PITCHES=(440 660 880)

need_native
linux_begin music

e2e_case "setup" 60
start_xvfb 640x480 || { fail "Xvfb started"; e2e_end; }
if ! sound_start; then
  fail "the PulseAudio test server started"
  e2e_end
fi

# pitch FILE START SECONDS: which of PITCHES is loudest in that part of the
# recording, or "none"; pitches FILE START SECONDS: the same for each 0.1 s.
pitch() { python3 "$E2E_HARNESS_DIR/sound.py" pitch "$@" "${PITCHES[@]}"; }
pitches() { python3 "$E2E_HARNESS_DIR/sound.py" pitches "$@" "${PITCHES[@]}"; }

# disc NAME SECONDS: NAME.cue and NAME.bin in the work folder, one track of
# SECONDS per pitch (CD audio: 44.1 kHz, 16 bits, stereo, little-endian).
disc() {
  local name="$1" secs="$2" hz i=0 frames
  : >"$E2E_TEST_WORK/$name.bin"
  printf 'FILE "%s.bin" BINARY\n' "$name" >"$E2E_TEST_WORK/$name.cue"
  for hz in "${PITCHES[@]}"; do
    sox -n -r 44100 -c 2 -b 16 -e signed-integer -L -t raw - synth "$secs" sine "$hz" vol 0.5 \
      >>"$E2E_TEST_WORK/$name.bin"
    frames=$(awk -v s="$secs" -v i="$i" 'BEGIN{print int(s * i * 75 + 0.5)}')
    printf '  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n' $((i + 1)) \
      $((frames / 4500)) $((frames / 75 % 60)) $((frames % 75)) >>"$E2E_TEST_WORK/$name.cue"
    i=$((i + 1))
  done
}

# more_recorded SECONDS: waits until the recording holds SECONDS more than now.
more_recorded() {
  wait_until $((10 + ${1%.*})) "$1 s more of the recording" rec_holds "$(plus "$(rec_seconds)" "$1")"
}

# start_music NAME INI_LINES...: the settings, then /s in its own window (WIN).
start_music() {
  shift
  write_settings "${QUICK_INI[@]}" "$@"
  start_native /s
  WIN=$(wait_window Tessellane_Main 10)
}

# key_ends KEY WHAT: the marker, then the key; the program ends with exit code 0.
key_ends() {
  mark
  send_key "$1"
  if wait_exit "$NATIVE_PID" 5; then
    check_eq "$2: a key ends the display with exit code 0" 0 "$EXIT_CODE"
  else
    fail "$2: a key ends the display"
    stop_native KILL 2
  fi
}

# silent_after REC T WHAT: the recording is silent from T + 1 s for 0.8 s;
# the figure WHAT_silent_s is when the sound stopped, in 0.1 s steps after T.
silent_after() {
  local v d=0
  while [ "$d" -lt 10 ] && ! below "$(rms "$1" "$(plus "$2" "0.$d")" 0.1)" "$QUIET"; do d=$((d + 1)); done
  [ "$d" -lt 10 ] && figure "${3// /_}_silent_s" "0.$d" || figure "${3// /_}_silent_s" ">1"
  v=$(rms "$1" "$(plus "$2" 1.0)" 0.8)
  check "$3: silent within a second (RMS $v)" below "$v" "$QUIET"
}

MEDIA="$E2E_TEST_WORK/音楽 フォルダ"
mkdir -p "$MEDIA"
# A 2 s tone as MP3 (the repeat poll runs once a second), a 1 s tone as WAV.
tone_mp3 2 440 "$MEDIA/テスト 曲.mp3"
tone_wav 1 660 "$MEDIA/ループ 音.wav"
log "figures: ${E2E_FIGURES:-none}"

# --- MP3 ---------------------------------------------------------------------------
e2e_case "an MP3 in a folder with a Japanese name and a blank" 90
REC="$E2E_TEST_WORK/mp3.wav"
record_start "$REC"
start_music mp3 'BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/テスト 曲.mp3"
check "mp3: the display window appears" test -n "$WIN"
# The first pass, the pause after its end, and the second pass.
await_sound 20 loud && await_sound 10 silent && await_sound 10 loud
more_recorded 0.5
key_ends a "mp3"
record_stop 2
t_key=$(mark_in "$REC")
start=$(first_sound "$REC")
figure mp3_first_sound "${start:-none}"
[ -n "$t_key" ] || fail "mp3: the marker of the key is in the recording"
if [ -z "$start" ]; then
  fail "mp3: the piece is heard"
else
  pass "mp3: the piece is heard (from $start s)"
  gaps=$(silences "$REC" | head -n 1)
  figure mp3_gap "${gaps:-none}"
  check "mp3: the gap between two passes is at most 1.5 s (${gaps:-none} s)" at_most "${gaps:-9}" 1.5
  again=$(rms "$REC" "$(plus "$start" 3.5)" 0.5)
  check "mp3: heard again after its end (RMS $again)" above "$again" "$LOUD"
  [ -n "$t_key" ] && silent_after "$REC" "$t_key" "mp3 after the key"
fi
log "figures: ${E2E_FIGURES:-none}"

# --- WAV ---------------------------------------------------------------------------
e2e_case "a WAV loops" 60
REC="$E2E_TEST_WORK/wav.wav"
record_start "$REC"
start_music wav 'BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/ループ 音.wav"
check "wav: the display window appears" test -n "$WIN"
await_sound 20 loud
more_recorded 3.5
key_ends Escape "wav"
record_stop 2
t_key=$(mark_in "$REC")
start=$(first_sound "$REC")
figure wav_first_sound "${start:-none}"
[ -n "$t_key" ] || fail "wav: the marker of the key is in the recording"
if [ -z "$start" ]; then
  fail "wav: the sound is heard"
else
  pass "wav: the sound is heard (from $start s)"
  for k in 1.3 2.3 3.3; do
    v=$(rms "$REC" "$(plus "$start" "$k")" 0.4)
    check "wav: still heard $k s in, after the 1 s sound ended (RMS $v)" above "$v" "$LOUD"
  done
  [ -n "$t_key" ] && silent_after "$REC" "$t_key" "wav after the key"
fi
log "figures: ${E2E_FIGURES:-none}"

# --- a host that withholds XDG_RUNTIME_DIR and PULSE_SERVER (MATE's saver) -----------
# The session's server listens in /run/user/<uid>; the program finds it there.
e2e_case "without XDG_RUNTIME_DIR and PULSE_SERVER, the session's runtime folder" 60
RUN_DIR="/run/user/$(id -u)"
made_run_dir=0
if [ ! -e "$RUN_DIR" ]; then
  mkdir -m 0700 "$RUN_DIR" && made_run_dir=1
fi
forget_run_dir() {
  [ -n "${RUN_SOCKET_MODULE:-}" ] && pactl unload-module "$RUN_SOCKET_MODULE" 2>/dev/null
  rm -f "$RUN_DIR/pulse/native"
  [ "$made_run_dir" = 1 ] && rm -rf "$RUN_DIR"
}
on_exit forget_run_dir
if [ "$(stat -c '%u %a' "$RUN_DIR" 2>/dev/null)" != "$(id -u) 700" ]; then
  fail "$RUN_DIR is this account's own folder (mode 700) for the test"
else
  mkdir -p -m 0700 "$RUN_DIR/pulse"
  RUN_SOCKET_MODULE=$(pactl load-module module-native-protocol-unix socket="$RUN_DIR/pulse/native" auth-anonymous=1)
  REC="$E2E_TEST_WORK/runtime_folder.wav"
  record_start "$REC"
  write_settings "${QUICK_INI[@]}" 'BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/ループ 音.wav"
  PROGRAM=env start_native -u PULSE_SERVER -u XDG_RUNTIME_DIR "$NATIVE" /s
  WIN=$(wait_window Tessellane_Main 10)
  check "runtime folder: the music is heard through the session's server" await_sound 20 loud
  key_ends Escape "runtime folder"
  record_stop 2
  forget_run_dir
  RUN_SOCKET_MODULE=""
fi

# --- CD image: play, arrows, end ------------------------------------------------------
e2e_case "a CD image: played from track 1, stepped with the arrows" 90
disc steps 8
export TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/steps.cue"
REC="$E2E_TEST_WORK/cd.wav"
record_start "$REC"
start_music cd 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0'
check "cd: the display window appears" test -n "$WIN"
await_sound 20 loud
more_recorded 1
# Each arrow is marked; the pitch is read 0.8 s to 1.2 s after it.
KEYS=(Right Right Right Left)
EXPECT=(660 880 880 660)
for k in "${KEYS[@]}"; do
  mark
  send_key "$k"
  more_recorded 1.5
done
check "cd: the arrows do not end the display" alive "$NATIVE_PID"
key_ends space "cd"
record_stop 2
start=$(first_sound "$REC")
figure cd_first_sound "${start:-none}"
if [ -z "$start" ]; then
  fail "cd: the disc is heard"
else
  check_eq "cd: the disc starts with track 1" 440 "$(pitch "$REC" "$(plus "$start" 0.2)" 0.4)"
fi
t=0
for i in "${!KEYS[@]}"; do
  t=$(mark_in "$REC" "$t")
  if [ -z "$t" ]; then
    fail "cd: the marker of key $((i + 1)) is in the recording"
    break
  fi
  check_eq "cd: after ${KEYS[$i]} (key $((i + 1))) the track of ${EXPECT[$i]} Hz plays" "${EXPECT[$i]}" \
    "$(pitch "$REC" "$(plus "$t" 0.8)" 0.4)"
  t=$(plus "$t" 0.3)
done
t_key=$([ -n "$t" ] && mark_in "$REC" "$t")
[ -n "$t_key" ] && silent_after "$REC" "$t_key" "cd after the key"
log "figures: ${E2E_FIGURES:-none}"

# --- CD image: the whole disc ------------------------------------------------------------
e2e_case "a CD image played to its end starts again from track 1" 60
disc whole 1.2
export TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/whole.cue"
REC="$E2E_TEST_WORK/whole.wav"
record_start "$REC"
start_music whole 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0'
check "whole disc: the display window appears" test -n "$WIN"
await_sound 20 loud
# The three tracks take 3.6 s; the next poll starts the disc again.
more_recorded 5.5
ends_cleanly "whole disc"
record_stop 2
start=$(first_sound "$REC")
if [ -z "$start" ]; then
  fail "whole disc: the disc is heard"
else
  log "whole disc: pitch every 0.1 s: $(pitches "$REC" "$start" 5)"
  check_eq "whole disc: its last track plays" 880 "$(pitch "$REC" "$(plus "$start" 2.8)" 0.3)"
  check_eq "whole disc: then track 1 again" 440 "$(pitch "$REC" "$(plus "$start" 4.2)" 0.4)"
fi

# --- CD image: the repeat track ----------------------------------------------------------
e2e_case "a CD image: the repeat track holds track 2" 60
disc short 1.6
export TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/short.cue"
REC="$E2E_TEST_WORK/repeat.wav"
record_start "$REC"
start_music repeat 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=2'
check "repeat: the display window appears" test -n "$WIN"
await_sound 20 loud
# About four passes of the 1.6 s track.
more_recorded 6.5
# SIGTERM closes the display the way the system does, music and all.
mark
ends_cleanly "repeat"
record_stop 2
start=$(first_sound "$REC")
if [ -z "$start" ]; then
  fail "repeat: the disc is heard"
else
  steps=$(pitches "$REC" "$start" 6)
  held=$(printf '%s\n' $steps | grep -c '^660$')
  # The longest stretch of anything else: a pass of track 2 ends in track 3
  # until the next poll (200 ms) sends it back, plus the player's latency.
  stray=$(printf '%s\n' $steps | awk '$1 != 660 {n++; if (n > m) m = n} $1 == 660 {n = 0} END {print m + 0}')
  figure repeat_held_steps "$held/60"
  figure repeat_longest_stray_s "$(awk -v n="$stray" 'BEGIN{printf "%.1f", n / 10}')"
  log "repeat: pitch every 0.1 s: $steps"
  check "repeat: track 2 (660 Hz) is heard in at least 40 of 60 steps over 6 s, 3 passes and more ($held)" \
    at_least "$held" 40
  check "repeat: track 1 is never heard" test "$(printf '%s\n' $steps | grep -c '^440$')" -eq 0
  check "repeat: no other track or silence lasts over 0.4 s ($stray steps)" at_most "$stray" 4
fi
t_term=$(mark_in "$REC")
if [ -n "$t_term" ]; then
  silent_after "$REC" "$t_term" "repeat after SIGTERM"
else
  fail "repeat: the marker of SIGTERM is in the recording"
fi
log "figures: ${E2E_FIGURES:-none}"

# --- SIGTERM during an MP3 ------------------------------------------------------------
e2e_case "SIGTERM silences an MP3" 60
unset TESSELLANE_CD_DEVICE
REC="$E2E_TEST_WORK/term.wav"
record_start "$REC"
start_music term 'BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/テスト 曲.mp3"
await_sound 20 loud
more_recorded 0.5
mark
ends_cleanly "mp3"
record_stop 2
t_term=$(mark_in "$REC")
if [ -n "$t_term" ]; then
  before=$(rms "$REC" "$(plus "$t_term" -0.5)" 0.4)
  check "term: heard just before SIGTERM (RMS $before)" above "$before" "$LOUD"
  silent_after "$REC" "$t_term" "mp3 after SIGTERM"
else
  fail "term: the marker of SIGTERM is in the recording"
fi
log "figures: ${E2E_FIGURES:-none}"

# --- No sound output; no drive ------------------------------------------------------------
e2e_case "no sound output, no drive" 90
# runs_until_space WHAT [KEYS...]: the display still runs after the keys and
# 1 s, and a space then ends it with exit code 0.
runs_until_space() {
  local what="$1"
  shift
  check "$what: the display window appears" test -n "$WIN"
  [ $# -gt 0 ] && send_key "$@"
  check "$what: the display keeps running" still_running "$NATIVE_PID" 1
  key_ends space "$what"
}
for kind in mp3 wav cd; do
  case $kind in
    mp3) ini=('BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/テスト 曲.mp3") ;;
    wav) ini=('BGM区分=2' "BGMﾌｧｲﾙ=$MEDIA/ループ 音.wav") ;;
    cd) ini=('BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0') ;;
  esac
  TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/short.cue" PULSE_SERVER="unix:$PA_DIR/nothing-here" \
    start_music "nosound_$kind" "${ini[@]}"
  # With file music every key ends the display: only the CD gets arrows.
  if [ "$kind" = cd ]; then runs_until_space "no sound output, $kind" Left Right; else runs_until_space "no sound output, $kind"; fi
done
TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/no-such-disc.cue" start_music nodrive 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=0'
runs_until_space "no drive" Left Right Left
TESSELLANE_CD_DEVICE="$E2E_TEST_WORK/short.cue" start_music nodrive 'BGM区分=1' 'BGMﾘﾋﾟｰﾄ=5'
runs_until_space "repeat track beyond the disc"
if grep -q 'not understood' "$SAVER_LOG"; then
  fail "an MCI command the interpreter does not know: $(grep 'not understood' "$SAVER_LOG" | head -n 1)"
else
  pass "no MCI command went unrecognised in any case (native.log)"
fi

log "figures: ${E2E_FIGURES:-none}"
sound_stop
e2e_end
