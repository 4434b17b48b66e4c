#include <algorithm>
#include <cmath>
#include <numeric>
#include <ostream>
#include <random>

#include "cards/evaluator.h"
#include "design/design_rules.h"
#include "table/choice_codes.h"
#include "table_fixture.h"
#include "text/number_text.h"

namespace studlab::testing {
namespace {

using enum TPlayerAction;
using enum TCombinationKind;

class TFixedClock final : public IClock {
public:
    std::uint64_t HighResolutionTicks() const override { return 12345; }
};

class Decision : public TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        table.SetClock(m_clock);
    }
    // Chooses `fileDesign` as the game, with its fields that a file does not restore as well, and
    // lays out the dealer's open cards and the player's.
    void LayOut(const TGameDesign& fileDesign, std::string_view dealer, std::string_view player) {
        SelectGame(fileDesign);
        design = fileDesign;
        Click(dealer);
        Click(player);
        ASSERT_TRUE(View().DecideVisible);
    }
    void Decide() {
        table.Decide();
        ExpectSound();
    }
    // (caption, value) of every candidate in slot order.
    std::vector<std::pair<std::string, std::string>> Candidates() const {
        std::vector<std::pair<std::string, std::string>> list;
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
            const auto& slot = State().Candidates.Slot(i);
            if (!slot.Text.empty()) list.emplace_back(slot.Text, slot.Value);
        }
        return list;
    }
    // The value of the candidate with this caption; empty when there is none.
    std::string ValueOf(std::string_view caption) const {
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
            if (State().Candidates.Slot(i).Text == caption) return State().Candidates.Slot(i).Value;
        }
        return {};
    }
    int CountCode(const std::string& code) const {
        int n = 0;
        for (int i = 1; i <= TCandidateTable::kCapacity; ++i)
            n += State().Candidates.Slot(i).Code == code;
        return n;
    }
    // A design that offers only the given actions at stage 1.
    static TGameDesign OnlyAtStage1(std::initializer_list<TPlayerAction> actions) {
        TGameDesign d;
        d.StageActions[1] = {};
        for (TPlayerAction a : actions) d.SetAllows(1, a, true);
        return d;
    }

    TFixedClock m_clock;
};

TEST_F(Decision, DefaultDesignOffersFoldBetAndBuyingACard) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(Candidates(),
              (std::vector<std::pair<std::string, std::string>>{
                  {"сделать пас", "-1"}, {"забиться", "1,5838"}, {"купить карту ", "0,6352"}}));
    EXPECT_EQ(State().Choice1, "2");
    EXPECT_EQ(View().Prompt, "забиться");
    EXPECT_EQ(State().HandCategory, ckPair);
    EXPECT_TRUE(View().DecideVisible && View().ContinueVisible && View().CombinationsVisible);
    EXPECT_TRUE(View().CandidatesVisible);
    EXPECT_EQ(View().CandidateCaptions,
              "сделать пас\rзабиться\rкупить карту \r" + std::string(47, '\r'));
    EXPECT_EQ(View().CandidateValues, "-1\r1,5838\r0,6352\r" + std::string(47, '\r'));
    EXPECT_EQ(View().DecisionListCaptions, View().CandidateCaptions);
    EXPECT_EQ(State().HandStage, 1);  // a first decision never settles
}

TEST_F(Decision, BuyingACardIsWorthTheMeanOverTheCardsThatMayArrive) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    // Independently: the plain bet with the card added and its cost paid, over every completion
    // of the dealer's hand after each of the 46 cards, rounded once.
    const TEvalRules rules = MakeEvalRules(design, settings);
    TEvalLayout layout{State().PlayerCards, State().DealerCards,
                       State().PlayerCards | State().DealerCards, 1.2F};
    TWideSum sum = 0;
    TWideSum outcomes = 0;
    int arrivals = 0;
    layout.Seen.Complement().ForEach([&](TCardId id) {
        TEvalLayout with = layout;
        with.Player.Add(id);
        const TEvalResult r = EvaluateLayout(rules, with, kModeBet);
        sum += r.OutcomeSum();
        outcomes += r.Tallies.DealerOutcomes;
        ++arrivals;
    });
    ASSERT_EQ(arrivals, 46);
    EXPECT_EQ(State().Candidates.Slot(3).Value,
              FormatTenThousandths(RoundHalfEven(static_cast<long double>(sum) /
                                                 static_cast<long double>(outcomes))));
}

