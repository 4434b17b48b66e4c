// The best continuation of the exact analysis against plain recursion: every decision takes the
// best of its offers by its true value, worked out over every card that can come, and a bet is
// settled by the evaluator over every completion of the dealer's hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "cards/card_list.h"
#include "cards/combinatorics.h"
#include "cards/evaluator.h"
#include "design/design_fields.h"
#include "design/design_rules.h"
#include "profit/exact/hand_play.h"
#include "profit/exact/wide_int.h"
#include "support/small_designs.h"
#include "table/hand_engine.h"
#include "table/offers.h"

namespace studlab {
namespace {

// The best continuation of a first layout by plain recursion: a decision takes the offer of the
// highest sum, a draw adds up every set of cards that may arrive, a bet is the evaluator's sum over
// every completion of the dealer's hand. Each sum counts the result (ten-thousandths of an ante)
// over every order in which the first kDealt unseen cards can be dealt (draws take theirs from the
// top, the dealer's hidden cards come after them); all the offers of a decision are compared over
// the same orders, so the highest sum is the highest expected value.
class TBestByRecursion {
public:
    // More than any hand takes: five cards exchanged at each of two decisions, five for the dealer.
    static constexpr int kDealt = 15;

    TBestByRecursion(const TGameDesign& design, const TCalculationSettings& settings)
        : m_design(design), m_rules(MakeEvalRules(design, settings)) {}

    TInt256 Best(const TDecisionPoint& first) {
        m_unseen = ArrivalCards(first).Count();
        return Best(first, 0);
    }
    // The orders the sums count: of min(kDealt, unseen) cards of the first layout's unseen ones.
    TInt256 Orders() const { return Orders(0); }

private:
    // The orders of the cards still to be dealt after `consumed` were taken.
    TInt256 Orders(int consumed) const {
        TInt256 orders(1);
        const int dealt = std::min(kDealt, m_unseen);
        for (int i = consumed; i < dealt; ++i) orders *= m_unseen - i;
        return orders;
    }

    TInt256 Best(const TDecisionPoint& point, int consumed) {
        if (point.Stage > kStages) return Bet(point, consumed);
        TOfferOptions options;
        options.Insurable = EvaluateLayout(m_rules, point.Layout(), kModeBet).HandInsurable;
        const std::vector<TOffer> offers = OffersAt(point, m_design, options);
        if (offers.empty()) return Best(PointAfterNothing(point), consumed);
        std::optional<TInt256> best;
        for (const TOffer& offer : offers) {
            const TInt256 value = Carry(point, offer, consumed);
            if (!best || value > *best) best = value;
        }
        return *best;
    }

    TInt256 Carry(const TDecisionPoint& point, const TOffer& offer, int consumed) {
        switch (offer.Valuation) {
            case TOfferValuation::ovFold:
                return Orders(consumed) *
                       std::llround(static_cast<long double>(point.Balance) * 10000);
            case TOfferValuation::ovBet:
                return Bet(point, consumed);
            case TOfferValuation::ovDraw: {
                const int k = ArrivingCards(offer);
                TInt256 sum;
                ForEachCardSet(ArrivalCards(point), k, [&](TCardTable arrival) {
                    sum += Best(PointAfter(point, offer, arrival, m_rules), consumed + k);
                });
                return sum * Factorial(k);
            }
            case TOfferValuation::ovDeclineDealerGame:
                break;
        }
        ADD_FAILURE() << "an offer of the dealer's game in a design the analysis plays";
        return 0;
    }

    // A bet settled over every completion of the dealer's hand, each in every order.
    TInt256 Bet(const TDecisionPoint& point, int consumed) const {
        const int hidden = 5 - point.Dealer.Count();
        return TInt256::From128(EvaluateLayout(m_rules, point.Layout(), kModeBet).OutcomeSum()) *
               Factorial(hidden) * Orders(consumed + hidden);
    }

