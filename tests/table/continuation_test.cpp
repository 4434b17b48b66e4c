#include <ostream>

#include "table_fixture.h"
#include "text/number_text.h"

namespace studlab::testing {
namespace {

constexpr std::string_view kPlayerHand = "Ah Kd Qc Js 9h";  // slots 1..5

class Continuation : public TableTest {
protected:
    // A game with `openCards` open dealer cards and the layout of stage 1 entered.
    void LayOut(const std::string& openCards, std::string_view dealerCards) {
        SelectGameWithOpenCards(openCards);
        Click(dealerCards);
        Click(kPlayerHand);
        ASSERT_TRUE(View().DecideVisible);
    }
    void ExpectEntryComplete(std::string_view prompt) {
        EXPECT_EQ(View().Prompt, prompt);
        EXPECT_TRUE(View().DecideVisible);
        EXPECT_FALSE(View().ContinueVisible);
    }
    void ExpectWaitingFor(std::string_view prompt) {
        EXPECT_EQ(View().Prompt, prompt);
        EXPECT_FALSE(View().DecideVisible);
        EXPECT_FALSE(View().ContinueVisible);
    }
    void ExpectThrownAway(std::string_view card) {
        EXPECT_EQ(PlaceOf(card), TCardPlace::ThrownAway());
        EXPECT_TRUE(State().OutCards.Has(Card(card)));
    }
};

TEST_F(Continuation, ExchangeOfTwoCardsRefillsTheFreedSlotsFromTheRight) {
    LayOut("1", "2c");
    Decided("7", "Kd Js");  // slots 2 and 4
    // Raised above their slots, still in them.
    EXPECT_EQ(PlaceOf("Kd"), (TCardPlace{TPlaceKind::cpPlayer, 2, true, false}));
    EXPECT_EQ(PlaceOf("Js"), (TCardPlace{TPlaceKind::cpPlayer, 4, true, false}));
    Continue();

    EXPECT_EQ(State().HandStage, 2);
    EXPECT_FLOAT_EQ(State().PlayerBalance, -2.0F);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.0F);
    ExpectThrownAway("Kd");
    ExpectThrownAway("Js");
    EXPECT_EQ(State().PlayerCards, TableOf(ParseCardList("Ah Qc 9h")));
    EXPECT_FALSE(State().PlayerSlotUsed[2]);
    EXPECT_FALSE(State().PlayerSlotUsed[4]);
    ExpectWaitingFor("Выберете пришедшие карты игрока");
    EXPECT_TRUE(View().CombinationsVisible);  // "комбинации" keeps its visibility after decision 1
    EXPECT_TRUE(View().CandidateCaptions.empty() && View().CandidateValues.empty());
    ExpectNoFixButtons();

    Click("Kd");  // thrown away: takes no click
    EXPECT_EQ(PlaceOf("Kd"), TCardPlace::ThrownAway());
    Click("3h");
    EXPECT_EQ(PlayerSlot(4), Card("3h"));
    EXPECT_FALSE(View().DecideVisible);
    Click("4h");
    EXPECT_EQ(PlayerSlot(2), Card("4h"));
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().Stage2Step, 12);
    Click("5h");
    EXPECT_EQ(PlaceOf("5h"), TCardPlace::Lifted());
    EXPECT_EQ(State().DealerCards, TableOf(ParseCardList("2c")));
}

struct TPurchaseCase {
    std::string Code;
    std::string_view Prompt;
    std::vector<int> Slots;
    float Balance;

    friend void PrintTo(const TPurchaseCase& c, std::ostream* os) { *os << "decision " << c.Code; }
};

class Purchase : public Continuation, public ::testing::WithParamInterface<TPurchaseCase> {};

