#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "cards/card.h"

namespace studlab {

// Runs of five consecutive ranks, named by their top card in strength order: 1 is ace-high
// (A-K-Q-J-10), 10 five-high (5-4-3-2-A). Where wrap-around straights play, the run may go on
// round the ace: 11 four-high (4-3-2-A-K), 12 three-high (3-2-A-K-Q), 13 two-high (2-A-K-Q-J).
// A wrap-around straight ranks by the last card of its run, so it is weaker than the five-high.
inline constexpr int kOrdinaryRuns = 10;
inline constexpr int kRoundRuns = 13;

constexpr int RunCount(bool roundStraight) {
    return roundStraight ? kRoundRuns : kOrdinaryRuns;
}

// The i-th rank (0..4) of the run with this top card, from the top down.
constexpr RankIndex RunRankAt(int top, int i) {
    return static_cast<RankIndex>((top - 1 + i) % kRanks + 1);
}

// The runs' ranks as 13-bit sets, bit r - 1 for rank r, by top card (1..13).
inline constexpr std::array<std::uint32_t, kRoundRuns + 1> kRunRankBits = [] {
    std::array<std::uint32_t, kRoundRuns + 1> bits{};
    for (int top = 1; top <= kRoundRuns; ++top) {
        for (int i = 0; i < 5; ++i) bits[top] |= std::uint32_t{1} << (RunRankAt(top, i) - 1);
    }
    return bits;
}();
constexpr std::uint32_t RunRankBits(int top) {
    return kRunRankBits[static_cast<std::size_t>(top)];
}

// The top of the strongest run among the held ranks (bit r - 1 for rank r), 0 for none.
constexpr int TopRunOf(std::uint32_t heldRanks, bool roundStraight) {
    for (int top = 1; top <= RunCount(roundStraight); ++top) {
        if ((RunRankBits(top) & ~heldRanks) == 0) return top;
    }
    return 0;
}

}  // namespace studlab
