#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "profit/exact/analysis_memo.h"
#include "profit/exact/dealer_game.h"
#include "profit/exact/exact_game.h"
#include "profit/exact/exact_sums.h"
#include "table/counted_draws.h"
#include "table/hand_rules.h"
#include "table/offer_values.h"
#include "table/offers.h"

namespace studlab {

// A decision point of a hand being played out, and how many of the cards unseen at the first
// layout have arrived since.
struct TNode {
    TDecisionPoint Point;
    int Consumed = 0;
};

// Plays out the hands that follow one first layout. Every value is a numerator over the number
// of ordered ways the cards the design can still deal may come: at a node where
// `consumed` cards have arrived that is (T)_(r), T the unseen cards, r the depth left; an
// arrival of k cards from T weighs (T)_(r) / (C(T, k) (T - k)_(r - k)) = k! times its
// continuation, and a settlement over C(T, h) completions of the dealer weighs h! (T - h)_(r - h)
// per completion.
class TWalker {
public:
    explicit TWalker(const TExactGame& game) : m_game(game), m_evaluator(game.Rules(), m_memo) {
        m_memo.CountWith(&m_counted);
    }

    // The common denominator of the hands that follow a first layout with `unseen` unseen cards:
    // the ordered ways of dealing the design's depth of them.
    void SetUnseen(int unseen) {
        if (unseen == m_unseen) return;
        m_unseen = unseen;
        const int depth = std::min(m_game.Depth(), unseen);
        m_scale.assign(static_cast<std::size_t>(depth) + 1, TInt256(1));
        for (int c = 0; c <= depth; ++c) {
            for (int i = 0; i < depth - c; ++i)
                m_scale[static_cast<std::size_t>(c)] *= unseen - c - i;
        }
    }

    // What one first layout brought, as numerators over its weight.
    struct TPlayed {
        TInt256 Result;
        TInt256 BestResult;
        TInt256 Weight;
        TPlayerAction FirstAction = TPlayerAction::paFold;
        bool FirstActionTaken = false;
        bool BestDiffers = false;
        std::string_view FirstCode;  // the choice code of the first decision, empty: none
    };
    TPlayed Play(const TDecisionPoint& first, std::int64_t members, TExactSums& sums);
    // The choice code the first decision at `first` makes, as Play makes it, without playing the
    // hand on: empty when it offers nothing.
    std::string_view FirstChoice(const TDecisionPoint& first);
    // The return cells the hands played since the last call touched, one bit each.
    std::uint64_t TakeTouchedCells() { return std::exchange(m_touched, 0); }
    // The strategy tallies they touched.
    const std::vector<std::size_t>& TouchedTallies() const { return m_touchedTallies; }
    void ForgetTouchedTallies() { m_touchedTallies.clear(); }
    bool SuitSensitive() const { return m_suitSensitive; }
    void ForgetSuitSensitivity() { m_suitSensitive = false; }

private:
    struct TValued {
        std::vector<TOffer> Offers;
        std::vector<double> Compared;  // what the decision compares: its shown values
        std::vector<TInt256> Best;     // with the best continuation, when asked for
        int Chosen = -1;               // none: nothing was offered
        TEvalAnalysis Here;            // the cards on the table as they stand
        TEvalResult Bet;               // a plain bet on them: what the settlement brings
    };

    TEvalAnalysis Analysis(const TEvalLayout& layout) { return m_memo.Get(m_game.Rules(), layout); }
    const TInt256& Scale(int consumed) const {
        return m_scale[static_cast<std::size_t>(
            std::min<int>(consumed, static_cast<int>(m_scale.size()) - 1))];
    }

