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
