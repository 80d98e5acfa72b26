#!/usr/bin/env bash
# The Command button's faces drawn by the native Linux build agree with the
# Windows build's: the test host of four buttons (tools/button_host.cpp),
# built for both, is run in turn on one screen, the Windows build under Wine
# and the native one beside it, and each button is compared in four faces:
# normal, hover, pressed and disabled. The pixels compared are all but the
# caption's band (faces.py): the face pictures, their frame and the gradient
# are the program's own arithmetic and must agree to the bit; the caption is
# each system's text rasteriser. Screenshots stay in build/e2e/faces/.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=buttons.sh
. "$E2E_HARNESS_DIR/buttons.sh"

WIN_HOST="${TESS_BUTTON_HOST:-$REPO/build/windows/tools/button_host.exe}"
NATIVE_HOST="${TESS_NATIVE_BUTTON_HOST:-$REPO/build/linux/tools/button_host}"
BUTTONS=(Cmd_CAN Cmd_Set Cmd_Color Cmd_BGM)
# The frame's outer ring of the normal and pressed pictures
# (assets/make_button_faces.cpp).
NORMAL=686C94
PRESSED=303870
OFF_X=110
OFF_Y=110

e2e_begin faces
SHOTS="$E2E_TEST_WORK"
for p in "$WIN_HOST" "$NATIVE_HOST"; do
  [ -f "$p" ] || { fail "$p is missing; build the windows and linux presets first"; e2e_end; }
done

# start_host BUILD [OPTION]: the host of that build (windows or native), its
# log in BUILD.log; AT holds its buttons' places once it is ready.
start_host() {
  local build="$1" log="$SHOTS/$1.log"
  shift
  : >"$log"
  xdotool mousemove $OFF_X $OFF_Y
  SAVER_LOG="$SHOTS/$build.out"
  if [ "$build" = windows ]; then
    (cd "$SHOTS" && WINEDEBUG=-all,err+all exec "$WINE" "$WIN_HOST" "$log" "$@") >"$SAVER_LOG" 2>&1 &
  else
    "$NATIVE_HOST" "$log" "$@" >"$SAVER_LOG" 2>&1 &
  fi
  HOST_PID=$!
  E2E_STARTED_PIDS+=("$HOST_PID")
  HOST_LOG="$log"
  wait_until 30 "the host's Ready line in $log" grep -q '^Ready' "$log" 2>/dev/null || return 1
  read_button_places "$log"
}
stop_host() { stop_pid "$HOST_PID"; wait_until 10 "the host's window to go" no_window "Tessellane button host"; }

face_is() { [ "$(face_in "$1" "$2")" = "$3" ]; }
all_faces_are() { local b; for b in "${BUTTONS[@]}"; do face_is "$1" "$b" "$2" || return 1; done; }
# A face that differs from the normal one and holds still for 0.3 s.
changed_and_still() {
  face_is "$1" "$2" "$NORMAL" && return 1
  sleep 0.3
  screenshot "$1.again.png" && ! screens_differ "$1" "$1.again.png"
}
saw_state() { tr -d '\r' <"$HOST_LOG" | grep -q "^State $1 $2\$"; }

# faces BUILD: screenshots BUILD-normal, -hover, -pressed (Cmd_Set under
# the cursor), and -disabled (a second start with --disabled).
faces() {
  local b="$1"
  start_host "$b" || { fail "$b: the host starts"; return 1; }
  shot_until 10 "$SHOTS/$b-normal.png" all_faces_are "$NORMAL" ||
    fail "$b: the four buttons show the normal face"
  # shellcheck disable=SC2046
  xdotool mousemove $(centre Cmd_Set)
  wait_until 5 "$b: Cmd_Set hovers (state 2)" saw_state Cmd_Set 2 || fail "$b: Cmd_Set hovers"
  shot_until 5 "$SHOTS/$b-hover.png" changed_and_still Cmd_Set || fail "$b: the hover face shows"
  xdotool mousedown 1
  shot_until 5 "$SHOTS/$b-pressed.png" face_is Cmd_Set "$PRESSED" || fail "$b: the pressed face shows"
  xdotool mouseup 1
  stop_host
  start_host "$b" --disabled || { fail "$b: the host starts with its buttons off"; return 1; }
  shot_until 10 "$SHOTS/$b-disabled.png" changed_and_still Cmd_CAN || fail "$b: the disabled faces show"
  stop_host
}

e2e_case "the Windows build's faces" 120
faces windows
e2e_case "the native build's faces" 120
faces native

e2e_case "the two builds' faces agree outside the captions" 60
for face in normal hover pressed disabled; do
  for b in "${BUTTONS[@]}"; do
    # shellcheck disable=SC2086
    result=$(python3 "$E2E_HARNESS_DIR/faces.py" "$SHOTS/windows-$face.png" "$SHOTS/native-$face.png" ${AT[$b]})
    check "$face $b: $result" grep -q '^differ 0 ' <<<"$result"
  done
done

e2e_end
