#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cards/evaluator.h"
#include "cards/random_generator.h"
#include "design/game_design.h"
#include "table/offers.h"

namespace studlab {
class TCountedDraws;
}

namespace studlab {

// How a valuation reaches the evaluator: the hand engine counts its evaluations and keeps the
// last verdict on insurance; the exact analysis keeps the analyses of the layouts it meets.
class IOfferEvaluator {
public:
    virtual ~IOfferEvaluator() = default;
    virtual TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) = 0;
    // The design's numbers as the evaluator reads them, converted when first asked for.
    virtual const TEvalRules& Rules() = 0;
};

// The value of folding at the last balance met: a played-out hand meets the same few balances
// again and again, and each is a text written and read back.
struct TFoldValueMemo {
    bool Valid = false;
    float Balance = 0;
    std::string Text;
    std::optional<double> Compared;
};

// What a decision's valuation needs besides the point and the offer.
struct TValuation {
    const TGameDesign& Design;
    IOfferEvaluator& Evaluator;
    TOfferOptions Offers;
    // Value a purchase or an exchange by the best decision after each arrival (folding at the
    // cost paid, betting, or any further action) instead of a bet after every arrival.
    bool LookAhead = false;
    // Draws that the decision samples (exchanges of four and five cards, and of two and three by
    // the probabilistic method) are counted over every arrival instead.
    bool CountSampledExactly = false;
    std::int32_t SampleCount = 2000;
    TRandomGenerator* Random = nullptr;  // for sampled draws, reseeded from Clock for each
    const IClock* Clock = nullptr;
    TFoldValueMemo* FoldValues = nullptr;  // optional
    // Whether the text of an exact value is written; a caller that only compares leaves it out.
    bool WantText = true;
    // Exact draws of the player counted on the dealer's completions tallied once for the
    // decision, where that serves (same sums as evaluating every arrival); optional.
    TCountedDraws* CountedDraws = nullptr;
};

// Whether counting the decision's draws pays for tallying the dealer's completions: the exact
// draws of `offers` at `point` bring at least this many arrivals in all.
bool WorthCountingDraws(const TDecisionPoint& point, const std::vector<TOffer>& offers,
                        const TValuation& valuation);

// An offer's value as the decision lists it: the text shown and stored, and the number compared
// when the decision chooses (the text read back). No number: the offer cannot be valued (a
// sampled draw with no draws or too few unseen cards).
struct TOfferValue {
    std::string Text;
    std::optional<double> Compared;
};

TOfferValue ValueOffer(const TDecisionPoint& point, const TOffer& offer,
                       const TValuation& valuation);

// The best value the decision at `point` would list, as the look-ahead takes it; a decision that
// offers nothing passes the hand on to the next, and a hand beyond the last decision is worth
// the bet on its cards.
double BestListedValue(const TDecisionPoint& point, const TValuation& valuation);

}  // namespace studlab
