#!/usr/bin/env bash
# Builds the release of Tovrik for Windows (-O2, stripped, no debug
# information) and writes into dist/:
#   Tovrik-<version>-setup.exe     the per-user installer
#   Tovrik-<version>-portable.zip  the same files in one folder Tovrik\
#   SHA256SUMS                     for both
# What ships: every program of the build's bin/ folder, the plug-ins of
# bin/plugins/ and the read-me.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-release
dist=$root/dist
jobs=$(nproc)

"$root/scripts/setup.sh"

echo "package: release build in $build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTOVRIK_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
if [[ -z "$version" ]]; then
  echo "package: no project version in $build/CMakeCache.txt" >&2
  exit 1
fi

# The folder as it ships, the same for the installer and the zip.
staging=$build/staging
folder=$staging/Tovrik
if grep -q '[$"]' <<<"$folder"; then
  echo "package: the build folder's path holds \$ or \": the installer script cannot name it" >&2
  exit 1
fi
rm -rf "$staging"
mkdir -p "$folder/plugins"
shopt -s nullglob
programs=("$build"/bin/*.exe)
plugins=("$build"/bin/plugins/*.spi)
shopt -u nullglob
if [[ ! -f "$build/bin/Tovrik.exe" ]]; then
  echo "package: the build made no bin/Tovrik.exe" >&2
  exit 1
fi
cp "${programs[@]}" "$folder/"
((${#plugins[@]})) && cp "${plugins[@]}" "$folder/plugins/"
for binary in "$folder"/*.exe "$folder"/plugins/*.spi; do
  [[ -e "$binary" ]] && i686-w64-mingw32-strip --strip-all "$binary"
done
# The read-me as Windows users' editors read Japanese text: code page 932,
# CRLF line ends.
sed "s/@VERSION@/$version/" "$root/packaging/readme.txt" | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' \
  >"$folder/readme.txt"

# The installer installs exactly the staged files and its uninstaller removes
# exactly those: both lists come from this one walk.
files_nsh=$staging/files.nsh
{
  echo '!macro InstallFiles'
  while IFS= read -r dir; do
    relative=${dir#"$folder"}
    echo "  SetOutPath \"\$INSTDIR${relative//\//\\}\""
    find "$dir" -maxdepth 1 -type f -print | LC_ALL=C sort | while IFS= read -r file; do
      echo "  File \"$file\""
    done
  done < <(find "$folder" -type d -print | LC_ALL=C sort)
  echo '!macroend'
  echo '!macro UninstallFiles'
  (cd "$folder" && find . -type f -print | LC_ALL=C sort) | while IFS= read -r file; do
    file=${file#./}
    echo "  Delete \"\$INSTDIR\\${file//\//\\}\""
  done
  # Deepest first, and only when empty.
  (cd "$folder" && find . -mindepth 1 -type d -print | LC_ALL=C sort -r) | while IFS= read -r dir; do
    dir=${dir#./}
    echo "  RMDir \"\$INSTDIR\\${dir//\//\\}\""
  done
  echo '!macroend'
} >"$files_nsh"

mkdir -p "$dist"
setup=Tovrik-$version-setup.exe
portable=Tovrik-$version-portable.zip
rm -f "$dist"/Tovrik-*-setup.exe "$dist"/Tovrik-*-portable.zip "$dist/SHA256SUMS"

nsis_inputs=(-DPRODUCT="$build/packaging/product.nsh" -DFILES="$files_nsh" -DICON="$build/resources/tovrik.ico")
# The uninstaller first: the installer carries it.
uninstaller=$staging/uninstall.exe
echo "package: uninstall.exe"
makensis -V2 -INPUTCHARSET UTF8 "${nsis_inputs[@]}" -DOUTFILE="$uninstaller" "$root/packaging/uninstall.nsi"
echo "package: $setup"
makensis -V2 -INPUTCHARSET UTF8 "${nsis_inputs[@]}" -DUNINSTALLER="$uninstaller" -DOUTFILE="$dist/$setup" \
  "$root/packaging/tovrik.nsi"

echo "package: $portable"
(cd "$staging" && zip -q -X -r "$dist/$portable" Tovrik)

(cd "$dist" && sha256sum "$setup" "$portable" >SHA256SUMS)

installed=$(du -sb "$folder" | cut -f1)
echo "package: sizes in bytes: installer $(stat -c %s "$dist/$setup"), zip $(stat -c %s "$dist/$portable")," \
  "program folder $installed (without uninstall.exe and Tovrik.ini)"
