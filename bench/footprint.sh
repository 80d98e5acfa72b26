#!/usr/bin/env bash
# Footprint of /s under Wine on a private 1024x768 screen, beside the bare
# reference program (bench/win/bare_loop_win.cpp: a full-screen window and circles,
# nothing else) in the same run; measured and printed, never asserted:
#   - peak working set (as the process reports it; Wine takes it from VmHWM);
#   - start to the first ring on the screen, against the bare program's start
#     to its first circle (screenshot polling of the top-left corner).
# ROUNDS (default 3) runs of each, alternating; medians are printed.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ROUNDS="${ROUNDS:-3}"
BARE="$BENCH_PROGRAMS/bare_loop.exe"

e2e_begin footprint

mib() { awk -v b="$1" 'BEGIN{printf "%.1f", b / 1048576}'; }

BARE_FIRST=() BARE_PEAK=() SAVER_FIRST=() SAVER_PEAK=()
for round in $(seq 1 "$ROUNDS"); do
  e2e_case "round $round"
  # The bare program: black, then yellow circles from the top-left corner.
  place_cursor 1000 700 >/dev/null || true
  out="$E2E_TEST_WORK/bare$round.out"
  t0=$(date +%s%N)
  "$WINE" "$BARE" 4 50 >"$out" 2>&1 </dev/null &
  pid=$!
  first_ring "$t0" "$pid" '#000000' 300
  BARE_FIRST+=("$FIRST_RING_MS")
  wait_exit "$pid" 20 || stop_pid "$pid"
  BARE_PEAK+=("$(tr -d '\r' <"$out" | awk '$1 == "peak_working_set" {print $2}')")

  # The saver: a red background, the first ring drawn on it.
  DIR=$(new_testdir "saver$round")
  write_ini "$DIR" '停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
  place_cursor 1000 700 >/dev/null || true
  res="$DIR/resources.txt"
  t0=$(date +%s%N)
  TESS_RESOURCE_FILE="$(winpath "$res")" start_saver "$DIR" /s
  first_ring "$t0" "$SAVER_PID" '#FF0000' 300
  SAVER_FIRST+=("$FIRST_RING_MS")
  WIN=$(wait_window "$MAIN" 10) || WIN=""
  sleep 4
  SAVER_PEAK+=("$(tr -d '\r' <"$res" 2>/dev/null | tr ' ' '\n' | sed -n 's/^peak_working_set=//p')")
  hwm=$(awk '/^VmHWM/{print $2}' "/proc/$SAVER_PID/status" 2>/dev/null)
  log "round $round: bare first circle ${BARE_FIRST[-1]:-?} ms, peak ${BARE_PEAK[-1]:-?} B;" \
      "saver first ring ${SAVER_FIRST[-1]:-?} ms, peak ${SAVER_PEAK[-1]:-?} B (VmHWM ${hwm:-?} kB)"
  stop_with_key q 5
done

bf=$(median "${BARE_FIRST[@]}")
sf=$(median "${SAVER_FIRST[@]}")
bp=$(median "${BARE_PEAK[@]}")
sp=$(median "${SAVER_PEAK[@]}")
echo "start to first circle (bare):  ${bf:-?} ms"
echo "start to first ring (saver):   ${sf:-?} ms"
[ -n "$bf" ] && [ -n "$sf" ] && awk -v s="$sf" -v b="$bf" 'BEGIN{printf "ratio saver / bare:            %.2f\n", s / b}'
echo "peak working set (bare):       ${bp:+$(mib "$bp") MiB}"
echo "peak working set (saver /s):   ${sp:+$(mib "$sp") MiB}"
[ -n "$bp" ] && [ -n "$sp" ] && echo "saver above bare:              $(mib $((sp - bp))) MiB"
check "every round measured" test "${#SAVER_PEAK[@]}" -eq "$ROUNDS" -a -n "$sp" -a -n "$bp"
e2e_end
