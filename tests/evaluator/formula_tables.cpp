#include "evaluator/formula_tables.h"

#include <array>

namespace studlab::formula {
namespace {

using enum TCombinationKind;

TCount Binom(int a, int k) {
    if (k < 0 || a < 0 || k > a) return 0;
    TCount result = 1;
    for (int i = 1; i <= k; ++i) result = result * (a - k + i) / i;
    return result;
}

TPattern P(int a, int b = 0, int c = 0, int d = 0, int e = 0) {
    return TPattern{{static_cast<std::int8_t>(a), static_cast<std::int8_t>(b),
                     static_cast<std::int8_t>(c), static_cast<std::int8_t>(d),
                     static_cast<std::int8_t>(e)}};
}

int RunRank(int r) {
    return r == 14 ? 1 : r;
}

class TFormulas {
public:
    TFormulas(TCardTable known, TCardTable unseen) {
        unseen = unseen.Without(known);
        n = known.Count();
        T = unseen.Count();
        for (RankIndex r = 1; r <= kRanks; ++r) {
            for (SuitIndex s = 1; s <= kSuits; ++s) {
                K[r][s] = known.Has(r, s) ? 1 : 0;
                V[r][s] = unseen.Has(r, s) ? 1 : 0;
                Kr[r] += K[r][s];
                Vr[r] += V[r][s];
                Vs[s] += V[r][s];
                Ks[s] += K[r][s];
            }
        }
    }

    TCount NeedCard(int r, int s) const { return Binom(V[r][s], 1 - K[r][s]); }
    TCount NeedRank(int r, int m) const { return Binom(Vr[r], m - Kr[r]); }
    bool Inside(int knownInPattern) const { return knownInPattern >= n; }

    // The product over the cards of the ranks in one suit, with the inside rule.
    TCount SuitProduct(const std::vector<int>& ranks, int s) const {
        TCount product = 1;
        int inside = 0;
        for (int r : ranks) {
            product *= NeedCard(r, s);
            inside += K[r][s];
        }
        return Inside(inside) ? product : 0;
    }
    TCount AllSuits(const std::vector<int>& ranks) const {
        TCount sum = 0;
        for (int s = 1; s <= kSuits; ++s) sum += SuitProduct(ranks, s);
        return sum;
    }
    // The product over ranks, one card each, with the inside rule on the ranks.
    TCount RankProduct(const std::vector<std::pair<int, int>>& ranksAndCards) const {
        TCount product = 1;
        int inside = 0;
        for (auto [r, m] : ranksAndCards) {
            product *= NeedRank(r, m);
            inside += Kr[r];
        }
        return Inside(inside) ? product : 0;
    }

