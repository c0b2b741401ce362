#!/bin/bash
# Usage: wine-run.sh [--dpi N] ARCH PREFIX PROGRAM.exe [ARGUMENTS...]
# Runs a Windows program under the project's Wine prefix PREFIX, a win64 or
# win32 one as ARCH says (created on first use, for a screen of N dots per
# inch, 96 when not given). Without a DISPLAY it starts a virtual one for the
# run and, when the program has ended, waits for the prefix's Wine processes
# and stops it. This is the emulator that ctest uses for the cross-built test
# programs.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-common.sh"

dpi=""
if [ "$1" == "--dpi" ]; then
    dpi=$2
    shift 2
fi
export WINEARCH=$1
prefix=$(realpath -m "$2")
shift 2
export WINEPREFIX=$prefix
tabulo_prefix_init "$prefix" "${dpi:-96}"
tabulo_start_display || exit 1

wine "$@"
status=$?

# A prefix at another resolution serves this one run: its virtual desktop
# goes with its last process, before the next test shows anything.
if [ -n "$TABULO_XVFB_PID" ] || [ -n "$dpi" ]; then
    wineserver -w
fi
tabulo_stop_display
exit $status
