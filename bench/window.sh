#!/usr/bin/env bash
# The window's benchmark: the real Tovrik.exe under Xvfb and Wine on the mixed
# corpus, the 50,000-file tree and 200,000 files in 60,000 groups, beside
# tovrik-find.exe. See README.md.
#   bench/window.sh           5 rounds (about 25 minutes once the corpora exist)
#   bench/window.sh --quick   3 rounds
#   bench/window.sh --million also 1,000,000 files in 115,000 groups (about
#                             6 GB more on disk, minutes a run)
#   bench/window.sh recycle [--rounds N] [--baseline BUILD_WIN]
#                             the bulk recycle of 20,000 duplicates, beside an
#                             older Windows build in alternation with --baseline
# Corpora go to $TOVRIK_BENCH_DIR (default /tmp/tovrik-bench) and are reused.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
# The 32-bit build, or the 64-bit stand-in where the kernel runs no 32-bit
# program (see scripts/wine-env.sh).
source "$root/scripts/wine-env.sh"
build="${TOVRIK_BENCH_WIN_BUILD:-$TOVRIK_WINDOWS_BUILD}"
export WINEPREFIX="$build/wineprefix"
corpus_dir="${TOVRIK_BENCH_DIR:-/tmp/tovrik-bench}"
bench=window_bench.py
corpora=(mixed tree50k shape200k)
if [[ " $* " == *" --million "* ]]; then
  corpora+=(shape1m)
  set -- $(printf '%s\n' "$@" | grep -vx -- --million) --corpus "${corpora[@]}"
fi
if [[ "${1:-}" == recycle ]]; then
  shift
  bench=recycle_bench.py
  corpora=(dups20k)
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOVRIK_WINDOWS_TOOLCHAIN" > /dev/null
cmake --build "$build" -j"$(nproc)" --target Tovrik tovrik-find e2e_launcher tovrik_e2e_agent > /dev/null
python3 "$here/make_corpus.py" "$corpus_dir" "${corpora[@]}"

source "$root/scripts/display.sh"
start_windows_session
# The window bench runs the programs stripped, as they ship.
export TOVRIK_STRIP=$TOVRIK_WINDOWS_STRIP
python3 "$here/$bench" "$build" "$corpus_dir" "$@"
