#include "cards/combination_kind.h"

namespace studlab {
namespace {

constexpr std::array<std::string_view, kKindCount> kCodeNames = {
    "ckPoker",    "ckRoyalFlush",   "ckStraightFlush", "ckFourOfAKind", "ckFullHouse", "ckFlush",
    "ckStraight", "ckThreeOfAKind", "ckTwoPairs",      "ckPair",        "ckAceKing",   "ckNoGame"};

}  // namespace

std::string_view KindCodeName(TCombinationKind k) {
    return kCodeNames.at(KindIndex(k) - 1);
}

std::optional<TCombinationKind> KindByCodeName(std::string_view name) {
    for (int i = 1; i <= kKindCount; ++i) {
        if (kCodeNames[i - 1] == name) return KindAt(i);
    }
    return std::nullopt;
}

}  // namespace studlab
