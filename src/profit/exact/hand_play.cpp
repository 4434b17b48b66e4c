#include "profit/exact/hand_play.h"

#include "cards/combinatorics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <optional>
#include <utility>

#include "design/design_rules.h"
#include "profit/exact/strategy.h"
#include "table/choice_codes.h"
#include "table/counted_draws.h"
#include "table/draw_sums.h"
#include "text/number_text.h"

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

TFirstAction FirstActionOf(TPlayerAction action) {
    switch (action) {
        case paFold:
            return TFirstAction::faFold;
        case paBet:
            return TFirstAction::faBet;
        case paBetInsured:
            return TFirstAction::faBetInsured;
        case paBuyCard:
            return TFirstAction::faBuyCard;
        case paBuyTwoCards:
            return TFirstAction::faBuyTwoCards;
        case paExchange1:
            return TFirstAction::faExchange1;
        case paExchange2:
            return TFirstAction::faExchange2;
        case paExchange3:
            return TFirstAction::faExchange3;
        case paExchange4:
            return TFirstAction::faExchange4;
        case paExchange5:
            return TFirstAction::faExchange5;
        default:
            return TFirstAction::faNone;
    }
}

// The analyses of the layouts a hand passes through, kept by their cards: the valuation of a
// draw and the decision after that same draw look at the same cards. A small table in which a
// newer layout replaces an older one of the same place.
class TAnalysisMemo {
public:
    // The analysis stays valid until the next call.
    const TEvalAnalysis& Get(const TEvalRules& rules, const TEvalLayout& layout) {
        TEntry& e = EntryOf(layout);
        if (!e.Used) {
            std::optional<TEvalAnalysis> counted;
            if (m_counted != nullptr) counted = m_counted->Analysis(rules, layout);
            e.Analysis = counted ? *counted : AnalyseLayout(rules, layout);
        }
        e.Used = true;
        return e.Analysis;
    }
    // Layouts that the counted completions serve are analysed from them.
    void CountWith(TCountedDraws* counted) { m_counted = counted; }
    // Keeps an analysis made elsewhere for the layout.
    void Put(const TEvalLayout& layout, const TEvalAnalysis& analysis) {
        TEntry& e = EntryOf(layout);
        e.Analysis = analysis;
        e.Used = true;
    }

private:
    // The entry of the layout's place, emptied when it held another layout.
    struct TEntry;
    TEntry& EntryOf(const TEvalLayout& layout) {
        const std::uint64_t unseen = UnseenCards(layout).Mask();
        const std::uint64_t p = layout.Player.Mask();
        const std::uint64_t d = layout.Dealer.Mask();
        std::uint64_t h =
            p * 0x9E3779B97F4A7C15ULL ^ d * 0xC2B2AE3D27D4EB4FULL ^ unseen * 0x165667B19E3779F9ULL;
        h ^= h >> 31;
        TEntry& e = m_entries[h % kEntries];
        if (!(e.Player == p && e.Dealer == d && e.Unseen == unseen)) {
            e.Player = p;
            e.Dealer = d;
            e.Unseen = unseen;
            e.Used = false;
        }
        return e;
    }

    static constexpr std::size_t kEntries = 4093;
    struct TEntry {
        std::uint64_t Player = 0;
        std::uint64_t Dealer = 0;
        std::uint64_t Unseen = 0;
        bool Used = false;
        TEvalAnalysis Analysis;
    };
    std::vector<TEntry> m_entries = std::vector<TEntry>(kEntries);
    TCountedDraws* m_counted = nullptr;
};

// The evaluations of a played-out hand: every layout analysed once while it stays in the memo.
class TMemoEvaluator final : public IOfferEvaluator {
public:
    TMemoEvaluator(const TEvalRules& rules, TAnalysisMemo& memo) : m_rules(rules), m_memo(memo) {}
    TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) override {
        return EvaluateAnalysis(m_rules, m_memo.Get(m_rules, layout), mode, layout.ExtraStake);
    }
    const TEvalRules& Rules() override { return m_rules; }

private:
    const TEvalRules& m_rules;
    TAnalysisMemo& m_memo;
};

// A decision point of a hand being played out, and how many of the cards unseen at the first
// layout have arrived since.
struct TNode {
    TDecisionPoint Point;
    int Consumed = 0;
};

