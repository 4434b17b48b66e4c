#pragma once

#include <cstdint>

#include "text/number_text.h"

namespace studlab {

// The sums of a run's hands, kept exactly (in ten-thousandths of an ante and their squares), so
// that the figures are the same to the last digit however the hands were spread over threads.
class TRunSums {
public:
    void Clear() { *this = {}; }
    // One hand: its result and the antes it put at risk (ante, bet and costs), both in
    // ten-thousandths of an ante.
    void Add(std::int64_t result, std::int64_t stake, bool paid = false);

    std::int64_t Hands() const { return m_hands; }
    std::int64_t PaidHands() const { return m_paid; }  // hands in which the player was paid
    TAnteSum Total() const { return m_total; }        // ten-thousandths
    TAnteSum StakeTotal() const { return m_stakes; }  // ten-thousandths

    // The mean result per hand, in antes (0 without hands).
    long double Mean() const;
    // The sample standard deviation of a hand's result, in antes (0 with fewer than two hands).
    long double StdDev() const;
    long double StdError() const;  // of the mean, in antes
    long double AverageStake() const;

private:
    std::int64_t m_hands = 0;
    std::int64_t m_paid = 0;
    TAnteSum m_total = 0;
    TAnteSum m_stakes = 0;
    // The sum of the squared results, ten-thousandths squared: 128 bits hold 10^11 hands of the
    // largest results a table maximum allows.
    TAnteSum m_squares = 0;
};

// What a run says about the game, from its sums.
struct TRunFigures {
    std::int64_t Hands = 0;
    TAnteSum Total = 0;               // ten-thousandths of an ante
    double MoPercent = 0;             // the player's average loss per hand, percent of the ante
    double MoLow = 0;                 // 95 % confidence interval of the MO, percent
    double MoHigh = 0;                //
    double StdDevPerHand = 0;         // antes
    double StdErrorPerHand = 0;       // of the mean result, antes
    double AverageStake = 0;          // antes put at risk per hand: ante, bet and costs
    double ElementOfRiskPercent = 0;  // the loss per unit of average stake, percent
    // 95 % interval of the element of risk: that of the MO over the average stake.
    double ElementOfRiskLow = 0;
    double ElementOfRiskHigh = 0;
    // Hands in which the player was paid, percent, and its 95 % (Wilson) interval.
    double HitFrequencyPercent = 0;
    double HitFrequencyLow = 0;
    double HitFrequencyHigh = 0;
    std::int64_t BankrollHands = 0;   // the hands the bankrolls below are for
    double Bankroll95 = 0;            // antes that last through them with 95 % probability
    double Bankroll99 = 0;            // ... with 99 %

    // The spread of a hand's result is estimated from two hands on: before that the interval,
    // the standard deviation and the bankrolls are unknown (and left at 0).
    bool SpreadKnown() const { return Hands >= 2; }
};

// `bankrollHands` 0: the run's own hands.
TRunFigures MakeRunFigures(const TRunSums& sums, std::int64_t bankrollHands);

// The bankroll in antes that lasts through `hands` hands with probability `probability`, for a
// result per hand of mean `mean` and standard deviation `stdDev` (antes). The sum of the hands is
// taken as a Brownian motion with that drift and variance per hand; the chance that it ever falls
// to -B within the hands is, by the reflection principle,
//   P(B) = Phi((-B - m n) / (s sqrt n)) + exp(-2 m B / s^2) Phi((-B + m n) / (s sqrt n)),
// and the bankroll is the B where P(B) = 1 - probability (found by bisection).
double BankrollFor(double mean, double stdDev, std::int64_t hands, double probability);

// The chance P(B) above that a bankroll of `bankroll` antes runs out within `hands` hands.
double RuinProbability(double mean, double stdDev, std::int64_t hands, double bankroll);

}  // namespace studlab
