#include "cards/evaluator.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "cards/composites.h"
#include "cards/hand_classification.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;

enum class TModeKind { Bet, BetInsured, Draw, BuyDealerGame, DeclineDealerGame, Listing };
enum class TModeCost { None, Exchange, Buy, DealerGame };
// The number of equally likely draws one call stands for.
enum class TDraws { One, OneOfDeck, PairOfDeck, TripleOfDeck };

struct TModeRow {
    TEvalMode Code;
    TModeKind Kind;
    TModeCost Cost = TModeCost::None;
    int Stage = 0;
    int Cards = 0;
    TDraws Draws = TDraws::One;
};

// In a drawing code the last significant digit is the stage; a trailing 0 marks one draw of the
// full enumeration, which the call divides by the number of draws itself.
constexpr std::array<TModeRow, 25> kModes = {{
    {0, TModeKind::Bet},
    {10, TModeKind::BetInsured},
    {11, TModeKind::Draw, TModeCost::Exchange, 1, 1, TDraws::OneOfDeck},
    {12, TModeKind::Draw, TModeCost::Exchange, 2, 1, TDraws::OneOfDeck},
    {21, TModeKind::Draw, TModeCost::Exchange, 1, 2, TDraws::One},
    {22, TModeKind::Draw, TModeCost::Exchange, 2, 2, TDraws::One},
    {210, TModeKind::Draw, TModeCost::Exchange, 1, 2, TDraws::PairOfDeck},
    {220, TModeKind::Draw, TModeCost::Exchange, 2, 2, TDraws::PairOfDeck},
    {31, TModeKind::Draw, TModeCost::Exchange, 1, 3, TDraws::One},
    {32, TModeKind::Draw, TModeCost::Exchange, 2, 3, TDraws::One},
    {310, TModeKind::Draw, TModeCost::Exchange, 1, 3, TDraws::TripleOfDeck},
    {320, TModeKind::Draw, TModeCost::Exchange, 2, 3, TDraws::TripleOfDeck},
    {41, TModeKind::Draw, TModeCost::Exchange, 1, 4, TDraws::One},
    {42, TModeKind::Draw, TModeCost::Exchange, 2, 4, TDraws::One},
    {51, TModeKind::Draw, TModeCost::Exchange, 1, 5, TDraws::One},
    {52, TModeKind::Draw, TModeCost::Exchange, 2, 5, TDraws::One},
    {61, TModeKind::Draw, TModeCost::Buy, 1, 1, TDraws::OneOfDeck},
    {62, TModeKind::Draw, TModeCost::Buy, 2, 1, TDraws::OneOfDeck},
    {71, TModeKind::Draw, TModeCost::Buy, 1, 2, TDraws::One},
    {72, TModeKind::Draw, TModeCost::Buy, 2, 2, TDraws::One},
    {710, TModeKind::Draw, TModeCost::Buy, 1, 2, TDraws::PairOfDeck},
    {720, TModeKind::Draw, TModeCost::Buy, 2, 2, TDraws::PairOfDeck},
    {1, TModeKind::BuyDealerGame, TModeCost::DealerGame, 0, 0, TDraws::OneOfDeck},
    {100, TModeKind::DeclineDealerGame},
    {222, TModeKind::Listing},
}};

const TModeRow* FindMode(TEvalMode code) {
    const auto* row = std::find_if(kModes.begin(), kModes.end(),
                                   [code](const TModeRow& m) { return m.Code == code; });
    return row == kModes.end() ? nullptr : row;
}

// T unseen cards left after the call's own draw of k cards: the draw came from T + k cards.
long double DrawCount(TDraws draws, int deckRemaining) {
    const long double t = deckRemaining;
    switch (draws) {
        case TDraws::One:
            return 1;
        case TDraws::OneOfDeck:
            return t + 1;
        case TDraws::PairOfDeck:
            return (t + 2) * (t + 1) / 2;
        case TDraws::TripleOfDeck:
            return (t + 3) * (t + 2) * (t + 1) / 6;
    }
    return 1;
}

long double ModeCost(const TEvalRules& rules, const TModeRow& mode) {
    switch (mode.Cost) {
        case TModeCost::Exchange:
            return rules.ExchangeCost[mode.Stage][mode.Cards];
        case TModeCost::Buy:
            return rules.BuyCost[mode.Stage][mode.Cards];
        case TModeCost::DealerGame:
            return rules.BuyDealerGameCost;
        case TModeCost::None:
            return 0;
    }
    return 0;
}

