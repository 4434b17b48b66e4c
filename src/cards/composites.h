#pragma once

#include <array>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/eval_rules.h"

namespace studlab {

// The two kinds of each composite pay, in the design's order ("роялфлеш+стритфлеш" ..
// "пара+ТК").
struct TCompositeKinds {
    TCombinationKind First;
    TCombinationKind Second;
};
extern const std::array<TCompositeKinds, kCompositeCount> kCompositeKinds;

// Whether the player's cards (up to seven) hold composite `index`: a combination of its first
// kind and a second combination of its second kind that uses at least one card the first does
// not, both kinds playing. A combination is the cards that make the kind: two of a rank for a
// pair, an ace and a king for the ace-king, five in a row for a straight, five of a suit for a
// flush, and so on; those of a pair may come from a three of a kind. The two entries the game
// always paid keep their own rule: "пара+ТК" a hand of the pair kind with an ace and a king,
// "две пары+ТК" a hand of the two-pairs kind with one king and one or two aces.
bool CompositeHolds(int index, TCombinationKind kind, TCardTable cards,
                    const TCountingRules& rules);

// What the player's cards of `kind` are paid against a dealer with a game, before the table
// maximum and the costs: PayQualified of the kind, or the most that a composite that is on and
// holds pays (PayQualified of both its kinds), whichever is more.
long double QualifiedGross(const TEvalRules& rules, TCombinationKind kind, TCardTable cards);

}  // namespace studlab
