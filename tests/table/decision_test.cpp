#include <cmath>

#include "cards/evaluator.h"
#include "design/design_rules.h"
#include "table_fixture.h"
#include "text/number_text.h"

namespace studlab::testing {
namespace {

using enum TPlayerAction;
using enum TCombinationKind;

class TFixedClock final : public IClock {
public:
    std::uint64_t HighResolutionTicks() const override { return 12345; }
};

class Decision : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        table.SetClock(m_clock);
    }
    // Chooses `fileDesign` as the game, with its fields that a file does not restore as well, and
    // lays out the dealer's open cards and the player's.
    void LayOut(const TGameDesign& fileDesign, std::string_view dealer, std::string_view player) {
        SelectGame(fileDesign);
        design = fileDesign;
        Click(dealer);
        Click(player);
        ASSERT_TRUE(View().DecideVisible);
    }
    void Decide() {
        table.Decide();
        ExpectSound();
    }
    // (caption, value) of every candidate in slot order.
    std::vector<std::pair<std::string, std::string>> Candidates() const {
        std::vector<std::pair<std::string, std::string>> list;
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
            const auto& slot = State().Candidates.Slot(i);
            if (!slot.Text.empty()) list.emplace_back(slot.Text, slot.Value);
        }
        return list;
    }
    int CountCode(const std::string& code) const {
        int n = 0;
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i)
            n += State().Candidates.Slot(i).Code == code;
        return n;
    }
    // A design that offers only the given actions at stage 1.
    static TGameDesign OnlyAtStage1(std::initializer_list<TPlayerAction> actions) {
        TGameDesign d;
        d.StageActions[1] = {};
        for (TPlayerAction a : actions) d.SetAllows(1, a, true);
        return d;
    }

    TFixedClock m_clock;
};

TEST_F(Decision, DefaultDesignOffersFoldBetAndBuyingACard) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(Candidates(),
              (std::vector<std::pair<std::string, std::string>>{
                  {"сделать пас", "-1"}, {"забиться", "1,5838"}, {"купить карту ", "0,6354"}}));
    EXPECT_EQ(State().Choice1, "2");
    EXPECT_EQ(View().Prompt, "забиться");
    EXPECT_EQ(State().HandCategory, ckPair);
    EXPECT_TRUE(View().DecideVisible && View().ContinueVisible && View().CombinationsVisible);
    EXPECT_TRUE(View().CandidatesVisible);
    EXPECT_EQ(View().CandidateCaptions,
              "сделать пас\rзабиться\rкупить карту \r" + std::string(47, '\r'));
    EXPECT_EQ(View().CandidateValues, "-1\r1,5838\r0,6354\r" + std::string(47, '\r'));
    EXPECT_EQ(View().DecisionListCaptions, View().CandidateCaptions);
    EXPECT_EQ(State().HandStage, 1);  // a first decision never settles
}

TEST_F(Decision, BuyingACardIsWorthTheMeanOverTheCardsThatMayArrive) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    // Independently: the plain bet with the card added and its cost paid, averaged over the 46
    // cards; the evaluator rounds each of its terms to a ten-thousandth, hence the tolerance.
    const TEvalRules rules = MakeEvalRules(design, settings);
    TEvalLayout layout{State().PlayerCards, State().DealerCards,
                       State().PlayerCards | State().DealerCards, 1.2F};
    long double sum = 0;
    int arrivals = 0;
    layout.Seen.Complement().ForEach([&](TCardId id) {
        TEvalLayout with = layout;
        with.Player.Add(id);
        sum += EvaluateLayout(rules, with, kModeBet).Value / 10000.0L;
        ++arrivals;
    });
    ASSERT_EQ(arrivals, 46);
    EXPECT_NEAR(ParseDesignNumber(State().Candidates.Slot(3).Value),
                static_cast<double>(sum / arrivals), 46 * 0.00005 + 1e-9);
}

TEST_F(Decision, InsuredBetAtStage1OnlyForInsurableHands) {
    TGameDesign d;
    d.SetAllows(1, paBetInsured, true);
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");  // a pair: not insurable by default
    Decide();
    EXPECT_EQ(CountCode("3"), 0);
    EXPECT_FALSE(State().HandInsurable);

    d.Insurable[ckPair] = true;
    d.SetAllows(1, paBet, false);  // the insurability test runs without the bet as well
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(CountCode("3"), 1);
    EXPECT_EQ(State().Candidates.Slot(2).Text, "забиться со страховкой ");
}

