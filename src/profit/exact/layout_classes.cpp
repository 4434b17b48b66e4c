#include "profit/exact/layout_classes.h"

#include "cards/combinatorics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>

namespace studlab {
namespace {

constexpr int kPlayerCards = 5;
constexpr int kGroupsPerPlayerCount = 6;  // dealer cards 0..5 in a suit

// A suit's signature: the number of player and dealer cards in it (so that signatures order by
// these counts first), then the player's ranks and the dealer's ranks as 13-bit masks.
constexpr std::uint32_t Key(int playerCount, int dealerCount, std::uint32_t player,
                            std::uint32_t dealer) {
    return (static_cast<std::uint32_t>(playerCount) << 29) |
           (static_cast<std::uint32_t>(dealerCount) << 26) | (player << 13) | dealer;
}

// Rank bit r moved to card bit 4r: the cards of those ranks in the first suit.
const std::array<std::uint64_t, 1U << kRanks> kSpreadRanks = [] {
    std::array<std::uint64_t, 1U << kRanks> table{};
    for (std::uint32_t ranks = 0; ranks < table.size(); ++ranks) {
        for (int r = 0; r < kRanks; ++r) {
            if ((ranks >> r) & 1U) table[ranks] |= std::uint64_t{1} << (r * 4);
        }
    }
    return table;
}();

TCardTable CardsOfRanks(std::uint32_t ranks, int suit) {
    return TCardTable::FromMask(kSpreadRanks[ranks] << (suit - 1));
}

}  // namespace

TCardTable TLayoutClasses::PlayerCardsOf(std::uint32_t key, int suit) {
    return CardsOfRanks((key >> 13) & 0x1FFFU, suit);
}

TCardTable TLayoutClasses::DealerCardsOf(std::uint32_t key, int suit) {
    return CardsOfRanks(key & 0x1FFFU, suit);
}

TLayoutClasses::TLayoutClasses(int dealerCards) : m_dealerCards(dealerCards) {
    m_groups.resize((kPlayerCards + 1) * kGroupsPerPlayerCount);
    for (std::uint32_t player = 0; player < (1U << kRanks); ++player) {
        const int p = std::popcount(player);
        if (p > kPlayerCards) continue;
        const std::uint32_t free = ~player & 0x1FFFU;
        // Every subset of the ranks the player leaves free in the suit.
        for (std::uint32_t dealer = free;; dealer = (dealer - 1) & free) {
            const int d = std::popcount(dealer);
            if (d <= dealerCards) {
                m_groups[static_cast<std::size_t>(p * kGroupsPerPlayerCount + d)].Keys.push_back(
                    Key(p, d, player, dealer));
            }
            if (dealer == 0) break;
        }
    }
    for (TGroup& g : m_groups) std::sort(g.Keys.begin(), g.Keys.end(), std::greater<>());

    // Splits of the cards over the suits, in decreasing order of (player, dealer) counts.
    std::array<int, 4> group{};
    std::function<void(int, int, int)> split = [&](int suit, int players, int dealers) {
        if (suit == 4) {
            if (players == 0 && dealers == 0) {
                m_splits.emplace_back();
                m_splits.back().Group = group;
            }
            return;
        }
        for (int p = std::min(players, kPlayerCards); p >= 0; --p) {
            for (int d = std::min(dealers, dealerCards); d >= 0; --d) {
                const int g = p * kGroupsPerPlayerCount + d;
                if (suit > 0 && g > group[static_cast<std::size_t>(suit - 1)]) continue;
                if (m_groups[static_cast<std::size_t>(g)].Keys.empty()) continue;
                group[static_cast<std::size_t>(suit)] = g;
                split(suit + 1, players - p, dealers - d);
            }
        }
    };
    split(0, kPlayerCards, dealerCards);
    m_classCount = Count(nullptr, 0);
    PrepareIndex();
}

namespace {

constexpr std::uint32_t PackGroups(const std::array<int, 4>& group) {
    return (static_cast<std::uint32_t>(group[0]) << 18) |
           (static_cast<std::uint32_t>(group[1]) << 12) |
           (static_cast<std::uint32_t>(group[2]) << 6) | static_cast<std::uint32_t>(group[3]);
}

// The ranks held in suit `suit` (0..3) of a card mask, rank bit r for card bit 4r + suit.
std::uint32_t RanksInSuit(std::uint64_t mask, int suit) {
    std::uint32_t ranks = 0;
    mask >>= suit;
    for (int r = 0; r < kRanks; ++r)
        ranks |= static_cast<std::uint32_t>((mask >> (4 * r)) & 1U) << r;
    return ranks;
}

}  // namespace

// Within a split the classes are the tuples of signature indexes (one per suit) where a suit of
// the same group as the suit before it takes an index no lower than that one's: Below[s] counts,
// for each index of suit s, the tuples of the suits after it.
void TLayoutClasses::PrepareIndex() {
    std::int64_t before = 0;
    m_splitOf.clear();
    for (std::size_t v = 0; v < m_splits.size(); ++v) {
        TSplit& split = m_splits[v];
        split.Before = before;
        // Tuples of the suits from s on when suit s starts at index `from`.
        const auto from = [&split](std::size_t s, std::size_t index) {
            const std::vector<std::int64_t>& below = split.Below[s];
            return below.back() - below[index];
        };
        for (std::size_t s = 4; s-- > 0;) {
            const std::size_t size = m_groups[static_cast<std::size_t>(split.Group[s])].Keys.size();
            std::vector<std::int64_t>& below = split.Below[s];
            below.assign(size + 1, 0);
            for (std::size_t i = 0; i < size; ++i) {
                std::int64_t after = 1;
                if (s < 3) after = from(s + 1, split.Group[s + 1] == split.Group[s] ? i : 0);
                below[i + 1] = below[i] + after;
            }
        }
        before += from(0, 0);
        m_splitOf.emplace_back(PackGroups(split.Group), static_cast<int>(v));
    }
    std::sort(m_splitOf.begin(), m_splitOf.end());
}

std::int64_t TLayoutClasses::IndexOf(TCardTable player, TCardTable dealer) const {
    if (player.Count() != kPlayerCards || dealer.Count() != m_dealerCards ||
        !(player & dealer).Empty()) {
        return -1;
    }
    std::array<std::uint32_t, 4> keys{};
    for (int s = 0; s < 4; ++s) {
        const std::uint32_t p = RanksInSuit(player.Mask(), s);
        const std::uint32_t d = RanksInSuit(dealer.Mask(), s);
        keys[static_cast<std::size_t>(s)] = Key(std::popcount(p), std::popcount(d), p, d);
    }
    std::sort(keys.begin(), keys.end(), std::greater<>());
    std::array<int, 4> group{};
    for (std::size_t s = 0; s < 4; ++s) {
        group[s] = static_cast<int>(keys[s] >> 29) * kGroupsPerPlayerCount +
                   static_cast<int>((keys[s] >> 26) & 7U);
    }
    const std::uint32_t packed = PackGroups(group);
    const auto found = std::lower_bound(m_splitOf.begin(), m_splitOf.end(),
                                        std::pair<std::uint32_t, int>(packed, 0));
    if (found == m_splitOf.end() || found->first != packed) return -1;
    const TSplit& split = m_splits[static_cast<std::size_t>(found->second)];
    std::int64_t index = split.Before;
    std::size_t from = 0;
    for (std::size_t s = 0; s < 4; ++s) {
        const std::vector<std::uint32_t>& in = m_groups[static_cast<std::size_t>(group[s])].Keys;
        const auto at = std::lower_bound(in.begin(), in.end(), keys[s], std::greater<>());
        if (at == in.end() || *at != keys[s]) return -1;
        const auto i = static_cast<std::size_t>(at - in.begin());
        index += split.Below[s][i] - split.Below[s][from];
        from = s < 3 && group[s + 1] == group[s] ? i : 0;
    }
    return index;
}

std::int64_t TLayoutClasses::LayoutCount() const {
    return Binomial(kCards, kPlayerCards) * Binomial(kCards - kPlayerCards, m_dealerCards);
}

std::vector<TLayoutCursor> TLayoutClasses::BatchStarts(std::int64_t batch) const {
    std::vector<TLayoutCursor> starts;
    Count(&starts, batch);
    return starts;
}

// Counts the classes without building them: the innermost suit is counted, not
// visited. With `starts`, also records a cursor at every `batch`-th class.
std::int64_t TLayoutClasses::Count(std::vector<TLayoutCursor>* starts, std::int64_t batch) const {
    std::int64_t counted = 0;
    TLayoutCursor c;
    for (c.Vector = 0; c.Vector < static_cast<int>(m_splits.size()); ++c.Vector) {
        const TSplit& split = m_splits[static_cast<std::size_t>(c.Vector)];
        std::array<int, 4> size{};
        for (std::size_t s = 0; s < 4; ++s) {
            size[s] =
                static_cast<int>(m_groups[static_cast<std::size_t>(split.Group[s])].Keys.size());
        }
        for (c.Index[0] = 0; c.Index[0] < size[0]; ++c.Index[0]) {
            for (c.Index[1] = FirstIndex(split, c.Index, 1); c.Index[1] < size[1]; ++c.Index[1]) {
                for (c.Index[2] = FirstIndex(split, c.Index, 2); c.Index[2] < size[2];
                     ++c.Index[2]) {
                    const int first = FirstIndex(split, c.Index, 3);
                    const std::int64_t here = size[3] - first;
                    if (starts != nullptr) {
                        // The batch boundaries that fall among these classes.
                        std::int64_t next = (counted + batch - 1) / batch * batch;
                        for (; next < counted + here; next += batch) {
                            TLayoutCursor at = c;
                            at.Index[3] = first + static_cast<int>(next - counted);
                            starts->push_back(at);
                        }
                    }
                    counted += here;
                }
            }
        }
    }
    return counted;
}

}  // namespace studlab
