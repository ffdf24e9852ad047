#!/usr/bin/env bash
# Preview and start-up timings of Tovrik.exe under Wine (see preview_bench.py).
# Usage: bench/preview.sh [--rounds N]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
cmake --build build-win -j"$(nproc)" >/dev/null
source "$root/scripts/wine-env.sh"
source "$root/scripts/display.sh"
start_windows_session

bin=build-win/bin
export TOVRIK_EXE=$root/$bin/Tovrik.exe
export TOVRIK_E2E_LAUNCHER=$root/build-win/tests/e2e/e2e_launcher.exe
export TOVRIK_E2E_AGENT=$root/build-win/tests/e2e/tovrik_e2e_agent.dll
export TOVRIK_IMAGE_PLUGIN=$root/$bin/plugins/tovrik-image.spi
python3 "$root/bench/preview_bench.py" --pictures "$root/build-win/tests/bundled-plugin/pictures" \
  --memory-tool "$root/build-win/bench/decoder_memory.exe" "$@"
