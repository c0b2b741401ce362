#!/bin/bash
# End-to-end tests of the real program: tabulo.exe runs under Wine on a
# virtual display in a scratch working folder, is driven as a person would
# with real X input (xdotool), and is checked from outside: files on disk,
# and what probe.exe (a small Win32 helper in the same Wine prefix) reads
# from its windows.
#
#   tests/e2e/e2e.sh TABULO.EXE PROBE.EXE WINEPREFIX
set -u -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-common.sh"

tabulo=$(realpath "$1")
probe_exe=$(realpath "$2")
export WINEPREFIX=$3
tabulo_prefix_init "$WINEPREFIX"
tabulo_start_display || exit 1
# Wine processes of this prefix still running on another display would
# hold its desktop there.
[ -n "$TABULO_XVFB_PID" ] && wineserver -k 2>/dev/null
work=$(mktemp -d)
failures=0
pid=""

cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    if [ -n "$TABULO_XVFB_PID" ]; then
        wineserver -k 2>/dev/null
        tabulo_stop_display
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# --- helpers -----------------------------------------------------------------

probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

fail() {
    echo "FAIL: $scenario: $*"
    failures=$((failures + 1))
}

expect() { # expect WHAT ACTUAL EXPECTED
    if [ "$2" != "$3" ]; then
        fail "$1"
        echo "  expected: $(printf '%q' "$3")"
        echo "  actual:   $(printf '%q' "$2")"
    fi
}

begin() { # begin NAME: a fresh working folder for one scenario
    scenario=$1
    dir="$work/$(echo "$1" | tr ' ' '-')"
    mkdir -p "$dir"
    echo "scenario: $1"
}

start() { # start [ARGUMENTS...]: starts tabulo.exe in the scenario's folder
    (cd "$dir" && exec wine "$tabulo" "$@") >/dev/null 2>&1 &
    pid=$!
    probe wait 30000 >/dev/null || fail "the main window did not appear"
}

