#!/usr/bin/env bash
# Measures the settings window's light-ray speed under Wine against the bare
# reference loop, how long a click waits while the animation runs, and the
# paced animation's rays per second and processor time.
# Prints the figures; asserts nothing (timings depend on the machine).
#   bench/dialog_rays.sh [SECONDS]
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
SECONDS_PER_RUN="${1:-10}"

e2e_begin measure_dialog
for run in 1 2 3; do
  bare=$(run_tool "$BENCH_PROGRAMS/rays_bare_loop.exe" "$SECONDS_PER_RUN" | value_of rays_per_second)
  d=$(new_testdir "run$run")
  cp "$BENCH_PROGRAMS/rays_bench.exe" "$d/"
  out=$(cd "$d" && run_tool "$d/rays_bench.exe" "$SECONDS_PER_RUN" | tr -d '\r')
  dialog=$(value_of rays_per_second <<<"$out")
  ratio=$(awk -v a="$dialog" -v b="$bare" 'BEGIN { if (b > 0) printf "%.1f", 100 * a / b; else print "n/a" }')
  echo "run $run: bare loop $bare rays/s, settings window $dialog rays/s ($ratio %)"
  grep '^click' <<<"$out" | sed 's/^/  /'
done
d=$(new_testdir paced)
cp "$BENCH_PROGRAMS/rays_bench.exe" "$d/"
out=$(cd "$d" && run_tool "$d/rays_bench.exe" "$SECONDS_PER_RUN" --paced | tr -d '\r')
echo "paced: $(value_of rays_per_second <<<"$out") rays/s, $(value_of cpu_percent <<<"$out") % of a core"
grep '^click' <<<"$out" | sed 's/^/  /'
e2e_end
