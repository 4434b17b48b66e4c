#!/usr/bin/env bash
# Set up a Debian 12 machine for studlab, build it, and run the program or the tests.
#   tools/studlab.sh run    install what is missing, build, start the program
#   tools/studlab.sh test   install what is missing, build, run the tests of the build
#   tools/studlab.sh test --all   the same, then every further check CI runs: the engine and the
#                                 command line built and tested without Qt
#   tools/studlab.sh sanitize   the tests again, built with ASan and UBSan
set -euo pipefail

cd "$(dirname "$0")/.."
action=${1:-run}
scope=${2:-}

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev libcli11-dev nlohmann-json3-dev libjpeg62-turbo
    libopenmpi-dev openmpi-bin
    fonts-comic-neue fonts-dejavu-core xvfb xauth locales
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}

case "$action" in
    run)
        build build
        if [ -x build/bin/studlab ]; then
            exec build/bin/studlab
        else
            exec build/bin/studlab-cli --help
        fi
        ;;
    test)
        build build
        ctest --test-dir build --output-on-failure -j "$(nproc)"
        if [ "$scope" = "--all" ]; then
            echo "== The engine and the command line without Qt"
            build build-nogui -DSTUDLAB_BUILD_GUI=OFF -DSTUDLAB_BUILD_BENCH=OFF
            ctest --test-dir build-nogui --output-on-failure -j "$(nproc)"
        fi
        ;;
    sanitize)
        build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTUDLAB_SANITIZE=ON -DSTUDLAB_BUILD_BENCH=OFF
        ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 run | test [--all] | sanitize" >&2
        exit 2
        ;;
esac
