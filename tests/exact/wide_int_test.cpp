#include "profit/exact/wide_int.h"

#include <gtest/gtest.h>

namespace studlab {
namespace {

TEST(WideInt, ArithmeticAgainst128Bits) {
    const std::vector<TInt128> values = {
        0, 1, -1, 123456789, -987654321012345LL, TInt128{1} << 100, -(TInt128{1} << 90) + 7};
    for (TInt128 a : values) {
        for (TInt128 b : values) {
            EXPECT_EQ(TInt256::From128(a) + TInt256::From128(b), TInt256::From128(a + b));
            EXPECT_EQ(TInt256::From128(a) - TInt256::From128(b), TInt256::From128(a - b));
            EXPECT_EQ(TInt256::From128(a) < TInt256::From128(b), a < b);
        }
        for (TInt128 b : values) {
            if (a > -(TInt128{1} << 60) && a < (TInt128{1} << 60) && b > -(TInt128{1} << 60) &&
                b < (TInt128{1} << 60)) {
                EXPECT_EQ(TInt256::From128(a) * TInt256::From128(b), TInt256::From128(a * b));
            }
        }
        for (std::int64_t f :
             {std::int64_t{0}, std::int64_t{3}, std::int64_t{-5}, std::int64_t{1} << 20}) {
            EXPECT_EQ(TInt256::From128(a) * f, TInt256::From128(a * f));
        }
    }
}

TEST(WideInt, BeyondAHundredAndTwentyEightBits) {
    // 10^60 by repeated multiplication, printed and read back.
    TInt256 big(1);
    for (int i = 0; i < 60; ++i) big *= 10;
    EXPECT_EQ(big.ToString(), "1" + std::string(60, '0'));
    TInt256 e30(1);
    for (int i = 0; i < 30; ++i) e30 *= 10;
    EXPECT_EQ(e30 * e30, big);
    EXPECT_EQ((-e30) * (e30 * 7), -(big * 7));
    EXPECT_EQ(TInt256::FromString(big.ToString()), big);
    EXPECT_EQ((-big).ToString(), "-1" + std::string(60, '0'));
    EXPECT_EQ(TInt256::FromString((-big - 5).ToString()), -big - 5);
    EXPECT_NEAR(static_cast<double>(big.ToLongDouble() / 1e60L), 1.0, 1e-15);
    EXPECT_EQ(TInt256::FromString("12a"), std::nullopt);
    EXPECT_EQ(TInt256::FromString(""), std::nullopt);
    EXPECT_EQ(TInt256::FromString("1" + std::string(80, '0')), std::nullopt);
}

}  // namespace
}  // namespace studlab
