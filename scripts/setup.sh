#!/usr/bin/env bash
# Installs what building and testing Tovrik needs on Debian 12, once: a second
# run with everything present only checks and returns.
set -euo pipefail

packages=(
  cmake g++ make python3 googletest libgtest-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386
  xvfb openbox xdotool x11-utils imagemagick
  locales fonts-ipafont-gothic
  nsis zip
)

# Installs those of the given packages that are missing.
install_missing() {
  local package status missing=()
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index now and then; the install
  # below says whether what it needs was had all the same.
  local attempt
  for attempt in 1 2 3; do
    apt-get update -q && break
    echo "setup: apt-get update failed (attempt $attempt), retrying" >&2
    sleep $((attempt * 5))
  done
  if ! apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    # With one architecture's security index missing, the 32-bit libraries
    # cannot follow their 64-bit twins to a security version; the release's
    # own versions of both always match.
    local codename
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "setup: installing again from $codename's own versions" >&2
    apt-get install -y -q --no-install-recommends -t "$codename" "${missing[@]}"
  fi
}

install_missing "${packages[@]}"
# A kernel started with its 32-bit emulation off cannot run the 32-bit
# Wine: the tests then run on a 64-bit build of the same sources under the
# 64-bit Wine (see wine-env.sh).
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  install_missing wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
fi

# Wine's ANSI code page is 932 only when the Japanese locale exists; the
# English one (code page 1252) is what a test of a non-Japanese Windows needs.
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    echo "setup: generating the $wanted.UTF-8 locale"
    sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >> /etc/locale.gen
    locale-gen >/dev/null
  fi
done
