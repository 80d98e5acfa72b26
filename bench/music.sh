#!/usr/bin/env bash
# What MP3 music costs the display under Wine, measured and printed (never
# asserted): circles per second of the real display loop (display_bench.exe)
# without music and with a 3 s MP3 that the once-a-second poll keeps
# restarting, alternating ROUNDS times, played into a PulseAudio null sink.
# A third run polls a music file that does not open: the once-a-second poll
# and its MCI commands without any decoding, so the two costs stand apart.
# BENCH_SECONDS (default 5) is the length of each run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/sound.sh"

BENCH_SECONDS="${BENCH_SECONDS:-5}"
ROUNDS="${ROUNDS:-3}"
REAL="${TESS_DISPLAY_BENCH:-$BENCH_PROGRAMS/display_bench.exe}"

e2e_begin bench_music
if [ ! -f "$REAL" ]; then
  echo "bench_music: $REAL is missing; build the windows preset first" >&2
  exit 1
fi

# Nothing records the sink: the server alone, without sound_start's stream.
sound_server_start || echo "bench_music: no sound server; the MP3 runs measure a failed open" >&2

tone_mp3 3 440 "$E2E_TEST_WORK/tone.mp3"
MP3_WIN=$(winpath "$E2E_TEST_WORK/tone.mp3")

cps() { run_tool "$REAL" "$BENCH_SECONDS" "$@" | value_of circles_per_second; }

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
