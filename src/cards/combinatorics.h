#pragma once

#include <array>
#include <cstdint>

#include "cards/card.h"

namespace studlab {

// Binomials C(n, k) for every n up to the deck (52) and every k up to 7, the most cards one hand
// of the game holds; factorials up to 7!.
inline constexpr int kLargestChoice = 7;

inline constexpr auto kBinomialTable = [] {
    std::array<std::array<std::int64_t, kLargestChoice + 1>, kCards + 1> table{};
    for (int n = 0; n <= kCards; ++n) {
        table[static_cast<std::size_t>(n)][0] = 1;
        for (int k = 1; k <= kLargestChoice && n > 0; ++k) {
            table[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)] =
                table[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k - 1)] +
                table[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k)];
        }
    }
    return table;
}();

// C(n, k); 0 when k < 0 or k > n. From the table up to the deck, multiplied out beyond it.
constexpr std::int64_t Binomial(std::int64_t n, std::int64_t k) {
    if (k < 0 || n < 0 || k > n) return 0;
    if (k > n - k) k = n - k;
    if (k <= kLargestChoice && n <= kCards) {
        return kBinomialTable[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
    }
    std::int64_t r = 1;
    for (std::int64_t i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

inline constexpr std::array<std::int64_t, kLargestChoice + 1> kFactorials = {1,   1,   2,    6,
                                                                            24,  120, 720, 5040};
constexpr std::int64_t Factorial(int n) {
    return kFactorials[static_cast<std::size_t>(n)];
}

static_assert(Binomial(52, 5) == 2598960 && Binomial(46, 4) == 163185 &&
              Binomial(52, 47) == 2598960 && Binomial(52, 26) == 495918532948104);

}  // namespace studlab