struct TPayouts {
    float Win = 0;
    float NoGame = 0;
    float Loss = 0;
    float Insured = 0;
};

// Step 6. Every payout is a single-precision number, as the design's payouts are; each is worked
// out in extended precision and rounded once.
TPayouts Payouts(const TEvalRules& rules, const TEvalAnalysis& a, float extraStake) {
    const long double g = extraStake;
    TPayouts pay;
    pay.Loss = static_cast<float>(-1.0L - g);
    long double gross = 1;  // without a game the player is paid one ante either way
    if (a.Kind == ckNoGame) {
        pay.NoGame = static_cast<float>(1.0L - g);
    } else {
        // Composites look at every card the player holds; the dealer is still met by the five
        // kept ones.
        gross = QualifiedGross(rules, a.Kind, a.Cards | a.Kept);
        pay.NoGame = static_cast<float>(rules.PayNotQualified[a.Kind] - g);
    }
    // The table maximum caps what is paid; the costs of the hand come off the capped amount like
    // off any other payout.
    gross = std::min(gross, static_cast<long double>(rules.TableMaximum));
    pay.Win = static_cast<float>(gross - g);
    const long double insured = pay.Win + g;
    pay.Insured =
        static_cast<float>(rules.InsuranceMax == TInsuranceMax::imFull ? insured : insured / 2);
    return pay;
}

[[noreturn]] void ThrowNoOutcomes(const TEvalAnalysis& a) {
    if (a.DealerCards > 5) {
        throw TEvalError("Расклад нельзя оценить: у дилера " + std::to_string(a.DealerCards) +
                         " карт, а в его руке их пять");
    }
    throw TEvalError("Расклад нельзя оценить: дилеру не хватает карт (нужно ещё " +
                     std::to_string(5 - a.DealerCards) + ", неизвестных осталось " +
                     std::to_string(a.DeckRemaining) + ")");
}

}  // namespace

std::vector<TEvalMode> EvalModes() {
    std::vector<TEvalMode> codes;
    for (const TModeRow& mode : kModes) codes.push_back(mode.Code);
    std::sort(codes.begin(), codes.end());
    return codes;
}

bool IsEvalMode(TEvalMode code) {
    return FindMode(code) != nullptr;
}

// Steps 1 to 5: the player's kind and kept hand, the dealer's completions, the tallies.
TCardTable UnseenCards(const TEvalLayout& layout) {
    // The player's set-aside cards stay in layout.Player, so they are dead as well.
    return (layout.Player | layout.Dealer | layout.Seen).Complement();
}

TEvalAnalysis AnalyseLayout(const TEvalRules& rules, const TEvalLayout& layout) {
    return AnalyseLayout(rules, layout,
                         TCompletionCounts(layout.Dealer, UnseenCards(layout), rules.Counting));
}

TEvalAnalysis AnalyseLayout(const TEvalRules& rules, const TEvalLayout& layout,
                            const TCompletionCounts& dealer) {
    TEvalAnalysis a;
    a.Cards = layout.Player;
    a.Kind = ClassifyHand(layout.Player, rules.Counting.Plays, rules.Counting.RoundStraight);
    a.Kept = layout.Player.Count() > 5
                 ? ReduceToFive(layout.Player, a.Kind, rules.Counting.RoundStraight).Kept
                 : layout.Player;
    const TCardTable unseen = UnseenCards(layout);
    a.DealerCards = layout.Dealer.Count();
    a.DeckRemaining = dealer.DeckRemaining();
    for (TCombinationKind k : kCountedKinds) a.KindTotals[k] = dealer.KindTotal(k);
    a.GameTotal = dealer.GameTotal();

    TEvalTallies& t = a.Tallies;
    t.DealerOutcomes = dealer.Outcomes();
    if (a.Kind == ckNoGame) {
        t.DealerWins = a.GameTotal;
    } else if (a.Kind == ckRoyalFlush) {
        t.Ties = a.KindTotals[ckRoyalFlush];
        t.PlayerWins = a.GameTotal - t.Ties;
    } else {
        const std::optional<TPattern> pattern =
            PlayerPattern(a.Kind, a.Kept, unseen, rules.Counting);
        const TPatternSplit split = dealer.SplitAround(a.Kind, pattern);
        t.DealerWins = split.Before;
        t.Ties = split.At;
        t.PlayerWins = split.After;
        for (TCombinationKind k : kCountedKinds) {
            if (k < a.Kind) t.DealerWins += a.KindTotals[k];
            if (k > a.Kind) t.PlayerWins += a.KindTotals[k];
        }
    }
    t.DealerNoGame = t.DealerOutcomes - t.DealerWins - t.PlayerWins - t.Ties;
    return a;
}

