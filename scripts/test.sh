#!/usr/bin/env bash
# Every test of Tovrik: native unit tests (plain, ThreadSanitizer,
# AddressSanitizer+UBSan), then the Windows build's tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)

"$root/scripts/setup.sh"

run_native() {  # build folder, extra cmake options...
  local build=$1; shift
  cmake -S . -B "$build" "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  (cd "$build" && ctest -j"$jobs" --output-on-failure --timeout 300)
}

echo "== native unit tests"
run_native build
echo "== native unit tests under ThreadSanitizer"
run_native build-tsan -DTOVRIK_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug
echo "== native unit tests under AddressSanitizer and UBSan"
run_native build-asan -DTOVRIK_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug

source "$root/scripts/wine-env.sh"
if [[ "${TOVRIK_WINE_STAND_IN:-}" == 64 ]]; then
  # A kernel started with its 32-bit emulation off executes no 32-bit x86
  # code at all, and the program that ships is 32-bit. The packages' release
  # build still proves the 32-bit program compiles and links (the packages
  # are made without Wine); every Windows test then runs on the 64-bit
  # build of the same sources under the 64-bit Wine.
  echo "== 32-bit Windows build and packages (this machine's kernel runs no 32-bit x86 program:" \
       "dmesg says \"32-bit emulation disabled\")"
  "$root/scripts/package.sh"
  echo "== Windows tests on the 64-bit stand-in build, under the 64-bit Wine"
else
  echo "== Windows build, tests under Wine"
fi
build=$TOVRIK_WINDOWS_BUILD
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOVRIK_WINDOWS_TOOLCHAIN" >/dev/null
cmake --build "$build" -j"$jobs"
source "$root/scripts/display.sh"
start_windows_session
if ! wine "$build/tests/support/code_page_check.exe" </dev/null >"$build/code-page.txt" 2>&1; then
  echo "Wine's ANSI code page is not 932 (is the ja_JP.UTF-8 locale generated?):" >&2
  cat "$build/code-page.txt" >&2
  exit 1
fi
# One more than the cores: the end-to-end suites, each in a session of its
# own, mostly wait for the program.
(cd "$build" && ctest -j"$((jobs + 1))" --output-on-failure --timeout 600)
