#!/bin/sh
# Runs a Windows program under the Wine loader that fits the prefix (also CTest's
# emulator). A 64-bit prefix gets the 64-bit loader itself: the `wine` command picks
# the 32-bit one whenever wine32 is installed, and that one cannot start on a kernel
# without 32-bit user code.
export WINEDEBUG="${WINEDEBUG:--all}"
arch=${WINEARCH:-}
if [ -z "$arch" ]; then
    arch=$(sed -n 's/^#arch=//p' "${WINEPREFIX:-$HOME/.wine}/system.reg" 2>/dev/null | head -n 1)
fi
if [ "$arch" = win64 ]; then
    for loader in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
        if [ -n "$loader" ] && [ -x "$loader" ]; then
            export WINELOADER="$loader"
            exec "$loader" "$@"
        fi
    done
fi
exec wine "$@"
