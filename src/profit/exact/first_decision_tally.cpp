#include "profit/exact/first_decision_tally.h"

#include <array>
#include <cmath>

#include "profit/exact/strategy.h"

namespace studlab {

using enum TPlayerAction;

TFirstAction FirstActionOf(TPlayerAction action) {
    switch (action) {
        case paFold:
            return TFirstAction::faFold;
        case paBet:
            return TFirstAction::faBet;
        case paBetInsured:
            return TFirstAction::faBetInsured;
        case paBuyCard:
            return TFirstAction::faBuyCard;
        case paBuyTwoCards:
            return TFirstAction::faBuyTwoCards;
        case paExchange1:
            return TFirstAction::faExchange1;
        case paExchange2:
            return TFirstAction::faExchange2;
        case paExchange3:
            return TFirstAction::faExchange3;
        case paExchange4:
            return TFirstAction::faExchange4;
        case paExchange5:
            return TFirstAction::faExchange5;
        default:
            return TFirstAction::faNone;
    }
}

void TallyFirstDecision(TCardTable player, TCardTable dealer, TCombinationKind kind,
                        const std::vector<TOffer>& offers, const std::vector<double>& compared,
                        std::optional<TPlayerAction> taken, std::int64_t members, TExactSums& sums,
                        std::vector<std::size_t>& touched) {
    const int row = StrategyRowOf(player, kind);
    const int column = StrategyColumnOf(dealer);
    std::array<std::optional<std::int64_t>, kFirstActions> actionValue{};
    for (std::size_t i = 0; i < offers.size(); ++i) {
        const auto a = static_cast<std::size_t>(FirstActionOf(offers[i].Action));
        const std::int64_t value = std::llround(compared[i] * 10000);
        if (!actionValue[a] || value > *actionValue[a]) actionValue[a] = value;
    }
    auto tally = [&](TFirstAction action) -> TStrategyTally& {
        const std::size_t index = TStrategyGrid::Index(row, column, action);
        touched.push_back(index);
        return sums.Strategy.AtIndex(index);
    };
    for (std::size_t a = 0; a < actionValue.size(); ++a) {
        if (!actionValue[a]) continue;
        TStrategyTally& t = tally(static_cast<TFirstAction>(a));
        t.Offered += members;
        t.ValueSum += TInt256(*actionValue[a]) * members;
    }
    tally(taken ? FirstActionOf(*taken) : TFirstAction::faNone).Taken += members;
}

}  // namespace studlab