    int n = 0;
    int T = 0;
    std::array<std::array<int, 5>, 14> K{};
    std::array<std::array<int, 5>, 14> V{};
    std::array<int, 14> Kr{};
    std::array<int, 14> Vr{};
    std::array<int, 5> Vs{};
    std::array<int, 5> Ks{};
};

std::vector<int> Run(int top) {
    std::vector<int> ranks;
    for (int r = top; r < top + 5; ++r) ranks.push_back(RunRank(r));
    return ranks;
}

TCount Sum(const TTable& table) {
    TCount sum = 0;
    for (const auto& entry : table) sum += entry.second;
    return sum;
}

}  // namespace

TFormulaTables FillTables(TCardTable known, TCardTable unseen, const TCountingRules& rules,
                          bool dealer) {
    const TFormulas f(known, unseen);
    const TKindFlags& plays = rules.Plays;
    TFormulaTables out;

    // 1. Royal flush, total only.
    const TCount royal = f.AllSuits(Run(1));
    out.KindTotal[ckRoyalFlush] = plays[ckRoyalFlush] ? royal : 0;

    // 2. Straight flush, king-high down to five-high.
    TTable straightFlush;
    for (int top = 2; top <= 10; ++top) straightFlush.push_back({P(top), f.AllSuits(Run(top))});
    if (plays[ckStraightFlush]) out.Tables[ckStraightFlush] = straightFlush;

    // 3. Four of a kind.
    TTable quads;
    for (int r = 1; r <= 13; ++r) {
        quads.push_back({P(r), Binom(f.T - f.Vr[r], 1 - (f.n - f.Kr[r])) * f.NeedRank(r, 4)});
    }
    if (plays[ckFourOfAKind]) out.Tables[ckFourOfAKind] = quads;

    // 4. Full house, three-of-a-kind rank major.
    TTable fullHouse;
    for (int t = 1; t <= 13; ++t) {
        for (int p = 1; p <= 13; ++p) {
            fullHouse.push_back({P(t, p), t == p ? 0 : f.RankProduct({{t, 3}, {p, 2}})});
        }
    }
    if (plays[ckFullHouse]) out.Tables[ckFullHouse] = fullHouse;

    // 5. Flush: the total from the suits of the known cards, the table entry by entry.
    TCount flushClosed = 0;
    int knownSuits = 0;
    int knownSuit = 0;
    for (int s = 1; s <= 4; ++s) {
        if (f.Ks[s] > 0) {
            ++knownSuits;
            knownSuit = s;
        }
    }
    if (knownSuits == 1) flushClosed = Binom(f.Vs[knownSuit], 5 - f.n);
    if (knownSuits == 0) {
        for (int s = 1; s <= 4; ++s) flushClosed += Binom(f.Vs[s], 5 - f.n);
    }
    TTable flush;
    for (int c1 = 1; c1 <= 9; ++c1) {
        for (int c2 = 2; c2 <= 10; ++c2) {
            for (int c3 = 3; c3 <= 11; ++c3) {
                for (int c4 = 4; c4 <= 12; ++c4) {
                    for (int c5 = 6; c5 <= 13; ++c5) {
                        TCount entry = 0;
                        const bool increasing = c1 < c2 && c2 < c3 && c3 < c4 && c4 < c5;
                        const bool run = (c5 - c1 == 4) || (c1 == 1 && c2 == 10);
                        if (increasing && !run) entry = f.AllSuits({c1, c2, c3, c4, c5});
                        flush.push_back({P(c1, c2, c3, c4, c5), entry});
                    }
                }
            }
        }
    }
    if (plays[ckFlush]) {
        out.Tables[ckFlush] = flush;
        out.KindTotal[ckFlush] =
            flushClosed - out.KindTotal[ckRoyalFlush] - Sum(out.Tables[ckStraightFlush]);
    }

    // 6. Straight, ace-high down to five-high.
    TTable straight;
    for (int top = 1; top <= 10; ++top) {
        std::vector<std::pair<int, int>> ranks;
        for (int r : Run(top)) ranks.push_back({r, 1});
        TCount entry = f.RankProduct(ranks);
        if (dealer) {
            if (top == 1) {
                entry -= out.KindTotal[ckRoyalFlush];
            } else if (plays[ckStraightFlush]) {
                entry -= out.Tables[ckStraightFlush][static_cast<std::size_t>(top - 2)].second;
            }
        }
        straight.push_back({P(top), entry});
    }
    if (plays[ckStraight]) out.Tables[ckStraight] = straight;

    // 7. Three of a kind.
    TTable trips;
    for (int r = 1; r <= 13; ++r) {
        TCount entry = Binom(f.T - f.Vr[r], 2 - (f.n - f.Kr[r])) * f.NeedRank(r, 3);
        if (dealer && plays[ckFullHouse]) {
            for (int p = 1; p <= 13; ++p) {
                entry -=
                    out.Tables[ckFullHouse][static_cast<std::size_t>((r - 1) * 13 + p - 1)].second;
            }
        }
        trips.push_back({P(r), entry});
    }
    if (plays[ckThreeOfAKind]) out.Tables[ckThreeOfAKind] = trips;

    // 8. Two pairs.
    TTable twoPairs;
    for (int i = 1; i <= 12; ++i) {
        for (int j = 2; j <= 13; ++j) {
            for (int k = 1; k <= 13; ++k) {
                TCount entry = 0;
                if (i < j && k != i && k != j) entry = f.RankProduct({{i, 2}, {j, 2}, {k, 1}});
                twoPairs.push_back({P(i, j, k), entry});
            }
        }
    }
    if (plays[ckTwoPairs]) out.Tables[ckTwoPairs] = twoPairs;

    // 9. Pair, down to the minimum pair.
    TTable pairs;
    for (int i = 1; i <= rules.MinPair; ++i) {
        for (int a = 1; a <= 13; ++a) {
            for (int b = a + 1; b <= 13; ++b) {
                for (int c = b + 1; c <= 13; ++c) {
                    TCount entry = 0;
                    if (a != i && b != i && c != i) {
                        entry = f.RankProduct({{i, 2}, {a, 1}, {b, 1}, {c, 1}});
                    }
                    pairs.push_back({P(i, a, b, c), entry});
                }
            }
        }
    }
    if (plays[ckPair]) out.Tables[ckPair] = pairs;

    // 10. Ace-king.
    TTable aceKing;
    const int queenRanks = rules.MinAceKing == TMinAceKing::akWithQueen ? 1 : 9;
    for (int c3 = 3; c3 < 3 + queenRanks; ++c3) {
        for (int c4 = 4; c4 <= 12; ++c4) {
            for (int c5 = 6; c5 <= 13; ++c5) {
                TCount entry = 0;
                if (c3 < c4 && c4 < c5) {
                    entry = f.RankProduct({{1, 1}, {2, 1}, {c3, 1}, {c4, 1}, {c5, 1}});
                    if (dealer) entry -= f.AllSuits({1, 2, c3, c4, c5});
                }
                aceKing.push_back({P(c3, c4, c5), entry});
            }
        }
    }
    if (plays[ckAceKing]) out.Tables[ckAceKing] = aceKing;

    for (TCombinationKind kind : kCountedKinds) {
        if (kind != ckRoyalFlush && kind != ckFlush) out.KindTotal[kind] = Sum(out.Tables[kind]);
    }
    return out;
}

}  // namespace studlab::formula
