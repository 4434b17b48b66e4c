#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "cards/evaluator.h"
#include "table/offers.h"

namespace studlab {

class TExactGame;

// How the dealer's completions of one hand go when the decision after the dealer's hand is shown
// offers to buy him a game. A completion with a game, and one without a game that the player
// declines, settle as the plain bet; one the player buys throws away the dealer's swap card,
// pays the cost and settles the bet over every replacement card.
struct TDealerGameTally {
    TCount NoGameHands = 0;  // completions without a game
    TCount BoughtHands = 0;  // of them, those where the recommended play buys
    // Over the bought completions and each of their replacement cards: how the hand ends.
    TEvalTallies Bought;
    // What each of those endings brings: the bet on the final cards with the cost staked.
    TOutcomePayouts BoughtPayouts;
    float StakeAfter = 0;  // the extra stake once the game is paid for
    int Replacements = 0;  // the cards a replacement may be, the same for every completion
    // Over the completions without a game, what buying brings beyond declining where it brings
    // more (the best continuation's choice), in ten-thousandths of an ante summed over the
    // replacement cards; declining counts its payout once per replacement card.
    TWideSum BestGain = 0;
    // A swap card chosen among two of one rank: the suits decide which is thrown away.
    bool SuitSensitive = false;
};

// Counts the dealer game of a decision point (its stage the decision that offers it, the dealer's
// open cards as known before his hidden ones come). The dealer's completions without a game
// are grouped by what the purchase leaves him: the four cards he keeps matter only by their
// ranks and by whether they share one suit (which suit), since every replacement card is met
// over the same remaining deck; each group's replacement cards are tallied once by the
// evaluator.
class TDealerGameCounter {
public:
    explicit TDealerGameCounter(const TExactGame& game) : m_game(game) {}

    // The tally of `point`; the last one is kept, for the valuation and the play of one hand
    // look at the same point.
    const TDealerGameTally& Count(const TDecisionPoint& point);

private:
    bool HasGame(TCardTable five);
    // The dealer's hands by their ranks, each with its verdicts (game with and without a flush),
    // kept where some hand of those ranks has no game; built once.
    struct TShape {
        std::array<std::uint8_t, kRanks + 1> Count{};  // [rank index]
        std::uint16_t Ranks = 0;                         // bit r - 1 for each rank held
        bool Distinct = false;
        bool GameWithFlush = true;
        bool GameWithoutFlush = true;
    };
    void MakeShapes();
    // Adds the completions of the dealer's cards of one shape to the groups.
    void CountShape(const TShape& shape, const std::array<std::uint8_t, kRanks + 1>& open,
                    const std::array<std::uint8_t, kRanks + 1>& free, TDealerGameTally& tally);
    void AddToGroup(TCardTable dealer, TCount hands, TDealerGameTally& tally);
    void AddKept(TCardTable kept, TCount hands, TDealerGameTally& tally);

    struct TGroup {
        TCardTable Kept;  // the four cards of one completion of the group
        TCount Hands = 0;
    };

    const TExactGame& m_game;
    std::unordered_map<std::uint64_t, std::uint32_t> m_groupOf;
    std::vector<TGroup> m_groups;
    std::unordered_map<std::uint64_t, bool> m_gameOf;  // rules under which strengths do not serve
    std::vector<TShape> m_shapes;
    bool m_shapesMade = false;
    std::vector<bool> m_gameAt;  // [strength] the dealer's game, where strengths serve the rules
    // The group of four kept cards of four ranks, by those ranks (13 bits) and the suit they
    // share (0..4), valid while its stamp is the tally's.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_groupOfRanks;
    std::uint32_t m_stamp = 0;
    TDealerGameTally m_last;
    bool m_lastValid = false;
    TDecisionPoint m_lastPoint;
};

}  // namespace studlab
