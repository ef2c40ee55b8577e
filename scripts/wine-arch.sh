#!/bin/sh
# Prints win32 when this machine runs 32-bit programs under 32-bit Wine (so the shipped
# Caldrift.exe can be tested), win64 when it does not. It decides by building a tiny
# 32-bit program (scripts/bitness-probe.c) and starting it in a 32-bit prefix; the
# answer is kept in build/wine-arch until the kernel or the Wine packages change.
# CALDRIFT_WINE_ARCH=win32 or win64 answers without asking.
# usage: wine-arch.sh [--say]   (--say also tells, on stderr, which build runs)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build/wine-arch
answer=${CALDRIFT_WINE_ARCH:-}
stamp="$(uname -r) $( (dpkg-query -W wine32:i386 wine64 wine 2>/dev/null || true) | tr '\t\n' '= ')"
if [ -z "$answer" ] && [ -f "$dir/answer" ] && [ "$(cat "$dir/stamp" 2>/dev/null)" = "$stamp" ]; then
    answer=$(cat "$dir/answer")
fi
if [ -z "$answer" ]; then
    export WINEARCH=win32 WINEPREFIX="$dir/prefix32" WINEDLLOVERRIDES="mscoree,mshtml="
    [ -d "$WINEPREFIX" ] && { timeout 10 wineserver -k >/dev/null 2>&1 || true; }
    rm -rf "$dir"
    mkdir -p "$dir"
    answer=win64
    if i686-w64-mingw32-gcc -O2 -s -o "$dir/probe.exe" "$top/scripts/bitness-probe.c" >/dev/null 2>&1; then
        timeout 180 "$top/scripts/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
        status=0
        timeout 60 "$top/scripts/wine-run.sh" "$dir/probe.exe" >/dev/null 2>&1 </dev/null || status=$?
        [ "$status" -eq 32 ] && answer=win32
        timeout 10 wineserver -k >/dev/null 2>&1 || true
    fi
    echo "$stamp" >"$dir/stamp"
    echo "$answer" >"$dir/answer"
fi
if [ "${1:-}" = --say ]; then
    if [ "$answer" = win32 ]; then
        echo "== running the 32-bit Caldrift.exe under 32-bit Wine" >&2
    else
        echo "== this machine runs no 32-bit code: running the 64-bit build of the same sources" >&2
    fi
fi
echo "$answer"
