# Shared part of the benchmarks under Wine (bench/*.sh): the end-to-end
# harness (e2e/lib.sh: screen, prefix, saver, screenshots) and the benchmark
# programs of build/windows/bench. Benchmarks print figures; they assert
# nothing but that they measured.

# shellcheck source=../e2e/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
BENCH_PROGRAMS="${TESS_BENCH_PROGRAMS:-$REPO/build/windows/bench}"

# run_tool PROGRAM ARGS...: runs a program under Wine and prints its output.
# Output goes through a file: a pipe would stay open as long as the Wine
# services started by the program (they inherit it) live.
run_tool() {
  local out="$E2E_TEST_WORK/tool.out"
  "$WINE" "$@" >"$out" 2>&1 </dev/null
  cat "$out"
}

# first_ring T0 PID BACKGROUND TRIES: polls the screen's top-left corner, where
# a cycle's first circles are drawn, by screenshots (at most TRIES, while PID
# runs). Milliseconds from T0 (date +%s%N) until the corner showed the
# background (#RRGGBB) are left in FIRST_SHOWN_MS, until it held another
# colour beside it in FIRST_RING_MS; "" for what was not seen.
first_ring() {
  local t0="$1" pid="$2" background="$3" colours now _
  FIRST_SHOWN_MS="" FIRST_RING_MS=""
  for _ in $(seq 1 "$4"); do
    colours=$(import -display "$DISPLAY" -window root -crop 160x160+0+0 -depth 8 txt:- 2>/dev/null |
              awk 'NR > 1 {print $3}' | sort -u)
    now=$(date +%s%N)
    if printf '%s\n' "$colours" | grep -qx "$background"; then
      [ -n "$FIRST_SHOWN_MS" ] || FIRST_SHOWN_MS=$(( (now - t0) / 1000000 ))
      if [ "$(printf '%s\n' "$colours" | wc -l)" -ge 2 ]; then
        FIRST_RING_MS=$(( (now - t0) / 1000000 ))
        return
      fi
    fi
    alive "$pid" || return
  done
}