TEST_P(Purchase, BoughtCardsGoToTheSlotsLeftOfThePlayersRow) {
    const TPurchaseCase& c = GetParam();
    LayOut("1", "2c");
    Decided(c.Code);
    Continue();
    EXPECT_FLOAT_EQ(State().PlayerBalance, c.Balance);
    EXPECT_FLOAT_EQ(State().ExtraStake, -1.0F - c.Balance);
    ExpectWaitingFor(c.Prompt);

    const std::vector<TCardId> arriving = ParseCardList("3h 4h");
    for (std::size_t i = 0; i < c.Slots.size(); ++i) {
        table.ClickCard(arriving[i]);
        ExpectSound();
        EXPECT_EQ(PlayerSlot(c.Slots[i]), arriving[i]);
        EXPECT_EQ(State().PlaceOf(arriving[i]), TCardPlace::Player(c.Slots[i]));
    }
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().PlayerCards.Count(), 5 + static_cast<int>(c.Slots.size()));
}

// Buying one card at stage 1 costs "1,2" by default, two cards "1".
INSTANTIATE_TEST_SUITE_P(
    Stage1, Purchase,
    ::testing::Values(TPurchaseCase{"4", "Выберете пришедшую карту игрока", {6}, -2.2F},
                      TPurchaseCase{"5", "Выберете пришедшие карты игрока", {7, 6}, -2.0F}),
    [](const auto& info) { return "Code" + info.param.Code; });

TEST_F(Continuation, CardsBoughtAtBothDecisionsFillSlotSixThenSeven) {
    LayOut("1", "2c");
    Decided("4");
    Continue();
    Click("3h");
    EXPECT_EQ(PlayerSlot(6), Card("3h"));
    design.BuyCost[2][1] = "0,5";
    Decided("4");
    Continue();
    EXPECT_EQ(State().HandStage, 3);
    EXPECT_EQ(State().Stage3Step, 12);
    EXPECT_FALSE(View().CombinationsVisible);
    ExpectWaitingFor("Выберете пришедшую карту игрока");
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.7F);
    Click("4h");
    EXPECT_EQ(PlayerSlot(7), Card("4h"));
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().Stage3Step, 13);
}

struct TBetCase {
    std::string OpenCards;
    std::string_view Prompt;
    int FirstStep;
    std::vector<int> HiddenSlots;

    friend void PrintTo(const TBetCase& c, std::ostream* os) {
        *os << "DealerOpenCards=" << c.OpenCards;
    }
};

class BetAtDecision1 : public Continuation, public ::testing::WithParamInterface<TBetCase> {};

TEST_P(BetAtDecision1, DealersHiddenCardsFillHisFreeSlots) {
    const TBetCase& c = GetParam();
    const std::vector<TCardId> open = ParseCardList("2c 3c 4c 5c 6c");
    const std::size_t openCount = 5 - c.HiddenSlots.size();
    SelectGameWithOpenCards(c.OpenCards);
    for (std::size_t i = 0; i < openCount; ++i) {
        table.ClickCard(open[i]);
        ExpectSound();
    }
    Click(kPlayerHand);
    Decided("2");
    Continue();
    EXPECT_FLOAT_EQ(State().ExtraStake, 0.0F);
    EXPECT_FLOAT_EQ(State().PlayerBalance, -1.0F);

    if (c.HiddenSlots.empty()) {
        // All his cards lie open: nothing to enter, the next decision follows at once.
        ExpectEntryComplete(kPromptKnown);
        Click("2d");
        EXPECT_EQ(PlaceOf("2d"), TCardPlace::Lifted());
        return;
    }
    ExpectWaitingFor(c.Prompt);
    EXPECT_EQ(State().Stage2Step, c.FirstStep);
    const std::vector<TCardId> hidden = ParseCardList("2d 3d 4d 5d 6d");
    for (std::size_t i = 0; i < c.HiddenSlots.size(); ++i) {
        EXPECT_FALSE(View().DecideVisible);
        table.ClickCard(hidden[i]);
        ExpectSound();
        EXPECT_EQ(DealerSlot(c.HiddenSlots[i]), hidden[i]);
    }
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().DealerCards.Count(), 5);
    EXPECT_EQ(State().Stage2Step, 12);
}

