#include "profit/exact/exact_sums.h"

#include <bit>
#include <charconv>

namespace studlab {
namespace {

// The fields in the order of their text: the scalars, the first actions, then every return cell.
template <class S, class F>
void ForEachNumber(S& sums, F&& f) {
    f(sums.Layouts);
    f(sums.Weight);
    f(sums.Result);
    f(sums.ResultSquares);
    f(sums.Stake);
    f(sums.BestResult);
    f(sums.ChoicesDiffer);
    for (auto& n : sums.FirstAction) f(n);
    for (auto& row : sums.Returns) {
        for (auto& cell : row) {
            f(cell.Chance);
            f(cell.Contribution);
        }
    }
}

}  // namespace

void TExactSums::AddTotals(const TExactSums& o) {
    Classes += o.Classes;
    Layouts += o.Layouts;
    Weight += o.Weight;
    Result += o.Result;
    ResultSquares += o.ResultSquares;
    Stake += o.Stake;
    BestResult += o.BestResult;
    ChoicesDiffer += o.ChoicesDiffer;
}

TExactSums& TExactSums::operator+=(const TExactSums& o) {
    AddTotals(o);
    for (std::size_t a = 0; a < FirstAction.size(); ++a) FirstAction[a] += o.FirstAction[a];
    for (std::size_t k = 0; k < Returns.size(); ++k) {
        for (std::size_t c = 0; c < Returns[k].size(); ++c) {
            Returns[k][c].Chance += o.Returns[k][c].Chance;
            Returns[k][c].Contribution += o.Returns[k][c].Contribution;
        }
    }
    Strategy += o.Strategy;
    return *this;
}

void TExactSums::Take(TExactSums& o, std::uint64_t cells, const std::vector<std::size_t>& tallies) {
    AddTotals(o);
    const TInt256 zero;
    for (std::size_t a = 0; a < FirstAction.size(); ++a) {
        if (o.FirstAction[a] == zero) continue;
        FirstAction[a] += o.FirstAction[a];
        o.FirstAction[a] = zero;
    }
    for (; cells != 0; cells &= cells - 1) {
        const auto bit = static_cast<std::size_t>(std::countr_zero(cells));
        TReturnCell& from = o.Returns[bit / kFinalOutcomes][bit % kFinalOutcomes];
        TReturnCell& to = Returns[bit / kFinalOutcomes][bit % kFinalOutcomes];
        to.Chance += from.Chance;
        to.Contribution += from.Contribution;
        from = TReturnCell();
    }
    for (std::size_t i : tallies) {
        TStrategyTally& from = o.Strategy.AtIndex(i);
        TStrategyTally& to = Strategy.AtIndex(i);
        to.Offered += from.Offered;
        to.Taken += from.Taken;
        to.ValueSum += from.ValueSum;
        from = TStrategyTally();
    }
    o.Classes = 0;
    o.Layouts = o.Weight = o.Result = o.ResultSquares = o.Stake = o.BestResult = o.ChoicesDiffer =
        zero;
}

// "classes n n n ...": most return cells are 0, which costs a single digit each.
std::string TExactSums::ToText() const {
    std::string text = std::to_string(Classes);
    ForEachNumber(*this, [&](const TInt256& n) {
        text += ' ';
        text += n.ToString();
    });
    text += " |";
    text += Strategy.ToText();
    return text;
}

std::optional<TExactSums> TExactSums::FromText(std::string_view text) {
    TExactSums sums;
    // The strategy's tallies follow the sums after " |".
    const std::size_t bar = text.find(" |");
    if (bar == std::string_view::npos) return std::nullopt;
    if (!TStrategyGrid::FromText(text.substr(bar + 2), sums.Strategy)) return std::nullopt;
    text = text.substr(0, bar);
    auto next = [&]() -> std::optional<std::string_view> {
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (text.empty()) return std::nullopt;
        const std::size_t end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        return word;
    };
    const auto classes = next();
    if (!classes) return std::nullopt;
    const auto [end, error] =
        std::from_chars(classes->data(), classes->data() + classes->size(), sums.Classes);
    if (error != std::errc() || end != classes->data() + classes->size()) return std::nullopt;
    bool good = true;
    ForEachNumber(sums, [&](TInt256& n) {
        const auto word = good ? next() : std::nullopt;
        const auto value = word ? TInt256::FromString(*word) : std::nullopt;
        if (value) {
            n = *value;
        } else {
            good = false;
        }
    });
    if (!good || next()) return std::nullopt;
    return sums;
}

}  // namespace studlab
