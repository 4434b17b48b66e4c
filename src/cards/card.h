#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace studlab {

// A card is identified by its display position: suit by suit ("черви", "треф", "буби", "пик"),
// and within a suit A, 2 .. 10, J, Q, K. All evaluation uses the strength order instead:
// RankIndex 1 is the ace, 2 the king, ... 13 the two.
using TCardId = int;     // 1..52
using RankIndex = int;   // 1..13, ace first
using SuitIndex = int;   // 1..4
using FaceNumber = int;  // 1..13, ace, two, .., king

inline constexpr int kRanks = 13;
inline constexpr int kSuits = 4;
inline constexpr int kCards = 52;

constexpr bool IsCardId(TCardId id) {
    return id >= 1 && id <= kCards;
}

constexpr RankIndex RankIndexOfFace(FaceNumber face) {
    return face == 1 ? 1 : 15 - face;
}
constexpr FaceNumber FaceOfRankIndex(RankIndex rank) {
    return rank == 1 ? 1 : 15 - rank;
}

constexpr SuitIndex SuitIndexOf(TCardId id) {
    return (id - 1) / kRanks + 1;
}
constexpr FaceNumber FaceNumberOf(TCardId id) {
    return (id - 1) % kRanks + 1;
}
constexpr RankIndex RankIndexOf(TCardId id) {
    return RankIndexOfFace(FaceNumberOf(id));
}
constexpr TCardId CardIdOf(RankIndex rank, SuitIndex suit) {
    return kRanks * (suit - 1) + FaceOfRankIndex(rank);
}

// "A черви", "10 пик": the face text, a blank and the suit word.
std::string CardName(TCardId id);
std::optional<TCardId> CardIdByName(std::string_view name);
std::string_view FaceText(FaceNumber face);
std::string_view SuitWord(SuitIndex suit);

// "Image17": the name of the card's picture control.
std::string ImageName(TCardId id);

}  // namespace studlab
