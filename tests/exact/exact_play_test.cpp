#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cards/card_list.h"
#include "cards/hand_classification.h"
#include "design/design_fields.h"
#include "profit/exact/hand_play.h"
#include "profit/exact/layout_classes.h"
#include "profit/exact/strategy.h"
#include "support/small_designs.h"
#include "support/test_game.h"
#include "table/table_state.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TPlayerAction;

TCardTable Cards(std::string_view text) {
    return TableOf(ParseCardList(text));
}

// The expected result of a first layout by brute force: the decision table itself is played
// through every way the hand can go on. After each "ПРОДОЛЖИТЬ" every set of cards that may
// arrive is clicked in (in increasing order, so each set once) until "РЕШЕНИЕ" shows again; each
// set weighs the same at its branch.
class TBruteForce {
public:
    TBruteForce(const TGameDesign& design, const TCalculationSettings& settings) {
        m_game.Design = design;
        m_game.Settings = settings;
        m_game.Table.SetGameName("brute force");
        m_game.Table.SelectGame(std::nullopt);
    }

    long double Play(TCardTable dealer, TCardTable player, TCardTable out) {
        TDecisionTable& t = m_game.Table;
        t.NewLayout();
        dealer.ForEach([&](TCardId id) { t.ClickCard(id); });
        player.ForEach([&](TCardId id) { t.ClickCard(id); });
        out.ForEach([&](TCardId id) { t.ClickCard(id); });
        EXPECT_TRUE(t.View().DecideVisible);
        t.State().HandResult = kHandNotSettled;
        return Decide();
    }

    std::int64_t Leaves() const { return m_leaves; }

private:
    long double Decide() {
        TDecisionTable& t = m_game.Table;
        t.Decide();
        if (t.State().HandResult != kHandNotSettled) return Leaf();
        t.ContinueHand();
        if (t.State().HandResult != kHandNotSettled) return Leaf();
        const auto [sum, sets] = Enter(0);
        EXPECT_GT(sets, 0);
        return sets == 0 ? 0 : sum / sets;
    }
    long double Leaf() {
        ++m_leaves;
        return static_cast<long double>(m_game.Table.State().HandResult);
    }
    // The sum of the expected results over every set of the cards still to come, taken in
    // increasing order, and the number of those sets.
    std::pair<long double, std::int64_t> Enter(TCardId after) {
        TDecisionTable& t = m_game.Table;
        if (t.View().DecideVisible) return {Decide(), 1};
        const TTableState state = t.State();
        const TTableView view = t.View();
        long double sum = 0;
        std::int64_t sets = 0;
        for (TCardId id = after + 1; id <= kCards; ++id) {
            if (!state.PlaceOf(id).InDeck()) continue;
            t.ClickCard(id);
            const auto [s, n] = Enter(id);
            sum += s;
            sets += n;
            t.State() = state;
            t.View() = view;
        }
        return {sum, sets};
    }

    testing::TTestGame m_game;
    std::int64_t m_leaves = 0;
};

struct TCase {
    const char* Name;
    std::vector<std::string> Design;  // NAME=VALUE
    const char* Dealer;
    const char* Player;
};

struct TDesigned {
    TGameDesign Design;
    TCalculationSettings Settings;
};

TDesigned DesignOf(const std::vector<std::string>& assignments) {
    TDesigned d;
    for (const std::string& a : assignments) SetDesignAssignment(d.Design, d.Settings, a);
    return d;
}

// The assignments with every composite pay switched on.
std::vector<std::string> EveryComposite(std::vector<std::string> assignments) {
    for (int i = 1; i <= kCompositeCount; ++i) {
        assignments.push_back("CompositePlays[" + std::to_string(i) + "]=YES");
    }
    return assignments;
}

