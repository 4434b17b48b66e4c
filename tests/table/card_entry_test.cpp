#include <ostream>

#include "table/table_geometry.h"
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
    EXPECT_EQ(View().Label1, c.FirstPrompt);
    EXPECT_FALSE(View().Button1Visible);

    const std::vector<TCardId> dealerCards = ParseCardList("2c 3c 4c 5c 6c");
    for (std::size_t i = 0; i < c.DealerSlots.size(); ++i) {
        table.ImageClick(dealerCards[i]);
        ExpectSound();
        EXPECT_EQ(DealerSlot(c.DealerSlots[i]), dealerCards[i]);
        EXPECT_TRUE(View().FixButtonVisible[DealerFixButton(c.DealerSlots[i])]);
        EXPECT_EQ(table.CardScreenPlace(dealerCards[i]),
                  (TScreenPoint{kSlotLeft[c.DealerSlots[i]], kDealerRowTop}));
    }
    EXPECT_EQ(State().DealerCards.Count(), static_cast<int>(c.DealerSlots.size()));
    EXPECT_EQ(View().Label1, kPromptPlayer);
    EXPECT_EQ(State().Stage1Step, 6);

    const std::vector<TCardId> player = ParseCardList(kPlayerHand);
    for (int slot = 1; slot <= 5; ++slot) {
        EXPECT_FALSE(View().Button1Visible);
        table.ImageClick(player[slot - 1]);
        ExpectSound();
        EXPECT_EQ(PlayerSlot(slot), player[slot - 1]);
        EXPECT_TRUE(View().FixButtonVisible[PlayerFixButton(slot)]);
    }
    EXPECT_EQ(State().PlayerCards, TableOf(player));
    EXPECT_EQ(View().Label1, kPromptNeighbours);
    EXPECT_TRUE(View().Button1Visible);
    EXPECT_FALSE(View().Button2Visible);
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
    EXPECT_EQ(table.CardPointer(known), TPointerShape::psUpArrow);

    Click("7d");
    EXPECT_EQ(State().PlaceOf(known), TCardPlace::Lifted());
    EXPECT_TRUE(State().OutCards.Has(known));
    EXPECT_EQ(table.CardScreenPlace(known), (TScreenPoint{15 * (known - 1), 414}));
    EXPECT_EQ(table.CardPointer(known), TPointerShape::psUpDownArrow);
    EXPECT_EQ(State().ClickedImageName, ImageName(known));
    EXPECT_TRUE(View().Button1Visible);

    Click("7d");
    EXPECT_EQ(State().PlaceOf(known), TCardPlace::Deck());
    EXPECT_TRUE(State().OutCards.Empty());
    EXPECT_EQ(table.CardScreenPlace(known), HomePlace(known));
}

