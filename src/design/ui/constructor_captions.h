#pragma once

#include <array>

#include "cards/combination_kind.h"
#include "design/design_captions.h"
#include "design/game_design.h"

namespace studlab {

// The design's CompositePlays, in order ("ТК" is the ace-king).
inline constexpr std::array<const char*, kCompositeCount> kCompositeCaptions = {
    "роялфлеш+стритфлеш",
    "роялфлеш+флеш",
    "роялфлеш+стрит",
    "роялфлеш+пара",
    "роялфлеш+ТК",
    "стритфлеш+стритфлеш",
    "стритфлеш+флеш",
    "стритфлеш+стрит",
    "стритфлеш+пара",
    "стритфлеш+ТК",
    "каре+фулхаус",
    "каре+пара",
    "каре+ТК",
    "фулхаус+фулхаус",
    "фулхаус+тройка",
    "фулхаус+ТК",
    "флеш+флеш",
    "флеш+стрит",
    "флеш+пара",
    "флеш+ТК",
    "стрит+стрит",
    "стрит+пара",
    "стрит+ТК",
    "тройка+ТК",
    "две пары+две пары",
    "две пары+пара",
    "две пары+ТК",
    "пара+ТК"};

// The design's JokerRules, in order.
inline constexpr std::array<const char*, kJokerRuleCount> kJokerCaptions = {
    "без игры+джокер=пара",         "пара+джокер=две пары",  "пара+джокер=тройка",
    "две пары+джокер=фулхаус",      "тройка+джокер=фулхаус", "тройка+джокер=каре",
    "недострит+джокер=стрит",       "недофлеш+джокер=флеш",  "недостритфлеш+джокер=стритфлеш",
    "недороялфлеш+джокер=роялфлеш", "каре+джокер=покер"};

}  // namespace studlab
