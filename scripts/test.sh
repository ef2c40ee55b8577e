#!/usr/bin/env bash
# Builds everything and runs every test: the core's unit tests, the Windows
# tests of the platform layer under Wine, and end-to-end runs of Caldrift.exe
# under Wine on a virtual screen. Installs what is missing first (Debian).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

scripts/install-deps.sh
arch=$(scripts/wine-arch.sh --say)

echo "== formatting"
scripts/check-format.sh

echo "== core unit tests (native)"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== core unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

echo "== a short fuzz run of the Setting.INI reader, the drop classifier and the file-header readers"
scripts/fuzz.sh 60

echo "== Caldrift.exe (32-bit) and the same sources built 64-bit"
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset win64 >/dev/null
cmake --build --preset win64

echo "== virtual screen and Wine prefix"
display=$(scripts/xvfb-start.sh "$top/build/xvfb.pid")
trap 'kill "$(cat "$top/build/xvfb.pid")" 2>/dev/null || true' EXIT
export DISPLAY=$display CALDRIFT_DISPLAY=$display
export WINEARCH=$arch WINEPREFIX="$top/build/e2e/prefix${arch#win}" WINEDEBUG=-all
export CALDRIFT_WINE_ARCH=$arch CALDRIFT_WINE_PREFIX=$WINEPREFIX CALDRIFT_WIN_BUILD="$top/build/$arch"
scripts/wine-prefix.sh "$WINEPREFIX" "$top/build/e2e/stick" removable

echo "== Windows tests of the platform layer (under Wine, build/$arch)"
ctest --preset "$arch"

echo "== end-to-end tests of Caldrift.exe (under Wine)"
python3 -m unittest discover -s tests/e2e -p 'test_*.py' -v

echo "== the whole user story (acceptance run)"
python3 -m unittest discover -s tests/acceptance -p 'test_*.py' -v
