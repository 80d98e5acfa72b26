# Shared harness of the end-to-end tests: a private Xvfb screen, one Wine
# prefix for the whole run, the saver started from a per-test folder (so the
# settings file next to it is per-test), input through xdotool, screenshots
# through ImageMagick, and PASS/FAIL counting.
#
# A test script sources this file, calls e2e_begin, runs its cases and ends
# with e2e_end (which exits 1 when a check failed).

E2E_LIB_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
REPO="$(cd "$E2E_LIB_DIR/.." && pwd)"
SCR="${TESS_SCR:-$REPO/build/windows/tessellane.scr}"
SETCURSOR_EXE="${TESS_SETCURSOR:-$REPO/build/windows/tools/setcursor.exe}"
E2E_WORK="${E2E_WORK:-$REPO/build/e2e}"
# One prefix for every e2e script of a run; created on first use.
export WINEPREFIX="${E2E_PREFIX:-$REPO/build/e2e-prefix}"
SCREEN_W=1024
SCREEN_H=768
INI_NAME="テセレーン.ini"

# shellcheck source=../scripts/wine-env.sh
. "$REPO/scripts/wine-env.sh"

E2E_PASSED=0
E2E_FAILED=0
SAVER_PID=""
# Scripts may list the programs they start here; cleanup ends every background
# job of the script that has not been waited for, listed or not.
E2E_STARTED_PIDS=()

log() { printf '  %s\n' "$*"; }

pass() { E2E_PASSED=$((E2E_PASSED + 1)); printf 'PASS: %s\n' "$*"; }
fail() { E2E_FAILED=$((E2E_FAILED + 1)); printf 'FAIL: %s\n' "$*"; }

# check DESCRIPTION COMMAND...: PASS when the command succeeds.
check() {
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1 (expected '$2', got '$3')"; fi
}

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
    kill "$E2E_WATCHDOG_PID" 2>/dev/null || true
    wait "$E2E_WATCHDOG_PID" 2>/dev/null || true
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

# --- Xvfb and Wine -----------------------------------------------------------

# e2e_begin NAME: screen, prefix, server, work folder build/e2e/NAME.
e2e_begin() {
  E2E_NAME="$1"
  E2E_TEST_WORK="$E2E_WORK/$E2E_NAME"
  rm -rf "$E2E_TEST_WORK"
  mkdir -p "$E2E_TEST_WORK"
  if [ ! -f "$SCR" ]; then
    echo "e2e: $SCR is missing; build the windows preset first" >&2
    exit 1
  fi
  if [ ! -f "$SETCURSOR_EXE" ]; then
    echo "e2e: $SETCURSOR_EXE is missing; build the windows preset first" >&2
    exit 1
  fi
  trap e2e_cleanup EXIT
  trap e2e_case_timed_out USR1
  # A new prefix takes up to half a minute to make, longer on a busy machine.
  e2e_case "setup" 300
  xvfb_start "${SCREEN_W}x${SCREEN_H}x24" || exit 1
  # The wineserver of the prefix must not outlive an earlier screen: its
  # desktop process would still talk to the old display.
  wine_prefix_stop
  wine_prefix_init || exit 1
  echo "== $E2E_NAME (DISPLAY=$DISPLAY, WINEPREFIX=$WINEPREFIX)"
}

e2e_cleanup() {
  e2e_watchdog_stop
  # Only programs of this run that have not been waited for yet: a pid that
  # was reaped may already belong to some other process.
  local p
  for p in $(jobs -p); do
    [ "$p" = "${XVFB_PID:-}" ] || kill "$p" 2>/dev/null || true
  done
  wine_prefix_stop
  xvfb_stop
}

# e2e_end: summary line, exit status 1 when anything failed.
e2e_end() {
  e2e_watchdog_stop
  echo "== $E2E_NAME: $E2E_PASSED checks passed, $E2E_FAILED failed"
  [ "$E2E_FAILED" -eq 0 ]
  exit $?
}

# --- Settings file and program -----------------------------------------------

