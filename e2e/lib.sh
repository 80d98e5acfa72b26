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
# Window titles: the display (/s) and the settings window (/c).
MAIN=Tessellane_Main
SETTINGS_TITLE='テセレーンの設定'

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
# written with Wine's error channel unless SAVER_LOG_HOLDS says otherwise) in
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
    cp "$SAVER_LOG" "$dir/$n-saver.log" && out+=("saver log (${SAVER_LOG_HOLDS:-WINEDEBUG=err+all}) $dir/$n-saver.log")
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

# --- Xvfb and Wine -----------------------------------------------------------

# e2e_begin_offline NAME: the work folder build/e2e/NAME, the exit trap and
# the time limits, for a test that needs no screen and no Wine.
e2e_begin_offline() {
  E2E_NAME="$1"
  E2E_TEST_WORK="$E2E_WORK/$E2E_NAME"
  rm -rf "$E2E_TEST_WORK"
  mkdir -p "$E2E_TEST_WORK"
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

# prefix_reg_add KEY VALUE TYPE DATA: sets a value of the shared prefix's
# registry; the exit trap deletes it again.
prefix_reg_add() {
  e2e_at_exit bash -c '"$0" reg query "$1" /v "$2" >/dev/null 2>&1 || exit 0; "$0" reg delete "$1" /v "$2" /f' \
    "$WINE" "$1" "$2"
  timeout 60 "$WINE" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}
# prefix_reg_delete KEY VALUE: deletes it now (bounded).
prefix_reg_delete() { timeout 60 "$WINE" reg delete "$1" /v "$2" /f >/dev/null 2>&1; }

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
  e2e_traps
  # A new prefix takes up to half a minute to make, longer on a busy machine.
  e2e_case "setup" 300
  wine_session_start "${SCREEN_W}x${SCREEN_H}x24" || exit 1
  echo "== $E2E_NAME (DISPLAY=$DISPLAY, WINEPREFIX=$WINEPREFIX)"
}

