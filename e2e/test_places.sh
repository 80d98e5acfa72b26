#!/usr/bin/env bash
# End-to-end tests of where the settings are kept, run as a user who may not
# write the program's folder (as root every folder can be written):
#   - 設定 saves into the per-user copy under %LOCALAPPDATA%\VirtualStore, the
#     file next to the program stays as it was, and the next start reads the
#     copy;
#   - with the per-user copy read-only as well, a message box says so before
#     the window closes, and neither file changes.
# Whatever the user reads (the program, its settings file, the scripts it
# sources) is copied into a folder of the run under /tmp that every account
# may enter, and removed at the end: the clone itself may lie in a folder the
# user cannot enter, such as /root.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/dialog.sh"

E2E_USER=tessellane-e2e
E2E_USER_HOME="/home/$E2E_USER"
E2E_USER_PREFIX="$E2E_USER_HOME/wineprefix"
MESSAGE_TITLE='テセレーン'

e2e_begin places

# --- A second user with a Wine prefix of its own -------------------------------------
e2e_case "the test user and its Wine prefix" 300

id -u "$E2E_USER" >/dev/null 2>&1 || useradd -m "$E2E_USER" || { fail "the test user is made"; e2e_end; }

# The run's folder for the user: made here, removed by the exit trap.
RUN_DIR=$(mktemp -d /tmp/tessellane-places.XXXXXX) || { fail "the run's folder under /tmp is made"; e2e_end; }
e2e_at_exit rm -rf "$RUN_DIR"
chmod 755 "$RUN_DIR"
cp "$REPO/scripts/wine-env.sh" "$RUN_DIR/wine-env.sh"
chmod 644 "$RUN_DIR/wine-env.sh"

# The test user's environment on this screen, with its own prefix.
USER_ENV=(DISPLAY="$DISPLAY" HOME="$E2E_USER_HOME" WINEPREFIX="$E2E_USER_PREFIX" WINEDEBUG=-all
          WINEDLLOVERRIDES="$WINEDLLOVERRIDES" WINEARCH=win64 LC_ALL=ja_JP.UTF-8)
# as_user COMMAND...: runs the command as the test user, from the run's folder
# (the current folder may be one the user cannot enter).
as_user() { (cd "$RUN_DIR" && exec runuser -u "$E2E_USER" -- env "${USER_ENV[@]}" "$@"); }
# The user's prefix is made, started and ended as the run's own is.
user_prefix_init() { as_user bash -c '. "$1" && wine_prefix_init' _ "$RUN_DIR/wine-env.sh" </dev/null; }
if ! user_prefix_init; then
  fail "the test user's Wine prefix is made"
  e2e_end
fi
e2e_at_exit runuser -u "$E2E_USER" -- env "${USER_ENV[@]}" bash -c 'cd / && . "$1" && wine_prefix_stop' _ \
  "$RUN_DIR/wine-env.sh"

# start_saver_as_user DIR ARGS...: like start_saver, as the test user.
start_saver_as_user() {
  local dir="$1"; shift
  SAVER_LOG="$E2E_TEST_WORK/saver.log"
  (cd "$dir" && exec runuser -u "$E2E_USER" -- env "${USER_ENV[@]}" WINEDEBUG=-all,err+all \
    "$WINE" "$dir/tessellane.scr" "$@") >>"$SAVER_LOG" 2>&1 &
  SAVER_PID=$!
}
START_SAVER=start_saver_as_user

