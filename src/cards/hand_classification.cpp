#include "cards/hand_classification.h"

#include <array>

#include "cards/straight_runs.h"

namespace studlab {
namespace {

using enum TCombinationKind;

// Rank 14 in a run stands for the ace again: 5-4-3-2-A is the lowest straight.
constexpr RankIndex RunRank(int r) {
    return r == 14 ? 1 : r;
}

bool RunHeld(const TCardTable& cards, RankIndex top) {
    for (int r = top; r < top + 5; ++r) {
        if (r > 14 || cards.RankCount(RunRank(r)) == 0) return false;
    }
    return true;
}

struct TShape {
    int Pairs = 0;
    int Trips = 0;
    int Quads = 0;
    int Flushes = 0;
    int Straights = 0;
};

TShape ShapeOf(const TCardTable& cards, bool roundStraight) {
    TShape shape;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        switch (cards.RankCount(r)) {
            case 2:
                ++shape.Pairs;
                break;
            case 3:
                ++shape.Trips;
                break;
            case 4:
                ++shape.Quads;
                break;
            default:
                break;
        }
    }
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        if (cards.SuitCount(s) >= 5) ++shape.Flushes;
    }
    const std::uint32_t held = cards.RanksHeld();
    for (int top = 1; top <= RunCount(roundStraight); ++top) {
        if ((RunRankBits(top) & ~held) == 0) ++shape.Straights;
    }
    return shape;
}

bool HoldsBroadway(const TCardTable& cards) {
    for (RankIndex r = 1; r <= 5; ++r) {
        if (cards.RankCount(r) == 0) return false;
    }
    return true;
}

class TReducer {
public:
    explicit TReducer(TCardTable cards) : m_kept(cards) {}

    void SetAside(TCardId id) {
        m_kept.Remove(id);
        m_aside.Add(id);
    }
    TCardTable& Kept() { return m_kept; }
    TReducedHand Result() const { return {m_kept, m_aside}; }

    // Calls f(id, rankCountAtStart) for the kept cards in scan order.
    template <class F>
    void Scan(F&& f) {
        const TCardTable snapshot = m_kept;
        snapshot.ForEach([&](TCardId id) { f(id, snapshot.RankCount(RankIndexOf(id))); });
    }

    void KeepFirst(int n) {
        int kept = 0;
        Scan([&](TCardId id, int) {
            if (++kept > n) SetAside(id);
        });
    }

    void SetAsideShortSuits() {
        for (SuitIndex s = 1; s <= kSuits; ++s) {
            if (m_kept.SuitCount(s) < 5) {
                const TCardTable suit = TCardTable::FromMask(TCardTable::kSuitMask << (s - 1));
                (m_kept & suit).ForEach([&](TCardId id) { SetAside(id); });
            }
        }
    }

    // Steps 2 and 3 of the straight rule: drop the cards above the highest run, keep five.
    void KeepHighestRun() {
        bool found = false;
        Scan([&](TCardId id, int) {
            const RankIndex r = RankIndexOf(id);
            if (found || r > 10 || !m_kept.Has(id)) return;
            if (RunHeld(m_kept, r)) {
                found = true;
                return;
            }
            const bool wheelAce = r == 1 && m_kept.RankCount(13) > 0 && m_kept.RankCount(12) > 0 &&
                                  m_kept.RankCount(11) > 0 && m_kept.RankCount(10) > 0 &&
                                  m_kept.RankCount(9) == 0;
            if (!wheelAce) SetAside(id);
        });
        KeepFirst(5);
    }

    // The same where runs may wrap round the ace: the first card of every rank of the strongest
    // run stays. Without a run the ordinary rule applies.
    void KeepHighestRoundRun() {
        const int top = TopRunOf(m_kept.RanksHeld(), true);
        if (top == 0) {
            KeepHighestRun();
            return;
        }
        const std::uint32_t run = RunRankBits(top);
        std::uint32_t kept = 0;
        Scan([&](TCardId id, int) {
            const std::uint32_t rankBit = 1U << (RankIndexOf(id) - 1);
            if ((run & rankBit) == 0 || (kept & rankBit) != 0) {
                SetAside(id);
            } else {
                kept |= rankBit;
            }
        });
    }

private:
    TCardTable m_kept;
    TCardTable m_aside;
};

}  // namespace

