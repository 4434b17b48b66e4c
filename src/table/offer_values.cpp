#include "table/offer_values.h"

#include <algorithm>
#include <vector>

#include "cards/combinatorics.h"
#include "table/counted_draws.h"
#include "table/draw_sums.h"
#include "table/hand_rules.h"
#include "text/number_text.h"

namespace studlab {
namespace {

TOfferValue TenThousandths(std::int64_t value, const TValuation& v) {
    return {v.WantText ? FormatTenThousandths(value) : std::string(),
            static_cast<double>(value) / 10000.0};
}

// A shown text read back, as the decision compares its candidates.
TOfferValue Shown(std::string text) {
    TOfferValue v{std::move(text), std::nullopt};
    if (!v.Text.empty()) v.Compared = ParseDesignNumber(v.Text);
    return v;
}

TDrawTarget TargetOf(const TOffer& offer) {
    return offer.IntoDealer ? TDrawTarget::dtDealer : TDrawTarget::dtPlayer;
}

TOfferValue SampledValue(const TDecisionPoint& point, const TOffer& offer, const TValuation& v) {
    // Every sampled candidate reseeds the generator, also when it draws nothing.
    v.Random->SeedFrom(*v.Clock);
    const std::optional<std::int64_t> sum = SampledDrawSum(
        offer.ValuedLayout(point), TargetOf(offer), offer.Draw, v.SampleCount, *v.Random,
        [&](const TEvalLayout& l) { return v.Evaluator.Evaluate(l, offer.Mode).Value; });
    if (!sum) return {};
    if (v.SampleCount <= 0) return Shown("0");
    return Shown(FormatNumber(static_cast<long double>(*sum) / 10000 / v.SampleCount));
}

// The look-ahead: for each arrival the best the next decision would list, averaged.
TOfferValue LookAheadValue(const TDecisionPoint& point, const TOffer& offer, const TValuation& v) {
    long double sum = 0;
    std::int64_t arrivals = 0;
    // Each arrival's decision draws from a deck of its own: no tally of this decision serves it.
    // Its values are only compared, so no text is written but the fold's, once per balance.
    TValuation next = v;
    next.CountedDraws = nullptr;
    next.WantText = false;
    TFoldValueMemo folds;
    if (next.FoldValues == nullptr) next.FoldValues = &folds;
    ForEachCardSet(ArrivalCards(point), ArrivingCards(offer), [&](TCardTable arrival) {
        sum += BestListedValue(PointAfter(point, offer, arrival, v.Evaluator.Rules()), next);
        ++arrivals;
    });
    if (arrivals == 0) return {};
    return TenThousandths(RoundHalfEven(sum / arrivals * 10000), v);
}

// The look-ahead over sampled arrivals. They are drawn before any is valued: the next
// decision's own sampled candidates reseed the same generator.
TOfferValue SampledLookAheadValue(const TDecisionPoint& point, const TOffer& offer,
                                  const TValuation& v) {
    if (v.SampleCount < 0) return Shown("0");
    const TCardTable seen = ArrivalCards(point).Complement();
    const int cards = ArrivingCards(offer);
    if (v.SampleCount == 0 || seen.Complement().Count() < cards) return {};
    v.Random->SeedFrom(*v.Clock);
    std::vector<TCardTable> arrivals;
    arrivals.reserve(static_cast<std::size_t>(v.SampleCount));
    ForEachSampledArrival(seen, cards, v.SampleCount, *v.Random,
                          [&](TCardTable arrival) { arrivals.push_back(arrival); });
    long double sum = 0;
    TValuation next = v;
    next.CountedDraws = nullptr;
    next.WantText = false;
    TFoldValueMemo folds;
    if (next.FoldValues == nullptr) next.FoldValues = &folds;
    for (const TCardTable arrival : arrivals)
        sum += BestListedValue(PointAfter(point, offer, arrival, v.Evaluator.Rules()), next);
    return Shown(FormatNumber(sum / v.SampleCount));
}

}  // namespace

TOfferValue ValueOffer(const TDecisionPoint& point, const TOffer& offer, const TValuation& v) {
    switch (offer.Valuation) {
        case TOfferValuation::ovFold: {
            if (point.Stage == 1) return Shown("-1");
            TFoldValueMemo* memo = v.FoldValues;
            if (memo != nullptr && memo->Valid && memo->Balance == point.Balance) {
                return {memo->Text, memo->Compared};
            }
            // The balance in its single-precision digits: "-2,20000004768372".
            TOfferValue value = Shown(FormatNumber(point.Balance));
            if (memo != nullptr) *memo = {true, point.Balance, value.Text, value.Compared};
            return value;
        }
        case TOfferValuation::ovBet:
            return TenThousandths(v.Evaluator.Evaluate(point.Layout(), offer.Mode).Value, v);
        case TOfferValuation::ovDeclineDealerGame:
            return TenThousandths(v.Evaluator.Evaluate(offer.ValuedLayout(point), offer.Mode).Value,
                                  v);
        case TOfferValuation::ovDraw:
            break;
    }
    const bool lookAhead = v.LookAhead && !offer.IntoDealer;
    if (offer.Sampled && !v.CountSampledExactly) {
        return lookAhead ? SampledLookAheadValue(point, offer, v) : SampledValue(point, offer, v);
    }
    if (lookAhead) return LookAheadValue(point, offer, v);
    if (v.CountedDraws != nullptr && !offer.IntoDealer) {
        const std::optional<TExactMean> counted = v.CountedDraws->Mean(
            v.Evaluator.Rules(), offer.ValuedLayout(point), offer.Draw, offer.Mode);
        if (counted) return TenThousandths(counted->Rounded(), v);
    }
    const TExactMean mean =
        ExactDrawMean(offer.ValuedLayout(point), TargetOf(offer), offer.Draw,
                      [&](const TEvalLayout& l) { return v.Evaluator.Evaluate(l, offer.Mode); });
    if (mean.Arrivals == 0) return {};
    return TenThousandths(mean.Rounded(), v);
}

bool WorthCountingDraws(const TDecisionPoint& point, const std::vector<TOffer>& offers,
                        const TValuation& v) {
    // Tallying the completions costs about as much as evaluating one arrival for every 16 of
    // them (163,185 with one open dealer card, 1,533,939 with none), and at least 10,000.
    const std::int64_t deck = ArrivalCards(point).Count();
    const std::int64_t kWorthIt =
        std::max<std::int64_t>(10000, Binomial(deck, 5 - point.Dealer.Count()) / 16);
    std::int64_t arrivals = 0;
    for (const TOffer& offer : offers) {
        if (offer.Valuation != TOfferValuation::ovDraw || offer.IntoDealer) continue;
        if (offer.Sampled && !v.CountSampledExactly) continue;
        arrivals += Binomial(deck, offer.Draw);
    }
    return arrivals >= kWorthIt;
}

double BestListedValue(const TDecisionPoint& point, const TValuation& v) {
    if (point.Stage > kStages) {
        return static_cast<double>(v.Evaluator.Evaluate(point.Layout(), kModeBet).Value) / 10000.0;
    }
    const std::vector<TOffer> offers = OffersAt(point, v.Design, v.Offers);
    const TChosenOffer best = ChooseOffer(
        offers.size(), [&](std::size_t i) { return ValueOffer(point, offers[i], v).Compared; });
    return best.Index >= 0 ? best.Value : BestListedValue(PointAfterNothing(point), v);
}

}  // namespace studlab
