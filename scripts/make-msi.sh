#!/bin/bash
# Builds one Windows Installer package of Tabulo with wixl from a folder
# that holds what it installs (tabulo.exe, example.txt, README.txt).
#
#   scripts/make-msi.sh x64|x86 VERSION STAGE_DIR OUTPUT.msi
#
# VERSION (three numbers) is the package's product version: scripts/package.sh
# passes the project's; a test may pass a higher one to try an upgrade.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1
version=$2
stage=$(realpath "$3")
output=$(realpath -m "$4")

# wixl takes its source files by paths relative to the folder it runs in.
cd "$stage"
icon=$(realpath --relative-to=. "$root/resources/tabulo.ico")
wixl -a "$arch" -D Version="$version" -D Stage=. -D Icon="$icon" -o "$output" "$root/resources/tabulo.wxs"

# The example database in the user's Documents\Tabulo is theirs once it is
# there: never overwritten (msidbComponentAttributesNeverOverwrite, 128) and
# never removed (msidbComponentAttributesPermanent, 16). wixl writes neither.
msibuild "$output" -q "UPDATE \`Component\` SET \`Attributes\` = 144 WHERE \`Component\` = 'ExampleDatabase'"

# wixl 0.101 ignores IncludeMaximum: the row that finds installed copies to
# replace would leave out one of the same version (a rebuilt package, or the
# other architecture), and the two would stay installed side by side.
# Write that row as tabulo.wxs means it.
upgrade_code=$(msiinfo export "$output" Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" { print $2 }')
msibuild "$output" \
    -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'OLDER_TABULO'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
        VALUES ('$upgrade_code', '0.0.0', '$version', 768, 'OLDER_TABULO')"
