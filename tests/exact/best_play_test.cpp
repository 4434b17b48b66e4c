// The best continuation of the exact analysis against plain recursion: every decision takes the
// best of its offers by its true value, worked out over every card that can come, and a bet is
// settled by the evaluator over every completion of the dealer's hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
#include "profit/exact/layout_classes.h"
#include "profit/exact/wide_int.h"
#include "support/small_designs.h"
#include "table/choice_codes.h"
#include "table/hand_rules.h"
#include "table/offer_values.h"
#include "table/offers.h"

namespace studlab {
namespace {

// The best continuation of a first layout by plain recursion: a decision takes the offer of the
// highest sum, a draw adds up every set of cards that may arrive, a bet is the evaluator's sum over
// every completion of the dealer's hand. Each sum counts the result (ten-thousandths of an ante)
// over every order in which the first kDealt unseen cards can be dealt (draws take theirs from the
// top, the dealer's hidden cards come after them); all the offers of a decision are compared over
// the same orders, so the highest sum is the highest expected value.
//
// The decision to buy the dealer a game is made once his hand is shown: the recursion deals
// every set of his hidden cards first, and a purchase adds up every replacement card. With
// `recommended` every decision takes the offer the decision window lists highest instead (its
// own valuation, ties to the earlier offer).
class TBestByRecursion : private IOfferEvaluator {
public:
    // More than any hand takes: five cards exchanged at each of two decisions, five for the
    // dealer, his replacement card.
    static constexpr int kDealt = 16;

    TBestByRecursion(const TGameDesign& design, const TCalculationSettings& settings,
                     bool recommended = false)
        : m_design(design), m_rules(MakeEvalRules(design, settings)), m_recommended(recommended) {}

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

    TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) override {
        return EvaluateLayout(m_rules, layout, mode);
    }
    const TEvalRules& Rules() override { return m_rules; }

    // The decision after a bet, or the last one, that offers the dealer's game.
    bool OffersDealerGame(const TDecisionPoint& point) const {
        return point.Stage >= 2 && point.Stage <= kStages &&
               m_design.Allows(point.Stage, TPlayerAction::paBuyDealerGame) &&
               (point.Stage == kStages || IsBetCode(point.Choice(point.Stage - 1)));
    }

