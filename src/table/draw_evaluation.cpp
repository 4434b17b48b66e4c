// The actions that bring new cards: buying, exchanging, and buying the dealer a game. Each is
// worth the mean of the evaluator's value over the cards that may arrive, either over every
// possible arrival or over random ones.

#include <vector>

#include "table/choice_codes.h"
#include "table/decision_table.h"
#include "text/number_text.h"

namespace studlab {
namespace {

std::vector<TCardId> CardsOf(TCardTable cards) {
    std::vector<TCardId> list;
    cards.ForEach([&](TCardId id) { list.push_back(id); });
    return list;
}

}  // namespace

TLayoutValue TDecisionTable::ValueOf(TEvalMode mode) {
    return [this, mode](const TEvalLayout& layout) { return Evaluate(layout, mode); };
}

std::int64_t TDecisionTable::ExactDraw(const TEvalLayout& layout, TDrawTarget target, int cards,
                                       TEvalMode mode) {
    return ExactDrawSum(layout, target, cards, ValueOf(mode));
}

// Random arrivals into the player's hand from the one generator, seeded from the clock for
// every sampled candidate.
std::optional<std::int64_t> TDecisionTable::SampledDraw(const TEvalLayout& layout, int cards,
                                                        TEvalMode mode) {
    m_random.SeedFrom(*m_clock);  // also when nothing is drawn: later deals leave the sequence
    return SampledDrawSum(layout, TDrawTarget::dtPlayer, cards, m_sampleCount, m_random,
                          ValueOf(mode));
}

// The value of an arrival of `cards` cards into the player's hand: the exact sum is already the
// mean (the evaluator divides every term by the number of arrivals); the sampled sum is divided
// when it is shown.
std::optional<std::int64_t> TDecisionTable::DrawSum(const TEvalLayout& layout, int cards,
                                                    bool exact, TEvalMode mode) {
    if (exact) return ExactDraw(layout, TDrawTarget::dtPlayer, cards, mode);
    return SampledDraw(layout, cards, mode);
}

namespace {

std::string ExactValue(std::int64_t sum) {
    return FormatTenThousandths(sum);
}

std::string SampledValue(const std::optional<std::int64_t>& sum, std::int32_t draws) {
    if (!sum) return "";
    if (draws <= 0) return "0";
    return FormatNumber(static_cast<long double>(*sum) / 10000 / draws);
}

}  // namespace

void TDecisionTable::OfferBuyCard(int stage) {
    const std::int64_t sum =
        ExactDraw(TableLayout(), TDrawTarget::dtPlayer, 1, BuyMode(1, stage, true));
    AddCandidate("купить карту ", ExactValue(sum), kBuyCardCode);
}

void TDecisionTable::OfferBuyTwoCards(int stage) {
    const bool exact = m_settings.CalcMethod == TCalcMethod::cmDirect;
    const auto sum = DrawSum(TableLayout(), 2, exact, BuyMode(2, stage, exact));
    AddCandidate("купить две карты ", exact ? ExactValue(*sum) : SampledValue(sum, m_sampleCount),
                 kBuyTwoCardsCode);
}

void TDecisionTable::OfferExchange1(int stage) {
    TEvalLayout layout = TableLayout();
    for (TCardId p : CardsOf(m_state.PlayerCards)) {
        layout.Player.Remove(p);
        const std::int64_t sum =
            ExactDraw(layout, TDrawTarget::dtPlayer, 1, ExchangeMode(1, stage, true));
        layout.Player.Add(p);
        const int slot = AddCandidate("поменять " + CardName(p), ExactValue(sum), ExchangeCode(1));
        if (slot != 0) m_state.Candidates.Slot(slot).Cards[0] = CardName(p);
    }
}

void TDecisionTable::OfferExchange2(int stage) {
    TEvalLayout layout = TableLayout();
    const bool exact = m_settings.CalcMethod == TCalcMethod::cmDirect;
    const std::vector<TCardId> cards = CardsOf(m_state.PlayerCards);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        for (std::size_t j = i + 1; j < cards.size(); ++j) {
            layout.Player.Remove(cards[i]);
            layout.Player.Remove(cards[j]);
            const auto sum = DrawSum(layout, 2, exact, ExchangeMode(2, stage, exact));
            layout.Player.Add(cards[i]);
            layout.Player.Add(cards[j]);
            const int slot = AddCandidate(
                "поменять " + CardName(cards[i]) + " и " + CardName(cards[j]),
                exact ? ExactValue(*sum) : SampledValue(sum, m_sampleCount), ExchangeCode(2));
            if (slot != 0) {
                m_state.Candidates.Slot(slot).Cards[0] = CardName(cards[i]);
                m_state.Candidates.Slot(slot).Cards[1] = CardName(cards[j]);
            }
        }
    }
}

