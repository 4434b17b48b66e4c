#pragma once

#include <string>
#include <vector>

#include "table/table_state.h"

namespace studlab {

// Every way in which the table state contradicts itself, in words; empty when it is sound:
// each card lies in exactly one place, the three card tables agree with the places, no slot
// holds two cards, and slot occupancy agrees with the cards (slots 6 and 7 may be marked used
// while empty, which closes them to the free-slot rules).
std::vector<std::string> TableInvariantViolations(const TTableState& state);

}  // namespace studlab
