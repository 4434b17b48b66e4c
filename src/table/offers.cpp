#include "table/offers.h"

#include <array>
#include <bit>
#include <initializer_list>

#include "table/choice_codes.h"

namespace studlab {
namespace {

using enum TPlayerAction;

// The evaluation codes of one arrival: the last significant digit is the decision, a trailing 0
// marks an arrival of the full count.
constexpr TEvalMode ExchangeMode(int cards, int stage, bool sampled) {
    if (cards == 1) return 10 + stage;
    return sampled ? cards * 10 + stage : cards * 100 + stage * 10;
}
constexpr TEvalMode BuyMode(int cards, int stage, bool sampled) {
    if (cards == 1) return 60 + stage;
    return sampled ? 70 + stage : 700 + stage * 10;
}

class TOfferList {
public:
    TOfferList(const TDecisionPoint& point, const TGameDesign& design, const TOfferOptions& options,
               std::vector<TOffer>& offers)
        : m_point(point), m_design(design), m_options(options), m_offers(offers) {
        point.Player.ForEach([&](TCardId id) { m_cards[m_cardCount++] = id; });
        m_offers.clear();
    }

    bool Allows(TPlayerAction action) const { return m_design.Allows(m_point.Stage, action); }

    void Fold() {
        Add({.Action = paFold, .Code = kFoldCode, .Valuation = TOfferValuation::ovFold});
    }
    void Bet() {
        Add({.Action = paBet,
             .Code = kBetCode,
             .Valuation = TOfferValuation::ovBet,
             .Mode = kModeBet});
    }
    void BetInsured() {
        Add({.Action = paBetInsured,
             .Code = kInsuredBetCode,
             .Valuation = TOfferValuation::ovBet,
             .Mode = kModeBetInsured});
    }
    void BuyCards(int cards) {
        const bool sampled = cards == 2 && m_options.Probabilistic;
        Add(DrawOffer(cards == 1 ? paBuyCard : paBuyTwoCards,
                      cards == 1 ? kBuyCardCode : kBuyTwoCardsCode,
                      BuyMode(cards, m_point.Stage, sampled), cards, sampled, m_point.Player));
    }
    // One offer per card or pair of cards thrown away; the rest of the hand is kept.
    void ExchangeOneOrTwo(int cards) {
        const bool sampled = cards == 2 && m_options.Probabilistic;
        const TEvalMode mode = ExchangeMode(cards, m_point.Stage, sampled);
        const TPlayerAction action = cards == 1 ? paExchange1 : paExchange2;
        for (std::size_t i = 0; i < m_cardCount; ++i) {
            if (cards == 1) {
                TOffer o = DrawOffer(action, ExchangeCode(1), mode, 1, false,
                                     Without(m_point.Player, {m_cards[i]}));
                o.Named = {m_cards[i], 0};
                o.Thrown[0] = m_cards[i];
                Add(o);
                continue;
            }
            for (std::size_t j = i + 1; j < m_cardCount; ++j) {
                TOffer o = DrawOffer(action, ExchangeCode(2), mode, 2, sampled,
                                     Without(m_point.Player, {m_cards[i], m_cards[j]}));
                o.Named = {m_cards[i], m_cards[j]};
                o.Thrown[0] = m_cards[i];
                o.Thrown[1] = m_cards[j];
                Add(o);
            }
        }
    }
    // One offer per pair of cards kept (three exchanged) or per card kept (four exchanged): the
    // kept cards alone are valued with the arrivals, and the first five cards of the hand less
    // those kept are thrown away.
    void ExchangeAllBut(int kept) {
        const int cards = 5 - kept;
        const bool sampled = cards == 4 || m_options.Probabilistic;
        const TEvalMode mode = ExchangeMode(cards, m_point.Stage, sampled);
        auto add = [&](TPlayerAction action, std::size_t i, std::size_t j) {
            TCardTable base;
            base.Add(m_cards[i]);
            base.Add(m_cards[j]);
            TOffer o = DrawOffer(action, ExchangeCode(cards), mode, cards, sampled, base);
            o.Named = {m_cards[i], i == j ? 0 : m_cards[j]};
            // The first five cards of the hand in their places, the kept ones left empty.
            for (std::size_t c = 0; c < 5 && c < m_cardCount; ++c) {
                if (c != i && c != j) o.Thrown[c] = m_cards[c];
            }
            Add(o);
        };
        for (std::size_t i = 0; i < m_cardCount; ++i) {
            if (kept == 1) {
                add(paExchange4, i, i);
                continue;
            }
            for (std::size_t j = i + 1; j < m_cardCount; ++j) add(paExchange3, i, j);
        }
    }
    void ExchangeAll() {
        TOffer o = DrawOffer(paExchange5, ExchangeCode(5), ExchangeMode(5, m_point.Stage, true), 5,
                             true, TCardTable());
        for (std::size_t c = 0; c < m_cardCount && c < o.Thrown.size(); ++c) {
            o.Thrown[c] = m_cards[c];
        }
        Add(o);
    }
    void DealerGame() {
        const TCardId swap = DealerSwapCard(m_point.Dealer, m_options.DealerBuysLowest);
        if (swap == 0) return;  // the dealer holds no card to throw away
        const TCardTable rest = Without(m_point.Dealer, {swap});
        TOffer buy = DrawOffer(paBuyDealerGame, BuyDealerGameCode(m_point.Stage),
                               kModeBuyDealerGame, 1, false, rest);
        buy.IntoDealer = true;
        buy.DealerSwap = swap;
        Add(buy);
        Add({.Action = paDeclineDealerGame,
             .Code = DeclineDealerGameCode(m_point.Stage),
             .Valuation = TOfferValuation::ovDeclineDealerGame,
             .Mode = kModeDeclineDealerGame,
             .IntoDealer = true,
             .Base = rest,
             .DealerSwap = swap});
    }

private:
    static TCardTable Without(TCardTable cards, std::initializer_list<TCardId> ids) {
        for (TCardId id : ids) cards.Remove(id);
        return cards;
    }
    static TOffer DrawOffer(TPlayerAction action, std::string_view code, TEvalMode mode, int cards,
                            bool sampled, TCardTable base) {
        return {.Action = action,
                .Code = code,
                .Valuation = TOfferValuation::ovDraw,
                .Mode = mode,
                .Draw = cards,
                .Sampled = sampled,
                .Base = base};
    }
    void Add(const TOffer& offer) { m_offers.push_back(offer); }

