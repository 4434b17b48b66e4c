// The game as the exact analysis plays it, and the designs it refuses.

#include "profit/exact/exact_game.h"

#include <algorithm>

#include "design/design_rules.h"

namespace studlab {
namespace {

using enum TPlayerAction;

// The most cards a draw at `stage` can take: an exchange of three or four cards from a hand of
// six or seven throws away the first five it lists.
int DrawDepth(const TGameDesign& design, int stage) {
    int depth = 0;
    if (design.Allows(stage, paBuyCard)) depth = std::max(depth, 1);
    if (design.Allows(stage, paBuyTwoCards)) depth = std::max(depth, 2);
    if (design.Allows(stage, paExchange1)) depth = std::max(depth, 1);
    if (design.Allows(stage, paExchange2)) depth = std::max(depth, 2);
    for (TPlayerAction a : {paExchange3, paExchange4, paExchange5}) {
        if (design.Allows(stage, a)) depth = 5;
    }
    return depth;
}

}  // namespace

TExactGame::TExactGame(const TGameDesign& design, const TCalculationSettings& settings)
    : m_design(design), m_rules(MakeEvalRules(design, settings)) {
    const std::string& open = design.DealerOpenCards;
    if (open.size() != 1 || open[0] < '0' || open[0] > '4') {
        throw TExactRefusal(
            "Точный расчет перебирает расклады с 0–4 открытыми картами дилера, а в "
            "конструкции их \"" +
            open + "\"");
    }
    m_openCards = open[0] - '0';
    if (settings.PlayingBoxes != "1") {
        throw TExactRefusal(
            "Точный расчет играет за одним боксом; в настройках играющих боксов \"" +
            settings.PlayingBoxes + "\"");
    }
    if (design.BuysTooManyCards()) {
        throw TExactRefusal(
            "Конструкция позволяет купить игроку больше семи карт: исправьте "
            "конструкцию");
    }
    m_offerOptions.Probabilistic = false;  // every draw is counted exactly
    m_lookAhead = settings.LookAhead;
    m_offerOptions.DealerBuysLowest = design.DealerBuysLowest;
    m_countsSampled = SamplesDraws(design, settings.CalcMethod == TCalcMethod::cmProbabilistic);
    // A game bought for the dealer brings him one replacement card; a hand buys at most one.
    bool buysDealerGame = false;
    for (int stage = 2; stage <= kStages; ++stage)
        buysDealerGame = buysDealerGame || design.Allows(stage, paBuyDealerGame);
    m_depth = std::min(
        DrawDepth(design, 1) + DrawDepth(design, 2) + (5 - m_openCards) + (buysDealerGame ? 1 : 0),
        UnseenAtStart());
}

}  // namespace studlab
