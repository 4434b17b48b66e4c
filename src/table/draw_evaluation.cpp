// The actions that bring new cards: buying, exchanging, and buying the dealer a game. Each is
// worth the mean of the evaluator's value over the cards that may arrive, either over every
// possible arrival or over random ones.

#include <array>
#include <vector>

#include "table/decision_table.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TPlayerAction;

// Cards that can arrive: in nobody's hand and not known to be out, in scan order.
struct TUnseenCards {
    std::array<std::uint64_t, kCards> Bits{};
    int Count = 0;

    explicit TUnseenCards(TCardTable seen) {
        for (std::uint64_t m = seen.Complement().Mask(); m != 0; m &= m - 1) Bits[Count++] = m & -m;
    }
};

// The evaluation codes: the last significant digit is the stage, a trailing 0 the full count.
constexpr TEvalMode ExchangeMode(int cards, int stage, bool exact) {
    if (cards == 1) return 10 + stage;
    return exact ? cards * 100 + stage * 10 : cards * 10 + stage;
}
constexpr TEvalMode BuyMode(int cards, int stage, bool exact) {
    if (cards == 1) return 60 + stage;
    return exact ? 700 + stage * 10 : 70 + stage;
}

std::vector<TCardId> CardsOf(TCardTable cards) {
    std::vector<TCardId> list;
    cards.ForEach([&](TCardId id) { list.push_back(id); });
    return list;
}

}  // namespace

std::int64_t TDecisionTable::ExactDraw(TEvalLayout& layout, bool intoDealer, int cards,
                                       TEvalMode mode) {
    TCardTable& target = intoDealer ? layout.Dealer : layout.Player;
    const std::uint64_t base = target.Mask();
    const TUnseenCards unseen(layout.Seen);
    const auto evaluate = [&](std::uint64_t drawn) {
        target = TCardTable::FromMask(base | drawn);
        return Evaluate(layout, mode);
    };
    std::int64_t sum = 0;
    const int n = unseen.Count;
    if (cards == 1) {
        for (int i = 0; i < n; ++i) sum += evaluate(unseen.Bits[i]);
    } else if (cards == 2) {
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) sum += evaluate(unseen.Bits[i] | unseen.Bits[j]);
        }
    } else {
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const std::uint64_t pair = unseen.Bits[i] | unseen.Bits[j];
                for (int l = j + 1; l < n; ++l) sum += evaluate(pair | unseen.Bits[l]);
            }
        }
    }
    target = TCardTable::FromMask(base);
    return sum;
}

std::int32_t TDecisionTable::SampleCount() {
    if (!m_sampleCount) {
        const std::string& cycles = m_settings.ProbabilisticCycles;
        m_sampleCount = cycles.empty() ? 2000 : ParseDesignInteger(cycles);
    }
    return *m_sampleCount;
}

// Random arrivals: each card a suit, then a rank, from the one generator, seeded from the clock
// for every sampled candidate (a random hand's own stream goes on instead). A draw that repeats a
// card or holds a card that is not unseen is drawn again. None when the count of draws is 0 or
// fewer cards are unseen than are drawn: the candidate then has no value.
std::optional<std::int64_t> TDecisionTable::SampledDraw(TEvalLayout& layout, bool intoDealer,
                                                        int cards, TEvalMode mode) {
    m_random.SeedFrom(*m_clock);  // also when nothing is drawn: later deals leave the sequence
    const std::int32_t draws = SampleCount();
    if (draws < 0) return 0;
    if (draws == 0 || layout.Seen.Complement().Count() < cards) return std::nullopt;
    TCardTable& target = intoDealer ? layout.Dealer : layout.Player;
    const std::uint64_t base = target.Mask();
    const std::uint64_t seen = layout.Seen.Mask();
    std::int64_t sum = 0;
    for (std::int32_t accepted = 0; accepted < draws;) {
        std::uint64_t drawn = 0;
        bool usable = true;
        for (int c = 0; c < cards; ++c) {
            const SuitIndex suit = static_cast<SuitIndex>(m_random.Below(kSuits)) + 1;
            const RankIndex rank = static_cast<RankIndex>(m_random.Below(kRanks)) + 1;
            const std::uint64_t bit = std::uint64_t{1} << TCardTable::BitOf(rank, suit);
            if ((seen & bit) != 0 || (drawn & bit) != 0) usable = false;
            drawn |= bit;
        }
        if (!usable) continue;
        target = TCardTable::FromMask(base | drawn);
        sum += Evaluate(layout, mode);
        ++accepted;
    }
    target = TCardTable::FromMask(base);
    return sum;
}

