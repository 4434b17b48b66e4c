#include "evaluator/reference_enumerator.h"

#include <algorithm>
#include <array>
#include <vector>

#include "text/number_text.h"

namespace studlab::reference {
namespace {

using enum TCombinationKind;

// Ordinary categories, weakest first.
enum TCategory : std::uint32_t {
    kHighCard,
    kOnePair,
    kTwoPair,
    kTrips,
    kStraight,
    kFlush,
    kFullHouse,
    kQuads,
    kStraightFlush,
    kRoyalFlush,
};

constexpr int Strength(RankIndex r) {
    return 14 - r;
}  // ace 13 .. two 1

}  // namespace

THandRank RankFiveCards(TCardTable hand, bool roundStraight) {
    std::array<int, 14> count{};
    bool flush = false;
    for (SuitIndex s = 1; s <= kSuits; ++s) flush = flush || hand.SuitCount(s) == 5;
    for (RankIndex r = 1; r <= kRanks; ++r) count[r] = hand.RankCount(r);

    // Ranks ordered by how often they are held, then by strength: the order of comparison.
    std::array<RankIndex, 5> order{};
    std::size_t held = 0;
    for (int times = 4; times >= 1; --times) {
        for (RankIndex r = 1; r <= kRanks; ++r) {
            if (count[r] == times && held < order.size()) order[held++] = r;
        }
    }

    int straightTop = 0;  // strength of the top card of a straight
    if (held == 5) {
        const int high = Strength(order[0]);
        const int low = Strength(order[4]);
        if (high - low == 4) straightTop = high;
        if (count[1] == 1 && count[10] == 1 && count[11] == 1 && count[12] == 1 && count[13] == 1) {
            straightTop = 4;  // five-high: the ace counts low
        }
        // Round the ace: the runs end in the four, the three, the two.
        const std::array<std::array<RankIndex, 5>, 3> round = {
            {{2, 1, 13, 12, 11}, {3, 2, 1, 13, 12}, {4, 3, 2, 1, 13}}};
        for (std::size_t i = 0; roundStraight && straightTop == 0 && i < round.size(); ++i) {
            if (std::all_of(round[i].begin(), round[i].end(),
                            [&](RankIndex r) { return count[r] == 1; })) {
                straightTop = 3 - static_cast<int>(i);
            }
        }
    }

    TCategory category = kHighCard;
    if (straightTop != 0 && flush) {
        category = straightTop == 13 ? kRoyalFlush : kStraightFlush;
    } else if (count[order[0]] == 4) {
        category = kQuads;
    } else if (count[order[0]] == 3 && count[order[1]] == 2) {
        category = kFullHouse;
    } else if (flush) {
        category = kFlush;
    } else if (straightTop != 0) {
        category = kStraight;
    } else if (count[order[0]] == 3) {
        category = kTrips;
    } else if (count[order[0]] == 2 && count[order[1]] == 2) {
        category = kTwoPair;
    } else if (count[order[0]] == 2) {
        category = kOnePair;
    }

    std::uint32_t tieBreak = 0;
    if (straightTop != 0) {
        tieBreak = static_cast<std::uint32_t>(straightTop);
    } else {
        for (std::size_t i = 0; i < 5; ++i) {
            tieBreak =
                tieBreak * 16 + (i < held ? static_cast<std::uint32_t>(Strength(order[i])) : 0);
        }
    }
    static constexpr std::array<TCombinationKind, 10> kKinds = {
        ckNoGame, ckPair,      ckTwoPairs,    ckThreeOfAKind,  ckStraight,
        ckFlush,  ckFullHouse, ckFourOfAKind, ckStraightFlush, ckRoyalFlush};
    THandRank rank;
    rank.Kind = kKinds[category];
    if (category == kHighCard && count[1] == 1 && count[2] == 1) rank.Kind = ckAceKing;
    rank.Score = (static_cast<std::uint32_t>(category) << 20) | tieBreak;
    return rank;
}

bool DealerHasGame(const THandRank& rank, TCardTable hand, RankIndex minPair,
                   TMinAceKing minAceKing) {
    switch (rank.Kind) {
        case ckNoGame:
            return false;
        case ckPair:
            for (RankIndex r = 1; r <= kRanks; ++r) {
                if (hand.RankCount(r) == 2) return r <= minPair;
            }
            return false;
        case ckAceKing:
            return minAceKing == TMinAceKing::akAny || hand.RankCount(3) == 1;
        default:
            return true;
    }
}

TReferenceTallies EnumerateCompletions(TCardTable player, TCardTable dealer, TCardTable unseen,
                                       RankIndex minPair, TMinAceKing minAceKing,
                                       bool roundStraight) {
    TReferenceTallies tallies;
    const int need = 5 - dealer.Count();
    std::vector<TCardId> deck;
    unseen.Without(dealer).ForEach([&](TCardId id) { deck.push_back(id); });
    const int size = static_cast<int>(deck.size());
    if (need < 0 || need > size) return tallies;

    const THandRank playerRank = RankFiveCards(player, roundStraight);
    std::vector<int> index(static_cast<std::size_t>(need));
    for (int i = 0; i < need; ++i) index[static_cast<std::size_t>(i)] = i;
    while (true) {
        TCardTable hand = dealer;
        for (int i : index) hand.Add(deck[static_cast<std::size_t>(i)]);
        ++tallies.Outcomes;
        const THandRank rank = RankFiveCards(hand, roundStraight);
        if (!DealerHasGame(rank, hand, minPair, minAceKing)) {
            ++tallies.NoGame;
        } else {
            ++tallies.KindTotals[rank.Kind];
            if (playerRank.Kind == ckNoGame || rank.Score > playerRank.Score) {
                ++tallies.DealerWins;
            } else if (rank.Score < playerRank.Score) {
                ++tallies.PlayerWins;
            } else {
                ++tallies.Ties;
            }
        }
        // Next subset in lexicographic order.
        int i = need - 1;
        while (i >= 0 && index[static_cast<std::size_t>(i)] == size - need + i) --i;
        if (i < 0) break;
        ++index[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < need; ++j) {
            index[static_cast<std::size_t>(j)] = index[static_cast<std::size_t>(j - 1)] + 1;
        }
    }
    return tallies;
}

namespace {

// Whether the set of cards is, as a whole, a combination of the kind.
bool IsCombination(TCardTable s, TCombinationKind kind, bool roundStraight) {
    std::vector<int> counts;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        if (s.RankCount(r) > 0) counts.push_back(s.RankCount(r));
    }
    std::sort(counts.rbegin(), counts.rend());
    bool oneSuit = false;
    for (SuitIndex suit = 1; suit <= kSuits; ++suit) {
        oneSuit = oneSuit || (s.Count() == 5 && s.SuitCount(suit) == 5);
    }
    bool run = false;
    if (s.Count() == 5 && counts.size() == 5) {
        const THandRank rank = RankFiveCards(s, roundStraight);
        run = rank.Kind == ckStraight || rank.Kind == ckStraightFlush || rank.Kind == ckRoyalFlush;
    }
    const bool broadway = s.Count() == 5 && s.RankCount(1) == 1 && s.RankCount(2) == 1 &&
                          s.RankCount(3) == 1 && s.RankCount(4) == 1 && s.RankCount(5) == 1;
    switch (kind) {
        case ckPair:
            return counts == std::vector<int>{2};
        case ckThreeOfAKind:
            return counts == std::vector<int>{3};
        case ckFourOfAKind:
            return counts == std::vector<int>{4};
        case ckTwoPairs:
            return counts == std::vector<int>{2, 2};
        case ckFullHouse:
            return counts == std::vector<int>{3, 2};
        case ckAceKing:
            return s.Count() == 2 && s.RankCount(1) == 1 && s.RankCount(2) == 1;
        case ckFlush:
            return oneSuit;
        case ckStraight:
            return run;
        case ckStraightFlush:
            return oneSuit && run && !broadway;
        case ckRoyalFlush:
            return oneSuit && broadway;
        default:
            return false;
    }
}

}  // namespace