// Plays out the hands that follow one first layout. Every value is a numerator over the number
// of ordered ways the cards the design can still deal may come (Dealings): at a node where
// `consumed` cards have arrived that is (T)_(r), T the unseen cards, r the depth left; an
// arrival of k cards from T weighs (T)_(r) / (C(T, k) (T - k)_(r - k)) = k! times its
// continuation, and a settlement over C(T, h) completions of the dealer weighs h! (T - h)_(r - h)
// per completion.
class TWalker {
public:
    explicit TWalker(const TExactGame& game) : m_game(game), m_evaluator(game.Rules(), m_memo) {
        m_memo.CountWith(&m_counted);
    }

    // The common denominator of the hands that follow a first layout with `unseen` unseen cards:
    // the ordered ways of dealing the design's depth of them.
    void SetUnseen(int unseen) {
        if (unseen == m_unseen) return;
        m_unseen = unseen;
        const int depth = std::min(m_game.Depth(), unseen);
        m_scale.assign(static_cast<std::size_t>(depth) + 1, TInt256(1));
        for (int c = 0; c <= depth; ++c) {
            for (int i = 0; i < depth - c; ++i)
                m_scale[static_cast<std::size_t>(c)] *= unseen - c - i;
        }
    }

    // What one first layout brought, as numerators over its weight.
    struct TPlayed {
        TInt256 Result;
        TInt256 BestResult;
        TInt256 Weight;
        TPlayerAction FirstAction = TPlayerAction::paFold;
        bool FirstActionTaken = false;
        bool BestDiffers = false;
    };
    TPlayed Play(const TDecisionPoint& first, std::int64_t members, TExactSums& sums);
    // The return cells the hands played since the last call touched, one bit each.
    std::uint64_t TakeTouchedCells() { return std::exchange(m_touched, 0); }
    // The strategy tallies they touched.
    const std::vector<std::size_t>& TouchedTallies() const { return m_touchedTallies; }
    void ForgetTouchedTallies() { m_touchedTallies.clear(); }
    bool SuitSensitive() const { return m_suitSensitive; }
    void ForgetSuitSensitivity() { m_suitSensitive = false; }

private:
    struct TValued {
        std::vector<TOffer> Offers;
        std::vector<double> Compared;  // what the decision compares: its shown values
        std::vector<TInt256> Best;     // with the best continuation, when asked for
        int Chosen = -1;               // none: nothing was offered
        TEvalAnalysis Here;            // the cards on the table as they stand
        TEvalResult Bet;               // a plain bet on them: what the settlement brings
    };

    TEvalAnalysis Analysis(const TEvalLayout& layout) { return m_memo.Get(m_game.Rules(), layout); }
    const TInt256& Scale(int consumed) const {
        return m_scale[static_cast<std::size_t>(
            std::min<int>(consumed, static_cast<int>(m_scale.size()) - 1))];
    }

    // The decision at `node` with its offers valued; kept in a place of its stage, which the
    // decisions further down the hand leave alone, until the next decision of that stage.
    const TValued& Value(const TNode& node, bool wantBest);
    TInt256 BestOf(const TNode& node);
    void ValueDrawsTogether(const TNode& node, TValued& v, bool wantBest);
    void BestOfDrawsApart(const TNode& node, TValued& v);
    // A decision that offers only folds and bets: its offers and the value of folding, the same
    // for every arrival that leads to it (from the second decision on the offers depend on the
    // choices, not on the cards). No offers: the decision is valued as a whole.
    struct TFoldOrBet {
        std::vector<TOffer> Offers;
        double FoldValue = 0;
        bool Folds = false;
        bool Bets = false;
    };
    TFoldOrBet FoldOrBetAt(const TNode& node);
    void RealizeFoldOrBet(const TNode& node, const TFoldOrBet& decision, const TInt256& weight,
                          TExactSums& sums);
    TInt256 BestOfFoldOrBet(const TNode& node, const TEvalAnalysis& here,
                            const TFoldOrBet& decision) const;
    // One draw offer's sums while its arrivals are counted.
    struct TDrawSums {
        std::size_t Offer = 0;
        TWideSum Sum = 0;
        TWideSum Outcomes = 0;
        bool ChildIsValued = false;
        TInt256 Best;
        std::optional<TFoldOrBet> Child;  // the decision after the draw, once looked at
    };
    void Realize(const TNode& node, const TValued& valued, const TInt256& weight, TExactSums& sums);
    void RealizeNode(const TNode& node, const TInt256& weight, TExactSums& sums) {
        if (node.Point.Stage > kStages) return Settle(node, weight, sums);
        Realize(node, Value(node, false), weight, sums);
    }

