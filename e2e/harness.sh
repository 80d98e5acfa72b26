# The generic end-to-end harness: PASS/FAIL counting with the evidence of a
# failure, figures, numbers and time, a time limit for every case, bounded
# waits, the exit trap with its clean-up hooks, processes. It starts no
# server: e2e/screen.sh adds the screen, e2e/wine.sh the Windows build under
# Wine (e2e/lib.sh sources all three), e2e/linux/lib.sh the native program.
#
# A test script sources its harness, begins (e2e_begin, linux_begin or
# e2e_begin_offline), runs its cases and ends with e2e_end (which exits 1
# when a check failed).

E2E_HARNESS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO="$(cd "$E2E_HARNESS_DIR/.." && pwd)"
E2E_WORK="${E2E_WORK:-$REPO/build/e2e}"
INI_NAME="テセレーン.ini"
# Window titles: the display (/s) and the settings window (/c).
MAIN=Tessellane_Main
SETTINGS_TITLE='テセレーンの設定'

# shellcheck source=../scripts/background.sh
. "$REPO/scripts/background.sh"

E2E_PASSED=0
E2E_FAILED=0
SAVER_PID=""
# Scripts may list the programs they start here; cleanup ends every background
# job of the script that has not been waited for, listed or not.
E2E_STARTED_PIDS=()

log() { printf '  %s\n' "$*"; }

pass() { E2E_PASSED=$((E2E_PASSED + 1)); printf 'PASS: %s\n' "$*"; }
# fail WHAT: counts the failure and keeps what shows what happened (e2e_evidence),
# named on the same line.
fail() {
  E2E_FAILED=$((E2E_FAILED + 1))
  printf 'FAIL: %s [%s]\n' "$*" "$(e2e_evidence 2>/dev/null)"
}

# figure NAME VALUE: a measured figure of the current case (a time, a count);
# a failure of the case lists them all.
E2E_FIGURES=""
figure() { E2E_FIGURES+="${E2E_FIGURES:+, }$1=$2"; }

# e2e_evidence: keeps a screenshot and a copy of the saver's log (SAVER_LOG,
# what SAVER_LOG_HOLDS says it holds) in
# $E2E_TEST_WORK/failures, and prints their names, the window that had the
# focus, the case's figures and how long the case had run.
E2E_CASE_T0=$SECONDS
e2e_evidence() {
  [ -n "${E2E_TEST_WORK:-}" ] || return 0
  local dir="$E2E_TEST_WORK/failures" n="$E2E_FAILED" out=() focus
  mkdir -p "$dir" || return 0
  if [ -n "${DISPLAY:-}" ] && timeout 10 import -display "$DISPLAY" -window root "$dir/$n.png" 2>/dev/null; then
    out+=("screenshot $dir/$n.png")
  fi
  if [ -n "${SAVER_LOG:-}" ] && [ -f "$SAVER_LOG" ]; then
    local holds="${SAVER_LOG_HOLDS:-}"
    [ -n "$holds" ] || holds="the program's output"
    cp "$SAVER_LOG" "$dir/$n-saver.log" && out+=("saver log ($holds) $dir/$n-saver.log")
  fi
  if [ -n "${DISPLAY:-}" ]; then
    focus=$(timeout 5 xdotool getwindowfocus 2>/dev/null)
    out+=("focus: ${focus:-none} '$( [ -n "$focus" ] && timeout 5 xdotool getwindowname "$focus" 2>/dev/null)'")
  fi
  out+=("figures: ${E2E_FIGURES:-none}" "$((SECONDS - E2E_CASE_T0)) s into case '${E2E_CASE:-}'")
  local first=1 item
  for item in "${out[@]}"; do
    [ "$first" = 1 ] || printf '; '
    printf '%s' "$item"
    first=0
  done
}

# check DESCRIPTION COMMAND...: PASS when the command succeeds.
check() {
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1 (expected '$2', got '$3')"; fi
}

# --- Numbers and time ------------------------------------------------------------

# Comparisons of measured figures; an empty or garbled figure fails them all.
is_number() { [[ "$1" =~ ^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?$ ]]; }
above() { is_number "$1" && awk -v v="$1" -v t="$2" 'BEGIN{exit !(v > t)}'; }
below() { is_number "$1" && awk -v v="$1" -v t="$2" 'BEGIN{exit !(v < t)}'; }
at_least() { is_number "$1" && awk -v v="$1" -v t="$2" 'BEGIN{exit !(v >= t)}'; }
at_most() { is_number "$1" && awk -v v="$1" -v t="$2" 'BEGIN{exit !(v <= t)}'; }
# between V LOW HIGH: LOW <= V <= HIGH.
between() { at_least "$1" "$2" && at_most "$1" "$3"; }

