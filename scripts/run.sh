#!/usr/bin/env bash
# Builds Tovrik (installing what is missing) and runs it:
#   scripts/run.sh               the window, under Wine on your X display
#   scripts/run.sh --find DIR    the command-line analysis of DIR (native)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

if (($# == 2)) && [[ $1 == --find ]]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$root/build" >/dev/null
  cmake --build "$root/build" -j"$jobs" --target tovrik-find >/dev/null
  exec "$root/build/cli/tovrik-find" "$2"
fi
if (($# != 0)); then
  echo "usage: scripts/run.sh | scripts/run.sh --find FOLDER" >&2
  exit 2
fi

# Checked before anything slow: without a display Wine cannot show a window.
if [[ -z "${DISPLAY:-}" ]] || ! command -v xdpyinfo >/dev/null || ! xdpyinfo >/dev/null 2>&1; then
  cat >&2 <<'MESSAGE'
Tovrik shows a window, and no X display is reachable (DISPLAY is unset or
the display does not answer). Run it from a desktop session, or start a
virtual display first, for example:
    Xvfb :1 & export DISPLAY=:1; scripts/run.sh
The analysis alone runs without a display: scripts/run.sh --find FOLDER
MESSAGE
  exit 1
fi

"$root/scripts/setup.sh"
# The 32-bit build, or the 64-bit one where the kernel runs no 32-bit program.
source "$root/scripts/wine-env.sh"
cmake -S "$root" -B "$TOVRIK_WINDOWS_BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOVRIK_WINDOWS_TOOLCHAIN" >/dev/null
cmake --build "$TOVRIK_WINDOWS_BUILD" -j"$jobs" --target Tovrik tovrik_image_plugin >/dev/null
prepare_wine_prefix
# The bundled plug-in lies in bin/plugins: point the settings dialog there.
exec wine "$TOVRIK_WINDOWS_BUILD/bin/Tovrik.exe"