# The program folder, owned by root: readable, not writable for the user.
PROGRAM="$RUN_DIR/Program Files/テセレーン"
mkdir -p "$PROGRAM"
cp "$SCR" "$PROGRAM/tessellane.scr"
write_ini "$PROGRAM" '停止時間= 3' '背景色ﾗﾝﾀﾞﾑ= 1' '[Other]' 'kept=yes'
chmod 755 "$RUN_DIR/Program Files" "$PROGRAM"
chmod 644 "$PROGRAM/$INI_NAME"
cp "$PROGRAM/$INI_NAME" "$E2E_TEST_WORK/program.ini.before"
# %LOCALAPPDATA%\VirtualStore followed by the program folder without its drive
# (Z:\work\... on Wine's drive for /).
USER_COPY_DIR="$E2E_USER_PREFIX/drive_c/users/$E2E_USER/AppData/Local/VirtualStore$PROGRAM"
rm -rf "$E2E_USER_PREFIX/drive_c/users/$E2E_USER/AppData/Local/VirtualStore"

# save_now: clicks 設定 and waits for the program to end.
save_now() {
  click_at 390 268  # 設定
  check "設定 ends the program" wait_exit "$DLG" 15
}

# --- (a) the program folder cannot be written: a per-user copy ---------------------------
e2e_case "(a) the program folder cannot be written: a per-user copy"

if open_dialog "$PROGRAM"; then
  click_at 378 99   # upper arrow of the spinner: 3 -> 4
  sleep 0.3
  click_at 378 99   # 4 -> 5
  save_now
fi
close_dialog
check "the per-user copy was made" test -f "$USER_COPY_DIR/$INI_NAME"
check_eq "the copy holds the new stop time" 5 "$(ini_value "$USER_COPY_DIR" 停止時間)"
check "the copy keeps the other section" grep -q "^kept=yes" <(tr -d '\r' <"$USER_COPY_DIR/$INI_NAME")
check "the copy's key is code page 932" grep -q $'\x92\xE2\x8E\x7E\x8E\x9E\x8A\xD4= 5\r' "$USER_COPY_DIR/$INI_NAME"
check "the file next to the program is unchanged" cmp -s "$E2E_TEST_WORK/program.ini.before" "$PROGRAM/$INI_NAME"
check "no new file was left next to the program" test "$(ls "$PROGRAM" | wc -l)" -eq 2

# The next start reads the copy: saving at once writes back what it read (5).
if open_dialog "$PROGRAM"; then
  save_now
fi
close_dialog
check_eq "the next start read the copy" 5 "$(ini_value "$USER_COPY_DIR" 停止時間)"
check "the file next to the program is still unchanged" \
  cmp -s "$E2E_TEST_WORK/program.ini.before" "$PROGRAM/$INI_NAME"

# --- (b) the per-user copy cannot be written either: the user is told ------------------
e2e_case "(b) the per-user copy cannot be written either: the user is told"

cp "$USER_COPY_DIR/$INI_NAME" "$E2E_TEST_WORK/copy.ini.before"
chmod 555 "$USER_COPY_DIR"
chmod 444 "$USER_COPY_DIR/$INI_NAME"
if open_dialog "$PROGRAM"; then
  click_at 378 99   # 5 -> 6
  sleep 0.3
  click_at 390 268  # 設定
  MSG=$(find_window "^${MESSAGE_TITLE}\$")
  check "a message box says the settings were not saved" test -n "$MSG"
  check_eq "the settings window is still open behind it" 1 "$(window_count "$SETTINGS_TITLE")"
  screenshot "$E2E_TEST_WORK/not_saved.png"
  [ -n "$MSG" ] && { timeout 5 xdotool windowfocus --sync "$MSG" 2>/dev/null || true; xdotool key Return; }
  check "the program ends once the message is closed" wait_exit "$DLG" 15
fi
close_dialog
check "the per-user copy is unchanged" cmp -s "$E2E_TEST_WORK/copy.ini.before" "$USER_COPY_DIR/$INI_NAME"
check "the file next to the program is unchanged" cmp -s "$E2E_TEST_WORK/program.ini.before" "$PROGRAM/$INI_NAME"
check "no new file was left in the per-user folder" test "$(ls "$USER_COPY_DIR" | wc -l)" -eq 1
chmod 755 "$USER_COPY_DIR"

e2e_end