// Each arrival's share of a three-card exchange is a few ten-thousandths of an ante: the shares
// are summed whole and the mean rounded once (rounding every share would show -0,5421 and
// -0,599 here).
TEST_F(Decision, ExchangeValuesAreTheExactMeansOfTheirArrivals) {
    TGameDesign d;
    d.SetAllows(1, paExchange3, true);
    LayOut(d, "3d", "Qc Tc 7h 6s 3c");
    Decide();
    EXPECT_EQ(ValueOf("поменять все, кроме Q треф и 10 треф"), "-0,7715");
    EXPECT_EQ(ValueOf("поменять все, кроме 7 черви и 6 пик"), "-1,0022");
}

TEST_F(Decision, InsuredBetAtStage1OnlyForInsurableHands) {
    TGameDesign d;
    d.SetAllows(1, paBetInsured, true);
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");  // a pair: not insurable by default
    Decide();
    EXPECT_EQ(CountCode("3"), 0);
    EXPECT_FALSE(State().HandInsurable);

    d.Insurable[ckPair] = true;
    d.SetAllows(1, paBet, false);  // the insurability test runs without the bet as well
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(CountCode("3"), 1);
    EXPECT_EQ(State().Candidates.Slot(2).Text, "забиться со страховкой ");
}

TEST_F(Decision, ExchangesOfferOneCandidatePerCardOrPairOfCards) {
    TGameDesign d = OnlyAtStage1({paExchange1, paExchange2, paExchange3, paExchange4, paExchange5});
    settings.ProbabilisticCycles = "20";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(CountCode("6"), 5);
    EXPECT_EQ(CountCode("7"), 10);
    EXPECT_EQ(CountCode("8"), 10);
    EXPECT_EQ(CountCode("9"), 5);
    EXPECT_EQ(CountCode("10"), 1);
    const auto& slots = State().Candidates;
    EXPECT_EQ(slots.Slot(1).Text, "поменять A черви");
    EXPECT_EQ(slots.Slot(1).Cards[0], "A черви");
    EXPECT_EQ(slots.Slot(6).Text, "поменять A черви и A треф");
    EXPECT_EQ(slots.Slot(6).Cards[1], "A треф");
    EXPECT_EQ(slots.Slot(16).Text, "поменять все, кроме A черви и A треф");
    EXPECT_EQ(slots.Slot(16).Cards,
              (std::array<std::string, 7>{"", "", "K буби", "9 пик", "7 черви", "", ""}));
    EXPECT_EQ(slots.Slot(26).Text, "поменять все, кроме A черви ");
    EXPECT_EQ(slots.Slot(31).Text, "поменять все карты ");
    EXPECT_EQ(slots.Slot(31).Cards[4], "7 черви");
    // The chosen exchange's cards are raised for the continuation.
    const auto& best = slots.Chosen();
    for (TCardId id = 1; id <= kCards; ++id) {
        const bool named = std::find(best.Cards.begin(), best.Cards.begin() + 5, CardName(id)) !=
                           best.Cards.begin() + 5;
        EXPECT_EQ(State().PlaceOf(id).Marked, named) << CardName(id);
    }
}

TEST_F(Decision, ExchangesWithSixCardsAtStage2) {
    TGameDesign d;
    for (TPlayerAction a : {paExchange1, paExchange2, paExchange3, paExchange4, paExchange5})
        d.SetAllows(2, a, true);
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    settings.ProbabilisticCycles = "10";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    State();
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();  // bought one card
    Click("3d");
    Decide();
    EXPECT_EQ(CountCode("6"), 6);
    EXPECT_EQ(CountCode("7"), 15);
    EXPECT_EQ(CountCode("8"), 15);
    EXPECT_EQ(CountCode("9"), 6);
    EXPECT_EQ(CountCode("10"), 1);
    EXPECT_EQ(State().Candidates.Slot(State().Candidates.FirstFreeSlot() - 1).Text,
              "поменять 5 карт ");
}

