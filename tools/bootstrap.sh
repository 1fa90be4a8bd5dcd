#!/usr/bin/env bash
# Sets up a Debian 12 machine for Korvane, builds it, then starts it (`run`) or runs every
# test (`test`). Safe to run again: it installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-test}"
build_dir="${KORVANE_BUILD_DIR:-build}"

packages=(
    cmake ninja-build g++ pkg-config git
    qt6-base-dev qt6-qpa-plugins libgl-dev qt6-translations-l10n
    libgtest-dev libgmock-dev
    libgsf-1-dev libglib2.0-dev mdbtools mdbtools-dev libsqlite3-dev libicu-dev libfreexl-dev
    clang libclang-rt-14-dev clang-format cmake-format
    python3 python3-xlwt python3-xlrd
    xvfb xauth x11-apps imagemagick fonts-noto-cjk desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}"
cmake --build "$build_dir" -j"$(nproc)"

case "$mode" in
    run)
        exec "$build_dir/bin/korvane"
        ;;
    test)
        cd "$build_dir"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
        ;;
    build)
        ;;
    *)
        echo "usage: tools/bootstrap.sh run|test|build [cmake options]" >&2
        exit 2
        ;;
esac
