#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "cards/card_table.h"
#include "cards/completion_counting.h"
#include "cards/eval_rules.h"
#include "cards/evaluator.h"
#include "cards/five_card_rank.h"

namespace studlab {

// Every way the dealer's known cards can be completed from one deck, each completion by its
// strength (or none, when it gives him no game), tallied so that a player's draw is counted in a
// few look-ups: when the player's arrival takes cards out of the deck, the completions that avoid
// them are, by inclusion-exclusion over the arrived cards, the completions of the whole deck,
// less those holding one arrived card, plus those holding two, and so on. The completions that
// hold a given set of deck cards are kept as cumulative counts by strength (none or one card) or
// as strengths in ascending order (two and three cards).
//
// The counts equal the closed-form counting of TCompletionCounts when every kind plays, which is
// the only case this table serves (Serves).
class TDealerCompletions {
public:
    // The most cards an arrival may take out of the deck.
    static constexpr int kMaxArrival = 3;

    TDealerCompletions(TCardTable dealer, TCardTable deck, const TCountingRules& rules);
    // Tallies the completions of other cards, in the room the last tally took.
    void Tally(TCardTable dealer, TCardTable deck, const TCountingRules& rules);

    // Whether the table can stand for the closed form under these rules: every kind plays and
    // straights do not wrap round the ace.
    static bool Serves(const TCountingRules& rules);

    TCardTable Dealer() const { return m_dealer; }
    TCardTable Deck() const { return m_deck; }
    const TCountingRules& Rules() const { return m_rules; }

    // The dealer's completions from the deck less `arrival` (up to kMaxArrival cards of the deck),
    // against a player of strength `player`.
    TEvalTallies Tallies(THandRank player, TCardTable arrival);

    // The same for a loop over many arrivals, without the checks: an arrival by its deck places
    // in ascending order (Place of each card), once PrepareArrivals has tallied arrivals of as
    // many cards.
    using TPlaces = std::array<std::size_t, kMaxArrival>;
    void PrepareArrivals(int cards);
    TEvalTallies TalliesAt(THandRank player, const TPlaces& places, int count) const;
    // The deck place of a deck card's bit.
    std::size_t Place(int bit) const {
        return static_cast<std::size_t>(m_position[static_cast<std::size_t>(bit)]);
    }

private:
    // The completions holding one set of a level's deck cards.
    struct TRun {
        const THandRank* First = nullptr;  // the strengths of those with a game, ascending
        std::size_t Games = 0;
        const THandRank* Heads = nullptr;  // each block's first strength, or none
        std::size_t Blocks = 0;
        TCount NoGame = 0;
        TCount Sign = 1;
    };
    static std::pair<TCount, TCount> CountUpTo(const TRun& run, THandRank player);

public:
    // The completions that avoid one arrival, by the sets of its cards they hold, read once and
    // counted against the strength of every hand the arrival completes. It points into this
    // tally: Avoided needs PrepareArrivals(count) first, and what it returns holds until the
    // next Tally. A player's strength is never below kHandRankNoGame.
    struct TAvoided {
        bool Empty = false;  // the dealer cannot be completed
        TCount All = 0;
        TCount NoGame = 0;
        int RowCount = 0;  // the cards: each taken off
        std::array<const std::uint32_t*, kMaxArrival> Rows{};
        int RunCount = 0;  // the pairs and the triple
        std::array<TRun, 4> Runs{};
    };
    TAvoided Avoided(const TPlaces& places, int count) const;
    TEvalTallies TalliesAt(THandRank player, const TAvoided& avoided) const;

private:
    void BuildLevel(int level);

    TCardTable m_dealer;
    TCardTable m_deck;
    TCountingRules m_rules;
    int m_needed = 0;  // the cards the dealer still needs
    int m_deckCount = 0;
    std::array<std::int8_t, kCards> m_position{};  // [card bit] place in the deck, -1 outside
    int m_strengths = 0;                          // HandRankCount()
    // Every completion with a game: its deck places, in ascending order of its strength.
    std::vector<std::array<std::uint8_t, 5>> m_completions;
    std::vector<THandRank> m_values;
    // [v] completions up to strength v; [place * strengths + v] those holding the place's card.
    std::vector<TCount> m_cumulative0;
    std::vector<std::uint32_t> m_cumulative1;
    // [level 2, 3] for each set of `level` deck places, the sets in combinatorial order: how many
    // completions holding it have no game, and the ascending strengths of those with a game, in a
    // run of the length every set's completions would fill.
    std::array<std::vector<std::uint32_t>, kMaxArrival + 1> m_noGame;
    std::array<std::vector<std::uint32_t>, kMaxArrival + 1> m_games;
    std::array<std::vector<THandRank>, kMaxArrival + 1> m_sorted;
    // [level 2, 3] the first strength of every block of kBlock in each set's run (the largest
    // strength past its games), where a run has more than two blocks.
    static constexpr std::size_t kBlock = 32;
    std::array<std::vector<THandRank>, kMaxArrival + 1> m_heads;
    std::array<std::size_t, kMaxArrival + 1> m_blocks{};
    std::array<bool, kMaxArrival + 1> m_built{};
    struct TScratch {
        std::vector<THandRank> Game;  // [strength] the strength, or 0 when it is no game
        std::vector<std::array<std::uint8_t, 5>> Places;
        std::vector<THandRank> Strengths;
        std::vector<std::size_t> Next;
    } m_scratch;
    std::array<TCount, kMaxArrival + 1> m_holding{};  // [level] completions holding a set
};

}  // namespace studlab