bool HoldsTwoCombinations(TCardTable cards, TCombinationKind first, TCombinationKind second,
                          bool roundStraight) {
    std::vector<std::uint64_t> bits;
    cards.ForEach(
        [&](TCardId id) { bits.push_back(std::uint64_t{1} << TCardTable::BitOfCard(id)); });
    std::vector<TCardTable> ofFirst;
    std::vector<TCardTable> ofSecond;
    for (std::uint32_t m = 1; m < (1U << bits.size()); ++m) {
        std::uint64_t mask = 0;
        for (std::size_t i = 0; i < bits.size(); ++i) {
            if (m & (1U << i)) mask |= bits[i];
        }
        const TCardTable s = TCardTable::FromMask(mask);
        if (IsCombination(s, first, roundStraight)) ofFirst.push_back(s);
        if (IsCombination(s, second, roundStraight)) ofSecond.push_back(s);
    }
    for (TCardTable a : ofFirst) {
        for (TCardTable b : ofSecond) {
            if (!b.Without(a).Empty()) return true;
        }
    }
    return false;
}

std::int64_t BetValue(const TReferenceTallies& tallies, TCombinationKind playerKind,
                      const TGameDesign& design, const TCalculationSettings& settings) {
    float win = 1;
    float noGame = 1;
    if (playerKind != ckNoGame) {
        win = static_cast<float>(ParseDesignNumber(design.PayQualified[playerKind]));
        win = std::min(win, static_cast<float>(ParseDesignInteger(settings.TableMaximum)));
        noGame = static_cast<float>(ParseDesignNumber(design.PayNotQualified[playerKind]));
    }
    const float bet = static_cast<float>(ParseDesignNumber(design.BetSize));
    const long double outcomes = tallies.Outcomes;
    const long double value = tallies.DealerWins / outcomes * (-1.0L - bet) +
                              tallies.PlayerWins / outcomes * win +
                              tallies.NoGame / outcomes * noGame;
    return RoundHalfEven(value * 10000);
}

}  // namespace studlab::reference
