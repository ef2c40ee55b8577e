#!/usr/bin/env bash
# Installs what building and testing Caldrift needs on Debian, when it is missing.
# Runs as root (or through sudo). Safe to run again: it only installs what is absent.
# Only the 64-bit Wine loader is installed: the tests run the x86-64 build under it, which
# also works on hosts whose kernel refuses to execute 32-bit user code.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64
  xvfb xdotool x11-apps x11-utils imagemagick
  python3 file zip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q "${missing[@]}"
