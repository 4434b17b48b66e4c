// A class of first layouts played as one, and each of its layouts on its own where the play
// depends on which suit is which.

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "profit/exact/exact_game.h"
#include "profit/exact/hand_walk.h"
#include "profit/exact/strategy_store.h"

namespace studlab {
namespace {

// Applies a permutation of the suits to a set of cards.
TCardTable PermuteSuits(TCardTable cards, const std::array<int, 4>& to) {
    TCardTable out;
    cards.ForEach([&](TCardId id) {
        out.Add(CardIdOf(RankIndexOf(id), to[static_cast<std::size_t>(SuitIndexOf(id) - 1)]));
    });
    return out;
}

class TClassPlay final : public IClassPlay {
public:
    TClassPlay(const TExactGame& game, TStrategyStore* record) : m_walker(game), m_record(record) {}

    void Play(const TLayoutClass& layout, TExactSums& sums) override {
        // m_class is empty here: every class leaves it so.
        m_walker.ForgetSuitSensitivity();
        m_walker.ForgetTouchedTallies();
        const std::string_view code =
            m_walker.Play(FirstPoint(layout.Player, layout.Dealer), layout.Members, m_class)
                .FirstCode;
        if (m_record != nullptr)
            m_record->Record(m_record->Classes().IndexOf(layout.Player, layout.Dealer), code);
        if (!m_walker.SuitSensitive() || layout.Members == 1) {
            sums.Take(m_class, m_walker.TakeTouchedCells(), m_walker.TouchedTallies());
            return;
        }
        // The play depends on which suit is which (a tie broken by the order of the cards): each
        // layout of the class is played on its own.
        m_class = TExactSums();
        std::array<int, 4> to = {1, 2, 3, 4};
        std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
        do {
            const TCardTable player = PermuteSuits(layout.Player, to);
            const TCardTable dealer = PermuteSuits(layout.Dealer, to);
            const std::pair key{player.Mask(), dealer.Mask()};
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
            seen.push_back(key);
            const std::string_view own =
                m_walker.Play(FirstPoint(player, dealer), 1, m_class).FirstCode;
            // A tie within one action keeps its code; a store of one choice per class cannot
            // hold a first choice that depends on the suits.
            if (m_record != nullptr && own != code) {
                throw TExactRunError(
                    "Первое решение расклада зависит от мастей карт, стратегию по классам "
                    "раскладов не записать");
            }
        } while (std::next_permutation(to.begin(), to.end()));
        m_class.Classes = 1;
        sums.Take(m_class, m_walker.TakeTouchedCells(), m_walker.TouchedTallies());
    }

private:
    static TDecisionPoint FirstPoint(TCardTable player, TCardTable dealer) {
        TDecisionPoint p;
        p.Player = player;
        p.Dealer = dealer;
        return p;
    }

    TWalker m_walker;
    TStrategyStore* m_record = nullptr;
    TExactSums m_class;
};

}  // namespace

std::unique_ptr<IClassPlay> TExactGame::NewPlay(TStrategyStore* record) const {
    return std::make_unique<TClassPlay>(*this, record);
}

}  // namespace studlab
