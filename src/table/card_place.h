#pragma once

#include <stdexcept>

#include "cards/card.h"

namespace studlab {

// The rows of the decision window a card can lie in.
enum class TPlaceKind { cpDeck, cpOut, cpPlayer, cpDealer };

// The player's row has the five dealt slots and two more for bought cards (6 left of slot 1,
// 7 left of slot 6); the dealer's row has five.
inline constexpr int kDealtSlots = 5;
inline constexpr int kPlayerSlots = 7;
inline constexpr int kDealerSlots = 5;

struct TCardPlace {
    TPlaceKind Place = TPlaceKind::cpDeck;
    int Slot = 0;           // 1..7 in the player's row, 1..5 in the dealer's, 0 elsewhere
    bool Marked = false;    // a player card the decision throws away, raised above its row
    bool Clickable = true;  // cards in the deck and cards the user lifted take clicks

    static constexpr TCardPlace Deck() { return {}; }
    // Lifted out of the deck by the user as a known card: a second click puts it back.
    static constexpr TCardPlace Lifted() { return {TPlaceKind::cpOut, 0, false, true}; }
    // Thrown away during the hand: it stays out for the rest of the hand.
    static constexpr TCardPlace ThrownAway() { return {TPlaceKind::cpOut, 0, false, false}; }
    static constexpr TCardPlace Player(int slot) {
        return {TPlaceKind::cpPlayer, slot, false, false};
    }
    static constexpr TCardPlace Dealer(int slot) {
        return {TPlaceKind::cpDealer, slot, false, false};
    }

    constexpr bool InDeck() const { return Place == TPlaceKind::cpDeck; }
    constexpr bool IsLifted() const { return Place == TPlaceKind::cpOut && Clickable; }
    constexpr bool InPlayerSlot(int slot) const {
        return Place == TPlaceKind::cpPlayer && Slot == slot;
    }
    constexpr bool InDealerSlot(int slot) const {
        return Place == TPlaceKind::cpDealer && Slot == slot;
    }

    friend constexpr bool operator==(const TCardPlace&, const TCardPlace&) = default;
};

// Fix marks lie under slots 1..5 of the player's and the dealer's rows: the flag of (row, slot)
// in a pair of arrays indexed by slot.
template <class Flags>
auto& FixFlagOf(Flags& player, Flags& dealer, TPlaceKind row, int slot) {
    const bool slotRow = row == TPlaceKind::cpPlayer || row == TPlaceKind::cpDealer;
    if (!slotRow || slot < 1 || slot > kDealtSlots) {
        throw std::out_of_range("fix marks lie under slots 1 to 5 of the player and the dealer");
    }
    return (row == TPlaceKind::cpPlayer ? player : dealer)[static_cast<std::size_t>(slot)];
}

}  // namespace studlab
