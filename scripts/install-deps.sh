#!/usr/bin/env bash
# Installs what building and testing Caldrift needs on Debian, when it is missing.
# Runs as root (or through sudo). Safe to run again: it only installs what is absent.
# 32-bit Wine (wine32:i386) runs the shipped 32-bit program where the kernel runs
# 32-bit code; scripts/wine-arch.sh tells at run time which Wine is usable.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev clang libclang-rt-14-dev clang-format
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64
  xvfb xdotool x11-apps x11-utils imagemagick strace
  python3 file zip ffmpeg genisoimage locales
  zlib1g-dev libz-mingw-w64-dev
)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ "$(dpkg --print-architecture)" != i386 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
wine32=$(installed wine32:i386 || echo wine32:i386)
if [ ${#missing[@]} -gt 0 ] || [ -n "$wine32" ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index; a second try, or the indexes there are, will do.
  $SUDO apt-get update -q || { sleep 15; $SUDO apt-get update -q; } || true
  [ ${#missing[@]} -eq 0 ] || $SUDO apt-get install -y -q "${missing[@]}"
  # Without 32-bit Wine (an i386 index missing, say) the tests run the 64-bit build.
  [ -z "$wine32" ] || $SUDO apt-get install -y -q "$wine32" ||
    echo "== 32-bit Wine could not be installed: the tests will run the 64-bit build" >&2
fi

# Wine speaks Italian, as the tests want it, only where the glibc locale exists.
if ! locale -a | grep -qix 'it_IT.utf-\?8'; then
  $SUDO sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
