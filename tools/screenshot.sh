#!/bin/sh
# Starts korvane under a virtual X server with a file on its command line (as a file manager's
# "Open With" does), answers the CSV display-range dialog (all lines, first line holds the
# titles) and saves a picture of the main window. Used for the README's picture; anyone can run
# it to look at the window.
#
#   tools/screenshot.sh [BUILD_DIR] [FILE] [OUTPUT.png]
#   KORVANE_SHOT=dialog tools/screenshot.sh [BUILD_DIR] [FILE] [OUTPUT.png]
#
# Defaults: build/, tests/data/sales.csv, docs/screenshot.png. For a file other than CSV/TXT the
# picture shows the window with the file's own dialog still open. With KORVANE_SHOT=dialog the
# picture is of the file's display-range dialog alone, as it opens. Installs Xvfb, ImageMagick,
# xdotool and a Japanese font (without one the captions show as empty boxes) when missing.
set -eu
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
file="${2:-$repo/tests/data/sales.csv}"
output="${3:-$repo/docs/screenshot.png}"

need=""
command -v xvfb-run >/dev/null 2>&1 || need="$need xvfb xauth"
command -v import >/dev/null 2>&1 || need="$need imagemagick"
command -v xdotool >/dev/null 2>&1 || need="$need xdotool"
fc-list 2>/dev/null | grep -qi "Noto Sans CJK" || need="$need fonts-noto-cjk"
if [ -n "$need" ]; then
    sudo_cmd=""
    [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends $need
fi

program="$build/bin/korvane"
[ -x "$program" ] || { echo "no $program: build first (cmake --build $build)" >&2; exit 1; }
[ -f "$file" ] || { echo "no file $file" >&2; exit 1; }
mkdir -p "$(dirname "$output")"
output="$(cd "$(dirname "$output")" && pwd)/$(basename "$output")"

# A settings store of its own: the window opens at 12000 x 7800 twips (800 x 520 pixels at the
# 96 dpi of the virtual screen), whatever the user's own window was.
config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
mkdir -p "$config/Korvane"
printf '[Settings]\nMainLeft=0\nMainTop=0\nMainWidth=12000\nMainHeight=7800\n' \
    >"$config/Korvane/Korvane.conf"

shot="${KORVANE_SHOT:-window}"
XDG_CONFIG_HOME="$config" KORVANE_SHOT="$shot" xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" sh -eu -c '
    program="$1"; file="$2"; output="$3"
    "$program" "$file" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    # Places in the display-range dialog, from its design in twips (15 twips a pixel).
    px() { echo $(( $1 / 15 )); }
    main="$(timeout 30 xdotool search --sync --onlyvisible --name "^Korvane Version" | head -n 1)"
    if [ "$KORVANE_SHOT" = dialog ]; then
        dialog="$(timeout 30 xdotool search --sync --onlyvisible --name "表示範囲の設定" | head -n 1)"
        sleep 1  # let the dialog paint its lists
        import -window "$dialog" "$output"
        exit 0
    fi
    case "$file" in
    *.[cC][sS][vV] | *.[tT][xX][tT])
        dialog="$(timeout 30 xdotool search --sync --onlyvisible --name "表示範囲の設定" | head -n 1)"
        # "全レコード表示", "先頭行は項目名である。", then OK.
        xdotool mousemove --sync --window "$dialog" $(( $(px 360) + 6 )) $(( $(px 1320) + 8 )) click 1
        xdotool mousemove --sync --window "$dialog" $(( $(px 120) + 6 )) $(( $(px 4440) + 8 )) click 1
        xdotool mousemove --sync --window "$dialog" $(( $(px 120) + 30 )) $(( $(px 4920) + 12 )) click 1
        # Park the pointer where it hides nothing.
        xdotool mousemove 1020 760
        ;;
    esac
    sleep 2  # let the list pane paint its rows
    import -window "$main" "$output"
' sh "$program" "$file" "$output"
echo "saved $output"
