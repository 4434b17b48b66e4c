#include "table/draw_sums.h"

#include <array>
#include <stdexcept>

namespace studlab {
namespace {

// Cards that can arrive: in nobody's hand and not known to be out, in scan order.
struct TUnseenCards {
    std::array<std::uint64_t, kCards> Bits{};
    int Count = 0;

    explicit TUnseenCards(TCardTable seen) {
        for (std::uint64_t m = seen.Complement().Mask(); m != 0; m &= m - 1) Bits[Count++] = m & -m;
    }
};

TCardTable& TargetOf(TEvalLayout& layout, TDrawTarget target) {
    return target == TDrawTarget::dtDealer ? layout.Dealer : layout.Player;
}

}  // namespace

TLayoutValue EvaluatorValue(const TEvalRules& rules, TEvalMode mode) {
    return [&rules, mode](const TEvalLayout& layout) {
        return EvaluateLayout(rules, layout, mode).Value;
    };
}

std::int64_t ExactDrawSum(const TEvalLayout& layout, TDrawTarget target, int cards,
                          const TLayoutValue& value) {
    if (cards < 1 || cards > 3) throw std::out_of_range("an exact draw brings 1 to 3 cards");
    TEvalLayout arrived = layout;
    TCardTable& hand = TargetOf(arrived, target);
    const std::uint64_t base = hand.Mask();
    const TUnseenCards unseen(layout.Seen);
    const auto valueWith = [&](std::uint64_t drawn) {
        hand = TCardTable::FromMask(base | drawn);
        return value(arrived);
    };
    std::int64_t sum = 0;
    const int n = unseen.Count;
    if (cards == 1) {
        for (int i = 0; i < n; ++i) sum += valueWith(unseen.Bits[i]);
    } else if (cards == 2) {
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) sum += valueWith(unseen.Bits[i] | unseen.Bits[j]);
        }
    } else {
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const std::uint64_t pair = unseen.Bits[i] | unseen.Bits[j];
                for (int l = j + 1; l < n; ++l) sum += valueWith(pair | unseen.Bits[l]);
            }
        }
    }
    return sum;
}

std::optional<std::int64_t> SampledDrawSum(const TEvalLayout& layout, TDrawTarget target, int cards,
                                           std::int32_t draws, TRandomGenerator& random,
                                           const TLayoutValue& value) {
    if (draws < 0) return 0;
    if (draws == 0 || layout.Seen.Complement().Count() < cards) return std::nullopt;
    TEvalLayout arrived = layout;
    TCardTable& hand = TargetOf(arrived, target);
    const std::uint64_t base = hand.Mask();
    const std::uint64_t seen = layout.Seen.Mask();
    std::int64_t sum = 0;
    for (std::int32_t accepted = 0; accepted < draws;) {
        std::uint64_t drawn = 0;
        bool usable = true;
        for (int c = 0; c < cards; ++c) {
            const SuitIndex suit = static_cast<SuitIndex>(random.Below(kSuits)) + 1;
            const RankIndex rank = static_cast<RankIndex>(random.Below(kRanks)) + 1;
            const std::uint64_t bit = std::uint64_t{1} << TCardTable::BitOf(rank, suit);
            if ((seen & bit) != 0 || (drawn & bit) != 0) usable = false;
            drawn |= bit;
        }
        if (!usable) continue;
        hand = TCardTable::FromMask(base | drawn);
        sum += value(arrived);
        ++accepted;
    }
    return sum;
}

}  // namespace studlab
