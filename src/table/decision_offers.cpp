// The candidates of a decision: what the stage offers, each valued and added to the candidate
// table in the order the stage lists them.

#include <algorithm>

#include "design/design_numbers.h"
#include "table/choice_codes.h"
#include "table/hand_parts.h"
#include "table/offer_values.h"
#include "text/number_text.h"

namespace studlab {

TDecisionPoint THand::CurrentPoint() const {
    TDecisionPoint point;
    point.Stage = m_state.HandStage;
    point.Player = m_state.PlayerCards;
    point.Dealer = m_state.DealerCards;
    point.Out = m_state.OutCards;
    for (int stage = 1; stage <= kStages; ++stage) {
        point.Choices[static_cast<std::size_t>(stage)] = m_state.Choice(stage);
    }
    point.Balance = m_state.PlayerBalance;
    point.ExtraStake = m_state.ExtraStake;
    return point;
}

TEvalResult THand::Evaluate(const TEvalLayout& layout, TEvalMode mode) {
    ++m_evaluatorCalls;
    // A hand after a counted decision's draw is analysed from its completions counted once.
    std::optional<TEvalAnalysis> counted;
    if (m_countsDraws) counted = m_parts->CountedDraws.Analysis(Rules(), layout);
    const TEvalResult result = counted
                                   ? EvaluateAnalysis(Rules(), *counted, mode, layout.ExtraStake)
                                   : EvaluateLayout(Rules(), layout, mode);
    m_state.HandInsurable = result.HandInsurable;
    return result;
}

std::int32_t THand::SampleCount() {
    if (!m_sampleCount) {
        const std::string& cycles = m_settings.ProbabilisticCycles;
        m_sampleCount = cycles.empty() ? 2000 : ReadWholeField(m_design, m_settings, cycles);
    }
    return *m_sampleCount;
}

void THand::AddOffers() {
    using enum TPlayerAction;
    const TDecisionPoint point = CurrentPoint();
    // The insured bet is listed where the hand may be insured, which the bet's evaluation tells.
    TValuation valuation{
        .Design = m_design,
        .Evaluator = *this,
        .Offers = {.Probabilistic = m_settings.CalcMethod == TCalcMethod::cmProbabilistic,
                   .Insurable = true,
                   .DealerBuysLowest = m_design.DealerBuysLowest},
        .LookAhead = m_settings.LookAhead,
        .Random = &m_random,
        .Clock = m_clock,
    };
    const std::vector<TOffer> offers = OffersAt(point, m_design, valuation.Offers);
    if (m_countsDraws && WorthCountingDraws(point, offers, valuation)) {
        valuation.CountedDraws = &m_parts->CountedDraws;
        m_parts->CountedDraws.Prepare(Rules(), point.Layout());
    }
    const bool firstDecision = point.Stage == 1;
    const bool betOffered = std::any_of(offers.begin(), offers.end(),
                                        [](const TOffer& o) { return o.Action == paBet; });
    // Without a bet on offer the first decision still evaluates one, to know the hand's kind.
    bool insurabilityKnown = !firstDecision || betOffered;
    for (const TOffer& offer : offers) {
        if (!insurabilityKnown && offer.Action != paFold) {
            Evaluate(TableLayout(), kModeBet);
            insurabilityKnown = true;
        }
        if (firstDecision && offer.Action == paBetInsured && !m_state.HandInsurable) continue;
        if (offer.Action == paBuyDealerGame) m_state.DealerSwapCard = CardName(offer.DealerSwap);
        // The draws of the probabilistic method are read only when a draw is sampled.
        if (offer.Sampled) valuation.SampleCount = SampleCount();
        const int slot = AddCandidate(OfferCaption(offer, point.Stage),
                                      ValueOffer(point, offer, valuation).Text, offer.Code);
        if (slot == 0) continue;
        for (std::size_t c = 0; c < offer.Thrown.size(); ++c) {
            if (offer.Thrown[c] != 0)
                m_state.Candidates.Slot(slot).Cards[c] = CardName(offer.Thrown[c]);
        }
    }
    if (!insurabilityKnown) Evaluate(TableLayout(), kModeBet);
}

}  // namespace studlab