    TInt256 SettledBest(const TNode& node, const TEvalResult& bet) const;
    TInt256 SettledBest(const TNode& node);
    void Settle(const TNode& node, const TEvalAnalysis& here, const TEvalResult& bet,
                const TInt256& weight, TExactSums& sums);
    void Settle(const TNode& node, const TInt256& weight, TExactSums& sums);
    void Fold(const TNode& node, const TInt256& weight, TExactSums& sums);
    std::int64_t FoldPayout(const TNode& node) const {
        return RoundHalfEven(static_cast<long double>(node.Point.Balance) * 10000);
    }
    TNode After(const TNode& node, const TOffer& offer, TCardTable arrival) const {
        return {PointAfter(node.Point, offer, arrival, m_game.Rules()),
                node.Consumed + arrival.Count()};
    }
    static TNode AfterNothing(const TNode& node) {
        return {PointAfterNothing(node.Point), node.Consumed};
    }
    void NoteTies(const TValued& v);
    void Touch(TCombinationKind kind, TFinalOutcome outcome) {
        m_touched |= std::uint64_t{1}
                     << ((KindIndex(kind) - 1) * kFinalOutcomes + static_cast<int>(outcome));
    }
    void NoteTruncation(const TNode& node, const TOffer& offer);

    const TExactGame& m_game;
    TAnalysisMemo m_memo;
    TMemoEvaluator m_evaluator;
    int m_unseen = -1;
    TFoldValueMemo m_foldValues;
    TCountedDraws m_counted;  // the dealer's completions of the last decision counted
    bool m_countsFirstDecision = false;  // the first layout's draws are worth counting
    std::array<TValued, kStages + 1> m_valued;                 // [stage]
    std::array<std::vector<TDrawSums>, kStages + 1> m_groups;  // [stage]
    std::uint64_t m_touched = 0;
    std::vector<std::size_t> m_touchedTallies;
    std::vector<TInt256> m_scale;
    bool m_suitSensitive = false;
};

// Decisions that tie on value are taken by the earlier slot; within one action the slots follow
// the cards in scan order, so a permutation of the suits could change which one is taken.
void TWalker::NoteTies(const TValued& v) {
    if (v.Chosen < 0) return;
    const auto chosen = static_cast<std::size_t>(v.Chosen);
    for (std::size_t i = 0; i < v.Offers.size(); ++i) {
        if (i != chosen && v.Offers[i].Action == v.Offers[chosen].Action &&
            v.Compared[i] == v.Compared[chosen]) {
            m_suitSensitive = true;
        }
    }
}

// With more than five cards an exchange of three, four or all cards throws away the first five
// it lists (less the cards kept); when the fifth and the sixth card of the hand are of one rank,
// the suits decide which of them is among the five.
void TWalker::NoteTruncation(const TNode& node, const TOffer& offer) {
    const TCardTable hand = node.Point.Player;
    if (hand.Count() <= 5) return;
    if (offer.Action != paExchange3 && offer.Action != paExchange4 && offer.Action != paExchange5)
        return;
    std::array<TCardId, 7> cards{};
    std::size_t n = 0;
    hand.ForEach([&](TCardId id) {
        if (n < cards.size()) cards[n++] = id;
    });
    if (RankIndexOf(cards[4]) == RankIndexOf(cards[5])) m_suitSensitive = true;
}

