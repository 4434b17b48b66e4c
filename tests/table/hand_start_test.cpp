#include "design/design_file.h"
#include "table_fixture.h"

namespace studlab::testing {
namespace {

constexpr std::string_view kPlayerHand = "Ah Kd Qc Js 9h";  // slots 1..5

class HandStart : public TableTest {
protected:
    void ExpectAllCardsHome() {
        for (TCardId id = 1; id <= kCards; ++id) {
            EXPECT_EQ(State().PlaceOf(id), TCardPlace::Deck()) << CardName(id);
        }
        EXPECT_TRUE(State().PlayerCards.Empty() && State().DealerCards.Empty() &&
                    State().OutCards.Empty());
    }
    void ExpectFreshHand() {
        EXPECT_EQ(State().HandStage, 1);
        EXPECT_EQ(State().Stage2Step, 1);
        EXPECT_EQ(State().Stage3Step, 1);
        EXPECT_EQ(State().Stage4Step, 1);
        EXPECT_FLOAT_EQ(State().PlayerBalance, -1.0F);
        EXPECT_FLOAT_EQ(State().ExtraStake, 0.0F);
        EXPECT_TRUE(State().PlayerSlotUsed[6] && State().PlayerSlotUsed[7]);
        EXPECT_TRUE(View().RandomDealVisible);
        EXPECT_FALSE(View().ContinueVisible || View().CombinationsVisible);
        EXPECT_FALSE(View().CandidatesVisible);
        EXPECT_TRUE(View().CandidateCaptions.empty() && View().CandidateValues.empty());
    }
    // A hand in the middle of stage 2: cards in slots 6 and 7, a lifted card, decision shown.
    void PlayIntoStage2() {
        Click("2c");
        Click(kPlayerHand);
        Decided("5");
        Continue();
        Click("3h 4h 5h");  // slots 7, 6, then lifted
        table.View().CandidateCaptions = "забиться\r";
        table.View().CandidatesVisible = true;
        table.View().CombinationsVisible = true;
    }
};

TEST_F(HandStart, NewLayoutReturnsEveryCardToTheDeck) {
    SelectGameWithOpenCards("1");
    PlayIntoStage2();
    table.State().HandResult = 35000;
    NewLayout();
    ExpectAllCardsHome();
    ExpectFreshHand();
    EXPECT_EQ(State().Stage1Step, 5);
    EXPECT_EQ(View().Prompt, "Выберете карту дилера");
    EXPECT_FALSE(View().DecideVisible);
    for (int slot = 1; slot <= 5; ++slot) {
        EXPECT_FALSE(State().PlayerSlotUsed[slot]);
        EXPECT_FALSE(State().DealerSlotUsed[slot]);
    }
    ExpectNoFixButtons();
    // What belongs to the previous hand's end stays.
    EXPECT_EQ(State().HandResult, 35000);
    EXPECT_EQ(State().Choice1, "5");
}

TEST_F(HandStart, NewLayoutKeepsFixedPlayerCardsAndCompletesTheLayout) {
    SelectGameWithOpenCards("0");
    Click(kPlayerHand);
    for (int slot = 1; slot <= 5; ++slot) FixPlayerSlot(slot);
    Decided("7", "Kd Js");
    NewLayout();

    for (int slot = 1; slot <= 5; ++slot) {
        const TCardId card = ParseCardList(kPlayerHand)[slot - 1];
        EXPECT_EQ(State().PlaceOf(card), TCardPlace::Player(slot));
        EXPECT_TRUE(State().PlayerFixed[slot]);
        EXPECT_TRUE(View().PlayerFixVisible[slot]);
        EXPECT_FALSE(View().DealerFixVisible[slot]);
    }
    // A marked card in a fixed slot comes back down into its row.
    EXPECT_EQ(PlaceOf("Kd"), TCardPlace::Player(2));
    EXPECT_EQ(State().Stage1Step, 11);
    EXPECT_EQ(View().Prompt, kPromptNeighbours);
    EXPECT_TRUE(View().DecideVisible);
    Click("2d");
    EXPECT_EQ(PlaceOf("2d"), TCardPlace::Lifted());
}

TEST_F(HandStart, NewLayoutKeepsFixedSlotsOnlyAndContinuesTheEntryAroundThem) {
    SelectGameWithOpenCards("1");
    PlayIntoStage2();
    FixPlayerSlot(2);
    FixDealerSlot(3);
    NewLayout();

    EXPECT_EQ(PlaceOf("Kd"), TCardPlace::Player(2));
    EXPECT_EQ(PlaceOf("2c"), TCardPlace::Dealer(3));
    for (std::string_view home : {"Ah", "Qc", "Js", "9h", "3h", "4h", "5h"}) {
        EXPECT_EQ(PlaceOf(home), TCardPlace::Deck()) << home;
    }
    // The dealer's one open card is kept: the layout goes on with the player's cards.
    EXPECT_EQ(View().Prompt, kPromptPlayer);
    EXPECT_EQ(State().Stage1Step, 6);
    Click("2d 3d 4d");
    EXPECT_EQ(PlayerSlot(1), Card("2d"));
    EXPECT_EQ(PlayerSlot(3), Card("3d"));
    EXPECT_EQ(PlayerSlot(4), Card("4d"));
    EXPECT_FALSE(View().DecideVisible);
    Click("5d");
    EXPECT_EQ(PlayerSlot(5), Card("5d"));
    EXPECT_EQ(View().Prompt, kPromptNeighbours);
    EXPECT_TRUE(View().DecideVisible);
}

// With the player's five cards kept, the dealer's open cards are still entered before the
// layout is complete.
TEST_F(HandStart, KeptPlayerHandStillTakesTheDealersOpenCards) {
    SelectGameWithOpenCards("3");
    Click("2c 3c 4c");
    Click(kPlayerHand);
    for (int slot = 1; slot <= 5; ++slot) FixPlayerSlot(slot);
    NewLayout();
    EXPECT_EQ(State().Stage1Step, 3);
    EXPECT_EQ(View().Prompt, "Выберете карты дилера");
    EXPECT_FALSE(View().DecideVisible);

    Click("2d 3d");
    EXPECT_EQ(DealerSlot(2), Card("2d"));
    EXPECT_EQ(DealerSlot(4), Card("3d"));
    EXPECT_FALSE(View().DecideVisible);
    Click("4d");
    EXPECT_EQ(DealerSlot(3), Card("4d"));
    EXPECT_EQ(View().Prompt, kPromptNeighbours);
    EXPECT_TRUE(View().DecideVisible);
    EXPECT_EQ(State().Stage1Step, 11);
}

// A kept dealer card may lie outside the open slots of a design changed since: his hidden
// cards then go into the slots still free and never onto it.
TEST_F(HandStart, KeptDealerCardOutsideTheOpenSlotsIsNeverCovered) {
    SelectGameWithOpenCards("5");
    Click("2c");  // dealer slot 1
    FixDealerSlot(1);
    design.DealerOpenCards = "1";
    NewLayout();
    EXPECT_EQ(PlaceOf("2c"), TCardPlace::Dealer(1));
    EXPECT_EQ(View().Prompt, kPromptPlayer);
    Click(kPlayerHand);
    Decided("2");
    Continue();
    EXPECT_EQ(View().Prompt, "Выберете оставшиеся карты дилера");
    Click("2d 3d 4d 5d");
    EXPECT_EQ(DealerSlot(3), Card("2d"));
    EXPECT_EQ(DealerSlot(4), Card("3d"));
    EXPECT_EQ(DealerSlot(2), Card("4d"));
    EXPECT_EQ(DealerSlot(5), Card("5d"));
    EXPECT_EQ(DealerSlot(1), Card("2c"));
    EXPECT_EQ(View().Prompt, kPromptKnown);
}

// More kept dealer cards than the design now opens: the entry passes over his full slots and
// goes on with the player's cards.
TEST_F(HandStart, KeptDealerCardsBeyondTheCountPassOnToThePlayer) {
    SelectGameWithOpenCards("5");
    Click("2c 3c 4c 5c 6c");  // slots 1, 5, 2, 4, 3
    FixDealerSlot(1);
    FixDealerSlot(4);
    FixDealerSlot(3);
    design.DealerOpenCards = "2";
    NewLayout();
    EXPECT_EQ(State().Stage1Step, 4);
    EXPECT_EQ(View().Prompt, "Выберете карты дилера");
    Click("Ah");
    EXPECT_EQ(PlayerSlot(1), Card("Ah"));
    EXPECT_EQ(View().Prompt, kPromptPlayer);
    EXPECT_EQ(State().DealerCards.Count(), 3);
}

TEST_F(HandStart, NewLayoutBeforeAGameOnlyOffersTheRandomDeal) {
    NewLayout();
    EXPECT_TRUE(View().RandomDealVisible);
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_EQ(View().Prompt, "");
}

TEST_F(HandStart, GameSelectionInTheMiddleOfAHandStartsAfresh) {
    SelectGameWithOpenCards("1");
    Click("2c");
    Click(kPlayerHand);
    FixPlayerSlot(1);
    FixDealerSlot(3);
    Decided("7", "Kd Js");
    Continue();
    Click("3h");
    table.State().HandResult = kHandNotSettled;
    table.State().DealerSwapCard = "2 треф";

    TGameDesign other;
    other.DealerOpenCards = "0";
    other.BetSize = "3";
    SelectGame(other, "вариант");

    EXPECT_EQ(table.GameName(), "вариант");
    EXPECT_EQ(View().GameTitle, "вариант");
    EXPECT_EQ(design.BetSize, "3");
    ExpectAllCardsHome();
    ExpectFreshHand();
    EXPECT_FALSE(View().DecideVisible);
    EXPECT_EQ(State().Stage1Step, 6);
    EXPECT_EQ(View().Prompt, "Выберете карты игрока");
    ExpectNoFixButtons();
    EXPECT_EQ(State().PlayerFixed, (std::array<bool, kDealtSlots + 1>{}));
    EXPECT_EQ(State().DealerFixed, (std::array<bool, kDealerSlots + 1>{}));
    EXPECT_EQ(State().HandResult, kHandNotSettled);
    EXPECT_EQ(State().Choice1, "7");
    EXPECT_EQ(State().DealerSwapCard, "2 треф");
    Click("Ah");
    EXPECT_EQ(PlayerSlot(1), Card("Ah"));
}

TEST_F(HandStart, CancelledSelectionKeepsDesignAndGameButResetsTheTable) {
    SelectGameWithOpenCards("1");
    Click("2c Ah");
    FixPlayerSlot(1);
    design.BetSize = "7";
    table.SelectGame(std::nullopt);
    ExpectSound();
    EXPECT_EQ(design.BetSize, "7");
    EXPECT_EQ(table.GameName(), "игра");
    ExpectAllCardsHome();
    ExpectFreshHand();
    EXPECT_FALSE(State().PlayerFixed[1]);
    EXPECT_EQ(View().Prompt, "Выберете карту дилера");
}

TEST_F(HandStart, DesignFileThatCannotBeOpenedChangesNothing) {
    SelectGameWithOpenCards("1");
    Click("2c Ah");
    const TGameDesign designBefore = design;
    const TTableState state = State();
    const TTableView view = View();
    const std::filesystem::path missing = Dir() / "нет.es1";
    try {
        table.SelectGame(missing);
        ADD_FAILURE() << "a missing file was opened";
    } catch (const TFileError& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("Не удалось открыть файл"));
    }
    ExpectSound();
    EXPECT_EQ(design, designBefore);
    EXPECT_EQ(table.GameName(), "игра");
    EXPECT_EQ(State(), state);
    EXPECT_EQ(View(), view);
}

TEST_F(HandStart, AShortFileNameGivesAnEmptyGameNameThatStillCounts) {
    const std::filesystem::path path = Dir() / "ab";
    SaveDesignFile(TGameDesign{}, path);
    table.SelectGame(path);
    ExpectSound();
    EXPECT_EQ(table.GameName(), "");
    EXPECT_EQ(View().GameTitle, "");
    Click("Ah");
    EXPECT_EQ(DealerSlot(3), Card("Ah"));
}

// A design loaded in the constructor names the game too; a new layout then starts a hand.
TEST_F(HandStart, GameNamedElsewhereOpensTheNewLayout) {
    table.SetGameName("конструктор");
    NewLayout();
    ExpectFreshHand();
    EXPECT_EQ(View().GameTitle, "конструктор");
    Click("Ah");
    EXPECT_EQ(DealerSlot(3), Card("Ah"));
}

}  // namespace
}  // namespace studlab::testing
