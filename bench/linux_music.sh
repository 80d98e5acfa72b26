#!/usr/bin/env bash
# What MP3 music costs the native display, measured and printed (never
# asserted): the processor time (user and system, every thread) of
# tessellane /s over BENCH_SECONDS (default 60) with a 3 s MP3 that the
# once-a-second poll keeps restarting, played through GStreamer into a
# PulseAudio null sink, against the same display without music, alternating
# ROUNDS (default 1) times, and the ratio. The display draws as fast as it
# can, so the figure without music is about one processor's worth; what the
# music adds is its decoding, the output and the poll.
set -u
BENCH_SECONDS="${BENCH_SECONDS:-60}"
. "$(dirname "${BASH_SOURCE[0]}")/linux_lib.sh"
# shellcheck source=../e2e/sound.sh
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/sound.sh"
linux_begin bench_music

ROUNDS="${ROUNDS:-1}"
TICKS=$(getconf CLK_TCK)

start_xvfb 1024x768 || exit 1
sound_server_start || { echo "bench_music: no sound server" >&2; exit 1; }
on_exit sound_stop
tone_mp3 3 440 "$E2E_TEST_WORK/tone.mp3"

# cpu_seconds SETTINGS...: the display's processor time over BENCH_SECONDS.
cpu_seconds() {
  write_settings '停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0' "$@"
  start_native /s
  wait_window Tessellane_Main 10 >/dev/null || { echo "?"; stop_native KILL 2; return; }
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$NATIVE_PID/stat")
  sleep "$BENCH_SECONDS"
  after=$(awk '{print $14 + $15}' "/proc/$NATIVE_PID/stat")
  # That the music plays: the program's streams into the sink at the end.
  pactl list short sink-inputs | wc -l >>"$E2E_TEST_WORK/streams.txt"
  stop_native TERM 5
  awk -v a="$before" -v b="$after" -v t="$TICKS" 'BEGIN{printf "%.2f", (b - a) / t}'
}

silent=() music=()
for _ in $(seq 1 "$ROUNDS"); do
  silent+=("$(cpu_seconds 'BGM区分=0')")
  music+=("$(cpu_seconds 'BGM区分=2' "BGMﾌｧｲﾙ=$E2E_TEST_WORK/tone.mp3")")
done
s=$(median "${silent[@]}")
m=$(median "${music[@]}")
echo "sound streams at the end of each run (without, with music, ...): $(tr '\n' ' ' <"$E2E_TEST_WORK/streams.txt")"
echo "processor time over $BENCH_SECONDS s: display alone $s s, with MP3 music $m s, ratio $(ratio "$m" "$s") (median of $ROUNDS; runs ${silent[*]} / ${music[*]})"
e2e_end
