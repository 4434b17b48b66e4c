#pragma once

#include <optional>
#include <string_view>

namespace studlab {

// The action codes a decision records (TTableState::Choice1 .. Choice4, and the decision cache
// stores them): short texts whose meaning depends on the decision that chose them. Decisions 1
// and 2 offer the purchases and exchanges, decisions 1 to 3 the fold and the bets, decisions 2
// to 4 buying the dealer a game, each decision under codes of its own: "4" buys a card at
// decision 2 but buys the dealer a game at decision 3.

// Decisions 1 to 3.
inline constexpr std::string_view kFoldCode = "1";
inline constexpr std::string_view kBetCode = "2";
inline constexpr std::string_view kInsuredBetCode = "3";
// Decisions 1 and 2.
inline constexpr std::string_view kBuyCardCode = "4";
inline constexpr std::string_view kBuyTwoCardsCode = "5";

constexpr bool IsBetCode(std::string_view code) {
    return code == kBetCode || code == kInsuredBetCode;
}
// The hand goes on without new cards for the player: he folded or bet (decisions 1 to 3).
constexpr bool FoldsOrBets(std::string_view code) {
    return code == kFoldCode || IsBetCode(code);
}
// One or two cards bought into the slots left of the player's row (decisions 1 and 2).
constexpr bool IsPurchaseCode(std::string_view code) {
    return code == kBuyCardCode || code == kBuyTwoCardsCode;
}

// Exchanging `cards` (1..5) of the player's cards at decisions 1 and 2: "6" .. "10".
inline constexpr int kMaxExchange = 5;
constexpr std::string_view ExchangeCode(int cards) {
    constexpr std::string_view kCodes[kMaxExchange + 1] = {"", "6", "7", "8", "9", "10"};
    return cards >= 1 && cards <= kMaxExchange ? kCodes[cards] : std::string_view();
}
// How many cards the code exchanges, none for any other code (decisions 1 and 2).
constexpr std::optional<int> ExchangedCount(std::string_view code) {
    for (int n = 1; n <= kMaxExchange; ++n) {
        if (code == ExchangeCode(n)) return n;
    }
    return std::nullopt;
}

// Buying the dealer a game, and declining it, at decisions 2, 3 and 4: "11" / "12", "4" / "5",
// "1" / "2"; no code at the other decisions.
constexpr std::string_view BuyDealerGameCode(int decision) {
    switch (decision) {
        case 2:
            return "11";
        case 3:
            return "4";
        case 4:
            return "1";
        default:
            return {};
    }
}
constexpr std::string_view DeclineDealerGameCode(int decision) {
    switch (decision) {
        case 2:
            return "12";
        case 3:
            return "5";
        case 4:
            return "2";
        default:
            return {};
    }
}
// Whether `code`, chosen at `decision`, buys the dealer a game.
constexpr bool BuysDealerGame(int decision, std::string_view code) {
    const std::string_view buy = BuyDealerGameCode(decision);
    return !buy.empty() && code == buy;
}

}  // namespace studlab
