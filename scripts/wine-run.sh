#!/bin/bash
# Usage: wine-run.sh ARCH PREFIX PROGRAM.exe [ARGUMENTS...]
# Runs a Windows program under the project's Wine prefix PREFIX, a win64 or
# win32 one as ARCH says (created on first use). Without a DISPLAY it starts
# a virtual one for the run and, when the program has ended, waits for the
# prefix's Wine processes and stops it. This is the emulator that ctest uses
# for the cross-built test programs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-common.sh"

export WINEARCH=$1
prefix=$(realpath -m "$2")
shift 2
export WINEPREFIX=$prefix
tabulo_prefix_init "$prefix"
tabulo_start_display || exit 1

wine "$@"
status=$?

if [ -n "$TABULO_XVFB_PID" ]; then
    wineserver -w
    tabulo_stop_display
fi
exit $status
