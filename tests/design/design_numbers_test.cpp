// Messages about a design number name the field where the text stands, in the user's words.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cards/evaluator.h"
#include "design/design_fields.h"
#include "design/design_numbers.h"
#include "design/design_rules.h"
#include "text/number_text.h"

namespace studlab {
namespace {

struct TCase {
    std::string Assignment;
    std::string Message;
};

TEST(DesignNumbers, ATextThatDoesNotConvertNamesItsField) {
    const std::vector<TCase> cases = {
        {"PayQualified[ckFlush]=abc",
         "В поле «флеш: оплата при игре дилера» (конструктор, окно 1; строка 6 файла "
         "конструкции) стоит «abc», а нужно число, например 1,5"},
        {"PayNotQualified[ckRoyalFlush]=1.5",
         "В поле «роялфлеш: оплата при отсутствии игры у дилера» (конструктор, окно 1; строка 13 "
         "файла конструкции) стоит «1.5», а нужно число, например 1,5"},
        {"BetSize=два",
         "В поле «общие затраты: забиться» (конструктор, окно 3; строка 37 файла конструкции) "
         "стоит «два», а нужно число, например 1,5"},
        {"ExchangeCost[2][5]=",
         "В поле «затраты на втором этапе: обменять 5 карт» (конструктор, окно 3; строка 36 "
         "файла конструкции) стоит «», а нужно число, например 1,5"},
        {"BuyCost[1][2]=x",
         "В поле «затраты на первом этапе: купить 2 карты» (конструктор, окно 3; строка 24 файла "
         "конструкции) стоит «x», а нужно число, например 1,5"},
        {"TableMaximum=2,5",
         "В поле «максимум стола» (окно «проверка выгодности игры») стоит «2,5», а нужно целое "
         "число"},
    };
    for (const TCase& c : cases) {
        TGameDesign design;
        TCalculationSettings settings;
        SetDesignAssignment(design, settings, c.Assignment);
        try {
            MakeEvalRules(design, settings);
            ADD_FAILURE() << c.Assignment << " converted";
        } catch (const TConversionError& e) {
            EXPECT_EQ(e.what(), c.Message) << c.Assignment;
        }
    }
}

TEST(DesignNumbers, AnAmountBeyondWhatResultsCountNamesItsField) {
    TGameDesign design;
    TCalculationSettings settings;
    design.BuyDealerGameCost = "-2E9";
    try {
        MakeEvalRules(design, settings);
        ADD_FAILURE();
    } catch (const TEvalError& e) {
        EXPECT_STREQ(e.what(),
                     "В поле «общие затраты: купить игру дилеру» (конструктор, окно 3; строка 38 "
                     "файла конструкции) стоит «-2E9»: выплаты и цены не могут превышать "
                     "1000000000 анте");
    }
}

// A payout is kept in single precision: one that would quietly pay another amount is refused
// wherever the design comes from (a file, the constructor, an assignment), naming its field.
TEST(DesignNumbers, APayoutSinglePrecisionWouldChangeIsRefused) {
    for (const char* pay : {"16777217", "100000001", "20000,0001", "-16777217"}) {
        TGameDesign design;
        TCalculationSettings settings;
        std::string assignment = "PayQualified[ckPair]=";
        assignment += pay;
        SetDesignAssignment(design, settings, assignment);
        try {
            MakeEvalRules(design, settings);
            ADD_FAILURE() << pay << " was taken";
        } catch (const TEvalError& e) {
            const std::string message = e.what();
            std::string value = "стоит «";
            value += pay;
            value += "»";
            EXPECT_NE(message.find(value), std::string::npos) << message;
            EXPECT_NE(message.find("одинарной точности"), std::string::npos) << message;
        }
    }
    for (const char* pay : {"16777216", "100000000", "1023,9375", "0,0001", "-5"}) {
        TGameDesign design;
        TCalculationSettings settings;
        std::string assignment = "PayNotQualified[ckFlush]=";
        assignment += pay;
        SetDesignAssignment(design, settings, assignment);
        EXPECT_NO_THROW(MakeEvalRules(design, settings)) << pay;
    }
}

// A table maximum below one ante would pay a winning hand nothing (0) or charge it (-5).
TEST(DesignNumbers, ATableMaximumBelowOneIsRefusedWithItsRange) {
    for (const char* maximum : {"TableMaximum=0", "TableMaximum=-5"}) {
        TGameDesign design;
        TCalculationSettings settings;
        SetDesignAssignment(design, settings, maximum);
        try {
            MakeEvalRules(design, settings);
            ADD_FAILURE() << maximum << " was taken";
        } catch (const TEvalError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("«максимум стола»"), std::string::npos) << message;
            EXPECT_NE(message.find("от 1 до 2147483647"), std::string::npos) << message;
        }
    }
    TGameDesign design;
    TCalculationSettings settings;
    SetDesignAssignment(design, settings, "TableMaximum=1");
    EXPECT_EQ(MakeEvalRules(design, settings).TableMaximum, 1);
}

TEST(DesignNumbers, CyclesAndBoxesAreReadAsWholeNumbersOfTheirFields) {
    TGameDesign design;
    TCalculationSettings settings;
    settings.ProbabilisticCycles = "много";
    try {
        ReadWholeField(design, settings, settings.ProbabilisticCycles);
        ADD_FAILURE();
    } catch (const TConversionError& e) {
        EXPECT_STREQ(e.what(),
                     "В поле «вероятностный метод: количество циклов» (окно «проверка "
                     "выгодности игры») стоит «много», а нужно целое число");
    }
    EXPECT_EQ(ReadWholeField(design, settings, settings.TableMaximum), 200);
    EXPECT_DOUBLE_EQ(ReadRealField(design, settings, design.BuyCost[1][1]), 1.2);
    // A text of neither record keeps the conversion's own message.
    const TNumberText copy = "abc";
    EXPECT_THROW(ReadRealField(design, settings, copy), TConversionError);
    EXPECT_EQ(FieldOfText(design, settings, copy), nullptr);
}

// Every number field has a place of its own, found again from its member; a field of the file
// names its line there.
TEST(DesignNumbers, EveryNumberFieldHasAPlaceOfItsOwn) {
    TGameDesign design;
    TCalculationSettings settings;
    std::set<std::string> places;
    for (const TDesignField& field : DesignFields()) {
        if (field.Kind != TFieldKind::fkText) continue;
        const std::string place = DesignFieldPlace(field);
        EXPECT_TRUE(places.insert(place).second) << place;
        EXPECT_EQ(place.rfind("«", 0), 0U) << place;
        const std::string line = "строка " + std::to_string(field.FileLine) + " файла";
        EXPECT_EQ(place.find(line) != std::string::npos, field.FileLine != 0) << place;
        EXPECT_EQ(FieldOfText(design, settings, field.TextIn(design, settings)), &field) << place;
    }
}

}  // namespace
}  // namespace studlab
