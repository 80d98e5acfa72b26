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