# median VALUES...: the middle one of the non-empty values (the upper middle
# of an even count); nothing when there are none.
median() { printf '%s\n' "$@" | grep . | sort -n | awk '{v[NR] = $1} END{if (NR) print v[int((NR + 1) / 2)]}'; }

now() { date +%s.%N; }
plus() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.2f", a + b}'; }
# sleep_until WALL_TIME: sleeps until that moment of now's clock (not at all when past).
sleep_until() { sleep "$(awk -v t="$1" -v n="$(now)" 'BEGIN{d = t - n; printf "%.2f", (d > 0 ? d : 0)}')"; }

# --- Time limits ---------------------------------------------------------------

# e2e_case NAME [SECONDS]: starts the case NAME with its own time limit
# (default E2E_CASE_SECONDS, 180 s). A case still running at its limit fails
# by name and ends the script, so a hang never waits for the suite's limit.
E2E_CASE=""
E2E_CASE_LIMIT=0
E2E_WATCHDOG_PID=""
e2e_case() {
  E2E_CASE="$1"
  E2E_CASE_LIMIT="${2:-${E2E_CASE_SECONDS:-180}}"
  E2E_CASE_T0=$SECONDS
  E2E_FIGURES=""
  echo "-- $E2E_CASE"
  e2e_watchdog_stop
  e2e_watchdog "$E2E_CASE_LIMIT" &
  E2E_WATCHDOG_PID=$!
}

# The watchdog asks the script to end (USR1); a script stuck in a foreground
# command cannot take the signal, so after a grace period the script's own
# children, other than its screen, are ended to free it.
e2e_watchdog() {
  local end=$((SECONDS + $1)) script=$$ me=$BASHPID p
  while [ "$SECONDS" -lt "$end" ]; do
    sleep 1
    kill -0 "$script" 2>/dev/null || exit 0
  done
  kill -USR1 "$script" 2>/dev/null || exit 0
  sleep 5
  for p in $(ps -o pid= --ppid "$script" 2>/dev/null); do
    [ "$p" = "$me" ] || [ "$p" = "${XVFB_PID:-}" ] || kill "$p" 2>/dev/null || true
  done
}

e2e_watchdog_stop() {
  if [ -n "$E2E_WATCHDOG_PID" ]; then
    end_job "$E2E_WATCHDOG_PID"
    E2E_WATCHDOG_PID=""
  fi
}

e2e_case_timed_out() {
  E2E_WATCHDOG_PID=""
  fail "TIMEOUT: case '$E2E_CASE' ran longer than $E2E_CASE_LIMIT s"
  e2e_end
}

# wait_until SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it
# succeeds; after SECONDS logs what it waited for and fails.
wait_until() {
  local limit="$1" what="$2" end
  shift 2
  end=$((SECONDS + limit))
  until "$@"; do
    if [ "$SECONDS" -ge "$end" ]; then
      log "timed out after $limit s waiting for $what"
      return 1
    fi
    sleep 0.1
  done
}

# seconds_since WALL_TIME: how long ago that moment of now's clock was (0.01 s).
seconds_since() { awk -v t="$1" -v n="$(now)" 'BEGIN{printf "%.2f", n - t}'; }

# cpu_ticks PID: user and system time of the process so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
# cpu_percent TICKS0 TICKS1 T0: the processor time between two cpu_ticks
# readings, the first taken at the wall-clock moment T0, in per cent of one core.
cpu_percent() {
  awk -v a="$1" -v b="$2" -v hz="$(getconf CLK_TCK)" -v s="$(seconds_since "$3")" 'BEGIN{printf "%.1f", (b - a) / hz / s * 100}'
}

# e2e_work NAME: the work folder $E2E_WORK/NAME made anew (E2E_TEST_WORK).
e2e_work() {
  E2E_NAME="$1"
  E2E_TEST_WORK="$E2E_WORK/$E2E_NAME"
  rm -rf "$E2E_TEST_WORK"
  mkdir -p "$E2E_TEST_WORK"
}

