#!/usr/bin/env bash
# Runs one end-to-end suite (tests/e2e/test_SUITE.py), or one share of its
# tests, in a Wine session of its own: a copy of the prepared prefix, a
# display, a wineserver and a home folder (whose XDG trash is Wine's recycle
# bin) that no other run sees. The suites read the screen, end leftover
# programs and meet the program's one-instance rule, so only such sessions
# let them run side by side.
#   scripts/e2e-suite.sh SUITE [SHARE/SHARES]   (from ctest, with the suite's environment)
# SHARE/SHARES (from 1): every SHARES-th test in name order from the SHARE-th.
set -euo pipefail
suite=$1
share=${2:-1/1}
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$scripts/wine-env.sh"
source "$scripts/display.sh"

session=${TOVRIK_E2E_WORK:?}-sessions/$suite-${share/\//-of-}
rm -rf "$session"
mkdir -p "$session/home"
# The shared prefix was made and its server waited for before any test.
cp -a "$WINEPREFIX" "$session/prefix"
export WINEPREFIX=$session/prefix HOME=$session/home
unset DISPLAY
start_windows_session
cd "$scripts/../tests/e2e"
python3 - "test_$suite" "$share" <<'PYTHON'
import sys
import unittest


def each_test(suite):
    for test in suite:
        if isinstance(test, unittest.TestSuite):
            yield from each_test(test)
        else:
            yield test


module, share = sys.argv[1], sys.argv[2]
index, count = (int(number) for number in share.split("/"))
tests = sorted(each_test(unittest.defaultTestLoader.loadTestsFromName(module)), key=lambda test: test.id())
result = unittest.TextTestRunner(verbosity=2).run(unittest.TestSuite(tests[index - 1::count]))
sys.exit(0 if result.wasSuccessful() and result.testsRun else 1)
PYTHON