INSTANTIATE_TEST_SUITE_P(
    OpenCards, BetAtDecision1,
    ::testing::Values(TBetCase{"0", "Выберете карты дилера", 1, {3, 4, 2, 5, 1}},
                      TBetCase{"1", "Выберете оставшиеся карты дилера", 2, {4, 2, 5, 1}},
                      TBetCase{"3", "Выберете оставшиеся карты дилера", 4, {5, 1}},
                      TBetCase{"4", "Выберете оставшуюся карту дилера", 5, {1}},
                      TBetCase{"5", "", 0, {}}),
    [](const auto& info) { return "Open" + info.param.OpenCards; });

TEST_F(Continuation, DealerGameBoughtAtDecision2TakesTheFreedSlot) {
    LayOut("1", "2c");
    Decided("2");
    Continue();
    Click("2d 3d 4d 5d");  // slots 4, 2, 5, 1
    design.BuyDealerGameCost = "1,5";
    Decided("11", "", "4 буби");  // the card in slot 5
    Continue();

    EXPECT_EQ(State().HandStage, 3);
    ExpectThrownAway("4d");
    EXPECT_FALSE(State().DealerSlotUsed[5]);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.5F);
    EXPECT_FLOAT_EQ(State().PlayerBalance, -2.5F);
    ExpectWaitingFor("Выберите пришедшую карту дилера");
    EXPECT_FALSE(View().CombinationsVisible);

    Click("7d");
    EXPECT_EQ(DealerSlot(5), Card("7d"));
    ExpectEntryComplete(" Нажмите \"РЕШЕНИЕ\".");
    const TTableState complete = State();
    Click("8d");
    ExpectUnchangedButClickName(complete);
}

TEST_F(Continuation, DealerGameBoughtAtDecision3TakesTheFreedSlot) {
    LayOut("1", "2c");
    Decided("4");
    Continue();
    Click("3h");
    Decided("2");
    Continue();
    EXPECT_EQ(State().HandStage, 3);
    ExpectWaitingFor("Выберете оставшиеся карты дилера");
    EXPECT_TRUE(State().PlayerSlotUsed[6] && State().PlayerSlotUsed[7]);
    Click("2d 3d 4d 5d");
    ExpectEntryComplete(kPromptKnown);

    Decided("4", "", "3 буби");  // the card in slot 2
    Continue();
    EXPECT_EQ(State().HandStage, 4);
    ExpectThrownAway("3d");
    ExpectWaitingFor("Выберите пришедшую карту дилера");
    EXPECT_FLOAT_EQ(State().ExtraStake, 2.2F);
    Click("7d");
    EXPECT_EQ(DealerSlot(2), Card("7d"));
    ExpectEntryComplete("Нажмите \"РЕШЕНИЕ\" ");
}

TEST_F(Continuation, DealerGameBoughtAtDecision4TakesTheFreedSlotAtStage5) {
    LayOut("1", "2c");
    Decided("4");
    Continue();
    Click("3h");
    Decided("4");
    Continue();
    Click("4h");
    Decided("2");
    Continue();
    EXPECT_EQ(State().HandStage, 4);
    ExpectWaitingFor("Выберете оставшиеся карты дилера");
    Click("2d 3d 4d 5d");
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().Stage4Step, 6);

    Decided("1", "", "5 буби");  // the card in slot 1
    Continue();
    EXPECT_EQ(State().HandStage, 5);
    ExpectThrownAway("5d");
    ExpectWaitingFor("Выберите пришедшую карту дилера");
    Click("7d");
    EXPECT_EQ(DealerSlot(1), Card("7d"));
    ExpectEntryComplete("Нажмите \"РЕШЕНИЕ\" ");

    // Stage 5 waits for the settling decision only.
    const TTableState waiting = State();
    Continue();
    EXPECT_EQ(State(), waiting);
}

