#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_table.h"
#include "cards/evaluator.h"
#include "design/game_design.h"

namespace studlab {

// What a decision looks at: the cards on the table, the decision (stage), the earlier choices and
// the money of the hand. The hand engine builds one from its state; the exact analysis builds
// one for every hand it plays out.
struct TDecisionPoint {
    int Stage = 1;  // 1..4
    TCardTable Player;
    TCardTable Dealer;
    TCardTable Out;                                       // known to be out of play, or thrown away
    std::array<std::string_view, kStages + 1> Choices{};  // [1..4], the earlier decisions'
    float Balance = -1.0F;    // the player's balance: the value of folding
    float ExtraStake = 0.0F;  // antes paid in the hand beyond the ante

    TEvalLayout Layout() const { return {Player, Dealer, Player | Dealer | Out, ExtraStake}; }
    std::string_view Choice(int stage) const { return Choices[static_cast<std::size_t>(stage)]; }
};

// How an offer is valued.
enum class TOfferValuation {
    ovFold,              // the balance of the hand: "-1" at the first decision
    ovBet,               // the evaluator's value of the code
    ovDraw,              // the mean over the cards that may arrive
    ovDeclineDealerGame  // the payout without a dealer game, the dealer's card set aside
};

// One action a decision offers, before it is valued: its action and code, the cards it names and
// throws away, and the draw it values.
struct TOffer {
    TPlayerAction Action = TPlayerAction::paFold;
    std::string_view Code;
    TOfferValuation Valuation = TOfferValuation::ovFold;
    // The cards the caption names, in its order: the card or the two cards exchanged, the two or
    // the one card kept. Zero where unused.
    std::array<TCardId, 2> Named{};
    // The cards the decision lists as thrown away when this offer is chosen, in their order; the
    // continuation throws away the first five of them. Zero where unused.
    std::array<TCardId, 7> Thrown{};
    // The valuation's evaluation: the bet's code, or one arrival's code; `Draw` cards (1..5) join
    // `Base`, the player's hand as valued (or the dealer's, `IntoDealer`).
    TEvalMode Mode = kModeBet;
    int Draw = 0;
    bool IntoDealer = false;
    bool Sampled = false;  // valued by random arrivals unless every arrival is counted
    TCardTable Base{};
    TCardId DealerSwap = 0;  // the dealer game: the dealer's card thrown away

    // The hand the valuation evaluates the arrivals on (the table's other cards stay seen).
    TEvalLayout ValuedLayout(const TDecisionPoint& point) const;
};

struct TOfferOptions {
    bool Probabilistic = false;  // exchanges of two and three cards and two bought cards sampled
    bool Insurable = false;      // the player's hand may be insured (asked at the first decision)
    bool DealerBuysLowest = false;
};

// Whether some decision of the design samples a draw instead of counting every arrival: exchanges
// of four or five cards always, and by the probabilistic method two bought cards and exchanges of
// two or three.
bool SamplesDraws(const TGameDesign& design, bool probabilistic);

// The actions the decision at `point` offers, in the order it lists them: the fold first, the
// bets, the purchases, the exchanges card by card in scan order, the dealer's game.
std::vector<TOffer> OffersAt(const TDecisionPoint& point, const TGameDesign& design,
                             const TOfferOptions& options);
// The same into `offers` (emptied first), whose storage a caller that lists many decisions
// keeps.
void OffersAt(const TDecisionPoint& point, const TGameDesign& design, const TOfferOptions& options,
              std::vector<TOffer>& offers);

// The candidate's caption as the decision lists it ("поменять все, кроме A черви и K пик").
std::string OfferCaption(const TOffer& offer, int stage);

// The dealer's card he throws away when the player buys him a game: his highest card (ranks from
// the ace, suits from hearts), or his lowest (ranks from the two, suits from spades).
TCardId DealerSwapCard(TCardTable dealer, bool lowest);

}  // namespace studlab