    // The decision at `node` with its offers valued; kept in a place of its stage, which the
    // decisions further down the hand leave alone, until the next decision of that stage.
    const TValued& Value(const TNode& node, bool wantBest);
    TInt256 BestOf(const TNode& node);
    void ValueDrawsTogether(const TNode& node, TValued& v, bool wantBest);
    void BestOfDrawsApart(const TNode& node, TValued& v);
    // A decision that offers only folds and bets: its offers and the value of folding, the same
    // for every arrival that leads to it (from the second decision on the offers depend on the
    // choices, not on the cards). No offers: the decision is valued as a whole.
    struct TFoldOrBet {
        std::vector<TOffer> Offers;
        double FoldValue = 0;
        bool Folds = false;
        bool Bets = false;
    };
    TFoldOrBet FoldOrBetAt(const TNode& node);
    void RealizeFoldOrBet(const TNode& node, const TFoldOrBet& decision, const TInt256& weight,
                          TExactSums& sums);
    TInt256 BestOfFoldOrBet(const TNode& node, const TEvalAnalysis& here,
                            const TFoldOrBet& decision);
    // One draw offer's sums while its arrivals are counted.
    struct TDrawSums {
        std::size_t Offer = 0;
        TWideSum Sum = 0;
        TWideSum Outcomes = 0;
        bool ChildIsValued = false;
        TInt256 Best;
        std::optional<TFoldOrBet> Child;  // the decision after the draw, once looked at
    };
    void Realize(const TNode& node, const TValued& valued, const TInt256& weight, TExactSums& sums);
    void RealizeNode(const TNode& node, const TInt256& weight, TExactSums& sums) {
        if (node.Point.Stage > kStages) return Settle(node, weight, sums);
        if (IsDealerGame(node)) return SettleDealerGame(node, weight, sums);
        Realize(node, Value(node, false), weight, sums);
    }

    TInt256 SettledBest(const TNode& node, const TEvalResult& bet) const;
    TInt256 SettledBest(const TNode& node);
    void Settle(const TNode& node, const TEvalAnalysis& here, const TEvalResult& bet,
                const TInt256& weight, TExactSums& sums);
    void Settle(const TNode& node, const TInt256& weight, TExactSums& sums);
    // A settled bet's outcomes, each completion standing for `each` ways, into the sums and the
    // return table under the player's kind.
    void AddOutcomes(TCombinationKind kind, const TInt256& each, const TEvalTallies& t,
                     const TOutcomePayouts& pay, TExactSums& sums);
    void Fold(const TNode& node, const TInt256& weight, TExactSums& sums);
    // The dealer's game (dealer_game_walk.cpp): the decision after a bet, or the last decision,
    // that offers to buy the dealer a game once his hand is shown.
    bool IsDealerGame(const TNode& node) const;
    std::optional<TNode> DealerGameAfterBet(const TNode& node, const TOffer& bet) const;
    void SettleBet(const TNode& node, const TOffer& bet, const TEvalAnalysis& here,
                   const TEvalResult& r, const TInt256& weight, TExactSums& sums);
    TInt256 BetBest(const TNode& node, const TOffer& bet, const TEvalResult& r);
    void SettleDealerGame(const TNode& node, const TEvalAnalysis& here, const TEvalResult& r,
                          const TInt256& weight, TExactSums& sums);
    TInt256 DealerGameBest(const TNode& node, const TEvalResult& r);
    void SettleDealerGame(const TNode& node, const TInt256& weight, TExactSums& sums);
    static THandSettlement Folded(const TNode& node) { return FoldSettlement(node.Point.Balance); }
    TNode After(const TNode& node, const TOffer& offer, TCardTable arrival) const {
        return {PointAfter(node.Point, offer, arrival, m_game.Rules()),
                node.Consumed + arrival.Count()};
    }
    static TNode AfterNothing(const TNode& node) {
        return {PointAfterNothing(node.Point), node.Consumed};
    }
    void NoteTies(const TValued& v);
    void Touch(TCombinationKind kind, TFinalOutcome outcome) {
        m_touched |= std::uint64_t{1}
                     << ((KindIndex(kind) - 1) * kFinalOutcomes + static_cast<int>(outcome));
    }
    void NoteTruncation(const TNode& node, const TOffer& offer);

    const TExactGame& m_game;
    TAnalysisMemo m_memo;
    TMemoEvaluator m_evaluator;
    int m_unseen = -1;
    TFoldValueMemo m_foldValues;
    TCountedDraws m_counted;  // the dealer's completions of the last decision counted
    TDealerGameCounter m_dealerGame{m_game};
    bool m_countsFirstDecision = false;         // the first layout's draws are worth counting
    std::array<TValued, kStages + 1> m_valued;  // [stage]
    std::array<std::vector<TDrawSums>, kStages + 1> m_groups;  // [stage]
    std::uint64_t m_touched = 0;
    std::vector<std::size_t> m_touchedTallies;
    std::vector<TInt256> m_scale;
    bool m_suitSensitive = false;
};

}  // namespace studlab
