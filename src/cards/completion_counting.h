#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "cards/eval_rules.h"

namespace studlab {

// Counts of completions. The largest is C(52, 5); products of binomials stay far below 2^63.
using TCount = std::int64_t;

// One rank pattern of a kind, laid out as that kind's table is indexed, so that comparing two
// patterns of the same kind lexicographically gives the table order, strongest first:
//   straight flush, straight: the top card of the run (1 ace-high .. 10 five-high, and with
//     wrap-around straights 11 four-high .. 13 two-high);
//   four of a kind, three of a kind: the rank;
//   full house: (three-of-a-kind rank, pair rank);
//   flush: the five ranks, highest first;
//   two pairs: (high pair, low pair, kicker);
//   pair: (pair rank, three kickers highest first);
//   ace-king: the three cards below the ace and the king, highest first.
// Unused places stay 0.
struct TPattern {
    std::array<std::int8_t, 5> Ranks{};
    friend constexpr auto operator<=>(const TPattern&, const TPattern&) = default;
};

// The dealer's entries of one kind split around a pattern: stronger, equal, weaker.
struct TPatternSplit {
    TCount Before = 0;
    TCount At = 0;
    TCount After = 0;
};

// How the dealer's known cards can be completed to five from the unseen cards: the number of
// completions per kind and, on demand, per rank pattern of a kind. Totals are computed in closed
// form when the object is built; a single entry, or the sum of the entries before a pattern, is
// computed when asked for, so nothing is enumerated and no pattern table is ever filled.
//
// The counts are those of the closed-form products, including what they do when kinds do not
// play: the hands of a kind that does not play are not removed from the weaker kinds that
// contain them, and a completion that falls in no table of a playing kind has no game.
class TCompletionCounts {
public:
    TCompletionCounts(TCardTable known, TCardTable unseen, const TCountingRules& rules);

    // C(T, 5 - n): every completion, whatever it makes.
    TCount Outcomes() const { return m_outcomes; }
    int DeckRemaining() const { return m_deckRemaining; }

    // 0 for a kind that does not play, for ckPoker and for ckNoGame.
    TCount KindTotal(TCombinationKind kind) const { return m_totals[kind]; }
    // The sum of KindTotal over the ten kinds from the royal flush to the ace-king.
    TCount GameTotal() const;

    // One entry of the kind's table, 0 for a pattern that is not in it.
    TCount Entry(TCombinationKind kind, const TPattern& pattern) const;
    // The sum of the kind's entries that come before the pattern in table order. The pattern
    // need not be in the table: a pair below the minimum pair has every entry before it.
    TCount EntriesBefore(TCombinationKind kind, const TPattern& pattern) const;
    // The sum of the kind's table. It equals KindTotal except for the flush, whose table never
    // holds straight or royal flushes while its total keeps them when those kinds do not play.
    TCount TableSum(TCombinationKind kind) const;
    // Every entry of the kind is Before when there is no pattern.
    TPatternSplit SplitAround(TCombinationKind kind, const std::optional<TPattern>& pattern) const;

    // The kind's product for one pattern without the subtractions of the dealer's tables (no
    // royal or straight flushes taken from the straights, no full houses from the three of a
    // kind, no one-suit hands from the ace-kings). Built from the player's kept cards this is
    // his marker table.
    TCount RawEntry(TCombinationKind kind, const TPattern& pattern) const;

private:
    TCount OneSuitCount(std::uint32_t ranks) const;
    TCount StraightFlushEntry(int top) const;
    TCount FourOfAKindEntry(int rank) const;
    TCount ThreeOfAKindRaw(int rank) const;
    TCount StraightRaw(int top) const;
    TCount FullHouseEntry(int trips, int pair) const;
    TCount FlushEntry(const TPattern& pattern) const;
    TCount TwoPairsEntry(int high, int low, int kicker) const;
    TCount TwoPairsRow(int high, int low) const;
    TCount PairEntry(const TPattern& pattern) const;
    TCount AceKingRaw(const TPattern& pattern) const;
    TCount AceKingSameSuit(const TPattern& pattern) const;
    TCount FlushBefore(const TPattern& pattern) const;
    TCount AceKingBefore(const TPattern& pattern) const;

    std::array<TCount, 14> m_known{};   // [rank] known cards
    std::array<TCount, 14> m_unseen{};  // [rank] unseen cards
    std::array<TCount, 14> m_single{};  // [rank] Binom(V, 1 - K)
    std::array<TCount, 14> m_double{};  // [rank] Binom(V, 2 - K)
    std::array<TCount, 14> m_triple{};  // [rank] Binom(V, 3 - K)
    TCount m_singleSum = 0;
    std::array<std::uint32_t, 5> m_availableBySuit{};  // [suit] ranks known or unseen
    std::array<std::uint32_t, 5> m_knownBySuit{};      // [suit] ranks known
    std::uint32_t m_knownRanks = 0;
    int m_knownRankCount = 0;
    std::uint32_t m_flushSuits = 0;  // suits that may hold a one-suit pattern (bit s - 1)
    TCountingRules m_rules;
    int m_knownCount = 0;
    int m_deckRemaining = 0;
    TCount m_outcomes = 0;

    TCount m_royalRaw = 0;
    int m_runs = 10;                              // runs of five ranks that count (straight_runs.h)
    std::array<TCount, 14> m_straightFlushRaw{};  // [top 2..m_runs]
    TCount m_straightFlushRawTotal = 0;
    TCount m_flushClosed = 0;
    std::array<TCount, 14> m_fullHouseRow{};  // [three-of-a-kind rank], 0 when it does not play
    std::array<TCount, 14> m_pairRow{};       // [pair rank]
    TByKind<TCount> m_totals;
};

// The position of the player's kept cards in the table of his kind. With five cards it is his own
// pattern (wherever it falls, also outside the table: a pair below the minimum pair, a royal flush
// counted as a straight flush). With fewer cards it is the first entry of the marker table, the
// strongest pattern that holds all his cards and can still be completed from the unseen cards.
// With more than five kept cards (possible only when lower kinds do not play) it is the strongest
// pattern of his kind that his cards hold. None when no such pattern exists.
std::optional<TPattern> PlayerPattern(TCombinationKind kind, TCardTable kept, TCardTable unseen,
                                      const TCountingRules& rules);

}  // namespace studlab
