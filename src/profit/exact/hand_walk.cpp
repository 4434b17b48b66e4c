#include "profit/exact/hand_walk.h"

#include <algorithm>

#include "cards/combinatorics.h"
#include "profit/exact/first_decision_tally.h"
#include "profit/exact/hand_play.h"
#include "table/draw_sums.h"

namespace studlab {

using enum TPlayerAction;

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
            v.Best[i] = Scale(node.Consumed) * Folded(node).Result;
        } else if (o.Valuation == TOfferValuation::ovBet) {
            // The plain and the insured bet settle alike.
            v.Best[i] = BetBest(node, o, v.Bet);
        }
    }
    if (!m_game.LookAhead()) ValueDrawsTogether(node, v, wantBest);
    if (wantBest) BestOfDrawsApart(node, v);
    // As the decision chooses; nothing offered, nothing chosen.
    v.Chosen = ChooseOffer(v.Offers.size(), [&](std::size_t i) {
                   return std::optional<double>(v.Compared[i]);
               }).Index;
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
    if (!m_game.CountsDraws() || node.Point.Stage < 2 || node.Point.Stage > kStages)
        return decision;
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
void TWalker::RealizeFoldOrBet(const TNode& node, const TFoldOrBet& decision, const TInt256& weight,
                               TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const TEvalAnalysis here = Analysis(p.Layout());
    const TEvalResult bet = EvaluateAnalysis(m_game.Rules(), here, kModeBet, p.ExtraStake);
    std::optional<double> best;
    const TOffer* chosen = nullptr;
    for (const TOffer& o : decision.Offers) {
        double value = decision.FoldValue;
        if (o.Valuation == TOfferValuation::ovBet) {
            const TEvalResult& r =
                o.Mode == kModeBet ? bet
                                   : EvaluateAnalysis(m_game.Rules(), here, o.Mode, p.ExtraStake);
            value = static_cast<double>(r.Value) / 10000.0;
        }
        if (!best || value > *best) {
            best = value;
            chosen = &o;
        }
    }
    if (chosen->Valuation == TOfferValuation::ovFold) return Fold(node, weight, sums);
    SettleBet(node, *chosen, here, bet, weight, sums);
}

// BestOf a decision that offers only folds and bets, from the analysis of its layout: the better
// of folding and of settling the bet (an insured bet settles as the plain one does).
TInt256 TWalker::BestOfFoldOrBet(const TNode& node, const TEvalAnalysis& here,
                                 const TFoldOrBet& decision) {
    const TInt256 fold = Scale(node.Consumed) * Folded(node).Result;
    if (!decision.Bets) return fold;
    const auto bets =
        std::find_if(decision.Offers.begin(), decision.Offers.end(),
                     [](const TOffer& o) { return o.Valuation == TOfferValuation::ovBet; });
    const TInt256 bet = BetBest(
        node, *bets, EvaluateAnalysis(m_game.Rules(), here, kModeBet, node.Point.ExtraStake));
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
    if (IsDealerGame(node)) {
        const TDecisionPoint& p = node.Point;
        return DealerGameBest(
            node, EvaluateAnalysis(m_game.Rules(), Analysis(p.Layout()), kModeBet, p.ExtraStake));
    }
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

void TWalker::AddOutcomes(TCombinationKind kind, const TInt256& each, const TEvalTallies& t,
                          const TOutcomePayouts& pay, TExactSums& sums) {
    const std::array<std::pair<TCount, std::int64_t>, 4> outcomes = {{
        {t.PlayerWins, pay.PlayerWins},
        {t.DealerWins, pay.DealerWins},
        {t.Ties, pay.Ties},
        {t.DealerNoGame, pay.DealerNoGame},
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
        TReturnCell& cell = sums.Cell(kind, kinds[i]);
        Touch(kind, kinds[i]);
        cell.Chance += ways;
        cell.Contribution += amount;
    }
}

void TWalker::Settle(const TNode& node, const TEvalAnalysis& here, const TEvalResult& r,
                     const TInt256& weight, TExactSums& sums) {
    const TDecisionPoint& p = node.Point;
    const int hidden = 5 - p.Dealer.Count();
    const TInt256 each = weight * Scale(node.Consumed + hidden) * Factorial(hidden);
    AddOutcomes(here.Kind, each, r.Tallies, r.Payouts, sums);
    // Put at risk: the ante, the bet and what was paid for cards.
    sums.Stake += weight * Scale(node.Consumed) * BetStake(p.ExtraStake, m_game.Rules().BetSize);
}

void TWalker::Fold(const TNode& node, const TInt256& weight, TExactSums& sums) {
    const THandSettlement folded = Folded(node);
    const TInt256 ways = weight * Scale(node.Consumed);
    const TInt256 amount = ways * folded.Result;
    sums.Result += amount;
    sums.ResultSquares += amount * folded.Result;
    sums.Stake += ways * folded.Stake;
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
            return SettleBet(node, o, v.Here, v.Bet, weight, sums);
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
            return;  // the dealer's game is played before its decision is valued
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
        outcome.FirstCode = v.Offers[static_cast<std::size_t>(v.Chosen)].Code;
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
    TallyFirstDecision(first.Player, first.Dealer, v.Here.Kind, v.Offers, v.Compared,
                       outcome.FirstActionTaken ? std::optional(outcome.FirstAction) : std::nullopt,
                       members, sums, m_touchedTallies);

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

// The values the first decision compares are the same with or without the best continuation
// beside them (counted or evaluated arrival by arrival, the means are exact), so the choice is.
std::string_view TWalker::FirstChoice(const TDecisionPoint& first) {
    SetUnseen(ArrivalCards(first).Count());
    const TValued& v = Value(TNode{first, 0}, false);
    return v.Chosen < 0 ? std::string_view() : v.Offers[static_cast<std::size_t>(v.Chosen)].Code;
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
