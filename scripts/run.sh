#!/usr/bin/env bash
# Builds Tovrik (installing what is missing) and runs it: for now the
# command-line analysis, tovrik-find, over the folder given.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if (($# != 1)); then
  echo "usage: scripts/run.sh FOLDER" >&2
  exit 2
fi
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target tovrik-find >/dev/null
exec "$root/build/cli/tovrik-find" "$1"
