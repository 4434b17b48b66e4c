#include <gtest/gtest.h>

#include <vector>

#include "cards/card_list.h"
#include "cards/hand_classification.h"
#include "support/printers.h"

namespace studlab {
namespace {

using enum TCombinationKind;

TKindFlags AllPlay(const std::vector<TCombinationKind>& off = {}) {
    TKindFlags plays(true);
    plays[ckPoker] = false;
    plays[ckNoGame] = false;
    for (TCombinationKind k : off) plays[k] = false;
    return plays;
}

struct TClassifyCase {
    const char* cards;
    std::vector<TCombinationKind> notPlaying;
    TCombinationKind kind;
};

TEST(ClassifyHand, KindsUnderThePlayingKinds) {
    const std::vector<TClassifyCase> cases = {
        {"", {}, ckNoGame},
        {"Ah Kc", {}, ckAceKing},
        {"Ah Kc 9d 7s 3h", {}, ckAceKing},
        {"Ah Kc 9d 7s 3h", {ckAceKing}, ckNoGame},
        {"Ah Ac Kc 7s 2h", {}, ckPair},  // two aces: not an ace-king
        {"Ah Kc 7d 7s 2h", {}, ckPair},
        {"Ah Kc 7d 7s 2h", {ckPair}, ckAceKing},  // falls to the next kind it makes
        {"Ah Ac Kd 9s 7h 4c 2d", {}, ckPair},
        {"Ah Ac Kh Kc Qh Qc 3d", {}, ckTwoPairs},
        {"7h 7c 7d Ah 2c 3s", {}, ckThreeOfAKind},
        {"Ah Kc Qd Js Th", {}, ckStraight},
        {"Ah Kc Qd Js Th", {ckStraight}, ckAceKing},  // A-K-Q-J-10 of mixed suits
        {"Kh Qc Jd Ts 9h", {ckStraight}, ckNoGame},
        {"5h 4c 3d 2s Ah", {}, ckStraight},  // the wheel
        {"4h 3c 2d Ah Ks", {}, ckAceKing},   // no wrap-around straight
        {"9h 8c 8d 7s 6h 5c", {}, ckStraight},
        {"Ah 9h 7h 5h 3h 2h Kc", {}, ckFlush},
        {"Ah Ac Ad Kh Kc 5s", {}, ckFullHouse},
        {"Ah Ac Ad Kh Kc 5s", {ckFullHouse}, ckThreeOfAKind},
        {"Ah Ac Ad Kh Kc Kd 2s", {}, ckFullHouse},  // two triples
        {"5h 5c 5d 5s Kh 2c", {}, ckFourOfAKind},
        {"5h 5c 5d 5s Kh 2c", {ckFourOfAKind}, ckNoGame},  // quads are neither pairs nor trips
        {"9s 8s 7s 6s 5s 2s Ah", {}, ckStraightFlush},
        {"9s 8s 7s 6s 5s", {ckStraightFlush}, ckFlush},
        {"Kh Jh 9h 7h 3h Qc Td", {}, ckStraightFlush},  // flush and straight of different cards
        {"Kh Jh 9h 7h 3h Qc Td", {ckStraightFlush}, ckFlush},
        {"Ah Kh Qh Jh Th 9h 2c", {}, ckRoyalFlush},
        {"Ah Kh Qh Jh Th", {ckRoyalFlush}, ckStraightFlush},
        {"Ah Kh Qh Jh Th", {ckRoyalFlush, ckStraightFlush}, ckFlush},
    };
    for (const TClassifyCase& c : cases) {
        SCOPED_TRACE(c.cards);
        EXPECT_EQ(ClassifyHand(TableOf(ParseCardList(c.cards)), AllPlay(c.notPlaying)), c.kind);
    }
}

struct TReduceCase {
    const char* cards;
    TCombinationKind kind;
    const char* kept;
    const char* aside;
};

TEST(ReduceToFive, KeepsTheFiveCardsOfTheKind) {
    const std::vector<TReduceCase> cases = {
        {"Ah Ac Kd 9s 7h 4c 2d", ckPair, "Ah Ac Kd 9s 7h", "4c 2d"},
        {"Ah Kc 9d 7s 5h 3c 2d", ckAceKing, "Ah Kc 9d 7s 5h", "3c 2d"},
        {"Qh 9c 7d 5s 4h 3c", ckNoGame, "Qh 9c 7d 5s 4h", "3c"},
        // The first queen goes as the fifth pair card; the second queen, now a single, stays.
        {"Ah Ac Kh Kc Qh Qc 3d", ckTwoPairs, "Ah Ac Kh Kc Qc", "Qh 3d"},
        {"Ah Ac Kh Kc 9d 3d 2s", ckTwoPairs, "Ah Ac Kh Kc 9d", "3d 2s"},
        {"7h 7c 7d Ah 2c 3s", ckThreeOfAKind, "Ah 7h 7c 7d 3s", "2c"},
        {"9h 8c 8d 7s 6h 5c", ckStraight, "9h 8c 7s 6h 5c", "8d"},
        {"Ah 5c 4d 3s 2h Kc", ckStraight, "Ah 5c 4d 3s 2h", "Kc"},
        {"Ah 6c 5d 4s 3h 2c", ckStraight, "6c 5d 4s 3h 2c", "Ah"},
        {"Ah Kc Qd Js Th 9h 8c", ckStraight, "Ah Kc Qd Js Th", "9h 8c"},
        {"Ah 9h 7h 5h 3h 2h Kc", ckFlush, "Ah 9h 7h 5h 3h", "2h Kc"},
        {"Ah Ac Ad Kh Kc Kd 2s", ckFullHouse, "Ah Ac Ad Kh Kc", "Kd 2s"},
        {"Kh Kc Kd Ah Ac Qh Qc", ckFullHouse, "Ah Ac Kh Kc Kd", "Qh Qc"},
        {"5h 5c 5d 5s Kh 2c", ckFourOfAKind, "Kh 5h 5c 5d 5s", "2c"},
        {"9s 8s 7s 6s 5s 2s Ah", ckStraightFlush, "9s 8s 7s 6s 5s", "2s Ah"},
        {"Ah Kh Qh Jh Th 9h 2c", ckRoyalFlush, "Ah Kh Qh Jh Th", "9h 2c"},
        // With the straight and the flush of different cards only what the rules leave stays.
        {"Ah 5c 4h 3h 2h Kh", ckStraightFlush, "4h 3h 2h", "Ah Kh 5c"},
    };
    for (const TReduceCase& c : cases) {
        SCOPED_TRACE(c.cards);
        const TReducedHand reduced = ReduceToFive(TableOf(ParseCardList(c.cards)), c.kind);
        EXPECT_EQ(reduced.Kept, TableOf(ParseCardList(c.kept)));
        EXPECT_EQ(reduced.Aside, TableOf(ParseCardList(c.aside)));
    }
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

// Where runs may wrap round the ace, Q-K-A-2-3 and its like are straights; the strongest run
// is kept, one card of each of its ranks.
TEST(ClassifyHand, WrapAroundStraights) {
    struct TCase {
        const char* Cards;
        TCombinationKind Plain;  // without wrap-around straights
        TCombinationKind Round;
        const char* Kept;  // with them, of more than five cards
    };
    const std::vector<TCase> cases = {
        {"Qh Kc Ad 2s 3h", ckAceKing, ckStraight, "Ad Kc Qh 3h 2s"},
        {"Jh Qc Kd As 2h", ckAceKing, ckStraight, "As Kd Qc Jh 2h"},
        {"Kh Ac 2d 3s 4h 4c", ckPair, ckStraight, "Ac Kh 4h 3s 2d"},
        {"Kh Ac 2d 3s 4h 5c", ckStraight, ckStraight, "Ac 5c 4h 3s 2d"},  // the wheel is higher
        {"Qh Kh Ah 2h 3h 9c", ckFlush, ckStraightFlush, "Ah Kh Qh 3h 2h"},
        // A run and a flush apart make a straight flush, as with ordinary runs.
        {"Qh Kh Ah 2h 3c 9h 7d", ckFlush, ckStraightFlush, nullptr},
        {"Ah Kc Qd Js 10h", ckStraight, ckStraight, "Ah Kc Qd Js 10h"},
    };
    for (const TCase& c : cases) {
        const TCardTable cards = TableOf(ParseCardList(c.Cards));
        EXPECT_EQ(ClassifyHand(cards, AllPlay()), c.Plain) << c.Cards;
        const TCombinationKind round = ClassifyHand(cards, AllPlay(), true);
        EXPECT_EQ(round, c.Round) << c.Cards;
        if (cards.Count() > 5 && c.Kept != nullptr) {
            EXPECT_EQ(ReduceToFive(cards, round, true).Kept, TableOf(ParseCardList(c.Kept)))
                << c.Cards;
        }
    }
}

}  // namespace
}  // namespace studlab
