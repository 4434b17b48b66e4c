#include "profit/run_path.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "text/number_text.h"

namespace studlab {
namespace {

constexpr double kZ95 = 1.959963984540054;

// A number for scripts: shortest form, decimal point, at most four decimals.
std::string CsvNumber(double value) {
    value = std::nearbyint(value * 10000) / 10000;
    if (value == 0) value = 0;  // no "-0"
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("nan");
}

}  // namespace

void TRunPath::Add(std::int64_t result) {
    ++m_hands;
    m_total += result;

    const std::int64_t antes = RoundHalfEven(static_cast<long double>(result) / 10000);
    if (m_endingHere >= 0) {  // no losing run ends here: one may start with this hand
        m_endingHere = antes;
        m_endingHereFirst = m_hands;
        m_endingHereBefore = m_total - result;
    } else {
        m_endingHere += antes;
    }
    if (-m_endingHere > m_bank.Antes) {
        m_bank = {-m_endingHere, m_endingHereFirst, m_hands, m_endingHereBefore, m_total};
    }

    if (m_hands % m_stride != 0) return;
    if (m_points.size() == kMaxPoints) {
        for (std::size_t i = 1; i < m_points.size(); i += 2) m_points[i / 2] = m_points[i];
        m_points.resize(m_points.size() / 2);
        m_stride *= 2;
        if (m_hands % m_stride != 0) return;
    }
    m_points.push_back(m_total);
}

std::vector<TPathPoint> PathToDraw(const TRunPath& path, std::size_t most) {
    const auto& points = path.Points();
    std::vector<TPathPoint> drawn{{0, 0}};
    const std::size_t buckets = std::max<std::size_t>(most / 2, 1);
    const std::size_t perBucket = (points.size() + buckets - 1) / std::max<std::size_t>(buckets, 1);
    const auto at = [&](std::size_t i) {
        return TPathPoint{static_cast<std::int64_t>(i + 1) * path.Stride(),
                          static_cast<double>(points[i]) / 10000};
    };
    if (perBucket <= 1) {
        for (std::size_t i = 0; i < points.size(); ++i) drawn.push_back(at(i));
        return drawn;
    }
    for (std::size_t start = 0; start < points.size(); start += perBucket) {
        const std::size_t end = std::min(points.size(), start + perBucket);
        std::size_t low = start;
        std::size_t high = start;
        for (std::size_t i = start; i < end; ++i) {
            if (points[i] < points[low]) low = i;
            if (points[i] > points[high]) high = i;
        }
        drawn.push_back(at(std::min(low, high)));
        if (low != high) drawn.push_back(at(std::max(low, high)));
    }
    if (drawn.back().Hands != at(points.size() - 1).Hands) drawn.push_back(at(points.size() - 1));
    return drawn;
}

TExpectedPoint ExpectedAfter(std::int64_t hands, double mean, double stdDev) {
    const double n = static_cast<double>(hands);
    const double spread = kZ95 * stdDev * std::sqrt(n);
    return {n * mean, n * mean - spread, n * mean + spread};
}

void WritePathCsv(const TRunPath& path, double mean, double stdDev, std::ostream& out) {
    out << "hands,result_antes,expected_antes,expected_95_low_antes,expected_95_high_antes\n";
    const auto& points = path.Points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::int64_t hands = static_cast<std::int64_t>(i + 1) * path.Stride();
        const TExpectedPoint e = ExpectedAfter(hands, mean, stdDev);
        out << hands << ',' << CsvNumber(static_cast<double>(points[i]) / 10000) << ','
            << CsvNumber(e.Expected) << ',' << CsvNumber(e.Low) << ',' << CsvNumber(e.High) << '\n';
    }
}

}  // namespace studlab
