#pragma once

#include <array>
#include <string_view>

#include "cards/combination_kind.h"

namespace studlab {

// Captions the constructor shows beside the design's fields; messages about a field use them too.

// The pay-table rows, ckPoker .. ckAceKing.
inline constexpr std::array<std::string_view, kDesignKindCount> kKindCaptions = {
    "покер", "роялфлеш", "стритфлеш", "каре", "фулхаус",   "флеш",
    "стрит", "тройка",   "две пары",  "пара", "туз-король"};

// The costs of a stage: buying one and two cards, then exchanging one to five.
inline constexpr std::array<std::string_view, 7> kCostCaptions = {
    "купить 1 карту",   "купить 2 карты",   "обменять 1 карту", "обменять 2 карты",
    "обменять 3 карты", "обменять 4 карты", "обменять 5 карт"};

// The groups of the costs of stages 1 and 2.
inline constexpr std::array<std::string_view, 2> kStageCostGroups = {"затраты на первом этапе",
                                                                     "затраты на втором этапе"};

constexpr std::string_view KindCaption(TCombinationKind kind) {
    return kKindCaptions[static_cast<std::size_t>(KindIndex(kind) - 1)];
}

}  // namespace studlab
