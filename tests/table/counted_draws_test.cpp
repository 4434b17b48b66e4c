// Draws valued by counting give every candidate the value that evaluating each arrival gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "design/design_rules.h"
#include "table/counted_draws.h"
#include "table/offer_values.h"

namespace studlab::testing {
namespace {

using enum TPlayerAction;

class TPlainEvaluator final : public IOfferEvaluator {
public:
    explicit TPlainEvaluator(TEvalRules rules) : m_rules(rules) {}
    TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) override {
        return EvaluateLayout(m_rules, layout, mode);
    }
    const TEvalRules& Rules() override { return m_rules; }

private:
    TEvalRules m_rules;
};

struct TDesignCase {
    const char* Name;
    void (*Edit)(TGameDesign&);
    const char* TableMaximum = "200";
};

// Exchanges of one to three cards at both decisions, with what changes their payouts: costs,
// the minimum game, ace-king beside a pair or two pairs, a low table maximum, insurance in full.
const std::vector<TDesignCase> kDesigns = {
    {"exchanges", [](TGameDesign&) {}},
    {"dearer exchanges and a high minimum",
     [](TGameDesign& d) {
         d.ExchangeCost[1] = {"", "0,5", "1,5", "2,25", "1", "1"};
         d.MinPair = 4;
         d.MinAceKing = TMinAceKing::akWithQueen;
     }},
    {"ace-king beside pairs, table maximum 20",
     [](TGameDesign& d) {
         d.CompositePlays[kCompositePairAceKing] = true;
         d.CompositePlays[kCompositeTwoPairsAceKing] = true;
         d.PayQualified[TCombinationKind::ckAceKing] = "1,5";
         d.InsuranceFull = true;
     },
     "20"},
    // Five cards hold an ace-king beside a pair, two pairs, three or four of a kind; the other
    // composites need a sixth card. An ace-king paid 5 makes them count.
    {"every composite pay on",
     [](TGameDesign& d) {
         d.PayQualified[TCombinationKind::ckAceKing] = TNumberText(1, '5');  // an ace-king pays 5
         d.CompositePlays.fill(true);
     }},
};

TEST(CountedDraws, EveryCandidateHasTheValueOfEveryArrivalEvaluated) {
    std::mt19937_64 random(11);
    for (const TDesignCase& c : kDesigns) {
        TGameDesign design;
        for (TPlayerAction a : {paBuyCard, paExchange1, paExchange2, paExchange3}) {
            design.SetAllows(1, a, true);
            design.SetAllows(2, a, true);
        }
        c.Edit(design);
        TCalculationSettings settings;
        settings.TableMaximum = c.TableMaximum;
        TPlainEvaluator evaluator(MakeEvalRules(design, settings));
        TCountedDraws counted;
        for (int round = 0; round < 12; ++round) {
            std::vector<TCardId> deck(kCards);
            for (int i = 0; i < kCards; ++i) deck[static_cast<std::size_t>(i)] = i + 1;
            std::shuffle(deck.begin(), deck.end(), random);
            TDecisionPoint point;
            point.Stage = 1 + round % 2;
            std::size_t next = 0;
            const int dealerCards = round % 5;
            for (int i = 0; i < dealerCards; ++i) point.Dealer.Add(deck[next++]);
            for (int i = 0; i < 5; ++i) point.Player.Add(deck[next++]);
            for (int i = 0; i < round % 3; ++i) point.Out.Add(deck[next++]);
            if (point.Stage == 2) {
                point.Choices[1] = "4";  // a card was bought: stage 2 may exchange
                point.ExtraStake = 1.2F;
                point.Balance = -2.2F;
            }
            TValuation plain{.Design = design, .Evaluator = evaluator, .Offers = {}};
            // Prepared for the decision, the draws of one size are counted together for every
            // subset of the hand; unprepared, each draw is counted on its own.
            TValuation fast = plain;
            fast.CountedDraws = &counted;
            counted.Prepare(evaluator.Rules(), point.Layout());
            TCountedDraws alone;
            TValuation single = plain;
            single.CountedDraws = &alone;
            int draws = 0;
            for (const TOffer& offer : OffersAt(point, design, plain.Offers)) {
                if (offer.Valuation != TOfferValuation::ovDraw || offer.Sampled) continue;
                const TOfferValue expected = ValueOffer(point, offer, plain);
                const TOfferValue got = ValueOffer(point, offer, fast);
                ASSERT_EQ(got.Text, expected.Text)
                    << c.Name << ", round " << round << ": " << OfferCaption(offer, point.Stage);
                ASSERT_EQ(got.Compared, expected.Compared);
                const TOfferValue gotAlone = ValueOffer(point, offer, single);
                ASSERT_EQ(gotAlone.Text, expected.Text)
                    << c.Name << ", round " << round << ": " << OfferCaption(offer, point.Stage);
                draws +=
                    TCountedDraws::Serves(evaluator.Rules(), offer.ValuedLayout(point), offer.Draw)
                        ? 1
                        : 0;
            }
            // Every exchange of this five-card hand is counted, not only evaluated.
            EXPECT_EQ(draws, 25) << c.Name << ", round " << round;
        }
    }
}

// Wrap-around straights change the strength of five cards, which the tallies' table does not
// know: the counting refuses them, and every draw is evaluated arrival by arrival.
TEST(CountedDraws, WrapAroundStraightsAreEvaluatedNotCounted) {
    TGameDesign design;
    design.RoundStraight = true;
    const TEvalRules rules = MakeEvalRules(design, TCalculationSettings{});
    TDecisionPoint point;
    point.Dealer.Add(CardIdOf(12, 4));  // 3 пик
    for (RankIndex r : {1, 2, 3, 12, 13}) point.Player.Add(CardIdOf(r, 1 + r % 4));
    TCountedDraws counted;
    const TEvalLayout kept{point.Player.Without(TCardTable::FromMask(point.Player.Mask() & 0xF)),
                           point.Dealer, point.Player | point.Dealer, 0};
    EXPECT_FALSE(TCountedDraws::Serves(rules, kept, 1));
    EXPECT_FALSE(counted.Mean(rules, kept, 1, 11).has_value());
    counted.Prepare(rules, kept);
    EXPECT_FALSE(counted.Analysis(rules, {point.Player, point.Dealer, kept.Seen, 0}).has_value());
}

}  // namespace
}  // namespace studlab::testing

