# Sound for the end-to-end tests: a PulseAudio server with a null sink stands
# in for the sound card, and its monitor is recorded, so that "heard" and
# "silent" are RMS figures of the real output. Source after lib.sh, then
# call sound_start.

# RMS of a 0.5-amplitude sine is about 0.35; silence is 0.
LOUD=0.05
QUIET=0.005

# sound_server_start [SOCKET]: the server in $E2E_TEST_WORK/pulse (PA_DIR),
# listening on SOCKET (default PA_DIR/pulse.sock; any account may connect),
# PULSE_SERVER exported for every program started afterwards; fails when it
# does not come up.
sound_server_start() {
  PA_DIR="$E2E_TEST_WORK/pulse"
  mkdir -p "$PA_DIR"
  PA_SOCKET="${1:-$PA_DIR/pulse.sock}"
  HOME="$PA_DIR" XDG_RUNTIME_DIR="$PA_DIR" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no -L "module-native-protocol-unix socket=$PA_SOCKET auth-anonymous=1" \
    -L "module-null-sink sink_name=test rate=44100 channels=2" -L module-always-sink >"$PA_DIR/pulse.log" 2>&1 &
  PA_PID=$!
  export PULSE_SERVER="unix:$PA_SOCKET"
  local _
  for _ in $(seq 1 100); do
    [ -S "$PA_SOCKET" ] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! pactl info >/dev/null 2>&1; then
    log "timed out after 10 s waiting for the PulseAudio server at $PA_SOCKET"
    return 1
  fi
}

# sound_start [SOCKET]: the server, kept running in small steps for
# recording, and the stream that plays the marker tone (mark).
sound_start() {
  sound_server_start "$@" || return 1
  # A low-latency stream of zeros keeps the sink running in small steps:
  # otherwise the monitor delivers data late and in large blocks, and the
  # recording does not keep time with the clock.
  pacat --latency-msec=20 --playback -d test --raw --format=s16le --rate=44100 --channels=2 /dev/zero 2>/dev/null &
  marker_start
}

# The marker: 0.1 s of a 3 kHz tone, a pitch no test piece has, written into
# a stream that is already open (a new player would take its own start-up
# time), so that it sounds within some tens of milliseconds of the call.
MARK_HZ=3000
MARK_SECONDS=0.1
marker_start() {
  MARK_FIFO="$PA_DIR/marker.fifo"
  MARK_RAW="$PA_DIR/marker.raw"
  sox -n -r 44100 -c 2 -b 16 -e signed-integer -t raw "$MARK_RAW" synth "$MARK_SECONDS" sine "$MARK_HZ" vol 0.5
  rm -f "$MARK_FIFO"
  mkfifo "$MARK_FIFO"
  pacat --latency-msec=20 --playback -d test --raw --format=s16le --rate=44100 --channels=2 <"$MARK_FIFO" \
    >/dev/null 2>&1 &
  exec {MARK_FD}>"$MARK_FIFO"
}

# mark: plays the marker now; mark_in FILE [FROM]: where the first marker at
# or after FROM seconds lies in a recording, in seconds ("" when none).
mark() { cat "$MARK_RAW" >&"$MARK_FD"; }
mark_in() { python3 "$E2E_HARNESS_DIR/sound.py" onset "$1" "$MARK_HZ" "${2:-0}"; }

sound_stop() {
  [ -n "${MARK_FD:-}" ] && exec {MARK_FD}>&-
  end_job "$PA_PID"
}

