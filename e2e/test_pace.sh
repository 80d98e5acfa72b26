#!/usr/bin/env bash
# End-to-end tests of the display's pace on a 640x480 screen: a cycle takes
# about a second instead of appearing at once, and with a stop time of 0 new
# cycles (each with a new random background) come at most three times a
# second, never as a strobe.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
SCREEN_W=640
SCREEN_H=480
RED=FF0000

e2e_begin pace

e2e_case "a 640x480 cycle takes its second"
DIR=$(new_testdir cycle)
write_ini "$DIR" '停止時間=0' '背景色=255' '背景色ﾗﾝﾀﾞﾑ=0'
place_cursor 500 400 || log "could not place the cursor"
start_saver "$DIR" /s
# Timed from the start: the window shows and its first cycle begins at once.
check "the next cycle comes" cycle_timing "$RED" 60
figure cycle_seconds "$CYCLE_SECONDS"
figure shot_gap "$SHOT_GAP"
check "the cycle is drawn at its pace (${CYCLE_SECONDS:-?} s, shots ${SHOT_GAP} s apart)" \
  between "${CYCLE_SECONDS:-0}" 0.8 8
stop_pid "$SAVER_PID"

e2e_case "stop time 0: no strobe"
start_display strobe /s -- '停止時間=0' '背景色ﾗﾝﾀﾞﾑ=1'
check "/s shows its window (stop time 0)" test -n "$WIN"
[ -n "$WIN" ] && check_no_strobe
stop_pid "$SAVER_PID"

e2e_end
