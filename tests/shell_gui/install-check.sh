#!/bin/sh
# Installs the build into a fresh prefix and checks what a desktop needs from it: the programs,
# a valid desktop entry, the icon and the manual pages. Exits with 77 (reported as skipped) when
# desktop-file-validate is not installed.
#
#   install-check.sh BUILD_DIR PREFIX WITH_READER(0|1)
set -eu
build="$1"
prefix="$2"
with_reader="$3"

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/korvane bin/korvane-cli share/applications/korvane.desktop
share/icons/hicolor/scalable/apps/korvane.svg share/man/man1/korvane.1 share/man/man1/korvane-cli.1"
[ "$with_reader" = 1 ] && expected="$expected bin/korvane-mdb-reader"
expected="$expected bin/korvane-xls-reader"
for file in $expected; do
    [ -e "$prefix/$file" ] || { echo "missing after install: $file" >&2; exit 1; }
done
for file in bin/korvane bin/korvane-cli; do
    [ -x "$prefix/$file" ] || { echo "not executable: $file" >&2; exit 1; }
done

entry="$prefix/share/applications/korvane.desktop"
for line in "Exec=korvane %F" "Icon=korvane" "Categories=Office;Viewer;" \
    "MimeType=text/csv;text/plain;application/vnd.ms-excel;application/vnd.ms-access;application/x-msaccess;"; do
    grep -qxF "$line" "$entry" || { echo "the desktop entry lacks: $line" >&2; exit 1; }
done

if ! command -v desktop-file-validate >/dev/null 2>&1; then
    echo "desktop-file-validate is not installed (Debian: desktop-file-utils)"
    exit 77
fi
desktop-file-validate "$entry"
echo "installed and valid: $prefix"
