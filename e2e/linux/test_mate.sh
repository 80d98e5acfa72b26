#!/usr/bin/env bash
# MATE's screen saver (mate-screensaver; Xfce's reads the same entries) runs
# the hack of the unpacked package from its entry in
# applications/screensavers: in mode 'single' with the theme
# screensavers-tessellane, --activate shows the rings and --deactivate ends
# the hack; its preferences run the hack in their preview pane, and it ends
# when they close.
#
# MATE runs only hacks of XScreenSaver's hack folders: a private mount
# namespace lays the run's copy of that folder over /usr/libexec/xscreensaver
# for MATE's programs alone, and XDG_DATA_DIRS names the run's copy of the
# package's share folder first. It launches no hack as root: the account of
# account.sh runs it, on a session bus of its own.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck source=account.sh
. "$LINUX_LIB_DIR/account.sh"
linux_begin mate
DAEMON_PID=""
PREFS_PID=""
BUS_PID=""

# in_namespace CMD...: CMD as the account, with the run's hack folder in
# place. Run in the background (&), it takes the job's pid (exec), so that
# the pid is in the new namespace.
in_namespace() {
  local CMD
  account_command
  exec unshare -m --propagation private sh -c \
    'mount --bind "$1" /usr/libexec/xscreensaver && shift && exec "$@"' \
    mate "$RUN/usr/libexec/xscreensaver" "${CMD[@]}" "$@"
}

# hacks_in_namespace NS: the hack's processes in the mount namespace NS
# (made by in_namespace for this run alone); hacks_in PID: in that of PID.
hacks_in_namespace() {
  local p
  for p in $(pgrep -x tessellane); do
    [ "$(readlink "/proc/$p/ns/mnt" 2>/dev/null)" = "$1" ] && echo "$p"
  done
}
hacks_in() {
  local ns
  ns=$(readlink "/proc/$1/ns/mnt" 2>/dev/null) || return 1
  hacks_in_namespace "$ns"
}
hack_running() { [ -n "$(hacks_in "$1")" ]; }
no_hack() { ! hack_running "$1"; }
daemon_answers() { as_account mate-screensaver-command --query >/dev/null 2>&1; }

