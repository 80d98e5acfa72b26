#!/usr/bin/env bash
# The browser build's benchmarks, beside bare references in the same browser
# run (nothing asserted): page weight, start to the first ring, the unpaced
# display loop's speed, the renderer's processor time while the display and
# the rays run paced, and what Asyncify costs in size and speed. Builds the
# site and the benchmark programs (web preset), then bench/web/web_bench.py
# prints the figures. BENCH_RUNS (3) and BENCH_SECONDS (5) set their length.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web --target site web_benchmarks >/dev/null
exec /usr/bin/python3 bench/web/web_bench.py
