#!/usr/bin/env bash
# XScreenSaver's own daemon on a private Xvfb runs the hack of the unpacked
# package: -activate shows the rings and their colours change from cycle to
# cycle, the MP3 of its settings plays (into a PulseAudio null sink, whose
# monitor is recorded), -deactivate ends the hack and the music within a
# second, -exit ends the daemon.
#
# The daemon launches no hack as root: as root the test runs it as the
# account of account.sh, with a HOME made for the run and a copy of the hack
# that account can read, both removed at the end.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=account.sh
. "$LINUX_LIB_DIR/account.sh"
# shellcheck source=../sound.sh
. "$LINUX_LIB_DIR/../sound.sh"
linux_begin xscreensaver
DAEMON_PID=""

# hack_pids: the processes running the run's copy of the hack.
hack_pids() { pgrep -f "^$RUN/usr/libexec/xscreensaver/tessellane( |$)"; }
hack_running() { hack_pids >/dev/null; }
no_hack() { ! hack_running; }
daemon_answers() { as_account xscreensaver-command -version >/dev/null 2>&1; }

# Asks the daemon to quit and waits for it (bounded); ends it by its id when
# it does not; then ends a hack left behind, by id, and removes the run's folder.
stop_daemon() {
  local p
  if [ -n "$DAEMON_PID" ] && alive "$DAEMON_PID"; then
    as_account xscreensaver-command -exit >/dev/null 2>&1
    if ! wait_exit "$DAEMON_PID" 10; then
      log "the daemon did not exit; ending it"
      for p in $(pgrep -P "$DAEMON_PID"); do kill "$p" 2>/dev/null; done
      stop_pid "$DAEMON_PID"
    fi
  fi
  if [ -n "$RUN" ]; then
    for p in $(hack_pids); do kill "$p" 2>/dev/null; done
    if ! wait_until 3 "the hack to end" no_hack; then
      for p in $(hack_pids); do kill -9 "$p" 2>/dev/null; done
    fi
    account_run_end
  fi
}
on_exit stop_daemon

e2e_case "setup" 1800
build_package >"$E2E_TEST_WORK/build.log" 2>&1 || tail -n 20 "$E2E_TEST_WORK/build.log"
if ! unpack_package "$E2E_TEST_WORK/root" 2>/dev/null; then
  fail "the package $(basename "$DEB") is made and unpacks"
  e2e_end
fi
account_run_begin || { fail "the account $ACCOUNT and the run's folder are made"; e2e_end; }
HACK_PATH="$RUN/usr/libexec/xscreensaver/tessellane"
# The daemon's configuration, as a user writes it by hand: the one hack, at once.
cat >"$RUN/home/.xscreensaver" <<EOF
mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
verbose: True
programs: "テセレーン" $HACK_PATH -root \\n
EOF
# The hack reads ~/.config: a black background, so anything else is a ring,
# a short hold, so that the cycles come quickly, and an MP3 to play.
tone_mp3 3 440 "$RUN/home/tone.mp3"
XDG_CONFIG_HOME="$RUN/home/.config" write_settings '停止時間=1' '背景色= 0' '背景色ﾗﾝﾀﾞﾑ= 0' \
  'BGM区分=2' "BGMﾌｧｲﾙ=$RUN/home/tone.mp3"
account_run_own
# The sound server's socket where the account can reach it.
mkdir -m 755 "$RUN/sound"
if ! sound_start "$RUN/sound/pulse.sock"; then
  fail "the PulseAudio test server started"
  e2e_end
fi
on_exit sound_stop
start_xvfb 640x480 || { fail "Xvfb starts"; e2e_end; }
account_command
# The hacks write to the daemon's output: a failure keeps it.
SAVER_LOG="$E2E_TEST_WORK/daemon.log" SAVER_LOG_HOLDS="the daemon's log"
"${CMD[@]}" xscreensaver -no-splash >"$SAVER_LOG" 2>&1 &
DAEMON_PID=$!
check "the daemon answers xscreensaver-command" wait_until 20 "the daemon" daemon_answers

e2e_case "-activate shows the rings" 60
check "no hack runs before -activate" no_hack
activate_hack "xscreensaver-command -activate" hack_pids
first="$E2E_TEST_WORK/first.png"
rings_on_screen() { screenshot "$first" && [ "$(not_colour_pixels "$first" 000000)" -gt 500 ]; }
check "rings on the screen within 10 s" wait_until 10 "rings on the screen" rings_on_screen
log "first picture: $(colour_count "$first") colours, $(not_colour_pixels "$first" 000000) pixels not black"

# ring_colours FILE: the colours of a picture other than the black background.
ring_colours() {
  convert "$1" -depth 8 -format '%c' histogram:info:- | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | grep -vx 000000 | sort
}
later="$E2E_TEST_WORK/later.png"
colours_changed() {
  screenshot "$later" && [ "$(not_colour_pixels "$later" 000000)" -gt 500 ] &&
    [ "$(ring_colours "$later")" != "$(ring_colours "$first")" ]
}
# One cycle is held 1 s; the next brings a new colour.
check "the ring colours change within 15 s" wait_until 15 "other ring colours" colours_changed
check "one hack runs" test "$(hack_pids | wc -l)" -eq 1