const TWalker::TValued& TWalker::Value(const TNode& node, bool wantBest) {
    TValued& v = m_valued[static_cast<std::size_t>(node.Point.Stage)];
    v.Chosen = -1;
    const TDecisionPoint& p = node.Point;
    v.Here = Analysis(p.Layout());
    v.Bet = EvaluateAnalysis(m_game.Rules(), v.Here, kModeBet, p.ExtraStake);
    // The decision's own valuation of its offers, on the analyses kept in the memo.
    TValuation valuation{.Design = m_game.Design(),
                         .Evaluator = m_evaluator,
                         .Offers = m_game.OfferOptions(),
                         .LookAhead = m_game.LookAhead(),
                         .CountSampledExactly = true,
                         .FoldValues = &m_foldValues,
                         .WantText = false};
    valuation.Offers.Insurable = v.Bet.HandInsurable;
    OffersAt(p, m_game.Design(), valuation.Offers, v.Offers);
    // At the first decision: the hands after its draws are analysed from the dealer's completions
    // counted once, where its draws are many.
    if (node.Consumed == 0) {
        m_countsFirstDecision = m_game.CountsDraws() && WorthCountingDraws(p, v.Offers, valuation);
        if (m_countsFirstDecision) {
            m_counted.Prepare(m_game.Rules(), p.Layout());
        } else {
            m_counted.Forget();
        }
    }
    v.Compared.resize(v.Offers.size());
    v.Best.resize(wantBest ? v.Offers.size() : 0);
    for (std::size_t i = 0; i < v.Offers.size(); ++i) {
        const TOffer& o = v.Offers[i];
        NoteTruncation(node, o);
        if (o.Valuation == TOfferValuation::ovBet) {
            // As the decision values a bet: the evaluator's value of its code, in antes.
            const TEvalResult& r =
                o.Mode == kModeBet ? v.Bet
                                   : EvaluateAnalysis(m_game.Rules(), v.Here, o.Mode, p.ExtraStake);
            v.Compared[i] = static_cast<double>(r.Value) / 10000.0;
        } else if (o.Valuation != TOfferValuation::ovDraw || m_game.LookAhead()) {
            v.Compared[i] = ValueOffer(p, o, valuation).Compared.value_or(0.0);
        }
        if (!wantBest) continue;
        if (o.Valuation == TOfferValuation::ovFold) {
            v.Best[i] = Scale(node.Consumed) * FoldPayout(node);
        } else if (o.Valuation == TOfferValuation::ovBet) {
            // The plain and the insured bet settle alike.
            v.Best[i] = SettledBest(node, v.Bet);
        }
    }
    if (!m_game.LookAhead()) ValueDrawsTogether(node, v, wantBest);
    if (wantBest) BestOfDrawsApart(node, v);
    // The highest value, the earlier slot on a tie; nothing offered, nothing chosen.
    for (std::size_t i = 0; i < v.Offers.size(); ++i) {
        if (v.Chosen < 0 || v.Compared[i] > v.Compared[static_cast<std::size_t>(v.Chosen)]) {
            v.Chosen = static_cast<int>(i);
        }
    }
    NoteTies(v);
    return v;
}

// The draws of a decision valued together, arrival by arrival: every draw of k cards meets the
// same sets of k cards, and each set leaves the dealer the same completions whichever cards the
// player keeps, so they are counted once per set (ten exchanges of three cards share every
// triple). Each offer's value is the exact mean over its arrivals, as the decision computes it;
// the order of the sums does not matter, they are whole. Where the hand after the draw is the
// hand valued, the best continuation after each arrival is worked out from the same analysis.
void TWalker::ValueDrawsTogether(const TNode& node, TValued& v, bool wantBest) {
    const TDecisionPoint& p = node.Point;
    const TEvalRules& rules = m_game.Rules();
    const TCardTable table = p.Player | p.Dealer | p.Out;
    const TCardTable arrivals = table.Complement();
    // The decisions after these draws, further down the hand, have groups of their own.
    std::vector<TDrawSums>& group = m_groups[static_cast<std::size_t>(p.Stage)];
    for (int k = 1; k <= 5; ++k) {
        group.clear();
        for (std::size_t i = 0; i < v.Offers.size(); ++i) {
            const TOffer& o = v.Offers[i];
            if (o.Valuation != TOfferValuation::ovDraw || o.IntoDealer || o.Draw != k) continue;
            const bool childIsValued =
                ArrivingCards(o) == k && p.Player.Without(ThrownAway(o)) == o.Base;
            group.push_back({i, 0, 0, childIsValued, TInt256(), std::nullopt});
        }
        if (group.empty()) continue;
        // Without the best play only the means are wanted: counted where counting serves.
        if (!wantBest && node.Consumed == 0 && m_countsFirstDecision &&
            std::all_of(group.begin(), group.end(), [&](const TDrawSums& g) {
                const TOffer& o = v.Offers[g.Offer];
                return TCountedDraws::Serves(rules, o.ValuedLayout(p), o.Draw);
            })) {
            for (const TDrawSums& g : group) {
                const TOffer& o = v.Offers[g.Offer];
                const std::optional<TExactMean> mean =
                    m_counted.Mean(rules, o.ValuedLayout(p), o.Draw, o.Mode);
                v.Compared[g.Offer] =
                    mean->Outcomes == 0 ? 0.0 : static_cast<double>(mean->Rounded()) / 10000.0;
            }
            continue;
        }
        ForEachCardSet(arrivals, k, [&](TCardTable arrival) {
            // The dealer's completions after the arrival, counted in closed form only for the
            // hands the counted completions do not serve.
            std::optional<TCompletionCounts> dealer;
            for (TDrawSums& g : group) {
                const TOffer& o = v.Offers[g.Offer];
                const TEvalLayout valued{o.Base | arrival, p.Dealer, table, p.ExtraStake};
                std::optional<TEvalAnalysis> counted = m_counted.Analysis(rules, valued);
                if (!counted && !dealer) {
                    dealer.emplace(p.Dealer, arrivals.Without(arrival), rules.Counting);
                }
                const TEvalAnalysis a = counted ? *counted : AnalyseLayout(rules, valued, *dealer);
                const TEvalResult r = EvaluateAnalysis(rules, a, o.Mode, p.ExtraStake);
                g.Sum += r.OutcomeSum();
                g.Outcomes += r.Tallies.DealerOutcomes;
                if (wantBest && g.ChildIsValued) {
                    const TNode child = After(node, o, arrival);
                    if (!g.Child) g.Child = FoldOrBetAt(child);
                    if (!g.Child->Offers.empty()) {
                        g.Best += BestOfFoldOrBet(child, a, *g.Child);
                        continue;
                    }
                    m_memo.Put(child.Point.Layout(), a);
                    g.Best += BestOf(child);
                }
            }
        });
        for (const TDrawSums& g : group) {
            v.Compared[g.Offer] =
                g.Outcomes == 0
                    ? 0.0
                    : static_cast<double>(TExactMean{g.Sum, g.Outcomes, 1}.Rounded()) / 10000.0;
            if (wantBest && g.ChildIsValued) v.Best[g.Offer] = g.Best * Factorial(k);
        }
    }
}