// With two unseen cards a two-card draw can bring only those two: a sampled draw, which never
// repeats a card, must value each candidate as the enumeration does.
TEST_F(Decision, SampledTwoCardDrawWithTwoUnseenCardsAgreesWithTheExactValue) {
    // All the dealer's cards lie open, a pair that plays: the draws are all that is unknown, and
    // what they bring decides the bet.
    TGameDesign d = OnlyAtStage1({paBuyTwoCards, paExchange2});
    d.DealerOpenCards = "5";
    LayOut(d, "2s 2d 4d 5h 8c", "Ah Ac Kd 9s 7h");
    const TCardTable unseen = TableOf(ParseCardList("Kh 3c"));
    for (TCardId id = 1; id <= kCards; ++id) {
        if (State().PlaceOf(id).InDeck() && !unseen.Has(id)) table.ClickCard(id);
    }
    ExpectSound();
    ASSERT_EQ((State().PlayerCards | State().DealerCards | State().OutCards).Complement(), unseen);

    settings.CalcMethod = TCalcMethod::cmDirect;
    Decide();
    const auto exact = Candidates();
    ASSERT_EQ(exact.size(), 11U);  // buying two, and ten pairs to exchange
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    settings.ProbabilisticCycles = "50";
    Decide();
    EXPECT_EQ(Candidates(), exact);
}

TEST_F(Decision, StageTwoAfterABoughtCardOffersFoldAndBet) {
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();
    Click("Kc");
    Decide();
    EXPECT_EQ(Candidates().size(), 2U);
    EXPECT_EQ(Candidates()[0],
              (std::pair<std::string, std::string>{"сделать пас", "-2,20000004768372"}));
    // The stored value keeps its precision; the window shows at most four decimals.
    EXPECT_EQ(View().CandidateValues.substr(0, 5), "-2,2\r");
    EXPECT_EQ(View().DecisionListValues.substr(0, 5), "-2,2\r");
    EXPECT_EQ(Candidates()[1].first, "забиться");
    EXPECT_EQ(State().HandStage, 2);
}

// A bet or an insured bet settles the hand at the next decision, once the dealer's hidden cards
// are in: here he has no game, so the player wins the ante less what his bought cards cost.
struct TSettlementCase {
    std::vector<std::string> Choices;  // decision 1, 2, ...: the last is the bet
    std::string_view BoughtCards;      // one for each purchase before the bet
    std::int64_t Result;
    std::string Text;

    friend void PrintTo(const TSettlementCase& c, std::ostream* os) {
        for (const std::string& choice : c.Choices) *os << choice << ' ';
    }
};

class BetSettlement : public Decision, public ::testing::WithParamInterface<TSettlementCase> {};

TEST_P(BetSettlement, SettlesAtTheNextDecision) {
    const TSettlementCase& c = GetParam();
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    const std::vector<TCardId> bought = ParseCardList(c.BoughtCards);
    ASSERT_EQ(bought.size() + 1, c.Choices.size());
    for (std::size_t i = 0; i < c.Choices.size(); ++i) {
        Decided(c.Choices[i]);
        Continue();
        if (i < bought.size()) {
            table.ClickCard(bought[i]);
            ExpectSound();
        }
    }
    Click("3c 4d 9h Js");  // the dealer's hidden cards: no game
    ASSERT_TRUE(View().DecideVisible);
    Decide();
    EXPECT_TRUE(Candidates().empty());
    EXPECT_EQ(State().HandStage, 0);
    EXPECT_EQ(State().HandResult, c.Result);
    EXPECT_EQ(View().Prompt, c.Text);
    EXPECT_FALSE(View().DecideVisible || View().ContinueVisible || View().CandidatesVisible);
}

// Buying one card costs "1,2" at decision 1 and "1" at decision 2 in the default design.
INSTANTIATE_TEST_SUITE_P(
    BetOrInsuredBet, BetSettlement,
    ::testing::Values(TSettlementCase{{"2"}, "", 10000, "Вы выграли  1  анте!"},
                      TSettlementCase{{"3"}, "", 10000, "Вы выграли  1  анте!"},
                      TSettlementCase{{"4", "2"}, "Kc", -2000, "Вы проиграли  0,2  анте"},
                      TSettlementCase{{"4", "3"}, "Kc", -2000, "Вы проиграли  0,2  анте"},
                      TSettlementCase{{"4", "4", "2"}, "Kc Qh", -12000, "Вы проиграли  1,2  анте"},
                      TSettlementCase{{"4", "4", "3"}, "Kc Qh", -12000, "Вы проиграли  1,2  анте"}),
    [](const auto& info) {
        std::string name = "AtDecision" + std::to_string(info.param.Choices.size());
        return name + (info.param.Choices.back() == "3" ? "Insured" : "Bet");
    });

