#include "cards/dealer_completions.h"

#include <algorithm>
#include <bit>
#include <utility>
#include <limits>
#include <stdexcept>

#include "cards/combinatorics.h"

namespace studlab {

bool TDealerCompletions::Serves(const TCountingRules& rules) {
    // The strength table knows the ordinary straights only.
    return !rules.RoundStraight && std::all_of(kCountedKinds.begin(), kCountedKinds.end(),
                       [&](TCombinationKind k) { return rules.Plays[k]; });
}

TDealerCompletions::TDealerCompletions(TCardTable dealer, TCardTable deck,
                                       const TCountingRules& rules) {
    Tally(dealer, deck, rules);
}

void TDealerCompletions::Tally(TCardTable dealer, TCardTable deck, const TCountingRules& rules) {
    m_dealer = dealer;
    m_deck = deck.Without(dealer);
    m_rules = rules;
    m_deckCount = 0;
    m_built = {};
    m_holding = {};
    m_blocks = {};
    m_position.fill(-1);
    m_needed = 5 - dealer.Count();
    for (std::uint64_t m = m_deck.Mask(); m != 0; m &= m - 1) {
        const int bit = std::countr_zero(m);
        m_position[static_cast<std::size_t>(bit)] = static_cast<std::int8_t>(m_deckCount++);
    }
    m_strengths = HandRankCount();
    if (m_needed < 0 || m_needed > m_deckCount) return;

    // Every completion, then a counting sort by strength.
    // The vectors keep their room from one layout to the next: a simulation tallies a layout per
    // hand, and fresh memory would cost it a page fault per page.
    std::vector<THandRank>& game = m_scratch.Game;
    game.resize(static_cast<std::size_t>(m_strengths));
    for (int v = 0; v < m_strengths; ++v) {
        game[static_cast<std::size_t>(v)] =
            v >= kHandRankNoGame && DealerGameAt(static_cast<THandRank>(v), rules)
                ? static_cast<THandRank>(v)
                : 0;
    }
    const auto total = static_cast<std::size_t>(Binomial(m_deckCount, m_needed));
    std::vector<std::array<std::uint8_t, 5>>& unsorted = m_scratch.Places;
    std::vector<THandRank>& strength = m_scratch.Strengths;
    unsorted.resize(total);
    strength.resize(total);
    // The completions in combinatorial order of their deck places, each hand's rank key, suits and
    // ranks added up a card at a time.
    std::array<std::uint32_t, kCards> weight{};
    std::array<std::uint8_t, kCards> suit{};
    std::array<std::uint32_t, kCards> rank{};
    {
        int place = 0;
        for (std::uint64_t m = m_deck.Mask(); m != 0; m &= m - 1, ++place) {
            const int bit = std::countr_zero(m);
            const auto p = static_cast<std::size_t>(place);
            weight[p] = kBitRankWeights[static_cast<std::size_t>(bit)];
            suit[p] = static_cast<std::uint8_t>(1U << (bit % 4));
            rank[p] = 1U << (bit / 4);
        }
    }
    struct TPartial {
        std::uint32_t Key = 0;
        std::uint32_t Suits = 0;
        std::uint32_t Ranks = 0;
    };
    std::array<TPartial, 6> partial{};
    for (std::uint64_t m = dealer.Mask(); m != 0; m &= m - 1) {
        const int bit = std::countr_zero(m);
        partial[0].Key += kBitRankWeights[static_cast<std::size_t>(bit)];
        partial[0].Suits |= 1U << (bit % 4);
        partial[0].Ranks |= 1U << (bit / 4);
    }
    const TRankLookup lookup = RankLookup();
    std::array<std::uint8_t, 5> places{};
    std::size_t c = 0;  // completions with a game
    TCount noGames = 0;
    // Puts the card of deck place `from` or a later one at depth `depth` and goes deeper. Only
    // the completions with a game are kept; the others are counted.
    auto put = [&](auto& self, int depth, int from) -> void {
        const TPartial& at = partial[static_cast<std::size_t>(depth)];
        if (depth == m_needed) {
            const THandRank v = game[lookup.Rank(at.Key, at.Suits, at.Ranks)];
            if (v == 0) {
                ++noGames;
                return;
            }
            unsorted[c] = places;
            strength[c++] = v;
            return;
        }
        for (int p = from; p <= m_deckCount - (m_needed - depth); ++p) {
            const auto q = static_cast<std::size_t>(p);
            places[static_cast<std::size_t>(depth)] = static_cast<std::uint8_t>(p);
            partial[static_cast<std::size_t>(depth + 1)] = {at.Key + weight[q], at.Suits | suit[q],
                                                            at.Ranks | rank[q]};
            self(self, depth + 1, p + 1);
        }
    };
    put(put, 0, 0);
    const std::size_t games = c;
    // A counting sort of the games by strength.
    m_cumulative0.assign(static_cast<std::size_t>(m_strengths), 0);
    m_cumulative0[0] = noGames;
    for (std::size_t g = 0; g < games; ++g) ++m_cumulative0[strength[g]];
    std::vector<std::size_t>& next = m_scratch.Next;
    next.assign(static_cast<std::size_t>(m_strengths), 0);
    std::size_t start = 0;
    for (int v = 1; v < m_strengths; ++v) {
        next[static_cast<std::size_t>(v)] = start;
        start += static_cast<std::size_t>(m_cumulative0[static_cast<std::size_t>(v)]);
    }
    for (int v = 1; v < m_strengths; ++v) {
        m_cumulative0[static_cast<std::size_t>(v)] += m_cumulative0[static_cast<std::size_t>(v - 1)];
    }
    m_completions.resize(games);
    m_values.resize(games);
    for (std::size_t g = 0; g < games; ++g) {
        const std::size_t to = next[strength[g]]++;
        m_completions[to] = unsorted[g];
        m_values[to] = strength[g];
    }
}

void TDealerCompletions::BuildLevel(int level) {
    m_built[static_cast<std::size_t>(level)] = true;
    m_holding[static_cast<std::size_t>(level)] =
        Binomial(m_deckCount - level, m_needed - level);
    if (level == 0 || level > m_needed) return;
    if (level == 1) {
        // Only the completions with a game are put in: the rest of those holding a card have none.
        m_cumulative1.assign(static_cast<std::size_t>(m_deckCount * m_strengths), 0);
        std::array<std::uint32_t, kCards> games{};
        for (std::size_t c = 0; c < m_completions.size(); ++c) {
            for (int i = 0; i < m_needed; ++i) {
                const std::uint8_t place = m_completions[c][static_cast<std::size_t>(i)];
                ++games[place];
                ++m_cumulative1[static_cast<std::size_t>(place * m_strengths) + m_values[c]];
            }
        }
        for (int p = 0; p < m_deckCount; ++p) {
            std::uint32_t* row = &m_cumulative1[static_cast<std::size_t>(p * m_strengths)];
            row[0] = static_cast<std::uint32_t>(m_holding[1]) - games[static_cast<std::size_t>(p)];
            for (int v = 1; v < m_strengths; ++v) row[v] += row[v - 1];
        }
        return;
    }
    // Completions come in ascending strength, so every set's run fills in ascending order.
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
    // Only the completions with a game are put in: the rest of those holding a set have none.
    for (std::size_t c = 0; c < m_completions.size(); ++c) {
        const THandRank value = m_values[c];
        forEachSet(m_completions[c],
                   [&](std::uint32_t set) { sorted[set * run + games[set]++] = value; });
    }
    for (std::size_t set = 0; set < sets; ++set) {
        noGame[set] = static_cast<std::uint32_t>(run) - games[set];
    }
    // Each block's first strength, so that a search reads a cache line of them and one block.
    std::vector<THandRank>& heads = m_heads[static_cast<std::size_t>(level)];
    const std::size_t blocks = (run + kBlock - 1) / kBlock;
    m_blocks[static_cast<std::size_t>(level)] = blocks;
    if (blocks <= 2) return;
    heads.assign(sets * blocks, std::numeric_limits<THandRank>::max());
    for (std::size_t set = 0; set < sets; ++set) {
        for (std::size_t b = 0; b * kBlock < games[set]; ++b) {
            heads[set * blocks + b] = sorted[set * run + b * kBlock];
        }
    }
}

TDealerCompletions::TAvoided TDealerCompletions::Avoided(const TPlaces& p, int k) const {
    TAvoided a;
    if (m_needed < 0 || m_needed > m_deckCount) {
        a.Empty = true;
        return a;
    }
    const int deepest = std::min(k, m_needed);
    // Inclusion-exclusion over the arrived cards, the sets of each size in ascending places.
    a.All = m_holding[0];
    a.NoGame = m_cumulative0[0];
    for (int i = 0; i < k && deepest >= 1; ++i) {
        const std::uint32_t* row = m_cumulative1.data() + p[i] * static_cast<std::size_t>(m_strengths);
        a.Rows[static_cast<std::size_t>(a.RowCount++)] = row;
        a.All -= m_holding[1];
        a.NoGame -= row[0];
    }
    auto addRun = [&](int level, std::size_t set, TCount sign) {
        const auto l = static_cast<std::size_t>(level);
        TRun& run = a.Runs[static_cast<std::size_t>(a.RunCount++)];
        run.First = m_sorted[l].data() + set * static_cast<std::size_t>(m_holding[l]);
        run.Games = m_games[l][set];
        run.NoGame = m_noGame[l][set];
        run.Sign = sign;
        run.Blocks = m_blocks[l];
        run.Heads = run.Blocks > 2 ? m_heads[l].data() + set * run.Blocks : nullptr;
        a.All += sign * m_holding[l];
        a.NoGame += sign * run.NoGame;
    };
    auto two = [](std::size_t q) { return q * (q - 1) / 2; };
    for (int j = 1; j < k && deepest >= 2; ++j) {
        for (int i = 0; i < j; ++i) addRun(2, two(p[j]) + p[i], 1);
    }
    if (k == 3 && deepest >= 3) {
        const std::size_t three = p[2] * (p[2] - 1) * (p[2] - 2) / 6;
        addRun(3, three + two(p[1]) + p[0], -1);
    }
    return a;
}

// How many of a run's games are below `player` and how many at most `player`.
std::pair<TCount, TCount> TDealerCompletions::CountUpTo(const TRun& run, THandRank player) {
    const THandRank* first = run.First;
    const std::size_t games = run.Games;
    if (games == 0 || first[0] > player) return {0, 0};
    if (first[games - 1] < player) return {static_cast<TCount>(games), static_cast<TCount>(games)};
    // Branch-free lower bound of the first strength not below the player's, narrowed first to
    // its block by the blocks' first strengths.
    const THandRank* at = first;
    std::size_t size = games;
    if (run.Heads != nullptr) {
        std::size_t b = 0;
        for (std::size_t n = run.Blocks; n > 1;) {
            const std::size_t half = n / 2;
            b = run.Heads[b + half] < player ? b + half : b;
            n -= half;
        }
        at = first + b * kBlock;
        size = std::min(kBlock, games - b * kBlock);
    }
    while (size > 1) {
        const std::size_t half = size / 2;
        at = at[half] < player ? at + half : at;
        size -= half;
    }
    if (*at < player) ++at;
    const THandRank* equal = at;
    const THandRank* last = first + games;
    while (equal != last && *equal == player) ++equal;
    return {at - first, equal - first};
}

TEvalTallies TDealerCompletions::TalliesAt(THandRank player, const TAvoided& a) const {
    TEvalTallies t;
    if (a.Empty) return t;
    // Those without a game, and of the rest those below the player's strength and those up to it.
    TCount below = a.NoGame;
    TCount atMost = a.NoGame;
    if (player != kHandRankNoGame) {  // else every game is stronger
        below += m_cumulative0[player - 1U] - m_cumulative0[0];
        atMost += m_cumulative0[player] - m_cumulative0[0];
        for (int i = 0; i < a.RowCount; ++i) {
            const std::uint32_t* row = a.Rows[static_cast<std::size_t>(i)];
            below -= static_cast<TCount>(row[player - 1U] - row[0]);
            atMost -= static_cast<TCount>(row[player] - row[0]);
        }
        for (int i = 0; i < a.RunCount; ++i) {
            const TRun& run = a.Runs[static_cast<std::size_t>(i)];
            const auto [runBelow, runAtMost] = CountUpTo(run, player);
            below += run.Sign * runBelow;
            atMost += run.Sign * runAtMost;
        }
    }
    t.DealerOutcomes = a.All;
    t.DealerNoGame = a.NoGame;
    t.DealerWins = a.All - atMost;
    t.Ties = atMost - below;
    t.PlayerWins = below - a.NoGame;
    return t;
}

TEvalTallies TDealerCompletions::Tallies(THandRank player, TCardTable arrival) {
    if (arrival.Count() > kMaxArrival || arrival.Without(m_deck) != TCardTable{}) {
        throw std::invalid_argument("an arrival of at most three cards of the deck");
    }
    if (player < kHandRankNoGame) throw std::invalid_argument("no hand has strength 0");
    TPlaces p{};
    int k = 0;
    for (std::uint64_t m = arrival.Mask(); m != 0 && k < kMaxArrival; m &= m - 1) {
        p[static_cast<std::size_t>(k++)] = Place(std::countr_zero(m));
    }
    PrepareArrivals(k);
    return TalliesAt(player, p, k);
}

void TDealerCompletions::PrepareArrivals(int cards) {
    if (m_needed < 0 || m_needed > m_deckCount) return;
    const int deepest = std::min(cards, m_needed);
    for (int level = 0; level <= deepest; ++level) {
        if (!m_built[static_cast<std::size_t>(level)]) BuildLevel(level);
    }
}

TEvalTallies TDealerCompletions::TalliesAt(THandRank player, const TPlaces& p, int k) const {
    return TalliesAt(player, Avoided(p, k));
}

}  // namespace studlab
