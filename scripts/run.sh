#!/bin/bash
# Builds the program and starts it under Wine with the example database
# (examples/example.txt, copied to build/run/ so that the shipped one stays
# as it is; the program keeps its settings.txt there too), in a Wine prefix
# of its own (build/run/wineprefix).
#
# With an X display the window opens there. Without one, the program runs
# on a virtual display: the script waits for the window, writes a
# screenshot (build/run/screenshot.png, or the file given) and closes the
# program again.
#
# TABULO_DPI sets the screen's resolution in dots per inch (96 when unset;
# 144 is 150 % scaling). Each other resolution has a folder, a prefix and a
# settings.txt of its own: build/run-144dpi/ and so on.
#
#   scripts/run.sh [SCREENSHOT.png]
#   TABULO_DPI=144 scripts/run.sh shot.png
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. scripts/wine-common.sh

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tabulo probe

dpi=${TABULO_DPI:-96}
run=build/run
[ "$dpi" == 96 ] || run=build/run-${dpi}dpi
export WINEPREFIX=$root/$run/wineprefix
tabulo_prefix_init "$WINEPREFIX" "$dpi"
# Without Courier New, Wine draws the program's font in a proportional face;
# a monospaced stand-in shows the program as it looks on Windows. Only this
# prefix gets it: the tests see the fonts as they are.
if [ -z "$(fc-list ':family=Courier New')" ]; then
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
    wineserver -w
fi
cp examples/example.txt "$run/example.txt"
tabulo=$root/build/win64/app/tabulo.exe
probe() { wine "$root/build/win64/tests/probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

if [ -n "${DISPLAY:-}" ]; then
    cd "$run"
    exec wine "$tabulo" example.txt
fi

screenshot=$(realpath -m "${1:-$run/screenshot.png}")
mkdir -p "$(dirname "$screenshot")"
tabulo_start_display
trap 'wineserver -k 2>/dev/null; tabulo_stop_display' EXIT
(cd "$run" && exec wine "$tabulo" example.txt) >/dev/null 2>&1 &
program=$!
probe wait 30000 >/dev/null

# Show a record, then photograph the window with a small margin.
xdotool mousemove $(probe item 3) click 1
sleep 1
read -r _ x y width height <<<"$(probe rects | head -n 1)"
import -window root -crop "$((width + 16))x$((height + 16))+$((x - 8))+$((y - 8))" +repage "$screenshot"
echo "screenshot written to $screenshot"

# Close it as a user would: the close box, then Yes.
xdotool key alt+F4
probe wait-box 10000 >/dev/null && xdotool mousemove $(probe control 6) click 1
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