TEST_F(Decision, SettlementTextsAndResults) {
    struct Case {
        const char* dealerHidden;
        const char* pairPays;
        const char* text;
        std::int64_t result;
    };
    for (const Case& c : {Case{"Kc Kh 5h 6s", "2,5", "Вы выграли  2,5  анте!", 25000},
                          Case{"Kc Kh Ks 6s", "3", "Вы проиграли  3  анте", -30000},
                          Case{"Kc Kh 5h 6s", "0", "Вы остались при своих", 0}}) {
        SCOPED_TRACE(c.dealerHidden);
        TGameDesign d;
        d.PayQualified[ckPair] = c.pairPays;
        d.SetAllows(1, paFold, false);
        d.SetAllows(1, paBuyCard, false);
        LayOut(d, "2s", "Ah Ac Kd 9s 7h");
        Decide();
        Continue();
        Click(c.dealerHidden);
        Decide();
        EXPECT_EQ(View().Prompt, c.text);
        EXPECT_EQ(State().HandResult, c.result);
    }
}

TEST_F(Decision, DealerGameSwapsHisHighestCardOrHisLowest) {
    struct Case {
        bool lowest;
        const char* dealer;
        const char* swap;
    };
    for (const Case& c :
         {Case{false, "2c 2h Ks Qd 3h", "K пик"}, Case{true, "2h 2s Ks Qd 3h", "2 пик"},
          Case{true, "2h 9s Ks Qd 3h", "2 черви"}}) {
        SCOPED_TRACE(c.dealer);
        TGameDesign d;
        d.SetAllows(2, paBuyDealerGame, true);
        d.DealerBuysLowest = c.lowest;
        d.DealerOpenCards = "0";
        LayOut(d, "", "Ah Ac Kd 9s 7h");
        table.State().Choice1 = "2";
        table.View().ContinueVisible = true;
        Continue();
        Click(c.dealer);
        Decide();
        EXPECT_EQ(State().DealerSwapCard, c.swap);
        EXPECT_EQ(CountCode("11"), 1);
        EXPECT_EQ(CountCode("12"), 1);
        EXPECT_EQ(State().Candidates.Slot(1).Text, "купить игру дилеру ");
        EXPECT_EQ(State().Candidates.Slot(2).Text, "не покупать игру дилеру");
        EXPECT_EQ(State().Candidates.Slot(2).Value, "1");  // the ante without a dealer game
    }
}

TEST_F(Decision, DesignThatBuysTooManyCardsIsReportedAtStage2) {
    TGameDesign d;
    d.SetAllows(2, paBuyTwoCards, true);
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "4";
    table.View().ContinueVisible = true;
    Continue();
    Click("Kc");
    Decide();
    EXPECT_EQ(View().Prompt, "Вы неправильно сконструировали игру. проверьте настройки");
    EXPECT_FALSE(View().DecideVisible || View().ContinueVisible || View().CombinationsVisible);
    EXPECT_EQ(State().HandStage, 2);
}

