#include "table/draw_sums.h"

#include <functional>

#include <array>
#include <stdexcept>

namespace studlab {
namespace {

TCardTable& TargetOf(TEvalLayout& layout, TDrawTarget target) {
    return target == TDrawTarget::dtDealer ? layout.Dealer : layout.Player;
}

}  // namespace

TLayoutValue EvaluatorValue(const TEvalRules& rules, TEvalMode mode) {
    return [&rules, mode](const TEvalLayout& layout) {
        return EvaluateLayout(rules, layout, mode).Value;
    };
}

TLayoutResult EvaluatorResult(const TEvalRules& rules, TEvalMode mode) {
    return
        [&rules, mode](const TEvalLayout& layout) { return EvaluateLayout(rules, layout, mode); };
}

std::int64_t TExactMean::Rounded() const {
    if (Outcomes == 0) return 0;
    TWideSum q = Sum / Outcomes;
    TWideSum r = Sum % Outcomes;
    if (r < 0) {
        r += Outcomes;
        --q;
    }
    if (2 * r > Outcomes || (2 * r == Outcomes && q % 2 != 0)) ++q;
    return static_cast<std::int64_t>(q);
}

TExactMean ExactDrawMean(const TEvalLayout& layout, TDrawTarget target, int cards,
                         const TLayoutResult& result) {
    if (cards < 1 || cards > 5) throw std::out_of_range("an exact draw brings 1 to 5 cards");
    TEvalLayout arrived = layout;
    TCardTable& hand = TargetOf(arrived, target);
    const TCardTable base = hand;
    TExactMean mean;
    ForEachCardSet(layout.Seen.Complement(), cards, [&](TCardTable drawn) {
        hand = base | drawn;
        const TEvalResult r = result(arrived);
        mean.Sum += r.OutcomeSum();
        mean.Outcomes += r.Tallies.DealerOutcomes;
        ++mean.Arrivals;
    });
    return mean;
}

void ForEachSampledArrival(TCardTable seen, int cards, std::int32_t draws, TRandomGenerator& random,
                           const std::function<void(TCardTable)>& arrival) {
    const std::uint64_t seenMask = seen.Mask();
    for (std::int32_t accepted = 0; accepted < draws;) {
        std::uint64_t drawn = 0;
        bool usable = true;
        for (int c = 0; c < cards; ++c) {
            const SuitIndex suit = static_cast<SuitIndex>(random.Below(kSuits)) + 1;
            const RankIndex rank = static_cast<RankIndex>(random.Below(kRanks)) + 1;
            const std::uint64_t bit = std::uint64_t{1} << TCardTable::BitOf(rank, suit);
            if ((seenMask & bit) != 0 || (drawn & bit) != 0) usable = false;
            drawn |= bit;
        }
        if (!usable) continue;
        arrival(TCardTable::FromMask(drawn));
        ++accepted;
    }
}

std::optional<std::int64_t> SampledDrawSum(const TEvalLayout& layout, TDrawTarget target, int cards,
                                           std::int32_t draws, TRandomGenerator& random,
                                           const TLayoutValue& value) {
    if (draws < 0) return 0;
    if (draws == 0 || layout.Seen.Complement().Count() < cards) return std::nullopt;
    TEvalLayout arrived = layout;
    TCardTable& hand = TargetOf(arrived, target);
    const std::uint64_t base = hand.Mask();
    std::int64_t sum = 0;
    ForEachSampledArrival(layout.Seen, cards, draws, random, [&](TCardTable drawn) {
        hand = TCardTable::FromMask(base | drawn.Mask());
        sum += value(arrived);
    });
    return sum;
}

}  // namespace studlab
