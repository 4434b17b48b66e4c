#pragma once

#include <string>

#include "design/game_design.h"

namespace studlab {

// The program's one game design, its calculation settings and the name of the current game.
// main() owns it; the windows show and edit it, and every computation reads it as it stands.
struct TStudlabModel {
    TGameDesign Design;
    TCalculationSettings Settings;
    std::string GameName;  // set by loading a design file; empty until then
};

}  // namespace studlab
