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

echo "== Windows build, tests under Wine"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null
cmake --build build-win -j"$jobs"
source "$root/scripts/wine-env.sh"
if ! machine_runs_32bit_programs; then
  # A kernel started with its 32-bit emulation off executes no 32-bit x86
  # code at all, and the program and every test of it are 32-bit. The build
  # above still proves everything compiles and links; the packages are made
  # without Wine.
  echo "== WINDOWS TESTS NOT RUN: this machine's kernel runs no 32-bit x86 program" \
       "(dmesg: \"32-bit emulation disabled\"), so Wine cannot start the program or its tests." >&2
  (cd build-win && ctest --output-on-failure --timeout 900 -R '^package_build$')
  exit 0
fi
source "$root/scripts/display.sh"
start_windows_session
if ! wine build-win/tests/support/code_page_check.exe </dev/null >build-win/code-page.txt 2>&1; then
  echo "Wine's ANSI code page is not 932 (is the ja_JP.UTF-8 locale generated?):" >&2
  cat build-win/code-page.txt >&2
  exit 1
fi
(cd build-win && ctest -j"$jobs" --output-on-failure --timeout 600)
