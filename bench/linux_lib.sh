# Shared by the native benchmarks (bench/linux*.sh): the native harness, the
# length and count of the runs, and reading and comparing their figures.
# Source it, then call linux_begin NAME.
# shellcheck source=../e2e/linux/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/linux/lib.sh"
need_native
BENCH_SECONDS="${BENCH_SECONDS:-5}"
RUNS="${RUNS:-3}"
PROGRAMS="$LINUX_BUILD/bench"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b > 0) printf "%.3f", a / b; else print "?" }'; }

# Start to the first picture and peak memory, a program against a bare one:
# start_sample real|bare ARGS... takes one start through first_ring_x11 (ARGS
# are its own) into that side's lists; start_figures WHAT REAL BARE prints
# the medians of both sides as two lines.
real_ms=() bare_ms=() real_kb=() bare_kb=()
start_sample() {
  local -n sample_ms="$1_ms" sample_kb="$1_kb"
  local out
  shift
  out=$("$PROGRAMS/first_ring_x11" "$@")
  sample_ms+=("$(value_of first_ring_ms <<<"$out")")
  sample_kb+=("$(value_of peak_rss_kb <<<"$out")")
}
start_figures() {
  local rm bm rk bk
  rm=$(median "${real_ms[@]}") bm=$(median "${bare_ms[@]}")
  rk=$(median "${real_kb[@]}") bk=$(median "${bare_kb[@]}")
  echo "$1: $2 ${rm:-?} ms, $3 ${bm:-?} ms, ratio $(ratio "${rm:-0}" "${bm:-0}") (median of $RUNS; runs ${real_ms[*]} / ${bare_ms[*]})"
  echo "peak resident memory: $2 ${rk:-?} kB, $3 ${bk:-?} kB, difference $((${rk:-0} - ${bk:-0})) kB (median of $RUNS; runs ${real_kb[*]} / ${bare_kb[*]})"
}
