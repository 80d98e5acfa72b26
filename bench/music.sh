#!/usr/bin/env bash
# What MP3 music costs the display under Wine, measured and printed (never
# asserted): circles per second of the real display loop (display_bench.exe)
# without music and with a 3 s MP3 that the once-a-second poll keeps
# restarting, alternating ROUNDS times, played into a PulseAudio null sink.
# A third run polls a music file that does not open: the once-a-second poll
# and its MCI commands without any decoding, so the two costs stand apart.
# BENCH_SECONDS (default 5) is the length of each run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

BENCH_SECONDS="${BENCH_SECONDS:-5}"
ROUNDS="${ROUNDS:-3}"
REAL="${TESS_DISPLAY_BENCH:-$REPO/build/windows/bench/display_bench.exe}"

e2e_begin bench_music
if [ ! -f "$REAL" ]; then
  echo "bench_music: $REAL is missing; build the windows preset first" >&2
  exit 1
fi

PA_DIR="$E2E_TEST_WORK/pulse"
mkdir -p "$PA_DIR"
HOME="$PA_DIR" XDG_RUNTIME_DIR="$PA_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  --use-pid-file=no -L "module-native-protocol-unix socket=$PA_DIR/pulse.sock auth-anonymous=1" \
  -L "module-null-sink sink_name=test rate=44100 channels=2" -L module-always-sink >"$PA_DIR/pulse.log" 2>&1 &
export PULSE_SERVER="unix:$PA_DIR/pulse.sock"
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

sox -n -r 44100 -c 2 -b 16 "$E2E_TEST_WORK/tone.wav" synth 3 sine 440 vol 0.5
lame --quiet -b 128 "$E2E_TEST_WORK/tone.wav" "$E2E_TEST_WORK/tone.mp3"
MP3_WIN="Z:$(printf '%s' "$E2E_TEST_WORK/tone.mp3" | tr / '\\')"

cps() {
  local out="$E2E_TEST_WORK/tool.out"
  "$WINE" "$REAL" "$BENCH_SECONDS" "$@" >"$out" 2>&1 </dev/null
  tr -d '\r' <"$out" | awk '$1 == "circles_per_second" {print $2}' | tail -n 1
}

MISSING_WIN='Z:\nowhere\no such piece.mp3'
plain=()
polls=()
music=()
for r in $(seq 1 "$ROUNDS"); do
  p=$(cps)
  q=$(cps "$MISSING_WIN")
  m=$(cps "$MP3_WIN")
  echo "round $r: no music ${p:-?}, polls only ${q:-?}, MP3 ${m:-?} circles/s"
  plain+=("${p:-0}")
  polls+=("${q:-0}")
  music+=("${m:-0}")
done
awk -v p="${plain[*]}" -v q="${polls[*]}" -v m="${music[*]}" 'BEGIN{
  n = split(p, a, " "); split(q, c, " "); split(m, b, " ");
  for (i = 1; i <= n; i++) { sp += a[i]; sq += c[i]; sm += b[i] }
  if (sp > 0) {
    printf "mean: no music %.0f, polls only %.0f, MP3 %.0f circles/s\n", sp / n, sq / n, sm / n
    printf "polls only / none = %.3f (%.1f%% slower); MP3 / none = %.3f (%.1f%% slower)\n", sq / sp, 100 * (1 - sq / sp), sm / sp, 100 * (1 - sm / sp)
  }
}'
echo "== bench_music done"