TEST_F(TableTest, CardsInSlotsTakeNoClicks) {
    SelectGameWithOpenCards("1");
    Click("Ah");
    const TTableState before = State();
    table.ImageClick(Card("Ah"));
    table.PlaceCard(RankIndexOf(Card("Ah")), SuitIndexOf(Card("Ah")));
    ExpectSound();
    EXPECT_EQ(State(), before);
    EXPECT_EQ(table.CardPointer(Card("Ah")), TPointerShape::psDefault);
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
    EXPECT_EQ(View().Label2, kNoGameChosen);
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

TEST_F(TableTest, FixButtonsToggleCaptionAndWidth) {
    SelectGameWithOpenCards("1");
    Click("Ah Kd");
    const int dealerButton = DealerFixButton(3);
    const int playerButton = PlayerFixButton(1);
    EXPECT_EQ(table.FixButton(dealerButton).Caption, "Ф");
    EXPECT_EQ(table.FixButton(dealerButton).Place, (TScreenPoint{357, 83}));
    EXPECT_EQ(table.FixButton(playerButton).Place, (TScreenPoint{211, 263}));
    EXPECT_TRUE(table.FixButton(playerButton).Visible);
    EXPECT_FALSE(table.FixButton(PlayerFixButton(2)).Visible);

    const std::vector<std::pair<std::string_view, int>> expected = {
        {"ФИКС", 69}, {"Ф", 20}, {"ФИКС", 69}};
    for (const auto& [caption, width] : expected) {
        Fix(playerButton);
        EXPECT_EQ(table.FixButton(playerButton).Caption, caption);
        EXPECT_EQ(table.FixButton(playerButton).Width, width);
    }
    EXPECT_TRUE(State().PlayerFixed[1]);
    EXPECT_FALSE(State().DealerFixed[3]);
    EXPECT_THROW(table.FixButtonClick(3), std::out_of_range);
    EXPECT_THROW(table.FixButtonClick(14), std::out_of_range);
}

// A design whose number of open dealer cards is none of "0".."5" cannot lay out a hand: the
// table says so and takes no card until the design is corrected and a new layout started.
TEST_F(TableTest, UnusableOpenCardCountShutsTheLayout) {
    for (const std::string openCards : {"7", "abc", " 1", ""}) {
        SCOPED_TRACE(openCards);
        SelectGameWithOpenCards(openCards);
        EXPECT_EQ(View().Label1, "Число открытых карт дилера \"" + openCards +
                                     "\" не от 0 до 5.\r  Исправьте конструкцию и выберите новый "
                                     "расклад.");
        EXPECT_EQ(State().Stage1Step, 0);
        EXPECT_FALSE(table.EntryOpen());
        Click("Ah Kd Qc Js 9h 8h 7h");
        EXPECT_TRUE(State().PlayerCards.Empty() && State().DealerCards.Empty() &&
                    State().OutCards.Empty());
        EXPECT_FALSE(View().Button1Visible);
        NewLayout();
        EXPECT_EQ(State().Stage1Step, 0);
    }
    design.DealerOpenCards = "1";
    NewLayout();
    EXPECT_EQ(View().Label1, "Выберете карту дилера");
    EXPECT_TRUE(table.EntryOpen());
    Click("Ah");
    EXPECT_EQ(DealerSlot(3), Card("Ah"));
}

// The count of open cards is read when a dealer card is laid; a text changed meanwhile into a
// non-number stops the click after the card was placed.
TEST_F(TableTest, OpenCardCountThatStopsConvertingStopsTheClickAfterPlacing) {
    SelectGameWithOpenCards("2");
    design.DealerOpenCards = "два";
    EXPECT_THROW(table.ImageClick(Card("Ah")), TConversionError);
    ExpectSound();
    EXPECT_EQ(DealerSlot(4), Card("Ah"));
    EXPECT_EQ(State().Stage1Step, 5);
}

TEST_F(TableTest, PlaceCardRejectsCardsOutsideTheDeck) {
    SelectGameWithOpenCards("1");
    EXPECT_THROW(table.PlaceCard(0, 1), std::out_of_range);
    EXPECT_THROW(table.PlaceCard(1, 5), std::out_of_range);
    EXPECT_THROW(table.ImageClick(53), std::out_of_range);
    ExpectSound();
}

TEST(CardGeometry, ScreenPlacesFollowTheRows) {
    const TCardId id = 17;
    EXPECT_EQ(CardScreenPlace(id, TCardPlace::Deck()), (TScreenPoint{240, 456}));
    EXPECT_EQ(CardScreenPlace(id, TCardPlace::Lifted()), (TScreenPoint{240, 414}));
    EXPECT_EQ(CardScreenPlace(id, TCardPlace::ThrownAway()), (TScreenPoint{240, 414}));
    const std::array<int, 8> lefts = {0, 209, 282, 355, 428, 501, 136, 100};
    for (int slot = 1; slot <= 7; ++slot) {
        EXPECT_EQ(CardScreenPlace(id, TCardPlace::Player(slot)), (TScreenPoint{lefts[slot], 185}));
        TCardPlace marked = TCardPlace::Player(slot);
        marked.Marked = true;
        EXPECT_EQ(CardScreenPlace(id, marked), (TScreenPoint{lefts[slot], 170}));
    }
    for (int slot = 1; slot <= 5; ++slot) {
        EXPECT_EQ(CardScreenPlace(id, TCardPlace::Dealer(slot)), (TScreenPoint{lefts[slot], 5}));
    }
    EXPECT_EQ(CardPointer(TCardPlace::ThrownAway()), TPointerShape::psDefault);
}

}  // namespace
}  // namespace studlab::testing
