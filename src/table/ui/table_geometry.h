#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>
#include <array>

#include "cards/card.h"
#include "table/card_place.h"

namespace studlab {

// Where the decision window draws the table, in pixels of its 839 x 562 client area; card
// pictures are 73 x 100.

inline constexpr int kDeckRowTop = 456;
inline constexpr int kOutRowTop = 414;
inline constexpr int kPlayerRowTop = 185;
inline constexpr int kMarkedTop = 170;  // 15 pixels above the player's row
inline constexpr int kDealerRowTop = 5;
inline constexpr int kCardStep = 15;  // the deck and the out row are fanned 15 pixels per card

// Lefts of the player's slots 1..7 (index 0 unused); the dealer's slots 1..5 use the same five.
inline constexpr std::array<int, kPlayerSlots + 1> kSlotLeft = {0,   209, 282, 355,
                                                                428, 501, 136, 100};

// The card's picture for the place it lies in.
constexpr QPoint CardPicturePlace(TCardId id, const TCardPlace& place) {
    switch (place.Place) {
        case TPlaceKind::cpDeck:
            return {kCardStep * (id - 1), kDeckRowTop};
        case TPlaceKind::cpOut:
            return {kCardStep * (id - 1), kOutRowTop};
        case TPlaceKind::cpPlayer:
            return {kSlotLeft.at(place.Slot), place.Marked ? kMarkedTop : kPlayerRowTop};
        case TPlaceKind::cpDealer:
            return {kSlotLeft.at(place.Slot), kDealerRowTop};
    }
    return {kCardStep * (id - 1), kDeckRowTop};
}

// A card in the deck invites a lift, a lifted card a return; the others take no clicks.
constexpr Qt::CursorShape CardCursor(const TCardPlace& place) {
    if (place.InDeck()) return Qt::UpArrowCursor;
    if (place.IsLifted()) return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

// The fix buttons: Button4..Button8 under the player's slots 1..5, Button9..Button13 under the
// dealer's. A button sits 2 pixels right of its slot's left, over the lower edge of its card.
inline constexpr int kFirstPlayerFixButton = 4;
inline constexpr int kFirstDealerFixButton = 9;
inline constexpr int kLastFixButton = 13;
inline constexpr int kPlayerFixRowTop = 263;
inline constexpr int kDealerFixRowTop = 83;
inline constexpr int kFixButtonInset = 2;
inline constexpr int kFixButtonHeight = 20;
inline constexpr int kFixOffWidth = 20;
inline constexpr int kFixOnWidth = 69;
inline constexpr const char* kFixOffCaption = "Ф";
inline constexpr const char* kFixOnCaption = "ФИКС";

// The slot a fix button stands under.
struct TFixSlot {
    TPlaceKind Row = TPlaceKind::cpPlayer;
    int Slot = 0;
};

constexpr TFixSlot FixSlotOfButton(int button) {
    return button < kFirstDealerFixButton
               ? TFixSlot{TPlaceKind::cpPlayer, button - kFirstPlayerFixButton + 1}
               : TFixSlot{TPlaceKind::cpDealer, button - kFirstDealerFixButton + 1};
}

// Its caption and width follow its slot's fix mark.
constexpr QRect FixButtonGeometry(TFixSlot fix, bool fixed) {
    const int top = fix.Row == TPlaceKind::cpPlayer ? kPlayerFixRowTop : kDealerFixRowTop;
    return {kSlotLeft.at(fix.Slot) + kFixButtonInset, top, fixed ? kFixOnWidth : kFixOffWidth,
            kFixButtonHeight};
}

}  // namespace studlab