# music_ended WHAT ENDED: judges the running recording (REC, at least 3.5 s
# long before the marker, which was played as WHAT happened): the music was
# heard before the marker, and is silent from a second after the hack was
# seen gone (ENDED seconds after the marker). The piece lasts 3 s and the
# poll restarts it within 1.5 s: three silent seconds mean it has stopped,
# and any three seconds before held some of it.
music_ended() {
  local t_mark quiet_rms loudest=0 back v
  record_stop 4.5
  t_mark=$(mark_in "$REC")
  if [ -z "$t_mark" ]; then
    fail "the marker of $1 is in the recording"
    return
  fi
  quiet_rms=$(rms "$REC" "$(plus "$t_mark" "$(plus "$2" 1.0)")" 3.0)
  check "$1: silent from a second after the hack's end, for 3 s (RMS $quiet_rms)" below "$quiet_rms" "$QUIET"
  for back in 3.0 2.7 2.4 2.1 1.8 1.5 1.2 0.9 0.6 0.3; do
    v=$(rms "$REC" "$(plus "$t_mark" "-$back")" 0.3)
    above "$v" "$loudest" && loudest=$v
  done
  check "$1: heard in the 3 s before (loudest 0.3 s: RMS $loudest)" above "$loudest" "$LOUD"
}

e2e_case "the MP3 of the settings plays" 60
REC="$E2E_TEST_WORK/music.wav"
record_start "$REC"
check "the hack's music is heard" wait_until 20 "the music" heard_now
# Three seconds of it before the next case acts, to be judged against.
wait_until 10 "3.5 s of recording" rec_holds 3.5

e2e_case "-deactivate ends the hack and its music" 60
t0=$(now)
mark
as_account xscreensaver-command -deactivate >/dev/null 2>&1
if wait_until 5 "the hack to end" no_hack; then
  ended=$(seconds_since "$t0")
  pass "-deactivate ends the hack within 5 s ($ended s)"
else
  ended=5
  fail "-deactivate ends the hack within 5 s"
fi
# The piece lasts 3 s and the poll restarts it within 1.5 s: three silent
# seconds mean it has stopped, and any three seconds before held some of it.
music_ended "-deactivate" "$ended"
after="$E2E_TEST_WORK/after.png"
screen_black() { screenshot "$after" && [ "$(not_colour_pixels "$after" 000000)" -eq 0 ]; }
check "the rings are gone from the screen" wait_until 5 "a black screen" screen_black
# The daemon destroys the hack's window right after SIGTERM: the hack ends
# without an X error either way.
check_eq "the hack wrote no X error" "" "$(grep -A4 '^X Error' "$E2E_TEST_WORK/daemon.log")"
check "the daemon still runs" alive "$DAEMON_PID"

# Activations and deactivations in a row, one every second or so, as a
# user's mouse and a short timeout give them: every hack ends at its
# deactivation, also one that is still starting (XSS_SOAK_CYCLES, default 6;
# 40 for a longer run).
e2e_case "activations and deactivations in a row" 180
lingering=0 slowest=0
for i in $(seq 1 "${XSS_SOAK_CYCLES:-6}"); do
  as_account xscreensaver-command -activate >/dev/null 2>&1
  wait_until 10 "hack $i to start" hack_running >/dev/null
  # Half of them are ended while they start.
  [ $((i % 2)) -eq 0 ] && wait_until 2 "hack $i's first picture" rings_on_screen >/dev/null
  t0=$(now)
  as_account xscreensaver-command -deactivate >/dev/null 2>&1
  if wait_until 3 "hack $i to end" no_hack >/dev/null; then
    slowest=$(awk -v a="$slowest" -v b="$(seconds_since "$t0")" 'BEGIN{print (b > a) ? b : a}')
  else
    lingering=$((lingering + 1))
    wait_until 10 "the lingering hack $i to end" no_hack >/dev/null
  fi
done
figure soak_slowest_end_s "$slowest"
check_eq "no hack still runs 3 s after its deactivation (${XSS_SOAK_CYCLES:-6} cycles, slowest end $slowest s)" 0 "$lingering"

