#include "table/table_invariants.h"

#include <array>

namespace studlab {
namespace {

std::string CardText(TCardId id) {
    return CardName(id) + " (" + ImageName(id) + ")";
}

bool SlotInRange(const TCardPlace& place) {
    switch (place.Place) {
        case TPlaceKind::cpDeck:
        case TPlaceKind::cpOut:
            return place.Slot == 0;
        case TPlaceKind::cpPlayer:
            return place.Slot >= 1 && place.Slot <= kPlayerSlots;
        case TPlaceKind::cpDealer:
            return place.Slot >= 1 && place.Slot <= kDealerSlots;
    }
    return false;
}

void CheckStepRange(std::vector<std::string>& problems, const char* name, int step, int last) {
    if (step < 0 || step > last) {
        problems.push_back(std::string(name) + " is " + std::to_string(step) + ", outside 0.." +
                           std::to_string(last));
    }
}

}  // namespace

std::vector<std::string> TableInvariantViolations(const TTableState& state) {
    std::vector<std::string> problems;
    if (state.HandStage < 0 || state.HandStage > 5) {
        problems.push_back("HandStage is " + std::to_string(state.HandStage) + ", outside 0..5");
    }
    CheckStepRange(problems, "Stage1Step", state.Stage1Step, 11);
    CheckStepRange(problems, "Stage2Step", state.Stage2Step, 12);
    CheckStepRange(problems, "Stage3Step", state.Stage3Step, 13);
    CheckStepRange(problems, "Stage4Step", state.Stage4Step, 6);

    TCardTable player;
    TCardTable dealer;
    TCardTable outCards;
    std::array<int, kPlayerSlots + 1> inPlayerSlot{};
    std::array<int, kDealerSlots + 1> inDealerSlot{};
    for (TCardId id = 1; id <= kCards; ++id) {
        const TCardPlace& place = state.PlaceOf(id);
        const bool slotInRange = SlotInRange(place);
        if (!slotInRange) {
            problems.push_back(CardText(id) + " lies in slot " + std::to_string(place.Slot) +
                               " of a row without that slot");
        }
        if (place.Marked && place.Place != TPlaceKind::cpPlayer) {
            problems.push_back(CardText(id) + " is marked for exchange outside the player's row");
        }
        switch (place.Place) {
            case TPlaceKind::cpDeck:
                if (!place.Clickable) {
                    problems.push_back(CardText(id) + " lies in the deck unclickable");
                }
                break;
            case TPlaceKind::cpOut:
                outCards.Add(id);
                break;
            case TPlaceKind::cpPlayer:
                player.Add(id);
                if (slotInRange) ++inPlayerSlot[place.Slot];
                break;
            case TPlaceKind::cpDealer:
                dealer.Add(id);
                if (slotInRange) ++inDealerSlot[place.Slot];
                break;
        }
        if ((place.Place == TPlaceKind::cpPlayer || place.Place == TPlaceKind::cpDealer) &&
            place.Clickable) {
            problems.push_back(CardText(id) + " lies in a slot and is still clickable");
        }
    }
    if (player != state.PlayerCards)
        problems.push_back("PlayerCards disagree with the card places");
    if (dealer != state.DealerCards)
        problems.push_back("DealerCards disagree with the card places");
    if (outCards != state.OutCards) problems.push_back("OutCards disagree with the card places");

    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        const std::string name = "player slot " + std::to_string(slot);
        if (inPlayerSlot[slot] > 1) problems.push_back(name + " holds more than one card");
        if (inPlayerSlot[slot] > 0 && !state.PlayerSlotUsed[slot]) {
            problems.push_back(name + " holds a card but is marked free");
        }
        if (inPlayerSlot[slot] == 0 && state.PlayerSlotUsed[slot] && slot <= kDealtSlots) {
            problems.push_back(name + " is marked used but holds no card");
        }
    }
    for (int slot = 1; slot <= kDealerSlots; ++slot) {
        const std::string name = "dealer slot " + std::to_string(slot);
        if (inDealerSlot[slot] > 1) problems.push_back(name + " holds more than one card");
        if ((inDealerSlot[slot] > 0) != state.DealerSlotUsed[slot]) {
            problems.push_back(name + (inDealerSlot[slot] > 0
                                           ? " holds a card but is marked free"
                                           : " is marked used but holds no card"));
        }
    }
    return problems;
}

}  // namespace studlab
