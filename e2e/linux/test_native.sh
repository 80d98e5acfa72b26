#!/usr/bin/env bash
# End-to-end tests of the native Linux program under Xvfb: the ring picture
# of a finished cycle at 1024x768 and 640x480, the second a cycle takes to
# draw, no strobe with a stop time of 0, the ending rules (also with the
# focus on another window), the second-start guard, two monitors, the
# preview in a window made by the test, drawing into a host's window
# (-window-id, -root with and without $XSCREENSAVER_WINDOW), following its
# size, drawing it again once shown again and leaving it when ending (the
# display never destroys it), SIGTERM and the host's window going away, a
# window of its own (-window), bad arguments, SIGTERM right after the start
# and while a sound server never answers, and a server without MIT-SHM.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
need_native
linux_begin native

RED=FF0000
RED_INI=('停止時間=30' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0')
QUICK_INI=('停止時間=0' '背景色=0' '背景色ﾗﾝﾀﾞﾑ=0')

# segments_of PID: the shared-memory segments that process made and that are still there.
segments_of() { ipcs -m -p | awk -v pid="$1" '$3 == pid' | wc -l; }
# geometry WIN: "X Y W H" of a window on the screen.
geometry() { timeout 5 xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'; }
# shot_has_colours WIN FILE [CROP]: the window's picture (or a part) holds more than two colours.
shot_has_colours() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  timeout 10 import -window "$1" "${crop[@]}" "$2" 2>/dev/null && [ "$(colour_count "$2")" -gt "${4:-2}" ]
}
# shot_has_rings FILE RRGGBB: a screenshot of the root shows rings on that background.
shot_has_rings() { screenshot "$1" && rings_shown "$1" "$2"; }

# host_window WxH+X+Y: a plain window of another program (xev) made for the
# test; HOST_PID and HOST (its window id).
# The log is emptied here, not by the background job's redirection: that
# may come after the first look at the log, which then reads the previous
# host's id.
host_window() {
  : >"$E2E_TEST_WORK/xev.log"
  xev -geometry "$1" -name tess-host >>"$E2E_TEST_WORK/xev.log" 2>&1 &
  HOST_PID=$!
  HOST=""
  wait_until 10 "the host window's id" host_id_known || return 1
  wait_until 10 "the host window to show" xwininfo_viewable "$HOST"
}
host_id_known() {
  HOST=$(sed -n 's/.*Outer window is \(0x[0-9a-f][0-9a-f]*\),.*/\1/p' "$E2E_TEST_WORK/xev.log" | head -n 1)
  [ -n "$HOST" ]
}
xwininfo_viewable() { timeout 5 xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
end_host() {
  if [ -n "${HOST_PID:-}" ] && kill "$HOST_PID" 2>/dev/null && ! wait_exit "$HOST_PID" 5; then
    kill -9 "$HOST_PID" 2>/dev/null
  fi
  HOST_PID=""
}

# start_own SIZE ARGS...: the display in its own window, its id in WIN.
start_own() {
  start_native "$@"
  WIN=$(wait_window Tessellane_Main 10)
}

end_native() {
  alive "$NATIVE_PID" && stop_native KILL 2 >/dev/null
  NATIVE_PID=""
}

# --- the picture of a finished cycle ------------------------------------------------
cycle_picture() {
  local size="$1"
  start_xvfb "$size" || return 1
  write_settings "${RED_INI[@]}"
  start_own /s
  check "$size: /s shows the window Tessellane_Main" test -n "$WIN"
  if [ -n "$WIN" ]; then
    check_eq "$size: the window covers the screen" "0 0 ${size/x/ }" "$(geometry "$WIN")"
    local shot="$E2E_TEST_WORK/cycle-$size.png" result rc
    check "$size: the picture settles at the end of the first cycle" settled_screenshot "$shot"
    result=$(rings cycle "$shot" "$RED" "${size%x*}" "${size#*x}"); rc=$?
    log "$result"
    check "$size: one complete cycle of one-pixel rings along the bouncing diagonal" test "$rc" -eq 0
    # The 30 s hold answers input: a key ends it long before the hold would.
    xdotool key a
    check "$size: a key during the hold ends the display within 5 s" wait_exit "$NATIVE_PID" 5
  fi
  end_native
  xvfb_stop
}
e2e_case "ring picture at 1024x768" 120
cycle_picture 1024x768
e2e_case "ring picture at 640x480" 120
cycle_picture 640x480

start_xvfb 640x480
e2e_case "a 640x480 cycle takes its second"
write_settings '停止時間=0' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
start_native /s
# Timed from the start: the window shows and its first cycle begins at once.
check "the next cycle comes" cycle_timing "$RED"
figure cycle_seconds "$CYCLE_SECONDS"
figure shot_gap "$SHOT_GAP"
check "the cycle is drawn at its pace (${CYCLE_SECONDS:-?} s, shots ${SHOT_GAP} s apart)" \
  between "${CYCLE_SECONDS:-0}" 0.8 8
end_native

e2e_case "stop time 0: no strobe"
write_settings '停止時間=0' '背景色ﾗﾝﾀﾞﾑ=1'
start_own /s
check "/s shows (stop time 0)" test -n "$WIN"
check_no_strobe
end_native
xvfb_stop

start_xvfb 1024x768

# --- the ending rules -----------------------------------------------------------------
e2e_case "/s: mouse, keys and clicks"
write_settings "${QUICK_INI[@]}"
xdotool mousemove 500 400
start_own /s
check "/s shown" test -n "$WIN"
xdotool mousemove 520 400
check "the first move only records where the mouse is" still_running "$NATIVE_PID" 1
xdotool mousemove 700 400
check "a horizontal move does not end the display" still_running "$NATIVE_PID" 1
xdotool mousemove 520 650
check "a vertical move does not end the display" still_running "$NATIVE_PID" 1
xdotool mousemove 600 500
check "a diagonal move ends it with exit code 0" wait_exit "$NATIVE_PID" 5
check_eq "exit code after the diagonal move" 0 "$EXIT_CODE"
check "the window is gone" wait_until 5 "the window to go" no_window Tessellane_Main

start_own /s
xdotool key a
check "a key ends /s" wait_exit "$NATIVE_PID" 5
# The keyboard is the display's even while another program had the focus
# (a desktop that gives the focus by click keeps it there).
host_window 300x200+10+10
check "the test's window has the focus" focus_window "$((HOST))"
start_own /s
check "/s takes the focus from the window that had it" wait_until 5 "the focus on the display" has_focus "${WIN:-0}"
xdotool key a
check "a key ends /s although another window had the focus" wait_exit "$NATIVE_PID" 5
end_native
end_host
start_own /s
xdotool click 1
check "a click ends /s" wait_exit "$NATIVE_PID" 5

e2e_case "no switch: only keys and clicks end it"
start_own
check "the display shows without a switch" test -n "$WIN"
xdotool mousemove 100 100
sleep 0.2
xdotool mousemove 300 300
check "moving the mouse does not end it" still_running "$NATIVE_PID" 1
xdotool key Return
check "a key ends it" wait_exit "$NATIVE_PID" 5

e2e_case "CD music: the arrow keys step tracks, other keys end"
write_settings "${QUICK_INI[@]}" 'BGM区分=1'
start_own /s
xdotool key Left Right
check "the arrow keys do not end the display" still_running "$NATIVE_PID" 1
xdotool key space
check "another key ends it" wait_exit "$NATIVE_PID" 5
write_settings "${QUICK_INI[@]}"

e2e_case "a named pipe in the settings file's place does not hold the start"
rm -f "$XDG_CONFIG_HOME/tessellane/$INI_NAME"
mkfifo "$XDG_CONFIG_HOME/tessellane/$INI_NAME"
start_own /s
check "the display shows with the defaults" test -n "$WIN"
end_native
rm -f "$XDG_CONFIG_HOME/tessellane/$INI_NAME"
write_settings "${QUICK_INI[@]}"

# --- one copy at a time ------------------------------------------------------------------
e2e_case "a second copy refuses to start while the display shows"
start_own /s
first=$NATIVE_PID
"$NATIVE" /s >>"$E2E_TEST_WORK/native.log" 2>&1 &
second=$!
check "the second copy ends by itself" wait_exit "$second" 5
check_eq "the second copy's exit code" 0 "$EXIT_CODE"
check_eq "one display window" 1 "$(xdotool search --onlyvisible --name '^Tessellane_Main$' | wc -l)"
check "the first copy still runs" alive "$first"
NATIVE_PID=$first
end_native

# --- switches that end at once, bad arguments -----------------------------------------------
e2e_case "switches with nothing to do, help and bad arguments"
for sw in /a /x; do
  "$NATIVE" "$sw" >/dev/null 2>&1
  check_eq "$sw ends at once with exit code 0" 0 "$?"
done
out=$("$NATIVE" --help 2>/dev/null); rc=$?
check_eq "--help: exit code 0" 0 "$rc"
check "--help names -window-id" grep -q -- '-window-id' <<<"$out"
for bad in "-window-id abc" "-window-id" "--window-id 0x" "-bogus"; do
  # shellcheck disable=SC2086
  err=$("$NATIVE" $bad 2>&1 >/dev/null); rc=$?
  check_eq "'$bad' is refused with exit code 1" 1 "$rc"
  check "'$bad' says why on stderr" test -n "$err"
done
err=$(XSCREENSAVER_WINDOW=zz "$NATIVE" -root 2>&1 >/dev/null); rc=$?
check_eq "a bad \$XSCREENSAVER_WINDOW is refused with exit code 1" 1 "$rc"
check "it says the value is no X window id" grep -q 'not an X window id' <<<"$err"
check "--help names the switches that do nothing" grep -q -- '-mono, -install, -noinstall, -fps' <<<"$out"

# --- the preview -----------------------------------------------------------------------------
e2e_case "/p: the picture in the test's window, ending when it goes"
host_window 320x240+50+50
check "the test's host window shows" test -n "$HOST"
start_native /p "$((HOST))"
check "the preview becomes a child of the host" wait_until 10 "a child named Preview Window" \
  bash -c "timeout 5 xwininfo -children -id $HOST | grep -q 'Preview Window'"
timeout 10 import -window "$HOST" "$E2E_TEST_WORK/preview.png"
preview=$(timeout 5 xwininfo -children -id "$HOST" | sed -n 's/^ *\(0x[0-9a-f]*\) "Preview Window".*/\1/p' | head -n 1)
check_eq "the preview fills the host" "320x240" "$(timeout 5 xwininfo -id "${preview:-0}" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
# The picture is 152x112 at the top left; the rest is black.
check "the preview picture is drawn at the top left" above "$(colour_count "$E2E_TEST_WORK/preview.png" 152x112+0+0)" 50
check_eq "right of the picture is black" 1 "$(colour_count "$E2E_TEST_WORK/preview.png" 160x100+160+120)"
end_host
check "the preview ends when its host goes" wait_exit "$NATIVE_PID" 5
check_eq "exit code when the host went" 0 "$EXIT_CODE"

# --- hosted: -window-id, a resize, the window going away ------------------------------------------
e2e_case "-window-id: draws into the window and follows its size"
host_window 300x200+10+10
start_native -window-id "$HOST"
check "rings appear in the host's window" wait_until 10 "rings in the host" \
  shot_has_colours "$HOST" "$E2E_TEST_WORK/hosted.png"
# Each segment is marked for removal once the server has attached it, and
# goes when the program ends, however it ends.
check "the running display shares its image with the server" at_least "$(segments_of "$NATIVE_PID")" 1
check "a hosted display makes no window of its own" no_window Tessellane_Main
xdotool key a
xdotool mousemove 100 100 mousemove 200 150 click 1
check "a hosted display ignores keys, moves and clicks" still_running "$NATIVE_PID" 1
xdotool windowsize "$HOST" 600 400
# The new area beyond the old size fills with rings.
check "after a resize the rings fill the new size" wait_until 10 "rings beyond the old size" \
  shot_has_colours "$HOST" "$E2E_TEST_WORK/resized.png" 280x180+310+210 1
hosted_pid=$NATIVE_PID
ends_cleanly "-window-id"
check_eq "no shared-memory segment of the display left" 0 "$(segments_of "$hosted_pid")"
check "the host's window outlives the display" xwininfo_viewable "$HOST"
end_host

e2e_case "-window-id: the held picture comes back when the host's window shows again"
write_settings "${RED_INI[@]}"
host_window 300x200+10+10
start_native -window-id "$HOST"
check "rings appear in the host's window" wait_until 10 "rings in the host" \
  shot_has_colours "$HOST" "$E2E_TEST_WORK/held-first.png"
held="$E2E_TEST_WORK/held.png"
check "the picture of the first cycle is held" settled_screenshot "$held"
# Hidden and shown, the window's content is lost: the server asks for it anew.
xdotool windowunmap --sync "$HOST" windowmap --sync "$HOST"
check "the same picture shows again" shot_until 5 "$E2E_TEST_WORK/held-again.png" screens_equal "$held"
ends_cleanly "-window-id, after the host showed again"
end_host
write_settings "${QUICK_INI[@]}"

e2e_case "-window-id: the host's window going away ends it"
host_window 300x200+10+10
start_native --window-id "$HOST"
check "the hosted display runs" still_running "$NATIVE_PID" 1
end_host
check "the display ends when the window goes" wait_exit "$NATIVE_PID" 5
check_eq "exit code when the window went" 0 "$EXIT_CODE"

e2e_case "a hosted display leaves its host's window; a destroyed window's id ends it at once"
host_window 300x200+10+10
start_native -window-id "$HOST"
check "the hosted display draws" wait_until 10 "rings in the host" shot_has_colours "$HOST" "$E2E_TEST_WORK/left.png"
ends_cleanly "-window-id, before its host"
check "the host's window is still there after the display ended" xwininfo_viewable "$HOST"
gone=$HOST
end_host
t0=$(now)
start_native -window-id "$gone"
check "-window-id of a destroyed window ends within 5 s" wait_exit "$NATIVE_PID" 5
figure destroyed_window_end_s "$(seconds_since "$t0")"
end_native

e2e_case "-window: a resizable window of its own that input does not end"
start_native -window -mono -install -fps -visual default
WIN=$(wait_window Tessellane 10)
check "-window opens a window titled Tessellane" test -n "$WIN"
if [ -n "$WIN" ]; then
  check "rings appear in it" wait_until 10 "rings in the window" shot_has_colours "$WIN" "$E2E_TEST_WORK/own.png"
  xdotool mousemove --window "$WIN" 50 50 click 1 key a mousemove --window "$WIN" 200 150
  check "keys, clicks and moves do not end it" still_running "$NATIVE_PID" 1
  xdotool windowsize "$WIN" 800 600
  check "after a resize the rings fill the new size" wait_until 10 "rings beyond the old size" \
    shot_has_colours "$WIN" "$E2E_TEST_WORK/own-resized.png" 150x110+650+490 1
  xdotool windowclose "$WIN"
  check "closing the window ends it" wait_exit "$NATIVE_PID" 5
  check_eq "exit code when the window closed" 0 "$EXIT_CODE"
fi
end_native

e2e_case "-root with \$XSCREENSAVER_WINDOW, and on the root itself"
host_window 300x200+400+300
export XSCREENSAVER_WINDOW="$HOST"
start_native -root
unset XSCREENSAVER_WINDOW
check "-root draws into \$XSCREENSAVER_WINDOW" wait_until 10 "rings in the host" \
  shot_has_colours "$HOST" "$E2E_TEST_WORK/xss.png"
screenshot "$E2E_TEST_WORK/root-outside.png"
check_eq "nothing is drawn outside that window" 1 "$(colour_count "$E2E_TEST_WORK/root-outside.png" 300x200+0+0)"
ends_cleanly "-root in \$XSCREENSAVER_WINDOW" INT
end_host
start_native --root
check "--root draws on the root window" wait_until 10 "rings on the root" \
  shot_has_colours root "$E2E_TEST_WORK/root.png" 300x200+0+0
# Without music the hack maps no toolkit and no sound library.
toolkits() { grep -oE 'lib(gtk|gdk|pango|cairo|gstreamer)[^/ ]*\.so' "/proc/$1/maps" | sort -u | tr '\n' ' '; }
check_eq "--root without music maps no toolkit or sound library" "" "$(toolkits "$NATIVE_PID")"
ends_cleanly "--root"
# With music it loads the sound module, and GStreamer with it.
write_settings "${QUICK_INI[@]}" 'BGM区分=1'
start_native --root
check "--root with CD music maps GStreamer" wait_until 10 "GStreamer in the maps" \
  grep -q 'libgstreamer' "/proc/$NATIVE_PID/maps"
ends_cleanly "--root with music"
write_settings "${QUICK_INI[@]}"
xvfb_stop

# --- ending at any moment -------------------------------------------------------------------
# A sound server that accepts and never answers (PULSE_SERVER): a sink on its
# way to READY waits about 30 s for it.
silent_server_start() {
  SILENT_SOCK="$E2E_TEST_WORK/silent.sock"
  rm -f "$SILENT_SOCK"
  python3 -c 'import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(16)
held = []
while True: held.append(s.accept()[0])' "$SILENT_SOCK" &
  SILENT_PID=$!
  wait_until 5 "the silent server's socket" test -S "$SILENT_SOCK"
}
# runs_program PID: that process is the program under test (past its exec).
runs_program() { [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$(readlink -f "$NATIVE")" ]; }
# first_ring_seconds ARGS...: starts the display and gives, in FIRST_RING_S,
# how long its first rings took to show on the screen.
first_ring_seconds() {
  local t0
  t0=$(now)
  start_native "$@"
  FIRST_RING_S=""
  wait_until 20 "the first rings" shot_has_rings "$E2E_TEST_WORK/first.png" "$RED" &&
    FIRST_RING_S=$(seconds_since "$t0")
}

e2e_case "a sound server that never answers holds neither the picture nor SIGTERM" 120
start_xvfb 1024x768
. "$LINUX_LIB_DIR/../sound.sh"
tone_mp3 2 440 "$E2E_TEST_WORK/silent.mp3"
silent_server_start
write_settings "${RED_INI[@]}"
first_ring_seconds /s
baseline=$FIRST_RING_S
figure first_ring_s "${baseline:-none}"
end_native
write_settings "${RED_INI[@]}" 'BGM区分=2' "BGMﾌｧｲﾙ=$E2E_TEST_WORK/silent.mp3"
for sw in /s -root; do
  PULSE_SERVER="unix:$SILENT_SOCK" first_ring_seconds "$sw"
  figure "first_ring_silent_sound${sw/\//_}_s" "${FIRST_RING_S:-none}"
  check "$sw with music on a silent server: the first rings come no later than 2 s after the run without music (${FIRST_RING_S:-none} s, ${baseline:-none} s)" \
    at_most "${FIRST_RING_S:-99}" "$(plus "${baseline:-0}" 2)"
  ends_cleanly "$sw while the sound start waits" TERM 1
  figure "term_silent_sound${sw/\//_}_s" "${STOP_SECONDS:-none}"
done
stop_pid "$SILENT_PID"
write_settings "${QUICK_INI[@]}"

e2e_case "SIGTERM right after the start is never lost" 120
# The signal lands wherever the start has come to: before the connection,
# while the window is made, in the first frames.
host_window 200x150+10+10
for run in 1 2 3 4 5 6 7 8; do
  for sw in /s -root; do
    XSCREENSAVER_WINDOW=$HOST start_native "$sw"
    # The signal goes to the program itself, not to the shell that starts it.
    wait_until 5 "the program to be started" runs_program "$NATIVE_PID"
    kill -TERM "$NATIVE_PID"
    if wait_exit "$NATIVE_PID" 2; then
      pass "run $run, $sw: SIGTERM right after the start ends it within 2 s"
    else
      fail "run $run, $sw: SIGTERM right after the start ends it within 2 s"
      stop_native KILL 2
    fi
  done
done
check "the host's window outlived every run" xwininfo_viewable "$HOST"
end_host
xvfb_stop

# --- two monitors side by side --------------------------------------------------------------
e2e_case "two monitors: one window over both, the path bouncing off the outer edges" 150
start_xvfb 2000x1000
outer_display=$DISPLAY
x_server_start Xephyr +xinerama -screen 1024x768 -screen 800x768 -br
export DISPLAY=$X_SERVER_DISPLAY
write_settings "${RED_INI[@]}"
start_own /s
check "/s shows on the two monitors" test -n "$WIN"
if [ -n "$WIN" ]; then
  check_eq "the window covers both monitors (1024x768 and 800x768 beside it)" "0 0 1824 768" "$(geometry "$WIN")"
  shot="$E2E_TEST_WORK/two-monitors.png"
  check "the picture settles at the end of the first cycle" settled_screenshot "$shot"
  result=$(rings cycle "$shot" "$RED" 1824 768); rc=$?
  log "$result"
  check "one complete cycle over the whole 1824x768 area" test "$rc" -eq 0
  check "rings on the second monitor" above "$(colour_count "$shot" 400x300+1300+100)" 1
fi
ends_cleanly "/s on two monitors"
end_job "$X_SERVER_PID"
export DISPLAY=$outer_display
xvfb_stop

# --- a server that does not share memory --------------------------------------------------
e2e_case "without MIT-SHM the display still draws"
start_xvfb 640x480 -extension MIT-SHM
check "the server has no MIT-SHM" bash -c "! xdpyinfo | grep -q MIT-SHM"
write_settings "${RED_INI[@]}"
start_own /s
check "/s shows without MIT-SHM" test -n "$WIN"
check "rings are drawn" wait_until 10 "rings" shot_has_rings "$E2E_TEST_WORK/noshm.png" "$RED"
ends_cleanly "/s without MIT-SHM"

e2e_end
