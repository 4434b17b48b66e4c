#include "design/design_rules.h"

#include <cmath>
#include <string>

#include "cards/evaluator.h"
#include "design/design_numbers.h"
#include "text/number_text.h"

namespace studlab {

TCountingRules CountingRulesOf(const TGameDesign& design) {
    return {design.Plays, design.MinPairRank(), design.MinAceKingRule(),
            design.RoundStraight.value_or(false)};
}

std::optional<float> PayoutInSinglePrecision(double antes) {
    const auto payout = static_cast<float>(antes);
    if (RoundHalfEven(static_cast<long double>(payout) * 10000) !=
        RoundHalfEven(static_cast<long double>(antes) * 10000)) {
        return std::nullopt;
    }
    return payout;
}

TEvalRules MakeEvalRules(const TGameDesign& design, const TCalculationSettings& settings) {
    auto real = [&](const TNumberText& text) {
        const double value = ReadRealField(design, settings, text);
        if (std::fabs(value) > kLargestDesignAmount) {
            throw TEvalError(FieldValueMessage(FieldOfText(design, settings, text), text) +
                             ": выплаты и цены не могут превышать " +
                             FormatNumber(kLargestDesignAmount) + " анте");
        }
        return value;
    };
    auto payout = [&](const TNumberText& text) {
        const double value = real(text);
        const std::optional<float> kept = PayoutInSinglePrecision(value);
        if (!kept) {
            throw TEvalError(FieldValueMessage(FieldOfText(design, settings, text), text) +
                             ": выплата хранится числом одинарной точности и стала бы " +
                             FormatNumber(static_cast<float>(value)) +
                             " анте; оно держит каждую десятитысячную анте до 1024 и каждое "
                             "целое анте до 16777216");
        }
        return *kept;
    };
    TEvalRules rules;
    rules.Counting = CountingRulesOf(design);
    for (TCombinationKind k : kCountedKinds) {
        rules.PayQualified[k] = payout(design.PayQualified[k]);
        rules.PayNotQualified[k] = payout(design.PayNotQualified[k]);
    }
    rules.CompositePays = design.CompositePlays;
    rules.BetSize = real(design.BetSize);
    for (int stage = 1; stage <= 2; ++stage) {
        for (int cards = 1; cards <= 2; ++cards) {
            rules.BuyCost[stage][cards] = real(design.BuyCost[stage][cards]);
        }
        for (int cards = 1; cards <= 5; ++cards) {
            rules.ExchangeCost[stage][cards] = real(design.ExchangeCost[stage][cards]);
        }
    }
    rules.BuyDealerGameCost = real(design.BuyDealerGameCost);
    rules.TableMaximum = ReadWholeField(design, settings, settings.TableMaximum);
    // A maximum below one ante would make a winning hand pay nothing, or cost the player.
    if (rules.TableMaximum < 1) {
        throw TEvalError(FieldValueMessage(FieldOfText(design, settings, settings.TableMaximum),
                                           settings.TableMaximum) +
                         ": максимум стола должен быть целым числом от 1 до 2147483647 анте");
    }
    rules.InsuranceMax = design.InsuranceMax();
    rules.Insurable = design.Insurable;
    return rules;
}
}  // namespace studlab
