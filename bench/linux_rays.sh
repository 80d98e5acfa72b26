#!/usr/bin/env bash
# The native settings window's figures on a private Xvfb, measured and
# printed (never asserted), each beside its reference from the same run:
#   - light-ray steps (pixels changed) per second of the real window
#     (rays_bench_x11, the window of tessellane /c measured from inside)
#     against the bare GTK loop that changes the same bytes of a 320 x 240
#     8-bit picture, a hundred between repaints, as a ray's steps are
#     (rays_bare_loop_gtk), alternating RUNS times, and the ratio;
#   - the window's animation paced as the program runs it: rays per second
#     and the processor time it takes, in per cent of one core;
#   - start to the first frame and peak resident memory of tessellane /c
#     against a bare GTK window of its size and place (bare_window_gtk).
# BENCH_SECONDS (default 5) is the length of each loop run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/linux_lib.sh"
linux_begin bench_rays

start_xvfb 1024x768 || exit 1
reals=() bares=() rays=()
for _ in $(seq 1 "$RUNS"); do
  out=$("$PROGRAMS/rays_bare_loop_gtk" "$BENCH_SECONDS")
  bares+=("$(value_of steps_per_second <<<"$out")")
  out=$("$PROGRAMS/rays_bench_x11" "$BENCH_SECONDS")
  reals+=("$(value_of steps_per_second <<<"$out")")
  rays+=("$(value_of rays_per_second <<<"$out")")
done
r=$(median "${reals[@]}")
b=$(median "${bares[@]}")
echo "light-ray steps: settings window $r steps/s ($(median "${rays[@]}") rays/s), bare GTK loop $b steps/s, ratio $(ratio "$r" "$b") (median of $RUNS; runs ${reals[*]} / ${bares[*]})"
out=$("$PROGRAMS/rays_bench_x11" "$BENCH_SECONDS" --paced)
echo "paced light rays: $(value_of rays_per_second <<<"$out") rays/s, $(value_of cpu_percent <<<"$out") % of a core"

# Start to the first frame, and the footprint three seconds on, of tessellane
# /c and of a bare GTK window at the settings window's place.
for _ in $(seq 1 "$RUNS"); do
  start_sample real --at 300 100 "$NATIVE" /c
  start_sample bare --at 300 100 "$PROGRAMS/bare_window_gtk"
done
start_figures "start to first frame" "tessellane /c" "bare GTK window"
e2e_end
