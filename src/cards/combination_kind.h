#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace studlab {

// Combination kinds, strongest first; the numbers are the rows of the pay table.
enum class TCombinationKind {
    ckPoker = 1,
    ckRoyalFlush,
    ckStraightFlush,
    ckFourOfAKind,
    ckFullHouse,
    ckFlush,
    ckStraight,
    ckThreeOfAKind,
    ckTwoPairs,
    ckPair,
    ckAceKing,
    ckNoGame,
};

inline constexpr int kKindCount = 12;  // ckPoker .. ckNoGame
inline constexpr int kDesignKindCount =
    11;  // ckPoker .. ckAceKing: the kinds the design has fields for

constexpr int KindIndex(TCombinationKind k) {
    return static_cast<int>(k);
}
constexpr TCombinationKind KindAt(int index) {
    return static_cast<TCombinationKind>(index);
}

// Kinds a hand can actually make (no joker exists), strongest first.
inline constexpr std::array<TCombinationKind, 10> kCountedKinds = {
    TCombinationKind::ckRoyalFlush,   TCombinationKind::ckStraightFlush,
    TCombinationKind::ckFourOfAKind,  TCombinationKind::ckFullHouse,
    TCombinationKind::ckFlush,        TCombinationKind::ckStraight,
    TCombinationKind::ckThreeOfAKind, TCombinationKind::ckTwoPairs,
    TCombinationKind::ckPair,         TCombinationKind::ckAceKing};

// A value per kind, indexed by the kind itself (ckPoker .. ckNoGame).
template <class T>
class TByKind {
public:
    constexpr TByKind() = default;
    constexpr explicit TByKind(const T& fill) { m_values.fill(fill); }
    constexpr T& operator[](TCombinationKind k) { return m_values[KindIndex(k) - 1]; }
    constexpr const T& operator[](TCombinationKind k) const { return m_values[KindIndex(k) - 1]; }
    friend constexpr bool operator==(const TByKind&, const TByKind&) = default;

private:
    std::array<T, kKindCount> m_values{};
};

using TKindFlags = TByKind<bool>;

// The code name of a kind ("ckPair"), as scripts and the command line write it.
std::string_view KindCodeName(TCombinationKind k);
std::optional<TCombinationKind> KindByCodeName(std::string_view name);

}  // namespace studlab
