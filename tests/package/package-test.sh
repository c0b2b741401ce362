#!/bin/bash
# Tests the release packages that scripts/package.sh wrote to build/dist/:
# first their contents, then each architecture's packages used for real
# under Wine, in a fresh prefix of that architecture set to 144 dpi (150 %
# scaling, as on most laptops): a silent install, the program started as its
# Start menu shortcut starts it, an upgrade to a higher version, a silent
# uninstall, and the portable zip unpacked and run. The program is driven
# with X input and read through probe.exe (built for the same architecture),
# as in the end-to-end tests.
#
#   tests/package/package-test.sh PROBE64.EXE [PROBE32.EXE]
#
# Without PROBE32.EXE (a machine that runs no 32-bit programs) the 32-bit
# packages are checked by their contents only.
set -u -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-common.sh"

probe64=$(realpath "$1")
probe32=${2:+$(realpath "$2")}
dist=$root/build/dist
version=$(cat "$root/build/release/win64/tabulo-version.txt")
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
# Every Tabulo package ever made carries this one: it is what lets a newer
# package replace an installed older one.
upgrade_code="{351C5F67-95CC-4C78-8EF9-0F40CACBE4D0}"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

work=$root/build/package-test
rm -rf "$work"
mkdir -p "$work"
passed=0
failures=0
pid=""
# What the checks that follow belong to, before each failure's name.
context=""

# --- helpers -----------------------------------------------------------------

expect() { # expect WHAT ACTUAL EXPECTED
    if [ "$2" == "$3" ]; then
        passed=$((passed + 1))
    else
        failures=$((failures + 1))
        echo "FAIL: $context$1"
        echo "  expected: $(printf '%q' "$3")"
        echo "  actual:   $(printf '%q' "$2")"
    fi
}

check() { # check WHAT COMMAND...: the command must succeed
    if "${@:2}"; then expect "$1" ok ok; else expect "$1" failed ok; fi
}

# The PE header's machine (8664: x64, 014c: x86) and symbol count (0 when
# stripped).
pe_header() { od -An -tu4 -j60 -N4 "$1" | tr -d ' '; }
machine_of() { od -An -tx2 -j$(($(pe_header "$1") + 4)) -N2 "$1" | tr -d ' '; }
symbols_of() { od -An -tu4 -j$(($(pe_header "$1") + 16)) -N4 "$1" | tr -d ' '; }

msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'; }

probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
winepath_of() { winepath -u "$1" 2>/dev/null; }

start() { # start FOLDER PROGRAM [ARGUMENTS...]
    (cd "$1" && exec wine "${@:2}") >/dev/null 2>&1 &
    pid=$!
    probe wait 60000 >/dev/null
}

