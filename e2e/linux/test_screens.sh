#!/usr/bin/env bash
# End-to-end tests of the native display on the screens and windows around
# the common one: 16- and 30-bit screens (and a 16-bit one whose rows are
# padded, with shared images and without), a host's 32-bit ARGB window on a
# 24-bit screen, an 8-bit colour-mapped screen it refuses with its reason, a
# program whose shared images the server cannot attach (another IPC
# namespace, as over a remote link), and a host window resized while a
# finished net is held.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_native
linux_begin screens

RED=FF0000
RED_INI=('停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0')
HOST_TOOL="$LINUX_BUILD/tools/host_window"

# host_window DEPTH WxH: a host's window of that depth (tools/host_window);
# HOST_PID and HOST, its id.
host_window() {
  : >"$E2E_TEST_WORK/host.log"
  "$HOST_TOOL" "$1" "$2" >>"$E2E_TEST_WORK/host.log" 2>&1 &
  HOST_PID=$!
  wait_until 10 "the host window's id" host_id_known
}
host_id_known() {
  HOST=$(grep -m1 '^0x' "$E2E_TEST_WORK/host.log")
  [ -n "$HOST" ]
}
end_host() {
  kill "$HOST_PID" 2>/dev/null
  wait "$HOST_PID" 2>/dev/null
}
end_native() {
  alive "$NATIVE_PID" && stop_native KILL 2 >/dev/null
  NATIVE_PID=""
}
# shot_of_host FILE: the host window's picture.
host_shot() { window_shot "$HOST" "$1"; }
# host_has_rings FILE: the host's picture shows rings on red.
host_has_rings() { host_shot "$1" && rings_shown "$1" "$RED" 200; }

# --- the screen's own depth -------------------------------------------------------
# depth_case DEPTH WxH [XVFB_ARGS...]: /s on a screen of that depth (and
# with the server's further arguments) draws the finished cycle's net
# exactly, its background full red.
depth_case() {
  local depth="$1" size="$2" shot result rc
  shift 2
  local what="depth $depth $size${*:+ ($*)}"
  SCREEN_DEPTH="$depth" start_xvfb "$size" "$@" || return 1
  write_settings "${RED_INI[@]}"
  start_native /s
  WIN=$(wait_window Tessellane_Main 10)
  check "$what: /s shows its window" test -n "$WIN"
  shot="$E2E_TEST_WORK/${what//[^A-Za-z0-9]/_}.png"
  if [ -n "$WIN" ] && check "$what: the picture settles" settled_screenshot "$shot"; then
    # Full red, not the quarter a 10-bit field gets from an unscaled byte.
    check "$what: the background is full red" is_colour "$shot" 5 5 "$RED"
    result=$(rings cycle "$shot" "$RED" "${size%x*}" "${size#*x}"); rc=$?
    log "$result"
    check "$what: one complete cycle of one-pixel rings" test "$rc" -eq 0
  fi
  end_native
  xvfb_stop
}
e2e_case "a 16-bit screen" 90
depth_case 16 640x480
e2e_case "a 16-bit screen whose rows are padded" 90
depth_case 16 641x480
e2e_case "a 30-bit screen" 90
depth_case 30 640x480
# Without shared images the display makes its own, of 16-bit pixels here.
e2e_case "a 16-bit screen without MIT-SHM, rows padded" 90
depth_case 16 641x480 -extension MIT-SHM

e2e_case "an 8-bit colour-mapped screen is refused with its reason" 30
SCREEN_DEPTH=8 start_xvfb 640x480
write_settings "${RED_INI[@]}"
start_native /s
check "it ends at once" wait_exit "$NATIVE_PID" 5
check_eq "its exit code" 1 "${EXIT_CODE:-}"
check "its message names the screen's kind" grep -q 'PseudoColor' "$SAVER_LOG"
check "its message says what it needs" grep -q 'TrueColor' "$SAVER_LOG"
NATIVE_PID=""
xvfb_stop

# --- a host's window -------------------------------------------------------------
start_xvfb 640x480
e2e_case "a host's 32-bit ARGB window on a 24-bit screen" 60
write_settings "${RED_INI[@]}"
host_window 32 320x240
check "the host's window is 32 bits deep" bash -c "xwininfo -id $HOST | grep -q 'Depth: 32'"
start_native -window-id "$HOST"
check "rings in the host's window" wait_until 10 "rings in the host's window" host_has_rings "$E2E_TEST_WORK/argb.png"
check_eq "the background is red" "$RED" "$(main_colour "$E2E_TEST_WORK/argb.png")"
check "no X error" bash -c "! grep -q 'BadMatch' '$SAVER_LOG'"
check "it keeps running" alive "$NATIVE_PID"
end_native
end_host

e2e_case "a host window resized while the net is held" 60
# Only its height changes; the stop time would hold the old net 30 s.
host_window 24 320x240
start_native -window-id "$HOST"
check "rings in the host's window" wait_until 10 "rings in the host's window" host_has_rings "$E2E_TEST_WORK/hold.png"
check "the first net is held" settled_screenshot "$E2E_TEST_WORK/held.png" 10
xdotool windowsize "$HOST" 320 300
# New rings in the rows the window gained, long before the hold would end.
new_rows_have_rings() {
  host_shot "$1" && [ "$(convert "$1" -format '%h' info:)" -eq 300 ] &&
    [ "$(other_pixels "$1" "$RED" 320x60+0+240)" -gt 50 ]
}
check "a new net at the new size within 5 s" wait_until 5 "rings in the new rows" new_rows_have_rings "$E2E_TEST_WORK/resized.png"
end_native
end_host

# --- no shared images -------------------------------------------------------------
e2e_case "a server that cannot attach the shared images" 60
# In another IPC namespace the server cannot see the program's segments, as
# over a remote link: the attach fails and the display sends plain images.
PROGRAM="$E2E_TEST_WORK/other-ipc.sh"
cat >"$PROGRAM" <<END
#!/bin/sh
# A user namespace lets an ordinary account have an IPC namespace too.
if [ "\$(id -u)" -eq 0 ]; then exec unshare --ipc "$NATIVE" "\$@"; fi
exec unshare --user --map-root-user --ipc "$NATIVE" "\$@"
END
chmod +x "$PROGRAM"
start_native /s
unset PROGRAM
check "rings on the screen" shot_until 10 "$E2E_TEST_WORK/noshm.png" rings_shown "$RED"
check "it keeps running" alive "$NATIVE_PID"
end_native
xvfb_stop

e2e_end
