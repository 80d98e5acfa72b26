#!/usr/bin/env bash
# End-to-end tests of the preview (/p <handle>): a stand-in for the Display
# Properties dialog (tools/preview_host.exe) makes a preview area, starts the
# saver on it and reports the window tree; then it closes and reports whether
# the saver ended. Wine does not put a child window of another process on the
# screen, so the checks are on the window tree and the process, not on pixels.
# Also: both switch forms, a parent larger than 16 bits of twips, a missing
# parent, two previews at once, and the refusal while the display or the
# settings dialog is open. Reports the start time and peak memory.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

HOST_EXE="${TESS_PREVIEW_HOST:-$REPO/build/windows/tools/preview_host.exe}"
if [ ! -f "$HOST_EXE" ]; then
  echo "e2e: $HOST_EXE is missing; build the windows preset first" >&2
  exit 1
fi

e2e_begin preview

# host NAME ARGS...: runs the host against a fresh copy of the saver; its
# report goes to OUT (CRs removed).
host() {
  local name="$1"; shift
  DIR=$(new_testdir "$name")
  OUT="$DIR/host.txt"
  # Into a file, not a pipe: Wine's service processes started by the first
  # program inherit its output and would hold a pipe open.
  SAVER_LOG="$OUT.raw"
  WINEDEBUG=-all,err+all timeout 60 "$WINE" "$HOST_EXE" --scr "$(winpath "$DIR/tessellane.scr")" "$@" \
    >"$OUT.raw" 2>&1 </dev/null
  local rc=$?
  tr -d '\r' <"$OUT.raw" >"$OUT"
  grep -q '=' "$OUT" || log "$name: the host reported nothing (exit code $rc)"
  sed 's/^/    | /' "$OUT" >"$DIR/host.indented"
}

# val KEY: a value of the last host report.
val() { sed -n "s/^$1=//p" "$OUT" | head -n 1; }

# check_attached CASE SAVER WxH: the preview is a shown child of its area.
check_attached() {
  local c="$1" s="$2" size="$3"
  check_eq "$c: preview window attached" 1 "$(val "$s.attached")"
  check_eq "$c: it belongs to the saver's process" 1 "$(val "$s.preview_in_saver")"
  check_eq "$c: its title" "Preview Window" "$(val "$s.preview.title")"
  check_eq "$c: WS_CHILD set" 1 "$(val "$s.preview.child_style")"
  check_eq "$c: parent is the preview area" 1 "$(val "$s.preview.parent_ok")"
  check_eq "$c: shown" 1 "$(val "$s.preview.visible")"
  check_eq "$c: fills the area" "$size" "$(val "$s.preview.size")"
  check_eq "$c: at the area's top-left corner" "0,0" "$(val "$s.preview.pos")"
  check_eq "$c: one picture control" 1 "$(val "$s.pictures")"
  check_eq "$c: picture control as large as the area" "$size" "$(val "$s.picture0.size")"
  check_eq "$c: picture control shown" 1 "$(val "$s.picture0.visible")"
}

# check_ended CASE SAVER: the saver ended with the area, exit code 0.
check_ended() {
  check_eq "$1: saver ended within a second of the area's end" 1 "$(val "$2.ended_within_1s")"
  check_eq "$1: exit code 0" 0 "$(val "$2.exit_code")"
}

# --- (a) the preview area of the dialog, 152 x 112, /p <handle> -------------
e2e_case "(a) the preview area of the dialog, 152 x 112, /p <handle>"
host exact
check_attached "/p <handle>" saver0 152x112
check_ended "/p <handle>" saver0
[ "$E2E_FAILED" -eq 0 ] || cat "$DIR/host.indented"

# --- (b) /p:<handle> ----------------------------------------------------------
e2e_case "(b) /p:<handle>"
host colon --colon
check_attached "/p:<handle>" saver0 152x112
check_ended "/p:<handle>" saver0

# --- (c) a parent wider and taller than 32,767 twips -------------------------
e2e_case "(c) a parent wider and taller than 32,767 twips"
host wide --size 3000x2400
check_attached "3000x2400 parent" saver0 3000x2400
check_ended "3000x2400 parent" saver0

# --- (d) no parent: handle 0, a window that does not exist, not a number -----
e2e_case "(d) no parent: handle 0, a window that does not exist, not a number"
for h in 0 999999 abc; do
  host "missing-$h" --handle "$h" --keep --wait-ms 10000
  check_eq "/p $h: nothing attached" 0 "$(val saver0.attached)"
  check "/p $h: the saver ended by itself ($(val saver0.ended_without_preview_ms) ms)" \
    test -n "$(val saver0.ended_without_preview_ms)"
  check_eq "/p $h: exit code 0" 0 "$(val saver0.exit_code)"
done

# --- (e) two previews at once ---------------------------------------------------
e2e_case "(e) two previews at once"
host two --count 2
check_attached "two previews, first" saver0 152x112
check_attached "two previews, second" saver1 152x112
check_ended "two previews, first" saver0
check_ended "two previews, second" saver1

# --- (f) refused while the display or the settings dialog is open -------------
e2e_case "(f) refused while the display or the settings dialog is open"
refused() {
  local title="$1" switch="$2" name="$3"
  local sdir
  sdir=$(new_testdir "$name-running")
  write_ini "$sdir" '停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0'
  start_saver "$sdir" "$switch"
  if window_shows "$title" 20; then
    host "$name" --keep --wait-ms 10000
    check_eq "preview beside $name: nothing attached" 0 "$(val saver0.attached)"
    check "preview beside $name: ended at once ($(val saver0.ended_without_preview_ms) ms)" \
      test -n "$(val saver0.ended_without_preview_ms)"
  else
    fail "preview beside $name: the $switch window did not appear"
  fi
  stop_pid "$SAVER_PID"
}
refused "$MAIN" /s display
refused "$SETTINGS_TITLE" /c settings

# --- Start time and memory -----------------------------------------------------
e2e_case "Start time and memory"
# The saver's start to its attached, shown window, beside the host's own
# start to its shown window (both from process creation; five runs each).
PREVIEW_MS=()
HOST_MS=()
PEAK_KB=()
HOST_KB=()
for i in 1 2 3 4 5; do
  host "timing-$i"
  PREVIEW_MS+=("$(val saver0.preview_ms)")
  HOST_MS+=("$(val host_start_ms)")
  PEAK_KB+=("$(val saver0.peak_working_set_kb)")
  HOST_KB+=("$(val host.peak_working_set_kb)")
done
log "preview start (saver created -> attached and shown): median $(median "${PREVIEW_MS[@]}") ms, runs ${PREVIEW_MS[*]}"
log "host's own start (created -> its window shown):     median $(median "${HOST_MS[@]}") ms, runs ${HOST_MS[*]}"
log "saver peak working set: median $(median "${PEAK_KB[@]}") KB, runs ${PEAK_KB[*]}"
log "host peak working set:  median $(median "${HOST_KB[@]}") KB (a bare Win32 program under Wine)"
for i in 1 2 3; do
  host "timing-wide-$i" --size 3000x2400
  log "3000x2400 parent: start $(val saver0.preview_ms) ms, peak working set $(val saver0.peak_working_set_kb) KB"
done

e2e_end
