#include "profit/exact/exact_sums.h"

#include <charconv>
#include <vector>

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

TExactSums& TExactSums::operator+=(const TExactSums& o) {
    Classes += o.Classes;
    std::vector<const TInt256*> theirs;
    ForEachNumber(o, [&](const TInt256& n) { theirs.push_back(&n); });
    std::size_t i = 0;
    ForEachNumber(*this, [&](TInt256& n) { n += *theirs[i++]; });
    return *this;
}

// "classes n n n ...": most return cells are 0, which costs a single digit each.
std::string TExactSums::ToText() const {
    std::string text = std::to_string(Classes);
    ForEachNumber(*this, [&](const TInt256& n) {
        text += ' ';
        text += n.ToString();
    });
    return text;
}

std::optional<TExactSums> TExactSums::FromText(std::string_view text) {
    TExactSums sums;
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
