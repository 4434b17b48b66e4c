#pragma once

#include "design/game_design.h"

namespace studlab {

// The most cards one hand of the design can take from the deck: the player's five, the most a
// draw (a purchase or an exchange) brings at the first and at the second decision, the dealer's
// five, and one more for every decision at which the player may buy the dealer a game. The
// decisions value every allowed draw, so the deck must hold these cards even when the hand
// takes another way.
int CardsOfOneHand(const TGameDesign& design);

// The most playing boxes the deck can serve: every further box is dealt five cards, and one hand
// must still be able to take every card it can need (nine for the standard game).
int LargestPlayingBoxes(const TGameDesign& design);

}  // namespace studlab
