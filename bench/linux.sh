#!/usr/bin/env bash
# Figures of the native Linux program on private Xvfb screens, measured and
# printed (never asserted), each beside its reference taken in the same run:
#   - circles per second of the real display loop (display_bench_x11) and of
#     the bare Xlib + MIT-SHM loop (bare_loop_x11: the same plotter and the
#     same presentation policy), at 1024x768 and at 3840x2160, and the ratio;
#   - the same loop paced as the program runs it: circles per second and the
#     processor time it takes, in per cent of one core;
#   - start to the first ring on the screen and peak resident memory of
#     tessellane /s against the bare loop's full-screen window (first_ring_x11
#     polls the screen every 0.5 ms);
#   - the time a hosted hack (-root) takes to exit after SIGTERM.
# BENCH_SECONDS (default 5) is the length of each loop run; RUNS (default 3)
# how often each start is measured (the median is printed).
set -u
. "$(dirname "${BASH_SOURCE[0]}")/linux_lib.sh"
linux_begin bench

# loops SIZE: the two loops in turn, RUNS times each on one screen (the
# same radius for both), and the medians.
loops() {
  local size="$1" out radius reals=() bares=() radii=() r b
  start_xvfb "$size" || return
  for _ in $(seq 1 "$RUNS"); do
    out=$("$PROGRAMS/display_bench_x11" "$BENCH_SECONDS")
    radius=$(value_of mean_radius <<<"$out")
    reals+=("$(value_of circles_per_second <<<"$out")")
    # The display draws a new radius (8 to 100) every cycle: the bare loop
    # draws the mean radius of the circles the display drew in that run.
    out=$("$PROGRAMS/bare_loop_x11" "$BENCH_SECONDS" "$radius")
    bares+=("$(value_of circles_per_second <<<"$out")")
    radii+=("$radius")
  done
  r=$(median "${reals[@]}")
  b=$(median "${bares[@]}")
  echo "$size display loop: $r circles/s (median; runs ${reals[*]}; mean radii ${radii[*]})"
  echo "$size bare loop:    $b circles/s (median; runs ${bares[*]}; the same radii)"
  echo "$size ratio:        $(ratio "$r" "$b")"
  out=$("$PROGRAMS/display_bench_x11" "$BENCH_SECONDS" --paced)
  echo "$size paced loop:   $(value_of circles_per_second <<<"$out") circles/s, $(value_of cpu_percent <<<"$out") % of a core"
  xvfb_stop
}
loops 1024x768
loops 3840x2160

start_xvfb 1024x768
write_settings '停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
hosted_exit=()
for _ in $(seq 1 "$RUNS"); do
  start_sample real "$NATIVE" /s
  start_sample bare "$PROGRAMS/bare_loop_x11" 30
  out=$("$PROGRAMS/first_ring_x11" "$NATIVE" -root)
  hosted_exit+=("$(value_of exit_ms <<<"$out") ms (exit code $(value_of exit_code <<<"$out"))")
done
start_figures "start to first ring" "tessellane /s" "bare window"
echo "hosted (-root) exit after SIGTERM: ${hosted_exit[*]}"
e2e_end