wait_exit() {
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# Asks COMMAND until it answers EXPECTED (or long enough to give up);
# prints its last answer.
wait_for() { # wait_for EXPECTED COMMAND...
    local seen
    for _ in $(seq 100); do
        seen=$("${@:2}")
        [ "$seen" == "$1" ] && break
        sleep 0.1
    done
    echo "$seen"
}

# F1 in the running program shows README.txt from its folder (in Notepad: a
# fresh prefix has no program registered for text files).
check_f1_guide() {
    xdotool key F1
    expect "F1 shows the guide" "$(wait_for "README.txt - Notepad" probe notepad)" "README.txt - Notepad"
    probe close-notepad
}

installed() { wine uninstaller --list 2>/dev/null | tr -d '\r' | sed -n 's/|||Tabulo$//p'; }
# Where Wine's 32-bit loader is installed, "wine reg" is the 32-bit reg.exe
# even in a 64-bit prefix, and sees a 64-bit package's uninstall entry only
# in the registry's 64-bit view; in a 32-bit prefix that view is the only one.
arp_value() { # arp_value PRODUCT-CODE NAME
    wine reg query "$uninstall_key\\$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = $2 = ""; sub(/^ +/, ""); print }'
}
product_icon() {
    wine reg query 'HKCU\Software\Microsoft\Installer\Products' /s /reg:64 2>/dev/null | tr -d '\r' |
        awk '$1 == "ProductIcon" { $1 = $2 = ""; sub(/^ +/, ""); print }'
}
list_width() { probe rects | sed -n 2p | cut -d' ' -f4; }

# --- the packages' contents ----------------------------------------------------

check_zip() { # check_zip ZIP-ARCH MACHINE
    local zip=$dist/tabulo-$version-$1.zip folder=$work/$1
    expect "$1 zip: files" "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" "README.txt example.txt tabulo.exe "
    unzip -q "$zip" -d "$folder"
    expect "$1 zip: machine" "$(machine_of "$folder/tabulo.exe")" "$2"
    expect "$1 zip: stripped" "$(symbols_of "$folder/tabulo.exe")" 0
    expect "$1 zip: guide's lines without CR LF" "$(grep -c -v $'\r$' "$folder/README.txt")" 0
    expect "$1 zip: guide's version" "$(grep -c "^Version $version"$'\r$' "$folder/README.txt")" 1
}

check_msi() { # check_msi MSI-ARCH PLATFORM MACHINE
    local msi=$dist/tabulo-$version-$1.msi
    expect "$1 msi: platform" "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" "$2;1033"
    expect "$1 msi: version" "$(msi_property "$msi" ProductVersion)" "$version"
    expect "$1 msi: upgrade code" "$(msi_property "$msi" UpgradeCode)" "$upgrade_code"
    expect "$1 msi: files" "$(msiextract -C "$work/$1" "$msi" | sort | tr '\n' ' ')" \
        "Programs/Tabulo/README.txt Programs/Tabulo/example.txt Programs/Tabulo/tabulo.exe Tabulo/example.txt "
    expect "$1 msi: machine" "$(machine_of "$work/$1/Programs/Tabulo/tabulo.exe")" "$3"
}

check_zip win64 8664
check_zip win32 014c
check_msi x64 x64 8664
check_msi x86 Intel 014c

# --- each architecture's packages in use -------------------------------------------

# No Start menu entries on this machine for what is installed in the prefixes.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
unset DISPLAY WINEPREFIX
tabulo_start_display || exit 1
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    tabulo_stop_display
}
trap cleanup EXIT