TEST_F(Decision, TiesGoToTheEarlierSlotAndAnEmptyStageChoosesNothing) {
    TGameDesign d;
    d.PayQualified[ckThreeOfAKind] = "-1";
    d.PayNotQualified[ckThreeOfAKind] = "-1";
    d.BetSize = "0";
    d.SetAllows(1, paBuyCard, false);
    LayOut(d, "2s", "Ah Ac Ad Kd 9s");  // three aces: no dealer hand can tie them
    Decide();                           // every outcome of the bet loses one ante, as the fold does
    EXPECT_EQ(State().Candidates.Slot(2).Value, "-1");
    EXPECT_EQ(View().Prompt, "сделать пас");

    LayOut(OnlyAtStage1({}), "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_TRUE(Candidates().empty());
    EXPECT_EQ(View().Prompt, "");
    EXPECT_EQ(State().Choice1, "");
    EXPECT_EQ(View().CandidateCaptions, std::string(50, '\r'));
}

TEST_F(Decision, ConversionErrorsLeaveThePreviousDecision) {
    // The number of random draws is read only when a candidate is valued by them.
    settings.ProbabilisticCycles = "много";
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    EXPECT_NO_THROW(table.Decide());
    settings.ProbabilisticCycles = "";

    TGameDesign withExchange4;
    withExchange4.SetAllows(1, paExchange4, true);
    LayOut(withExchange4, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    const TTableView viewBefore = View();
    const std::string choiceBefore = State().Choice1;

    settings.ProbabilisticCycles = "много";
    EXPECT_THROW(table.Decide(), TConversionError);
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Candidates.Slot(2).Text, "забиться");  // untouched

    settings.ProbabilisticCycles = "";
    design.BetSize = "два";
    try {
        table.Decide();
        ADD_FAILURE();
    } catch (const TConversionError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "В поле «общие затраты: забиться» (конструктор, окно 3; строка 37 файла "
                  "конструкции) стоит «два», а нужно число, например 1,5");
    }
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Choice1, choiceBefore);
    EXPECT_EQ(State().Candidates.Slot(1).Text, "сделать пас");  // valued before the error
    EXPECT_EQ(State().Candidates.Slot(2).Text, "");
    ExpectSound();
}

TEST_F(Decision, ConversionErrorInAPressThatValuesNoCandidateLeavesThePreviousView) {
    // After a bet the second stage of the default game offers nothing: the first design number
    // the press needs is read for the combination listing, after the choice.
    LayOut(TGameDesign{}, "2s", "Ah Ac Kd 9s 7h");
    table.State().Choice1 = "2";
    table.View().ContinueVisible = true;
    Continue();
    Click("3c 4c 5c 6c");
    ASSERT_TRUE(View().DecideVisible);
    const TTableView viewBefore = View();
    design.PayQualified[ckPair] = "один";
    EXPECT_THROW(table.Decide(), TConversionError);
    EXPECT_EQ(View(), viewBefore);
    EXPECT_EQ(State().Choice2, "");
    EXPECT_EQ(State().HandStage, 2);
}

TEST_F(Decision, SampledCandidatesWithoutDrawsHaveNoValue) {
    TGameDesign d = OnlyAtStage1({paExchange5, paBet});
    settings.ProbabilisticCycles = "0";
    LayOut(d, "2s", "Ah Ac Kd 9s 7h");
    Decide();
    EXPECT_EQ(Candidates()[1], (std::pair<std::string, std::string>{"поменять все карты ", ""}));
    EXPECT_EQ(View().Prompt, "забиться");
    settings.ProbabilisticCycles = "-3";
    Decide();
    EXPECT_EQ(Candidates()[1].second, "0");
}

TEST_F(Decision, ASampledCandidateReseedsTheGeneratorAlsoWhenItDrawsNothing) {
    // With the same sequence on, the deals that follow must not replay it either.
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    for (const char* cycles : {"-1", "0"}) {
        SCOPED_TRACE(cycles);
        settings.ProbabilisticCycles = cycles;
        LayOut(OnlyAtStage1({paExchange5}), "Ks", "2h 7c 9d Js 4h");
        table.Random().SetSeed(0);
        Decide();
        EXPECT_EQ(table.Random().Seed(), m_clock.HighResolutionTicks());
    }
}

TEST_F(Decision, ACandidateWithoutValueIsNeverChosen) {
    settings.CalcMethod = TCalcMethod::cmProbabilistic;
    settings.ProbabilisticCycles = "0";
    // First in the table, before candidates that all lose: one of those is still chosen.
    LayOut(OnlyAtStage1({paBuyTwoCards, paExchange1}), "Ks", "2h 7c 9d Js 4h");
    Decide();
    ASSERT_EQ(Candidates()[0], (std::pair<std::string, std::string>{"купить две карты ", ""}));
    EXPECT_EQ(State().Choice1, "6");
    EXPECT_LT(ParseDesignNumber(State().Candidates.Chosen().Value), 0);
    EXPECT_EQ(View().Prompt, State().Candidates.Chosen().Text);

    // Nothing valued: nothing is chosen and no card is marked for exchange.
    LayOut(OnlyAtStage1({paExchange5}), "Ks", "2h 7c 9d Js 4h");
    Decide();
    EXPECT_EQ(Candidates().size(), 1U);
    EXPECT_EQ(State().Choice1, "");
    EXPECT_EQ(View().Prompt, "");
    for (TCardId id = 1; id <= kCards; ++id) EXPECT_FALSE(State().PlaceOf(id).Marked);
}

