#include "profit/exact/exact_figures.h"

#include <cmath>

namespace studlab {

TExactFigures FiguresOf(const TExactSums& sums) {
    TExactFigures f;
    if (sums.Weight == TInt256()) return f;
    // Results are in ten-thousandths of an ante; the MO is a loss in percent.
    const long double mean = Quotient(sums.Result, sums.Weight) / 10000;
    f.MoPercent = -mean * 100;
    f.BestMoPercent = -Quotient(sums.BestResult, sums.Weight) / 10000 * 100;
    const long double meanSquare = Quotient(sums.ResultSquares, sums.Weight) / 1e8L;
    f.StdDevPerHand = std::sqrt(std::max(0.0L, meanSquare - mean * mean));
    f.AverageStake = Quotient(sums.Stake, sums.Weight) / 10000;
    if (f.AverageStake > 0) f.ElementOfRiskPercent = -mean / f.AverageStake * 100;
    if (sums.Layouts != TInt256()) {
        f.ChoicesDifferPercent = Quotient(sums.ChoicesDiffer, sums.Layouts) * 100;
        for (std::size_t a = 0; a < f.FirstActionPercent.size(); ++a) {
            f.FirstActionPercent[a] = Quotient(sums.FirstAction[a], sums.Layouts) * 100;
        }
    }
    for (int k = 1; k <= kKindCount; ++k) {
        for (int o = 0; o < kFinalOutcomes; ++o) {
            const TReturnCell& cell = sums.Cell(KindAt(k), static_cast<TFinalOutcome>(o));
            if (cell.Chance == TInt256()) continue;
            f.Returns.push_back({KindAt(k), static_cast<TFinalOutcome>(o), cell.Chance,
                                 Quotient(cell.Chance, sums.Weight),
                                 Quotient(cell.Contribution, sums.Weight) / 10000});
        }
    }
    return f;
}

std::string_view OutcomeName(TFinalOutcome outcome) {
    switch (outcome) {
        case TFinalOutcome::foWon:
            return "won";
        case TFinalOutcome::foLost:
            return "lost";
        case TFinalOutcome::foTie:
            return "tie";
        case TFinalOutcome::foDealerNoGame:
            return "dealer_no_game";
        case TFinalOutcome::foFolded:
            return "folded";
    }
    return "";
}

std::string_view OutcomeCaption(TFinalOutcome outcome) {
    switch (outcome) {
        case TFinalOutcome::foWon:
            return "выигрыш";
        case TFinalOutcome::foLost:
            return "проигрыш";
        case TFinalOutcome::foTie:
            return "ничья";
        case TFinalOutcome::foDealerNoGame:
            return "у дилера нет игры";
        case TFinalOutcome::foFolded:
            return "пас";
    }
    return "";
}

std::string_view FirstActionName(TFirstAction action) {
    constexpr std::array<std::string_view, kFirstActions> kNames = {
        "none",       "fold",       "bet",        "bet_insured", "buy_card",  "buy_two_cards",
        "exchange_1", "exchange_2", "exchange_3", "exchange_4",  "exchange_5"};
    return kNames[static_cast<std::size_t>(action)];
}

std::string_view FirstActionCaption(TFirstAction action) {
    constexpr std::array<std::string_view, kFirstActions> kCaptions = {
        "ничего не предложено", "сделать пас",      "забиться",         "забиться со страховкой",
        "купить карту",         "купить две карты", "поменять 1 карту", "поменять 2 карты",
        "поменять 3 карты",     "поменять 4 карты", "поменять 5 карт"};
    return kCaptions[static_cast<std::size_t>(action)];
}

std::string_view KindCaption(TCombinationKind kind) {
    constexpr std::array<std::string_view, kKindCount> kCaptions = {
        "ПОКЕР",  "РОЯЛФЛЕШИ", "СТРИТФЛЕШИ", "КАРЕ", "ФУЛХАУСЫ",   "ФЛЕШИ",
        "СТРИТЫ", "ТРОЙКИ",    "ДВЕ ПАРЫ",   "ПАРЫ", "ТУЗ-КОРОЛИ", "БЕЗ ИГРЫ"};
    return kCaptions[static_cast<std::size_t>(KindIndex(kind) - 1)];
}

}  // namespace studlab
