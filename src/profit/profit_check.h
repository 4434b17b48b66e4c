#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/combination_kind.h"
#include "profit/combination_stats.h"
#include "profit/hand_runner.h"
#include "profit/run_figures.h"
#include "profit/run_path.h"

namespace studlab {

// Cards that lie in fixed slots of the decision table ("ФИКС"): every hand keeps them.
struct TFixedCards {
    std::vector<std::string> Player;  // card names
    std::vector<std::string> Dealer;
    bool Empty() const { return Player.empty() && Dealer.empty(); }
};

// How the hands of a run are dealt.
struct TDealPlan {
    bool FixedSeries =
        false;  // the one fixed series, hand after hand ("одинаковая последовательность")
    std::uint64_t Seed = 0;  // otherwise: hand n deals from the stream (Seed, n)
};

// What the profitability check needs of the game it plays.
class IRandomHandTable {
public:
    virtual ~IRandomHandTable() = default;
    virtual bool GameChosen() const = 0;
    // Whether the hands come one after another from the one fixed series.
    virtual bool FixedSeries() const = 0;
    // The most workers that may play hands of this game at once (1 when they would share
    // something that is not made for it, such as the decision cache's file).
    virtual int MaxWorkers() const = 0;
    virtual TFixedCards FixedCards() const = 0;
    // Takes the fix marks off, so that the next hands are dealt in full.
    virtual void ReleaseFixedCards() = 0;
    // A player for one worker thread, with its own copy of the game as it stands now.
    virtual std::unique_ptr<IHandPlayer> NewPlayer(const TDealPlan& plan) = 0;
    // After a run: the table deals `hand` again, so that it shows the run's last hand, and the
    // fixed series goes on after it.
    virtual void ShowHand(const TDealPlan& plan, const THandRecord& hand) = 0;
};

// The run settings as typed in the profitability window.
struct TRunSettings {
    std::string HandCount = "1000";
    bool CyclesMode = false;
    std::string CycleWinTarget = "20";
    std::string CycleLossLimit = "-30";
    std::string TotalLossLimit = "-120";
    std::string TotalWinLimit = "120";
    // The seed of the run's random hands; empty: from the clock. Not used by the fixed series.
    std::string Seed;
    // The hands at the table that the bankroll figures are for; empty: the run's hands.
    std::string BankrollHands;
    int Threads = 0;  // worker threads; 0: every core
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
    bool MoVisible = false;           // Label6: the MO of the hands played
    std::string MoText;
    std::string MoIntervalText;  // Label16: its 95 % interval, beside it
    bool BankVisible = false;    // Label10: the bank the run needs
    std::string BankText;
    std::string RiskText;            // Label17: the risk figures, under MO and bank
    std::string Message;             // Label11: why the last run ended, when not by itself
    bool HandLabelsVisible = false;  // Label7 "раздач  результат", Label8, Label9
    std::string HandNumberText;      // Label8
    std::string RunTotalText;        // Label9
    bool CycleLabelsVisible = false;  // Label12 "№ цикла   результат", Label13, Label14
    std::string CycleCountText;       // Label13
    std::string CyclesTotalText;      // Label14
    bool GraphEnabled = false;  // Button7 "Показать график": a run has a path to show
    // The statistics window's six columns (Label8 .. Label13 there), published after a run.
    std::array<std::string, TCombinationStats::kColumns> StatsColumns;
};

// How the last run ended.
enum class TRunEnd {
    None,         // no run yet, or one is going on
    Completed,    // every hand played: the summary is shown
    Refused,      // a setting cannot be used: nothing was played
    Stopped,      // "СТОП"
    NoGame,       // no game is chosen
    Unsettled,    // a hand came back without a result
    CyclesLimit,  // the cycles together reached a whole-run limit
    CyclesCap,    // the cycles went on to the most a run plays (kMaxCycles, kMaxCycleHands)
    Failed,       // an error inside a hand
};

// The model of the profitability window: runs random hands of the current game, spread over
// worker threads, adds them up in the order of the hands, and keeps the statistics, the results
// for the bank, the figures of the run and its path.
class TProfitCheck {
public:
    static constexpr std::int32_t kMaxHands = 1'000'000;
    // A run in cycles whose limits are never reached ends after this many cycles or hands.
    static constexpr std::int64_t kMaxCycles = 1'000'000;
    static constexpr std::int64_t kMaxCycleHands = 10'000'000;

