#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "table/table_invariants.h"

namespace studlab {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// A sound table: one dealer card, two player cards, a lifted and a thrown-away card, slots 6
// and 7 closed while empty.
TTableState SoundTable() {
    TTableState s;
    s.HandStage = 2;
    s.Stage1Step = 11;
    s.Stage2Step = 1;
    const auto put = [&s](TCardId id, TCardPlace place) {
        s.PlaceOf(id) = place;
        if (place.Place == TPlaceKind::cpPlayer) {
            s.PlayerCards.Add(id);
            s.PlayerSlotUsed[place.Slot] = true;
        } else if (place.Place == TPlaceKind::cpDealer) {
            s.DealerCards.Add(id);
            s.DealerSlotUsed[place.Slot] = true;
        } else if (place.Place == TPlaceKind::cpOut) {
            s.OutCards.Add(id);
        }
    };
    put(1, TCardPlace::Dealer(3));
    put(2, TCardPlace::Player(1));
    put(3, TCardPlace::Player(2));
    put(4, TCardPlace::Lifted());
    put(5, TCardPlace::ThrownAway());
    s.PlaceOf(3).Marked = true;
    s.PlayerSlotUsed[6] = true;
    s.PlayerSlotUsed[7] = true;
    return s;
}

TEST(TableInvariants, ASoundTableHasNoViolation) {
    EXPECT_THAT(TableInvariantViolations(SoundTable()), IsEmpty());
    EXPECT_THAT(TableInvariantViolations(TTableState{}), IsEmpty());
}

struct TCorruption {
    const char* Name;
    std::function<void(TTableState&)> Apply;
    const char* Message;
};

TEST(TableInvariants, EachCorruptionIsNamed) {
    const std::vector<TCorruption> corruptions = {
        {"table flag without its card", [](TTableState& s) { s.OutCards.Add(9); },
         "OutCards disagree"},
        {"card without its table flag", [](TTableState& s) { s.PlayerCards.Remove(2); },
         "PlayerCards disagree"},
        {"card moved, tables not",
         [](TTableState& s) {
             s.PlaceOf(1) = TCardPlace::Deck();
             s.DealerSlotUsed[3] = false;
         },
         "DealerCards disagree"},
        {"two cards in one slot",
         [](TTableState& s) {
             s.PlaceOf(6) = TCardPlace::Dealer(3);
             s.DealerCards.Add(6);
         },
         "dealer slot 3 holds more than one card"},
        {"occupied slot marked free", [](TTableState& s) { s.PlayerSlotUsed[2] = false; },
         "player slot 2 holds a card but is marked free"},
        {"empty dealt slot marked used", [](TTableState& s) { s.PlayerSlotUsed[4] = true; },
         "player slot 4 is marked used but holds no card"},
        {"empty dealer slot marked used", [](TTableState& s) { s.DealerSlotUsed[5] = true; },
         "dealer slot 5 is marked used but holds no card"},
        {"slot outside its row",
         [](TTableState& s) {
             s.PlaceOf(1).Slot = 6;
             s.DealerSlotUsed[3] = false;
         },
         "lies in slot 6 of a row without that slot"},
        {"mark outside the player's row", [](TTableState& s) { s.PlaceOf(1).Marked = true; },
         "marked for exchange outside the player's row"},
        {"clickable card in a slot", [](TTableState& s) { s.PlaceOf(2).Clickable = true; },
         "lies in a slot and is still clickable"},
        {"unclickable card in the deck", [](TTableState& s) { s.PlaceOf(20).Clickable = false; },
         "lies in the deck unclickable"},
        {"entry step out of range", [](TTableState& s) { s.Stage4Step = 7; },
         "Stage4Step is 7, outside 0..6"},
        {"stage out of range", [](TTableState& s) { s.HandStage = 6; },
         "HandStage is 6, outside 0..5"},
    };
    for (const TCorruption& c : corruptions) {
        SCOPED_TRACE(c.Name);
        TTableState s = SoundTable();
        c.Apply(s);
        EXPECT_THAT(TableInvariantViolations(s), ElementsAre(HasSubstr(c.Message)));
    }
}

}  // namespace
}  // namespace studlab