TWalker::TFoldOrBet TWalker::FoldOrBetAt(const TNode& node) {
    TFoldOrBet decision;
    if (!m_game.CountsDraws() || node.Point.Stage < 2 || node.Point.Stage > kStages) return decision;
    decision.Offers = OffersAt(node.Point, m_game.Design(), m_game.OfferOptions());
    for (const TOffer& o : decision.Offers) {
        decision.Folds = decision.Folds || o.Valuation == TOfferValuation::ovFold;
        decision.Bets = decision.Bets || o.Valuation == TOfferValuation::ovBet;
        if (o.Valuation != TOfferValuation::ovFold && o.Valuation != TOfferValuation::ovBet) {
            return {};
        }
    }
    const TValuation valuation{.Design = m_game.Design(),
                               .Evaluator = m_evaluator,
                               .Offers = m_game.OfferOptions(),
                               .FoldValues = &m_foldValues,
                               .WantText = false};
    for (const TOffer& o : decision.Offers) {
        if (o.Valuation == TOfferValuation::ovFold) {
            decision.FoldValue = ValueOffer(node.Point, o, valuation).Compared.value_or(0.0);
        }
    }
    return decision;
}

// What Realize(node, Value(node, false)) does for a decision of folds and bets.
void TWalker::RealizeFoldOrBet(const TNode& node, const TFoldOrBet& decision,
                               const TInt256& weight, TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const TEvalAnalysis here = Analysis(p.Layout());
    const TEvalResult bet = EvaluateAnalysis(m_game.Rules(), here, kModeBet, p.ExtraStake);
    std::optional<double> best;
    const TOffer* chosen = nullptr;
    for (const TOffer& o : decision.Offers) {
        double value = decision.FoldValue;
        if (o.Valuation == TOfferValuation::ovBet) {
            const TEvalResult& r =
                o.Mode == kModeBet ? bet : EvaluateAnalysis(m_game.Rules(), here, o.Mode, p.ExtraStake);
            value = static_cast<double>(r.Value) / 10000.0;
        }
        if (!best || value > *best) {
            best = value;
            chosen = &o;
        }
    }
    if (chosen->Valuation == TOfferValuation::ovFold) return Fold(node, weight, sums);
    Settle(node, here, bet, weight, sums);
}

// BestOf a decision that offers only folds and bets, from the analysis of its layout: the better
// of folding and of settling the bet (an insured bet settles as the plain one does).
TInt256 TWalker::BestOfFoldOrBet(const TNode& node, const TEvalAnalysis& here,
                                 const TFoldOrBet& decision) const {
    const TInt256 fold = Scale(node.Consumed) * FoldPayout(node);
    if (!decision.Bets) return fold;
    const TInt256 bet = SettledBest(
        node, EvaluateAnalysis(m_game.Rules(), here, kModeBet, node.Point.ExtraStake));
    return decision.Folds && bet < fold ? fold : bet;
}