# e2e_begin_offline NAME: the work folder, the exit trap and the time
# limits, for a test that needs no screen.
e2e_begin_offline() {
  e2e_work "$1"
  e2e_traps
  e2e_case "setup"
}

# The exit trap puts back what the script changed (e2e_at_exit) also when a
# case times out (USR1 from the watchdog) or the suite's limit ends the
# script (TERM).
e2e_traps() {
  trap e2e_cleanup EXIT
  trap e2e_case_timed_out USR1
  trap 'exit 143' TERM
  trap 'exit 130' INT
  trap 'exit 129' HUP
}

# e2e_at_exit COMMAND...: an external command the exit trap runs (for at most
# 30 s) before the screen and the prefix's server end, to put back a change
# to the shared prefix. Commands run last registered first.
E2E_EXIT_HOOKS=()
e2e_at_exit() {
  local cmd
  printf -v cmd '%q ' "$@"
  E2E_EXIT_HOOKS=("$cmd" "${E2E_EXIT_HOOKS[@]}")
}

# on_exit FUNCTION: a function of the script the exit trap runs first, while
# everything the script started is still up (a daemon asked to quit, a
# folder removed).
E2E_EXIT_FUNCTIONS=()
on_exit() { E2E_EXIT_FUNCTIONS+=("$1"); }

# Every wait in here is bounded: the suite's limit must not be spent on it.
# A harness that starts servers of its own (a screen, Wine) ends them in
# e2e_teardown, which runs last.
e2e_cleanup() {
  e2e_watchdog_stop
  local p hook f
  for f in "${E2E_EXIT_FUNCTIONS[@]}"; do "$f" || true; done
  E2E_EXIT_FUNCTIONS=()
  # Only programs of this run that have not been waited for yet: a pid that
  # was reaped may already belong to some other process.
  for p in $(jobs -p); do
    [ "$p" = "${XVFB_PID:-}" ] || kill "$p" 2>/dev/null || true
  done
  for hook in "${E2E_EXIT_HOOKS[@]}"; do
    eval "timeout -k 5 30 $hook" >/dev/null 2>&1 </dev/null || echo "e2e: at exit, '$hook' failed" >&2
  done
  E2E_EXIT_HOOKS=()
  if declare -F e2e_teardown >/dev/null; then e2e_teardown; fi
}

# e2e_end: summary line, exit status 1 when anything failed.
e2e_end() {
  e2e_watchdog_stop
  echo "== $E2E_NAME: $E2E_PASSED checks passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" -eq 0 ]
  exit $?
}

# alive PID: the process exists and is not a zombie.
alive() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# wait_exit PID SECONDS: true when PID ended within SECONDS; its exit code is
# left in EXIT_CODE (when it was our child).
wait_exit() {
  local pid="$1" limit="$2" t=0
  EXIT_CODE=""
  local steps=$((limit * 20))
  while alive "$pid"; do
    if [ "$t" -ge "$steps" ]; then
      [ "$limit" -gt 0 ] && [ -z "${WAIT_QUIET:-}" ] && log "process $pid still running after $limit s"
      return 1
    fi
    sleep 0.05
    t=$((t + 1))
  done
  wait "$pid" 2>/dev/null
  EXIT_CODE=$?
  return 0
}

# still_running PID SECONDS: true when PID is still there after SECONDS.
still_running() {
  ! WAIT_QUIET=1 wait_exit "$1" "$2"
}

# stop_pid PID: ends a process we started, if it still runs.
stop_pid() {
  if alive "$1"; then
    kill "$1" 2>/dev/null || true
    wait_exit "$1" 5 || kill -9 "$1" 2>/dev/null || true
  fi
  wait "$1" 2>/dev/null || true
}

# write_ini DIR key=value...: writes DIR/テセレーン.ini with section [Section]
# in code page 932, CRLF line ends (keys and values given in UTF-8).
write_ini() {
  local dir="$1"; shift
  local kv
  {
    printf '[Section]\r\n'
    for kv in "$@"; do printf '%s\r\n' "$kv"; done
  } | iconv -f UTF-8 -t CP932 >"$dir/$INI_NAME"
}

# value_of KEY: the value after KEY in "KEY VALUE" output on stdin (the last one).
value_of() { tr -d '\r' | awk -v k="$1" '{for (i = 1; i < NF; i++) if ($i == k) print $(i + 1)}' | tail -n 1; }
