#pragma once

#include <array>

#include "cards/card.h"
#include "table/card_place.h"

namespace studlab {

// Pixel positions of the reference window (839 x 562 client area); card pictures are 73 x 100.
inline constexpr int kDeckRowTop = 456;
inline constexpr int kOutRowTop = 414;
inline constexpr int kPlayerRowTop = 185;
inline constexpr int kMarkedTop = 170;  // 15 pixels above the player's row
inline constexpr int kDealerRowTop = 5;
inline constexpr int kCardStep = 15;  // the deck is fanned 15 pixels per card

// Lefts of the player's slots 1..7 (index 0 unused); the dealer's slots 1..5 use the same five.
inline constexpr std::array<int, kPlayerSlots + 1> kSlotLeft = {0,   209, 282, 355,
                                                                428, 501, 136, 100};

inline constexpr int kPlayerFixRowTop = 263;
inline constexpr int kDealerFixRowTop = 83;
inline constexpr int kFixButtonInset = 2;  // a fix button sits 2 pixels right of its slot's left

enum class TPointerShape { psDefault, psUpArrow, psUpDownArrow };

// Where the card's picture stands for the place it lies in.
constexpr TScreenPoint CardScreenPlace(TCardId id, const TCardPlace& place) {
    switch (place.Place) {
        case TPlaceKind::cpDeck:
            return HomePlace(id);
        case TPlaceKind::cpOut:
            return {kCardStep * (id - 1), kOutRowTop};
        case TPlaceKind::cpPlayer:
            return {kSlotLeft.at(place.Slot), place.Marked ? kMarkedTop : kPlayerRowTop};
        case TPlaceKind::cpDealer:
            return {kSlotLeft.at(place.Slot), kDealerRowTop};
    }
    return HomePlace(id);
}

// A card in the deck invites a lift, a lifted card a return; the others take no clicks.
constexpr TPointerShape CardPointer(const TCardPlace& place) {
    if (place.InDeck()) return TPointerShape::psUpArrow;
    if (place.IsLifted()) return TPointerShape::psUpDownArrow;
    return TPointerShape::psDefault;
}

}  // namespace studlab
