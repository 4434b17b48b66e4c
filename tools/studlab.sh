#!/usr/bin/env bash
# Set up a Debian 12 machine for studlab, build it, and run the program or the tests.
#   tools/studlab.sh run    install what is missing, build, start the program
#   tools/studlab.sh test   install what is missing, build, run the tests of the build
#   tools/studlab.sh test --all   the same, then every further check CI runs: the engine and the
#                                 command line built without Qt and with ASan and UBSan, and
#                                 tested there; then every fuzz target for 30 seconds
#   tools/studlab.sh sanitize   the tests again, built with ASan and UBSan (windows included)
#   tools/studlab.sh fuzz [SECONDS]   every fuzz target for SECONDS (default 60) each, two at a
#                                 time, in the clang tree build-fuzz; new inputs stay in
#                                 build-fuzz/corpus, inputs that break a target in
#                                 build-fuzz/artifacts
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
# The fuzz targets need clang and its libFuzzer runtime.
if [ "$action" = fuzz ] || [ "$scope" = --all ]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

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

fuzz_targets=(design_file card_list number_text design_assignment cache_file_name strategy_store)

# Runs every fuzz target for $1 seconds, $2 at a time, from its committed seed corpus; prints the
# runs of each and fails when a target found an input that breaks it.
fuzz() {
    local seconds=$1 parallel=$2
    build build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DSTUDLAB_FUZZ=ON -DSTUDLAB_BUILD_GUI=OFF \
        -DSTUDLAB_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
    mkdir -p build-fuzz/artifacts
    local target failed=0 running=()
    for target in "${fuzz_targets[@]}"; do
        mkdir -p "build-fuzz/corpus/$target"
        build-fuzz/bin/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="build-fuzz/artifacts/$target-" \
            "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target" \
            >"build-fuzz/fuzz_$target.log" 2>&1 &
        running+=($!)
        if ((${#running[@]} == parallel)); then
            wait "${running[@]}" || true
            running=()
        fi
    done
    ((${#running[@]})) && { wait "${running[@]}" || true; }
    for target in "${fuzz_targets[@]}"; do
        local log="build-fuzz/fuzz_$target.log"
        local runs
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        if grep -q '^Done ' "$log"; then
            echo "fuzz_$target: ${runs:-?} runs in $seconds s, nothing found"
        else
            echo "fuzz_$target: FAILED after ${runs:-?} runs (see $log and build-fuzz/artifacts)"
            tail -n 30 "$log"
            failed=1
        fi
    done
    return "$failed"
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
            # One further tree serves two checks: the engine and the command line build and
            # pass without Qt, and they pass under the sanitizers.
            echo "== The engine and the command line without Qt, with ASan and UBSan"
            build build-nogui -DSTUDLAB_BUILD_GUI=OFF -DSTUDLAB_BUILD_BENCH=OFF \
                -DSTUDLAB_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
            ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-nogui --output-on-failure -j "$(nproc)"
            echo "== Every fuzz target for 30 seconds"
            fuzz 30 2
        fi
        ;;
    fuzz)
        fuzz "${scope:-60}" 2
        ;;
    sanitize)
        build build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTUDLAB_SANITIZE=ON -DSTUDLAB_BUILD_BENCH=OFF
        ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: $0 run | test [--all] | sanitize | fuzz [SECONDS]" >&2
        exit 2
        ;;
esac
