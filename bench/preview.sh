#!/usr/bin/env bash
# Preview and start-up timings of Tovrik.exe under Wine (see preview_bench.py).
# Usage: bench/preview.sh [--rounds N]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
# The 32-bit build, or the 64-bit stand-in where the kernel runs no 32-bit
# program (see scripts/wine-env.sh).
source "$root/scripts/wine-env.sh"
build=$TOVRIK_WINDOWS_BUILD
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOVRIK_WINDOWS_TOOLCHAIN" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
source "$root/scripts/display.sh"
start_windows_session

bin=$build/bin
export TOVRIK_EXE=$bin/Tovrik.exe
export TOVRIK_E2E_LAUNCHER=$build/tests/e2e/e2e_launcher.exe
export TOVRIK_E2E_AGENT=$build/tests/e2e/tovrik_e2e_agent.dll
export TOVRIK_IMAGE_PLUGIN=$bin/plugins/tovrik-image.spi
python3 "$root/bench/preview_bench.py" --pictures "$build/tests/bundled-plugin/pictures" \
  --memory-tool "$build/bench/decoder_memory.exe" "$@"
