#include "profit/profit_check.h"

#include <cmath>

#include "profit/bank.h"
#include "text/number_text.h"

namespace studlab {
namespace {

constexpr std::int64_t kLossThatEndsTheRun =
    -50000;  // 5 antes; an unsettled hand lies below it too

std::string PercentText(long double percent) {
    return "MO=" + FormatNumber(percent) + "%";
}

}  // namespace

TProfitCheck::TProfitCheck(IRandomHandTable& table) : m_table(table), m_handResults(kMaxHands, 0) {}

void TProfitCheck::StopSimulation() {
    m_stopRequested = true;
    m_view.ProgressPosition = 0;
    m_view.ProgressVisible = false;
    m_view.CalculateVisible = true;
    m_view.StopVisible = false;
}

void TProfitCheck::EndWithBeep(TRunEnd end) {
    if (Beep) Beep();
    EndQuietly(end);
}

// Steps 1 to 3 of a run, repeated at the start of every cycle.
void TProfitCheck::StartCycle(std::int32_t handCount) {
    m_table.SetLastHandResult(0);
    m_runTotal = 0;
    m_sumSquares = 0;
    m_stopRequested = false;
    m_view.MoVisible = false;
    m_view.BankVisible = false;
    m_view.Message.clear();
    m_view.StopVisible = true;
    m_view.CalculateVisible = false;
    m_view.ProgressVisible = true;
    m_view.ProgressPosition = 0;
    m_view.ProgressMaximum = handCount;
    m_view.ComputeBankVisible = false;
    m_view.StatisticsVisible = false;
    m_view.HandLabelsVisible = true;
    m_stats.Clear();
}

void TProfitCheck::RunSimulation() {
    try {
        RunCycles();
    } catch (...) {
        // The window stays in the running layout until "СТОП"; the run itself is over.
        EndQuietly(TRunEnd::Failed);
        throw;
    }
}

void TProfitCheck::RunCycles() {
    m_end = TRunEnd::None;
    m_cycleCount = 0;
    m_cyclesTotal = 0;
    for (;;) {
        const std::int32_t handCount = ParseDesignInteger(m_settings.HandCount);
        // A run needs at least one hand (the average divides by the count) and no more than
        // the results can hold (the bank looks at every one of them).
        if (handCount < 1 || handCount > kMaxHands) {
            m_view.Message = "колличество циклов должно быть от 1 до 1000000";
            EndQuietly(TRunEnd::Refused);
            return;
        }
        StartCycle(handCount);
        m_running = true;

        std::int32_t recorded = 0;
        bool cycleOver = false;
        for (std::int64_t handNumber = 1; recorded < handCount && !cycleOver; ++handNumber) {
            if (m_stopRequested) {
                EndWithBeep(TRunEnd::Stopped);
                return;
            }
            if (!m_table.GameChosen()) {
                EndWithBeep(TRunEnd::NoGame);
                return;
            }
            if (m_table.LastHandResult() <= kLossThatEndsTheRun) {
                EndWithBeep(TRunEnd::BigLoss);
                return;
            }
            if (ProcessPendingEvents) ProcessPendingEvents();
            if (m_stopRequested) {  // "СТОП" pressed while the events were handled
                EndWithBeep(TRunEnd::Stopped);
                return;
            }
            m_table.PlayRandomHand();
            const std::int64_t result = m_table.HandResult();
            m_runTotal += result;
            ++m_view.ProgressPosition;
            m_view.RunTotalText = FormatTenThousandths(m_runTotal);
            m_view.HandNumberText = FormatNumber(static_cast<long double>(handNumber));
            if (HandPlayed) HandPlayed();

            if (m_settings.CyclesMode) {
                m_view.CycleLabelsVisible = true;
                const std::int64_t totalLoss =
                    ParseDesignInteger(m_settings.TotalLossLimit) * std::int64_t{10000};
                const std::int64_t totalWin =
                    ParseDesignInteger(m_settings.TotalWinLimit) * std::int64_t{10000};
                if (totalLoss >= m_cyclesTotal || totalWin <= m_cyclesTotal) {
                    EndQuietly(TRunEnd::CyclesLimit);
                    return;
                }
                const std::int64_t win =
                    ParseDesignInteger(m_settings.CycleWinTarget) * std::int64_t{10000};
                const std::int64_t loss =
                    ParseDesignInteger(m_settings.CycleLossLimit) * std::int64_t{10000};
                if (m_runTotal >= win || m_runTotal <= loss) {
                    // The hand that ends a cycle is neither recorded nor counted.
                    ++m_cycleCount;
                    m_cyclesTotal += m_runTotal;
                    m_view.CycleCountText = std::to_string(m_cycleCount);
                    m_view.CyclesTotalText = FormatTenThousandths(m_cyclesTotal);
                    cycleOver = true;
                    continue;
                }
            }

            m_stats.Record(m_table.HandCategory(), m_table.ExtraStake(), result);
            m_handResults[static_cast<std::size_t>(recorded)] =
                static_cast<std::int32_t>(RoundHalfEven(static_cast<long double>(result) / 10000));
            const long double antes = static_cast<long double>(result) / 10000;
            m_sumSquares += antes * antes;
            ++recorded;
        }
        if (!cycleOver) {
            ShowSummary(recorded);
            return;
        }
    }
}

void TProfitCheck::ShowSummary(std::int32_t recorded) {
    // The count is read again; should it have become unusable meanwhile, the hands played count.
    std::int32_t handCount = recorded;
    try {
        const std::int32_t typed = ParseDesignInteger(m_settings.HandCount);
        if (typed >= 1) handCount = typed;
    } catch (const TConversionError&) {
    }
    const std::int64_t average = RoundHalfEven(static_cast<long double>(m_runTotal) / handCount);
    const long double moPercent =
        -static_cast<long double>(RoundHalfEven(average * 1000.0L / 10000)) / 10;
    m_view.MoText = PercentText(moPercent);
    m_view.MoVisible = true;
    m_view.ProgressPosition = 0;
    m_view.ProgressVisible = false;
    m_view.CalculateVisible = true;
    m_view.StopVisible = false;
    for (int c = 0; c < TCombinationStats::kColumns; ++c) {
        m_view.StatsColumns[static_cast<std::size_t>(c)] =
            m_stats.ColumnText(static_cast<TCombinationStats::TColumn>(c));
    }
    m_view.ComputeBankVisible = true;
    m_view.StatisticsVisible = true;

    const long double n = recorded;
    const long double mean = static_cast<long double>(m_runTotal) / 10000 / n;
    const long double variance = recorded > 1 ? (m_sumSquares - n * mean * mean) / (n - 1) : 0;
    const long double stdError = std::sqrt(std::max(variance, 0.0L) / n);
    m_summary = {recorded,
                 m_runTotal,
                 static_cast<double>(moPercent),
                 static_cast<double>(stdError),
                 static_cast<double>(-(mean + 1.96L * stdError) * 100),
                 static_cast<double>(-(mean - 1.96L * stdError) * 100)};
    EndQuietly(TRunEnd::Completed);
}

void TProfitCheck::ComputeBank() {
    const std::int32_t handCount = ParseDesignInteger(m_settings.HandCount);
    const std::size_t count = static_cast<std::size_t>(std::clamp(handCount, 0, kMaxHands));
    const std::int64_t bank = studlab::ComputeBank(
        std::span<const std::int32_t>(m_handResults.data(), count), ProcessPendingEvents);
    m_view.BankText = std::to_string(bank) + " ANTE";
    m_view.BankVisible = true;
}

}  // namespace studlab