TEST_F(Decision, RandomDealPlaysWholeHandsAndRecordsTheResult) {
    SelectGame(TGameDesign{});
    settings.SameSequence = true;
    for (int hand = 0; hand < 200; ++hand) {
        table.RandomDeal();
        ExpectSound();
        ASSERT_NE(State().HandResult, kHandNotSettled);
        EXPECT_EQ(State().LastHandResult, State().HandResult);
        EXPECT_EQ(State().HandStage, 0);
        EXPECT_GE(State().HandResult, -42000);  // ante, bet and a bought card at most
    }
}

// A settled hand is a whole outcome: a fold loses what was paid, and anything else is settled on
// the dealer's five cards, never on an expectation over cards not dealt. Here exchanges at both
// decisions, buying two cards and buying the dealer a game at every decision are allowed, while
// the third decision offers nothing: the hand must still get the dealer's cards.
TEST_F(Decision, EverySettledHandIsAWholeOutcome) {
    TGameDesign d;
    for (int stage = 1; stage <= 2; ++stage) {
        for (TPlayerAction a : {paExchange1, paExchange4, paExchange5}) d.SetAllows(stage, a, true);
    }
    d.SetAllows(1, paBuyTwoCards, true);
    for (int stage = 2; stage <= 4; ++stage) d.SetAllows(stage, paBuyDealerGame, true);
    SelectGame(d);
    design = d;
    settings.SameSequence = true;
    settings.ProbabilisticCycles = "20";  // the sampled exchanges need not be precise here
    int settledOnFiveCards = 0;
    for (int hand = 0; hand < 120; ++hand) {
        table.RandomDeal();
        ExpectSound();
        const TTableState& s = State();
        ASSERT_NE(s.HandResult, kHandNotSettled);
        if (s.DealerCards.Count() < 5) {
            // Only a fold ends a hand before the dealer's cards are dealt.
            EXPECT_EQ(s.HandResult,
                      RoundHalfEven(static_cast<long double>(s.PlayerBalance) * 10000))
                << "hand " << hand << ": " << View().Prompt;
            continue;
        }
        ++settledOnFiveCards;
        const TEvalResult r =
            EvaluateLayout(MakeEvalRules(design, settings),
                           {s.PlayerCards, s.DealerCards,
                            s.PlayerCards | s.DealerCards | s.OutCards, s.ExtraStake},
                           kModeBet);
        EXPECT_EQ(r.Tallies.DealerOutcomes, 1);
        EXPECT_EQ(s.HandResult, r.Value) << "hand " << hand;
    }
    EXPECT_GT(settledOnFiveCards, 20);
}

TEST_F(Decision, RandomDealsFollowTheGeneratorFromTheSameSeed) {
    SelectGame(TGameDesign{});
    settings.SameSequence = true;
    std::vector<std::int64_t> first;
    for (int i = 0; i < 20; ++i) {
        table.RandomDeal();
        first.push_back(State().HandResult);
    }
    table.Random().SetSeed(0);
    for (int i = 0; i < 20; ++i) {
        table.RandomDeal();
        EXPECT_EQ(State().HandResult, first[static_cast<std::size_t>(i)]);
    }
}

// Every further box at the table gets five cards, dealt once, after the layout, as known out
// cards. The default game throws no card away, so every out card is a box's.
TEST_F(Decision, RandomDealDealsFiveCardsToEachFurtherBox) {
    SelectGame(TGameDesign{});
    settings.SameSequence = true;
    std::vector<int> outAtDecisions;
    table.ButtonPressed = [&](std::string_view button) {
        if (button == kDecideCaption) outAtDecisions.push_back(State().OutCards.Count());
    };
    for (const int boxes : {1, 2, 4, 8}) {
        settings.PlayingBoxes = std::to_string(boxes);
        for (int hand = 0; hand < 5; ++hand) {
            outAtDecisions.clear();
            table.RandomDeal();
            ExpectSound();
            ASSERT_FALSE(outAtDecisions.empty());
            EXPECT_THAT(outAtDecisions, ::testing::Each(5 * (boxes - 1))) << boxes << " boxes";
            EXPECT_EQ(State().OutCards.Count(), 5 * (boxes - 1));
        }
    }
}

