# Shared by the scripts that run Windows programs under Wine: the project's
# own Wine prefixes and a virtual X display. Source it; it defines functions
# and exports the Wine settings, nothing else.
#
# A prefix is made for one architecture (WINEARCH): win64 by default, win32
# for the 32-bit build, whose prefix is a 32-bit Windows as the x86
# packages' users have it. Set WINEARCH=win32 after sourcing to use one.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# What tabulo_prefix_init puts into a prefix; a prefix made by an older
# version of it, or for another dpi, is made anew.
tabulo_prefix_layout=3

# tabulo_prefix_init PREFIX [DPI]: creates the prefix once for WINEARCH
# (boot, virtual desktop, Wine's own fonts, no crash dialog, the screen's
# resolution: DPI dots per inch, 96 when not given). Safe to call from
# several processes at the same time.
#
# The resolution is the prefix's HKCU\Control Panel\Desktop value LogPixels,
# set before any program runs; a prefix asked for at another resolution is
# made anew, so scripts give each resolution a prefix of its own.
#
# Wine's own fonts (Marlett for the caption buttons, Tahoma, MS Sans Serif)
# come with Debian's fonts-wine in /usr/share/wine/fonts, but Debian's Wine 8
# looks for them in a folder it cannot open (its data folder followed by
# "../fonts"), so the caption buttons would show as "0 1 r". The prefix
# names that folder as an extra font path instead.
tabulo_prefix_init() {
    local prefix=$1 dpi=${2:-96}
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        local ready="$tabulo_prefix_layout $WINEARCH $dpi"
        if [ "$(cat "$prefix/.tabulo-ready" 2>/dev/null)" != "$ready" ]; then
            rm -rf "$prefix"
            WINEPREFIX=$prefix wineboot --init >/dev/null 2>&1
            local reg
            reg=$(mktemp --suffix=.reg)
            cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf %08x "$dpi")

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts]
"Path"="Z:\\\\usr\\\\share\\\\wine\\\\fonts"
REG
            WINEPREFIX=$prefix wine regedit /S "$reg" >/dev/null 2>&1
            rm -f "$reg"
            WINEPREFIX=$prefix wineserver -w
            echo "$ready" >"$prefix/.tabulo-ready"
        fi
    ) 9>"$prefix.lock"
}

# tabulo_start_display: when DISPLAY is unset, starts Xvfb on a free display
# number, exports DISPLAY and sets TABULO_XVFB_PID. Otherwise does nothing.
tabulo_start_display() {
    TABULO_XVFB_PID=""
    [ -n "${DISPLAY:-}" ] && return 0
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    TABULO_XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo"
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "could not start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

# tabulo_stop_display: ends the Xvfb that tabulo_start_display started, if any.
tabulo_stop_display() {
    if [ -n "${TABULO_XVFB_PID:-}" ]; then
        kill "$TABULO_XVFB_PID" 2>/dev/null
        wait "$TABULO_XVFB_PID" 2>/dev/null
        TABULO_XVFB_PID=""
    fi
}

# tabulo_kernel_runs_32bit: true when the kernel runs 32-bit x86 programs,
# which Wine's 32-bit loader is. Some kernels are built or started without
# that; the check runs a static 32-bit program that only exits with 42.
tabulo_kernel_runs_32bit() {
    local dir status=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' >"$dir/exit.s"
    as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null &&
        ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null &&
        "$dir/exit" 2>/dev/null || status=$?
    rm -rf "$dir"
    [ "$status" -eq 42 ]
}

# tabulo_32bit_blocker: prints why 32-bit Windows programs cannot run here,
# or nothing when they can.
tabulo_32bit_blocker() {
    if ! tabulo_kernel_runs_32bit; then
        echo "this machine's kernel runs no 32-bit programs"
    elif [ ! -x /usr/lib/wine/wine ]; then
        echo "Wine's 32-bit loader (wine32:i386) is not installed"
    fi
}
