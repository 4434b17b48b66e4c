#pragma once

#include <utility>
#include <vector>

#include "cards/completion_counting.h"

// The completion tables filled entry by entry, exactly as the counting rules lay them out: every
// index of every table, one product of binomials per entry. Slow and plain, to hold the closed
// forms against.
namespace studlab::formula {

using TTable = std::vector<std::pair<TPattern, TCount>>;  // in table order, zero entries too

struct TFormulaTables {
    TByKind<TCount> KindTotal;
    TByKind<TTable> Tables;  // ckStraightFlush .. ckAceKing; empty for a kind that does not play
};

// With `dealer` the subtractions of the dealer's tables apply (royal and straight flushes from the
// straights, full houses from the three of a kind, one-suit hands from the ace-kings); without
// them the tables are the marker tables of the known cards.
TFormulaTables FillTables(TCardTable known, TCardTable unseen, const TCountingRules& rules,
                          bool dealer);

}  // namespace studlab::formula
