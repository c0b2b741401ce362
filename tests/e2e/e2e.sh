#!/bin/bash
# End-to-end tests of the real program: tabulo.exe runs under Wine on a
# virtual display in a scratch working folder, is driven as a person would
# with real X input (xdotool), and is checked from outside: files on disk,
# and what probe.exe (a small Win32 helper in the same Wine prefix) reads
# from its windows.
#
#   tests/e2e/e2e.sh TABULO.EXE PROBE.EXE WINEARCH WINEPREFIX
set -u -o pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-common.sh"

tabulo=$(realpath "$1")
probe_exe=$(realpath "$2")
export WINEARCH=$3 WINEPREFIX=$4
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

# A scenario may set `locale` (for its code page): the program and the
# probe run with it.
locale=""
probe() { env ${locale:+LC_ALL=$locale} wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

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

# eventually WHAT EXPECTED COMMAND...: the program handles X input in its
# own time, so a check runs its command again until it prints the expected
# text, for 20 seconds at most; then it fails with what it printed last.
eventually() {
    local what=$1 expected=$2 actual deadline=$((SECONDS + 20))
    shift 2
    while actual=$("$@"); [ "$actual" != "$expected" ]; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            expect "$what" "$actual" "$expected"
            return 1
        fi
        sleep 0.1
    done
}

begin() { # begin NAME: a fresh working folder for one scenario
    scenario=$1
    locale=""
    dir="$work/$(echo "$1" | tr ' ' '-')"
    mkdir -p "$dir"
    echo "scenario: $1"
}

start() { # start [ARGUMENTS...]: starts tabulo.exe in the scenario's folder
    (cd "$dir" && exec env ${locale:+LC_ALL=$locale} wine "$tabulo" "$@") >/dev/null 2>&1 &
    pid=$!
    probe wait 30000 >/dev/null || fail "the main window did not appear"
}

focus() {
    local window
    window=$(xdotool search --name '^Tabulo 0\.6' | head -n 1)
    [ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null
    eventually "main window active" active probe active
}

key() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 40 "$1"; }

# Moves the pointer only when it is not there yet: a move onto the same
# point can stall for seconds over a Wine window.
move_to() {
    local x y
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
    if [ "$X" != "$1" ] || [ "$Y" != "$2" ]; then
        xdotool mousemove "$1" "$2"
    fi
}

click_at() { move_to "$1" "$2"; xdotool click "${3:-1}"; }

# Clicks a button of the open dialog by its control id (6 Yes, 7 No, 1 OK).
press() {
    local point
    point=$(probe control "$1") || { fail "no dialog with control $1"; return; }
    click_at $point
}

wait_box() { probe wait-box 10000 || fail "no dialog appeared"; }
wait_no_box() { probe wait-no-box 10000 || fail "the dialog stayed"; }

# Clicks list item N and waits until it is the selection.
click_item() {
    local point
    point=$(probe item "$1") && click_at $point
    eventually "item $1 selected" "selected $1" selected
}

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
panel_line() { probe panel | sed -n "$1p"; }
saved() { tr -d '\r' <"$1" 2>/dev/null; }
bytes_of() { od -An -c "$1" 2>/dev/null | tr -s ' '; }
# edit ID WHAT: one line of "probe edit" (selection, caret, first, ...).
edit() { probe edit "$1" | grep "^$2 "; }

# --- scenarios ---------------------------------------------------------------

begin "untitled start and exit"
start
eventually "title" "Tabulo 0.6 - Untitled" probe title
eventually "empty list" "" items
eventually "panel" $'name \nvalue \nenabled 0 0\nvisible 1' probe panel
placement=$(probe rects | head -n 1)
focus
key alt+F4
expect "exit question" "$(wait_box)" $'caption Confirm\ntext Are you sure you wish to exit?'
press 7
wait_no_box
# Answered from the main loop: the exit handler has returned.
expect "window stays after No" "$(probe title)" "Tabulo 0.6 - Untitled"
[ -e "$dir/settings.txt" ] && fail "settings.txt written after No"
focus
key alt+F4
wait_box >/dev/null
press 6
wait_exit || fail "the program did not end after Yes"
read -r _ x y width height <<<"$placement"
expect "settings.txt" "$(saved "$dir/settings.txt")" "{color=0}
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
printf '{alpha=first\r\nsecond}\r\n{b\\or\\cace=x}\r\n' >"$dir/notes.txt"
start notes.txt
eventually "title" "Tabulo 0.6 - notes.txt" probe title
eventually "items" $'alpha\nb{r}ace' items
click_item 0
eventually "panel" $'name alpha\nvalue first\\r\\nsecond\nenabled 1 1\nvisible 1' probe panel
finish

begin "missing command line file"
start "no such file.txt"
expect "message box" "$(wait_box)" $'caption Error\ntext no such file.txt'
press 1
wait_no_box
eventually "title" "Tabulo 0.6 - Untitled" probe title
finish

begin "add edit save and reopen"
start
focus
key ctrl+equal
eventually "added" "New Record" items
eventually "focus after adding" name probe focus
type_text "Shopping {list}"
eventually "name typed" "Shopping {list}" items
key Tab
eventually "focus after Tab" value probe focus
type_text "milk"
key Return
type_text "bread\\"
eventually "value typed" 'value milk\r\nbread\\' panel_line 2
key ctrl+KP_Add
eventually "focus after the second add" name probe focus
type_text "a=b"
eventually "items while typing" $'Shopping {list}\na=b' items
key ctrl+s
wait_box >/dev/null
windows_dir="Z:${dir//\//\\}"
type_text "$windows_dir\\db.txt"
eventually "file name typed" "$windows_dir\\db.txt" probe file-name
key Return
wait_no_box
eventually "title after save" "Tabulo 0.6 - $windows_dir\\db.txt" probe title
eventually "saved bytes" "$(printf '{Shopping \\olist\\c=milk\r\nbread\\\\}\r\n{a\\=b=}\r\n' | od -An -c | tr -s ' ')" \
    bytes_of "$dir/db.txt"
finish
start db.txt
eventually "reopened items" $'Shopping {list}\na=b' items
click_item 0
eventually "reopened value" 'value milk\r\nbread\\' panel_line 2
finish

begin "delete key"
printf '{one=1}\r\n{two=2}\r\n{three=3}\r\n' >"$dir/db.txt"
start db.txt
click_item 1
key Delete
expect "remove question" "$(wait_box)" $'caption Confirm\ntext Remove the selected record?'
press 7
wait_no_box
expect "kept after No" "$(items)" $'one\ntwo\nthree'
focus
click_item 1
key Delete
wait_box >/dev/null
press 6
wait_no_box
eventually "removed after Yes" $'one\nthree' items
eventually "nothing selected" "selected -1" selected
focus
key ctrl+s
eventually "saved" $'{one=1}\n{three=3}' saved "$dir/db.txt"
finish

begin "drag to reorder"
printf '{A=a}\r\n{B=b}\r\n{C=c}\r\n{D=d}\r\n{E=e}\r\n' >"$dir/db.txt"
start db.txt
read -r ax ay <<<"$(probe item 0)"
read -r dx dy <<<"$(probe item 3)"
move_to "$ax" "$ay"
xdotool mousedown 1
eventually "dragged item selected" "selected 0" selected
for step in 1 2 3 4 5 6; do
    xdotool mousemove "$ax" $((ay + (dy - ay) * step / 6))
done
xdotool mouseup 1
eventually "order after drag" $'B\nC\nA\nD\nE' items
eventually "moved record selected" "selected 2" selected
focus
key ctrl+s
eventually "saved order" $'{B=b}\n{C=c}\n{A=a}\n{D=d}\n{E=e}' saved "$dir/db.txt"
finish

begin "context menu"
printf '{b=1}\r\n{A=2}\r\n{c=3}\r\n' >"$dir/db.txt"
start db.txt
click_at $(probe item 1) 3
probe wait-menu 10000 || fail "no context menu"
expect "item under the cursor selected" "$(selected)" "selected 1"
expect "its record shown" "$(panel_line 1)" "name A"
key c # "Sort Des&cending"
eventually "sorted by the menu" $'c\nb\nA' items
finish

begin "forged drag notification from another program"
printf '{a=1}\r\n{b=2}\r\n' >"$dir/db.txt"
start db.txt
probe forge-drag || fail "the program stopped answering"
# Input comes after posted messages: once the click shows, the forged one was handled.
click_item 1
expect "still running and answering" "$(selected)" "selected 1"
finish

# The note's last line, and where the Value edit's caret and view are.
note_end() { panel_line 2 | sed 's/.*\\n//'; }
# The selection, the caret and the first visible line, which may move by
# one: the view may grow or shrink by a line as the scroll bar goes or comes.
value_place() { probe edit 30001 | head -n 2; }
first_line() { edit 30001 first | cut -d ' ' -f 2; }
near() { # near WHAT EXPECTED ACTUAL: numbers at most 1 apart
    [ $(($2 - $3)) -ge -1 ] && [ $(($2 - $3)) -le 1 ] || expect "$1" "$3" "$2 (or one more or less)"
}

begin "word wrap keeps the place"
note="line 1"
for i in $(seq 2 60); do note+=$'\r\n'"line $i"; done
printf '{note=%s}\r\n' "$note" >"$dir/db.txt"
start db.txt
click_item 0
click_at $(probe point 30001)
key ctrl+End
type_text "X"
eventually "typed at the end" "line 60X" note_end
switch_keeps_place() { # switch_keeps_place WHAT WRAPS: View > Word Wrap from the keys
    local place first
    place=$(value_place)
    first=$(first_line)
    key alt+v w
    eventually "$1" "wraps $2" edit 30001 wraps
    expect "the place after $1" "$(value_place)" "$place"
    near "the first line after $1" "$first" "$(first_line)"
    expect "focus after $1" "$(probe focus)" value
}
switch_keeps_place wrapping 1
type_text "Y"
eventually "the next key after wrapping" "line 60XY" note_end
switch_keeps_place unwrapping 0
key ctrl+z
eventually "undo after two switches" "line 60" note_end
finish

begin "the match shows while the Find box is open"
note="line 1"
for i in $(seq 2 60); do note+=$'\r\n'"line $i"; done
printf '{long=%s}\r\n' "${note/line 40/line 40 needle}" >"$dir/db.txt"
start db.txt
focus
key ctrl+f
expect "Find box" "$(wait_box | head -n 1)" "caption Find"
type_text "needle"
key Return
eventually "the match found" "selection 350 356" edit 30001 selection
read -r _ first <<<"$(edit 30001 first)"
read -r _ lines <<<"$(edit 30001 lines)"
[ $((40 - 1 - first)) -le $((lines - 3)) ] || fail "the match is on line $((40 - first)) of $lines shown"
read -r _ pixels <<<"$(edit 30001 highlighted)"
[ "$pixels" -gt 100 ] || fail "the match is not drawn highlighted ($pixels pixels)"
key Escape
wait_no_box
eventually "the focus at the match" value probe focus
click_item 0
eventually "nothing highlighted with the box closed" "highlighted 0" edit 30001 highlighted
finish

begin "a search from the list starts in the shown record"
printf '{a=needle one}\r\n{b=needle two}\r\n' >"$dir/db.txt"
start db.txt
click_item 0
key ctrl+f
wait_box >/dev/null
type_text "needle"
key Return
eventually "the match in the record shown" "selection 0 6" edit 30001 selection
expect "that record still shown" "$(selected)" "selected 0"
finish

begin "typed double-byte characters"
printf '{n=}\r\n' >"$dir/db.txt"
locale=ja_JP.UTF-8 # code page 932
start db.txt
click_item 0
key Tab Tab
eventually "focus in the note" value probe focus
# One character at a time, typed again when it has not arrived (the caret
# stays): xdotool types a character the keyboard lacks by remapping a spare
# key for a moment, and on a busy machine the key can come after the mapping.
for typed in a ア 表 b; do
    caret=$(edit 30001 caret)
    for attempt in 1 2 3; do
        type_text "$typed"
        deadline=$((SECONDS + 5))
        while [ "$(edit 30001 caret)" = "$caret" ] && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
        [ "$(edit 30001 caret)" != "$caret" ] && break
    done
done
key ctrl+s
eventually "saved bytes" " 7b 6e 3d 61 83 41 95 5c 5c 62 7d 0d 0a" od -An -tx1 "$dir/db.txt"
key ctrl+f
wait_box >/dev/null
type_text "表"
eventually "typed in the Find box" '\x95\\' probe find-text
finish

begin "ctrl plus as typed"
start
focus
key ctrl+plus
eventually "added" "New Record" items
finish

begin "access keys"
printf '{alpha=first}\r\n{b=2}\r\n' >"$dir/db.txt"
start db.txt
click_item 0
key alt+a
eventually "Alt+A from the list" value probe focus
type_text "X"
key alt+n
eventually "Alt+N" name probe focus
type_text "Y"
key alt+a
eventually "Alt+A from the name" value probe focus
type_text "Z"
# Each field's caret stayed where it was: after the X, at the name's start.
eventually "typed at the carets" $'name Yalpha\nvalue XZfirst\nenabled 1 1\nvisible 1' probe panel
expect "the same record selected" "$(selected)" "selected 0"
finish

begin "end of the session"
printf '{a=1}\r\n' >"$dir/db.txt"
start db.txt
focus
key ctrl+equal
eventually "added" $'a\nNew Record' items
read -r bx by <<<"$(probe bar)"
move_to "$bx" "$by"
xdotool mousedown 1 mousemove $((bx + 50)) "$by" mouseup 1
eventually "splitter dragged" "list 252" eval 'probe rects | sed -n 2p | cut -d" " -f1,4'
probe end-session && wait_exit || fail "the program did not end with the session"
expect "splitter kept" "$(saved "$dir/settings.txt" | grep splitterX)" "{splitterX=252}"
expect "file used last kept" "$(saved "$dir/settings.txt" | grep -c '^{recentFile1=.*db\.txt}$')" 1
expect "database not written" "$(saved "$dir/db.txt")" "{a=1}"
finish

begin "saves killed midway"
# Killed at any instant of a save, the program leaves the old file or the new
# one under the database's name; the next save that ends removes the
# temporary files the killed ones left. The file is big (200 MB) so that a
# save takes long enough to be killed in. TABULO_E2E_KILLS asks for more kills.
awk 'BEGIN { v = sprintf("%1000s", ""); gsub(/ /, "v", v)
             for (i = 0; i < 200000; i++) printf "{record %d=%s}\r\n", i, v }' >"$dir/old.txt"
{ cat "$dir/old.txt"; printf '{New Record=}\r\n'; } >"$dir/new.txt"
new_size=$(stat -c %s "$dir/new.txt")
opened() { echo "$(probe title), $(probe count), $(probe progress)"; }
add_and_save() { # opens db.txt, adds a record and saves it
    start db.txt
    # Keys typed while it opens would be dropped.
    eventually "opened" "Tabulo 0.6 - db.txt, count 200000 selected -1, none" opened
    focus
    key ctrl+equal
    eventually "added" "name New Record" panel_line 1
    key ctrl+s
}
saved_new() { cmp -s "$dir/db.txt" "$dir/new.txt" && echo same; }
# The temporary file of the save under way: one that was not there before it.
new_temporary() {
    local file
    for file in "$dir"/db.txt.~tabulo-*; do
        [ -e "$file" ] && [[ " $before " != *" $file "* ]] && echo "$file" && return
    done
}
for kill in $(seq "${TABULO_E2E_KILLS:-6}"); do
    cp "$dir/old.txt" "$dir/db.txt"
    before=$(echo "$dir"/db.txt.~tabulo-*)
    add_and_save
    # Killed while the save writes or, every other time, once it has written
    # everything and puts the file in its place.
    deadline=$((SECONDS + 20))
    until temporary=$(new_temporary) && [ -n "$temporary" ] || [ "$SECONDS" -ge "$deadline" ]; do :; done
    if [ $((kill % 2)) -eq 0 ]; then
        until [ "$(stat -c %s "$temporary" 2>/dev/null || echo gone)" = "$new_size" ] ||
            [ ! -e "$temporary" ] || [ "$SECONDS" -ge "$deadline" ]; do :; done
    fi
    sleep "0.$(printf '%03d' $((RANDOM % 100)))"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null
    pid=""
    cmp -s "$dir/db.txt" "$dir/old.txt" || cmp -s "$dir/db.txt" "$dir/new.txt" ||
        fail "after kill $kill db.txt holds neither the old file nor the new one ($(wc -c <"$dir/db.txt" 2>&1))"
