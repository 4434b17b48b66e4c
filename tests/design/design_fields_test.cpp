#include <gtest/gtest.h>

#include "design/design_fields.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

TEST(DesignFields, SetReachesEveryKindOfField) {
    TGameDesign d;
    TCalculationSettings s;
    for (const char* assignment :
         {"PayQualified[ckThreeOfAKind]=7", "Plays[ckStraight]=NO",
          "StageActions[1][paExchange3]=YES", "MinPair=4", "MinAceKing=akWithQueen",
          "DealerOpenCards=2", "TableMaximum=1000", "CalcMethod=cmProbabilistic",
          "BuyCost[1][1]=1,5", "ExchangeCost[2][5]=3", "InsuranceMax=imFull",
          "DealerBuyAction[lowest]=YES", "CompositePlays[28]=YES", "DeckKind=dk54",
          "ProbabilisticCycles=", "MinPair=A"}) {
        SetDesignAssignment(d, s, assignment);
    }
    EXPECT_EQ(d.PayQualified[ckThreeOfAKind], "7");
    EXPECT_FALSE(d.Plays[ckStraight]);
    EXPECT_TRUE(d.Allows(1, paExchange3));
    EXPECT_EQ(d.MinPair, 1);
    EXPECT_EQ(d.MinAceKing, TMinAceKing::akWithQueen);
    EXPECT_EQ(d.DealerOpenCards, "2");
    EXPECT_EQ(s.TableMaximum, "1000");
    EXPECT_EQ(s.CalcMethod, TCalcMethod::cmProbabilistic);
    EXPECT_EQ(d.BuyCost[1][1], "1,5");
    EXPECT_EQ(d.ExchangeCost[2][5], "3");
    EXPECT_EQ(d.InsuranceMax(), TInsuranceMax::imFull);
    EXPECT_TRUE(d.DealerBuysLowest);
    EXPECT_TRUE(d.CompositePlays[27]);
    EXPECT_EQ(d.DeckKind, TDeckKind::dk54);
    EXPECT_EQ(s.ProbabilisticCycles, "");
}

TEST(DesignFields, ListShowsNamesThatSetTakesBack) {
    TGameDesign d;
    d.MinPair = 11;
    d.DeckKind.reset();  // a design file may leave a group without a chosen option
    d.MinAceKing.reset();
    TCalculationSettings s;
    TGameDesign copy;
    TCalculationSettings copySettings;
    SetDesignField(copy, copySettings, "TableMaximum", "5");  // to be set back
    for (const auto& [name, value] : ListDesignFields(d, s))
        SetDesignField(copy, copySettings, name, value);
    EXPECT_EQ(copy, d);
    EXPECT_EQ(copySettings, s);
}

TEST(DesignFields, UnknownNamesAndWrongFormsAreErrors) {
    TGameDesign d;
    TCalculationSettings s;
    for (const char* assignment :
         {"Nope=1", "Plays[ckStraight]=yes", "StageActions[3][paBuyCard]=YES",
          "StageActions[5][paFold]=YES", "MinPair=1", "MinAceKing=any", "CalcMethod=direct",
          "PayQualified[ckPair]", "BetSize=1\n2", "Plays[ckNoGame]=YES"}) {
        EXPECT_THROW(SetDesignAssignment(d, s, assignment), TFieldError) << assignment;
    }
    EXPECT_EQ(d, TGameDesign{});
}

TEST(DesignFields, ScriptsMayAskForNumbersOfTheFieldsForm) {
    struct TCase {
        const char* Assignment;
        bool Converts;
    };
    const TCase cases[] = {
        {"BetSize=abc", false},         {"BetSize=2,5", true},
        {"ExchangeCost[1][3]=", false}, {"PayQualified[ckPair]=1E3", true},
        {"TableMaximum=2,5", false},    {"TableMaximum=1000", true},
        {"ProbabilisticCycles=", true}, {"ProbabilisticCycles=x", false},
        {"DealerOpenCards=7", true},  // the table itself reports an impossible count
    };
    for (const TCase& c : cases) {
        TGameDesign d;
        TCalculationSettings s;
        // The windows' way: any text is kept, and reported when a computation reads it.
        EXPECT_NO_THROW(SetDesignAssignment(d, s, c.Assignment)) << c.Assignment;
        if (c.Converts) {
            EXPECT_NO_THROW(
                SetDesignAssignment(d, s, c.Assignment, TValueCheck::NumbersMustConvert))
                << c.Assignment;
        } else {
            EXPECT_THROW(SetDesignAssignment(d, s, c.Assignment, TValueCheck::NumbersMustConvert),
                         TFieldError)
                << c.Assignment;
        }
    }
}

}  // namespace
}  // namespace studlab
