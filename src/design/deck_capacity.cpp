#include "design/deck_capacity.h"

#include <algorithm>

namespace studlab {
namespace {

using enum TPlayerAction;

constexpr int kHandCards = 5;
constexpr int kBoxCards = 5;

// The most cards one draw allowed at a decision brings.
int LargestDraw(const TGameDesign& design, int stage) {
    constexpr struct {
        TPlayerAction Action;
        int Cards;
    } kDraws[] = {{paBuyCard, 1},   {paBuyTwoCards, 2}, {paExchange1, 1}, {paExchange2, 2},
                  {paExchange3, 3}, {paExchange4, 4},   {paExchange5, 5}};
    int largest = 0;
    for (const auto& draw : kDraws) {
        if (design.Allows(stage, draw.Action)) largest = std::max(largest, draw.Cards);
    }
    return largest;
}

}  // namespace

int CardsOfOneHand(const TGameDesign& design) {
    int dealerGames = 0;
    for (int stage = 2; stage <= kStages; ++stage)
        dealerGames += design.Allows(stage, paBuyDealerGame);
    return kHandCards + LargestDraw(design, 1) + LargestDraw(design, 2) + kHandCards + dealerGames;
}

int LargestPlayingBoxes(const TGameDesign& design) {
    return 1 + std::max(0, kCards - CardsOfOneHand(design)) / kBoxCards;
}

}  // namespace studlab
