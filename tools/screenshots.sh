#!/usr/bin/env bash
# Pictures of the program's main windows for the documentation: builds the screenshot tool,
# runs it under a virtual X display (Xvfb) and saves one PNG per window into docs/. The exact
# analysis of the standard game, which the strategy window shows, takes some minutes; --quick
# shows a fold-or-bet game instead, to look at the layout (do not commit those pictures).
#   tools/screenshots.sh [BUILD_DIR] [--quick]     (default: build)
set -euo pipefail

cd "$(dirname "$0")/.."
quick=()
build_dir=build
for arg in "$@"; do
    if [ "$arg" = --quick ]; then quick=(--quick); else build_dir=$arg; fi
done

if [ ! -f "$build_dir/build.ninja" ] && [ ! -f "$build_dir/Makefile" ]; then
    cmake -S . -B "$build_dir" -G Ninja
fi
cmake --build "$build_dir" --target studlab-screenshots -j 2

command -v xvfb-run >/dev/null || { echo "xvfb-run is missing: apt-get install xvfb xauth" >&2; exit 1; }
QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    "$build_dir/bin/studlab-screenshots" docs "${quick[@]}"

# All 52 card faces on one sheet, in card-id order (a row per suit), to check them by eye.
if command -v montage >/dev/null; then
    montage assets/cards/card*.jpg -tile 13x4 -geometry +2+2 -background '#008000' docs/cards.png
    echo docs/cards.png
fi
