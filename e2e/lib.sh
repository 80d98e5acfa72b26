# The harness of the end-to-end tests of the Windows build under Wine and
# Xvfb: the generic harness (harness.sh), the screen helpers (screen.sh) and
# the Wine session with the saver in a per-test folder (wine.sh).
#
# A test script sources this file, calls e2e_begin, runs its cases and ends
# with e2e_end (which exits 1 when a check failed).

# shellcheck source=harness.sh
. "$(dirname "${BASH_SOURCE[0]}")/harness.sh"
# shellcheck source=screen.sh
. "$E2E_HARNESS_DIR/screen.sh"
# shellcheck source=wine.sh
. "$E2E_HARNESS_DIR/wine.sh"
