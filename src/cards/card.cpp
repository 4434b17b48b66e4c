#include "cards/card.h"

#include <array>

namespace studlab {
namespace {

constexpr std::array<std::string_view, kRanks> kFaceTexts = {"A", "2", "3",  "4", "5", "6", "7",
                                                             "8", "9", "10", "J", "Q", "K"};
constexpr std::array<std::string_view, kSuits> kSuitWords = {"черви", "треф", "буби", "пик"};

}  // namespace

std::string_view FaceText(FaceNumber face) {
    return kFaceTexts.at(face - 1);
}
std::string_view SuitWord(SuitIndex suit) {
    return kSuitWords.at(suit - 1);
}

std::string CardName(TCardId id) {
    std::string name(FaceText(FaceNumberOf(id)));
    name += ' ';
    name += SuitWord(SuitIndexOf(id));
    return name;
}

std::optional<TCardId> CardIdByName(std::string_view name) {
    for (TCardId id = 1; id <= kCards; ++id) {
        if (CardName(id) == name) return id;
    }
    return std::nullopt;
}

std::string ImageName(TCardId id) {
    return "Image" + std::to_string(id);
}

}  // namespace studlab
