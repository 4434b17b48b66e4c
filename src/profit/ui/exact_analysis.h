#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "design/game_design.h"
#include "profit/exact/exact_job.h"

namespace studlab {

// Where the exact analysis stands for the design and settings as they are now.
enum class TExactStatus {
    esNone,     // not run for them
    esRunning,  // running (perhaps for a design that has changed since it started)
    esDone,     // a complete result that belongs to them
    esStale,    // a complete result of another design: the design changed after it
    esStopped,  // stopped by "СТОП" before it was complete
    esRefused,  // the analysis cannot play the design (or a number of it does not convert)
    esFailed,   // it ended with an error
};

// The exact analysis of the current game as the windows share it: one job in the background,
// started for the design and settings as they stand, followed a few times a second, and what it
// found kept with the design it belongs to. Every question is answered for the design as it is
// at the moment it is asked, so an edit anywhere takes the result away at once (and a design
// edited back to what it was gets its result back).
class TExactAnalysis final : public QObject {
    Q_OBJECT
public:
    // Analyses `design` under `settings` as they stand when asked.
    TExactAnalysis(const TGameDesign& design, const TCalculationSettings& settings);
    ~TExactAnalysis() override;
    TExactAnalysis(const TExactAnalysis&) = delete;
    TExactAnalysis& operator=(const TExactAnalysis&) = delete;

    // Starts the analysis of the design as it stands (a running one is stopped first). A design
    // the analysis cannot play is refused, and Status() says so with the reason.
    void Start();
    // Stops a running analysis; it ends within a class of first layouts.
    void Stop();

    TExactStatus Status() const;
    bool Running() const { return m_job.Running(); }
    // Where a complete analysis keeps the strategy it worked out (TExactJob::KeepStrategiesOn).
    void KeepStrategiesOn(std::shared_ptr<TStrategyShelf> shelf) {
        m_job.KeepStrategiesOn(std::move(shelf));
    }
    // Whether the running analysis was started for the design as it stands.
    bool RunningForCurrentDesign() const;
    TExactProgress Progress() const { return m_job.Progress(); }
    // The result while it belongs to the design and settings as they stand, else null. Valid
    // until the next start or stop.
    const TExactJob::TResult* CurrentResult() const;
    // The last analysis that ended, whatever design it belongs to, or null.
    const TExactJob::TResult* LastResult() const;
    // Why the analysis was refused or failed; empty otherwise.
    std::string Reason() const;
    // What differs now from the design and settings the last analysis was started for, as the
    // subject of a sentence: "Конструкция", "Настройки расчета", "Конструкция и настройки
    // расчета"; empty when nothing does.
    std::string ChangedSinceStart() const;

signals:
    // The analysis started, progressed, or ended.
    void Changed();

private:
    std::string CurrentFingerprint() const;
    // Takes the result of an analysis that has ended since the last look.
    void CollectResult() const;
    void Poll();

    const TGameDesign& m_design;
    const TCalculationSettings& m_settings;
    TExactJob m_job;
    QTimer m_poll;
    std::string m_startedFor;  // the fingerprint the running or last analysis was started for
    std::optional<TGameDesign> m_startedDesign;  // and the design and settings themselves
    TCalculationSettings m_startedSettings;
    std::string m_refusal;  // the reason of the last refusal, for m_refusedFor
    std::string m_refusedFor;
    // The job's last result, taken once it ended (a copy of the grid is not made at every look).
    mutable std::optional<TExactJob::TResult> m_result;
    mutable bool m_collect = false;
};

// The start of a sentence on what changed since an analysis started, for ChangedSinceStart():
// "Конструкция изменилась", "Настройки расчета изменились"; the design when it is empty.
std::string ChangedText(const std::string& subject);
// The pronoun that stands for that subject later in the sentence: "ней" or "ним".
std::string ChangedPronoun(const std::string& subject);

// A figure with four decimals and a decimal comma: "3,1977", "-0,1200".
std::string FourDecimalsText(long double value);
// The exact MO as the windows show it: "MO=3,1977%".
std::string ExactMoText(long double moPercent);
// A duration as a person reads it: "45 с", "3 мин 20 с", "2 ч 5 мин".
std::string DurationText(double seconds);

}  // namespace studlab
