#!/bin/sh
# Runs a cross-compiled Windows program under Wine (CTest's emulator).
export WINEDEBUG="${WINEDEBUG:--all}"
exec wine "$@"