TEST(ExactPlay, EveryLayoutIsWorthWhatTheTablePlaysOverEveryDeal) {
    const std::vector<TCase> cases = {
        {"the standard game", {}, "2s", "Ah Ac Kd 9s 7h"},
        {"the standard game, a weak hand", {}, "8h", "10s Ac 9s 8d Qd"},
        {"looking ahead", {"LookAhead=YES"}, "8h", "10s Ac 9s 8d Qd"},
        {"insurance and exchanges of one to three cards, two open dealer cards",
         {"DealerOpenCards=2", "StageActions[1][paBetInsured]=YES", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES", "StageActions[2][paBetInsured]=YES",
          "ExchangeCost[1][2]=0,7", "Insurable[ckPair]=YES"},
         "Kd 7c",
         "Qc 10c 7h 6s 3c"},
        {"two cards bought, then exchanges at the second decision and a third decision",
         {"DealerOpenCards=0", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paBuyTwoCards]=YES", "StageActions[2][paExchange1]=YES",
          "StageActions[3][paFold]=YES", "StageActions[3][paBet]=YES", "BuyCost[1][2]=0,9"},
         "",
         "Ah Kh 9d 5c 2s"},
        {"every composite pay and wrap-around straights, a card bought or exchanged",
         EveryComposite({"RoundStraight=YES", "PayQualified[ckAceKing]=5",
                         "StageActions[1][paExchange1]=YES"}),
         "3s", "Ah Kc 2d 4h 9s"},
        {"nothing offered after the draw: the hand is settled all the same",
         {"StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange1]=YES",
          "StageActions[2][paFold]=NO", "StageActions[2][paBet]=NO"},
         "4d",
         "Jh Js 8c 6d 2h"},
        {"insurance and the dealer's game bought after the first bet",
         {"StageActions[1][paBetInsured]=YES", "StageActions[2][paBetInsured]=YES",
          "StageActions[2][paBuyDealerGame]=YES", "Insurable[ckTwoPairs]=YES",
          "BuyDealerGameCost=0,1"},
         "Qs",
         "Ah Ac Kd Ks 7h"},
        {"a cheap dealer's game, a strong hand",
         {"StageActions[2][paBuyDealerGame]=YES", "BuyDealerGameCost=0,25"},
         "5d",
         "Kh Kc Ks 9s 7h"},
        {"his lowest card thrown away, pairs from fours: a low pair of his may be bought a game",
         {"DealerOpenCards=0", "StageActions[1][paBuyCard]=NO",
          "StageActions[2][paBuyDealerGame]=YES", "DealerBuyAction[lowest]=YES",
          "DealerBuyAction[highest]=NO", "MinPair=4", "BuyDealerGameCost=0,1"},
         "",
         "Qh Qd Qc 6d 6s"},
        {"wrap-around straights, two open dealer cards, the dealer's game after the second bet",
         {"DealerOpenCards=2", "RoundStraight=YES", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paExchange1]=YES", "StageActions[3][paBuyDealerGame]=YES",
          "BuyDealerGameCost=0,6"},
         "Kd 2c",
         "Jh Jc 8s 5d 3h"},
        {"the dealer's game at the last decision, with no bet before it",
         {"StageActions[1][paFold]=NO", "StageActions[1][paBet]=NO",
          "StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange1]=YES",
          "StageActions[2][paFold]=NO", "StageActions[2][paBet]=NO",
          "StageActions[4][paBuyDealerGame]=YES", "BuyDealerGameCost=0,1"},
         "9d",
         "Kh Kc Ks 6d 2h"},
    };
    std::mt19937 rng(77);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDesigned d = DesignOf(c.Design);
        const TExactGame game(d.Design, d.Settings);
        for (int round = 0; round < 3; ++round) {
            const TCardTable dealer = Cards(c.Dealer);
            const TCardTable player = Cards(c.Player);
            const TCardTable out = testing::OutCards(dealer, player, 10 + round, rng);
            TExactSums sums;
            const TLayoutOutcome exact = PlayLayout(game, player, dealer, out, 1, sums);
            TBruteForce table(d.Design, d.Settings);
            const long double expected = table.Play(dealer, player, out);
            EXPECT_NEAR(static_cast<double>(exact.Value), static_cast<double>(expected), 1e-6)
                << "out " << JoinCardNames(out) << ", " << table.Leaves() << " hands";
            EXPECT_GE(exact.BestValue, exact.Value - 1e-9);
        }
    }
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// The strategy of a layout is the first decision of the decision table itself: the action it
// takes, and every action's best candidate's value as it lists it.
TEST(ExactPlay, TheStrategyRecordsTheFirstDecisionAsTheTableMakesIt) {
    TGameDesign design;
    TCalculationSettings settings;
    for (const char* a : {"StageActions[1][paExchange1]=YES", "StageActions[1][paBetInsured]=YES",
                          "Insurable[ckPair]=YES"}) {
        SetDesignAssignment(design, settings, a);
    }
    const TExactGame game(design, settings);
    testing::TTestGame table;
    table.Design = design;
    table.Table.SetGameName("strategy");
    table.Table.SelectGame(std::nullopt);
    std::mt19937 rng(2024);
    for (int round = 0; round < 25; ++round) {
        std::vector<TCardId> deck(kCards);
        std::iota(deck.begin(), deck.end(), 1);
        std::shuffle(deck.begin(), deck.end(), rng);
        TCardTable dealer;
        dealer.Add(deck[0]);
        TCardTable player;
        for (std::size_t i = 1; i <= 5; ++i) player.Add(deck[i]);
        // Out cards keep the arrivals few; they are part of both the table and the analysis.
        TCardTable out;
        for (std::size_t i = 6; i < 30; ++i) out.Add(deck[i]);

        TExactSums sums;
        const TLayoutOutcome played = PlayLayout(game, player, dealer, out, 1, sums);
        table.Table.NewLayout();
        for (const TCardTable cards : {dealer, player, out}) {
            cards.ForEach([&](TCardId id) { table.Table.ClickCard(id); });
        }
        table.Table.Decide();
        const TTableState& s = table.Table.State();
        const TCandidateTable::TSlot& chosen = s.Candidates.Chosen();
        ASSERT_TRUE(played.FirstActionTaken);
        // The first decision's codes: fold 1, bet 2, insured 3, buy 4, exchange of one card 6.
        const std::map<TPlayerAction, std::string> codes = {
            {paFold, "1"}, {paBet, "2"}, {paBetInsured, "3"}, {paBuyCard, "4"}, {paExchange1, "6"}};
        EXPECT_EQ(codes.at(played.FirstAction), chosen.Code);

        const int row = StrategyRowOf(player, ClassifyHand(player, design.Plays));
        const int column = StrategyColumnOf(dealer);
        std::int64_t taken = 0;
        for (int a = 0; a < kFirstActions; ++a) {
            taken += sums.Strategy.At(row, column, static_cast<TFirstAction>(a)).Taken;
        }
        EXPECT_EQ(taken, 1);
        // Every candidate's value is at most its action's best, and the best is among them.
        const TStrategyTally& bet = sums.Strategy.At(row, column, TFirstAction::faBet);
        EXPECT_EQ(bet.Offered, 1);
        EXPECT_EQ(FormatTenThousandths(std::stoll(bet.ValueSum.ToString())), s.Candidates.Slot(2).Value);
        const TStrategyTally& exchange = sums.Strategy.At(row, column, TFirstAction::faExchange1);
        std::int64_t bestExchange = std::numeric_limits<std::int64_t>::min();
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
            const TCandidateTable::TSlot& slot = s.Candidates.Slot(i);
            if (slot.Code == "6") {
                bestExchange =
                    std::max(bestExchange, RoundHalfEven(ParseDesignNumber(slot.Value) * 10000.0L));
            }
        }
        EXPECT_EQ(exchange.ValueSum.ToString(), std::to_string(bestExchange));
    }
}

