#!/bin/bash
# Builds the release of Tabulo for Windows users: release builds for 64-bit
# and 32-bit Windows (build/release/win64, build/release/win32), and in
# build/dist/:
#
#   tabulo-VERSION-win64.zip  tabulo-VERSION-win32.zip   portable: tabulo.exe,
#                                                        example.txt, README.txt
#   tabulo-VERSION-x64.msi    tabulo-VERSION-x86.msi     per-user installers
#
# VERSION is the project's (project(VERSION) in CMakeLists.txt).
#
#   scripts/package.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh

dist=$root/build/dist
rm -rf "$dist"
mkdir -p "$dist"

# release_build ARCH: configures and builds the program alone
# (the release-ARCH preset, in build/release/ARCH).
release_build() {
    cmake --preset "release-$1" >/dev/null
    cmake --build --preset "release-$1"
}

# stage ARCH TOOLCHAIN DIR: what both packages ship, ready in DIR; the user
# guide gets the version and Windows line ends.
stage() {
    local dir=$3
    rm -rf "$dir"
    mkdir -p "$dir"
    "$2-strip" -o "$dir/tabulo.exe" "build/release/$1/app/tabulo.exe"
    cp examples/example.txt "$dir/example.txt"
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' docs/user-guide.txt >"$dir/README.txt"
}

# package ARCH TOOLCHAIN MSI-ARCH
package() {
    release_build "$1" "$2"
    version=$(cat "build/release/$1/tabulo-version.txt")
    local dir=build/release/$1/stage
    stage "$1" "$2" "$dir"
    (cd "$dir" && zip -q -X "$dist/tabulo-$version-$1.zip" tabulo.exe example.txt README.txt)
    scripts/make-msi.sh "$3" "$version" "$dir" "$dist/tabulo-$version-$3.msi"
}

package win64 x86_64-w64-mingw32 x64
package win32 i686-w64-mingw32 x86
ls -l "$dist"