# stop_pid_and_hacks PID: ends PID and the hacks of its namespace, by id.
stop_pid_and_hacks() {
  local p hacks
  [ -n "$1" ] || return 0
  hacks=$(hacks_in "$1")
  stop_pid "$1"
  for p in $hacks; do kill "$p" 2>/dev/null; done
}
stop_mate() {
  stop_pid_and_hacks "$PREFS_PID"
  if [ -n "$DAEMON_PID" ] && alive "$DAEMON_PID"; then
    as_account mate-screensaver-command --exit >/dev/null 2>&1
    wait_exit "$DAEMON_PID" 5 || stop_pid_and_hacks "$DAEMON_PID"
  fi
  [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null
  account_run_end
}
on_exit stop_mate

e2e_case "setup" 1800
if [ "$(id -u)" -ne 0 ] || ! unshare -m --propagation private true 2>/dev/null; then
  log "skipped: MATE's hack folder needs a private mount namespace (root and CAP_SYS_ADMIN)"
  e2e_end
fi
build_package >"$E2E_TEST_WORK/build.log" 2>&1 || tail -n 20 "$E2E_TEST_WORK/build.log"
if ! unpack_package "$E2E_TEST_WORK/root" 2>/dev/null; then
  fail "the package $(basename "$DEB") is made and unpacks"
  e2e_end
fi
account_run_begin || { fail "the account $ACCOUNT and the run's folder are made"; e2e_end; }
# A black background, so anything else is a ring.
XDG_CONFIG_HOME="$RUN/home/.config" write_settings '停止時間=1' '背景色= 0' '背景色ﾗﾝﾀﾞﾑ= 0'
account_run_own
start_xvfb 640x480 || { fail "Xvfb starts"; e2e_end; }
ACCOUNT_ENV=(XDG_DATA_DIRS="$RUN/usr/share:/usr/share")
if ! bus=$(as_account dbus-daemon --session --fork --print-address=1 --print-pid=1); then
  fail "the account's session bus starts"
  e2e_end
fi
BUS_PID=$(sed -n 2p <<<"$bus")
ACCOUNT_ENV+=(DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p <<<"$bus")")
as_account gsettings set org.mate.screensaver mode "'single'"
as_account gsettings set org.mate.screensaver themes "['screensavers-tessellane']"
as_account gsettings set org.mate.screensaver lock-enabled false
check_eq "the theme is set" "['screensavers-tessellane']" "$(as_account gsettings get org.mate.screensaver themes)"
SAVER_LOG="$E2E_TEST_WORK/daemon.log" SAVER_LOG_HOLDS="the daemon's log"
in_namespace mate-screensaver --no-daemon >"$SAVER_LOG" 2>&1 &
DAEMON_PID=$!
check "the daemon answers mate-screensaver-command" wait_until 20 "the daemon" daemon_answers

e2e_case "--activate shows the rings" 60
check "no hack runs before --activate" no_hack "$DAEMON_PID"
activate_hack "mate-screensaver-command --activate" hacks_in "$DAEMON_PID"
shot="$E2E_TEST_WORK/rings.png"
rings_on_screen() { screenshot "$shot" && [ "$(not_colour_pixels "$shot" 000000)" -gt 500 ]; }
check "rings on the screen within 10 s" wait_until 10 "rings on the screen" rings_on_screen
check "one hack runs" test "$(hacks_in "$DAEMON_PID" | wc -l)" -eq 1

e2e_case "--deactivate ends the hack" 60
t0=$(now)
as_account mate-screensaver-command --deactivate >/dev/null 2>&1
if wait_until 5 "the hack to end" no_hack "$DAEMON_PID"; then
  pass "--deactivate ends the hack within 5 s ($(seconds_since "$t0") s)"
else
  fail "--deactivate ends the hack within 5 s"
fi
check "the daemon still runs" alive "$DAEMON_PID"

e2e_case "the preferences run the hack in their preview" 60
in_namespace mate-screensaver-preferences >"$E2E_TEST_WORK/preferences.log" 2>&1 &
PREFS_PID=$!
if wait_until 20 "the preview's hack" hack_running "$PREFS_PID"; then
  prefs_namespace=$(readlink "/proc/$PREFS_PID/ns/mnt")
  pass "the preferences start the hack in their preview"
  # The pane may restart its hack as the list settles: the one running now,
  # in its window.
  preview="$E2E_TEST_WORK/preview.png"
  preview_rings() {
    local pid win
    pid=$(hacks_in_namespace "$prefs_namespace" | tail -n 1)
    win=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p')
    [ -n "$win" ] && window_shot "$win" "$preview" 2>/dev/null &&
      [ "$(not_colour_pixels "$preview" 000000)" -gt 200 ]
  }
  check "rings in the preview pane" wait_until 10 "rings in the preview" preview_rings
  log "preview: $(identify -format '%wx%h' "$preview" 2>/dev/null), $(colour_count "$preview" 2>/dev/null) colours"
  # Escape is the dialog's Close.
  if prefs_win=$(wait_window "Screensaver Preferences" 10); then
    t0=$(now)
    xdotool windowfocus --sync "$prefs_win" key Escape
    check "Escape closes the preferences within 5 s" wait_exit "$PREFS_PID" 5 && PREFS_PID=""
    preview_ended() { [ -z "$(hacks_in_namespace "$prefs_namespace")" ]; }
    if wait_until 5 "the preview's hack to end" preview_ended; then
      pass "the preview's hack ends with the preferences ($(seconds_since "$t0") s)"
    else
      fail "the preview's hack ends with the preferences"
    fi
  else
    fail "the preferences' window shows"
  fi
else
  fail "the preferences start the hack in their preview"
fi

e2e_case "--exit ends the daemon" 30
daemon_namespace=$(readlink "/proc/$DAEMON_PID/ns/mnt")
as_account mate-screensaver-command --exit >/dev/null 2>&1
check "--exit ends the daemon within 10 s" wait_exit "$DAEMON_PID" 10
check "no hack is left" test -z "$(hacks_in_namespace "$daemon_namespace")"

e2e_end
