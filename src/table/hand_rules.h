#pragma once

// The rules of playing a hand, the same for the decision window, the profitability check and the
// exact analysis: what carrying out a decision's choice costs and does to the cards (the draw),
// and what a hand brings and puts at risk when it ends (the settlement). What a decision offers
// and how each offer is valued lie in offers.h and offer_values.h.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "cards/card_table.h"
#include "cards/eval_rules.h"
#include "cards/evaluator.h"
#include "design/game_design.h"
#include "table/card_place.h"
#include "table/offers.h"
#include "table/table_state.h"

namespace studlab {

// ---- The decision's choice.

// The offer a decision chooses among `count` offers valued in their order, `valueOf(i)` giving
// the value of offer i: the highest value, the earlier offer on a tie. An offer without a value
// (a sampled draw that could not be made) is never chosen: it would act on nothing. Index -1
// when no offer has a value. The exact analysis's walker gives every offer a value (the draws
// the table samples it counts over every arrival), and the dealer's game, decided there over his
// hidden cards, lists the purchase first as the table does, so a tie buys.
struct TChosenOffer {
    int Index = -1;
    double Value = 0;
};
template <class TValueOf>
TChosenOffer ChooseOffer(std::size_t count, TValueOf&& valueOf) {
    TChosenOffer chosen;
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<double> value = valueOf(i);
        if (!value) continue;
        if (chosen.Index < 0 || *value > chosen.Value) chosen = {static_cast<int>(i), *value};
    }
    return chosen;
}

// Why the decision just made at stage 2..4 settles the hand at once; each reason settles it once.
struct TSettlesAt {
    // The dealer was bought a game although his cards can still make one.
    bool DealerGameNotNeeded = false;
    // The last decision bet and this one bought the dealer no game: the hand is complete.
    bool AfterBet = false;
    // The last decision bought the dealer a game, and his new card is in.
    bool AfterDealerGame = false;
};
TSettlesAt SettlesAt(const TTableState& state, int stage, bool dealerCanHaveGame);

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

// ---- The draw on the table: the hand's cards in their slots (TTableState).

// Moves a card, keeping the card tables and the slot occupancy in step with the card places.
void MoveCard(TTableState& state, TCardId id, TCardPlace to);

// Where an arriving card goes, and the entry step of its stage after it.
struct TCardPlacement {
    TPlaceKind Row = TPlaceKind::cpPlayer;
    int Slot = 0;
    int NextStep = 0;
};

// Where the card of entry step `step` (1..10) of the initial layout goes: the dealer's open
// cards in the slot order 1, 5, 2, 4, 3 (steps 1..5), so that k open cards always fill the last
// k slots of that order (slot 3, the middle, is always open); then the player's cards into his
// slots 1..5 (steps 6..10).
TCardPlacement InitialPlacement(int step);
// Where the next card arriving at stages 2..5 goes; none once the stage's cards are in.
std::optional<TCardPlacement> NextPlacement(const TTableState& state);
// The dealer's hidden cards fill his free slots in the order 3, 4, 2, 5, 1; slots that already
// hold a card are passed over, so that a card never lands on another.
std::optional<TCardPlacement> NextHiddenDealerCard(const TTableState& state);

// What the table waits for after a choice was carried out.
enum class TDrawNext {
    dnNothing,            // no card arrives (or every card of the dealer's lies open)
    dnFold,               // the hand folded and is settled
    dnDealerHiddenCards,  // the dealer's hidden cards
    dnBoughtCard,         // the one card bought
    dnArrivingCards,      // the cards bought or exchanged
    dnDealerNewCard,      // the dealer's card after the game bought him
};

// Carries out the choice of the decision at the hand's stage (1..4) and opens the next stage:
// the marked cards thrown away when the choice exchanges them, `cost` paid, a fold settled, the
// entry steps set for the cards that arrive.
TDrawNext CarryOutChoice(TTableState& state, std::optional<double> cost);

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

// Whether the bet, settled on the complete layout, paid the player: he won it or the dealer had
// no game (whatever that brought after the costs).
bool BetPaid(const TEvalResult& bet);

// How the table's settled hand ended: its result, what it put at risk and whether the player was
// paid. A hand a cached row settled is judged paid by its result: more back than its costs.
struct TSettledHand {
    std::int64_t Result = 0;
    std::int64_t Stake = 0;
    bool Paid = false;
};
TSettledHand SettledHand(const TTableState& state, long double betSize);

}  // namespace studlab
