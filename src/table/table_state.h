#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "cards/card.h"
#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "table/candidate_table.h"
#include "table/card_place.h"

namespace studlab {

// HandResult while the hand is not settled yet.
inline constexpr std::int64_t kHandNotSettled = -1'000'000;

// The one hand of the decision window. Everything starts zeroed; all cards lie in the deck.
struct TTableState {
    // 1 initial layout, 2..4 after the first..third continuation, 5 the dealer's replacement card
    // after a game bought at decision 4, 0 settled (or no game yet): the table takes no cards.
    int HandStage = 0;
    // Entry steps of stages 1..4. Stage 1: 1..5 the dealer's open cards, 6..10 the player's
    // cards, 11 complete (0: the design's number of open dealer cards is unusable). Stages 2..4:
    // 1..5 the dealer's hidden cards, 10..12 bought cards, 12 / 13 / 6 complete, 0 no sequence
    // (only the free-slot rules apply).
    int Stage1Step = 0;
    int Stage2Step = 0;
    int Stage3Step = 0;
    int Stage4Step = 0;

    std::array<TCardPlace, kCards + 1> Places{};  // [TCardId 1..52]

    // Always agree with Places: a card's flag is set in the table of the row it lies in.
    TCardTable PlayerCards;
    TCardTable DealerCards;
    TCardTable OutCards;

    // A used slot holds a card; slots 6 and 7 are also marked used while closed to the
    // free-slot rules (no card bought into them, or a bet made after them).
    std::array<bool, kPlayerSlots + 1> PlayerSlotUsed{};  // [1..7]
    std::array<bool, kDealerSlots + 1> DealerSlotUsed{};  // [1..5]
    // A fixed slot keeps its card through a new layout.
    std::array<bool, kDealtSlots + 1> PlayerFixed{};   // [1..5]
    std::array<bool, kDealerSlots + 1> DealerFixed{};  // [1..5]

    // The action codes chosen at decisions 1..4; their meaning depends on the decision
    // (table/choice_codes.h).
    std::string Choice1;
    std::string Choice2;
    std::string Choice3;
    std::string Choice4;
    // Name of the dealer card the dealer throws away when the player buys him a game.
    std::string DealerSwapCard;

    // Antes. PlayerBalance = -(1 + ExtraStake) throughout a hand.
    float PlayerBalance = 0.0F;
    float ExtraStake = 0.0F;
    // Ten-thousandths of an ante; kHandNotSettled while the hand runs.
    std::int64_t HandResult = 0;
    std::int64_t LastHandResult = 0;
    bool HandInsurable = false;
    // The hand ended in a fold: the bet was never made.
    bool HandFolded = false;
    // How the settled hand ended against the dealer's cards: the player won or the dealer had no
    // game (whatever that paid after the costs). Unknown for a hand a cached row settled.
    std::optional<bool> HandPaid;
    std::string ClickedImageName;

    // The kind of the player's cards at the last decision, ckNoGame for none; the profitability
    // check counts hands by it.
    TCombinationKind HandCategory = TCombinationKind::ckNoGame;
    // The candidates of the last decision, kept until the next one.
    TCandidateTable Candidates;

    TCardPlace& PlaceOf(TCardId id) { return Places.at(static_cast<std::size_t>(id)); }
    const TCardPlace& PlaceOf(TCardId id) const { return Places.at(static_cast<std::size_t>(id)); }

    std::string& Choice(int stage);
    const std::string& Choice(int stage) const;
    int& EntryStep(int stage);
    // The fix mark of `slot` (1..5) of the player's or the dealer's row.
    bool& Fixed(TPlaceKind row, int slot);
    bool Fixed(TPlaceKind row, int slot) const;

    std::optional<TCardId> CardInPlayerSlot(int slot) const;
    std::optional<TCardId> CardInDealerSlot(int slot) const;
    int UsedDealerSlots() const;
    int UsedDealtPlayerSlots() const;  // of slots 1..5

    friend bool operator==(const TTableState&, const TTableState&) = default;
};

}  // namespace studlab
