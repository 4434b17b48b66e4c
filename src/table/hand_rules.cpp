#include "table/hand_rules.h"

#include "design/design_numbers.h"
#include "table/choice_codes.h"
#include "text/number_text.h"

namespace studlab {

using enum TPlayerAction;

int ArrivingCards(const TOffer& offer) {
    if (offer.Action == paBuyCard || offer.Action == paBuyTwoCards) return offer.Draw;
    if (offer.Valuation != TOfferValuation::ovDraw || offer.IntoDealer) return 0;
    return ThrownAway(offer).Count();
}

double OfferCost(const TOffer& offer, int stage, const TEvalRules& rules) {
    const auto s = static_cast<std::size_t>(stage);
    switch (offer.Action) {
        case paBuyCard:
            return static_cast<double>(rules.BuyCost.at(s)[1]);
        case paBuyTwoCards:
            return static_cast<double>(rules.BuyCost.at(s)[2]);
        case paBuyDealerGame:
            return static_cast<double>(rules.BuyDealerGameCost);
        default:
            break;
    }
    if (const std::optional<int> n = ExchangedCount(offer.Code)) {
        return static_cast<double>(rules.ExchangeCost.at(s)[static_cast<std::size_t>(*n)]);
    }
    return 0;
}

TDecisionPoint PointAfter(const TDecisionPoint& point, const TOffer& offer, TCardTable arrival,
                          const TEvalRules& rules) {
    TDecisionPoint next = point;
    const TCardTable thrown = ThrownAway(offer);
    next.Player = next.Player.Without(thrown) | arrival;
    next.Out = next.Out | thrown;
    next.Choices[static_cast<std::size_t>(point.Stage)] = offer.Code;
    PayCost(next.Balance, next.ExtraStake, OfferCost(offer, point.Stage, rules));
    ++next.Stage;
    return next;
}

TDecisionPoint PointAfterNothing(const TDecisionPoint& point) {
    TDecisionPoint next = point;
    next.Choices[static_cast<std::size_t>(point.Stage)] = {};
    ++next.Stage;
    return next;
}

TSettlesAt SettlesAt(const TTableState& state, int stage, bool dealerCanHaveGame) {
    const bool dealerGameBought = BuysDealerGame(stage, state.Choice(stage));
    const std::string& last = state.Choice(stage - 1);
    return {.DealerGameNotNeeded = dealerCanHaveGame && dealerGameBought,
            .AfterBet = IsBetCode(last) && !dealerGameBought,
            .AfterDealerGame = stage > 2 && BuysDealerGame(stage - 1, last)};
}

TCardTable ThrownAway(const TOffer& offer) {
    TCardTable thrown;
    for (std::size_t i = 0; i < 5; ++i) {
        if (offer.Thrown[i] != 0) thrown.Add(offer.Thrown[i]);
    }
    return thrown;
}

std::optional<double> ChoiceCost(const TGameDesign& design, const TCalculationSettings& settings,
                                 int decision, std::string_view code) {
    if (decision <= 2) {
        if (code == kBuyCardCode) {
            return ReadRealField(design, settings, design.BuyCost[decision][1]);
        }
        if (code == kBuyTwoCardsCode) {
            return ReadRealField(design, settings, design.BuyCost[decision][2]);
        }
        if (const std::optional<int> n = ExchangedCount(code)) {
            return ReadRealField(design, settings, design.ExchangeCost[decision][*n]);
        }
    }
    if (BuysDealerGame(decision, code)) {
        return ReadRealField(design, settings, design.BuyDealerGameCost);
    }
    return std::nullopt;
}

void PayCost(float& balance, float& extraStake, double cost) {
    balance = static_cast<float>(balance - cost);
    extraStake = static_cast<float>(extraStake + cost);
}

THandSettlement FoldSettlement(float balance) {
    const std::int64_t result = RoundHalfEven(static_cast<long double>(balance) * 10000);
    return {result, -result};
}

std::int64_t BetStake(float extraStake, long double betSize) {
    return RoundHalfEven((1.0L + static_cast<long double>(extraStake) + betSize) * 10000);
}

bool BetPaid(const TEvalResult& bet) {
    return bet.Tallies.PlayerWins > 0 || bet.Tallies.DealerNoGame > 0;
}

TSettledHand SettledHand(const TTableState& state, long double betSize) {
    TSettledHand settled;
    settled.Result = state.HandResult;
    settled.Stake = state.HandFolded ? FoldSettlement(state.PlayerBalance).Stake
                                     : BetStake(state.ExtraStake, betSize);
    settled.Paid =
        !state.HandFolded &&
        state.HandPaid.value_or(state.HandResult >
                                -RoundHalfEven(static_cast<long double>(state.ExtraStake) * 10000));
    return settled;
}

}  // namespace studlab
