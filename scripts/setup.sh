#!/bin/bash
# Installs what the build and the tests need on Debian 12, and only what is
# missing: when everything is there it asks dpkg and returns at once.
#
# Wine's 32-bit loader (wine32, from Debian's i386 architecture) runs the
# 32-bit build. It is installed only where the kernel runs 32-bit programs:
# on a kernel without that, every program of the 32-bit loader fails with
# "Exec format error", so wine32 is left out, the script says why and the
# 32-bit runs are skipped (scripts/test.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-common.sh"

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev llvm
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 fonts-wine fontconfig fonts-dejavu-core xvfb xdotool x11-utils imagemagick
    wixl msitools zip unzip
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

apt_install() { # apt_install PACKAGE...
    echo "installing: $*"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "$@"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"

# The kernel check needs the assembler and linker that g++ brought above.
if ! tabulo_kernel_runs_32bit; then
    if installed wine32:i386; then
        echo "warning: this machine's kernel runs no 32-bit programs, and with wine32:i386" \
            "installed every Wine program fails with \"Exec format error\": remove wine32:i386"
    else
        echo "wine32 left out: this machine's kernel runs no 32-bit programs"
    fi
    exit 0
fi
installed wine32:i386 && exit 0
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
apt_install wine32:i386
