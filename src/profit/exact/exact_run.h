#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "profit/exact/exact_sums.h"
#include "profit/exact/layout_classes.h"

namespace studlab {

// Something wrong with the analysis that is not the design's fault: a checkpoint that cannot be
// read or belongs to another design, a file that cannot be written.
class TExactRunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Plays the classes of first layouts of one game and adds what they bring to the sums. Each
// worker thread has its own (it may keep what it has worked out between classes).
class IClassPlay {
public:
    virtual ~IClassPlay() = default;
    virtual void Play(const TLayoutClass& layout, TExactSums& sums) = 0;
};

using TClassPlayFactory = std::function<std::unique_ptr<IClassPlay>()>;

// The classes of a batch, played one after another. Stops between classes when `stop` is set
// (the partial sums are then worthless); counts every class played in `played`.
TExactSums PlayBatch(const TLayoutClasses& classes, const TLayoutCursor& start, std::int64_t count,
                     IClassPlay& play, const std::atomic<bool>& stop,
                     std::atomic<std::int64_t>& played);

struct TExactProgress {
    std::int64_t ClassesDone = 0;
    std::int64_t ClassesTotal = 0;
    double Seconds = 0;      // since the start of this run
    double SecondsLeft = 0;  // estimated from the pace so far; 0 while nothing is known
};

// A file that records every finished batch, so that an interrupted analysis resumes without
// redoing them. It belongs to one design (its fingerprint) and one division into batches; every
// batch line carries a check sum over its text and that identity, so a line taken from another
// design's checkpoint is found. The file is locked while it is open: a second run on it is
// refused, not allowed to write between the first one's lines.
class TCheckpoint {
public:
    // Opens or creates the file; the batches it already holds are read. Throws TExactRunError
    // for a file that cannot be read or written, is damaged, belongs to another analysis or is
    // in use by another run.
    TCheckpoint(std::filesystem::path path, const std::string& fingerprint, std::int64_t batchSize,
                std::int64_t batchCount);
    ~TCheckpoint();
    TCheckpoint(const TCheckpoint&) = delete;
    TCheckpoint& operator=(const TCheckpoint&) = delete;

    // The sums of the batches done when the file was opened, by batch (null where not done).
    const std::vector<std::unique_ptr<TExactSums>>& Done() const { return m_done; }
    // Records a finished batch; written through to the disk before it returns.
    void Record(std::int64_t batch, const TExactSums& sums);

private:
    std::filesystem::path m_path;
    std::string m_identity;  // the heading, which every line's check sum covers
    int m_fd = -1;
    std::vector<std::unique_ptr<TExactSums>> m_done;
};

struct TExactRunOptions {
    int Threads = 0;  // 0: every core
    std::int64_t BatchSize = 4096;
    std::filesystem::path Checkpoint;                     // empty: none
    std::string Fingerprint;                              // what the checkpoint must belong to
    std::function<void(const TExactProgress&)> Progress;  // called about ten times a second
    const std::atomic<bool>* Stop = nullptr;              // set from outside to cancel
};

struct TExactRunResult {
    TExactSums Sums;
    bool Cancelled = false;
    int Threads = 0;
    double Seconds = 0;
    std::int64_t ResumedBatches = 0;  // taken from the checkpoint
};

// Throws TExactRunError unless `sums` hold every class and every layout of `classes` once: a
// figure over part of the deals is never printed as the game's.
void RequireEveryClass(const TExactSums& sums, const TLayoutClasses& classes);

// Plays every class on all threads, batch by batch, each batch taken by the next free thread.
// A run that is not cancelled covers every class (RequireEveryClass).
TExactRunResult RunExactAnalysis(const TLayoutClasses& classes, const TClassPlayFactory& factory,
                                 const TExactRunOptions& options);

}  // namespace studlab
