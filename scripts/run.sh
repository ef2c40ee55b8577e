#!/usr/bin/env bash
# Builds Caldrift and runs it. On Windows it runs the program itself; elsewhere
# it runs it under Wine, with a simulated PSP stick (a folder holding PSP and
# PSP\SAVEDATA) mapped as removable drive E:.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

case "$(uname -s)" in
MINGW* | MSYS* | CYGWIN*)
    cmake --preset windows && cmake --build --preset windows
    exec build/windows/Release/Caldrift.exe
    ;;
esac

scripts/install-deps.sh
cmake --preset win32 >/dev/null && cmake --build --preset win32
arch=$(scripts/wine-arch.sh --say)
if [ "$arch" = win64 ]; then
    cmake --preset win64 >/dev/null && cmake --build --preset win64
fi

if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=$(scripts/xvfb-start.sh "$top/build/run-xvfb.pid")
    export DISPLAY
    echo "No display: Caldrift runs on the virtual screen $DISPLAY (look with: import -display $DISPLAY -window root shot.png)"
fi
export WINEARCH=$arch WINEPREFIX="$top/build/run/prefix${arch#win}" WINEDEBUG=-all
stick="$top/build/run/stick"
mkdir -p "$stick/PSP/SAVEDATA" "$top/build/run/app"
scripts/wine-prefix.sh "$WINEPREFIX" "$stick" removable
cp "build/$arch/Caldrift.exe" "$top/build/run/app/"
echo "The simulated PSP stick is $stick (drive E: in Wine)."
cd "$top/build/run/app" && exec "$top/scripts/wine-run.sh" Caldrift.exe