TEST_F(Decision, RandomDealRefusesWhatCannotBeDealt) {
    EXPECT_THROW(table.RandomDeal(), TRandomDealError);  // no game chosen
    SelectGame(TGameDesign{});
    for (const char* boxes : {"0", "1,5", "10", "abc"}) {
        settings.PlayingBoxes = boxes;
        EXPECT_ANY_THROW(table.RandomDeal()) << boxes;
    }
    settings.PlayingBoxes = "2";  // five more cards out after the layout
    table.RandomDeal();
    EXPECT_GE(State().OutCards.Count(), 5);
}

// With the look-ahead a bought card is worth, for each card that may arrive, the better of
// folding at the cost paid and betting; here that makes buying the best action, while a bet
// after every arrival puts buying level with the fold, which keeps its earlier slot.
TEST_F(Decision, LookAheadValuesAPurchaseByTheBestDecisionAfterIt) {
    LayOut(TGameDesign{}, "8h", "10s Ac 9s 8d Qd");
    Decide();
    EXPECT_EQ(ValueOf("купить карту "), "-1");
    EXPECT_EQ(State().Choice1, kFoldCode);

    settings.LookAhead = true;
    Decide();
    EXPECT_EQ(State().Choice1, kBuyCardCode);
    // Independently: the second decision's values after each of the 46 cards.
    const TEvalRules rules = MakeEvalRules(design, settings);
    const float paid = 1.2F;
    const double fold = ParseDesignNumber(FormatNumber(static_cast<float>(-1.0 - 1.2)));
    long double sum = 0;
    int arrivals = 0;
    const TCardTable table = State().PlayerCards | State().DealerCards;
    table.Complement().ForEach([&](TCardId id) {
        TEvalLayout after{State().PlayerCards, State().DealerCards, table, paid};
        after.Player.Add(id);
        after.Seen.Add(id);
        const double bet = EvaluateLayout(rules, after, kModeBet).Value / 10000.0;
        sum += std::max(fold, bet);
        ++arrivals;
    });
    ASSERT_EQ(arrivals, 46);
    EXPECT_EQ(ValueOf("купить карту "),
              FormatTenThousandths(RoundHalfEven(sum / arrivals * 10000)));
    EXPECT_EQ(ValueOf("купить карту "), "-0,9737");
}

// A sampled exchange is valued by the same look-ahead: its mean over random arrivals lies by
// the exact look-ahead value and away from the value of a bet after every arrival.
TEST_F(Decision, LookAheadAlsoValuesSampledDraws) {
    TGameDesign d;
    d.SetAllows(1, paBuyCard, false);
    d.SetAllows(1, paExchange3, true);
    const char* keepQueenAndTen = "поменять все, кроме Q треф и 10 треф";
    const auto valueOf = [&](TCalcMethod method, bool lookAhead) {
        settings.CalcMethod = method;
        settings.ProbabilisticCycles = "40000";
        settings.LookAhead = lookAhead;
        LayOut(d, "3d", "Qc Tc 7h 6s 3c");
        Decide();
        return ParseDesignNumber(ValueOf(keepQueenAndTen));
    };
    const double bet = valueOf(TCalcMethod::cmDirect, false);
    const double exact = valueOf(TCalcMethod::cmDirect, true);
    EXPECT_NEAR(bet, -0.7715, 1e-9);
    ASSERT_GT(exact - bet, 0.03);  // the two valuations lie apart
    EXPECT_NEAR(valueOf(TCalcMethod::cmProbabilistic, true), exact, 0.015);
    EXPECT_NEAR(valueOf(TCalcMethod::cmProbabilistic, false), bet, 0.015);
}

