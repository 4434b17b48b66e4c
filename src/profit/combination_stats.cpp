#include "profit/combination_stats.h"

#include "text/number_text.h"

namespace studlab {
namespace {

constexpr std::array<std::string_view, TCombinationStats::kRows> kRowCaptions = {
    "роялфлешей", "стритфлешей", "каре", "фулхаусов",     "флешей",  "стритов",
    "троек",      "двух пар",    "пар",  "тузов-королей", "без игры"};

constexpr std::array<std::string_view, TCombinationStats::kColumns> kHeaders = {
    "колличество комбинаций игрока",
    "из них   с раздачи",
    "из них   с покупки",
    "оплачено",
    "неоплачено",
    "проигранно"};

}  // namespace

int TCombinationStats::RowOf(TCombinationKind category) {
    if (category < TCombinationKind::ckRoyalFlush || category > TCombinationKind::ckAceKing) {
        return kRows - 1;
    }
    return KindIndex(category) - KindIndex(TCombinationKind::ckRoyalFlush);
}

void TCombinationStats::Record(TCombinationKind category, float extraStake,
                               std::int64_t handResult) {
    auto& row = m_counts[static_cast<std::size_t>(RowOf(category))];
    ++row[static_cast<int>(extraStake == 0.0F ? TColumn::FromDeal : TColumn::FromBuying)];
    // Measured before the costs: a gross gain of 3 antes is a paid combination, 1 up to 3 is the
    // ante won against a dealer without a game, anything less is a loss. The costs are counted in
    // whole ten-thousandths, as the result is: a single-precision 0,7 lies a trifle below 0,7 and
    // would move a gain of exactly 3 antes under the threshold.
    const std::int64_t costs = RoundHalfEven(static_cast<long double>(extraStake) * 10000);
    const TColumn outcome = handResult >= 30000 - costs   ? TColumn::Paid
                            : handResult >= 10000 - costs ? TColumn::Unpaid
                                                          : TColumn::Lost;
    ++row[static_cast<int>(outcome)];
}

std::uint32_t TCombinationStats::Count(int row, TColumn column) const {
    const auto& counts = m_counts.at(static_cast<std::size_t>(row));
    if (column == TColumn::Total) {
        return counts[static_cast<int>(TColumn::FromDeal)] +
               counts[static_cast<int>(TColumn::FromBuying)];
    }
    return counts[static_cast<int>(column)];
}

std::string TCombinationStats::ColumnText(TColumn column) const {
    std::string text;
    for (int row = 0; row < kRows; ++row) {
        if (row > 0) text += '\r';
        text += std::to_string(Count(row, column));
    }
    return text;
}

std::string_view TCombinationStats::RowCaption(int row) {
    return kRowCaptions.at(static_cast<std::size_t>(row));
}
std::string_view TCombinationStats::ColumnHeader(TColumn column) {
    return kHeaders.at(static_cast<std::size_t>(column));
}

}  // namespace studlab
