#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "cards/card_table.h"

namespace studlab {

// The first layouts of a hand (the player's five cards and the dealer's open cards) in classes of
// layouts that differ only by a permutation of the four suits: such layouts are worth the same,
// so one representative per class is played and counted as many times as its class has members.
//
// A layout is seen suit by suit: each suit has a signature, the ranks the player and the dealer
// hold in it. The representative of a class gives hearts the greatest signature, then clubs,
// diamonds and spades in decreasing order; the class has 4! / (m1! m2! ...) members, m being the
// multiplicities of equal signatures.
struct TLayoutClass {
    TCardTable Player;
    TCardTable Dealer;
    int Members = 0;  // layouts in the class: 1, 4, 6, 12 or 24
};

// A position in the fixed order in which the classes are visited.
struct TLayoutCursor {
    int Vector = 0;  // which split of the cards over the suits
    std::array<int, 4> Index{};
    friend bool operator==(const TLayoutCursor&, const TLayoutCursor&) = default;
};

class TLayoutClasses {
public:
    // Every class of layouts of five player cards and `dealerCards` (0..4) open dealer cards.
    explicit TLayoutClasses(int dealerCards);

    int DealerCards() const { return m_dealerCards; }
    // Visits the classes from `from` on in their fixed order, at most `count` of them, calling
    // visit(const TLayoutClass&); returns the number visited.
    template <class F>
    std::int64_t Visit(const TLayoutCursor& from, std::int64_t count, F&& visit) const;

    // Cursors at every `batch`-th class, the first at the beginning: batch i covers the classes
    // from Starts[i] on, `batch` of them (the last one fewer).
    std::vector<TLayoutCursor> BatchStarts(std::int64_t batch) const;
    std::int64_t ClassCount() const { return m_classCount; }
    // The position of the class of a first layout (five player cards and DealerCards() dealer
    // cards, none shared) in the fixed order of Visit: the suits are sorted by their signatures
    // as the representative orders them, and the position counted from the sizes of the groups
    // in a few steps. -1 for cards that make no such layout.
    std::int64_t IndexOf(TCardTable player, TCardTable dealer) const;
    // C(52, 5) * C(47, dealerCards).
    std::int64_t LayoutCount() const;

private:
    struct TSplit {
        std::array<int, 4> Group{};  // per suit, the group of signatures it takes from
        std::int64_t Before = 0;     // classes of the splits before this one
        // Per suit s, Below[s][i]: the classes of this split whose suits before s are fixed and
        // whose suit s takes a signature of index below i, counted from index 0 (IndexOf).
        std::array<std::vector<std::int64_t>, 4> Below;
    };
    // The signatures of one (player cards, dealer cards) count in a suit, greatest first.
    struct TGroup {
        std::vector<std::uint32_t> Keys;
    };

    static TCardTable PlayerCardsOf(std::uint32_t key, int suit);
    static TCardTable DealerCardsOf(std::uint32_t key, int suit);
    std::int64_t Count(std::vector<TLayoutCursor>* starts, std::int64_t batch) const;
    void PrepareIndex();
    int FirstIndex(const TSplit& split, const std::array<int, 4>& index, int suit) const {
        return suit > 0 && split.Group[suit] == split.Group[suit - 1] ? index[suit - 1] : 0;
    }

    int m_dealerCards = 0;
    std::vector<TGroup> m_groups;  // by player cards * 6 + dealer cards
    std::vector<TSplit> m_splits;
    std::vector<std::pair<std::uint32_t, int>> m_splitOf;  // the four groups packed, the split
    std::int64_t m_classCount = 0;
};

template <class F>
std::int64_t TLayoutClasses::Visit(const TLayoutCursor& from, std::int64_t count, F&& visit) const {
    std::int64_t visited = 0;
    TLayoutCursor c = from;
    bool first = true;
    for (; c.Vector < static_cast<int>(m_splits.size()); ++c.Vector) {
        const TSplit& split = m_splits[static_cast<std::size_t>(c.Vector)];
        const auto& g0 = m_groups[static_cast<std::size_t>(split.Group[0])].Keys;
        const auto& g1 = m_groups[static_cast<std::size_t>(split.Group[1])].Keys;
        const auto& g2 = m_groups[static_cast<std::size_t>(split.Group[2])].Keys;
        const auto& g3 = m_groups[static_cast<std::size_t>(split.Group[3])].Keys;
        if (!first) c.Index = {0, 0, 0, 0};
        for (; c.Index[0] < static_cast<int>(g0.size()); ++c.Index[0]) {
            if (!first) c.Index[1] = FirstIndex(split, c.Index, 1);
            for (; c.Index[1] < static_cast<int>(g1.size()); ++c.Index[1]) {
                if (!first) c.Index[2] = FirstIndex(split, c.Index, 2);
                for (; c.Index[2] < static_cast<int>(g2.size()); ++c.Index[2]) {
                    if (!first) c.Index[3] = FirstIndex(split, c.Index, 3);
                    first = false;
                    for (; c.Index[3] < static_cast<int>(g3.size()); ++c.Index[3]) {
                        if (visited == count) return visited;
                        const std::array<std::uint32_t, 4> keys = {
                            g0[static_cast<std::size_t>(c.Index[0])],
                            g1[static_cast<std::size_t>(c.Index[1])],
                            g2[static_cast<std::size_t>(c.Index[2])],
                            g3[static_cast<std::size_t>(c.Index[3])]};
                        TLayoutClass layout;
                        // Equal signatures can be exchanged: 4! over the factorials of their
                        // multiplicities.
                        int members = 24;
                        int run = 1;
                        for (std::size_t s = 0; s < 4; ++s) {
                            layout.Player =
                                layout.Player | PlayerCardsOf(keys[s], static_cast<int>(s) + 1);
                            layout.Dealer =
                                layout.Dealer | DealerCardsOf(keys[s], static_cast<int>(s) + 1);
                            if (s > 0 && keys[s] == keys[s - 1]) {
                                ++run;
                                members /= run;
                            } else {
                                run = 1;
                            }
                        }
                        layout.Members = members;
                        visit(static_cast<const TLayoutClass&>(layout));
                        ++visited;
                    }
                }
            }
        }
    }
    return visited;
}

}  // namespace studlab