# new_testdir NAME: a fresh folder with its own copy of the saver; prints it.
new_testdir() {
  local dir="$E2E_TEST_WORK/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$SCR" "$dir/tessellane.scr"
  printf '%s\n' "$dir"
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

# start_saver DIR ARGS...: starts DIR/tessellane.scr with ARGS (each switch a
# separate argument) in the background; its pid is left in SAVER_PID.
start_saver() {
  local dir="$1"; shift
  (cd "$dir" && exec "$WINE" "$dir/tessellane.scr" "$@") >>"$dir/saver.log" 2>&1 &
  SAVER_PID=$!
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

# ends_on_key KEY WHAT [SECONDS]: the key, sent to the window WIN, ends the
# saver SAVER_PID with exit code 0 within SECONDS (default 5).
ends_on_key() {
  xdotool key --window "$WIN" "$1" 2>/dev/null || xdotool key "$1"
  if wait_exit "$SAVER_PID" "${3:-5}"; then
    check_eq "$2: a key ends the saver with exit code 0" 0 "$EXIT_CODE"
  else
    fail "$2: a key ends the saver"
    stop_pid "$SAVER_PID"
  fi
}

# stop_pid PID: ends a process we started, if it still runs.
stop_pid() {
  if alive "$1"; then
    kill "$1" 2>/dev/null || true
    wait_exit "$1" 5 || kill -9 "$1" 2>/dev/null || true
  fi
  wait "$1" 2>/dev/null || true
}

# wait_window TITLE [SECONDS]: prints the X window id of the visible window
# with exactly this title; fails when none appears in time (default 20 s).
wait_window() {
  local title="$1" limit="${2:-20}"
  timeout "$limit" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1
  local rc="${PIPESTATUS[0]}"
  [ "$rc" -eq 0 ] || log "timed out after $limit s waiting for a window titled '$title'" >&2
  return "$rc"
}

# log_screen DIR: what was on screen when an expected window did not come:
# the names of the visible windows, the saver's output, and a screenshot
# DIR/screen.png for the logs.
log_screen() {
  local id
  log "visible windows:"
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    log "  $id '$(xdotool getwindowname "$id" 2>/dev/null)'"
  done
  [ -s "$1/saver.log" ] && sed 's/^/    saver: /' "$1/saver.log" | head -n 20
  screenshot "$1/screen.png" 2>/dev/null && log "screenshot: $1/screen.png"
}

# paste_text TEXT: puts TEXT (UTF-8) on the clipboard and pastes it into the
# focused edit box with Ctrl+V.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard -i
  sleep 0.2
  xdotool key ctrl+v
  sleep 0.3
}

# no_window NAME: true when no visible window's title matches NAME.
no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# window_count TITLE: number of visible windows with exactly this title.
window_count() {
  xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | wc -l
}

# place_cursor X Y: moves the cursor through Wine (SetCursorPos warps the X
# pointer too), so a window shown next sees its first mouse move at (X, Y).
place_cursor() {
  local out="${E2E_TEST_WORK:-/tmp}/setcursor.err"
  if ! "$WINE" "$SETCURSOR_EXE" "$1" "$2" >"$out" 2>&1; then
    log "$(tr -d "\r" <"$out" | tr "\n" " ")"
    return 1
  fi
  local loc
  loc=$(xdotool getmouselocation 2>/dev/null | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/p')
  [ "$loc" = "$1 $2" ]
}

# --- Pictures ------------------------------------------------------------------

screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# pixel FILE X Y: prints the colour as RRGGBB (upper-case hex).
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# screens_differ A B: true when two screenshots differ.
screens_differ() {
  ! cmp -s <(convert "$1" -depth 8 rgb:-) <(convert "$2" -depth 8 rgb:-)
}

# rings ARGS...: the picture analysis of e2e/rings.py.
rings() {
  python3 "$E2E_LIB_DIR/rings.py" "$@"
}

# winpath PATH: the Windows path of a file of this machine (Wine's drive Z: is /).
winpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }
