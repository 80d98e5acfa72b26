#!/usr/bin/env bash
# Installs what is missing, checks the C++ sources against .clang-format,
# builds the linux, asan, windows, fuzz and web presets
# and runs every test suite: the native unit tests (plain and under the
# address and undefined-behaviour sanitizers), the cross-built unit tests
# under Wine and as WebAssembly under Node, each fuzz target for a bounded
# time, and the end-to-end tests (e2e/test_*.sh) against the real
# tessellane.scr under Wine and Xvfb, those of the native Linux program
# (e2e/linux/test_*.sh) under Xvfb, and those of the site in headless
# Chromium (e2e/web/test_*.py).
# Ends with the line "N passed, N failed"; exits non-zero if anything failed.
#
# FUZZ_SECONDS (default 20) bounds each fuzz target's run. Every suite has a
# time limit (SUITE_SECONDS, default 900 s; builds BUILD_SECONDS, 2400 s): a
# suite still running then is ended and fails with its name.
set -uo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$REPO"

FUZZ_SECONDS="${FUZZ_SECONDS:-20}"
SUITE_SECONDS="${SUITE_SECONDS:-900}"
BUILD_SECONDS="${BUILD_SECONDS:-2400}"
LOGS="$REPO/build/test-logs"
PASSED=0
FAILED=0
FAILED_NAMES=()
# Seen by the suites, which run in a child bash.
export REPO LOGS FUZZ_SECONDS
T0=$SECONDS

# suite NAME COMMAND...: runs one suite, output to its log (shown on failure),
# within its time limit: BUILD_SECONDS for builds and installs, else
# SUITE_SECONDS. COMMAND may be a function of this script (run by a child
# bash, so that timeout can end it and everything it started).
suite() {
  local name="$1"; shift
  local log="$LOGS/${name//[^A-Za-z0-9_.-]/_}.log" t=$SECONDS rc limit="$SUITE_SECONDS"
  case "$name" in
    build*|install*) limit="$BUILD_SECONDS" ;;
    fuzz*) limit=$((FUZZ_SECONDS + 300)) ;;
  esac
  printf '%-40s ' "$name"
  if declare -F "$1" >/dev/null; then export -f "$1"; fi
  timeout -k 10 "$limit" bash -c '"$@"' suite "$@" >"$log" 2>&1
  rc=$?
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "TIMEOUT: suite '$name' ran longer than $limit s" >>"$log"
  fi
  if [ "$rc" -eq 0 ]; then
    PASSED=$((PASSED + 1))
    printf 'ok      (%ds)\n' $((SECONDS - t))
  else
    FAILED=$((FAILED + 1))
    FAILED_NAMES+=("$name")
    printf 'FAILED  (%ds, exit %d, log %s)\n' $((SECONDS - t)) "$rc" "${log#"$REPO"/}"
    # The first errors (compilers, ctest, e2e checks) with the lines that led
    # to them (an e2e check logs its measurements just before it), then the
    # end of the log.
    grep -E -B3 '(error|Error)[: ]|^FAIL|\*\*\*Failed|Failed  |ERROR: |==ERROR|TIMEOUT' "$log" | head -n 30 | sed 's/^/    ! /'
    tail -n 15 "$log" | sed 's/^/    | /'
  fi
  return "$rc"
}

