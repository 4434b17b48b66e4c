#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_list.h"
#include "design/design_file.h"
#include "support/test_folder.h"
#include "support/test_game.h"
#include "table/table_invariants.h"
#include "table/table_prompts.h"

namespace studlab::testing {

inline TCardId Card(std::string_view shortName) {
    const std::vector<TCardId> ids = ParseCardList(shortName);
    EXPECT_EQ(ids.size(), 1U) << shortName;
    return ids.front();
}

// A decision window over its own design and settings. Every command goes through a helper that
// checks the table's invariants afterwards.
class TableTest : public ::testing::Test {
protected:
    std::filesystem::path Dir() const { return m_dir; }

    // Writes `fileDesign` as "<name>.es1" and chooses it as the game.
    std::filesystem::path SelectGame(const TGameDesign& fileDesign,
                                     const std::string& name = "игра") {
        const std::filesystem::path path = m_dir / (name + ".es1");
        SaveDesignFile(fileDesign, path);
        table.SelectGame(path);
        ExpectSound();
        return path;
    }
    void SelectGameWithOpenCards(const std::string& openCards) {
        TGameDesign fileDesign;
        fileDesign.DealerOpenCards = openCards;
        SelectGame(fileDesign);
    }

    void Click(std::string_view cards) {
        for (TCardId id : ParseCardList(cards)) {
            table.ClickCard(id);
            ExpectSound();
        }
    }
    void Continue() {
        table.ContinueHand();
        ExpectSound();
    }
    void NewLayout() {
        table.NewLayout();
        ExpectSound();
    }
    void FixPlayerSlot(int slot) {
        table.ToggleFix(TPlaceKind::cpPlayer, slot);
        ExpectSound();
    }
    void FixDealerSlot(int slot) {
        table.ToggleFix(TPlaceKind::cpDealer, slot);
        ExpectSound();
    }
    // Stands in for the decision: records the choice of the current stage, marks the cards it
    // throws away and offers "ПРОДОЛЖИТЬ".
    void Decided(const std::string& code, std::string_view marked = "",
                 const std::string& dealerSwapCard = "") {
        const int stage = table.State().HandStage;
        ASSERT_GE(stage, 1);
        ASSERT_LE(stage, 4);
        table.State().Choice(stage) = code;
        table.State().DealerSwapCard = dealerSwapCard;
        for (TCardId id : ParseCardList(marked)) ASSERT_TRUE(table.MarkForExchange(id));
        table.View().DecideVisible = true;
        table.View().ContinueVisible = true;
        table.View().CombinationsVisible = true;
        ExpectSound();
    }

    // A click that arrives stores its picture's name even when it changes nothing else.
    void ExpectUnchangedButClickName(const TTableState& before) const {
        TTableState expected = before;
        expected.ClickedImageName = table.State().ClickedImageName;
        EXPECT_EQ(table.State(), expected);
    }

    void ExpectSound() const {
        EXPECT_THAT(TableInvariantViolations(table.State()), ::testing::IsEmpty());
    }

    // No slot shows its fix button.
    void ExpectNoFixButtons() const {
        EXPECT_EQ(View().PlayerFixVisible, (std::array<bool, kDealtSlots + 1>{}));
        EXPECT_EQ(View().DealerFixVisible, (std::array<bool, kDealerSlots + 1>{}));
    }

    const TTableState& State() const { return table.State(); }
    const TTableView& View() const { return table.View(); }
    const TCardPlace& PlaceOf(std::string_view card) const {
        return table.State().PlaceOf(Card(card));
    }
    std::optional<TCardId> PlayerSlot(int slot) const {
        return table.State().CardInPlayerSlot(slot);
    }
    std::optional<TCardId> DealerSlot(int slot) const {
        return table.State().CardInDealerSlot(slot);
    }

    TTestGame game;
    TGameDesign& design = game.Design;
    TCalculationSettings& settings = game.Settings;
    TDecisionTable& table = game.Table;

private:
    const TTestFolder m_folder;
    const std::filesystem::path m_dir = m_folder.Path();
};

}  // namespace studlab::testing