done
cp "$dir/old.txt" "$dir/db.txt"
add_and_save
eventually "saved after the kills" same saved_new
eventually "temporary files left" "" bash -c "cd '$dir' && ls | grep -v -x -e db.txt -e old.txt -e new.txt"
finish

begin "a big database keeps answering while it opens"
awk 'BEGIN { for (i = 0; i < 1000000; i++) printf "{record %07d=}\r\n", i }' >"$dir/big.txt"
start big.txt
probe wait-progress 60000 || fail "no progress bar while the file opens"
focus
read -r _ x y width _ <<<"$(probe rects | sed -n 2p)"
click_at $((x + width / 2)) $((y + 10))
key ctrl+equal Delete alt+F4
# The click and the keys meet the open, and the program answers.
expect "answering" "$(probe progress | cut -d ' ' -f 1)" "progress"
expect "exit question after the open" "$(probe wait-box 120000)" $'caption Confirm\ntext Are you sure you wish to exit?'
press 7
wait_no_box
expect "every record, none added or selected" "$(probe count)" "count 1000000 selected -1"
finish

# --------------------------------------------------------------------------------
if [ "$failures" -gt 0 ]; then
    echo "$failures end-to-end check(s) failed"
    exit 1
fi
echo "all end-to-end checks passed"