TEST_F(Decision, ExchangesOfferOneCandidatePerCardOrPairOfCards) {
    TGameDesign d = OnlyAtStage1({paExchange1, paExchange2, paExchange3, paExchange4, paExchange5});
    settings.ProbabilisticCycles = "20";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(CountCode("6"), 5);
    EXPECT_EQ(CountCode("7"), 10);
    EXPECT_EQ(CountCode("8"), 10);
    EXPECT_EQ(CountCode("9"), 5);
    EXPECT_EQ(CountCode("10"), 1);
    const auto& slots = State().Candidates;
    EXPECT_EQ(slots.Slot(1).Text, "поменять A черви");
    EXPECT_EQ(slots.Slot(1).Cards[0], "A черви");
    EXPECT_EQ(slots.Slot(6).Text, "поменять A черви и A треф");
    EXPECT_EQ(slots.Slot(6).Cards[1], "A треф");
    EXPECT_EQ(slots.Slot(16).Text, "поменять все, кроме A черви и A треф");
    EXPECT_EQ(slots.Slot(16).Cards,
              (std::array<std::string, 7>{"", "", "K буби", "9 пик", "7 черви", "", ""}));
    EXPECT_EQ(slots.Slot(26).Text, "поменять все, кроме A черви ");
    EXPECT_EQ(slots.Slot(31).Text, "поменять все карты ");
    EXPECT_EQ(slots.Slot(31).Cards[4], "7 черви");
    // The chosen exchange's cards are raised for the continuation.
    const auto& best = slots.Chosen();
    for (TCardId id = 1; id <= kCards; ++id) {
        const bool named = std::find(best.Cards.begin(), best.Cards.begin() + 5, CardName(id)) !=
                           best.Cards.begin() + 5;
        EXPECT_EQ(State().PlaceOf(id).Marked, named) << CardName(id);
    }
}

TEST_F(Decision, ExchangesWithSixCardsAtStage2) {
    TGameDesign d;
    for (TPlayerAction a : {paExchange1, paExchange2, paExchange3, paExchange4, paExchange5})
        d.SetAllows(2, a, true);
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    settings.ProbabilisticCycles = "10";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    State();
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();  // bought one card
    Click("3d");
    Decide();
    EXPECT_EQ(CountCode("6"), 6);
    EXPECT_EQ(CountCode("7"), 15);
    EXPECT_EQ(CountCode("8"), 15);
    EXPECT_EQ(CountCode("9"), 6);
    EXPECT_EQ(CountCode("10"), 1);
    EXPECT_EQ(State().Candidates.Slot(State().Candidates.FirstFreeSlot() - 1).Text,
              "поменять 5 карт ");
}

TEST_F(Decision, StageTwoAfterABoughtCardOffersFoldAndBetAndAfterABetSettles) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();
    Click("Kc");
    Decide();
    EXPECT_EQ(Candidates().size(), 2U);
    EXPECT_EQ(Candidates()[0],
              (std::pair<std::string, std::string>{"сделать пас", "-2,20000004768372"}));
    // The stored value keeps its precision; the window shows at most four decimals.
    EXPECT_EQ(View().CandidateValues.substr(0, 5), "-2,2\r");
    EXPECT_EQ(View().DecisionListValues.substr(0, 5), "-2,2\r");
    EXPECT_EQ(Candidates()[1].first, "забиться");
    EXPECT_EQ(State().HandStage, 2);

    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    ASSERT_EQ(State().Choice1, "2");
    Continue();
    Click("3c 4d 9h Js");  // the dealer's hidden cards: no game
    Decide();
    EXPECT_TRUE(Candidates().empty());
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_EQ(State().HandResult, 10000);
    EXPECT_EQ(View().Prompt, "Вы выграли  1  анте!");
    EXPECT_FALSE(View().DecideVisible || View().ContinueVisible);
}

TEST_F(Decision, SettlementTextsAndResults) {
    struct Case {
        const char* dealerHidden;
        const char* pairPays;
        const char* text;
        std::int64_t result;
    };
    for (const Case& c : {Case{"Kc Kh 5h 6s", "2,5", "Вы выграли  2,5  анте!", 25000},
                          Case{"Kc Kh Ks 6s", "3", "Вы проиграли  3  анте", -30000},
                          Case{"Kc Kh 5h 6s", "0", "Вы остались при своих", 0}}) {
        SCOPED_TRACE(c.dealerHidden);
        TGameDesign d;
        d.PayQualified[ckPair] = c.pairPays;
        d.SetAllows(1, paFold, false);
        d.SetAllows(1, paBuyCard, false);
        LayOut(d, "2s", "Ah Ac Kd 9s 7h");
        Decide();
        Continue();
        Click(c.dealerHidden);
        Decide();
        EXPECT_EQ(View().Prompt, c.text);
        EXPECT_EQ(State().HandResult, c.result);
    }
}

