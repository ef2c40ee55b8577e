#!/usr/bin/env bash
# Builds the 32-bit product and packs build/release/Caldrift-<version>.zip:
# Caldrift.exe, the shipped Setting.INI and the users' read-me.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
version=$(sed -n 's/^project(Caldrift VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cmake --preset win32 >/dev/null
cmake --build --preset win32
out=build/release
rm -rf "$out/Caldrift-$version" "$out/Caldrift-$version.zip"
mkdir -p "$out/Caldrift-$version"
cp build/win32/Caldrift.exe resources/Setting.INI "$out/Caldrift-$version/"
cp docs/LEGGIMI.txt "$out/Caldrift-$version/LEGGIMI - README.txt"
(cd "$out" && zip -q -r -X "Caldrift-$version.zip" "Caldrift-$version")
echo "$out/Caldrift-$version.zip"