// The value of an arrival of `cards` cards as text: the exact sum is already the mean (the
// evaluator divides every term by the number of arrivals); the sampled sum is divided here.
std::optional<std::int64_t> TDecisionTable::DrawSum(TEvalLayout& layout, bool intoDealer, int cards,
                                                    bool exact, TEvalMode mode) {
    if (exact) return ExactDraw(layout, intoDealer, cards, mode);
    return SampledDraw(layout, intoDealer, cards, mode);
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
    TEvalLayout layout = TableLayout();
    AddCandidate("купить карту ", ExactValue(ExactDraw(layout, false, 1, BuyMode(1, stage, true))),
                 "4");
}

void TDecisionTable::OfferBuyTwoCards(int stage) {
    TEvalLayout layout = TableLayout();
    const bool exact = m_settings.CalcMethod == TCalcMethod::cmDirect;
    const auto sum = DrawSum(layout, false, 2, exact, BuyMode(2, stage, exact));
    AddCandidate("купить две карты ", exact ? ExactValue(*sum) : SampledValue(sum, SampleCount()),
                 "5");
}

void TDecisionTable::OfferExchange1(int stage) {
    TEvalLayout layout = TableLayout();
    for (TCardId p : CardsOf(m_state.PlayerCards)) {
        layout.Player.Remove(p);
        const std::int64_t sum = ExactDraw(layout, false, 1, ExchangeMode(1, stage, true));
        layout.Player.Add(p);
        const int slot = AddCandidate("поменять " + CardName(p), ExactValue(sum), "6");
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
            const auto sum = DrawSum(layout, false, 2, exact, ExchangeMode(2, stage, exact));
            layout.Player.Add(cards[i]);
            layout.Player.Add(cards[j]);
            const int slot =
                AddCandidate("поменять " + CardName(cards[i]) + " и " + CardName(cards[j]),
                             exact ? ExactValue(*sum) : SampledValue(sum, SampleCount()), "7");
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
            const auto sum = DrawSum(layout, false, 3, exact, ExchangeMode(3, stage, exact));
            const int slot = AddCandidate(
                "поменять все, кроме " + CardName(cards[i]) + " и " + CardName(cards[j]),
                exact ? ExactValue(*sum) : SampledValue(sum, SampleCount()), "8");
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
        const auto sum = SampledDraw(layout, false, 4, ExchangeMode(4, stage, false));
        const int slot = AddCandidate("поменять все, кроме " + CardName(cards[i]) + " ",
                                      SampledValue(sum, SampleCount()), "9");
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
    const auto sum = SampledDraw(layout, false, 5, ExchangeMode(5, stage, false));
    const int slot = AddCandidate(stage == 1 ? "поменять все карты " : "поменять 5 карт ",
                                  SampledValue(sum, SampleCount()), "10");
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

    static constexpr std::array<std::pair<const char*, const char*>, kStages + 1> kCodes = {
        {{"", ""}, {"", ""}, {"11", "12"}, {"4", "5"}, {"1", "2"}}};
    m_state.DealerSwapCard = CardName(*swap);
    TEvalLayout layout = TableLayout();
    layout.Dealer.Remove(*swap);
    const std::int64_t buy = ExactDraw(layout, true, 1, kModeBuyDealerGame);
    const std::int64_t decline = Evaluate(layout, kModeDeclineDealerGame);
    AddCandidate("купить игру дилеру ", ExactValue(buy), kCodes[stage].first);
    AddCandidate("не покупать игру дилеру", ExactValue(decline), kCodes[stage].second);
}

}  // namespace studlab
