#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_table.h"
#include "cards/combination_kind.h"
#include "profit/exact/exact_outcomes.h"
#include "profit/exact/wide_int.h"

namespace studlab {

// The strategy of a game at its first decision, in groups of starting hands (rows) against the
// rank of the dealer's open card (columns, when he shows one card; one column otherwise): how
// often the play takes each action, and what each action is worth there on average.
//
// Rows, weakest first: no game by the highest card (7 .. A), ace-king by the third card (4 .. Q),
// each pair from twos to aces, two pairs, three of a kind, straight, flush, full house and
// higher.
inline constexpr int kStrategyRows = 35;
inline constexpr int kStrategyColumns = 13;  // the dealer's open card: 2 .. A

// The row of a player's five cards of the given kind.
int StrategyRowOf(TCardTable hand, TCombinationKind kind);
std::string StrategyRowCaption(int row);
// The column of the dealer's open cards: the rank of the one card (2 .. A), 0 otherwise.
int StrategyColumnOf(TCardTable dealer);
std::string StrategyColumnCaption(int column);  // "2" .. "A"

// One cell and action: layouts that were offered the action, layouts that took it, and the sum
// of the action's value (the best candidate of it) over the layouts it was offered to, in
// ten-thousandths of an ante. Whole numbers, so they add up in any order; the value sum in 256
// bits, since a cell may gather a billion layouts of actions worth billions of antes.
struct TStrategyTally {
    std::int64_t Offered = 0;
    std::int64_t Taken = 0;
    TInt256 ValueSum = 0;
    friend bool operator==(const TStrategyTally&, const TStrategyTally&) = default;
};

class TStrategyGrid {
public:
    TStrategyTally& At(int row, int column, TFirstAction action) {
        return m_tallies[Index(row, column, action)];
    }
    const TStrategyTally& At(int row, int column, TFirstAction action) const {
        return m_tallies[Index(row, column, action)];
    }
    static std::size_t Index(int row, int column, TFirstAction action) {
        return (static_cast<std::size_t>(row) * kStrategyColumns +
                static_cast<std::size_t>(column)) *
                   kFirstActions +
               static_cast<std::size_t>(action);
    }
    static constexpr std::size_t kTallies =
        static_cast<std::size_t>(kStrategyRows) * kStrategyColumns * kFirstActions;
    TStrategyTally& AtIndex(std::size_t i) { return m_tallies[i]; }
    const TStrategyTally& AtIndex(std::size_t i) const { return m_tallies[i]; }

    TStrategyGrid& operator+=(const TStrategyGrid& o);
    friend bool operator==(const TStrategyGrid&, const TStrategyGrid&) = default;

    // The tallies that are not zero, as "index offered taken value;" (for checkpoints).
    std::string ToText() const;
    static bool FromText(std::string_view text, TStrategyGrid& grid);

private:
    std::array<TStrategyTally, kTallies> m_tallies{};
};

// What a cell shows: the action taken most often and its share, and every offered action's mean
// value in antes.
struct TStrategyCell {
    bool Empty = true;  // no starting hand of the row against that card
    TFirstAction Action = TFirstAction::faNone;
    long double SharePercent = 0;
    std::array<long double, kFirstActions> MeanValue{};  // antes; meaningful where offered
    std::array<bool, kFirstActions> Offered{};
};
TStrategyCell StrategyCellOf(const TStrategyGrid& grid, int row, int column);

// The grid as text with ';' between fields, a row a line: the first line the columns, then each
// row's caption and its cells ("забиться 63 %", "сделать пас" when always, empty for no hand).
void WriteStrategyCsv(const TStrategyGrid& grid, bool byDealerCard, std::ostream& out);

}  // namespace studlab
