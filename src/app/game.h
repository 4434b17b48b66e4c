#pragma once

#include "profit/played_game.h"

namespace studlab {

// The one game the desktop program works on. Every window gets the parts it shows or edits.
using TGame = TPlayedGame;

}  // namespace studlab