TEST_F(Continuation, FoldAtDecision1LosesTheAnte) {
    LayOut("1", "2c");
    FixPlayerSlot(1);
    Decided("1");
    Continue();
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_EQ(State().HandResult, -10000);
    EXPECT_EQ(View().Prompt, "Вы проиграли  1 анте");
    EXPECT_FALSE(View().DecideVisible || View().ContinueVisible);
    ExpectNoFixButtons();
    const TTableState settled = State();
    Continue();
    EXPECT_EQ(State(), settled);
}

TEST_F(Continuation, FoldAtDecision2LosesTheAnteAndTheCostsPaid) {
    LayOut("1", "2c");
    design.BuyCost[1][1] = "1";
    Decided("4");
    Continue();
    Click("3h");
    Decided("1");
    Continue();
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_EQ(State().HandResult, -20000);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.0F);
    EXPECT_EQ(View().Prompt, "Вы проиграли  2 анте");
}

TEST_F(Continuation, FoldAfterADecimalCostShowsTheAmountToFourDecimals) {
    LayOut("1", "2c");  // buying one card costs "1,2", held in single precision
    Decided("4");
    Continue();
    Click("3h");
    Decided("1");
    Continue();
    EXPECT_EQ(State().HandResult, -22000);
    EXPECT_FLOAT_EQ(State().PlayerBalance, -2.2F);
    EXPECT_EQ(View().Prompt, "Вы проиграли  2,2 анте");
    EXPECT_TRUE(State().HandFolded);
}

// A cost that does not convert stops the press before anything changes; once the design is
// corrected the same press goes through.
TEST_F(Continuation, CostThatDoesNotConvertLeavesTheHandAsItWas) {
    LayOut("1", "2c");
    design.ExchangeCost[1][2] = "1.2";
    Decided("7", "Kd Js");
    const TTableState state = State();
    const TTableView view = View();
    try {
        table.ContinueHand();
        ADD_FAILURE() << "the cost converted";
    } catch (const TConversionError& e) {
        EXPECT_STREQ(e.what(),
                     "В поле «затраты на первом этапе: обменять 2 карты» (конструктор, окно 3; "
                     "строка 26 файла конструкции) стоит «1.2», а нужно число, например 1,5");
    }
    ExpectSound();
    EXPECT_EQ(State(), state);
    EXPECT_EQ(View(), view);

    design.ExchangeCost[1][2] = "1,2";
    Continue();
    EXPECT_EQ(State().HandStage, 2);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.2F);
    ExpectThrownAway("Kd");
}

// A decision that offered nothing leaves an empty choice: no card arrives, so each next
// decision can follow at once, and stage 5 ends the hand at the latest.
// A decision that offered nothing lets the hand go straight on to the next decision; after the
// last decision of the player the dealer's hidden cards come, since the hand is settled on them.
TEST_F(Continuation, EmptyChoicesLeadStraightToTheNextDecision) {
    LayOut("1", "2c");
    for (const int stage : {2, 3}) {
        Decided("");
        Continue();
        EXPECT_EQ(State().HandStage, stage);
        ExpectEntryComplete(kPromptKnown);
        EXPECT_EQ(State().DealerCards.Count(), 1);
        EXPECT_FLOAT_EQ(State().ExtraStake, 0.0F);
    }
    Decided("");
    Continue();
    EXPECT_EQ(State().HandStage, 4);
    ExpectWaitingFor("Выберете оставшиеся карты дилера");
    Click("2d 3d 4d 5d");
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().DealerCards.Count(), 5);

    Decided("");
    Continue();
    EXPECT_EQ(State().HandStage, 5);
    ExpectEntryComplete("Нажмите \"РЕШЕНИЕ\" ");
    const TTableState waiting = State();
    Click("6d");
    Continue();
    ExpectUnchangedButClickName(waiting);
}