// The best continuation after the draws whose hand after the draw is not the hand valued (an
// exchange from six or seven cards), and after every draw when the look-ahead values them.
void TWalker::BestOfDrawsApart(const TNode& node, TValued& v) {
    for (std::size_t i = 0; i < v.Offers.size(); ++i) {
        const TOffer& o = v.Offers[i];
        if (o.Valuation != TOfferValuation::ovDraw || o.IntoDealer) continue;
        const int k = ArrivingCards(o);
        const bool childIsValued =
            k == o.Draw && node.Point.Player.Without(ThrownAway(o)) == o.Base;
        if (childIsValued && !m_game.LookAhead()) continue;
        TInt256 best;
        ForEachCardSet(ArrivalCards(node.Point), k,
                       [&](TCardTable arrival) { best += BestOf(After(node, o, arrival)); });
        v.Best[i] = best * Factorial(k);
    }
}

TInt256 TWalker::BestOf(const TNode& node) {
    if (node.Point.Stage > kStages) return SettledBest(node);
    const TValued& v = Value(node, true);
    if (v.Chosen < 0) return BestOf(AfterNothing(node));
    return *std::max_element(v.Best.begin(), v.Best.end());
}

// A hand that has bet is settled over every completion of the dealer's hand.
TInt256 TWalker::SettledBest(const TNode& node, const TEvalResult& bet) const {
    const int hidden = 5 - node.Point.Dealer.Count();
    return TInt256::From128(bet.OutcomeSum()) * Factorial(hidden) * Scale(node.Consumed + hidden);
}

TInt256 TWalker::SettledBest(const TNode& node) {
    const TDecisionPoint& p = node.Point;
    return SettledBest(
        node, EvaluateAnalysis(m_game.Rules(), Analysis(p.Layout()), kModeBet, p.ExtraStake));
}

void TWalker::Settle(const TNode& node, const TInt256& weight, TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const TEvalAnalysis here = Analysis(p.Layout());
    Settle(node, here, EvaluateAnalysis(m_game.Rules(), here, kModeBet, p.ExtraStake), weight,
           sums);
}

void TWalker::Settle(const TNode& node, const TEvalAnalysis& here, const TEvalResult& r,
                     const TInt256& weight, TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const int hidden = 5 - p.Dealer.Count();
    const TInt256 each = weight * Scale(node.Consumed + hidden) * Factorial(hidden);
    const std::array<std::pair<TCount, std::int64_t>, 4> outcomes = {{
        {r.Tallies.PlayerWins, r.Payouts.PlayerWins},
        {r.Tallies.DealerWins, r.Payouts.DealerWins},
        {r.Tallies.Ties, r.Payouts.Ties},
        {r.Tallies.DealerNoGame, r.Payouts.DealerNoGame},
    }};
    const std::array<TFinalOutcome, 4> kinds = {TFinalOutcome::foWon, TFinalOutcome::foLost,
                                                TFinalOutcome::foTie,
                                                TFinalOutcome::foDealerNoGame};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [count, payout] = outcomes[i];
        if (count == 0) continue;
        const TInt256 ways = each * count;
        const TInt256 amount = ways * payout;
        sums.Result += amount;
        sums.ResultSquares += amount * payout;
        TReturnCell& cell = sums.Cell(here.Kind, kinds[i]);
        Touch(here.Kind, kinds[i]);
        cell.Chance += ways;
        cell.Contribution += amount;
    }
    // Put at risk: the ante, the bet and what was paid for cards.
    const std::int64_t stake = RoundHalfEven(
        (1.0L + static_cast<long double>(p.ExtraStake) + m_game.Rules().BetSize) * 10000);
    sums.Stake += weight * Scale(node.Consumed) * stake;
}

void TWalker::Fold(const TNode& node, const TInt256& weight, TExactSums& sums) {
    const std::int64_t payout = FoldPayout(node);
    const TInt256 ways = weight * Scale(node.Consumed);
    const TInt256 amount = ways * payout;
    sums.Result += amount;
    sums.ResultSquares += amount * payout;
    sums.Stake += ways * -payout;  // the ante and the costs, all lost
    const TCombinationKind kind = Analysis(node.Point.Layout()).Kind;
    TReturnCell& cell = sums.Cell(kind, TFinalOutcome::foFolded);
    Touch(kind, TFinalOutcome::foFolded);
    cell.Chance += ways;
    cell.Contribution += amount;
}

