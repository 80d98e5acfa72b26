#!/usr/bin/env bash
# The end-to-end tests' colour sampler reads the screen's colour as it is,
# whatever the screen's depth: a root window of two colours in turn, each
# component distinct. Run by ctest under xvfb-run: colour_sampler_test.sh SAMPLER.
set -u
sampler="$1" failed=0
for colour in FF8000 2040C0; do
  xsetroot -solid "#$colour"
  got=$("$sampler" 0.1 20 | awk 'END {print $2}')
  # A 16-bit screen holds 5 or 6 bits a component: the nearest 8-bit value.
  if [ "$(python3 -c "import sys; a, b = (bytes.fromhex(x) for x in sys.argv[1:]); print(max(abs(p - q) for p, q in zip(a, b)) <= 8)" "$colour" "$got")" != True ]; then
    echo "FAIL: the root's $colour read as ${got:-nothing}"
    failed=1
  fi
done
exit "$failed"