    TInt256 Best(const TDecisionPoint& point, int consumed) {
        if (point.Stage > kStages) return Bet(point, consumed);
        if (OffersDealerGame(point) && point.Dealer.Count() < 5) {
            // His hidden cards come before the decision.
            const int hidden = 5 - point.Dealer.Count();
            TInt256 sum;
            ForEachCardSet(ArrivalCards(point), hidden, [&](TCardTable drawn) {
                TDecisionPoint shown = point;
                shown.Dealer = point.Dealer | drawn;
                sum += Best(shown, consumed + hidden);
            });
            return sum * Factorial(hidden);
        }
        TOfferOptions options;
        options.Insurable = EvaluateLayout(m_rules, point.Layout(), kModeBet).HandInsurable;
        options.DealerBuysLowest = m_design.DealerBuysLowest;
        const std::vector<TOffer> offers = OffersAt(point, m_design, options);
        if (offers.empty()) return Best(PointAfterNothing(point), consumed);
        // A dealer with a game is settled whatever the player chose.
        if (offers.front().Action == TPlayerAction::paBuyDealerGame &&
            ListCombinations(m_rules, point.Layout()).DealerCanHaveGame) {
            return Bet(point, consumed);
        }
        if (m_recommended) {
            const TValuation valuation{.Design = m_design,
                                       .Evaluator = *this,
                                       .Offers = options,
                                       .CountSampledExactly = true,
                                       .WantText = false};
            std::optional<double> highest;
            const TOffer* chosen = nullptr;
            for (const TOffer& offer : offers) {
                const double value = ValueOffer(point, offer, valuation).Compared.value_or(0.0);
                if (!highest || value > *highest) {
                    highest = value;
                    chosen = &offer;
                }
            }
            return Carry(point, *chosen, consumed);
        }
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
            case TOfferValuation::ovBet: {
                const TDecisionPoint next = PointAfter(point, offer, TCardTable(), m_rules);
                if (OffersDealerGame(next)) return Best(next, consumed);
                return Bet(point, consumed);
            }
            case TOfferValuation::ovDraw: {
                if (offer.IntoDealer) {
                    // The dealer's swap card thrown away, the cost paid, every replacement card.
                    TDecisionPoint bought = PointAfter(point, offer, TCardTable(), m_rules);
                    bought.Dealer.Remove(offer.DealerSwap);
                    bought.Out.Add(offer.DealerSwap);
                    TInt256 sum;
                    ForEachCardSet(ArrivalCards(bought), 1, [&](TCardTable arrival) {
                        TDecisionPoint settled = bought;
                        settled.Dealer = bought.Dealer | arrival;
                        sum += Bet(settled, consumed + 1);
                    });
                    return sum;
                }
                const int k = ArrivingCards(offer);
                TInt256 sum;
                ForEachCardSet(ArrivalCards(point), k, [&](TCardTable arrival) {
                    sum += Best(PointAfter(point, offer, arrival, m_rules), consumed + k);
                });
                return sum * Factorial(k);
            }
            case TOfferValuation::ovDeclineDealerGame:
                return Bet(point, consumed);
        }
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
    bool m_recommended = false;
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
    // Cards that stay among the unseen ones, so that the case the design is about can come.
    const char* KeptUnseen = "";
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

// Buying the dealer a game: the recommended play and the best continuation of the analysis are
// the sums of plain recursion that deals every set of the dealer's hidden cards, lets the
// decision buy or decline on each (by the window's valuation, or by the true value), and settles
// each purchase over every replacement card, to the last unit.
TEST(ExactBestPlay, TheDealersGameIsPlayedOverEveryHiddenAndReplacementCard) {
    const std::vector<TDesignCase> cases = {
        {"after the first bet, his highest card thrown away",
         {"DealerOpenCards=1", "StageActions[2][paBuyDealerGame]=YES", "BuyDealerGameCost=0,3"},
         {{"Qs", "Ah Ac Kd Ks 7h"},
          {"5d", "Kh Kc Ks 9s 7h"},
          {"2c", "Jh 10h 8h 5h 3h"},
          {"9d", "Ah Qc 8d 6s 4c"}},
         13,
         true},
        {"his lowest card thrown away, pairs from fours, insurance and a card bought first",
         {"DealerOpenCards=0", "StageActions[1][paBuyCard]=YES",
          "StageActions[1][paBetInsured]=YES", "StageActions[2][paBetInsured]=YES",
          "StageActions[2][paBuyDealerGame]=YES", "Insurable[ckThreeOfAKind]=YES",
          "DealerBuyAction[lowest]=YES", "DealerBuyAction[highest]=NO", "MinPair=4",
          "BuyDealerGameCost=0,1"},
         {{"", "Qh Qd Qc 6d 6s"}, {"", "7h 7d 5c 4d 2s"}},
         12,
         true},
        {"wrap-around straights, two open cards, the dealer's game after the second bet",
         {"DealerOpenCards=2", "RoundStraight=YES", "StageActions[1][paExchange1]=YES",
          "StageActions[3][paBuyDealerGame]=YES", "BuyDealerGameCost=0,2"},
         {{"Kd 2c", "Jh Jc 8s 5d 3h"}, {"4s 9h", "Ah Kh Qh 10c 2d"}},
         12,
         true},
        {"at the last decision, after a card bought and no bet",
         {"DealerOpenCards=1", "StageActions[1][paFold]=NO", "StageActions[1][paBet]=NO",
          "StageActions[1][paBuyCard]=YES", "StageActions[2][paFold]=NO",
          "StageActions[2][paBet]=NO", "StageActions[4][paBuyDealerGame]=YES",
          "BuyDealerGameCost=0,1"},
         {{"9d", "Kh Kc Ks 6d 2h"}, {"Ac", "Qh Jd 8c 6d 2h"}},
         13,
         false},
        // A pair below his minimum is no game, and it is his lowest: the suits choose which of
        // its cards he throws away, and what the others can still make depends on it.
        {"his lowest card thrown away from a low pair without a game",
         {"DealerOpenCards=1", "StageActions[2][paBuyDealerGame]=YES",
          "DealerBuyAction[lowest]=YES", "DealerBuyAction[highest]=NO", "MinPair=6",
          "BuyDealerGameCost=0,05"},
         {{"3s", "Ah Ad Kc 9s 4h"}, {"5c", "Kh Kd 8c 7s 4d"}},
         12,
         true,
         "3h 3d 2s 2c 5s 5d 7c 9c Jc"},
    };
    std::mt19937 rng(4711);
    for (const TDesignCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGameDesign design = testing::FoldOrBet();
        TCalculationSettings settings;
        for (const std::string& a : c.Assignments) SetDesignAssignment(design, settings, a);
        const TExactGame game(design, settings);
        TBestByRecursion best(design, settings);
        TBestByRecursion recommended(design, settings, true);
        int gains = 0;
        for (const auto& [dealerText, playerText] : c.Layouts) {
            const TCardTable dealer = TableOf(ParseCardList(dealerText));
            const TCardTable player = TableOf(ParseCardList(playerText));
            const TCardTable keep = TableOf(ParseCardList(c.KeptUnseen));
            for (int round = 0; round < 2; ++round) {
                const TCardTable out =
                    testing::OutCards(dealer | keep, player, c.Unseen + round - keep.Count(), rng);
                SCOPED_TRACE(std::string(dealerText) + " / " + playerText + ", out " +
                             JoinCardNames(out));
                TExactSums sums;
                const TLayoutOutcome outcome = PlayLayout(game, player, dealer, out, 1, sums);
                TDecisionPoint first;
                first.Player = player;
                first.Dealer = dealer;
                first.Out = out;
                const TInt256 bestSum = best.Best(first);
                const TInt256 played = recommended.Best(first);
                EXPECT_EQ((sums.BestResult * best.Orders()).ToString(),
                          (bestSum * sums.Weight).ToString());
                EXPECT_EQ((sums.Result * recommended.Orders()).ToString(),
                          (played * sums.Weight).ToString());
                EXPECT_GE(outcome.BestValue, outcome.Value - 1e-9);
                if (outcome.BestValue > outcome.Value + 1e-9) ++gains;
            }
        }
        if (c.BestPlayGains) {
            EXPECT_GT(gains, 0);
        }
    }
}

// With his lowest card thrown away and his pairs counted from fours, a dealer's pair of twos or
// threes has no game and is his lowest: which of its two cards he throws away is decided by the
// suits, so a permutation of the suits can change what a purchase brings. Such a class is played
// layout by layout, and adds up to the sum of its layouts.
TEST(ExactBestPlay, AClassWhoseSwapCardTheSuitsChooseIsTheSumOfItsLayouts) {
    TGameDesign design = testing::FoldOrBet();
    TCalculationSettings settings;
    for (const char* a : {"StageActions[2][paBuyDealerGame]=YES", "DealerBuyAction[lowest]=YES",
                          "DealerBuyAction[highest]=NO", "MinPair=4", "BuyDealerGameCost=0,1"}) {
        SetDesignAssignment(design, settings, a);
    }
    const TExactGame game(design, settings);
    const TLayoutClass layout{TableOf(ParseCardList("Qh Qd Qc 6d 6s")), TCardTable(), 12};
    TExactSums played;
    game.NewPlay()->Play(layout, played);
    TExactSums members;
    std::vector<std::uint64_t> seen;
    std::array<int, 4> to = {1, 2, 3, 4};
    do {
        TCardTable player;
        layout.Player.ForEach([&](TCardId id) {
            player.Add(
                CardIdOf(RankIndexOf(id), to[static_cast<std::size_t>(SuitIndexOf(id) - 1)]));
        });
        if (std::find(seen.begin(), seen.end(), player.Mask()) != seen.end()) continue;
        seen.push_back(player.Mask());
        PlayLayout(game, player, TCardTable(), TCardTable(), 1, members);
    } while (std::next_permutation(to.begin(), to.end()));
    ASSERT_EQ(seen.size(), 12U);
    EXPECT_EQ(played.Weight.ToString(), members.Weight.ToString());
    EXPECT_EQ(played.Result.ToString(), members.Result.ToString());
    EXPECT_EQ(played.BestResult.ToString(), members.BestResult.ToString());
    EXPECT_EQ(played.Stake.ToString(), members.Stake.ToString());
}

}  // namespace
}  // namespace studlab
