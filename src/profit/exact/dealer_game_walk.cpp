// The walker's hands that reach the decision to buy the dealer a game: it is made once his hand
// is shown, so it is played for each of his completions (TDealerGameCounter), each purchase over
// every replacement card. One more card may then come from the unseen ones: the design's depth
// counts it, so a replacement card weighs as one arrival.

#include "cards/combinatorics.h"
#include "profit/exact/hand_walk.h"
#include "table/choice_codes.h"

namespace studlab {

using enum TPlayerAction;

// The decision after a bet offers the dealer's game where the design allows it; the last
// decision offers it whatever came before. Either way the dealer's hidden cards are shown first.
bool TWalker::IsDealerGame(const TNode& node) const {
    const TDecisionPoint& p = node.Point;
    if (p.Stage < 2 || p.Stage > kStages) return false;
    if (!m_game.Design().Allows(p.Stage, paBuyDealerGame)) return false;
    return p.Stage == kStages || IsBetCode(p.Choice(p.Stage - 1));
}

std::optional<TNode> TWalker::DealerGameAfterBet(const TNode& node, const TOffer& bet) const {
    if (node.Point.Stage >= kStages) return std::nullopt;
    TNode next = After(node, bet, TCardTable());
    if (!IsDealerGame(next)) return std::nullopt;
    return next;
}

void TWalker::SettleBet(const TNode& node, const TOffer& bet, const TEvalAnalysis& here,
                        const TEvalResult& r, const TInt256& weight, TExactSums& sums) {
    if (const std::optional<TNode> next = DealerGameAfterBet(node, bet)) {
        return SettleDealerGame(*next, here, r, weight, sums);
    }
    Settle(node, here, r, weight, sums);
}

TInt256 TWalker::BetBest(const TNode& node, const TOffer& bet, const TEvalResult& r) {
    if (const std::optional<TNode> next = DealerGameAfterBet(node, bet)) {
        return DealerGameBest(*next, r);
    }
    return SettledBest(node, r);
}

void TWalker::SettleDealerGame(const TNode& node, const TInt256& weight, TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const TEvalAnalysis here = Analysis(p.Layout());
    SettleDealerGame(node, here, EvaluateAnalysis(m_game.Rules(), here, kModeBet, p.ExtraStake),
                     weight, sums);
}

// The completions the player does not buy settle as the bet; the bought ones over every
// replacement card, each a card more of the depth.
void TWalker::SettleDealerGame(const TNode& node, const TEvalAnalysis& here, const TEvalResult& r,
                               const TInt256& weight, TExactSums& sums) {
    const TDealerGameTally& tally = m_dealerGame.Count(node.Point);
    if (tally.SuitSensitive) m_suitSensitive = true;
    TEvalResult declined = r;
    declined.Tallies.DealerNoGame -= tally.BoughtHands;
    Settle(node, here, declined, weight, sums);
    if (tally.BoughtHands == 0) return;

    const int hidden = 5 - node.Point.Dealer.Count();
    const TInt256 each = weight * Scale(node.Consumed + hidden + 1) * Factorial(hidden);
    AddOutcomes(here.Kind, each, tally.Bought, tally.BoughtPayouts, sums);
    // A bought hand put the cost at risk as well.
    const long double bet = m_game.Rules().BetSize;
    const std::int64_t more =
        BetStake(tally.StakeAfter, bet) - BetStake(node.Point.ExtraStake, bet);
    sums.Stake += weight * Scale(node.Consumed + hidden) * Factorial(hidden) * tally.BoughtHands *
                  more;
}

// The best continuation buys where the purchase brings more than declining.
TInt256 TWalker::DealerGameBest(const TNode& node, const TEvalResult& r) {
    const TDealerGameTally& tally = m_dealerGame.Count(node.Point);
    if (tally.SuitSensitive) m_suitSensitive = true;
    if (tally.BestGain == 0) return SettledBest(node, r);
    const int hidden = 5 - node.Point.Dealer.Count();
    const TWideSum sum = r.OutcomeSum() * tally.Replacements + tally.BestGain;
    return TInt256::From128(sum) * Factorial(hidden) * Scale(node.Consumed + hidden + 1);
}

}  // namespace studlab
