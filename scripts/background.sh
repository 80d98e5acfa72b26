# Background jobs and private X servers of the tests, the benchmarks and the
# run command. Source it.

# end_job PID: ends a background job of this shell and reaps it; one that
# ignores the request for 10 s is killed.
end_job() {
  kill "$1" 2>/dev/null || true
  local i
  for i in $(seq 1 100); do
    kill -0 "$1" 2>/dev/null || break
    [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" = Z ] && break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ] && kill -9 "$1" 2>/dev/null
  wait "$1" 2>/dev/null || true
}

# x_server_start SERVER ARGS...: starts an X server (Xvfb, Xephyr) that picks
# an unused display number itself; X_SERVER_PID is its process, X_SERVER_DISPLAY
# its display (":N"). Fails when it is not up within 20 s.
x_server_start() {
  local server="$1" fifo n=""
  shift
  fifo="$(mktemp -u "${TMPDIR:-/tmp}/${server,,}-displayfd.XXXXXX")"
  mkfifo "$fifo"
  # -displayfd: the server writes the display number when it is ready.
  "$server" -displayfd 9 "$@" -nolisten tcp -noreset 9>"$fifo" >/dev/null 2>&1 &
  X_SERVER_PID=$!
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "x_server_start: $server did not start" >&2
    kill "$X_SERVER_PID" 2>/dev/null || true
    X_SERVER_PID=""
    return 1
  fi
  X_SERVER_DISPLAY=":$n"
}

# Starts a private X server (Xvfb) on a free display number and exports
# DISPLAY; XVFB_PID is its process. Optional argument: the screen, WxHxDEPTH.
xvfb_start() {
  XVFB_PID=""
  x_server_start Xvfb -screen 0 "${1:-1024x768x24}" || return 1
  XVFB_PID=$X_SERVER_PID
  export DISPLAY="$X_SERVER_DISPLAY"
}

xvfb_stop() {
  if [ -n "${XVFB_PID:-}" ]; then
    end_job "$XVFB_PID"
    XVFB_PID=""
  fi
}