# record_start FILE / record_stop: the sink's monitor into a WAV file.
# record_start returns once the recording runs (10 s at most), so that it
# misses nothing of what is started next.
record_start() {
  REC_FILE="$1"
  parec --latency-msec=20 -d test.monitor --file-format=wav "$REC_FILE" &
  REC_PID=$!
  wait_until 10 "the recording to start" rec_holds 0.05 || true
}
# record_stop [SECONDS]: stops it once it holds SECONDS more than it did at the
# call (default 0.5; waits at most 10 s longer for a lagging recorder).
record_stop() {
  local more="${1:-0.5}" want
  want=$(plus "$(rec_seconds)" "$more")
  wait_until $((10 + ${more%.*})) "the recording to hold $want s" rec_holds "$want" || true
  kill -INT "$REC_PID" 2>/dev/null || true
  wait "$REC_PID" 2>/dev/null || true
}
# rec_seconds: how many seconds the running recording holds so far (its
# file's size; the header is written only at its end).
rec_seconds() {
  awk -v b="$(stat -c %s "$REC_FILE" 2>/dev/null || echo 0)" 'BEGIN{printf "%.2f", b / 176400}'
}
# rec_holds SECONDS: the running recording is at least that long.
rec_holds() { at_least "$(rec_seconds)" "$1"; }

# tail_rms SECONDS: RMS of the last SECONDS of the running recording.
tail_rms() { python3 "$E2E_HARNESS_DIR/sound.py" tail "$REC_FILE" "$1"; }
# heard_now [SECONDS]: the running recording's last SECONDS (0.3) are loud.
heard_now() { above "$(tail_rms "${1:-0.3}")" "$LOUD"; }
# quiet_now [SECONDS]: they are silent (a recording without data yet is neither).
quiet_now() { below "$(tail_rms "${1:-0.3}")" "$QUIET"; }

# await_sound SECONDS loud|silent: waits until the running recording's end is so.
await_sound() {
  if [ "$2" = silent ]; then
    wait_until "$1" "silence in the recording" quiet_now 0.2
  else
    wait_until "$1" "sound in the recording" heard_now 0.2
  fi
}

# rms FILE START DURATION: RMS amplitude of that part of the recording.
rms() {
  sox "$1" -n trim "$2" "$3" stat 2>&1 | awk '/^RMS +amplitude/ {print $3}'
}
# A part outside the recording gives no number: above and below (lib.sh) then fail.

# first_sound FILE: seconds into the recording where sound starts (0.1 s steps), or "".
first_sound() {
  local len t v
  len=$(soxi -D "$1" 2>/dev/null) || return 0
  t=0
  while awk -v t="$t" -v l="$len" 'BEGIN{exit !(t + 0.1 <= l)}'; do
    v=$(rms "$1" "$t" 0.1)
    if above "$v" "$LOUD"; then
      printf '%s\n' "$t"
      return 0
    fi
    t=$(awk -v t="$t" 'BEGIN{printf "%.1f", t + 0.1}')
  done
}

# silences FILE: the silent stretches between sounds of a recording, in
# seconds (0.1 s steps), one per line.
silences() {
  local len t v state=off gap=0 started=0
  len=$(soxi -D "$1" 2>/dev/null) || return 0
  t=0
  while awk -v t="$t" -v l="$len" 'BEGIN{exit !(t + 0.1 <= l)}'; do
    v=$(rms "$1" "$t" 0.1)
    if above "$v" "$LOUD"; then
      [ "$state" = off ] && [ "$started" = 1 ] && printf '%.1f\n' "$gap"
      state=on started=1 gap=0
    else
      state=off
      gap=$(awk -v g="$gap" 'BEGIN{printf "%.1f", g + 0.1}')
    fi
    t=$(awk -v t="$t" 'BEGIN{printf "%.1f", t + 0.1}')
  done
}

# tone_wav SECONDS HZ FILE / tone_mp3 SECONDS HZ FILE: a 0.5-amplitude sine
# (stereo, 44.1 kHz) as WAV, or as a 128 kbit/s MP3 made from one.
tone_wav() { sox -n -r 44100 -c 2 -b 16 "$3" synth "$1" sine "$2" vol 0.5; }
tone_mp3() {
  local wav="${3%.*}.tone.wav"
  tone_wav "$1" "$2" "$wav" && lame --quiet -b 128 "$wav" "$3" && rm -f "$wav"
}