    explicit TProfitCheck(IRandomHandTable& table);

    TRunSettings& Settings() { return m_settings; }
    const TRunSettings& Settings() const { return m_settings; }
    const TProfitView& View() const { return m_view; }
    const TCombinationStats& Stats() const { return m_stats; }
    // The figures of every hand the last run played (all its cycles), live during a run.
    const TRunFigures& Figures() const { return m_figures; }
    const TRunPath& Path() const { return m_path; }
    const std::vector<std::int64_t>& HandResults() const { return m_handResults; }
    // The seed the last run dealt from (none for the fixed series), to repeat it.
    std::optional<std::uint64_t> RunSeed() const { return m_runSeed; }
    int RunWorkers() const { return m_runWorkers; }

    // Called regularly during a run (and by the bank) so that the window can serve "СТОП".
    std::function<void()> ProcessPendingEvents;
    std::function<void()> Beep;
    // Called during a run, after the view has been brought up to date, and once at its end.
    std::function<void()> Progressed;
    // How often a run updates its view and lets pending events through; 0: before every hand.
    std::chrono::milliseconds ProgressInterval{40};
    // The most cycles and hands of a run in cycles (lowered by tests).
    std::int64_t MaxCycles = kMaxCycles;
    std::int64_t MaxCycleHands = kMaxCycleHands;

    void RunSimulation();   // "расчет"
    // Who stops a run: the window's "СТОП", or a signal to a run from the command line.
    enum class TStopCause { Button, Interrupt };
    void StopSimulation(TStopCause cause = TStopCause::Button);  // "СТОП"
    void ComputeBank();     // "банк"
    bool Running() const { return m_running; }
    TRunEnd LastRunEnd() const { return m_end; }
    std::int64_t CycleCount() const { return m_cycleCount; }
    TAnteSum CyclesTotal() const { return m_cyclesTotal; }

    // The fixed cards every hand of a run would keep, as one line for the window; empty when
    // there are none.
    std::string FixedCardsNotice() const;
    void ReleaseFixedCards() { m_table.ReleaseFixedCards(); }

private:
    struct TLimits {
        std::int64_t CycleWin = 0;  // ten-thousandths
        std::int64_t CycleLoss = 0;
        std::int64_t TotalLoss = 0;
        std::int64_t TotalWin = 0;
    };

    void Run();
    std::optional<TLimits> ReadLimits();
    void StartCycle(std::int32_t handCount);
    // Adds one played hand; false when the run is over.
    bool Take(const THandRecord& hand, std::int32_t& handCount);
    void UpdateFigures();
    void ShowProgress();
    void EndRun(TRunEnd end, std::string message);

    IRandomHandTable& m_table;
    TRunSettings m_settings;
    TProfitView m_view;
    TCombinationStats m_stats;
    std::vector<std::int64_t> m_handResults;  // whole antes: a hand may win or lose billions

    bool m_running = false;
    TRunEnd m_end = TRunEnd::None;
    bool m_stopRequested = false;
    TStopCause m_stopCause = TStopCause::Button;
    std::optional<std::uint64_t> m_runSeed;
    int m_runWorkers = 0;
    std::int32_t m_recorded = 0;      // hands recorded in the current cycle
    std::int32_t m_lastRecorded = 0;  // hands the results of the last run hold
    std::int64_t m_cycleHand = 0;     // hands played in the current cycle
    TAnteSum m_runTotal = 0;          // of the current cycle, ten-thousandths
    std::int64_t m_cycleCount = 0;
    TAnteSum m_cyclesTotal = 0;        // ten-thousandths: a cycle's total may have a fraction
    std::int64_t m_bankrollHands = 0;  // 0: the run's hands
    TRunSums m_sums;                   // every hand of the run
    TRunFigures m_figures;
    TRunPath m_path;
    std::optional<THandRecord> m_lastHand;
};

// A warning beside the number of random draws of the probabilistic method, for the text as
// typed; empty when the number is usable. Below 1 the actions valued by random draws get no value
// (0 draws) or a value of 0 (fewer), whatever their worth.
std::string ProbabilisticCyclesWarning(std::string_view text);

}  // namespace studlab
