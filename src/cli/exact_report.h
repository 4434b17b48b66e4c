#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "profit/exact/exact_run.h"
#include "profit/exact/hand_play.h"
#include "profit/exact/strategy_store.h"

namespace studlab::cli {

// The options of an exact analysis, on one machine or across several.
struct TExactOptions {
    TDesignOptions Design;
    TExactRunOptions Run;
    bool Json = false;
    bool NoBestPlay = false;
    bool LookAhead = false;
    std::int64_t Sample = 0;  // play only this many classes, to time the design
    std::string CheckpointFile;
    std::string StrategyFile;
    std::string StrategyStoreFile;  // --strategy-store: every class's first choice

    void AddTo(CLI::App& command);
};

struct TExactReport {
    TExactSums Sums;
    bool Cancelled = false;
    bool WithBestPlay = true;
    int Threads = 0;  // every worker thread, on all ranks
    int Ranks = 0;    // the processes of an MPI run (the coordinating one included); 0: one process
    double Seconds = 0;
    std::vector<std::string> Notes;
    int DealerOpenCards = 1;
    // A timing sample instead of the whole analysis.
    bool Sample = false;
    std::int64_t TotalClasses = 0;
    double ClassesPerSecond = 0;
    double EstimatedSeconds = 0;  // the whole analysis at this pace, on these threads
    // With --strategy-store: the first choice of every class, complete once the run is.
    std::shared_ptr<TStrategyStore> Store;
    std::int64_t StoreCompletedClasses = 0;  // valued after the run (resumed from a checkpoint)
};

// The design of the options as the analysis plays it. Throws TExactRefusal for a design it cannot
// play; a usage error for a bad option.
TExactGame ExactGameOf(const TExactOptions& options);
// Identifies the design and the way of counting, for the checkpoint.
std::string ExactFingerprint(const TExactOptions& options);
std::vector<std::string> ExactNotes(const TExactGame& game);

TExactReport RunExact(const TExactOptions& options);

void PrintExactReport(const TExactReport& report, bool json, std::ostream& out);
// What an interrupted run finished, and where a resumed run starts.
void PrintInterruptedReport(const TExactReport& report, const TExactOptions& options,
                            std::ostream& out);
// The pace of a --sample run and the estimated time of the whole run.
void PrintSampleReport(const TExactReport& report, bool json, std::ostream& out);
// Opens the --strategy file for writing before the run; throws when it cannot.
void CheckStrategyFile(const TExactOptions& options);
// Writes the strategy of the first decision as CSV (--strategy) and the strategy store
// (--strategy-store); throws when it cannot.
void WriteStrategyFile(const TExactReport& report, const TExactOptions& options);
// The fingerprint of the design and settings of the options, as a strategy store carries it.
std::string StrategyStoreFingerprint(const TExactOptions& options);

}  // namespace studlab::cli
