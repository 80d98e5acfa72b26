# An ordinary account for the hosts' daemons, which launch no hack as root:
# as root a test runs them as ACCOUNT (made once with useradd -m), otherwise
# as itself, in a folder RUN made for the run (its HOME, and a copy of the
# unpacked package's usr that the account can read), removed at the end.
# Sourced after lib.sh.

ACCOUNT=tess-xss
RUN=""
# Another HOME than $RUN/home, and further NAME=VALUE pairs for the
# account's environment (a session bus, ...).
ACCOUNT_HOME=""
ACCOUNT_ENV=()

# account_command: CMD, the prefix that runs a command as the account in a
# plain environment of its own (the run's HOME, the screen, the locale).
account_command() {
  local envs=(PATH=/usr/bin:/bin HOME="${ACCOUNT_HOME:-$RUN/home}" DISPLAY="$DISPLAY" LANG="${LC_ALL:-C.UTF-8}"
    ${PULSE_SERVER:+PULSE_SERVER="$PULSE_SERVER"} "${ACCOUNT_ENV[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    CMD=(runuser -u "$ACCOUNT" -- env -i USER="$ACCOUNT" LOGNAME="$ACCOUNT" "${envs[@]}")
  else
    CMD=(env -i USER="$(id -un)" LOGNAME="$(id -un)" "${envs[@]}")
  fi
}
as_account() {
  local CMD
  account_command
  "${CMD[@]}" "$@"
}

# account_run_begin: the account (made when missing) and RUN with an empty
# HOME and the package unpacked in $E2E_TEST_WORK/root; false when either
# cannot be made.
account_run_begin() {
  if [ "$(id -u)" -eq 0 ] && ! id "$ACCOUNT" >/dev/null 2>&1; then
    useradd -m "$ACCOUNT" || return 1
  fi
  RUN=$(mktemp -d "/tmp/tess-$E2E_NAME.XXXXXX") || return 1
  mkdir -p "$RUN/home/.config/tessellane"
  # The package's files as it installs them: the hack finds the sound module
  # and the settings program where it puts them.
  cp -r "$E2E_TEST_WORK/root/usr" "$RUN/usr"
}

# account_run_own: hands RUN (filled by the test) to the account.
account_run_own() {
  [ "$(id -u)" -eq 0 ] && chown -R "$ACCOUNT:" "$RUN"
  chmod 755 "$RUN"
}

# account_run_end: removes RUN.
account_run_end() {
  [ -n "$RUN" ] && rm -rf "$RUN"
  RUN=""
}

# activate_hack WHAT PIDS_COMMAND...: asks the daemon for its hack (WHAT,
# the account's command that does it) and waits up to 10 s until
# PIDS_COMMAND prints a hack's pid; passes with the time it took and logs the
# hack's command line and window, or fails.
activate_hack() {
  local what="$1" t0 pid="" command
  shift
  read -ra command <<<"$what"
  t0=$(now)
  as_account "${command[@]}" >/dev/null 2>&1
  hack_pid() { pid=$("$@" | head -n 1) && [ -n "$pid" ]; }
  if wait_until 10 "the hack to start" hack_pid "$@"; then
    pass "$what starts the hack ($(seconds_since "$t0") s)"
    log "hack: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep '^XSCREENSAVER_WINDOW=')"
  else
    fail "$what starts the hack"
  fi
}