#include "cards/card_list.h"
#include "support/test_game.h"

namespace studlab::testing {
namespace {

// The decision window's first decision on random layouts of an exchange design, with the draws
// counted and with every arrival evaluated, the look-ahead on and off: the same captions and
// values, and the same choice.
TEST(CountedDraws, DecisionsListTheSameCandidatesAsEvaluatedOnes) {
    std::mt19937_64 random(5);
    for (bool lookAhead : {false, true}) {
        TTestGame counted;
        TTestGame evaluated;
        for (TTestGame* game : {&counted, &evaluated}) {
            for (TPlayerAction a : {paExchange1, paExchange2, paExchange3}) {
                game->Design.SetAllows(1, a, true);
            }
            game->Design.SetAllows(2, paBetInsured, true);
            game->Settings.LookAhead = lookAhead;
            game->Table.SetGameName("counted");
            game->Table.SelectGame(std::nullopt);
        }
        evaluated.Table.SetCountsDraws(false);
        for (int layout = 0; layout < (lookAhead ? 2 : 6); ++layout) {
            std::vector<TCardId> deck(kCards);
            for (int i = 0; i < kCards; ++i) deck[static_cast<std::size_t>(i)] = i + 1;
            std::shuffle(deck.begin(), deck.end(), random);
            for (TTestGame* game : {&counted, &evaluated}) {
                game->Table.NewLayout();
                for (std::size_t i = 0; i < 6; ++i) game->Table.ClickCard(deck[i]);
                game->Table.Decide();
            }
            EXPECT_EQ(counted.Table.View().DecisionListCaptions,
                      evaluated.Table.View().DecisionListCaptions);
            EXPECT_EQ(counted.Table.View().DecisionListValues,
                      evaluated.Table.View().DecisionListValues)
                << "layout " << layout << (lookAhead ? ", look-ahead" : "");
            EXPECT_EQ(counted.Table.State().Choice(1), evaluated.Table.State().Choice(1));
        }
    }
}

// A draw asked of a deck the prepared decision did not tally is counted on its own: the prepared
// hand's cards are back in that deck, and a kept card must not arrive again.
TEST(CountedDraws, ADrawOfAnotherDeckIsNotCountedForThePreparedHand) {
    TEvalRules rules;
    const TCardTable dealer = TableOf(ParseCardList("2d"));
    const TCardTable hand = TableOf(ParseCardList("As Ks Qs Js 9h"));
    TCountedDraws counted;
    counted.Prepare(rules, TEvalLayout{hand, dealer, hand | dealer, 0});
    const TCardTable kept = TableOf(ParseCardList("As 9h"));
    const TEvalLayout other{kept, dealer, kept | dealer, 0};
    TCountedDraws alone;
    const std::optional<TExactMean> expected = alone.Mean(rules, other, 3, 31);
    const std::optional<TExactMean> got = counted.Mean(rules, other, 3, 31);
    ASSERT_TRUE(expected.has_value());
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(got->Sum == expected->Sum);
    EXPECT_TRUE(got->Outcomes == expected->Outcomes);
    EXPECT_EQ(got->Arrivals, expected->Arrivals);
}

// The analysis of a layout a counted decision leads to is the evaluator's, and a layout the
// tallied completions cannot stand for is refused: a card back in the deck, more than three
// cards gone, another dealer, another minimum game.
TEST(CountedDraws, AnalysesOnlyWhatTheTalliedCompletionsStandFor) {
    TEvalRules rules;
    const TCardTable dealer = TableOf(ParseCardList("3d"));
    const TCardTable player = TableOf(ParseCardList("Qc Tc 7h 6s 3c"));
    const TCardTable out = TableOf(ParseCardList("Ah 2s"));
    const TEvalLayout decision{player, dealer, player | dealer | out, 0};
    TCountedDraws counted;
    counted.Prepare(rules, decision);
    auto layoutOf = [&](const char* hand, const char* gone) {
        const TCardTable h = TableOf(ParseCardList(hand));
        return TEvalLayout{h, dealer, player | dealer | out | h | TableOf(ParseCardList(gone)), 1};
    };
    struct TCase {
        const char* Hand;
        const char* Gone;
        bool Served;
    };
    const std::vector<TCase> cases = {
        {"Qc Tc 7h 6s 3c", "", true},     // the decision's own layout
        {"Qc Tc Kd Kh 9s", "", true},     // three cards arrived
        {"Qc Tc Kd Kh 9s", "Jd", false},  // four cards gone from the deck
        {"Qc Kd Kh 9s 8s", "", false},    // four cards arrived
    };
    for (const TCase& c : cases) {
        const TEvalLayout layout = layoutOf(c.Hand, c.Gone);
        const std::optional<TEvalAnalysis> a = counted.Analysis(rules, layout);
        ASSERT_EQ(a.has_value(), c.Served) << c.Hand << " / " << c.Gone;
        if (a) {
            const TEvalAnalysis expected = AnalyseLayout(rules, layout);
            EXPECT_EQ(a->Kind, expected.Kind);
            EXPECT_EQ(a->Tallies, expected.Tallies) << c.Hand;
            EXPECT_EQ(a->DeckRemaining, expected.DeckRemaining);
        }
    }
    // A card of the decision's out cards back among the unseen ones.
    TEvalLayout back = layoutOf("Qc Tc Kd Kh 9s", "");
    back.Seen = back.Seen.Without(TableOf(ParseCardList("Ah")));
    EXPECT_FALSE(counted.Analysis(rules, back).has_value());
    // Another dealer card, another minimum game.
    TEvalLayout otherDealer = layoutOf("Qc Tc Kd Kh 9s", "");
    otherDealer.Dealer = TableOf(ParseCardList("4d"));
    EXPECT_FALSE(counted.Analysis(rules, otherDealer).has_value());
    TEvalRules higher = rules;
    higher.Counting.MinPair = 5;
    EXPECT_FALSE(counted.Analysis(higher, layoutOf("Qc Tc Kd Kh 9s", "")).has_value());
    // The mean under the other minimum is counted anew, not on the first tallies.
    const TEvalLayout exchange{TableOf(ParseCardList("Qc Tc")), dealer, player | dealer | out, 0};
    for (const TEvalRules& r : {rules, higher, rules}) {
        const std::optional<TExactMean> mean =
            counted.Mean(r, exchange, 3, ExchangeMode(3, 1, true));
        const TExactMean expected = ExactDrawMean(exchange, TDrawTarget::dtPlayer, 3,
                                                  EvaluatorResult(r, ExchangeMode(3, 1, true)));
        ASSERT_TRUE(mean.has_value());
        EXPECT_EQ(mean->Sum, expected.Sum);
        EXPECT_EQ(mean->Outcomes, expected.Outcomes);
    }
}

}  // namespace
}  // namespace studlab::testing
