#include "cards/dealer_completions.h"

#include <algorithm>
#include <bit>

#include "cards/combinatorics.h"

namespace studlab {
namespace {

// The combinatorial number of ascending places p[0] < p[1] < ...: sets of a size in one order.
std::size_t SetIndex(const std::uint8_t* places, int count) {
    std::size_t index = 0;
    for (int i = 0; i < count; ++i) index += static_cast<std::size_t>(Binomial(places[i], i + 1));
    return index;
}

}  // namespace

bool TDealerCompletions::Serves(const TCountingRules& rules) {
    return std::all_of(kCountedKinds.begin(), kCountedKinds.end(),
                       [&](TCombinationKind k) { return rules.Plays[k]; });
}

TDealerCompletions::TDealerCompletions(TCardTable dealer, TCardTable deck,
                                       const TCountingRules& rules)
    : m_dealer(dealer), m_deck(deck.Without(dealer)), m_rules(rules) {
    m_position.fill(-1);
    m_needed = 5 - dealer.Count();
    std::array<std::uint64_t, kCards> bitOf{};
    for (std::uint64_t m = m_deck.Mask(); m != 0; m &= m - 1) {
        const int bit = std::countr_zero(m);
        bitOf[static_cast<std::size_t>(m_deckCount)] = std::uint64_t{1} << bit;
        m_position[static_cast<std::size_t>(bit)] = static_cast<std::int8_t>(m_deckCount++);
    }
    m_strengths = HandRankCount();
    if (m_needed < 0 || m_needed > m_deckCount) return;

    // Every completion, then a counting sort by strength.
    std::vector<THandRank> game(static_cast<std::size_t>(m_strengths));
    for (int v = 0; v < m_strengths; ++v) {
        game[static_cast<std::size_t>(v)] =
            v >= kHandRankNoGame && DealerGameAt(static_cast<THandRank>(v), rules)
                ? static_cast<THandRank>(v)
                : 0;
    }
    const auto total = static_cast<std::size_t>(Binomial(m_deckCount, m_needed));
    std::vector<std::array<std::uint8_t, 5>> unsorted(total);
    std::vector<THandRank> strength(total);
    std::array<int, 5> at{};
    for (int i = 0; i < m_needed; ++i) at[static_cast<std::size_t>(i)] = i;
    for (std::size_t c = 0; c < total; ++c) {
        std::uint64_t hand = dealer.Mask();
        auto& places = unsorted[c];
        for (int i = 0; i < m_needed; ++i) {
            const int p = at[static_cast<std::size_t>(i)];
            places[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(p);
            hand |= bitOf[static_cast<std::size_t>(p)];
        }
        strength[c] = game[RankOfFive(TCardTable::FromMask(hand))];
        int i = m_needed - 1;
        while (i >= 0 && at[static_cast<std::size_t>(i)] == m_deckCount - m_needed + i) --i;
        if (i < 0) break;
        ++at[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < m_needed; ++j) {
            at[static_cast<std::size_t>(j)] = at[static_cast<std::size_t>(j - 1)] + 1;
        }
    }
    m_cumulative0.assign(static_cast<std::size_t>(m_strengths), 0);
    for (THandRank v : strength) ++m_cumulative0[v];
    std::vector<std::size_t> next(static_cast<std::size_t>(m_strengths));
    std::size_t start = 0;
    for (int v = 0; v < m_strengths; ++v) {
        next[static_cast<std::size_t>(v)] = start;
        start += static_cast<std::size_t>(m_cumulative0[static_cast<std::size_t>(v)]);
    }
    for (int v = 1; v < m_strengths; ++v) {
        m_cumulative0[static_cast<std::size_t>(v)] += m_cumulative0[static_cast<std::size_t>(v - 1)];
    }
    m_firstGame = static_cast<std::size_t>(m_cumulative0[0]);
    m_completions.resize(total);
    m_values.resize(total);
    for (std::size_t c = 0; c < total; ++c) {
        const std::size_t to = next[strength[c]]++;
        m_completions[to] = unsorted[c];
        m_values[to] = strength[c];
    }
}

void TDealerCompletions::BuildLevel(int level) {
    m_built[static_cast<std::size_t>(level)] = true;
    if (level == 0 || level > m_needed) return;
    if (level == 1) {
        m_cumulative1.assign(static_cast<std::size_t>(m_deckCount * m_strengths), 0);
        for (std::size_t c = 0; c < m_completions.size(); ++c) {
            for (int i = 0; i < m_needed; ++i) {
                ++m_cumulative1[static_cast<std::size_t>(m_completions[c][static_cast<std::size_t>(i)] *
                                                         m_strengths) +
                                m_values[c]];
            }
        }
        for (int p = 0; p < m_deckCount; ++p) {
            std::uint32_t* row = &m_cumulative1[static_cast<std::size_t>(p * m_strengths)];
            for (int v = 1; v < m_strengths; ++v) row[v] += row[v - 1];
        }
        return;
    }
    // Completions come in ascending strength, so every set's run fills in ascending order; the
    // completions without a game come first and are only counted.
    const auto sets = static_cast<std::size_t>(Binomial(m_deckCount, level));
    const auto run = static_cast<std::size_t>(Binomial(m_deckCount - level, m_needed - level));
    std::vector<THandRank>& sorted = m_sorted[static_cast<std::size_t>(level)];
    std::vector<std::uint32_t>& noGame = m_noGame[static_cast<std::size_t>(level)];
    std::vector<std::uint32_t>& games = m_games[static_cast<std::size_t>(level)];
    sorted.resize(sets * run);
    noGame.assign(sets, 0);
    games.assign(sets, 0);
    std::array<std::uint32_t, kCards> two{};    // C(p, 2)
    std::array<std::uint32_t, kCards> three{};  // C(p, 3)
    for (int p = 0; p < kCards; ++p) {
        two[static_cast<std::size_t>(p)] = static_cast<std::uint32_t>(Binomial(p, 2));
        three[static_cast<std::size_t>(p)] = static_cast<std::uint32_t>(Binomial(p, 3));
    }
    auto forEachSet = [&](const std::array<std::uint8_t, 5>& places, auto&& f) {
        const int n = m_needed;
        for (int k = level - 1; k < n; ++k) {
            const std::uint32_t top = level == 2 ? two[places[static_cast<std::size_t>(k)]]
                                                 : three[places[static_cast<std::size_t>(k)]];
            for (int j = level - 2; j < k; ++j) {
                if (level == 2) {
                    f(top + places[static_cast<std::size_t>(j)]);
                    continue;
                }
                const std::uint32_t mid = top + two[places[static_cast<std::size_t>(j)]];
                for (int i = 0; i < j; ++i) f(mid + places[static_cast<std::size_t>(i)]);
            }
        }
    };
    for (std::size_t c = 0; c < m_firstGame; ++c) {
        forEachSet(m_completions[c], [&](std::uint32_t set) { ++noGame[set]; });
    }
    for (std::size_t c = m_firstGame; c < m_completions.size(); ++c) {
        const THandRank value = m_values[c];
        forEachSet(m_completions[c],
                   [&](std::uint32_t set) { sorted[set * run + games[set]++] = value; });
    }
}

TDealerCompletions::TAtLeast TDealerCompletions::Holding(
    const std::array<int, kMaxArrival>& positions, int count, THandRank player) {
    TAtLeast n;
    if (count > m_needed || m_needed > m_deckCount) return n;
    if (!m_built[static_cast<std::size_t>(count)]) BuildLevel(count);
    n.All = Binomial(m_deckCount - count, m_needed - count);
    if (count == 0) {
        n.NoGame = m_cumulative0[0];
        n.AtMost = m_cumulative0[player];
        n.Below = m_cumulative0[player - 1U];
        return n;
    }
    if (count == 1) {
        const std::uint32_t* row =
            &m_cumulative1[static_cast<std::size_t>(positions[0] * m_strengths)];
        n.NoGame = row[0];
        n.AtMost = row[player];
        n.Below = row[player - 1U];
        return n;
    }
    std::array<std::uint8_t, kMaxArrival> places{};
    for (int i = 0; i < count; ++i) {
        places[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(positions[static_cast<std::size_t>(i)]);
    }
    const std::size_t set = SetIndex(places.data(), count);
    const std::size_t level = static_cast<std::size_t>(count);
    n.NoGame = m_noGame[level][set];
    n.AtMost = n.NoGame;
    n.Below = n.NoGame;
    if (player == kHandRankNoGame) return n;  // every game is stronger
    const THandRank* first = m_sorted[level].data() + set * static_cast<std::size_t>(n.All);
    std::size_t size = m_games[level][set];
    // Branch-free lower bound: the first strength not below the player's.
    const THandRank* at = first;
    if (size != 0) {
        while (size > 1) {
            const std::size_t half = size / 2;
            at = at[half] < player ? at + half : at;
            size -= half;
        }
        if (*at < player) ++at;
    }
    const THandRank* equal = at;
    const THandRank* last = first + m_games[level][set];
    while (equal != last && *equal == player) ++equal;
    n.Below += at - first;
    n.AtMost += equal - first;
    return n;
}

TEvalTallies TDealerCompletions::Tallies(THandRank player, TCardTable arrival) {
    std::array<int, kMaxArrival> arrived{};
    int k = 0;
    for (std::uint64_t m = arrival.Mask(); m != 0; m &= m - 1) {
        arrived[static_cast<std::size_t>(k++)] = m_position[static_cast<std::size_t>(std::countr_zero(m))];
    }
    TCount all = 0;
    TCount noGame = 0;
    TCount atMost = 0;
    TCount below = 0;
    // Subsets of the arrival in ascending deck places, each added with the sign of its size.
    for (unsigned subset = 0; subset < (1U << k); ++subset) {
        std::array<int, kMaxArrival> held{};
        int count = 0;
        for (int i = 0; i < k; ++i) {
            if ((subset >> i) & 1U) held[static_cast<std::size_t>(count++)] = arrived[static_cast<std::size_t>(i)];
        }
        if (count > m_needed) continue;
        const TAtLeast n = Holding(held, count, player);
        const TCount sign = count % 2 == 0 ? 1 : -1;
        all += sign * n.All;
        noGame += sign * n.NoGame;
        atMost += sign * n.AtMost;
        below += sign * n.Below;
    }
    TEvalTallies t;
    t.DealerOutcomes = all;
    t.DealerNoGame = noGame;
    t.DealerWins = all - atMost;
    t.Ties = atMost - below;
    t.PlayerWins = below - noGame;
    return t;
}

}  // namespace studlab
