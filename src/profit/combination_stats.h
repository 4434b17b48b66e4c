#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/combination_kind.h"

namespace studlab {

// Counts of the player's combinations over the recorded hands of a run: where each came from
// (the deal or paid cards) and how it ended (paid, won without pay, lost).
class TCombinationStats {
public:
    static constexpr int kRows = 11;  // royal flush .. ace-king, then no game

    enum class TColumn { Total, FromDeal, FromBuying, Paid, Unpaid, Lost };
    static constexpr int kColumns = 6;

    // `category` is the kind of the player's cards at his last decision (ckNoGame for none);
    // `handResult` is in ten-thousandths of an ante; `extraStake` the antes paid in the hand.
    void Record(TCombinationKind category, float extraStake, std::int64_t handResult);
    void Clear() { m_counts = {}; }

    std::uint32_t Count(int row, TColumn column) const;
    // Eleven counts in row order, one per line (lines end with "\r" between them).
    std::string ColumnText(TColumn column) const;

    static std::string_view RowCaption(int row);
    static std::string_view ColumnHeader(TColumn column);
    static int RowOf(TCombinationKind category);

private:
    // [row][FromDeal .. Lost]; the total column is the sum of the first two.
    std::array<std::array<std::uint32_t, kColumns>, kRows> m_counts{};
};

}  // namespace studlab