TEST(ExactPlay, StartingHandsFallIntoTheirRows) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"7h 5c 4d 3s 2h", "без игры, старшая 7"},
        {"Ah Qc 9d 5s 2h", "без игры, старшая A"},
        {"Ah Kc 4d 3s 2h", "туз-король, третья 4"},
        {"Ah Kc Qd 3s 2h", "туз-король, третья Q"},
        {"2h 2c 9d 5s Kh", "пара 2"},
        {"Ah Ac 9d 5s Kh", "пара A"},
        {"9h 9c 5d 5s Kh", "две пары"},
        {"9h 9c 9d 5s Kh", "тройка"},
        {"9h 8c 7d 6s 5h", "стрит"},
        {"2h 8h 7h 6h Ah", "флеш"},
        {"9h 9c 9d 5s 5h", "фулхаус и выше"},
        {"9h 8h 7h 6h 5h", "фулхаус и выше"},
    };
    for (const auto& [hand, caption] : cases) {
        const TCardTable cards = Cards(hand);
        EXPECT_EQ(StrategyRowCaption(
                      StrategyRowOf(cards, ClassifyHand(cards, TGameDesign::DefaultPlays()))),
                  caption)
            << hand;
    }
    EXPECT_EQ(StrategyColumnCaption(StrategyColumnOf(Cards("Qd"))), "Q");
    EXPECT_EQ(StrategyColumnCaption(StrategyColumnOf(Cards("2d"))), "2");
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// A class counted once for each of its layouts adds up to the same sums as its layouts played
// one by one: the play does not depend on which suit is which.
TEST(ExactPlay, AClassIsWorthItsLayoutsPlayedOneByOne) {
    TGameDesign design;
    TCalculationSettings settings;
    SetDesignAssignment(design, settings, "StageActions[1][paExchange1]=YES");
    const TExactGame game(design, settings);
    const TLayoutClasses classes(1);
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(classes.ClassCount() / 120);
    const std::unique_ptr<IClassPlay> play = game.NewPlay();
    int played = 0;
    for (const TLayoutCursor& start : starts) {
        classes.Visit(start, 1, [&](const TLayoutClass& layout) {
            TExactSums asClass;
            play->Play(layout, asClass);
            TExactSums oneByOne;
            std::array<int, 4> to = {1, 2, 3, 4};
            std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
            do {
                auto permute = [&](TCardTable cards) {
                    TCardTable out;
                    cards.ForEach([&](TCardId id) {
                        out.Add(CardIdOf(RankIndexOf(id),
                                         to[static_cast<std::size_t>(SuitIndexOf(id) - 1)]));
                    });
                    return out;
                };
                const TCardTable player = permute(layout.Player);
                const TCardTable dealer = permute(layout.Dealer);
                if (!seen.insert({player.Mask(), dealer.Mask()}).second) continue;
                PlayLayout(game, player, dealer, TCardTable(), 1, oneByOne);
            } while (std::next_permutation(to.begin(), to.end()));
            ASSERT_EQ(static_cast<int>(seen.size()), layout.Members);
            oneByOne.Classes = asClass.Classes;
            EXPECT_EQ(asClass, oneByOne)
                << JoinCardNames(layout.Player) << " / " << JoinCardNames(layout.Dealer);
            ++played;
        });
    }
    EXPECT_GT(played, 100);
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// Exchanges counted on the dealer's completions tallied once give every sum of the analysis that
// analysing each hand after them gives: the recommended play, the best play, the return table
// and the strategy, with the decision after the exchange, the look-ahead and insurance.
TEST(ExactPlay, CountedExchangesGiveTheSumsOfEveryHandAnalysed) {
    struct TDrawDesign {
        std::vector<std::string> Assignments;
        int Classes;  // first layouts played, spread over all
        bool BestPlayToo = true;
    };
    const std::vector<TDrawDesign> designs = {
        {{"StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES"},
         6},
        {{"StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES", "StageActions[2][paBetInsured]=YES", "MinPair=4",
          "LookAhead=YES"},
         6},
        {{"StageActions[1][paExchange3]=YES", "DealerOpenCards=2", "StageActions[2][paFold]=NO"},
         6},
        // Composite pays: an ace-king beside a pair, two pairs, three or four of a kind.
        {EveryComposite({"PayQualified[ckAceKing]=5", "StageActions[1][paExchange1]=YES",
                         "StageActions[1][paExchange2]=YES"}),
         3},
        // A second decision that exchanges too, and the dealer showing no card or four.
        {{"StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange2]=YES",
          "StageActions[2][paExchange1]=YES", "DealerOpenCards=4"},
         1,
         false},
        {{"StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange3]=YES", "DealerOpenCards=0",
          "StageActions[2][paBet]=NO"},
         1,
         false},
    };
    for (const TDrawDesign& design : designs) {
        TDesigned d = DesignOf(design.Assignments);
        TExactGame counted(d.Design, d.Settings);
        TExactGame analysed(d.Design, d.Settings);
        analysed.SetCountsDraws(false);
        for (bool best : {true, false}) {
            if (best && !design.BestPlayToo) continue;
            counted.SetWithBestPlay(best);
            analysed.SetWithBestPlay(best);
            const TLayoutClasses classes(counted.DealerOpenCards());
            const std::vector<TLayoutCursor> starts =
                classes.BatchStarts(classes.ClassCount() / design.Classes);
            const std::unique_ptr<IClassPlay> a = counted.NewPlay();
            const std::unique_ptr<IClassPlay> b = analysed.NewPlay();
            TExactSums countedSums;
            TExactSums analysedSums;
            for (const TLayoutCursor& start : starts) {
                classes.Visit(start, 1, [&](const TLayoutClass& layout) {
                    a->Play(layout, countedSums);
                    b->Play(layout, analysedSums);
                });
            }
            EXPECT_EQ(countedSums, analysedSums)
                << design.Assignments.back() << (best ? ", best play" : "");
        }
    }
}

}  // namespace
}  // namespace studlab