TEST_F(Decision, DealerGameSwapsHisHighestCardOrHisLowest) {
    struct Case {
        bool lowest;
        const char* dealer;
        const char* swap;
    };
    for (const Case& c :
         {Case{false, "2c 2h Ks Qd 3h", "K пик"}, Case{true, "2h 2s Ks Qd 3h", "2 пик"},
          Case{true, "2h 9s Ks Qd 3h", "2 черви"}}) {
        SCOPED_TRACE(c.dealer);
        TGameDesign d;
        d.SetAllows(2, paBuyDealerGame, true);
        d.DealerBuysLowest = c.lowest;
        d.DealerOpenCards = "0";
        LayOut(d, "", "Ah Ac Kd 9s 7h");
        table.State().Choice1 = "2";
        table.View().ContinueVisible = true;
        Continue();
        Click(c.dealer);
        Decide();
        EXPECT_EQ(State().DealerSwapCard, c.swap);
        EXPECT_EQ(CountCode("11"), 1);
        EXPECT_EQ(CountCode("12"), 1);
        EXPECT_EQ(State().Candidates.Slot(1).Text, "купить игру дилеру ");
        EXPECT_EQ(State().Candidates.Slot(2).Text, "не покупать игру дилеру");
        EXPECT_EQ(State().Candidates.Slot(2).Value, "1");  // the ante without a dealer game
    }
}

TEST_F(Decision, DesignThatBuysTooManyCardsIsReportedAtStage2) {
    TGameDesign d;
    d.SetAllows(2, paBuyTwoCards, true);
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();
    Click("Kc");
    Decide();
    EXPECT_EQ(View().Prompt, "Вы неправильно сконструировали игру. проверьте настройки");
    EXPECT_FALSE(View().DecideVisible || View().ContinueVisible || View().CombinationsVisible);
    EXPECT_EQ(State().HandStage, 2);
}

TEST_F(Decision, TiesGoToTheEarlierSlotAndAnEmptyStageChoosesNothing) {
    TGameDesign d;
    d.PayQualified[ckThreeOfAKind] = "-1";
    d.PayNotQualified[ckThreeOfAKind] = "-1";
    d.BetSize = "0";
    d.SetAllows(1, paBuyCard, false);
    LayOut(d, "2s", "Ah Ac Ad Kd 9s");  // three aces: no dealer hand can tie them
    Decide();                           // every outcome of the bet loses one ante, as the fold does
    EXPECT_EQ(State().Candidates.Slot(2).Value, "-1");
    EXPECT_EQ(View().Prompt, "сделать пас");

    LayOut(OnlyAtStage1({}), "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_TRUE(Candidates().empty());
    EXPECT_EQ(View().Prompt, "");
    EXPECT_EQ(State().Choice1, "");
    EXPECT_EQ(View().CandidateCaptions, std::string(50, '\r'));
}

TEST_F(Decision, ConversionErrorsLeaveThePreviousDecision) {
    // The number of random draws is read only when a candidate is valued by them.
    settings.ProbabilisticCycles = "много";
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    EXPECT_NO_THROW(table.Decide());
    settings.ProbabilisticCycles = "";

    TGameDesign withExchange4;
    withExchange4.SetAllows(1, paExchange4, true);
    LayOut(withExchange4, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    const TTableView viewBefore = View();
    const std::string choiceBefore = State().Choice1;

    settings.ProbabilisticCycles = "много";
    EXPECT_THROW(table.Decide(), TConversionError);
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Candidates.Slot(2).Text, "забиться");  // untouched

    settings.ProbabilisticCycles = "";
    design.BetSize = "два";
    try {
        table.Decide();
        ADD_FAILURE();
    } catch (const TConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'два' is not a valid floating point value");
    }
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Choice1, choiceBefore);
    EXPECT_EQ(State().Candidates.Slot(1).Text, "сделать пас");  // valued before the error
    EXPECT_EQ(State().Candidates.Slot(2).Text, "");
    ExpectSound();
}

TEST_F(Decision, ConversionErrorInAPressThatValuesNoCandidateLeavesThePreviousView) {
    // After a bet the second stage of the default game offers nothing: the first design number
    // the press needs is read for the combination listing, after the choice.
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "2";
    table.View().ContinueVisible = true;
    Continue();
    Click("3c 4c 5c 6c");
    ASSERT_TRUE(View().DecideVisible);
    const TTableView viewBefore = View();
    design.PayQualified[ckPair] = "один";
    EXPECT_THROW(table.Decide(), TConversionError);
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Choice2, "");
    EXPECT_EQ(State().HandStage, 2);
}

