#!/bin/sh
# Makes a Wine prefix (once for the installed Wine packages) and maps a folder into it
# as drive E:, removable like a Memory Stick in its reader, or fixed like a hard disk.
# usage: wine-prefix.sh PREFIX STICK_FOLDER [removable|fixed]
# WINEARCH (win32 or win64) names the prefix's architecture; scripts/wine-arch.sh by default.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
stick=$2
kind=${3:-removable}
arch=${WINEARCH:-$("$here/wine-arch.sh")}
export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine() { "$here/wine-run.sh" "$@"; }

# A prefix made under other Wine packages can fail outright: make it anew.
packages=$(dpkg-query -W wine32:i386 wine64 wine 2>/dev/null || true)
if [ -f "$prefix/system.reg" ] && { [ "$(cat "$prefix/wine-packages" 2>/dev/null)" != "$packages" ] ||
    ! grep -qx "#arch=$arch" "$prefix/system.reg"; }; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$prefix"
fi
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    timeout 300 "$here/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wineboot made no $arch prefix in $prefix" >&2; exit 1; }
    printf '%s\n' "$packages" >"$prefix/wine-packages"
fi

# In a 64-bit prefix reg.exe may be the 32-bit one, which writes the 32-bit view.
view=
[ "$arch" = win64 ] && view=/reg:64
mkdir -p "$stick"
ln -sfn "$(cd "$stick" && pwd)" "$prefix/dosdevices/e:"
if [ "$kind" = removable ]; then
    wine reg add 'HKLM\Software\Wine\Drives' /v e: /t REG_SZ /d floppy /f $view >/dev/null
else
    wine reg delete 'HKLM\Software\Wine\Drives' /v e: /f $view >/dev/null 2>&1 || true
fi
# Without a window manager on the virtual screen, Wine would wait up to a
# second for one each time a window hides: let Wine manage no window.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f $view >/dev/null
# The drive table is read when the Wine server starts.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
