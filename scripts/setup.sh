#!/bin/bash
# Installs what the build and the tests need on Debian 12, and only what is
# missing: when everything is there it asks dpkg and returns at once.
# Wine is installed 64-bit only: never wine32, never the i386 architecture
# (this machine cannot run 32-bit programs, and with wine32 the launcher
# fails with "Exec format error").
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 fonts-wine fontconfig fonts-dejavu-core xvfb xdotool x11-utils imagemagick
    wixl msitools zip unzip
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
