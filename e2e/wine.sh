# The Windows build under Wine for the end-to-end tests: one Wine prefix for
# the whole run on a private Xvfb screen, the saver started from a per-test
# folder (so the settings file next to it is per-test), the cursor placed
# through Wine, keys sent to its windows. Sourced after e2e/harness.sh and
# e2e/screen.sh.

SCR="${TESS_SCR:-$REPO/build/windows/tessellane.scr}"
SETCURSOR_EXE="${TESS_SETCURSOR:-$REPO/build/windows/tools/setcursor.exe}"
# One prefix for every e2e script of a run; created on first use.
export WINEPREFIX="${E2E_PREFIX:-$REPO/build/e2e-prefix}"
SCREEN_W=1024
SCREEN_H=768

# shellcheck source=../scripts/wine-env.sh
. "$REPO/scripts/wine-env.sh"

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
  e2e_work "$1"
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

# The exit trap's last step: the prefix's server and the screen end.
e2e_teardown() { wine_session_stop; }

# new_testdir NAME: a fresh folder with its own copy of the saver; prints it.
new_testdir() {
  local dir="$E2E_TEST_WORK/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$SCR" "$dir/tessellane.scr"
  printf '%s\n' "$dir"
}

# start_saver DIR ARGS...: starts DIR/tessellane.scr with ARGS (each switch a
# separate argument) in the background; its pid is left in SAVER_PID.
# Its output, with Wine's error channel, goes to SAVER_LOG (DIR/saver.log).
start_saver() {
  local dir="$1"; shift
  SAVER_LOG="$dir/saver.log" SAVER_LOG_HOLDS="WINEDEBUG=err+all"
  (cd "$dir" && WINEDEBUG=-all,err+all exec "$WINE" "$dir/tessellane.scr" "$@") >>"$SAVER_LOG" 2>&1 &
  SAVER_PID=$!
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

# winpath PATH: the Windows path of a file of this machine (Wine's drive Z: is /).
winpath() { printf 'Z:%s\n' "$1" | tr / '\\'; }