# Every wait in here is bounded: the suite's limit must not be spent on it.
e2e_cleanup() {
  e2e_watchdog_stop
  # Only programs of this run that have not been waited for yet: a pid that
  # was reaped may already belong to some other process.
  local p hook
  for p in $(jobs -p); do
    [ "$p" = "${XVFB_PID:-}" ] || kill "$p" 2>/dev/null || true
  done
  for hook in "${E2E_EXIT_HOOKS[@]}"; do
    eval "timeout -k 5 30 $hook" >/dev/null 2>&1 </dev/null || echo "e2e: at exit, '$hook' failed" >&2
  done
  E2E_EXIT_HOOKS=()
  wine_session_stop
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
# Its output, with Wine's error channel, goes to SAVER_LOG (DIR/saver.log).
start_saver() {
  local dir="$1"; shift
  SAVER_LOG="$dir/saver.log"
  (cd "$dir" && WINEDEBUG=-all,err+all exec "$WINE" "$dir/tessellane.scr" "$@") >>"$SAVER_LOG" 2>&1 &
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

# send_key KEY...: the keys to the window WIN, or to the focus when there is
# no such window.
send_key() {
  if [ -n "${WIN:-}" ]; then xdotool key --window "$WIN" "$@" 2>/dev/null && return; fi
  xdotool key "$@"
}

# stop_with_key KEY [SECONDS]: ends the saver SAVER_PID with a key (send_key);
# what still runs after SECONDS (default 5) is ended by force.
stop_with_key() {
  send_key "$1"
  wait_exit "$SAVER_PID" "${2:-5}" || stop_pid "$SAVER_PID"
}

# ends_on_key KEY WHAT [SECONDS]: the key, sent to the window WIN, ends the
# saver SAVER_PID with exit code 0 within SECONDS (default 5).
ends_on_key() {
  send_key "$1"
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
# xdotool's search gives up at once when a window goes away while it looks
# (another program's closing): it is asked again until the time is up.
wait_window() {
  local title="$1" limit="${2:-20}" end id left
  end=$((SECONDS + limit))
  while :; do
    left=$((end - SECONDS))
    [ "$left" -ge 1 ] || left=1
    id=$(timeout "$left" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      printf '%s\n' "$id"
      return 0
    fi
    [ "$SECONDS" -lt "$end" ] || break
    sleep 0.1
  done
  log "timed out after $limit s waiting for a window titled '$title'" >&2
  return 1
}

# window_shows TITLE [SECONDS]: a window with exactly this title shows (wait_window).
window_shows() { wait_window "$@" >/dev/null; }

# await_window DIR TITLE [SECONDS]: waits for the saver's window (wait_window);
# its id is left in WIN, "" when it did not come (then log_screen DIR).
await_window() {
  WIN=$(wait_window "$2" "${3:-20}") && return 0
  WIN=""
  log_screen "$1"
  return 1
}

# start_display NAME [SWITCH...] -- [SETTINGS...]: the saver in a fresh folder
# (new_testdir NAME, left in DIR) with those settings lines, the cursor placed
# at CURSOR_AT ("X Y", default "500 400"), started with the switches; waits
# DISPLAY_WAIT seconds (default 60: a bound, not an expectation) for the
# display window (WIN).
start_display() {
  local name="$1" args=() t0=$SECONDS
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  DIR=$(new_testdir "$name")
  write_ini "$DIR" "$@"
  # shellcheck disable=SC2086 # "X Y"
  place_cursor ${CURSOR_AT:-500 400} || log "could not place the cursor"
  start_saver "$DIR" "${args[@]}"
  await_window "$DIR" "$MAIN" "${DISPLAY_WAIT:-60}" || return 1
  [ $((SECONDS - t0)) -gt 5 ] && log "$name: the display window took $((SECONDS - t0)) s"
  return 0
}

# window_seen PID TITLE SECONDS: prints 1 when a window with exactly this
# title showed while PID ran (looked for every 0.1 s, for at most SECONDS), else 0.
window_seen() {
  local pid="$1" title="$2" steps=$(($3 * 10)) seen=0 _
  for _ in $(seq 1 "$steps"); do
    alive "$pid" || break
    [ "$(window_count "$title")" -gt 0 ] && seen=1
    sleep 0.1
  done
  echo "$seen"
}

# find_window NAME: the X id of a visible window whose title matches NAME
# (a regular expression), within 10 s; nothing when none came.
find_window() {
  local id end=$((SECONDS + 10))
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { printf '%s\n' "$id"; return 0; }
    sleep 0.1
  done
}
# gone_within SECONDS NAME: true once no visible window matches NAME.
gone_within() {
  wait_until "$1" "no visible window named '$2'" no_window "$2"
}

# window_pos WIN / window_size WIN: "X Y" of its top-left corner, "W H" of its size.
window_pos() {
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${X:-} ${Y:-}"
}
window_size() {
  local X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${WIDTH:-} ${HEIGHT:-}"
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

# paste_text TEXT: puts TEXT (UTF-8) on the clipboard and, once the clipboard
# gives it back, pastes it into the focused edit box with Ctrl+V.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard -i
  wait_until 10 "the clipboard to hold the text" clipboard_holds "$1" || return 1
  xdotool key ctrl+v
}
clipboard_holds() { [ "$(timeout 2 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }

# focus_window WIN: gives WIN the keyboard focus and waits until it has it.
focus_window() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
  wait_until 5 "the focus on window $1" has_focus "$1"
}
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# seconds_since WALL_TIME: how long ago that moment of now's clock was (0.01 s).
seconds_since() { awk -v t="$1" -v n="$(now)" 'BEGIN{printf "%.2f", n - t}'; }

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

# settled_screenshot FILE [SECONDS]: waits until two screenshots a second apart
# agree (a picture holding still) and keeps the last in FILE; at most SECONDS
# (default 30).
settled_screenshot() {
  local i prev="$1.prev.png" limit="${2:-30}"
  screenshot "$prev"
  for i in $(seq 1 "$limit"); do
    sleep 1
    screenshot "$1"
    if ! screens_differ "$prev" "$1"; then
      rm -f "$prev"
      return 0
    fi
    mv "$1" "$prev"
  done
  mv "$prev" "$1"
  log "timed out after $limit s waiting for two equal screenshots a second apart"
  return 1
}

# shot_until SECONDS FILE TEST [ARGS...]: takes screenshots into FILE until
# "TEST FILE ARGS..." succeeds; after SECONDS it fails with the last one in
# FILE and TEST's own words about it.
shot_until() {
  local limit="$1" file="$2" end
  shift 2
  end=$((SECONDS + limit))
  while :; do
    screenshot "$file" && "$1" "$file" "${@:2}" >/dev/null 2>&1 && return 0
    if [ "$SECONDS" -ge "$end" ]; then
      log "timed out after $limit s waiting for $* in a screenshot"
      "$1" "$file" "${@:2}"
      return 1
    fi
    sleep 0.1
  done
}

# pixel FILE X Y: prints the colour as RRGGBB (upper-case hex).
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# channel FILE X Y r|g|b: one colour channel of a pixel (0-255).
channel() {
  local c
  c=$(pixel "$1" "$2" "$3")
  case "$4" in
    r) echo $((16#${c:0:2})) ;;
    g) echo $((16#${c:2:2})) ;;
    b) echo $((16#${c:4:2})) ;;
  esac
}

# is_colour FILE X Y RRGGBB: the pixel has exactly this colour; logs the one
# it has otherwise.
is_colour() {
  local c
  c=$(pixel "$1" "$2" "$3")
  [ "$c" = "$4" ] && return 0
  log "pixel ($2, $3) of $(basename "$1") is ${c:-unreadable}, not $4"
  return 1
}

# other_pixels FILE RRGGBB [WxH+X+Y]: how many pixels of the picture (or of
# that area) are neither this colour nor black, the screen before anything is
# drawn on it.
other_pixels() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" -fill black -opaque "#$2" -fill white +opaque black \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# area_mean FILE WxH+X+Y: the mean brightness of an area, 0 (black) to 1.
area_mean() { convert "$1" -crop "$2" -format '%[fx:mean]' info:; }

# The settings window's light-ray picture, 320 x 240 inside the window whose
# top-left corner is WX, WY.
rays_area() { echo "320x240+$((WX + 22))+$((WY + 42))"; }
# rays_brightness FILE: the picture's mean brightness in a screenshot.
rays_brightness() { area_mean "$1" "$(rays_area)"; }
# rays_above FILE MIN: the picture is brighter than MIN.
rays_above() {
  local v
  v=$(rays_brightness "$1")
  above "$v" "$2" && return 0
  log "the rays' mean brightness is $v, not above $2"
  return 1
}
# rays_share FILE RRGGBB: the share of the picture's pixels in that colour,
# times its brightness (0 when none is).
rays_share() { convert "$1" -crop "$(rays_area)" +repage -fill black +opaque "#$2" -format '%[fx:mean]' info:; }

# screen_hash FILE: a digest of the picture's pixels.
screen_hash() { convert "$1" -depth 8 rgb:- | md5sum; }

# screens_differ A B: true when two screenshots differ.
screens_differ() {
  ! cmp -s <(convert "$1" -depth 8 rgb:-) <(convert "$2" -depth 8 rgb:-)
}
screens_equal() { ! screens_differ "$1" "$2"; }

# areas_equal A B WxH+X+Y: the same area of two screenshots holds the same pixels.
areas_equal() {
  cmp -s <(convert "$1" -crop "$3" +repage -depth 8 rgb:-) <(convert "$2" -crop "$3" +repage -depth 8 rgb:-)
}
areas_differ() { ! areas_equal "$@"; }

# cpu_ticks PID: user and system time of the process so far, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
# cpu_percent TICKS0 TICKS1 T0: the processor time between two cpu_ticks
# readings, the first taken at the wall-clock moment T0, in per cent of one core.
cpu_percent() {
  awk -v a="$1" -v b="$2" -v hz="$(getconf CLK_TCK)" -v s="$(seconds_since "$3")" 'BEGIN{printf "%.1f", (b - a) / hz / s * 100}'
}

# main_colour FILE: the most frequent colour, RRGGBB (upper-case hex).
main_colour() {
  convert "$1" -depth 8 -format '%c' histogram:info:- |
    sort -rn | head -n 1 | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr a-f A-F
}

# --- The animations' pace -----------------------------------------------------------

# cycle_timing BG [SECONDS]: for a display with a stop time of 0 on a fixed
# BG background (RRGGBB): screenshots one after another, from the first that
# shows the background (the window and its first cycle) until the next cycle
# clears the picture (its ring pixels drop to under half), for at most SECONDS
# (default 20). Call it as soon as the program is started: a cycle takes a
# second. CYCLE_SECONDS is the time between those two shots, SHOT_GAP the
# longest time between two shots (what the measure may be off by at either end).
cycle_timing() {
  local bg="$1" end=$((SECONDS + ${2:-20})) shot="$E2E_TEST_WORK/timing.png" t first="" prev="" rings last=0
  CYCLE_SECONDS="" SHOT_GAP=0
  while [ "$SECONDS" -lt "$end" ]; do
    t=$(now)
    screenshot "$shot" || continue
    [ -n "$prev" ] && SHOT_GAP=$(awk -v g="$SHOT_GAP" -v a="$prev" -v b="$t" 'BEGIN{d = b - a; printf "%.3f", (d > g ? d : g)}')
    prev=$t
    # One-pixel rings never cover a whole corner: the background shows there.
    if [ -z "$first" ]; then
      [ "$(other_pixels "$shot" "$bg" 64x64+0+0)" -lt 4096 ] || continue
      first=$t
    fi
    rings=$(other_pixels "$shot" "$bg")
    if [ $((rings * 2)) -lt "$last" ]; then
      CYCLE_SECONDS=$(awk -v a="$first" -v b="$t" 'BEGIN{printf "%.3f", b - a}')
      return 0
    fi
    last=$rings
  done
  log "timed out after ${2:-20} s waiting for the next cycle to clear the picture"
  return 1
}

# cycles_within SECONDS: screenshots one after another for SECONDS. NEW_CYCLES
# is how often the most frequent colour (the random background a new cycle
# brings) changed from one shot to the next, SHOT_RATE the shots a second.
cycles_within() {
  local shot="$E2E_TEST_WORK/cycles.png" t0 colour previous="" shots=0
  NEW_CYCLES=0
  t0=$(now)
  while below "$(seconds_since "$t0")" "$1"; do
    screenshot "$shot" || continue
    shots=$((shots + 1))
    colour=$(main_colour "$shot")
    [ -n "$previous" ] && [ "$colour" != "$previous" ] && NEW_CYCLES=$((NEW_CYCLES + 1))
    previous=$colour
  done
  SHOT_RATE=$(awk -v n="$shots" -v s="$(seconds_since "$t0")" 'BEGIN{printf "%.1f", n / s}')
}

# check_no_strobe: watches a display with a stop time of 0 and random
# backgrounds for 6 s (cycles_within) and checks that new cycles come, but at
# most three a second, and that the shots came fast enough to tell.
check_no_strobe() {
  cycles_within 6
  figure new_cycles "$NEW_CYCLES"
  figure shots_per_second "$SHOT_RATE"
  check "the screenshots come faster than 3 a second ($SHOT_RATE)" above "$SHOT_RATE" 3
  check "at most 3 new cycles a second ($NEW_CYCLES in 6 s)" at_most "$NEW_CYCLES" 18
  check "new cycles still come ($NEW_CYCLES in 6 s)" at_least "$NEW_CYCLES" 2
}

# rays_not_flat FILE: the light-ray picture is no flat square: under half of
# it at the brightest step, RGB(255, 255, 128), and many colours in it.
rays_not_flat() {
  local brightest colours
  brightest=$(convert "$1" -crop "$(rays_area)" +repage -fill black +opaque '#FFFF80' -fill white -opaque '#FFFF80' \
    -format '%[fx:mean]' info:)
  colours=$(convert "$1" -crop "$(rays_area)" +repage -format '%k' info:)
  log "the rays' picture: $colours colours, a share of $brightest at the brightest step"
  below "$brightest" 0.5 && [ "$colours" -gt 16 ]
}

# rings ARGS...: the picture analysis of e2e/rings.py.
rings() {
  python3 "$E2E_LIB_DIR/rings.py" "$@"
}

# winpath PATH: the Windows path of a file of this machine (Wine's drive Z: is /).
winpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }
