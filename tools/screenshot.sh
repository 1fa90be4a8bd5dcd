#!/bin/sh
# Starts korvane under a virtual X server, opens a file through the command line, and saves a
# picture of the screen. Used for the README's picture; anyone can run it to look at the window.
#
#   tools/screenshot.sh [BUILD_DIR] [FILE] [OUTPUT.png]
#
# Defaults: build/, tests/data/sample.csv, docs/screenshot.png. Installs Xvfb, ImageMagick and a
# Japanese font (without one the captions show as empty boxes) when they are missing.
set -eu
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
file="${2:-$repo/tests/data/sample.csv}"
output="${3:-$repo/docs/screenshot.png}"
settle="${KORVANE_SCREENSHOT_WAIT:-3}"

need=""
command -v xvfb-run >/dev/null 2>&1 || need="$need xvfb xauth"
command -v import >/dev/null 2>&1 || need="$need imagemagick"
fc-list 2>/dev/null | grep -qi "Noto Sans CJK" || need="$need fonts-noto-cjk"
if [ -n "$need" ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update
    # shellcheck disable=SC2086
    $sudo_cmd apt-get install -y --no-install-recommends $need
fi

program="$build/bin/korvane"
[ -x "$program" ] || { echo "no $program: build first (cmake --build $build)" >&2; exit 1; }
mkdir -p "$(dirname "$output")"
config="$(mktemp -d)"  # a fresh settings store, so the window opens at its default place
trap 'rm -rf "$config"' EXIT

XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 800x600x24" sh -c '
    "$1" "$2" &
    pid=$!
    sleep "$4"
    import -window root "$3"
    kill "$pid"
' sh "$program" "$file" "$output" "$settle"
echo "saved $output"