    const TDecisionPoint& m_point;
    const TGameDesign& m_design;
    const TOfferOptions& m_options;
    std::array<TCardId, kCards> m_cards{};  // the player's, in scan order
    std::size_t m_cardCount = 0;
    std::vector<TOffer>& m_offers;
};

}  // namespace

TEvalLayout TOffer::ValuedLayout(const TDecisionPoint& point) const {
    TEvalLayout layout = point.Layout();
    if (Valuation == TOfferValuation::ovDraw || Valuation == TOfferValuation::ovDeclineDealerGame) {
        (IntoDealer ? layout.Dealer : layout.Player) = Base;
    }
    return layout;
}

std::vector<TOffer> OffersAt(const TDecisionPoint& point, const TGameDesign& design,
                             const TOfferOptions& options) {
    std::vector<TOffer> offers;
    OffersAt(point, design, options, offers);
    return offers;
}

void OffersAt(const TDecisionPoint& point, const TGameDesign& design, const TOfferOptions& options,
              std::vector<TOffer>& offers) {
    TOfferList list(point, design, options, offers);
    const int stage = point.Stage;
    // After a fold or a bet no card comes to the player any more.
    const bool afterDraw =
        stage == 1 || (stage == 2 && !FoldsOrBets(point.Choice(1))) ||
        (stage == 3 && !FoldsOrBets(point.Choice(2)) && !BuysDealerGame(2, point.Choice(2)));
    if (stage <= 3 && afterDraw) {
        if (list.Allows(paFold)) list.Fold();
        if (list.Allows(paBet)) list.Bet();
        // The first decision offers insurance only to a hand of a kind that may be insured.
        if (list.Allows(paBetInsured) && (stage > 1 || options.Insurable)) list.BetInsured();
    }
    if (stage <= 2 && afterDraw) {
        // At most two cards are bought in a hand.
        const std::string_view c1 = point.Choice(1);
        if (list.Allows(paBuyCard) && (stage == 1 || c1 != kBuyTwoCardsCode)) list.BuyCards(1);
        if (list.Allows(paBuyTwoCards) && (stage == 1 || !IsPurchaseCode(c1))) list.BuyCards(2);
        if (list.Allows(paExchange1)) list.ExchangeOneOrTwo(1);
        if (list.Allows(paExchange2)) list.ExchangeOneOrTwo(2);
        if (list.Allows(paExchange3)) list.ExchangeAllBut(2);
        if (list.Allows(paExchange4)) list.ExchangeAllBut(1);
        if (list.Allows(paExchange5)) list.ExchangeAll();
    }
    // The dealer's game is bought after a bet at the decision before, or at the last decision.
    if (stage >= 2 && list.Allows(paBuyDealerGame) &&
        (stage == 4 || IsBetCode(point.Choice(stage - 1)))) {
        list.DealerGame();
    }
}

std::string OfferCaption(const TOffer& offer, int stage) {
    switch (offer.Action) {
        case paFold:
            return "сделать пас";
        case paBet:
            return "забиться";
        case paBetInsured:
            return stage == 1 ? "забиться со страховкой " : "забиться со страховкой";
        case paBuyCard:
            return "купить карту ";
        case paBuyTwoCards:
            return "купить две карты ";
        case paExchange1:
            return "поменять " + CardName(offer.Named[0]);
        case paExchange2:
            return "поменять " + CardName(offer.Named[0]) + " и " + CardName(offer.Named[1]);
        case paExchange3:
            return "поменять все, кроме " + CardName(offer.Named[0]) + " и " +
                   CardName(offer.Named[1]);
        case paExchange4:
            return "поменять все, кроме " + CardName(offer.Named[0]) + " ";
        case paExchange5:
            return stage == 1 ? "поменять все карты " : "поменять 5 карт ";
        case paBuyDealerGame:
            return "купить игру дилеру ";
        case paDeclineDealerGame:
            return "не покупать игру дилеру";
    }
    return {};
}

TCardId DealerSwapCard(TCardTable dealer, bool lowest) {
    if (dealer.Empty()) return 0;
    if (!lowest) return TCardTable::CardOfBit(std::countr_zero(dealer.Mask()));
    // Scan order backwards: ranks from the two, suits from spades.
    return TCardTable::CardOfBit(63 - std::countl_zero(dealer.Mask()));
}

bool SamplesDraws(const TGameDesign& design, bool probabilistic) {
    using enum TPlayerAction;
    bool samples = false;
    for (int stage = 1; stage <= 2; ++stage) {
        samples = samples || design.Allows(stage, paExchange4) ||
                  design.Allows(stage, paExchange5) ||
                  (probabilistic &&
                   (design.Allows(stage, paBuyTwoCards) || design.Allows(stage, paExchange2) ||
                    design.Allows(stage, paExchange3)));
    }
    return samples;
}

}  // namespace studlab
