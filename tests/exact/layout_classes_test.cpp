#include "profit/exact/layout_classes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <set>
#include <vector>

namespace studlab {
namespace {

std::int64_t Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    std::int64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

// Burnside: the number of classes is the mean over the 24 suit permutations of the layouts each
// leaves unchanged. A permutation fixes a layout when every suit of one of its cycles holds the
// same ranks, so a cycle of length l takes l * p player and l * d dealer cards for some p, d.
std::int64_t ClassesByBurnside(int dealerCards) {
    // Cycle types of S4 with the number of permutations of each.
    const std::vector<std::pair<std::vector<int>, int>> types = {
        {{1, 1, 1, 1}, 1}, {{2, 1, 1}, 6}, {{2, 2}, 3}, {{3, 1}, 8}, {{4}, 6}};
    std::int64_t total = 0;
    for (const auto& [cycles, permutations] : types) {
        std::function<std::int64_t(std::size_t, int, int)> fixed = [&](std::size_t i, int players,
                                                                       int dealers) {
            if (i == cycles.size()) return std::int64_t{players == 0 && dealers == 0};
            std::int64_t ways = 0;
            const int l = cycles[i];
            for (int p = 0; p * l <= players; ++p) {
                for (int d = 0; d * l <= dealers; ++d) {
                    ways += Binomial(13, p) * Binomial(13 - p, d) *
                            fixed(i + 1, players - p * l, dealers - d * l);
                }
            }
            return ways;
        };
        total += permutations * fixed(0, 5, dealerCards);
    }
    return total / 24;
}

TEST(LayoutClasses, ClassCountsAgreeWithBurnside) {
    for (int dealerCards = 0; dealerCards <= 4; ++dealerCards) {
        const TLayoutClasses classes(dealerCards);
        EXPECT_EQ(classes.ClassCount(), ClassesByBurnside(dealerCards)) << dealerCards;
    }
}

// Every class is visited once, its members add up to every layout, and each representative is
// the canonical one of its class: the same under all 24 suit permutations.
TEST(LayoutClasses, MembersAddUpToEveryLayoutAndRepresentativesAreCanonical) {
    for (int dealerCards : {0, 1}) {
        const TLayoutClasses classes(dealerCards);
        std::int64_t members = 0;
        std::int64_t visited = 0;
        std::array<int, 4> perm = {0, 1, 2, 3};
        std::vector<std::array<int, 4>> permutations;
        do {
            permutations.push_back(perm);
        } while (std::next_permutation(perm.begin(), perm.end()));
        auto permute = [](TCardTable cards, const std::array<int, 4>& p) {
            TCardTable out;
            cards.ForEach([&](TCardId id) {
                out.Add(CardIdOf(RankIndexOf(id),
                                 p[static_cast<std::size_t>(SuitIndexOf(id) - 1)] + 1));
            });
            return out;
        };
        classes.Visit({}, -1, [&](const TLayoutClass& c) {
            ASSERT_EQ(c.Player.Count(), 5);
            ASSERT_EQ(c.Dealer.Count(), dealerCards);
            ASSERT_TRUE((c.Player & c.Dealer).Empty());
            members += c.Members;
            ++visited;
            // Sampled: the orbit has exactly Members distinct layouts.
            if (visited % 997 == 0) {
                std::set<std::pair<std::uint64_t, std::uint64_t>> orbit;
                for (const auto& p : permutations) {
                    orbit.insert({permute(c.Player, p).Mask(), permute(c.Dealer, p).Mask()});
                }
                EXPECT_EQ(static_cast<int>(orbit.size()), c.Members);
            }
        });
        EXPECT_EQ(visited, classes.ClassCount());
        EXPECT_EQ(members, classes.LayoutCount());
        EXPECT_EQ(classes.LayoutCount(), Binomial(52, 5) * Binomial(47, dealerCards));
    }
}

// Batches started at their cursors visit the same classes, in the same order, as one pass.
TEST(LayoutClasses, BatchesCoverThePassExactly) {
    const TLayoutClasses classes(0);
    std::vector<std::uint64_t> whole;
    classes.Visit({}, -1, [&](const TLayoutClass& c) {
        whole.push_back(c.Player.Mask() * 7 + c.Dealer.Mask());
    });
    const std::int64_t batch = 4093;
    const std::vector<TLayoutCursor> starts = classes.BatchStarts(batch);
    ASSERT_EQ(static_cast<std::int64_t>(starts.size()), (classes.ClassCount() + batch - 1) / batch);
    std::vector<std::uint64_t> batched;
    for (const TLayoutCursor& start : starts) {
        const std::int64_t n = classes.Visit(start, batch, [&](const TLayoutClass& c) {
            batched.push_back(c.Player.Mask() * 7 + c.Dealer.Mask());
        });
        EXPECT_LE(n, batch);
    }
    EXPECT_EQ(batched, whole);
}

}  // namespace
}  // namespace studlab
