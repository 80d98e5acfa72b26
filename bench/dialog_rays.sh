#!/usr/bin/env bash
# Measures the settings window's light-ray speed under Wine against the bare
# reference loop, and how long a click waits while the animation runs.
# Prints the figures; asserts nothing (timings depend on the machine).
#   bench/dialog_rays.sh [SECONDS]
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
SECONDS_PER_RUN="${1:-10}"
TOOLS="${TESS_TOOLS:-$REPO/build/windows/bench}"

e2e_begin measure_dialog
for run in 1 2 3; do
  bare=$("$WINE" "$TOOLS/rays_bare_loop.exe" "$SECONDS_PER_RUN" 2>/dev/null | tr -d '\r' | sed -n 's/^rays_per_second //p')
  d=$(new_testdir "run$run")
  cp "$TOOLS/rays_bench.exe" "$d/"
  out=$(cd "$d" && "$WINE" "$d/rays_bench.exe" "$SECONDS_PER_RUN" 2>/dev/null | tr -d '\r')
  dialog=$(sed -n 's/^rays_per_second //p' <<<"$out")
  ratio=$(awk -v a="$dialog" -v b="$bare" 'BEGIN { if (b > 0) printf "%.1f", 100 * a / b; else print "n/a" }')
  echo "run $run: bare loop $bare rays/s, settings window $dialog rays/s ($ratio %)"
  grep '^click' <<<"$out" | sed 's/^/  /'
done
e2e_end