void TDecisionTable::OfferExchange3(int stage) {
    const bool exact = m_settings.CalcMethod == TCalcMethod::cmDirect;
    const std::vector<TCardId> cards = CardsOf(m_state.PlayerCards);
    TEvalLayout layout = TableLayout();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        for (std::size_t j = i + 1; j < cards.size(); ++j) {
            layout.Player = TCardTable();
            layout.Player.Add(cards[i]);
            layout.Player.Add(cards[j]);
            const auto sum = DrawSum(layout, 3, exact, ExchangeMode(3, stage, exact));
            const int slot = AddCandidate(
                "поменять все, кроме " + CardName(cards[i]) + " и " + CardName(cards[j]),
                exact ? ExactValue(*sum) : SampledValue(sum, m_sampleCount), ExchangeCode(3));
            if (slot == 0) continue;
            // The first five cards of the hand, less the two kept: the cards thrown away.
            for (std::size_t c = 0; c < 5 && c < cards.size(); ++c) {
                if (c != i && c != j) m_state.Candidates.Slot(slot).Cards[c] = CardName(cards[c]);
            }
        }
    }
}

void TDecisionTable::OfferExchange4(int stage) {
    const std::vector<TCardId> cards = CardsOf(m_state.PlayerCards);
    TEvalLayout layout = TableLayout();
    for (std::size_t i = 0; i < cards.size(); ++i) {
        layout.Player = TCardTable();
        layout.Player.Add(cards[i]);
        const auto sum = SampledDraw(layout, 4, ExchangeMode(4, stage, false));
        const int slot = AddCandidate("поменять все, кроме " + CardName(cards[i]) + " ",
                                      SampledValue(sum, m_sampleCount), ExchangeCode(4));
        if (slot == 0) continue;
        for (std::size_t c = 0; c < 5 && c < cards.size(); ++c) {
            if (c != i) m_state.Candidates.Slot(slot).Cards[c] = CardName(cards[c]);
        }
    }
}

void TDecisionTable::OfferExchange5(int stage) {
    const std::vector<TCardId> cards = CardsOf(m_state.PlayerCards);
    TEvalLayout layout = TableLayout();
    layout.Player = TCardTable();
    const auto sum = SampledDraw(layout, 5, ExchangeMode(5, stage, false));
    const int slot = AddCandidate(stage == 1 ? "поменять все карты " : "поменять 5 карт ",
                                  SampledValue(sum, m_sampleCount), ExchangeCode(5));
    if (slot == 0) return;
    for (std::size_t c = 0; c < cards.size() && c < TCandidateTable::kCardFields; ++c) {
        m_state.Candidates.Slot(slot).Cards[c] = CardName(cards[c]);
    }
}

// The dealer throws away his highest card (ranks from the ace, suits from hearts), or his
// lowest (ranks from the two, suits from spades) when the design says so, and gets one new card.
void TDecisionTable::OfferDealerGame(int stage) {
    std::optional<TCardId> swap;
    const TCardTable& dealer = m_state.DealerCards;
    if (m_design.DealerBuysLowest) {
        for (RankIndex r = kRanks; r >= 1 && !swap; --r) {
            for (SuitIndex s = kSuits; s >= 1 && !swap; --s) {
                if (dealer.Has(r, s)) swap = CardIdOf(r, s);
            }
        }
    } else {
        dealer.ForEach([&](TCardId id) {
            if (!swap) swap = id;
        });
    }
    if (!swap) return;

    m_state.DealerSwapCard = CardName(*swap);
    TEvalLayout layout = TableLayout();
    layout.Dealer.Remove(*swap);
    const std::int64_t buy = ExactDraw(layout, TDrawTarget::dtDealer, 1, kModeBuyDealerGame);
    const std::int64_t decline = Evaluate(layout, kModeDeclineDealerGame);
    AddCandidate("купить игру дилеру ", ExactValue(buy), BuyDealerGameCode(stage));
    AddCandidate("не покупать игру дилеру", ExactValue(decline), DeclineDealerGameCode(stage));
}

}  // namespace studlab
