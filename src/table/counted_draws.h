#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "cards/dealer_completions.h"
#include "cards/evaluator.h"
#include "table/draw_sums.h"

namespace studlab {

// The exact mean of a player's draw by counting instead of one evaluation per arrival: every
// offer of one decision draws from the same deck against the same dealer cards, so the dealer's
// completions are tallied once (TDealerCompletions) and each arrival costs a strength look-up and
// a few counts. It serves draws of one to three cards that make a five-card hand, under rules
// that let every kind play with ordinary straights (no wrap round the ace); it gives the same sums
// as ExactDrawMean over the evaluator, composite pays included, to the last unit.
class TCountedDraws {
public:
    TCountedDraws() = default;
    // Not copied: the memo of the last arrival points into the tallies this one holds (a move
    // takes them along).
    TCountedDraws(const TCountedDraws&) = delete;
    TCountedDraws& operator=(const TCountedDraws&) = delete;
    TCountedDraws(TCountedDraws&&) = default;
    TCountedDraws& operator=(TCountedDraws&&) = default;

    // The arrivals' tallies added up per payout class of the hand they make: the kind and, for the
    // pair and two pairs, the aces and kings (what the evaluator's payouts depend on).
    struct TClassTallies {
        TCombinationKind Kind = TCombinationKind::ckNoGame;
        TCardTable Hand;  // one hand of the class
        TEvalTallies Tallies;
    };
    struct TArrivalClasses {
        std::vector<TClassTallies> Classes;
        std::int64_t Arrivals = 0;
        int DeckRemaining = 0;  // unseen cards after an arrival
    };
    // Every arrival of `cards` cards into the player's hand of `layout`, tallied by class; none
    // where counting does not serve the draw.
    std::optional<TArrivalClasses> Classes(const TEvalRules& rules, const TEvalLayout& layout,
                                           int cards);
    // What one class brings under the evaluator's code `mode` with `extraStake` antes staked: the
    // evaluator's result of one of its hands, with the class's tallies.
    static TEvalResult ClassResult(const TEvalRules& rules, const TClassTallies& c,
                                   int deckRemaining, TEvalMode mode, float extraStake);

    // The mean of the draw of `cards` cards into the player's hand of `layout`, valued under the
    // evaluator's code `mode`; none where counting does not serve it (the caller evaluates).
    std::optional<TExactMean> Mean(const TEvalRules& rules, const TEvalLayout& layout, int cards,
                                   TEvalMode mode);

    // Whether Mean serves a draw of `cards` cards into `layout` under `rules`.
    static bool Serves(const TEvalRules& rules, const TEvalLayout& layout, int cards);

    // Tallies the dealer's completions of the decision at `layout` (its dealer cards, the deck of
    // its unseen cards) for Analysis; Forget drops them.
    void Prepare(const TEvalRules& rules, const TEvalLayout& layout);
    void Forget() {
        m_completions.reset();
        m_batches = {};
        m_avoided.reset();
        m_hand = TCardTable{};
    }
    // The evaluator's analysis of a layout that the tallied decision leads to: a player's hand of
    // five cards against the same dealer cards, whose unseen cards are the tallied deck less at
    // most three. Every field a valuation reads is the evaluator's (kind, kept cards, tallies,
    // cards); the listing's totals per kind are not counted. None for any other layout.
    std::optional<TEvalAnalysis> Analysis(const TEvalRules& rules, const TEvalLayout& layout);

private:
    // The arrivals of one size counted for every subset of the decision's hand they complete.
    struct TBatch {
        bool Done = false;
        bool Composites = false;
        std::vector<std::pair<std::uint64_t, TArrivalClasses>> Kept;  // by the kept cards' mask
    };
    TDealerCompletions& CompletionsFor(const TEvalRules& rules, const TEvalLayout& layout);
    static void CountBatch(TDealerCompletions& dealer, TCardTable hand, int cards,
                           bool composites, TBatch& batch);

    std::optional<TDealerCompletions> m_completions;
    TCardTable m_hand;  // the player's cards at the decision Prepare tallied
    std::array<TBatch, TDealerCompletions::kMaxArrival + 1> m_batches;
    // What the last arrival Analysis met takes from the dealer's completions.
    std::optional<TDealerCompletions::TAvoided> m_avoided;
    TCardTable m_avoidedCards;
};

}  // namespace studlab
