#include <gtest/gtest.h>

#include "table/choice_codes.h"

namespace studlab::testing {
namespace {

// The codes are stored in the decision cache: their texts must stay what they are.
TEST(ChoiceCodes, AreTheTextsOfEachDecision) {
    EXPECT_EQ(kFoldCode, "1");
    EXPECT_EQ(kBetCode, "2");
    EXPECT_EQ(kInsuredBetCode, "3");
    EXPECT_EQ(kBuyCardCode, "4");
    EXPECT_EQ(kBuyTwoCardsCode, "5");
    const char* exchanges[] = {"", "6", "7", "8", "9", "10", ""};
    for (int cards = 0; cards <= 6; ++cards) EXPECT_EQ(ExchangeCode(cards), exchanges[cards]);
    const char* buy[] = {"", "", "11", "4", "1", ""};
    const char* decline[] = {"", "", "12", "5", "2", ""};
    for (int decision = 0; decision <= 5; ++decision) {
        EXPECT_EQ(BuyDealerGameCode(decision), buy[decision]) << decision;
        EXPECT_EQ(DeclineDealerGameCode(decision), decline[decision]) << decision;
    }
}

TEST(ChoiceCodes, SameTextMeansDifferentActionsAtDifferentDecisions) {
    EXPECT_TRUE(BuysDealerGame(2, "11"));
    EXPECT_TRUE(BuysDealerGame(3, "4"));
    EXPECT_TRUE(BuysDealerGame(4, "1"));
    for (const auto& [decision, code] :
         {std::pair{1, "1"}, std::pair{1, "4"}, std::pair{2, "4"}, std::pair{3, "11"},
          std::pair{4, "11"}, std::pair{1, ""}, std::pair{5, ""}}) {
        EXPECT_FALSE(BuysDealerGame(decision, code)) << decision << " " << code;
    }
    EXPECT_EQ(ExchangedCount("6"), 1);
    EXPECT_EQ(ExchangedCount("10"), 5);
    for (const char* code : {"", "1", "5", "11", "60"})
        EXPECT_EQ(ExchangedCount(code), std::nullopt);
    EXPECT_TRUE(FoldsOrBets("1") && FoldsOrBets("2") && FoldsOrBets("3"));
    EXPECT_FALSE(FoldsOrBets("4") || FoldsOrBets("11") || FoldsOrBets(""));
    EXPECT_TRUE(IsPurchaseCode("4") && IsPurchaseCode("5"));
    EXPECT_FALSE(IsPurchaseCode("6") || IsPurchaseCode("1"));
}

}  // namespace
}  // namespace studlab::testing