void TWalker::Realize(const TNode& node, const TValued& v, const TInt256& weight,
                      TExactSums& sums) {
    if (v.Chosen < 0) return RealizeNode(AfterNothing(node), weight, sums);
    const TOffer& o = v.Offers[static_cast<std::size_t>(v.Chosen)];
    switch (o.Valuation) {
        case TOfferValuation::ovFold:
            return Fold(node, weight, sums);
        case TOfferValuation::ovBet:
            return Settle(node, v.Here, v.Bet, weight, sums);
        case TOfferValuation::ovDraw: {
            const int k = ArrivingCards(o);
            const TInt256 each = weight * Factorial(k);
            // The decision after the draw, when it only folds or bets, is made here from its
            // layout's analysis: the same choice as Value, without valuing it as a whole.
            std::optional<TFoldOrBet> next;
            ForEachCardSet(ArrivalCards(node.Point), k, [&](TCardTable arrival) {
                const TNode child = After(node, o, arrival);
                if (!next) next = FoldOrBetAt(child);
                if (next->Offers.empty()) return RealizeNode(child, each, sums);
                RealizeFoldOrBet(child, *next, each, sums);
            });
            return;
        }
        case TOfferValuation::ovDeclineDealerGame:
            return;  // designs with the dealer's game are refused
    }
}

// Adds the hands that follow the first layout, counted `members` times, to `sums`.
TWalker::TPlayed TWalker::Play(const TDecisionPoint& first, std::int64_t members,
                               TExactSums& sums) {
    SetUnseen(ArrivalCards(first).Count());
    const TNode root{first, 0};
    const TValued& v = Value(root, m_game.WithBestPlay());
    const TInt256 m(members);
    const TInt256 weight = Scale(0) * m;
    const TInt256 before = sums.Result;
    Realize(root, v, m, sums);
    TPlayed outcome;
    const TInt256 result = sums.Result - before;
    outcome.Result = result;
    outcome.Weight = weight;
    if (v.Chosen >= 0) {
        outcome.FirstActionTaken = true;
        outcome.FirstAction = v.Offers[static_cast<std::size_t>(v.Chosen)].Action;
    }
    TInt256 best = result;
    if (m_game.WithBestPlay()) {
        const TInt256 bestOne = v.Chosen < 0 ? BestOf(AfterNothing(root))
                                             : *std::max_element(v.Best.begin(), v.Best.end());
        outcome.BestDiffers = v.Chosen >= 0 && v.Best[static_cast<std::size_t>(v.Chosen)] < bestOne;
        best = bestOne * m;
    }
    outcome.BestResult = best;

    // The first decision in the strategy: each action's best candidate, and the one taken.
    const int row = StrategyRowOf(first.Player, v.Here.Kind);
    const int column = StrategyColumnOf(first.Dealer);
    std::array<std::optional<std::int64_t>, kFirstActions> actionValue{};
    for (std::size_t i = 0; i < v.Offers.size(); ++i) {
        const auto a = static_cast<std::size_t>(FirstActionOf(v.Offers[i].Action));
        const std::int64_t value = std::llround(v.Compared[i] * 10000);
        if (!actionValue[a] || value > *actionValue[a]) actionValue[a] = value;
    }
    auto tally = [&](TFirstAction action) -> TStrategyTally& {
        const std::size_t index = TStrategyGrid::Index(row, column, action);
        m_touchedTallies.push_back(index);
        return sums.Strategy.AtIndex(index);
    };
    for (std::size_t a = 0; a < actionValue.size(); ++a) {
        if (!actionValue[a]) continue;
        TStrategyTally& t = tally(static_cast<TFirstAction>(a));
        t.Offered += members;
        t.ValueSum += TInt256(*actionValue[a]) * members;
    }
    tally(outcome.FirstActionTaken ? FirstActionOf(outcome.FirstAction) : TFirstAction::faNone)
        .Taken += members;

    sums.Classes += 1;
    sums.Layouts += m;
    sums.Weight += weight;
    sums.BestResult += best;
    if (outcome.BestDiffers) sums.ChoicesDiffer += m;
    const TFirstAction action =
        outcome.FirstActionTaken ? FirstActionOf(outcome.FirstAction) : TFirstAction::faNone;
    sums.FirstAction[static_cast<std::size_t>(action)] += m;
    return outcome;
}

