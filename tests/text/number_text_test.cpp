#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/test_folder.h"
#include "text/number_text.h"

namespace studlab {
namespace {

TEST(ParseDesignNumber, AcceptsTheDecimalCommaSignsBlanksAndExponents) {
    const std::vector<std::pair<const char*, double>> cases = {
        {"1,2", 1.2}, {"201", 201},  {" -30 ", -30},   {"+5", 5},         {"0", 0},   {",5", 0.5},
        {"3,", 3},    {"1E3", 1000}, {"2,5e-1", 0.25}, {"-1,5E+2", -150}, {"\t7", 7},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(ParseDesignNumber(text), value) << text;
    }
}

TEST(ParseDesignNumber, RejectsWithTheExactMessage) {
    for (const char* text :
         {"", " ", "1.2", "1,2,3", "abc", "1e", "--1", "1 2", "1,2x", ",", "-", "1e400"}) {
        try {
            ParseDesignNumber(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const TConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

TEST(ParseDesignInteger, AcceptsDecimalDigitsOnly) {
    EXPECT_EQ(ParseDesignInteger("200"), 200);
    EXPECT_EQ(ParseDesignInteger("  -3"), -3);
    EXPECT_EQ(ParseDesignInteger("+7"), 7);
    EXPECT_EQ(ParseDesignInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseDesignInteger("-2147483648"), -2147483647 - 1);
    for (const char* text :
         {"", "1,5", "7 ", "1e3", "x", "2147483648", "99999999999999999999", "-"}) {
        try {
            ParseDesignInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const TConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(FormatNumber, GeneralFormatWithDecimalComma) {
    const std::vector<std::pair<long double, const char*>> cases = {
        {-1, "-1"},
        {1.5838L, "1,5838"},
        {0, "0"},
        {-0.0L, "0"},
        {2.5L, "2,5"},
        {5300, "5300"},
        {-123.4L, "-123,4"},
        {0.0001L, "0,0001"},
        {1e14L, "100000000000000"},
        {1e15L, "1E15"},
        {1.5e20L, "1,5E20"},
        {0.00001L, "0,00001"},
        {0.000001L, "1E-6"},
        {1.0L / 3, "0,333333333333333"},
        {static_cast<long double>(1.2f), "1,20000004768372"},
        {-2.2f, "-2,20000004768372"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatNumber(value), text);
}

// Rounded to 15 digits the largest doubles would be written beyond every double; they are cut,
// so that what the format writes reads back.
TEST(FormatNumber, TheLargestDoublesReadBack) {
    const double largest = std::numeric_limits<double>::max();
    const std::vector<std::pair<double, const char*>> cases = {
        {largest, "1,79769313486231E308"},
        {-largest, "-1,79769313486231E308"},
        {-1.7976931348623155e308, "-1,79769313486231E308"},
        {1.7976931348623e308, "1,7976931348623E308"},
        {1e308, "1E308"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatNumber(value), text);
        EXPECT_NO_THROW(ParseDesignNumber(FormatNumber(value))) << text;
    }
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5L), 0);
    EXPECT_EQ(RoundHalfEven(1.5L), 2);
    EXPECT_EQ(RoundHalfEven(2.5L), 2);
    EXPECT_EQ(RoundHalfEven(-2.5L), -2);
    EXPECT_EQ(RoundHalfEven(15837.91L), 15838);
    EXPECT_EQ(RoundHalfEven(-0.4L), 0);
    // Beyond 64 bits: an error, never a wrapped number.
    EXPECT_EQ(RoundHalfEven(-9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
    EXPECT_THROW(RoundHalfEven(9223372036854775808.0L), std::range_error);
    EXPECT_THROW(RoundHalfEven(-1e30L), std::range_error);
    EXPECT_THROW(RoundHalfEven(std::numeric_limits<long double>::quiet_NaN()), std::range_error);
    EXPECT_EQ(FormatTenThousandths(25000), "2,5");
    EXPECT_EQ(FormatTenThousandths(-10000), "-1");
}

// The windows run under the user's locale, whose decimal separator may be a comma. A comma
// locale is taken from the system or, where none is installed, compiled for the test.
class UnderACommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::setlocale(LC_NUMERIC, nullptr);
        if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
            return;
        const std::string compile = "localedef -i ru_RU -f UTF-8 '" +
                                    (m_dir / "ru_RU.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(compile.c_str()) == 0) {
            setenv("LOCPATH", m_dir.Path().c_str(), 1);
            if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8")) return;
        }
        GTEST_SKIP() << "no locale with a decimal comma could be installed";
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, m_previous.c_str()); }

private:
    std::string m_previous;
    const testing::TTestFolder m_dir;  // a test of its own: two runs never compile into one
};

TEST_F(UnderACommaLocale, NumbersReadAndWriteAsEverywhere) {
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
    EXPECT_DOUBLE_EQ(ParseDesignNumber("1,2"), 1.2);
    EXPECT_DOUBLE_EQ(ParseDesignNumber("-2,5E3"), -2500);
    EXPECT_THROW(ParseDesignNumber("1.2"), TConversionError);
    EXPECT_EQ(FormatNumber(1.5838L), "1,5838");
    EXPECT_EQ(FormatNumber(-1), "-1");
}

}  // namespace
}  // namespace studlab

namespace studlab {
namespace {

TEST(FormatAmount, AtMostFourDecimals) {
    const std::vector<std::pair<long double, std::string>> cases = {
        {-2.20000004768372L, "-2,2"},
        {static_cast<long double>(-2.2F), "-2,2"},
        {1.58376L, "1,5838"},
        {1.58384L, "1,5838"},
        {0.00004L, "0"},
        {-0.00006L, "-0,0001"},
        {200, "200"},
        {1e30L, "1E30"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatAmount(value), text) << text;
    EXPECT_EQ(FormatAmountText("-2,20000004768372"), "-2,2");
    EXPECT_EQ(FormatAmountText(""), "");
    EXPECT_EQ(FormatAmountText("abc"), "abc");
}

TEST(FormatAmount, InATextEveryAmountAndNothingElse) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Вы проиграли  2,20000004768372 анте", "Вы проиграли  2,2 анте"},
        {"Вы выграли  1,58376  анте!", "Вы выграли  1,5838  анте!"},
        {"-0,000049999", "0"},
        {"от -2,20000004768372 до 4,91304347826087", "от -2,2 до 4,913"},
        {"1,23456E-5 и 1,5E3", "0 и 1500"},
        {"поменять все, кроме 10 пик и 2 треф", "поменять все, кроме 10 пик и 2 треф"},
        {"A2,123456 10-3,123456", "A2,123456 10-3,123456"},  // parts of words and numbers
        {"1,2E и 3,", "1,2E и 3,"},
        {"Число \"1,55555\" не от 0 до 5, а 2,123456", "Число \"1,55555\" не от 0 до 5, а 2,1235"},
        {"стоит «-2,20000004768372»", "стоит «-2,20000004768372»"},
        {"", ""},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(FormatAmountsInText(text), shown) << text;
}

}  // namespace
}  // namespace studlab
