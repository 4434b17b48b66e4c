#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "design/game_design.h"
#include "profit/exact/exact_sums.h"
#include "table/offers.h"

namespace studlab {

// The column of the strategy and of the first actions that an action of the first decision
// counts in; actions the first decision never offers count as none.
TFirstAction FirstActionOf(TPlayerAction action);

// The first decision of a layout counted `members` times in the strategy: each action's best
// candidate (`compared`, the values the decision compared, beside `offers`) and the action taken
// (none: nothing was offered). Every tally it touches is listed in `touched`.
void TallyFirstDecision(TCardTable player, TCardTable dealer, TCombinationKind kind,
                        const std::vector<TOffer>& offers, const std::vector<double>& compared,
                        std::optional<TPlayerAction> taken, std::int64_t members, TExactSums& sums,
                        std::vector<std::size_t>& touched);

}  // namespace studlab
