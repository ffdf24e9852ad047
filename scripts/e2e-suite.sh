#!/usr/bin/env bash
# Runs one end-to-end suite (tests/e2e/test_SUITE.py) in a Wine session of
# its own: a copy of the prepared prefix, a display, a wineserver and a home
# folder (whose XDG trash is Wine's recycle bin) that no other suite sees.
# The suites read the screen, end leftover programs and meet the program's
# one-instance rule, so only such sessions let them run side by side.
#   scripts/e2e-suite.sh SUITE    (from ctest, with the suite's environment)
set -euo pipefail
suite=$1
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$scripts/wine-env.sh"
source "$scripts/display.sh"

session=${TOVRIK_E2E_WORK:?}-sessions/$suite
rm -rf "$session"
mkdir -p "$session/home"
# The shared prefix was made and its server waited for before any test.
cp -a "$WINEPREFIX" "$session/prefix"
export WINEPREFIX=$session/prefix HOME=$session/home
unset DISPLAY
start_windows_session
cd "$scripts/../tests/e2e"
python3 -m unittest -v "test_$suite"
