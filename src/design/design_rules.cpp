#include "design/design_rules.h"

#include <cmath>
#include <string>

#include "cards/evaluator.h"
#include "design/design_numbers.h"
#include "text/number_text.h"

namespace studlab {

TCountingRules CountingRulesOf(const TGameDesign& design) {
    return {design.Plays, design.MinPairRank(), design.MinAceKingRule()};
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
    auto payout = [&](const TNumberText& text) { return static_cast<float>(real(text)); };
    TEvalRules rules;
    rules.Counting = CountingRulesOf(design);
    for (TCombinationKind k : kCountedKinds) {
        rules.PayQualified[k] = payout(design.PayQualified[k]);
        rules.PayNotQualified[k] = payout(design.PayNotQualified[k]);
    }
    rules.PairAceKingPays = design.CompositePlays[kCompositePairAceKing];
    rules.TwoPairsAceKingPays = design.CompositePlays[kCompositeTwoPairsAceKing];
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
    rules.InsuranceMax = design.InsuranceMax();
    rules.Insurable = design.Insurable;
    return rules;
}
}  // namespace studlab
