#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cards/combination_kind.h"
#include "profit/combination_stats.h"

namespace studlab {

// What the profitability check needs of the decision table: a random hand played to its end
// ("СДАТЬ СЛУЧАЙНО") and what the hand leaves behind.
class IRandomHandTable {
public:
    virtual ~IRandomHandTable() = default;
    virtual bool GameChosen() const = 0;
    virtual void PlayRandomHand() = 0;
    virtual std::int64_t HandResult() const = 0;
    virtual std::int64_t LastHandResult() const = 0;
    virtual void SetLastHandResult(std::int64_t value) = 0;
    virtual float ExtraStake() const = 0;
    // The kind of the player's cards at his last decision, ckNoGame for none.
    virtual TCombinationKind HandCategory() const = 0;
};

// The run settings as typed in the profitability window.
struct TRunSettings {
    std::string HandCount = "1000";
    bool CyclesMode = false;
    std::string CycleWinTarget = "20";
    std::string CycleLossLimit = "-30";
    std::string TotalLossLimit = "-120";
    std::string TotalWinLimit = "120";
};

// What the profitability window shows, as data the window renders.
struct TProfitView {
    bool CalculateVisible = true;  // Button2 "расчет"
    bool StopVisible = false;      // Button3 "СТОП"
    bool ProgressVisible = false;  // ProgressBar1
    int ProgressPosition = 0;
    int ProgressMaximum = 100;
    bool StatisticsVisible = false;   // Button4 "статистика"
    bool ComputeBankVisible = false;  // Button6 "банк"
    bool MoVisible = false;           // Label6: the MO of the run
    std::string MoText;
    bool BankVisible = false;  // Label10: the bank the run needs
    std::string BankText;
    std::string Message;             // Label11
    bool HandLabelsVisible = false;  // Label7 "раздач  результат", Label8, Label9
    std::string HandNumberText;      // Label8
    std::string RunTotalText;        // Label9
    bool CycleLabelsVisible = false;  // Label12 "№ цикла   результат", Label13, Label14
    std::string CycleCountText;       // Label13
    std::string CyclesTotalText;      // Label14
    // The statistics window's six columns (Label8 .. Label13 there), published after a run.
    std::array<std::string, TCombinationStats::kColumns> StatsColumns;
};

// How the last run ended.
enum class TRunEnd {
    None,         // no run yet, or one is going on
    Completed,    // every hand played: the summary is shown
    Refused,      // the number of hands cannot be played
    Stopped,      // "СТОП"
    NoGame,       // no game is chosen
    BigLoss,      // the previous hand lost 5 antes or more
    CyclesLimit,  // the cycles together reached a whole-run limit
    Failed,       // an error inside a hand (its message is reported by the caller)
};

// Figures of a finished run beyond those the window shows.
struct TRunSummary {
    std::int64_t Hands = 0;
    std::int64_t Total = 0;      // ten-thousandths of an ante
    double MoPercent = 0;        // the player's average loss per hand, percent of the ante
    double StdErrorPerHand = 0;  // antes
    double MoLow = 0;            // 95 % confidence interval of the MO, percent
    double MoHigh = 0;
};

// The model of the profitability window: runs random hands of the current game through the
// decision table, adds them up, and keeps the statistics and the results for the bank.
class TProfitCheck {
public:
    static constexpr std::int32_t kMaxHands = 1'000'000;

    explicit TProfitCheck(IRandomHandTable& table);

    TRunSettings& Settings() { return m_settings; }
    const TProfitView& View() const { return m_view; }
    const TCombinationStats& Stats() const { return m_stats; }
    const TRunSummary& Summary() const { return m_summary; }
    const std::vector<std::int32_t>& HandResults() const { return m_handResults; }

    // Called before every hand (and regularly by the bank) so the window can serve "СТОП".
    std::function<void()> ProcessPendingEvents;
    std::function<void()> Beep;
    // Called after every played hand, for progress displays.
    std::function<void()> HandPlayed;

    void RunSimulation();   // "расчет"
    void StopSimulation();  // "СТОП"
    void ComputeBank();     // "банк"
    bool Running() const { return m_running; }
    TRunEnd LastRunEnd() const { return m_end; }
    std::int64_t CycleCount() const { return m_cycleCount; }
    std::int64_t CyclesTotal() const { return m_cyclesTotal; }

private:
    void RunCycles();
    void StartCycle(std::int32_t handCount);
    void ShowSummary(std::int32_t recorded);
    void EndQuietly(TRunEnd end) {
        m_running = false;
        m_end = end;
    }
    void EndWithBeep(TRunEnd end);

    IRandomHandTable& m_table;
    TRunSettings m_settings;
    TProfitView m_view;
    TCombinationStats m_stats;
    TRunSummary m_summary;
    std::vector<std::int32_t> m_handResults;

    bool m_running = false;
    TRunEnd m_end = TRunEnd::None;
    bool m_stopRequested = false;
    std::int64_t m_runTotal = 0;
    std::int64_t m_cycleCount = 0;
    std::int64_t m_cyclesTotal = 0;  // ten-thousandths: a cycle's total may have a fraction
    long double m_sumSquares = 0;    // antes², of the recorded hands
};

}  // namespace studlab