// Applies a permutation of the suits to a set of cards.
TCardTable PermuteSuits(TCardTable cards, const std::array<int, 4>& to) {
    TCardTable out;
    cards.ForEach([&](TCardId id) {
        out.Add(CardIdOf(RankIndexOf(id), to[static_cast<std::size_t>(SuitIndexOf(id) - 1)]));
    });
    return out;
}

class TClassPlay final : public IClassPlay {
public:
    explicit TClassPlay(const TExactGame& game) : m_walker(game) {}

    void Play(const TLayoutClass& layout, TExactSums& sums) override {
        // m_class is empty here: every class leaves it so.
        m_walker.ForgetSuitSensitivity();
        m_walker.ForgetTouchedTallies();
        m_walker.Play(FirstPoint(layout.Player, layout.Dealer), layout.Members, m_class);
        if (!m_walker.SuitSensitive() || layout.Members == 1) {
            sums.Take(m_class, m_walker.TakeTouchedCells(), m_walker.TouchedTallies());
            return;
        }
        // The play depends on which suit is which (a tie broken by the order of the cards): each
        // layout of the class is played on its own.
        m_class = TExactSums();
        std::array<int, 4> to = {1, 2, 3, 4};
        std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
        do {
            const TCardTable player = PermuteSuits(layout.Player, to);
            const TCardTable dealer = PermuteSuits(layout.Dealer, to);
            const std::pair key{player.Mask(), dealer.Mask()};
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
            seen.push_back(key);
            m_walker.Play(FirstPoint(player, dealer), 1, m_class);
        } while (std::next_permutation(to.begin(), to.end()));
        m_class.Classes = 1;
        sums.Take(m_class, m_walker.TakeTouchedCells(), m_walker.TouchedTallies());
    }

private:
    static TDecisionPoint FirstPoint(TCardTable player, TCardTable dealer) {
        TDecisionPoint p;
        p.Player = player;
        p.Dealer = dealer;
        return p;
    }

    TWalker m_walker;
    TExactSums m_class;
};

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
    for (int stage = 2; stage <= kStages; ++stage) {
        if (design.Allows(stage, paBuyDealerGame)) {
            throw TExactRefusal(
                "Точный расчет не разбирает покупку игры дилеру: это решение зависит от закрытых "
                "карт дилера, и перебор всех их сочетаний для каждого расклада занял бы недели");
        }
    }
    if (design.BuysTooManyCards()) {
        throw TExactRefusal(
            "Конструкция позволяет купить игроку больше семи карт: исправьте "
            "конструкцию");
    }
    m_offerOptions.Probabilistic = false;  // every draw is counted exactly
    m_lookAhead = settings.LookAhead;
    m_offerOptions.DealerBuysLowest = design.DealerBuysLowest;
    for (int stage = 1; stage <= 2; ++stage) {
        m_countsSampled =
            m_countsSampled || design.Allows(stage, paExchange4) ||
            design.Allows(stage, paExchange5) ||
            (settings.CalcMethod == TCalcMethod::cmProbabilistic &&
             (design.Allows(stage, paBuyTwoCards) || design.Allows(stage, paExchange2) ||
              design.Allows(stage, paExchange3)));
    }
    m_depth =
        std::min(DrawDepth(design, 1) + DrawDepth(design, 2) + (5 - m_openCards), UnseenAtStart());
}

std::unique_ptr<IClassPlay> TExactGame::NewPlay() const {
    return std::make_unique<TClassPlay>(*this);
}

TLayoutOutcome PlayLayout(const TExactGame& game, TCardTable player, TCardTable dealer,
                          TCardTable out, int members, TExactSums& sums) {
    TWalker walker(game);
    TDecisionPoint p;
    p.Player = player;
    p.Dealer = dealer;
    p.Out = out;
    const TWalker::TPlayed played = walker.Play(p, members, sums);
    TLayoutOutcome outcome;
    outcome.Value = Quotient(played.Result, played.Weight);
    outcome.BestValue = Quotient(played.BestResult, played.Weight);
    outcome.FirstAction = played.FirstAction;
    outcome.FirstActionTaken = played.FirstActionTaken;
    outcome.BestDiffers = played.BestDiffers;
    return outcome;
}

}  // namespace studlab