// The decision cache shows an exchange without marking any card: nothing leaves the table, so
// nothing is awaited, although the exchange is paid.
TEST_F(Continuation, ExchangeWithoutMarkedCardsAwaitsNothing) {
    LayOut("1", "2c");
    Decided("6");
    Continue();
    ExpectEntryComplete(kPromptKnown);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.0F);
    EXPECT_EQ(State().PlayerCards.Count(), 5);
    Click("2d");  // no dealer card is awaited
    EXPECT_EQ(PlaceOf("2d"), TCardPlace::Lifted());
}

// Marks left over from an earlier press throw nothing away when the final choice is a bet.
TEST_F(Continuation, StaleMarksDoNotThrowCardsAwayOnABet) {
    LayOut("1", "2c");
    Decided("2", "Kd");
    Continue();
    EXPECT_EQ(PlayerSlot(2), Card("Kd"));
    EXPECT_FALSE(PlaceOf("Kd").Marked);
    ExpectWaitingFor("Выберете оставшиеся карты дилера");
    Click("2d");
    EXPECT_EQ(DealerSlot(4), Card("2d"));
}

TEST_F(Continuation, DealerSwapCardThatNamesNoDealerCardThrowsNothingAway) {
    for (const std::string swap : {"", "туз пик", "A черви"}) {  // the last is the player's
        SCOPED_TRACE(swap);
        LayOut("1", "2c");
        Decided("2");
        Continue();
        Click("2d 3d 4d 5d");
        Decided("11", "", swap);
        Continue();
        EXPECT_EQ(State().DealerCards.Count(), 5);
        EXPECT_EQ(PlayerSlot(1), Card("Ah"));
        EXPECT_FLOAT_EQ(State().ExtraStake, 1.0F);
        ExpectEntryComplete(" Нажмите \"РЕШЕНИЕ\".");
    }
}

TEST_F(Continuation, BoughtCardExchangedAtDecision2IsReplacedInItsSlot) {
    LayOut("1", "2c");
    Decided("4");
    Continue();
    Click("3h");
    Decided("6", "3h");
    Continue();
    ExpectThrownAway("3h");
    EXPECT_FALSE(State().PlayerSlotUsed[6]);
    ExpectWaitingFor("Выберете пришедшие карты игрока");
    Click("4h");
    EXPECT_EQ(PlayerSlot(6), Card("4h"));
    ExpectEntryComplete(kPromptKnown);
    EXPECT_EQ(State().Stage3Step, 13);
    EXPECT_FLOAT_EQ(State().ExtraStake, 2.2F);
}

TEST_F(Continuation, ExchangeAtDecision2RefillsTheDealtSlots) {
    LayOut("1", "2c");
    Decided("4");
    Continue();
    Click("3h");
    design.ExchangeCost[2][2] = "0,25";
    Decided("7", "Ah 9h");
    Continue();
    ExpectWaitingFor("Выберете пришедшие карты игрока");
    Click("4h 5h");
    EXPECT_EQ(PlayerSlot(5), Card("4h"));
    EXPECT_EQ(PlayerSlot(1), Card("5h"));
    ExpectEntryComplete(kPromptKnown);
    EXPECT_FLOAT_EQ(State().ExtraStake, 1.45F);
}

TEST_F(Continuation, BetAtDecision2AfterAnExchangeAsksForTheHiddenCards) {
    LayOut("3", "2c 3c 4c");
    Decided("6", "Qc");
    Continue();
    Click("4h");
    EXPECT_EQ(PlayerSlot(3), Card("4h"));
    Decided("3");
    Continue();
    EXPECT_EQ(State().Stage3Step, 4);
    ExpectWaitingFor("Выберете оставшиеся карты дилера");
    Click("2d 3d");
    EXPECT_EQ(DealerSlot(5), Card("2d"));
    EXPECT_EQ(DealerSlot(1), Card("3d"));
    ExpectEntryComplete(kPromptKnown);
}

}  // namespace
}  // namespace studlab::testing
