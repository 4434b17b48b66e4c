// The rules of a hand, its draw and settlement, on a bare hand state, without the decision window:
// which cards leave, where the arriving ones go, what the choice costs and when a hand settles.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/card_list.h"
#include "table/choice_codes.h"
#include "table/hand_rules.h"

namespace studlab::testing {
namespace {

TCardId Id(std::string_view name) {
    const std::vector<TCardId> ids = ParseCardList(name);
    EXPECT_EQ(ids.size(), 1U) << name;
    return ids.front();
}

// A hand at `stage` with the player's five cards in slots 1..5 and the dealer's listed cards in
// the listed slots; the ante paid, the bought slots 6 and 7 shut.
TTableState Hand(int stage, const std::vector<std::pair<std::string_view, int>>& dealer) {
    TTableState state;
    state.HandStage = stage;
    state.PlayerBalance = -1.0F;
    int slot = 1;
    for (std::string_view card : {"AH", "KD", "QC", "JS", "9H"}) {
        MoveCard(state, Id(card), TCardPlace::Player(slot++));
    }
    for (const auto& [card, dealerSlot] : dealer) {
        MoveCard(state, Id(card), TCardPlace::Dealer(dealerSlot));
    }
    state.PlayerSlotUsed[6] = state.PlayerSlotUsed[7] = true;
    return state;
}

// Places every card that arrives, taking them from `arrivals` in order; the slots they took.
std::vector<std::pair<TPlaceKind, int>> Arrive(TTableState& state,
                                               std::vector<std::string_view> arrivals) {
    std::vector<std::pair<TPlaceKind, int>> slots;
    for (std::string_view card : arrivals) {
        const std::optional<TCardPlacement> next = NextPlacement(state);
        if (!next) break;
        MoveCard(state, Id(card),
                 next->Row == TPlaceKind::cpPlayer ? TCardPlace::Player(next->Slot)
                                                   : TCardPlace::Dealer(next->Slot));
        if (state.HandStage <= 4) state.EntryStep(state.HandStage) = next->NextStep;
        slots.emplace_back(next->Row, next->Slot);
    }
    EXPECT_FALSE(NextPlacement(state)) << "more cards arrive than the case expects";
    return slots;
}

constexpr auto P = TPlaceKind::cpPlayer;
constexpr auto D = TPlaceKind::cpDealer;

TEST(HandDraw, InitialLayoutFillsTheDealersOpenSlotsThenThePlayersInOrder) {
    std::vector<std::pair<TPlaceKind, int>> slots;
    for (int step = 1; step <= 10; ++step) {
        const TCardPlacement placement = InitialPlacement(step);
        EXPECT_EQ(placement.NextStep, step + 1);
        slots.emplace_back(placement.Row, placement.Slot);
    }
    const std::vector<std::pair<TPlaceKind, int>> expected = {
        {D, 1}, {D, 5}, {D, 2}, {D, 4}, {D, 3}, {P, 1}, {P, 2}, {P, 3}, {P, 4}, {P, 5}};
    EXPECT_EQ(slots, expected);
}

TEST(HandDraw, ExchangeThrowsTheMarkedCardsAwayPaysAndRefillsFromTheRight) {
    TTableState state = Hand(1, {{"2C", 3}});
    state.Choice1 = std::string(ExchangeCode(2));
    state.PlaceOf(Id("KD")).Marked = true;
    state.PlaceOf(Id("JS")).Marked = true;
    EXPECT_EQ(CarryOutChoice(state, 0.25), TDrawNext::dnArrivingCards);
    EXPECT_EQ(state.HandStage, 2);
    EXPECT_TRUE(state.OutCards.Has(Id("KD")));
    EXPECT_TRUE(state.OutCards.Has(Id("JS")));
    EXPECT_EQ(state.PlayerCards.Count(), 3);
    EXPECT_FLOAT_EQ(state.PlayerBalance, -1.25F);
    EXPECT_FLOAT_EQ(state.ExtraStake, 0.25F);
    const std::vector<std::pair<TPlaceKind, int>> slots = Arrive(state, {"3C", "4C", "5C"});
    EXPECT_EQ(slots, (std::vector<std::pair<TPlaceKind, int>>{{P, 4}, {P, 2}}));
}

TEST(HandDraw, BetLeavesStaleMarksAndAsksForTheDealersHiddenCardsInTheirOrder) {
    TTableState state = Hand(1, {{"2C", 3}});
    state.Choice1 = std::string(kBetCode);
    state.PlaceOf(Id("KD")).Marked = true;
    EXPECT_EQ(CarryOutChoice(state, std::nullopt), TDrawNext::dnDealerHiddenCards);
    EXPECT_TRUE(state.PlayerCards.Has(Id("KD")));
    EXPECT_FALSE(state.PlaceOf(Id("KD")).Marked);
    EXPECT_FLOAT_EQ(state.ExtraStake, 0.0F);
    // Slot 3 lies open: the others fill in the order 4, 2, 5, 1.
    EXPECT_EQ(Arrive(state, {"3C", "4C", "5C", "6C", "7C"}),
              (std::vector<std::pair<TPlaceKind, int>>{{D, 4}, {D, 2}, {D, 5}, {D, 1}}));
}

TEST(HandDraw, BoughtCardsTakeSlotsSevenThenSix) {
    TTableState state = Hand(1, {{"2C", 3}});
    state.Choice1 = std::string(kBuyTwoCardsCode);
    state.PlayerSlotUsed[6] = state.PlayerSlotUsed[7] = false;
    EXPECT_EQ(CarryOutChoice(state, 1.5), TDrawNext::dnArrivingCards);
    EXPECT_FLOAT_EQ(state.PlayerBalance, -2.5F);
    EXPECT_EQ(Arrive(state, {"3C", "4C", "5C"}),
              (std::vector<std::pair<TPlaceKind, int>>{{P, 7}, {P, 6}}));
}

TEST(HandDraw, FoldSettlesWithEverythingPaidLost) {
    TTableState state = Hand(2, {{"2C", 3}});
    state.PlayerBalance = -1.3F;
    state.ExtraStake = 0.3F;
    state.Choice2 = std::string(kFoldCode);
    EXPECT_EQ(CarryOutChoice(state, std::nullopt), TDrawNext::dnFold);
    EXPECT_EQ(state.HandStage, 0);
    EXPECT_TRUE(state.HandFolded);
    EXPECT_EQ(state.HandResult, -13000);
    EXPECT_EQ(FoldSettlement(state.PlayerBalance).Stake, 13000);
}

// A folded hand put at risk what it lost, as the exact analysis counts it. The balance and the
// extra stake are single-precision numbers of different sizes, so after some costs one plus the
// extra stake rounds to another ten-thousandth than the balance: the stake follows the balance.
TEST(HandDraw, AFoldedHandStakedWhatItLost) {
    struct TCase {
        double Cost;
        std::int64_t Lost;
    };
    for (const TCase c : {TCase{0.00015, 10001}, TCase{0.00125, 10013}, TCase{0.33335, 13333},
                          TCase{0.5, 15000}}) {
        TTableState state = Hand(2, {{"2C", 3}});
        state.PlayerBalance = -1.0F;
        state.ExtraStake = 0.0F;
        PayCost(state.PlayerBalance, state.ExtraStake, c.Cost);
        state.Choice2 = std::string(kFoldCode);
        ASSERT_EQ(CarryOutChoice(state, std::nullopt), TDrawNext::dnFold);
        const TSettledHand settled = SettledHand(state, 1);
        EXPECT_EQ(settled.Result, -c.Lost) << c.Cost;
        EXPECT_EQ(settled.Stake, c.Lost) << c.Cost;
        EXPECT_FALSE(settled.Paid);
    }
}

TEST(HandDraw, DealerGameBoughtThrowsHisSwapCardAwayAndRefillsThatSlot) {
    TTableState state = Hand(3, {{"2C", 1}, {"3C", 2}, {"4C", 3}, {"5C", 4}, {"6C", 5}});
    state.Choice3 = std::string(BuyDealerGameCode(3));
    state.DealerSwapCard = CardName(Id("3C"));
    EXPECT_EQ(CarryOutChoice(state, 1.0), TDrawNext::dnDealerNewCard);
    EXPECT_TRUE(state.OutCards.Has(Id("3C")));
    EXPECT_FLOAT_EQ(state.ExtraStake, 1.0F);
    EXPECT_EQ(Arrive(state, {"7C", "8C"}), (std::vector<std::pair<TPlaceKind, int>>{{D, 2}}));
}

// When a decision at stages 2..4 ends the hand: after a bet unless the dealer is bought a game
// now, after a game bought at the decision before, and at once when a game is bought for a
// dealer who can still make one.
TEST(HandDecision, SettlesAtTheDecisionAfterABetOrABoughtGame) {
    struct TCase {
        int Stage;
        std::string_view Last;
        std::string_view Now;
        bool DealerCanHaveGame;
        bool NotNeeded, AfterBet, AfterDealerGame;
    };
    const std::string_view bet = kBetCode;
    const TCase cases[] = {
        {2, bet, bet, false, false, true, false},
        {2, bet, BuyDealerGameCode(2), false, false, false, false},
        {2, bet, BuyDealerGameCode(2), true, true, false, false},
        {2, kBuyCardCode, bet, true, false, false, false},
        {3, kInsuredBetCode, bet, true, false, true, false},
        {3, BuyDealerGameCode(2), bet, true, false, false, true},
        {4, BuyDealerGameCode(3), BuyDealerGameCode(4), true, true, false, true},
        {4, kFoldCode, "", false, false, false, false},
    };
    for (const TCase& c : cases) {
        TTableState state;
        state.Choice(c.Stage - 1) = c.Last;
        state.Choice(c.Stage) = c.Now;
        const TSettlesAt settles = SettlesAt(state, c.Stage, c.DealerCanHaveGame);
        SCOPED_TRACE(::testing::Message()
                     << "stage " << c.Stage << ": " << c.Last << " then " << c.Now);
        EXPECT_EQ(settles.DealerGameNotNeeded, c.NotNeeded);
        EXPECT_EQ(settles.AfterBet, c.AfterBet);
        EXPECT_EQ(settles.AfterDealerGame, c.AfterDealerGame);
    }
}

}  // namespace
}  // namespace studlab::testing