TEST_F(Decision, SampledCandidatesWithoutDrawsHaveNoValue) {
    TGameDesign d = OnlyAtStage1({paExchange5, paBet});
    settings.ProbabilisticCycles = "0";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(Candidates()[1], (std::pair<std::string, std::string>{"поменять все карты ", ""}));
    EXPECT_EQ(View().Prompt, "забиться");
    settings.ProbabilisticCycles = "-3";
    Decide();
    EXPECT_EQ(Candidates()[1].second, "0");
}

TEST_F(Decision, ASampledCandidateReseedsTheGeneratorAlsoWhenItDrawsNothing) {
    // With the same sequence on, the deals that follow must not replay it either.
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    for (const char* cycles : {"-1", "0"}) {
        SCOPED_TRACE(cycles);
        settings.ProbabilisticCycles = cycles;
        LayOut(OnlyAtStage1({paExchange5}), "Ks", "2h 7c 9d Js 4h");
        table.Random().SetSeed(0);
        Decide();
        EXPECT_EQ(table.Random().Seed(), m_clock.HighResolutionTicks());
    }
}

TEST_F(Decision, ACandidateWithoutValueIsNeverChosen) {
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    settings.ProbabilisticCycles = "0";
    // First in the table, before candidates that all lose: one of those is still chosen.
    LayOut(OnlyAtStage1({paBuyTwoCards, paExchange1}), "Ks", "2h 7c 9d Js 4h");
    Decide();
    ASSERT_EQ(Candidates()[0], (std::pair<std::string, std::string>{"купить две карты ", ""}));
    EXPECT_EQ(State().Choice1, "6");
    EXPECT_LT(ParseDesignNumber(State().Candidates.Chosen().Value), 0);
    EXPECT_EQ(View().Prompt, State().Candidates.Chosen().Text);

    // Nothing valued: nothing is chosen and no card is marked for exchange.
    LayOut(OnlyAtStage1({paExchange5}), "Ks", "2h 7c 9d Js 4h");
    Decide();
    EXPECT_EQ(Candidates().size(), 1U);
    EXPECT_EQ(State().Choice1, "");
    EXPECT_EQ(View().Prompt, "");
    for (TCardId id = 1; id <= kCards; ++id) EXPECT_FALSE(State().PlaceOf(id).Marked);
}

TEST_F(Decision, RandomDealPlaysWholeHandsAndRecordsTheResult) {
    SelectGame(TGameDesign{});
    settings.SameSequence = true;
    for (int hand = 0; hand < 200; ++hand) {
        table.RandomDeal();
        ExpectSound();
        ASSERT_NE(State().HandResult, kHandNotSettled);
        EXPECT_EQ(State().LastHandResult, State().HandResult);
        EXPECT_EQ(State().HandStage, 0);
        EXPECT_GE(State().HandResult, -42000);  // ante, bet and a bought card at most
    }
}

TEST_F(Decision, RandomDealsFollowTheGeneratorFromTheSameSeed) {
    SelectGame(TGameDesign{});
    settings.SameSequence = true;
    std::vector<std::int64_t> first;
    for (int i = 0; i < 20; ++i) {
        table.RandomDeal();
        first.push_back(State().HandResult);
    }
    table.Random().SetSeed(0);
    for (int i = 0; i < 20; ++i) {
        table.RandomDeal();
        EXPECT_EQ(State().HandResult, first[static_cast<std::size_t>(i)]);
    }
}

TEST_F(Decision, RandomDealRefusesWhatCannotBeDealt) {
    EXPECT_THROW(table.RandomDeal(), TRandomDealError);  // no game chosen
    SelectGame(TGameDesign{});
    for (const char* boxes : {"0", "1,5", "10", "abc"}) {
        settings.PlayingBoxes = boxes;
        EXPECT_ANY_THROW(table.RandomDeal()) << boxes;
    }
    settings.PlayingBoxes = "2";  // five more cards out after the layout
    table.RandomDeal();
    EXPECT_GE(State().OutCards.Count(), 5);
}

TEST(ShownAmounts, RoundsEachValueOfAListToFourDecimalsAndKeepsEmptyOnes) {
    EXPECT_EQ(ShownAmounts("-1\r1,58384444\r\r-2,20000004768372\r"), "-1\r1,5838\r\r-2,2\r");
    EXPECT_EQ(ShownAmounts(""), "");
    EXPECT_EQ(ShownAmounts("0,00004\r0,99996"), "0\r1");
}

}  // namespace
}  // namespace studlab::testing
