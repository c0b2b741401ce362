# Shared by the scripts that run Windows programs under Wine: the project's
# own Wine prefix and a virtual X display. Source it; it defines functions
# and exports the Wine settings, nothing else.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# What tabulo_prefix_init puts into a prefix; a prefix made by an older
# version of it, or for another dpi, is made anew.
tabulo_prefix_layout=3

# tabulo_prefix_init PREFIX [DPI]: creates the prefix once (boot, virtual
# desktop, Wine's own fonts, no crash dialog, the screen's resolution: DPI
# dots per inch, 96 when not given). Safe to call from several processes at
# the same time.
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
        if [ "$(cat "$prefix/.tabulo-ready" 2>/dev/null)" != "$tabulo_prefix_layout $dpi" ]; then
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
            echo "$tabulo_prefix_layout $dpi" >"$prefix/.tabulo-ready"
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