# xscreensaver-settings reads the hacks' XML from a fixed folder: a private
# mount namespace lays the package's folder over it for this program alone.
e2e_case "xscreensaver-settings runs the hack in its preview" 60
SETTINGS_PID=""
# new_hack: prints the pid of a hack that was not running before (BEFORE).
quiet() { "$@" >/dev/null; }
new_hack() { hack_pids | grep -vxF -f <(printf '%s\n' "${BEFORE:-}") | head -n 1 | grep .; }
settings_preview() {
  BEFORE=$(hack_pids)
  local conf="$E2E_TEST_WORK/root/usr/share/xscreensaver/config" CMD
  account_command
  unshare -m --propagation private bash -c \
    'mount --bind "$1" /usr/share/xscreensaver/config && shift && exec "$@"' \
    settings "$conf" "${CMD[@]}" xscreensaver-settings >"$E2E_TEST_WORK/settings.log" 2>&1 &
  SETTINGS_PID=$!
  local preview="$E2E_TEST_WORK/preview.png" pid win
  if ! wait_until 20 "the preview's hack" quiet new_hack; then
    fail "xscreensaver-settings starts the hack in its preview"
    return
  fi
  pid=$(new_hack)
  win=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
  pass "xscreensaver-settings starts the hack in its preview (window $win)"
  preview_rings() { window_shot "$win" "$preview" 2>/dev/null && [ "$(not_colour_pixels "$preview" 000000)" -gt 200 ]; }
  check "rings in the preview pane" wait_until 10 "rings in the preview" preview_rings
  log "preview: $(identify -format '%wx%h' "$preview" 2>/dev/null), $(colour_count "$preview" 2>/dev/null) colours"
  check_eq "xscreensaver-settings has no complaint about tessellane.xml" "" \
    "$(grep -i 'tessellane' "$E2E_TEST_WORK/settings.log" | grep -iv '^X Error')"
  REC="$E2E_TEST_WORK/preview.wav"
  record_start "$REC"
  check "the preview's music is heard" wait_until 20 "the music" heard_now
  wait_until 10 "3.5 s of recording" rec_holds 3.5
  # The settings program dies without a word to its preview (SIGKILL); the
  # server destroys the preview window, and the hack ends on its own.
  local t0 ended=5
  t0=$(now)
  mark
  for p in $(pgrep -P "$SETTINGS_PID"); do kill -9 "$p" 2>/dev/null; done
  wait_exit "$SETTINGS_PID" 10 || stop_pid "$SETTINGS_PID"
  pid_gone() { ! alive "$1"; }
  if wait_until 5 "the hack to end" pid_gone "$pid"; then
    ended=$(seconds_since "$t0")
    pass "the hack ends when its preview window is destroyed ($ended s)"
  else
    fail "the hack ends when its preview window is destroyed"
  fi
  music_ended "the preview window destroyed" "$ended"
  check_eq "the preview's hack wrote no X error" "" "$(grep -A4 '^X Error' "$E2E_TEST_WORK/settings.log")"
}
if unshare -m --propagation private true 2>/dev/null; then
  settings_preview
else
  log "skipped: no private mount namespace here (it needs root and CAP_SYS_ADMIN)"
fi

e2e_case "-exit ends the daemon" 60
as_account xscreensaver-command -exit >/dev/null 2>&1
check "-exit ends the daemon within 10 s" wait_exit "$DAEMON_PID" 10
check "no hack is left" no_hack

# A new account has no ~/.xscreensaver (it appears once xscreensaver-settings
# saves a change): the helper makes it from XScreenSaver's default list with
# the hack last, and choosing that entry (-select, as the settings program
# does) starts the hack.
e2e_case "a new account: the helper lists the hack, -select starts it" 90
ACCOUNT_HOME="$RUN/new-home"
mkdir -p "$ACCOUNT_HOME"
cp -r "$RUN/home/.config" "$ACCOUNT_HOME/"
account_run_own
account_command
"${CMD[@]}" xscreensaver -no-splash >"$E2E_TEST_WORK/new-daemon.log" 2>&1 &
DAEMON_PID=$!
SAVER_LOG="$E2E_TEST_WORK/new-daemon.log"
check "the daemon answers on the new account" wait_until 20 "the daemon" daemon_answers
check "the new account has no ~/.xscreensaver" test ! -e "$ACCOUNT_HOME/.xscreensaver"
as_account "$RUN/usr/bin/tessellane-add-to-xscreensaver" >>"$E2E_TEST_WORK/helper.log" 2>&1
# The entries of the list, one a line after the line that names it.
entries=$(awk '/^programs:/ {on = 1; next} on {print; if ($0 !~ /\\$/) exit}' "$ACCOUNT_HOME/.xscreensaver" 2>/dev/null)
check "the list holds XScreenSaver's own hacks" grep -q '^[[:space:]]*maze --root' <<<"$entries"
check "the hack's entry is the last" grep -qF "$HACK_PATH --root" <<<"$(tail -n 1 <<<"$entries")"
# -select counts the entries from 1.
as_account xscreensaver-command -select "$(wc -l <<<"$entries")" >/dev/null 2>&1
check "-select of the last entry starts the hack" wait_until 15 "the hack to start" hack_running
check "rings on the screen within 10 s" wait_until 10 "rings on the screen" rings_on_screen
as_account xscreensaver-command -deactivate >/dev/null 2>&1
check "-deactivate ends it within 10 s" wait_until 10 "the hack to end" no_hack
as_account xscreensaver-command -exit >/dev/null 2>&1
check "-exit ends the daemon within 10 s" wait_exit "$DAEMON_PID" 10

e2e_end
