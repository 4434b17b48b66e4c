#pragma once

#include <array>

#include "cards/combination_kind.h"
#include "design/composite_captions.h"
#include "design/design_captions.h"
#include "design/game_design.h"

namespace studlab {

// The design's JokerRules, in order.
inline constexpr std::array<const char*, kJokerRuleCount> kJokerCaptions = {
    "без игры+джокер=пара",         "пара+джокер=две пары",  "пара+джокер=тройка",
    "две пары+джокер=фулхаус",      "тройка+джокер=фулхаус", "тройка+джокер=каре",
    "недострит+джокер=стрит",       "недофлеш+джокер=флеш",  "недостритфлеш+джокер=стритфлеш",
    "недороялфлеш+джокер=роялфлеш", "каре+джокер=покер"};

}  // namespace studlab
