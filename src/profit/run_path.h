#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "text/number_text.h"

namespace studlab {

// The largest loss over consecutive hands, as the bank counts it (each hand's result rounded to
// whole antes), and the hands it spans.
struct TBankSpan {
    std::int64_t Antes = 0;        // 0 when no run of hands loses
    std::int64_t FirstHand = 0;    // the first hand of the losing run, from 1 (0 with none)
    std::int64_t LastHand = 0;     // its last hand
    TAnteSum TotalBefore = 0;  // the cumulative result before its first hand, ten-thousandths
    TAnteSum TotalAfter = 0;   // and after its last
};

// A point of the path to draw: the cumulative result after `Hands` hands, in antes.
struct TPathPoint {
    std::int64_t Hands = 0;
    double Antes = 0;
};

// The course of a run: the cumulative result after its hands. Every hand is kept up to
// kMaxPoints hands; a longer run keeps every second point and doubles the stride, as often as
// needed, so that memory stays bounded however long a run in cycles goes on.
class TRunPath {
public:
    static constexpr std::size_t kMaxPoints = std::size_t{1} << 20;

    void Clear() { *this = {}; }
    // The next hand's result, in ten-thousandths of an ante.
    void Add(std::int64_t result);

    std::int64_t Hands() const { return m_hands; }
    TAnteSum Total() const { return m_total; }  // ten-thousandths
    // Hands between two points; point i is the cumulative result after hand (i + 1) * Stride().
    std::int64_t Stride() const { return m_stride; }
    const std::vector<TAnteSum>& Points() const { return m_points; }
    const TBankSpan& Bank() const { return m_bank; }

private:
    std::int64_t m_hands = 0;
    TAnteSum m_total = 0;
    std::int64_t m_stride = 1;
    std::vector<TAnteSum> m_points;

    // The bank, found in one pass as ComputeBank finds it, with where its run starts.
    TBankSpan m_bank;
    std::int64_t m_endingHere = 0;  // smallest sum of a run of hands that ends at the last hand
    std::int64_t m_endingHereFirst = 0;
    TAnteSum m_endingHereBefore = 0;  // the cumulative result before that run
};

// At most about `most` points of the path to draw, from the start (0 hands, 0 antes) to its last
// point: where the path holds more, each stretch of it is drawn by its lowest and its highest
// point, so that no swing disappears.
std::vector<TPathPoint> PathToDraw(const TRunPath& path, std::size_t most);

// The expected course of a run from its mean and standard deviation per hand: after n hands,
// n * mean, and the band n * mean -/+ 1.96 * stdDev * sqrt(n) in which the result of n hands lies
// with 95 % probability. Antes.
struct TExpectedPoint {
    double Expected = 0;
    double Low = 0;
    double High = 0;
};
TExpectedPoint ExpectedAfter(std::int64_t hands, double mean, double stdDev);

// The path as comma-separated values for scripts: a header line, then one line per point with
// the hands played, the cumulative result, the expected result and its 95 % band (antes, with a
// decimal point).
void WritePathCsv(const TRunPath& path, double mean, double stdDev, std::ostream& out);

}  // namespace studlab
