#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "design/game_design.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/exact_run.h"
#include "profit/exact/strategy_shelf.h"

namespace studlab {

// The exact analysis of a design and its settings, identified for a checkpoint or a kept result:
// a hash of every field but those that cannot change the play.
std::string ExactFingerprint(const TGameDesign& design, const TCalculationSettings& settings,
                             bool withBestPlay);

// An exact analysis that runs in the background, on every core, for a window that keeps working
// meanwhile: it is started, asked how far it is, stopped, and its result read once it is done.
// The result stays until the next start and belongs to the design it was started for.
class TExactJob {
public:
    TExactJob() = default;
    ~TExactJob();
    TExactJob(const TExactJob&) = delete;
    TExactJob& operator=(const TExactJob&) = delete;

    // Where a complete analysis keeps the strategy it worked out (its first choices) when the
    // dealer shows none or one card; none: it keeps none. Takes effect at the next start.
    void KeepStrategiesOn(std::shared_ptr<TStrategyShelf> shelf) { m_shelf = std::move(shelf); }
    // Starts the analysis of a copy of the design and settings. A design the analysis cannot
    // play throws TExactRefusal (or the conversion error of a number) and nothing starts; a
    // running analysis is stopped first.
    void Start(const TGameDesign& design, const TCalculationSettings& settings);
    // Asks the analysis to stop; it ends within a class of first layouts. Waits for it.
    void Stop();

    bool Running() const { return m_running.load(); }
    TExactProgress Progress() const;

    struct TResult {
        TExactSums Sums;
        TExactFigures Figures;
        std::string Fingerprint;  // of the design and settings it was started for
        int DealerOpenCards = 1;
        int Threads = 0;
        double Seconds = 0;
        bool Cancelled = false;
        std::string Error;  // what ended it, when it failed
        // Why the strategy of a complete analysis could not be written into the shelf's folder
        // (it is kept in memory all the same); empty when it was, or none is kept.
        std::string StrategyError;
    };
    // The last analysis that ended, if any.
    std::optional<TResult> Result() const;
    // Whether the last finished, complete analysis belongs to this design and settings.
    bool HasResultFor(const TGameDesign& design, const TCalculationSettings& settings) const;

private:
    mutable std::mutex m_lock;
    TExactProgress m_progress;
    std::optional<TResult> m_result;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::shared_ptr<TStrategyShelf> m_shelf;
};

}  // namespace studlab
