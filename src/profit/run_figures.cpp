#include "profit/run_figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace studlab {
namespace {

constexpr long double kUnit = 10000;  // ten-thousandths per ante
constexpr long double kZ95 = 1.959963984540054L;

// log Phi(x) of the standard normal distribution, also far in its lower tail.
long double LogNormalCdf(long double x) {
    if (x > -30) return std::log(0.5L * std::erfc(-x / std::numbers::sqrt2_v<long double>));
    // Phi(x) ~ phi(x) / -x * (1 - 1/x^2 + 3/x^4) below that.
    const long double x2 = x * x;
    return -x2 / 2 - std::log(-x) - 0.5L * std::log(2 * std::numbers::pi_v<long double>) +
           std::log1p(-1 / x2 + 3 / (x2 * x2));
}

}  // namespace

void TRunSums::Add(std::int64_t result, std::int64_t stake, bool paid) {
    ++m_hands;
    m_paid += paid ? 1 : 0;
    m_total += result;
    m_stakes += stake;
    m_squares += static_cast<TAnteSum>(result) * result;
}

long double TRunSums::Mean() const {
    return m_hands > 0 ? static_cast<long double>(m_total) / m_hands / kUnit : 0;
}

long double TRunSums::StdDev() const {
    if (m_hands < 2) return 0;
    // n * sum(x^2) - (sum x)^2, exact in 128 bits while it fits there; beyond (results of
    // billions of antes over millions of hands) it is formed in long double, whose relative
    // error of 1e-19 is far below what the figures show.
    const long double n = static_cast<long double>(m_hands);
    TAnteSum nSquares = 0;
    TAnteSum totalSquared = 0;
    long double spread = 0;
    if (!__builtin_mul_overflow(static_cast<TAnteSum>(m_hands), m_squares, &nSquares) &&
        !__builtin_mul_overflow(m_total, m_total, &totalSquared)) {
        spread = static_cast<long double>(nSquares - totalSquared);
    } else {
        const long double total = static_cast<long double>(m_total);
        spread = n * static_cast<long double>(m_squares) - total * total;
    }
    const long double variance = spread / (n * (n - 1));
    return std::sqrt(std::max(variance, 0.0L)) / kUnit;
}

long double TRunSums::StdError() const {
    return m_hands > 0 ? StdDev() / std::sqrt(static_cast<long double>(m_hands)) : 0;
}

long double TRunSums::AverageStake() const {
    return m_hands > 0 ? static_cast<long double>(m_stakes) / m_hands / kUnit : 0;
}

TRunFigures MakeRunFigures(const TRunSums& sums, std::int64_t bankrollHands) {
    TRunFigures f;
    f.Hands = sums.Hands();
    f.Total = sums.Total();
    const long double mean = sums.Mean();
    const long double stdError = sums.StdError();
    f.MoPercent = static_cast<double>(-mean * 100);
    f.MoLow = static_cast<double>(-(mean + kZ95 * stdError) * 100);
    f.MoHigh = static_cast<double>(-(mean - kZ95 * stdError) * 100);
    f.StdDevPerHand = static_cast<double>(sums.StdDev());
    f.StdErrorPerHand = static_cast<double>(stdError);
    f.AverageStake = static_cast<double>(sums.AverageStake());
    f.ElementOfRiskPercent =
        f.AverageStake > 0 ? static_cast<double>(-mean / sums.AverageStake() * 100) : 0;
    f.ElementOfRiskLow = f.ElementOfRiskHigh = f.ElementOfRiskPercent;
    f.BankrollHands = bankrollHands > 0 ? bankrollHands : sums.Hands();
    if (f.Hands > 0) {
        // Wilson's interval: it stays within 0 .. 100 % and is right for shares near either.
        const long double n = static_cast<long double>(f.Hands);
        const long double p = static_cast<long double>(sums.PaidHands()) / n;
        const long double z2 = kZ95 * kZ95;
        const long double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
        const long double half =
            kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / (1 + z2 / n);
        f.HitFrequencyPercent = static_cast<double>(p * 100);
        f.HitFrequencyLow = static_cast<double>(std::max(0.0L, centre - half) * 100);
        f.HitFrequencyHigh = static_cast<double>(std::min(1.0L, centre + half) * 100);
    }
    if (!f.SpreadKnown()) {
        f.MoLow = f.MoHigh = f.MoPercent;
        return f;
    }
    if (f.AverageStake > 0) {
        f.ElementOfRiskLow = f.MoLow / f.AverageStake;
        f.ElementOfRiskHigh = f.MoHigh / f.AverageStake;
    }
    if (f.BankrollHands > 0) {
        f.Bankroll95 =
            BankrollFor(static_cast<double>(mean), f.StdDevPerHand, f.BankrollHands, 0.95);
        f.Bankroll99 =
            BankrollFor(static_cast<double>(mean), f.StdDevPerHand, f.BankrollHands, 0.99);
    }
    return f;
}

double RuinProbability(double mean, double stdDev, std::int64_t hands, double bankroll) {
    if (bankroll <= 0) return 1;
    const long double n = static_cast<long double>(hands);
    const long double m = mean;
    const long double b = bankroll;
    if (stdDev <= 0) return m * n <= -b ? 1 : 0;
    const long double s = stdDev;
    const long double spread = s * std::sqrt(n);
    const long double first = std::exp(LogNormalCdf((-b - m * n) / spread));
    // exp(-2 m B / s^2) grows without bound for a losing game; its product with the tail of
    // Phi does not, so the two are multiplied as logarithms.
    const long double second = std::exp(-2 * m * b / (s * s) + LogNormalCdf((-b + m * n) / spread));
    return static_cast<double>(std::min(first + second, 1.0L));
}

double BankrollFor(double mean, double stdDev, std::int64_t hands, double probability) {
    if (hands <= 0) return 0;
    const double ruin = 1 - probability;
    if (stdDev <= 0) return std::max(0.0, -mean * static_cast<double>(hands));
    // P falls from 1 at B = 0 towards 0: find a bankroll that lasts, then halve the bracket.
    double low = 0;
    double high = stdDev * std::sqrt(static_cast<double>(hands)) + std::abs(mean) * hands;
    while (RuinProbability(mean, stdDev, hands, high) > ruin) {
        low = high;
        high *= 2;
    }
    for (int i = 0; i < 200 && high - low > 1e-9 * high; ++i) {
        const double middle = (low + high) / 2;
        (RuinProbability(mean, stdDev, hands, middle) > ruin ? low : high) = middle;
    }
    return high;
}

}  // namespace studlab