// Every exact draw candidate of random first layouts against the mean of its arrivals, worked out
// here from the evaluator's outcome distributions: the arrival sets are enumerated by their own
// loops, the hands built from the caption's cards, the mean rounded once.
TEST_F(Decision, EveryExactDrawIsTheMeanOfItsArrivalsOnRandomLayouts) {
    TGameDesign d;
    for (TPlayerAction a : {paBuyTwoCards, paExchange1, paExchange2, paExchange3}) {
        d.SetAllows(1, a, true);
    }
    d.ExchangeCost[1][2] = "0,7";
    std::mt19937 rng(4242);
    for (int round = 0; round < 12; ++round) {
        std::vector<TCardId> deck(kCards);
        std::iota(deck.begin(), deck.end(), 1);
        std::shuffle(deck.begin(), deck.end(), rng);
        std::string dealer = CardName(deck[0]);
        std::string player;
        for (std::size_t i = 1; i <= 5; ++i) player += (i > 1 ? ", " : "") + CardName(deck[i]);
        SelectGame(d);
        design = d;
        table.ClickCard(deck[0]);
        for (std::size_t i = 1; i <= 5; ++i) table.ClickCard(deck[i]);
        // Cards known to be out keep the enumeration small.
        for (std::size_t i = 6; i < 30; ++i) table.ClickCard(deck[i]);
        ASSERT_TRUE(View().DecideVisible);
        Decide();
        const TEvalRules rules = MakeEvalRules(design, settings);
        const TCardTable seen = State().PlayerCards | State().DealerCards | State().OutCards;
        std::vector<TCardId> unseen;
        seen.Complement().ForEach([&](TCardId id) { unseen.push_back(id); });
        std::vector<TCardId> hand;
        State().PlayerCards.ForEach([&](TCardId id) { hand.push_back(id); });

        // The mean of `mode` over every set of `k` unseen cards joining `base`.
        auto mean = [&](TCardTable base, int k, TEvalMode mode) {
            TWideSum sum = 0;
            TWideSum outcomes = 0;
            const std::size_t n = unseen.size();
            auto add = [&](TCardTable arrival) {
                const TEvalResult r = EvaluateLayout(
                    rules, TEvalLayout{base | arrival, State().DealerCards, seen, 0.0F}, mode);
                sum += r.OutcomeSum();
                outcomes += r.Tallies.DealerOutcomes;
            };
            for (std::size_t i = 0; i < n; ++i) {
                TCardTable a;
                a.Add(unseen[i]);
                if (k == 1) {
                    add(a);
                    continue;
                }
                for (std::size_t j = i + 1; j < n; ++j) {
                    TCardTable b = a;
                    b.Add(unseen[j]);
                    if (k == 2) {
                        add(b);
                        continue;
                    }
                    for (std::size_t l = j + 1; l < n; ++l) {
                        TCardTable c = b;
                        c.Add(unseen[l]);
                        add(c);
                    }
                }
            }
            return FormatTenThousandths(
                RoundHalfEven(static_cast<long double>(sum) / static_cast<long double>(outcomes)));
        };
        const TCardTable all = State().PlayerCards;
        auto without = [&](std::initializer_list<TCardId> ids) {
            TCardTable t = all;
            for (TCardId id : ids) t.Remove(id);
            return t;
        };
        const std::string where = "dealer " + dealer + "; player " + player;
        EXPECT_EQ(ValueOf("купить карту "), mean(all, 1, 61)) << where;
        EXPECT_EQ(ValueOf("купить две карты "), mean(all, 2, 710)) << where;
        for (std::size_t i = 0; i < hand.size(); ++i) {
            EXPECT_EQ(ValueOf("поменять " + CardName(hand[i])), mean(without({hand[i]}), 1, 11))
                << where;
            for (std::size_t j = i + 1; j < hand.size(); ++j) {
                EXPECT_EQ(ValueOf("поменять " + CardName(hand[i]) + " и " + CardName(hand[j])),
                          mean(without({hand[i], hand[j]}), 2, 210))
                    << where;
                TCardTable kept;
                kept.Add(hand[i]);
                kept.Add(hand[j]);
                EXPECT_EQ(
                    ValueOf("поменять все, кроме " + CardName(hand[i]) + " и " + CardName(hand[j])),
                    mean(kept, 3, 310))
                    << where;
            }
        }
    }
}

TEST(ShownAmounts, RoundsEachValueOfAListToFourDecimalsAndKeepsEmptyOnes) {
    EXPECT_EQ(ShownAmounts("-1\r1,58384444\r\r-2,20000004768372\r"), "-1\r1,5838\r\r-2,2\r");
    EXPECT_EQ(ShownAmounts(""), "");
    EXPECT_EQ(ShownAmounts("0,00004\r0,99996"), "0\r1");
}

}  // namespace
}  // namespace studlab::testing
