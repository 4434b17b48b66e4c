#include "design/game_design.h"

namespace studlab {

using enum TCombinationKind;
using enum TPlayerAction;

TKindFlags TGameDesign::DefaultPlays() {
    return EveryCountedKindPlays();
}

TByKind<TNumberText> TGameDesign::DefaultPayQualified() {
    TByKind<TNumberText> pay;
    const std::array<const char*, 10> texts = {"201", "101", "41", "15", "11",
                                               "9",   "6",   "4",  "3",  "3"};
    for (std::size_t i = 0; i < texts.size(); ++i) pay[kCountedKinds[i]] = texts[i];
    return pay;
}

TByKind<TNumberText> TGameDesign::DefaultPayNotQualified() {
    TByKind<TNumberText> pay(TNumberText("1"));
    pay[ckPoker].clear();
    pay[ckNoGame].clear();
    return pay;
}

TKindFlags TGameDesign::DefaultInsurable() {
    TKindFlags insurable;
    for (TCombinationKind k : {ckPoker, ckRoyalFlush, ckStraightFlush, ckFourOfAKind, ckFullHouse,
                               ckFlush, ckStraight}) {
        insurable[k] = true;
    }
    return insurable;
}

std::array<TStageFlags, kStages + 1> TGameDesign::DefaultStageActions() {
    std::array<TStageFlags, kStages + 1> actions{};
    auto on = [&](int stage, TPlayerAction a) { actions[stage][static_cast<int>(a)] = true; };
    on(1, paFold);
    on(1, paBet);
    on(1, paBuyCard);
    on(2, paFold);
    on(2, paBet);
    return actions;
}

bool TGameDesign::BuysTooManyCards() const {
    return (Allows(1, paBuyCard) && Allows(2, paBuyTwoCards)) ||
           (Allows(1, paBuyTwoCards) && (Allows(2, paBuyTwoCards) || Allows(2, paBuyCard)));
}

std::string_view PlayerActionCodeName(TPlayerAction action) {
    static constexpr std::array<std::string_view, kPlayerActionCount> kNames = {
        "paFold",        "paBet",       "paBetInsured",    "paBuyCard",
        "paBuyTwoCards", "paExchange1", "paExchange2",     "paExchange3",
        "paExchange4",   "paExchange5", "paBuyDealerGame", "paDeclineDealerGame"};
    return kNames.at(static_cast<std::size_t>(action));
}

}  // namespace studlab
