#!/usr/bin/env bash
# The whole user story of Caldrift under Wine on a 1280x1024 virtual screen,
# from start to Exit. Screenshots of every step: build/acceptance/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
arch=$(scripts/wine-arch.sh --say)
if [ "$arch" = win64 ]; then
    cmake --preset win64 >/dev/null
    cmake --build --preset win64
fi
export CALDRIFT_WINE_ARCH=$arch CALDRIFT_WIN_BUILD="$(pwd)/build/$arch"
python3 -m unittest discover -s tests/acceptance -p 'test_*.py' -v
echo "screenshots: build/acceptance/screenshots/"
