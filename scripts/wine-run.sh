#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix and passes its
# exit code on. ctest uses it as the emulator of the cross-built tests.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_prefix_init || exit 125
exec "$WINE" "$@"