finish() {
  echo
  echo "Total time: $((SECONDS - T0)) s"
  [ ${#FAILED_NAMES[@]} -eq 0 ] || printf 'Failed: %s\n' "${FAILED_NAMES[*]}"
  echo "$PASSED passed, $FAILED failed"
  [ "$FAILED" -eq 0 ]
  exit $?
}

mkdir -p "$LOGS"
suite "install dependencies" bash scripts/install-deps.sh || finish

# build PRESET: configure and build; -k builds everything that can be built,
# so one broken target does not keep the others (and their tests) from running.
build() {
  cmake --preset "$1" && cmake --build --preset "$1" -- -k
}

# --- the C++ sources are written in the style of .clang-format ---
format_check() { git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; }
suite "format" format_check

# --- native unit tests ---
if suite "build linux" build linux; then
  suite "unit tests (linux)" ctest --preset linux -j2
fi
# The same cases under AddressSanitizer and UndefinedBehaviorSanitizer.
if suite "build asan" build asan; then
  suite "unit tests (asan, ubsan)" ctest --preset asan -j2
fi

# --- cross-built unit tests under Wine ---
windows_unit_tests() {
  (
    . scripts/wine-env.sh
    # Some tests open real windows: give them a screen of their own.
    trap wine_session_stop EXIT
    wine_session_start 1024x768x24 || exit 1
    ctest --preset windows
  )
}
if suite "build windows" build windows; then
  suite "unit tests (windows, Wine)" windows_unit_tests
fi
# The end-to-end tests need only the saver and the test tools: they run even
# when some other target failed, as long as the saver itself is up to date.
saver_built=0
if [ -f build/windows/CMakeCache.txt ] &&
   timeout -k 10 "$BUILD_SECONDS" cmake --build --preset windows --target tessellane >/dev/null 2>&1; then
  saver_built=1
fi
# The release ZIP: the package target, then what a user finds in it.
if [ "$saver_built" -eq 1 ]; then
  suite "package (windows)" bash scripts/check-package.sh
fi

# --- the browser build: the core's unit tests under Node, the site ---
if suite "build web" build web; then
  suite "unit tests (web, Node)" ctest --preset web
fi

# --- fuzz targets ---
fuzz_one() {
  local exe="$1" name work corpus dict=()
  name="$(basename "$exe" _fuzz)"
  # Seeds live in fuzz/corpus/<target without _fuzz>, or under its first word.
  corpus="$REPO/fuzz/corpus/$name"
  [ -d "$corpus" ] || corpus="$REPO/fuzz/corpus/${name%%_*}"
  [ -f "$REPO/fuzz/${name%%_*}.dict" ] && dict=(-dict="$REPO/fuzz/${name%%_*}.dict")
  work="$(mktemp -d)"
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
  # Run in the work folder: crash files land there, never in the source tree.
  (cd "$work" && "$exe" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 "${dict[@]}" "$work")
  local rc=$?
  if [ "$rc" -ne 0 ]; then
    mkdir -p "$LOGS/fuzz-crashes"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$LOGS/fuzz-crashes/" 2>/dev/null
  fi
  rm -rf "$work"
  return "$rc"
}
# fuzz_pair EXE...: the targets at once, each output shown after the other's;
# fails when any of them does.
fuzz_pair() {
  local exe pids=() rc=0 pid
  for exe in "$@"; do
    fuzz_one "$exe" >"$LOGS/$(basename "$exe").out" 2>&1 &
    pids+=("$!")
  done
  for pid in "${pids[@]}"; do wait "$pid" || rc=1; done
  for exe in "$@"; do
    echo "== $(basename "$exe")"
    cat "$LOGS/$(basename "$exe").out"
  done
  return "$rc"
}
export -f fuzz_one
suite "build fuzz" build fuzz
if [ -d build/fuzz/fuzz ]; then
  shopt -s nullglob
  fuzzers=("$REPO"/build/fuzz/fuzz/*_fuzz)
  shopt -u nullglob
  if [ ${#fuzzers[@]} -eq 0 ]; then
    suite "fuzz targets present" false
  fi
  # Two at a time, a core each: the same time for each target, half the wait.
  for ((i = 0; i < ${#fuzzers[@]}; i += 2)); do
    pair=("${fuzzers[@]:i:2}")
    suite "fuzz $(basename -a "${pair[@]}" | paste -sd+) ${FUZZ_SECONDS}s" fuzz_pair "${pair[@]}"
  done
fi

# --- end-to-end tests ---
if [ "$saver_built" -eq 1 ]; then
  for t in e2e/test_*.sh; do
    [ -f "$t" ] || continue
    suite "e2e $(basename "$t" .sh)" bash "$t"
  done
  # A minute without growth (longer runs by hand: bash e2e/soak.sh 1800).
  suite "soak 60 s (wav)" bash e2e/soak.sh 60 wav
else
  suite "e2e tests (tessellane.scr did not build)" false
fi

# --- end-to-end tests of the native Linux program under Xvfb ---
if [ -x build/linux/tessellane ]; then
  for t in e2e/linux/test_*.sh; do
    [ -f "$t" ] || continue
    suite "e2e linux $(basename "$t" .sh)" bash "$t"
  done
else
  suite "e2e linux tests (build/linux/tessellane did not build)" false
fi

# --- end-to-end tests of the site in headless Chromium ---
if [ -f build/web/tessellane.wasm ] && [ -f build/web/sw.js ]; then
  for t in e2e/web/test_*.py; do
    [ -f "$t" ] || continue
    suite "e2e web $(basename "$t" .py)" /usr/bin/python3 "$t"
  done
else
  suite "e2e web tests (build/web was not put together)" false
fi

finish
