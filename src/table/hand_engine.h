#pragma once

// The rules of playing a hand, the same for the decision window, the profitability check and the
// exact analysis: what carrying out a decision's choice costs and does to the cards (the draw),
// and what a hand brings and puts at risk when it ends (the settlement). What a decision offers
// and how each offer is valued lie in offers.h and offer_values.h.

#include <cstdint>
#include <optional>
#include <string_view>

#include "cards/card_table.h"
#include "cards/eval_rules.h"
#include "design/game_design.h"
#include "table/offers.h"

namespace studlab {

// ---- The draw: carrying out a choice.

// The cards the continuation throws away when `offer` is chosen: the first five it lists.
TCardTable ThrownAway(const TOffer& offer);

// How many cards arrive for the player when `offer` is carried out: the cards bought, or as many
// as are thrown away; none for the other offers.
int ArrivingCards(const TOffer& offer);

// The cost of carrying out `offer` at `stage`, in antes, as the continuation pays it.
double OfferCost(const TOffer& offer, int stage, const TEvalRules& rules);

// The next decision after `offer` was carried out and `arrival` came: the thrown cards out of
// play, the cost paid (the balance and the extra stake move together, each in single precision),
// the choice recorded.
TDecisionPoint PointAfter(const TDecisionPoint& point, const TOffer& offer, TCardTable arrival,
                          const TEvalRules& rules);
// The next decision after one that offered nothing: the same cards, no choice.
TDecisionPoint PointAfterNothing(const TDecisionPoint& point);
// The cards that may arrive after a decision at `point`: none of the table's.
inline TCardTable ArrivalCards(const TDecisionPoint& point) {
    return (point.Player | point.Dealer | point.Out).Complement();
}

// What carrying out the choice `code` of decision `decision` costs, in antes, read from the
// design as the continuation pays it; none for a choice that costs nothing. A cost that does not
// convert throws TConversionError.
std::optional<double> ChoiceCost(const TGameDesign& design, const TCalculationSettings& settings,
                                 int decision, std::string_view code);

// Pays `cost` antes: the balance and the extra stake move together, each in single precision.
void PayCost(float& balance, float& extraStake, double cost);

// ---- The settlement, in ten-thousandths of an ante.

// How a hand ended: what it brought and what it put at risk.
struct THandSettlement {
    std::int64_t Result = 0;
    std::int64_t Stake = 0;
};

// A fold: everything paid so far (the ante and the costs, the balance) is lost, and that is all
// the hand put at risk.
THandSettlement FoldSettlement(float balance);

// What a hand that made its bet put at risk: the ante, what was paid for cards and the dealer's
// game, and the bet (`betSize` in antes).
std::int64_t BetStake(float extraStake, long double betSize);

}  // namespace studlab
