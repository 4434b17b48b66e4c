#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "cards/evaluator.h"
#include "design/game_design.h"
#include "profit/exact/exact_run.h"
#include "table/offers.h"

namespace studlab {

class TStrategyStore;

// A design the exact analysis cannot play, with the reason in words for the user.
class TExactRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The game as the exact analysis plays it: the design's rules, what its decisions may offer, and
// how deep a hand can reach into the unseen cards. Plays every hand the way the decision window
// recommends (each decision takes the candidate of highest value, ties to the earlier one) and,
// beside it, the way of the best continuation; a bet is settled over every completion of the
// dealer's hand in closed form, and where the next decision offers to buy the dealer a game, over
// each of his completions without one and every replacement card.
class TExactGame {
public:
    // Throws TExactRefusal for a design it cannot play and TConversionError / TEvalError for a
    // number of the design that does not convert or is too large.
    TExactGame(const TGameDesign& design, const TCalculationSettings& settings);

    int DealerOpenCards() const { return m_openCards; }
    // The cards a hand may take from the unseen ones after its first layout: arrivals of both
    // draws, the dealer's hidden cards and his replacement card after a bought game.
    int Depth() const { return m_depth; }
    // Whether the design's decisions sample some draws, which the analysis counts exactly.
    bool CountsSampledDrawsExactly() const { return m_countsSampled; }
    // Whether the best continuation is worked out beside the recommended play.
    bool WithBestPlay() const { return m_withBestPlay; }
    // The decisions value draws by the best decision after them ("с учётом решения после
    // прикупа"), as the calculation settings say.
    bool LookAhead() const { return m_lookAhead; }
    void SetWithBestPlay(bool on) { m_withBestPlay = on; }
    // Whether exchanges of one to three cards are counted on the dealer's completions tallied
    // once per first layout (on) or every hand after them analysed on its own; the sums are the
    // same.
    bool CountsDraws() const { return m_countsDraws; }
    void SetCountsDraws(bool on) { m_countsDraws = on; }

    const TGameDesign& Design() const { return m_design; }
    const TEvalRules& Rules() const { return m_rules; }
    const TOfferOptions& OfferOptions() const { return m_offerOptions; }
    int UnseenAtStart() const { return kCards - 5 - m_openCards; }

    // A player of classes for one worker thread. With `record`, each class's first choice is
    // recorded in the store as it is played (the store must be of this game's dealer cards).
    std::unique_ptr<IClassPlay> NewPlay(TStrategyStore* record = nullptr) const;

private:
    TGameDesign m_design;
    TEvalRules m_rules;
    TOfferOptions m_offerOptions;
    int m_openCards = 1;
    int m_depth = 0;
    bool m_countsSampled = false;
    bool m_withBestPlay = true;
    bool m_lookAhead = false;
    bool m_countsDraws = true;
};

}  // namespace studlab
