#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "cards/card_list.h"
#include "design/design_fields.h"
#include "profit/exact/hand_play.h"
#include "profit/game.h"
#include "table/table_state.h"

namespace studlab {
namespace {

using enum TPlayerAction;

TCardTable Cards(std::string_view text) {
    return TableOf(ParseCardList(text));
}

// The expected result of a first layout by brute force: the decision table itself is played
// through every way the hand can go on. After each "ПРОДОЛЖИТЬ" every set of cards that may
// arrive is clicked in (in increasing order, so each set once) until "РЕШЕНИЕ" shows again; each
// set weighs the same at its branch.
class TBruteForce {
public:
    TBruteForce(const TGameDesign& design, const TCalculationSettings& settings) {
        m_game.Design = design;
        m_game.Settings = settings;
        m_game.Table.SetGameName("brute force");
        m_game.Table.SelectGame(std::nullopt);
    }

    long double Play(TCardTable dealer, TCardTable player, TCardTable out) {
        TDecisionTable& t = m_game.Table;
        t.NewLayout();
        dealer.ForEach([&](TCardId id) { t.ClickCard(id); });
        player.ForEach([&](TCardId id) { t.ClickCard(id); });
        out.ForEach([&](TCardId id) { t.ClickCard(id); });
        EXPECT_TRUE(t.View().DecideVisible);
        t.State().HandResult = kHandNotSettled;
        return Decide();
    }

    std::int64_t Leaves() const { return m_leaves; }

private:
    long double Decide() {
        TDecisionTable& t = m_game.Table;
        t.Decide();
        if (t.State().HandResult != kHandNotSettled) return Leaf();
        t.ContinueHand();
        if (t.State().HandResult != kHandNotSettled) return Leaf();
        const auto [sum, sets] = Enter(0);
        EXPECT_GT(sets, 0);
        return sets == 0 ? 0 : sum / sets;
    }
    long double Leaf() {
        ++m_leaves;
        return static_cast<long double>(m_game.Table.State().HandResult);
    }
    // The sum of the expected results over every set of the cards still to come, taken in
    // increasing order, and the number of those sets.
    std::pair<long double, std::int64_t> Enter(TCardId after) {
        TDecisionTable& t = m_game.Table;
        if (t.View().DecideVisible) return {Decide(), 1};
        const TTableState state = t.State();
        const TTableView view = t.View();
        long double sum = 0;
        std::int64_t sets = 0;
        for (TCardId id = after + 1; id <= kCards; ++id) {
            if (!state.PlaceOf(id).InDeck()) continue;
            t.ClickCard(id);
            const auto [s, n] = Enter(id);
            sum += s;
            sets += n;
            t.State() = state;
            t.View() = view;
        }
        return {sum, sets};
    }

    TGame m_game;
    std::int64_t m_leaves = 0;
};

struct TCase {
    const char* Name;
    std::vector<std::string> Design;  // NAME=VALUE
    const char* Dealer;
    const char* Player;
};

struct TDesigned {
    TGameDesign Design;
    TCalculationSettings Settings;
};

TDesigned DesignOf(const std::vector<std::string>& assignments) {
    TDesigned d;
    for (const std::string& a : assignments) SetDesignAssignment(d.Design, d.Settings, a);
    return d;
}

// Layouts with most of the deck known to be out, so that every deal can be played.
TCardTable OutCards(TCardTable dealer, TCardTable player, int unseen, std::mt19937& rng) {
    std::vector<TCardId> rest;
    (dealer | player).Complement().ForEach([&](TCardId id) { rest.push_back(id); });
    std::shuffle(rest.begin(), rest.end(), rng);
    TCardTable out;
    for (std::size_t i = 0; i + static_cast<std::size_t>(unseen) < rest.size(); ++i)
        out.Add(rest[i]);
    return out;
}

TEST(ExactPlay, EveryLayoutIsWorthWhatTheTablePlaysOverEveryDeal) {
    const std::vector<TCase> cases = {
        {"the standard game", {}, "2s", "Ah Ac Kd 9s 7h"},
        {"the standard game, a weak hand", {}, "8h", "10s Ac 9s 8d Qd"},
        {"looking ahead", {"LookAhead=YES"}, "8h", "10s Ac 9s 8d Qd"},
        {"insurance and exchanges of one to three cards, two open dealer cards",
         {"DealerOpenCards=2", "StageActions[1][paBetInsured]=YES", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paExchange1]=YES", "StageActions[1][paExchange2]=YES",
          "StageActions[1][paExchange3]=YES", "StageActions[2][paBetInsured]=YES",
          "ExchangeCost[1][2]=0,7", "Insurable[ckPair]=YES"},
         "Kd 7c",
         "Qc 10c 7h 6s 3c"},
        {"two cards bought, then exchanges at the second decision and a third decision",
         {"DealerOpenCards=0", "StageActions[1][paBuyCard]=NO",
          "StageActions[1][paBuyTwoCards]=YES", "StageActions[2][paExchange1]=YES",
          "StageActions[3][paFold]=YES", "StageActions[3][paBet]=YES", "BuyCost[1][2]=0,9"},
         "",
         "Ah Kh 9d 5c 2s"},
        {"nothing offered after the draw: the hand is settled all the same",
         {"StageActions[1][paBuyCard]=NO", "StageActions[1][paExchange1]=YES",
          "StageActions[2][paFold]=NO", "StageActions[2][paBet]=NO"},
         "4d",
         "Jh Js 8c 6d 2h"},
    };
    std::mt19937 rng(77);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDesigned d = DesignOf(c.Design);
        const TExactGame game(d.Design, d.Settings);
        for (int round = 0; round < 3; ++round) {
            const TCardTable dealer = Cards(c.Dealer);
            const TCardTable player = Cards(c.Player);
            const TCardTable out = OutCards(dealer, player, 10 + round, rng);
            TExactSums sums;
            const TLayoutOutcome exact = PlayLayout(game, player, dealer, out, 1, sums);
            TBruteForce table(d.Design, d.Settings);
            const long double expected = table.Play(dealer, player, out);
            EXPECT_NEAR(static_cast<double>(exact.Value), static_cast<double>(expected), 1e-6)
                << "out " << JoinCardNames(out) << ", " << table.Leaves() << " hands";
            EXPECT_GE(exact.BestValue, exact.Value - 1e-9);
        }
    }
}

}  // namespace
}  // namespace studlab
