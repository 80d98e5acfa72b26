#!/usr/bin/env bash
# Tests of the soak's judging (e2e/soak_judge.py) on recorded sample files
# (e2e/soak-samples/<kind>-<seconds>s.csv, recorded by e2e/soak.sh from real
# runs without growth), for each of them:
#   - as recorded it passes;
#   - private memory 2 % higher, or one handle or one GDI object more, from
#     the end of the baseline window on, fails and names what grew;
#   - one handle more in one sample of the end window, as while a piece
#     restarts, passes;
# and a run too short for two separate windows cannot be judged.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

JUDGE="$E2E_HARNESS_DIR/soak_judge.py"
SAMPLES="$E2E_HARNESS_DIR/soak-samples"
WINDOW=10

e2e_begin_offline soak_judge

# changed CSV COLUMN FROM HOW: the samples file with the column changed in
# every sample after FROM seconds: HOW is "+N" (add N), "*F" (multiply by F,
# rounded up) or "one+N" (add N to the first of those samples only).
changed() {
  awk -F, -v OFS=, -v col="$2" -v from="$3" -v how="$4" '
    NR == 1 { for (i = 1; i <= NF; i++) if ($i == col) c = i; print; next }
    $1 + 0 > from {
      k++
      if (how ~ /^\+/) $c += substr(how, 2)
      else if (how ~ /^\*/) { v = $c * substr(how, 2); $c = (v == int(v)) ? v : int(v) + 1 }
      else if (how ~ /^one\+/ && k == 1) $c += substr(how, 5)
    }
    { print }' "$1"
}

# judged FILE DURATION: runs the judge, its output in VERDICT, its exit code in RC.
judged() {
  VERDICT=$(python3 "$JUDGE" "$1" --duration "$2" --window "$WINDOW" --max-growth 1)
  RC=$?
  printf '%s\n' "$VERDICT" | sed 's/^/    /'
}

# expect NAME CODE [GREP]: the last judgement exited CODE (and names GREP).
expect() {
  local what="$1: exit code $2${3:+, names '$3'}"
  if [ "$RC" -eq "$2" ] && { [ -z "${3:-}" ] || grep -q "$3" <<<"$VERDICT"; }; then
    pass "$what"
  else
    fail "$what (exit code $RC; verdict: $(paste -sd '|' <<<"$VERDICT"))"
  fi
}

shopt -s nullglob
files=("$SAMPLES"/*-*s.csv)
shopt -u nullglob
check "recorded sample files are there (${#files[@]})" test "${#files[@]}" -ge 3
durations=""
for f in "${files[@]}"; do
  name=$(basename "$f" .csv)
  duration=${name##*-}
  duration=${duration%s}
  durations+=" $duration"
  e2e_case "$name" 60
  baseline_end=$(( (duration >= 180 ? 60 : duration / 3) + WINDOW ))
  work="$E2E_TEST_WORK/$name"
  mkdir -p "$work"
  last=$(tail -n 1 "$f" | cut -d, -f1)
  check "$name: recorded up to its full length ($last s of $duration)" at_least "$last" $((duration - 2))

  judged "$f" "$duration"
  expect "$name as recorded" 0 "no growth"

  changed "$f" private_kb "$baseline_end" '*1.02' >"$work/private.csv"
  judged "$work/private.csv" "$duration"
  expect "$name, private memory +2 %" 1 "GROWTH: private memory grew"

  changed "$f" handles "$baseline_end" '+1' >"$work/handles.csv"
  judged "$work/handles.csv" "$duration"
  expect "$name, one handle more" 1 "GROWTH: handles grew by 1"

  changed "$f" gdi "$baseline_end" '+1' >"$work/gdi.csv"
  judged "$work/gdi.csv" "$duration"
  expect "$name, one GDI object more" 1 "GROWTH: GDI objects grew by 1"

  changed "$f" handles "$((duration - WINDOW / 2))" 'one+1' >"$work/restart.csv"
  judged "$work/restart.csv" "$duration"
  expect "$name, a handle more in one end sample only (a restart)" 0 "no growth"
done
check "recorded files of 60 s and of 1800 s are among them ($durations)" \
  eval "grep -qw 60 <<<'$durations' && grep -qw 1800 <<<'$durations'"

e2e_case "a run too short for two windows"
f="${files[0]:-/dev/null}"
awk -F, 'NR == 1 || $1 + 0 <= 30' "$f" >"$E2E_TEST_WORK/short.csv"
judged "$E2E_TEST_WORK/short.csv" 30
expect "30 s of samples" 2 "too short"
head -n 1 "$f" >"$E2E_TEST_WORK/empty.csv"
judged "$E2E_TEST_WORK/empty.csv" 60
expect "no samples" 2
awk -F, -v OFS=, 'NR == 40 { $3 = "" } { print }' "$f" >"$E2E_TEST_WORK/hole.csv"
judged "$E2E_TEST_WORK/hole.csv" 60
expect "a sample without its handle count" 2

e2e_end
