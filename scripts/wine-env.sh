# Sourced by the scripts that run Windows programs: one 32-bit Wine prefix per
# build folder, Japanese locale (ANSI code page 932), no crash dialog.
TOVRIK_ROOT=${TOVRIK_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

# True when the kernel executes 32-bit x86 programs, which Wine's loader
# for a 32-bit prefix is: a kernel started with its 32-bit emulation off
# refuses them with "Exec format error". Asked of Debian's 32-bit loader
# itself, so that the stand-in's commands below never answer for it.
machine_runs_32bit_programs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# On such a machine the same sources are built for 64-bit Windows
# (build-win64) and run under the 64-bit Wine, whose commands then come
# first on PATH: a stand-in that checks the program's behaviour, not the
# 32-bit program that ships. TOVRIK_WINE_STAND_IN=64 says so to every
# script and test started from here.
if [[ -z "${TOVRIK_WINE_STAND_IN:-}" ]] && ! machine_runs_32bit_programs; then
  export TOVRIK_WINE_STAND_IN=64
fi
if [[ "${TOVRIK_WINE_STAND_IN:-}" == 64 ]]; then
  case ":$PATH:" in
    *":$TOVRIK_ROOT/scripts/wine64:"*) ;;
    *) export PATH=$TOVRIK_ROOT/scripts/wine64:$PATH ;;
  esac
  export WINEARCH=win64
  export WINEPREFIX=${WINEPREFIX:-$TOVRIK_ROOT/build-win64/wineprefix}
  TOVRIK_WINDOWS_BUILD=$TOVRIK_ROOT/build-win64
  TOVRIK_WINDOWS_TOOLCHAIN=$TOVRIK_ROOT/cmake/mingw-w64-x86_64.cmake
  TOVRIK_WINDOWS_STRIP=x86_64-w64-mingw32-strip
else
  export WINEARCH=win32
  export WINEPREFIX=${WINEPREFIX:-$TOVRIK_ROOT/build-win/wineprefix}
  TOVRIK_WINDOWS_BUILD=$TOVRIK_ROOT/build-win
  TOVRIK_WINDOWS_TOOLCHAIN=$TOVRIK_ROOT/cmake/mingw-w64-i686.cmake
  TOVRIK_WINDOWS_STRIP=i686-w64-mingw32-strip
fi
export LANG=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers at prefix creation.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Creates the prefix once, with Wine's crash dialog turned off so a crashing
# test fails instead of hanging on a dialog nobody answers.
prepare_wine_prefix() {
  if [[ -f "$WINEPREFIX/.tovrik-ready" ]]; then return 0; fi
  echo "wine: creating the prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tovrik-ready"
}

# A wineserver kept alive makes each Wine start cost milliseconds instead of
# seconds. Its services start here, detached, so that no test's output pipe
# is inherited (and held open) by them.
start_wineserver() {
  setsid wineserver -p 60 </dev/null >/dev/null 2>&1 &
  setsid wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}
