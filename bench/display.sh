#!/usr/bin/env bash
# Display figures under Wine on a private 1024x768 Xvfb screen, measured and
# printed (never asserted):
#   - circles per second of the real display loop (display_bench.exe) and of
#     the bare reference loop (bare_loop.exe: Ellipse + PeekMessage only),
#     same radius, same run, and their ratio;
#   - the loop paced as the saver runs it: circles per second and the
#     processor time in per cent of one core;
#   - time from starting tessellane.scr /s to the first ring on the screen;
#   - peak memory (VmHWM) of the running saver.
# BENCH_SECONDS (default 5) is the length of each loop run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

BENCH_SECONDS="${BENCH_SECONDS:-5}"
BARE="$BENCH_PROGRAMS/bare_loop.exe"
REAL="$BENCH_PROGRAMS/display_bench.exe"

e2e_begin bench

radius=50
real_cps=""
if [ -f "$REAL" ]; then
  out=$(run_tool "$REAL" "$BENCH_SECONDS")
  real_cps=$(printf '%s\n' "$out" | value_of circles_per_second)
  radius=$(printf '%s\n' "$out" | value_of mean_radius)
  radius=${radius:-50}
  echo "display loop:   ${real_cps:-?} circles/s (mean radius $radius; $(printf '%s\n' "$out" | value_of circles) circles in ${BENCH_SECONDS} s)"
else
  echo "display loop:   $REAL not built, skipped"
fi

bare_cps=""
if [ -f "$BARE" ]; then
  out=$(run_tool "$BARE" "$BENCH_SECONDS" "$radius")
  bare_cps=$(printf '%s\n' "$out" | value_of circles_per_second)
  echo "bare loop:      ${bare_cps:-?} circles/s (radius $radius)"
else
  echo "bare loop:      $BARE not built, skipped"
fi
if [ -n "$real_cps" ] && [ -n "$bare_cps" ]; then
  awk -v r="$real_cps" -v b="$bare_cps" 'BEGIN{ if (b > 0) printf "ratio:          display / bare = %.2f\n", r / b }'
fi
# The same loop paced as the saver runs it, and what it costs the processor.
if [ -f "$REAL" ]; then
  out=$(run_tool "$REAL" "$BENCH_SECONDS" --paced | tr -d '\r')
  echo "paced loop:     $(value_of circles_per_second <<<"$out") circles/s, $(value_of cpu_percent <<<"$out") % of a core"
fi

# Time to the first ring: a red background, then poll the top-left corner
# until it holds a second colour.
DIR=$(new_testdir first_ring)
write_ini "$DIR" '停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
place_cursor 1000 700 >/dev/null || true
t0=$(date +%s%N)
start_saver "$DIR" /s
first_ring "$t0" "$SAVER_PID" '#FF0000' 400
echo "start to red window:  ${FIRST_SHOWN_MS:-?} ms"
echo "start to first ring:  ${FIRST_RING_MS:-?} ms (screenshot polling, resolution about one screenshot)"

sleep 3
if alive "$SAVER_PID"; then
  hwm=$(awk '/^VmHWM/{print $2, $3}' "/proc/$SAVER_PID/status")
  rss=$(awk '/^VmRSS/{print $2, $3}' "/proc/$SAVER_PID/status")
  echo "saver memory:   peak ${hwm:-?} (VmHWM), now ${rss:-?} (VmRSS), after 3 s of drawing"
  stop_with_key Escape 5
else
  echo "saver memory:   the saver ended early, not measured"
fi