# fresh_prefix ARCH: a new prefix of that architecture (win64, win32) at
# 144 dpi, for the Wine commands that follow.
fresh_prefix() {
    export WINEARCH=$1 WINEPREFIX=$work/wineprefix-$1
    tabulo_prefix_init "$WINEPREFIX" 144
    local folder
    # Wine links the user's Documents and Desktop to the home folder; the
    # installer and the program must write inside the prefix only.
    user_dir=$(winepath_of 'C:\users')/$(id -un)
    for folder in "$user_dir"/*; do
        [ -L "$folder" ] && rm "$folder" && mkdir "$folder"
    done
    wineserver -w
}

# use_installer MSI-ARCH STAGE: installs the package, runs the program as
# its shortcut starts it, upgrades to a package of a higher version made
# from STAGE (what the package installs) and uninstalls.
use_installer() {
    local arch=$1 stage=$2 program_dir start_menu shortcut guide_shortcut documents example
    local product icon target working_dir settings

    echo "$arch: install $version"
    check "install exits 0" wine msiexec /i "$(winepath -w "$dist/tabulo-$version-$arch.msi")" /qn
    program_dir=$user_dir/AppData/Local/Programs/Tabulo
    expect "installed files" "$(ls "$program_dir" 2>&1 | tr '\n' ' ')" "README.txt example.txt tabulo.exe "
    start_menu='C:\users\'$(id -un)'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs'
    shortcut=$start_menu'\Tabulo.lnk'
    guide_shortcut=$start_menu'\Tabulo User Guide.lnk'
    expect "shortcut" "$(probe shortcut "$shortcut")" \
        "target C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Tabulo\\tabulo.exe
folder C:\\users\\$(id -un)\\Documents\\Tabulo\\"
    expect "guide shortcut" "$(probe shortcut "$guide_shortcut" | sed -n 1p)" \
        "target C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Tabulo\\README.txt"
    documents=$user_dir/Documents/Tabulo
    check "example in Documents\\Tabulo" cmp -s "$documents/example.txt" "$root/examples/example.txt"
    product=$(installed)
    expect "uninstall entry: name" "$(arp_value "$product" DisplayName)" "Tabulo"
    expect "uninstall entry: version" "$(arp_value "$product" DisplayVersion)" "$version"
    expect "uninstall entry: publisher" "$(arp_value "$product" Publisher)" "The Tabulo developers"
    icon=$(product_icon)
    check "uninstall entry: icon" test -s "$(winepath_of "$icon")"

    echo "$arch: run the installed program"
    target=$(probe shortcut "$shortcut" | sed -n 's/^target //p')
    working_dir=$(winepath_of "$(probe shortcut "$shortcut" | sed -n 's/^folder //p')")
    start "$working_dir" "$target"
    expect "title" "$(probe title)" "Tabulo $major.$minor - Untitled"
    # 10 points at 144 dpi: 20 pixels.
    expect "Courier New 20 pixels high" "$(probe line-height)" "$(probe text-height 'Courier New' -20)"
    expect "panel layout problems" "$(probe layout)" ""
    check_f1_guide
    # The bar's left edge follows the pointer: the list ends where it is let go.
    local list_x x y
    read -r _ list_x _ <<<"$(probe rects | sed -n 2p)"
    read -r x y <<<"$(probe bar)"
    xdotool mousemove "$x" "$y" mousedown 1 mousemove $((x + 30)) "$y" mousemove $((x + 60)) "$y" mouseup 1
    expect "list after dragging the splitter" "$(wait_for $((x + 60 - list_x)) list_width)" $((x + 60 - list_x))
    xdotool key alt+F4
    expect "exit question" "$(probe wait-box 10000)" $'caption Confirm\ntext Are you sure you wish to exit?'
    xdotool mousemove $(probe control 6) click 1
    check "the program ends after Yes" wait_exit
    pid=""
    expect "settings.txt in the working folder" "$(grep -c '^{splitterX=' "$working_dir/settings.txt")" 1
    settings=$(cat "$working_dir/settings.txt")

    echo "$arch: upgrade to $newer"
    # The example is the user's once it is there: an upgrade keeps their changes.
    printf '{mine=1}\r\n' >>"$documents/example.txt"
    example=$(cat "$documents/example.txt")
    "$root/scripts/make-msi.sh" "$arch" "$newer" "$stage" "$work/tabulo-$newer-$arch.msi"
    check "upgrade exits 0" wine msiexec /i "$(winepath -w "$work/tabulo-$newer-$arch.msi")" /qn
    product=$(installed)
    expect "installed copies" "$(echo "$product" | grep -c .)" 1
    expect "installed version" "$(arp_value "$product" DisplayVersion)" "$newer"
    expect "program after the upgrade" "$(ls "$program_dir" 2>&1 | tr '\n' ' ')" "README.txt example.txt tabulo.exe "
    expect "settings.txt after the upgrade" "$(cat "$working_dir/settings.txt")" "$settings"
    expect "changed example after the upgrade" "$(cat "$documents/example.txt")" "$example"

    echo "$arch: uninstall"
    printf '{a=1}\r\n' >"$working_dir/notes.txt"
    check "uninstall exits 0" wine msiexec /x "$product" /qn
    expect "installed copies after uninstall" "$(installed)" ""
    check "program folder removed" test ! -e "$program_dir"
    check "shortcuts removed" test ! -e "$(winepath_of "$shortcut")" -a ! -e "$(winepath_of "$guide_shortcut")"
    expect "user's files kept" "$(ls "$working_dir" | tr '\n' ' ')" "example.txt notes.txt settings.txt "
}

# use_zip ZIP-ARCH: unpacks the portable zip and runs its program with the
# example database.
use_zip() {
    echo "$1: portable zip"
    local portable=$work/portable-$1
    mkdir "$portable"
    unzip -q "$dist/tabulo-$version-$1.zip" -d "$portable"
    start "$portable" tabulo.exe example.txt
    expect "title" "$(probe title)" "Tabulo $major.$minor - example.txt"
    expect "records" "$(probe list | tail -n +2 | wc -l)" "$(grep -c '^{' "$root/examples/example.txt")"
    expect "first record" "$(probe list | sed -n 2p)" "Shopping list"
    check_f1_guide
    kill "$pid" 2>/dev/null
    pid=""
}

# in_use ARCH MSI-ARCH PROBE: the packages of one architecture (win64 or
# win32, the zip's name) used for real in a fresh prefix of their own.
in_use() {
    probe_exe=$3
    context="$2: "
    fresh_prefix "$1"
    use_installer "$2" "$work/$1"
    use_zip "$1"
    wineserver -k 2>/dev/null
    context=""
}

in_use win64 x64 "$probe64"
if [ -n "$probe32" ]; then
    in_use win32 x86 "$probe32"
else
    echo "the 32-bit packages were checked by their contents only: no 32-bit probe.exe given"
fi

echo "package: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
