#!/usr/bin/env bash
# The layer check refuses an include from a folder a source may not see, and lets the allowed
# ones through: each case plants one source with one include in a tree of its own and runs
# cmake/check_layers.cmake on it. The project's own sources must pass.
#   check_layers_test.sh CMAKE PROJECT_DIR
set -uo pipefail
cmake=$1
project=$2
script="$project/cmake/check_layers.cmake"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failed=0

# expect <refused|allowed> <source> <included> [angle]: the include written "..." or <...>
expect() {
    local want=$1 source=$2 included=$3 form=${4:-quoted}
    rm -rf "$tree/src"
    mkdir -p "$tree/src/$(dirname "$source")"
    # The project's folders, as in src/: an include in angle brackets of one of them is the project's.
    for folder in text cards design table profit cli widgets app; do mkdir -p "$tree/src/$folder"; done
    if [ "$form" = angle ]; then
        printf '#include <%s>\n' "$included" >"$tree/src/$source"
    else
        printf '#include "%s"\n' "$included" >"$tree/src/$source"
    fi
    local got=allowed
    "$cmake" -DSRC="$tree/src" -P "$script" >"$tree/out" 2>&1 || got=refused
    if [ "$got" != "$want" ]; then
        echo "FAIL: $source including $included was $got, expected $want"
        cat "$tree/out"
        failed=1
    elif [ "$got" = refused ] && ! grep -q "$source" "$tree/out"; then
        echo "FAIL: the refusal of $source including $included does not name the source"
        cat "$tree/out"
        failed=1
    fi
}

# The windows of one subsystem see their own engine folder and those below, the widget kit and
# their own folder; nothing of a higher engine folder or of another subsystem's windows.
expect refused design/ui/planted.cpp table/decision_table.h
expect refused design/ui/planted.cpp table/cache/decision_cache.h
expect refused design/ui/planted.cpp profit/profit_check.h
expect refused design/ui/planted.h table/ui/decision_window.h
expect refused design/ui/planted.cpp app/game.h
expect refused table/ui/planted.cpp profit/profit_check.h
expect refused table/ui/planted.cpp design/ui/design_file_commands.h
expect refused table/ui/planted.cpp profit/ui/exact_analysis.h
expect refused profit/ui/planted.cpp design/ui/payouts_window.h
expect refused profit/ui/planted.cpp table/ui/table_geometry.h
expect refused profit/ui/planted.cpp app/studlab_windows.h
expect refused profit/ui/planted.cpp cli/command_game.h
expect allowed design/ui/planted.cpp design/design_file.h
expect allowed design/ui/planted.cpp cards/card.h
expect allowed design/ui/planted.cpp widgets/controls.h
expect allowed design/ui/planted.cpp design/ui/payouts_window.h
expect allowed table/ui/planted.cpp table/cache/decision_cache.h
expect allowed table/ui/planted.cpp design/design_file.h
expect allowed profit/ui/planted.cpp profit/exact/strategy.h
expect allowed profit/ui/planted.cpp table/decision_table.h
# The widget kit sees the ground layers only; the engine nothing above itself; the program
# every window; the command line the engine alone.
expect refused widgets/planted.cpp design/design_file.h
expect allowed widgets/planted.cpp cards/card.h
expect refused widgets/planted.cpp profit/ui/graph_window.h
expect refused design/planted.cpp table/decision_table.h
expect refused profit/planted.cpp widgets/controls.h
expect refused profit/planted.cpp profit/ui/exact_analysis.h
expect refused cli/planted.cpp app/game.h
expect refused cli/planted.cpp profit/ui/exact_analysis.h
expect allowed cli/planted.cpp profit/exact/exact_run.h
expect allowed app/planted.cpp design/ui/payouts_window.h
expect allowed app/planted.cpp table/ui/decision_window.h
expect allowed app/planted.cpp profit/ui/strategy_window.h
expect refused app/planted.cpp cli/command_game.h
expect refused misc/planted.cpp text/number_text.h
# Written in angle brackets, or by a path that climbs out of its first folder, an include is
# still the project's; a library's header is not.
expect refused profit/ui/planted.cpp app/game.h angle
expect refused design/planted.cpp table/decision_table.h angle
expect allowed app/planted.cpp profit/ui/strategy_window.h angle
expect allowed design/ui/planted.cpp QtWidgets/QWidget angle
expect allowed cli/planted.cpp nlohmann/json.hpp angle
expect refused profit/ui/planted.cpp profit/ui/../../app/game.h
expect refused cards/planted.cpp cards/../design/game_design.h

if ! "$cmake" -DSRC="$project/src" -P "$script"; then
    echo "FAIL: the project's own sources do not pass the check"
    failed=1
fi
exit $failed
