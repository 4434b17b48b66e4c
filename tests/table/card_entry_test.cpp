#include <ostream>

#include "table_fixture.h"
#include "text/number_text.h"

namespace studlab::testing {
namespace {

using ::testing::IsEmpty;

constexpr std::string_view kPlayerHand = "Ah Kd Qc Js 9h";

struct TOpeningCase {
    std::string OpenCards;
    std::string_view FirstPrompt;
    std::vector<int> DealerSlots;  // the slots the first clicks fill, in order

    friend void PrintTo(const TOpeningCase& c, std::ostream* os) {
        *os << "DealerOpenCards=" << c.OpenCards;
    }
};

class InitialLayout : public TableTest, public ::testing::WithParamInterface<TOpeningCase> {};

TEST_P(InitialLayout, DealerOpenCardsThenPlayerCardsThenKnownCards) {
    const TOpeningCase& c = GetParam();
    SelectGameWithOpenCards(c.OpenCards);
    EXPECT_EQ(View().Prompt, c.FirstPrompt);
    EXPECT_FALSE(View().DecideVisible);

    const std::vector<TCardId> dealerCards = ParseCardList("2c 3c 4c 5c 6c");
    for (std::size_t i = 0; i < c.DealerSlots.size(); ++i) {
        table.ClickCard(dealerCards[i]);
        ExpectSound();
        EXPECT_EQ(DealerSlot(c.DealerSlots[i]), dealerCards[i]);
        EXPECT_EQ(State().PlaceOf(dealerCards[i]), TCardPlace::Dealer(c.DealerSlots[i]));
        EXPECT_TRUE(View().DealerFixVisible[c.DealerSlots[i]]);
    }
    EXPECT_EQ(State().DealerCards.Count(), static_cast<int>(c.DealerSlots.size()));
    EXPECT_EQ(View().Prompt, kPromptPlayer);
    EXPECT_EQ(State().Stage1Step, 6);

    const std::vector<TCardId> player = ParseCardList(kPlayerHand);
    for (int slot = 1; slot <= 5; ++slot) {
        EXPECT_FALSE(View().DecideVisible);
        table.ClickCard(player[slot - 1]);
        ExpectSound();
        EXPECT_EQ(PlayerSlot(slot), player[slot - 1]);
        EXPECT_TRUE(View().PlayerFixVisible[slot]);
    }
    EXPECT_EQ(State().PlayerCards, TableOf(player));
    EXPECT_EQ(View().Prompt, kPromptNeighbours);
    EXPECT_TRUE(View().DecideVisible);
    EXPECT_FALSE(View().ContinueVisible);
    EXPECT_EQ(State().Stage1Step, 11);
}

INSTANTIATE_TEST_SUITE_P(OpenCards, InitialLayout,
                         ::testing::Values(TOpeningCase{"0", "Выберете карты игрока", {}},
                                           TOpeningCase{"1", "Выберете карту дилера", {3}},
                                           TOpeningCase{"3", "Выберете карты дилера", {2, 4, 3}},
                                           TOpeningCase{
                                               "5", "Выберете карты дилера", {1, 5, 2, 4, 3}}),
                         [](const auto& info) { return "Open" + info.param.OpenCards; });

TEST_F(TableTest, CompleteLayoutLiftsKnownCardsAndPutsThemBack) {
    SelectGameWithOpenCards("0");
    Click(kPlayerHand);
    const TCardId known = Card("7d");

    Click("7d");
    EXPECT_EQ(State().PlaceOf(known), TCardPlace::Lifted());
    EXPECT_TRUE(State().OutCards.Has(known));
    EXPECT_EQ(State().ClickedImageName, ImageName(known));
    EXPECT_TRUE(View().DecideVisible);

    Click("7d");
    EXPECT_EQ(State().PlaceOf(known), TCardPlace::Deck());
    EXPECT_TRUE(State().OutCards.Empty());
}

TEST_F(TableTest, CardsInSlotsTakeNoClicks) {
    SelectGameWithOpenCards("1");
    Click("Ah");
    const TTableState before = State();
    table.ClickCard(Card("Ah"));
    table.PlaceCard(RankIndexOf(Card("Ah")), SuitIndexOf(Card("Ah")));
    ExpectSound();
    EXPECT_EQ(State(), before);
    EXPECT_FALSE(PlaceOf("Ah").Clickable);
}

TEST_F(TableTest, ClicksChangeNothingBeforeAGameOrAfterSettlement) {
    // Program start: stage 0.
    const TTableState start = State();
    table.PlaceCard(1, 1);
    Click("Kd");
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_FALSE(table.EntryOpen());
    ExpectUnchangedButClickName(start);

    // A cancelled first selection opens stage 1, but no game is chosen yet.
    table.SelectGame(std::nullopt);
    ExpectSound();
    EXPECT_FALSE(table.GameChosen());
    EXPECT_EQ(View().GameTitle, kNoGameChosen);
    EXPECT_EQ(State().HandStage, 1);
    EXPECT_FALSE(table.EntryOpen());
    const TTableState cancelled = State();
    Click("Kd Qd");
    ExpectUnchangedButClickName(cancelled);

    // Settled by a fold: the table takes no more cards.
    SelectGameWithOpenCards("0");
    Click(kPlayerHand);
    Decided("1");
    Continue();
    ASSERT_EQ(State().HandStage, 0);
    EXPECT_FALSE(table.EntryOpen());
    const TTableState settled = State();
    Click("2d 3d");
    ExpectUnchangedButClickName(settled);
}

TEST_F(TableTest, FixMarksToggleUnderTheLaidSlots) {
    SelectGameWithOpenCards("1");
    Click("Ah Kd");
    EXPECT_TRUE(View().DealerFixVisible[3]);
    EXPECT_TRUE(View().PlayerFixVisible[1]);
    EXPECT_FALSE(View().PlayerFixVisible[2]);
    EXPECT_FALSE(View().FixVisible(TPlaceKind::cpDealer, 1));

    for (const bool fixed : {true, false, true}) {
        FixPlayerSlot(1);
        EXPECT_EQ(State().PlayerFixed[1], fixed);
        EXPECT_EQ(State().Fixed(TPlaceKind::cpPlayer, 1), fixed);
    }
    FixDealerSlot(5);  // a slot without a card keeps its mark as well
    EXPECT_TRUE(State().DealerFixed[5]);
    EXPECT_FALSE(State().DealerFixed[3]);
    for (const auto& [row, slot] :
         {std::pair{TPlaceKind::cpPlayer, 0}, std::pair{TPlaceKind::cpPlayer, 6},
          std::pair{TPlaceKind::cpDealer, 6}, std::pair{TPlaceKind::cpOut, 1}}) {
        EXPECT_THROW(table.ToggleFix(row, slot), std::out_of_range) << slot;
    }
}

// A design whose number of open dealer cards is none of "0".."5" cannot lay out a hand: the
// table says so and takes no card until the design is corrected and a new layout started.
TEST_F(TableTest, UnusableOpenCardCountShutsTheLayout) {
    for (const std::string openCards : {"7", "abc", " 1", ""}) {
        SCOPED_TRACE(openCards);
        SelectGameWithOpenCards(openCards);
        EXPECT_EQ(View().Prompt, "Число открытых карт дилера \"" + openCards +
                                     "\" не от 0 до 5.\r  Исправьте конструкцию и выберите новый "
                                     "расклад.");
        EXPECT_EQ(State().Stage1Step, 0);
        EXPECT_FALSE(table.EntryOpen());
        Click("Ah Kd Qc Js 9h 8h 7h");
        EXPECT_TRUE(State().PlayerCards.Empty() && State().DealerCards.Empty() &&
                    State().OutCards.Empty());
        EXPECT_FALSE(View().DecideVisible);
        NewLayout();
        EXPECT_EQ(State().Stage1Step, 0);
    }
    design.DealerOpenCards = "1";
    NewLayout();
    EXPECT_EQ(View().Prompt, "Выберете карту дилера");
    EXPECT_TRUE(table.EntryOpen());
    Click("Ah");
    EXPECT_EQ(DealerSlot(3), Card("Ah"));
}

// The count of open cards is read when a dealer card is laid; a text changed meanwhile into a
// non-number stops the click after the card was placed.
TEST_F(TableTest, OpenCardCountThatStopsConvertingStopsTheClickAfterPlacing) {
    SelectGameWithOpenCards("2");
    design.DealerOpenCards = "два";
    EXPECT_THROW(table.ClickCard(Card("Ah")), TConversionError);
    ExpectSound();
    EXPECT_EQ(DealerSlot(4), Card("Ah"));
    EXPECT_EQ(State().Stage1Step, 5);
}

TEST_F(TableTest, PlaceCardRejectsCardsOutsideTheDeck) {
    SelectGameWithOpenCards("1");
    EXPECT_THROW(table.PlaceCard(0, 1), std::out_of_range);
    EXPECT_THROW(table.PlaceCard(1, 5), std::out_of_range);
    EXPECT_THROW(table.ClickCard(53), std::out_of_range);
    ExpectSound();
}

}  // namespace
}  // namespace studlab::testing
