#!/bin/sh
# Makes (once) a Wine prefix and maps a folder into it as drive E:, removable
# like a Memory Stick in its reader, or fixed like a hard disk.
# usage: wine-prefix.sh PREFIX STICK_FOLDER [removable|fixed]
set -eu
prefix=$1
stick=$2
kind=${3:-removable}
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
mkdir -p "$stick"
ln -sfn "$(cd "$stick" && pwd)" "$prefix/dosdevices/e:"
if [ "$kind" = removable ]; then
    wine reg add 'HKLM\Software\Wine\Drives' /v e: /t REG_SZ /d floppy /f >/dev/null 2>&1
else
    wine reg delete 'HKLM\Software\Wine\Drives' /v e: /f >/dev/null 2>&1 || true
fi
# Without a window manager on the virtual screen, Wine would wait up to a
# second for one each time a window hides: let Wine manage no window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# The drive table is read when the Wine server starts.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