TCombinationKind ClassifyHand(TCardTable cards, const TKindFlags& plays, bool roundStraight) {
    const TShape s = ShapeOf(cards, roundStraight);
    const std::array<std::pair<TCombinationKind, bool>, 10> tests = {{
        {ckAceKing, cards.RankCount(1) == 1 && cards.RankCount(2) == 1},
        {ckPair, s.Pairs >= 1},
        {ckTwoPairs, s.Pairs >= 2},
        {ckThreeOfAKind, s.Trips >= 1},
        {ckStraight, s.Straights >= 1},
        {ckFlush, s.Flushes >= 1},
        {ckFullHouse, (s.Pairs >= 1 && s.Trips == 1) || s.Trips >= 2},
        {ckFourOfAKind, s.Quads >= 1},
        {ckStraightFlush, s.Flushes >= 1 && s.Straights >= 1},
        {ckRoyalFlush, s.Flushes >= 1 && HoldsBroadway(cards)},
    }};
    TCombinationKind kind = ckNoGame;
    for (const auto& [candidate, holds] : tests) {
        if (holds && plays[candidate]) kind = candidate;
    }
    return kind;
}

TReducedHand ReduceToFive(TCardTable cards, TCombinationKind kind, bool roundStraight) {
    TReducer hand(cards);
    switch (kind) {
        case ckPair: {
            int singles = 0;
            hand.Scan([&](TCardId id, int count) {
                if (count == 1 && ++singles > 3) hand.SetAside(id);
            });
            break;
        }
        case ckTwoPairs: {
            // A pair card set aside turns the rest of its rank into a single.
            std::array<int, kRanks + 1> held{};
            for (RankIndex r = 1; r <= kRanks; ++r) held[r] = cards.RankCount(r);
            int singles = 0;
            int pairCards = 0;
            hand.Scan([&](TCardId id, int) {
                const RankIndex r = RankIndexOf(id);
                if (held[r] == 1) {
                    if (++singles > 1) hand.SetAside(id);
                } else if (held[r] == 2) {
                    if (++pairCards > 4) {
                        hand.SetAside(id);
                        held[r] = 1;
                    }
                }
            });
            break;
        }
        case ckThreeOfAKind: {
            int others = 0;
            int tripCards = 0;
            hand.Scan([&](TCardId id, int count) {
                const bool keep = count == 3 ? ++tripCards <= 3 : ++others <= 2;
                if (!keep) hand.SetAside(id);
            });
            break;
        }
        case ckStraight: {
            std::uint32_t seenRanks = 0;  // only the first card of every rank stays
            hand.Scan([&](TCardId id, int) {
                const std::uint32_t rankBit = 1U << RankIndexOf(id);
                if (seenRanks & rankBit) hand.SetAside(id);
                seenRanks |= rankBit;
            });
            if (roundStraight) {
                hand.KeepHighestRoundRun();
            } else {
                hand.KeepHighestRun();
            }
            break;
        }
        case ckFlush:
            hand.SetAsideShortSuits();
            hand.KeepFirst(5);
            break;
        case ckFullHouse: {
            int tripCards = 0;
            int pairCards = 0;
            hand.Scan([&](TCardId id, int count) {
                const bool keep =
                    (count == 3 && ++tripCards <= 5) || (count == 2 && ++pairCards <= 2);
                if (!keep) hand.SetAside(id);
            });
            break;
        }
        case ckFourOfAKind: {
            int others = 0;
            hand.Scan([&](TCardId id, int count) {
                if (count != 4 && ++others > 1) hand.SetAside(id);
            });
            break;
        }
        case ckStraightFlush:
            hand.SetAsideShortSuits();
            if (roundStraight) {
                hand.KeepHighestRoundRun();
            } else {
                hand.KeepHighestRun();
            }
            break;
        case ckRoyalFlush:
            hand.SetAsideShortSuits();
            hand.Scan([&](TCardId id, int) {
                if (RankIndexOf(id) >= 6) hand.SetAside(id);
            });
            break;
        case ckNoGame:
        case ckAceKing:
        case ckPoker:
            hand.KeepFirst(5);
            break;
    }
    return hand.Result();
}

}  // namespace studlab