TEvalResult EvaluateLayout(const TEvalRules& rules, const TEvalLayout& layout, TEvalMode code) {
    return EvaluateAnalysis(rules, AnalyseLayout(rules, layout), code, layout.ExtraStake);
}

TEvalResult EvaluateAnalysis(const TEvalRules& rules, const TEvalAnalysis& a, TEvalMode code,
                             float extraStake) {
    TEvalResult result;
    result.PlayerKind = a.Kind;
    result.DeckRemaining = a.DeckRemaining;
    result.Tallies = a.Tallies;
    result.HandInsurable = a.Kind != ckNoGame && rules.Insurable[a.Kind];

    const TModeRow* mode = FindMode(code);
    if (mode == nullptr || mode->Kind == TModeKind::Listing) return result;
    const TPayouts pay = Payouts(rules, a, extraStake);
    if (mode->Kind == TModeKind::DeclineDealerGame) {
        // Declining is worth the payout without a dealer game, however his hand stands.
        result.Value = RoundHalfEven(static_cast<long double>(pay.NoGame) * 10000);
        result.Payouts = {result.Value, result.Value, result.Value, result.Value};
        return result;
    }
    const TEvalTallies& t = a.Tallies;
    if (t.DealerOutcomes == 0) ThrowNoOutcomes(a);

    // Step 7, in extended precision. Ties add nothing.
    const long double outcomes = t.DealerOutcomes;
    const long double lose = t.DealerWins / outcomes;
    const long double win = t.PlayerWins / outcomes;
    const long double none = t.DealerNoGame / outcomes;
    const long double bet = rules.BetSize;
    const long double loss = static_cast<long double>(pay.Loss) - bet;
    // What a win, a loss and a dealer without a game bring under this code.
    long double winAmount = 0;
    long double lossAmount = 0;
    long double noGameAmount = 0;
    long double draws = 1;
    switch (mode->Kind) {
        case TModeKind::Bet:
            winAmount = pay.Win;
            lossAmount = loss;
            noGameAmount = pay.NoGame;
            break;
        case TModeKind::BetInsured:
            winAmount = static_cast<long double>(pay.Win) - pay.Insured;
            lossAmount = loss;
            noGameAmount = static_cast<long double>(pay.NoGame) + pay.Insured;
            break;
        case TModeKind::Draw:
        case TModeKind::BuyDealerGame: {
            const long double cost = ModeCost(rules, *mode);
            // A dealer who still has no game after his new card: the player loses only what he
            // has paid.
            const long double noGame = mode->Kind == TModeKind::Draw
                                           ? static_cast<long double>(pay.NoGame)
                                           : -static_cast<long double>(extraStake);
            winAmount = pay.Win - cost;
            lossAmount = loss - cost;
            noGameAmount = noGame - cost;
            draws = DrawCount(mode->Draws, a.DeckRemaining);
            break;
        }
        default:
            break;
    }
    // The order of the terms is kept per code, so that every value rounds as it always has.
    const long double value =
        mode->Kind == TModeKind::Draw || mode->Kind == TModeKind::BuyDealerGame
            ? (win * winAmount + none * noGameAmount + lose * lossAmount) / draws
            : lose * lossAmount + win * winAmount + none * noGameAmount;
    result.Value = RoundHalfEven(value * 10000);
    result.Payouts = {RoundHalfEven(lossAmount * 10000), RoundHalfEven(winAmount * 10000), 0,
                      RoundHalfEven(noGameAmount * 10000)};
    return result;
}

TCombinationListing ListCombinations(const TEvalRules& rules, const TEvalLayout& layout) {
    const TEvalAnalysis a = AnalyseLayout(rules, layout);
    TCombinationListing listing;
    for (std::size_t i = 0; i < kCountedKinds.size(); ++i) {
        listing.Numbers[i] = a.KindTotals[kCountedKinds[i]];
    }
    listing.Numbers[10] = a.Tallies.DealerNoGame;
    listing.DealerCanHaveGame = a.GameTotal != 0;
    if (listing.DealerCanHaveGame) {
        for (std::size_t i = 0; i < listing.Numbers.size(); ++i) {
            if (i > 0) listing.CountsText += '\r';
            listing.CountsText += std::to_string(listing.Numbers[i]);
        }
    } else {
        listing.CountsText = kNoGameCombinations;
        listing.HideKindNames = true;
    }
    return listing;
}

}  // namespace studlab
