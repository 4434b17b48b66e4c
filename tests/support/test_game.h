#pragma once

#include "profit/played_game.h"

namespace studlab::testing {

// A game as the desktop program holds one, for the tests and the benchmarks.
using TTestGame = TPlayedGame;

}  // namespace studlab::testing