    const TGameDesign& m_design;
    TEvalRules m_rules;
    int m_unseen = 0;
};

struct TDesignCase {
    const char* Name;
    std::vector<std::string> Assignments;  // NAME=VALUE over the fold-or-bet design
    std::vector<std::pair<const char*, const char*>> Layouts;  // dealer's open cards, player's
    int Unseen;  // cards not known to be out: 46 with one open dealer card is the whole deck
    // The best continuation is worth more than the recommended play on some layout, whose first
    // choice it changes; otherwise they are the same play.
    bool BestPlayGains;
};

TEST(ExactBestPlay, TheBestContinuationIsWhatPlainRecursionFinds) {
    const std::vector<TDesignCase> cases = {
        {"fold or bet: the best play is the recommended one",
         {},
         {{"", "Ah Ac Kd 9s 7h"}, {"", "10s Ac 9s 8d Qd"}, {"", "Qc 10c 7h 6s 3c"}},
         12,
         false},
        // The decision values a purchase as a bet after every card that may arrive; the best
        // continuation folds after a card that does not help. Dealer 8 of hearts, player 10 of
        // spades, ace of clubs, 9 of spades, 8 of diamonds, queen of diamonds: the purchase is
        // worth -1 as a bet, as much as the fold, which is taken; folding after a poor card makes
        // it worth -0,9737.
        {"a card bought at the first decision, then fold or bet",
         {"DealerOpenCards=1", "StageActions[1][paBuyCard]=YES"},
         {{"8h", "10s Ac 9s 8d Qd"},
          {"2s", "Ah Ac Kd 9s 7h"},
          {"Kd", "Qc 10c 7h 6s 3c"},
          {"3d", "Jh 10h 9h 8c 2s"},
          {"Ah", "Kc Qc 7c 4c 2d"}},
         46,
         true},
        {"a card bought or one to three exchanged, then fold, bet or buy again",
         {"DealerOpenCards=1", "StageActions[1][paBuyCard]=YES", "StageActions[1][paExchange1]=YES",
          "StageActions[1][paExchange2]=YES", "StageActions[1][paExchange3]=YES",
          "StageActions[2][paBuyCard]=YES", "ExchangeCost[1][2]=0,7"},
         {{"8h", "10s Ac 9s 8d Qd"}, {"5c", "Qh Qs 9d 4s 2c"}},
         14,
         true},
        {"two cards bought, an exchange at the second decision and a third decision",
         {"StageActions[1][paBuyTwoCards]=YES", "StageActions[2][paExchange1]=YES",
          "StageActions[3][paFold]=YES", "StageActions[3][paBet]=YES", "BuyCost[1][2]=0,9"},
         {{"", "Ah Kh 9d 5c 2s"}, {"", "8s 8d 6c 5h 3h"}},
         10,
         true},
    };
    std::mt19937 rng(2024);
    // With the look-ahead the analysis values each draw by the best decision after every arrival,
    // and works out the best continuation apart from that valuation: the same answer by another
    // path.
    for (const bool lookAhead : {false, true}) {
        for (const TDesignCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + (lookAhead ? ", with the look-ahead" : ""));
            TGameDesign design = testing::FoldOrBet();
            TCalculationSettings settings;
            settings.LookAhead = lookAhead;
            for (const std::string& a : c.Assignments) SetDesignAssignment(design, settings, a);
            const TExactGame game(design, settings);
            TBestByRecursion recursion(design, settings);
            int gains = 0;
            int firstChoicesDiffer = 0;
            for (const auto& [dealerText, playerText] : c.Layouts) {
                const TCardTable dealer = TableOf(ParseCardList(dealerText));
                const TCardTable player = TableOf(ParseCardList(playerText));
                const TCardTable out = testing::OutCards(dealer, player, c.Unseen, rng);
                SCOPED_TRACE(std::string(dealerText) + " / " + playerText + ", out " +
                             JoinCardNames(out));
                TExactSums sums;
                const TLayoutOutcome outcome = PlayLayout(game, player, dealer, out, 1, sums);
                TDecisionPoint first;
                first.Player = player;
                first.Dealer = dealer;
                first.Out = out;
                const TInt256 best = recursion.Best(first);
                // Both are sums over orders of the unseen cards, the analysis's over the orders of
                // as many as its deepest hand takes (its weight), the recursion's over more of
                // them.
                EXPECT_EQ((sums.BestResult * recursion.Orders()).ToString(),
                          (best * sums.Weight).ToString());
                // The recursion's best is the best: the recommended play is never worth more.
                EXPECT_GE(outcome.BestValue, outcome.Value - 1e-9);
                if (outcome.BestValue > outcome.Value + 1e-9) ++gains;
                if (outcome.BestDiffers) ++firstChoicesDiffer;
            }
            if (c.BestPlayGains && !lookAhead) {
                EXPECT_GT(gains, 0) << "the recommended play is the best on every layout";
                EXPECT_GT(firstChoicesDiffer, 0);
            } else if (!c.BestPlayGains) {
                EXPECT_EQ(gains, 0);
                EXPECT_EQ(firstChoicesDiffer, 0);
            }
        }
    }
}

}  // namespace
}  // namespace studlab
