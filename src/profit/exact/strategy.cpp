#include "profit/exact/strategy.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include "profit/exact/exact_figures.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TCombinationKind;

constexpr int kFirstAceKingRow = 8;
constexpr int kFirstPairRow = 17;
constexpr int kTwoPairsRow = 30;

// "2" .. "10", "J", "Q", "K", "A" for a RankIndex.
std::string RankText(RankIndex rank) {
    constexpr std::array<const char*, 14> kTexts = {"",  "A", "K", "Q", "J", "10", "9",
                                                    "8", "7", "6", "5", "4", "3",  "2"};
    return kTexts[static_cast<std::size_t>(rank)];
}

// The ranks of the cards from the highest, once each.
std::vector<RankIndex> RanksFromHighest(TCardTable hand) {
    std::vector<RankIndex> ranks;
    for (RankIndex r = 1; r <= kRanks; ++r) {
        if (hand.RankCount(r) > 0) ranks.push_back(r);
    }
    return ranks;
}

}  // namespace

int StrategyRowOf(TCardTable hand, TCombinationKind kind) {
    const std::vector<RankIndex> ranks = RanksFromHighest(hand);
    switch (kind) {
        case ckNoGame:
            // The highest card, seven (or lower, when straights do not play) to the ace.
            return ranks.empty() ? 0 : std::clamp(8 - ranks.front(), 0, kFirstAceKingRow - 1);
        case ckAceKing:
            return ranks.size() < 3 ? kFirstAceKingRow
                                    : std::clamp(kFirstAceKingRow + 11 - ranks[2], kFirstAceKingRow,
                                                 kFirstPairRow - 1);
        case ckPair:
            for (RankIndex r : ranks) {
                if (hand.RankCount(r) >= 2) return kFirstPairRow + kRanks - r;
            }
            return kFirstPairRow;
        case ckTwoPairs:
            return kTwoPairsRow;
        case ckThreeOfAKind:
            return kTwoPairsRow + 1;
        case ckStraight:
            return kTwoPairsRow + 2;
        case ckFlush:
            return kTwoPairsRow + 3;
        default:
            return kTwoPairsRow + 4;  // full house and higher
    }
}

std::string StrategyRowCaption(int row) {
    if (row < kFirstAceKingRow) return "без игры, старшая " + RankText(8 - row);
    if (row < kFirstPairRow) return "туз-король, третья " + RankText(11 - (row - kFirstAceKingRow));
    if (row < kTwoPairsRow) return "пара " + RankText(kRanks - (row - kFirstPairRow));
    constexpr std::array<const char*, 5> kRest = {"две пары", "тройка", "стрит", "флеш",
                                                  "фулхаус и выше"};
    return kRest[static_cast<std::size_t>(row - kTwoPairsRow)];
}

int StrategyColumnOf(TCardTable dealer) {
    if (dealer.Count() != 1) return 0;
    int column = 0;
    dealer.ForEach([&](TCardId id) { column = kRanks - RankIndexOf(id); });
    return column;
}

std::string StrategyColumnCaption(int column) {
    return RankText(kRanks - column);
}

TStrategyGrid& TStrategyGrid::operator+=(const TStrategyGrid& o) {
    for (std::size_t i = 0; i < kTallies; ++i) {
        m_tallies[i].Offered += o.m_tallies[i].Offered;
        m_tallies[i].Taken += o.m_tallies[i].Taken;
        m_tallies[i].ValueSum += o.m_tallies[i].ValueSum;
    }
    return *this;
}

std::string TStrategyGrid::ToText() const {
    std::string text;
    for (std::size_t i = 0; i < kTallies; ++i) {
        const TStrategyTally& t = m_tallies[i];
        if (t.Offered == 0 && t.Taken == 0) continue;
        text += std::to_string(i) + ' ' + std::to_string(t.Offered) + ' ' +
                std::to_string(t.Taken) + ' ' + t.ValueSum.ToString() + ';';
    }
    return text;
}

bool TStrategyGrid::FromText(std::string_view text, TStrategyGrid& grid) {
    grid = TStrategyGrid();
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        if (end == std::string_view::npos) return false;
        std::string_view entry = text.substr(0, end);
        text.remove_prefix(end + 1);
        std::array<std::int64_t, 3> n{};
        for (std::int64_t& value : n) {
            while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
            const auto [at, error] =
                std::from_chars(entry.data(), entry.data() + entry.size(), value);
            if (error != std::errc()) return false;
            entry.remove_prefix(static_cast<std::size_t>(at - entry.data()));
        }
        // The value sum: the rest of the entry, a whole number of any size.
        while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
        const std::optional<TInt256> valueSum = TInt256::FromString(entry);
        if (!valueSum || n[0] < 0 || static_cast<std::size_t>(n[0]) >= kTallies) return false;
        grid.m_tallies[static_cast<std::size_t>(n[0])] = {n[1], n[2], *valueSum};
    }
    return true;
}

TStrategyCell StrategyCellOf(const TStrategyGrid& grid, int row, int column) {
    TStrategyCell cell;
    std::int64_t layouts = 0;
    std::int64_t most = 0;
    for (int a = 0; a < kFirstActions; ++a) {
        const TStrategyTally& t = grid.At(row, column, static_cast<TFirstAction>(a));
        layouts += t.Taken;
        if (t.Taken > most) {
            most = t.Taken;
            cell.Action = static_cast<TFirstAction>(a);
        }
        cell.Offered[static_cast<std::size_t>(a)] = t.Offered > 0;
        if (t.Offered > 0) {
            cell.MeanValue[static_cast<std::size_t>(a)] =
                Quotient(t.ValueSum, TInt256(t.Offered)) / 10000;
        }
    }
    cell.Empty = layouts == 0;
    if (!cell.Empty) {
        cell.SharePercent =
            static_cast<long double>(most) / static_cast<long double>(layouts) * 100;
    }
    return cell;
}

void WriteStrategyCsv(const TStrategyGrid& grid, bool byDealerCard, std::ostream& out) {
    const int columns = byDealerCard ? kStrategyColumns : 1;
    out << "стартовая рука";
    for (int c = 0; c < columns; ++c) {
        out << ';' << (byDealerCard ? "дилер " + StrategyColumnCaption(c) : std::string("все"));
    }
    out << '\n';
    for (int r = 0; r < kStrategyRows; ++r) {
        out << StrategyRowCaption(r);
        for (int c = 0; c < columns; ++c) {
            out << ';';
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            if (cell.Empty) continue;
            out << FirstActionCaption(cell.Action);
            // The share when the choice depends on more than the group and the card.
            const long double share = std::floor(cell.SharePercent);
            if (share < 100) out << ' ' << FormatNumber(share) << " %";
        }
        out << '\n';
    }
}

}  // namespace studlab