focus() {
    local window
    window=$(xdotool search --name '^Tabulo 0\.6' | head -n 1)
    [ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null
    sleep 0.2
}

key() { xdotool key --delay 60 "$@"; sleep 0.3; }
type_text() { xdotool type --delay 40 "$1"; sleep 0.3; }

# Moves the pointer only when it is not there yet: a move onto the same
# point can stall for seconds over a Wine window.
move_to() {
    local x y
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
    if [ "$X" != "$1" ] || [ "$Y" != "$2" ]; then
        xdotool mousemove "$1" "$2"
    fi
    sleep 0.1
}

click_at() { move_to "$1" "$2"; xdotool click "${3:-1}"; sleep 0.4; }

# Clicks a button of the open dialog by its control id (6 Yes, 7 No, 1 OK).
press() {
    local point
    point=$(probe control "$1") || { fail "no dialog with control $1"; return; }
    click_at $point
}

wait_box() { probe wait-box 10000 || fail "no dialog appeared"; }

click_item() { local point; point=$(probe item "$1") && click_at $point; }

wait_exit() {
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || { pid=""; return 0; }
        sleep 0.1
    done
    return 1
}

finish() { # ends the program if it still runs
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        wait_exit
    fi
    pid=""
}

items() { probe list | tail -n +2; }
selected() { probe list | head -n 1; }

# --- scenarios ---------------------------------------------------------------

begin "untitled start and exit"
start
expect "title" "$(probe title)" "Tabulo 0.6 - Untitled"
expect "empty list" "$(items)" ""
expect "panel" "$(probe panel)" $'name \nvalue \nenabled 0 0\nvisible 1'
placement=$(probe rects | head -n 1)
focus
key alt+F4
expect "exit question" "$(wait_box)" $'caption Confirm\ntext Are you sure you wish to exit?'
press 7
expect "window stays after No" "$(probe title)" "Tabulo 0.6 - Untitled"
[ -e "$dir/settings.txt" ] && fail "settings.txt written after No"
focus
key alt+F4
wait_box >/dev/null
press 6
wait_exit || fail "the program did not end after Yes"
read -r _ x y width height <<<"$placement"
expect "settings.txt" "$(tr -d '\r' <"$dir/settings.txt")" "{color=0}
{backgroundColor=16777215}
{fontName=Courier New}
{fontHeight=10}
{fontBold=false}
{fontItalic=false}
{windowX=$x}
{windowY=$y}
{windowWidth=$width}
{windowHeight=$height}
{windowMaximized=false}
{splitterX=200}"
finish

begin "command line file"
printf '{alpha=first\r\nsecond}\r\n{b{r}ace=x}\r\n' >"$dir/notes.txt"
start notes.txt
expect "title" "$(probe title)" "Tabulo 0.6 - notes.txt"
expect "items" "$(items)" $'alpha\nb{r}ace'
click_item 0
expect "panel" "$(probe panel)" $'name alpha\nvalue first\\r\\nsecond\nenabled 1 1\nvisible 1'
finish

begin "missing command line file"
start "no such file.txt"
expect "message box" "$(wait_box)" $'caption Error\ntext no such file.txt'
press 1
probe wait-no-box 5000 || fail "the message box stayed"
expect "title" "$(probe title)" "Tabulo 0.6 - Untitled"
finish

begin "add edit save and reopen"
start
focus
key ctrl+equal
type_text "Shopping {list}"
key Tab
type_text "milk"
key Return
type_text "bread\\"
key ctrl+KP_Add
type_text "a=b"
expect "items while typing" "$(items)" $'Shopping {list}\na=b'
key ctrl+s
wait_box >/dev/null
windows_dir="Z:${dir//\//\\}"
type_text "$windows_dir\\db.txt"
key Return
probe wait-no-box 5000 || fail "the save dialog stayed"
expect "title after save" "$(probe title)" "Tabulo 0.6 - $windows_dir\\db.txt"
expect "saved bytes" "$(od -An -c "$dir/db.txt" | tr -s ' ')" \
    "$(printf '{Shopping \\olist\\c=milk\r\nbread\\\\}\r\n{a\\=b=}\r\n' | od -An -c | tr -s ' ')"
finish
start db.txt
expect "reopened items" "$(items)" $'Shopping {list}\na=b'
click_item 0
expect "reopened value" "$(probe panel | sed -n 2p)" 'value milk\r\nbread\\'
finish

begin "delete key"
printf '{one=1}\r\n{two=2}\r\n{three=3}\r\n' >"$dir/db.txt"
start db.txt
click_item 1
key Delete
expect "remove question" "$(wait_box)" $'caption Confirm\ntext Remove the selected record?'
press 7
expect "kept after No" "$(items)" $'one\ntwo\nthree'
focus
click_item 1
key Delete
wait_box >/dev/null
press 6
expect "removed after Yes" "$(items)" $'one\nthree'
expect "nothing selected" "$(selected)" "selected -1"
focus
key ctrl+s
expect "saved" "$(tr -d '\r' <"$dir/db.txt")" $'{one=1}\n{three=3}'
finish

begin "drag to reorder"
printf '{A=a}\r\n{B=b}\r\n{C=c}\r\n{D=d}\r\n{E=e}\r\n' >"$dir/db.txt"
start db.txt
read -r ax ay <<<"$(probe item 0)"
read -r dx dy <<<"$(probe item 3)"
move_to "$ax" "$ay"
xdotool mousedown 1
sleep 0.3
for step in 1 2 3 4 5 6; do
    xdotool mousemove "$ax" $((ay + (dy - ay) * step / 6))
    sleep 0.15
done
xdotool mouseup 1
sleep 0.5
expect "order after drag" "$(items)" $'B\nC\nA\nD\nE'
expect "moved record selected" "$(selected)" "selected 2"
focus
key ctrl+s
expect "saved order" "$(tr -d '\r' <"$dir/db.txt")" $'{B=b}\n{C=c}\n{A=a}\n{D=d}\n{E=e}'
finish

begin "context menu"
printf '{b=1}\r\n{A=2}\r\n{c=3}\r\n' >"$dir/db.txt"
start db.txt
click_at $(probe item 1) 3
expect "item under the cursor selected" "$(selected)" "selected 1"
expect "its record shown" "$(probe panel | head -n 1)" "name A"
key c # "Sort Des&cending"
expect "sorted by the menu" "$(items)" $'c\nb\nA'
finish

begin "forged drag notification from another program"
printf '{a=1}\r\n{b=2}\r\n' >"$dir/db.txt"
start db.txt
probe forge-drag || fail "the program stopped answering"
# Input comes after posted messages: once the click shows, the forged one was handled.
click_item 1
expect "still running and answering" "$(selected)" "selected 1"
finish

# --------------------------------------------------------------------------------
if [ "$failures" -gt 0 ]; then
    echo "$failures end-to-end check(s) failed"
    exit 1
fi
echo "all end-to-end checks passed"
