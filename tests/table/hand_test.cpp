// The hand engine played through whole random hands, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cards/card_list.h"
#include "design/design_fields.h"
#include "design/design_rules.h"
#include "support/test_game.h"
#include "table/choice_codes.h"
#include "table/first_choices.h"
#include "table/hand.h"
#include "table/hand_rules.h"
#include "table/offers.h"

namespace studlab {
namespace {

// The decision the hand waits for, as the exact analysis's walker describes it: the earlier
// decisions' choices only.
TDecisionPoint PointOf(const TTableState& state) {
    TDecisionPoint point;
    point.Stage = state.HandStage;
    point.Player = state.PlayerCards;
    point.Dealer = state.DealerCards;
    point.Out = state.OutCards;
    for (int stage = 1; stage < state.HandStage; ++stage) {
        point.Choices[static_cast<std::size_t>(stage)] = state.Choice(stage);
    }
    point.Balance = state.PlayerBalance;
    point.ExtraStake = state.ExtraStake;
    return point;
}

// The table carries out a choice slot by slot; the walker describes the same draw on card sets
// (PointAfter). After every draw of random hands of designs that buy and exchange at the first
// and second decision, the next decision's stage, cards, balance and extra stake are what the
// walker says they are, and as many cards arrived as the offer says; a fold loses what the rule
// says it loses.
TEST(Hand, TheTablesDrawIsTheWalkersDraw) {
    struct TCase {
        std::vector<const char*> Set;
        std::set<std::pair<int, std::string>> Draws;  // (decision, code) that must be compared
    };
    const std::vector<TCase> cases = {
        {{}, {{1, "4"}}},  // buys one card at the first decision
        {{"StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES", "ExchangeCost[1][2]=0,35", "ExchangeCost[1][3]=0,45"},
         {{1, "4"}, {1, "6"}, {1, "7"}, {1, "8"}}},
        {{"StageActions[1][paBuyTwoCards]=NO", "StageActions[1][paExchange1]=YES",
          "StageActions[2][paBuyCard]=YES", "StageActions[2][paExchange1]=YES",
          "BuyCost[2][1]=0,15"},
         {{1, "4"}, {1, "6"}, {2, "4"}}},
    };
    for (std::size_t d = 0; d < cases.size(); ++d) {
        SCOPED_TRACE(d);
        testing::TTestGame game;
        for (const char* assignment : cases[d].Set) {
            SetDesignAssignment(game.Design, game.Settings, assignment,
                                TValueCheck::NumbersMustConvert);
        }
        game.Table.SetGameName("draw");
        game.Table.SelectGame(std::nullopt);
        THand& hand = game.Table.Hand();
        hand.SetHandStream(20261211, 1);
        const TEvalRules rules = MakeEvalRules(game.Design, game.Settings);
        const TOfferOptions options{.Insurable = true,
                                    .DealerBuysLowest = game.Design.DealerBuysLowest};

        std::optional<TDecisionPoint> decided;  // the last decision
        std::optional<TOffer> chosen;           // and its choice
        std::set<std::pair<int, std::string>> compared;
        int folds = 0;
        const auto compareDraw = [&] {
            if (!decided || !chosen) return;
            const TTableState& state = hand.State();
            const TCardTable arrival = state.PlayerCards.Without(decided->Player);
            const std::string code(chosen->Code);
            EXPECT_EQ(arrival.Count(), ArrivingCards(*chosen)) << code;
            const TDecisionPoint next = PointAfter(*decided, *chosen, arrival, rules);
            EXPECT_EQ(next.Player, state.PlayerCards) << code;
            EXPECT_EQ(next.Out, state.OutCards) << code;
            EXPECT_EQ(next.Balance, state.PlayerBalance) << code;
            EXPECT_EQ(next.ExtraStake, state.ExtraStake) << code;
            if (state.HandResult == kHandNotSettled) {
                EXPECT_EQ(next.Stage, state.HandStage) << code;
            }
            // Only the player's cards arrive with a bought or exchanged card.
            if (!arrival.Empty()) {
                EXPECT_EQ(next.Dealer, state.DealerCards) << code;
                compared.emplace(decided->Stage, code);
            }
            chosen.reset();
        };
        for (int h = 0; h < 80; ++h) {
            decided.reset();
            chosen.reset();
            bool folded = false;
            hand.PlayRandomHand(
                [&] {
                    // Deciding moves no card: the cards are those the last draw brought.
                    compareDraw();
                    const TTableState& state = hand.State();
                    if (state.HandResult != kHandNotSettled) return;
                    // A decision that offers nothing chooses nothing and moves nothing.
                    if (state.Choice(state.HandStage).empty()) return;
                    decided = PointOf(state);
                    const std::vector<TOffer> offers = OffersAt(*decided, game.Design, options);
                    // The exchanges of one size share a code: the marked cards tell them apart.
                    TCardTable marked;
                    for (TCardId id = 1; id <= kCards; ++id) {
                        if (state.PlaceOf(id).Marked) marked.Add(id);
                    }
                    const auto it =
                        std::find_if(offers.begin(), offers.end(), [&](const TOffer& offer) {
                            return offer.Code == state.Choice(state.HandStage) &&
                                   (!ExchangedCount(offer.Code) || ThrownAway(offer) == marked);
                        });
                    ASSERT_NE(it, offers.end()) << state.Choice(state.HandStage);
                    folded = it->Action == TPlayerAction::paFold;
                    // The walker settles the dealer's game its own way.
                    if (!folded && it->Action != TPlayerAction::paBuyDealerGame) chosen = *it;
                },
                {});
            if (folded) {
                ++folds;
                EXPECT_EQ(hand.State().HandResult, FoldSettlement(decided->Balance).Result);
            }
        }
        EXPECT_EQ(compared, cases[d].Draws);
        EXPECT_GT(folds, 0);
    }
}

// A strategy for every design that gives every first layout the same choice.
class TOneChoice final : public IFirstChoices, public IStrategies {
public:
    explicit TOneChoice(std::optional<std::string_view> code) : m_code(code) {}
    std::optional<std::string_view> FirstChoice(TCardTable, TCardTable) const override {
        return m_code;
    }
    const IFirstChoices* For(const std::string&) const override { return this; }

private:
    std::optional<std::string_view> m_code;
};

// The strategy answers the first decision of a first layout alone, with a choice that names no
// cards; an exchange (which cards?), a layout with known out cards, a choice the stage does not
// offer and a layout the strategy does not know are valued as without it.
TEST(Hand, TheStrategyAnswersTheFirstDecisionWhereItCan) {
    const struct {
        std::optional<std::string_view> Code;
        bool OutCard;
        bool FromStrategy;
        std::vector<const char*> Set;
    } cases[] = {
        {"2", false, true, {}},                                      // the bet
        {"4", false, true, {}},                                      // one card bought
        {"7", false, false, {}},                                     // two cards exchanged
        {"2", true, false, {}},                                      // a further card known
        {"9", false, false, {}},                                     // four exchanged: not offered
        {std::nullopt, false, false, {}},                            // no answer
        {"3", false, false, {"StageActions[1][paBetInsured]=YES"}},  // insurable only if valued
        // A design whose second decision samples an exchange of four, as the look-ahead after a
        // purchase would value it.
        {"4", false, false, {"StageActions[2][paExchange4]=YES"}},
        {"2", false, false, {"CalcMethod=cmProbabilistic", "ProbabilisticCycles=50"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Code.value_or("none")) + (c.OutCard ? " out" : ""));
        testing::TTestGame game;
        std::vector<const char*> assignments = {"StageActions[1][paExchange2]=YES"};
        assignments.insert(assignments.end(), c.Set.begin(), c.Set.end());
        for (const char* assignment : assignments) {
            SetDesignAssignment(game.Design, game.Settings, assignment,
                                TValueCheck::NumbersMustConvert);
        }
        game.Table.SetGameName("strategy");
        game.Table.SelectGame(std::nullopt);
        const auto lay = [&] {
            game.Table.NewLayout();
            for (TCardId id : ParseCardList("3d Qc Qh 7h 6s 3c")) game.Table.ClickCard(id);
            if (c.OutCard) game.Table.ClickCard(ParseCardList("As").front());
        };
        lay();
        game.Table.Decide();
        const TTableView computed = game.Table.View();

        game.Table.Hand().SetStrategies(std::make_shared<TOneChoice>(c.Code));
        lay();
        game.Table.Decide();
        const TTableView& view = game.Table.View();
        EXPECT_EQ(view.FromStrategy, c.FromStrategy);
        if (!c.FromStrategy) {
            // Valued: every offer listed with its value (sampled ones may differ by chance).
            EXPECT_EQ(view.CandidateCaptions, computed.CandidateCaptions);
            EXPECT_NE(view.CandidateValues.find_first_of("0123456789"), std::string::npos);
            continue;
        }
        EXPECT_EQ(game.Table.State().Choice1, *c.Code);
        EXPECT_EQ(view.Prompt, view.CandidateCaptions.substr(0, view.CandidateCaptions.find('\r')));
        EXPECT_EQ(view.CandidateValues.find_first_of("0123456789"), std::string::npos);
        EXPECT_TRUE(view.ContinueVisible);
    }
}

}  // namespace
}  // namespace studlab
