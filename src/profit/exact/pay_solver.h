#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "design/game_design.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/exact_run.h"

namespace studlab {

// A request the solver cannot serve (an unknown or repeated field, an empty grid, too many pay
// tables), in words for the user.
class TPaySolverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which payouts may change and how: the design's payout fields by their script names
// ("PayQualified[ckFlush]", "PayNotQualified[ckPair]"), the MO to aim at, and the grid of
// payouts (multiples of Step within the bounds).
struct TPaySolverRequest {
    std::vector<std::string> Fields;
    double TargetMoPercent = 3;
    double Step = 0.5;
    std::optional<double> Min;  // default 0
    std::optional<double> Max;  // default the table maximum: a larger payout is capped to it
    // Distances to the target are counted in whole multiples of this: within one, the pay table
    // nearest the design wins (the least sum of squared changes). 0: the closest MO, however odd
    // its table.
    double TolerancePercent = 0.01;
    int MaxRuns = 10;  // exact analyses at most, the design's own included
    // Where each analysis keeps its checkpoint, named by its design's fingerprint, so that an
    // interrupted search, or another one over the same pay tables, takes up what is finished.
    // Empty: none.
    std::filesystem::path CheckpointFolder;
};

// One pay table the solver analysed.
struct TPayTrial {
    std::vector<double> Payouts;  // in the order of the request's fields
    long double MoPercent = 0;
    long double BestMoPercent = 0;
    // Hands in which the player is paid: he wins the bet or the dealer has no game.
    long double HitFrequencyPercent = 0;
    // What the analyses before it foresaw (none for the first): where it differs from MoPercent
    // the play changed.
    std::optional<long double> PredictedMoPercent;
    // How far, in antes (the sum of the payouts' changes), the analysed table the foresight came
    // from lies; 0 for the first.
    double ForesightDistance = 0;
    bool Candidate = false;  // on the grid, within the bounds and in order (the design may not be)
    double Seconds = 0;
};

// Why a search ended.
enum class TPaySolverStop {
    psWithinTolerance,  // an analysed candidate lies within the tolerance of the target
    // No pay table not yet analysed can be closer than the chosen one, by the foresight and the
    // misses it has shown
    psNoneForeseenCloser,
    psRunsRanOut,
    psInterrupted,
};

// A varied payout (its field's script name) that the named composite pays also pay.
struct TCompositeWarning {
    std::string Field;
    std::vector<std::string> Composites;  // their captions, "стритфлеш+флеш"
};
// The warnings in the command line's words.
std::string WarningText(const TCompositeWarning& warning);
std::string InsuranceWarningText();

struct TPaySolution {
    std::vector<std::string> Fields;
    std::vector<TPayTrial> Trials;      // in the order they were analysed; the design's own first
    std::optional<std::size_t> Chosen;  // the trial chosen; none when no candidate was analysed
    TPaySolverStop Stop = TPaySolverStop::psRunsRanOut;
    // The search ended by itself (within the tolerance, or no table foreseen closer): the runs
    // did not run out and nobody stopped it.
    bool Converged() const {
        return Stop == TPaySolverStop::psWithinTolerance ||
               Stop == TPaySolverStop::psNoneForeseenCloser;
    }
    bool Cancelled() const { return Stop == TPaySolverStop::psInterrupted; }
    // The largest miss of a foresight, percent of MO (0 while the foresight was right).
    long double LargestMissPercent = 0;
    // What the foresight cannot see: varied payouts also paid as part of a composite pay that is
    // on.
    std::vector<TCompositeWarning> Warnings;
    // The insured bet is offered and a varied payout's kind is insurable: an insured win's
    // payout moves into the insured amount, which the foresight does not see either.
    bool InsuredPayoutsVaried = false;
    std::int64_t Candidates = 0;  // pay tables on the grid that keep the order
    double Seconds = 0;
};

struct TPaySolverProgress {
    int Run = 0;  // 1 for the design's own analysis
    int MaxRuns = 0;
    TExactProgress Analysis;
};

// The most pay tables the solver looks through between analyses.
inline constexpr std::int64_t kMostPayTables = 50'000'000;

// The design with the given payouts written into the request's fields.
TGameDesign WithPayouts(const TGameDesign& design, const std::vector<std::string>& fields,
                        const std::vector<double>& payouts);

// Checks the request against the design (fields, grid, order) and counts its pay tables; throws
// TPaySolverError.
std::int64_t CountPayTables(const TGameDesign& design, const TCalculationSettings& settings,
                            const TPaySolverRequest& request);

// Finds the payouts of the request's fields, on the grid, within the bounds, a stronger
// combination never paying less than a weaker one of the same kind of payout, whose exact MO is
// closest to the target; every other field stays as designed. For a fixed play the MO is linear in
// the payouts, and the return table of an analysis gives each payout's weight (the chance of the
// outcome it pays), so one analysis foresees the MO of every pay table near it. Each table is
// foreseen from the analysed table nearest to it, whose play is the likeliest; where the play
// moves the foresight misses, and each analysis after the first shows by how much at its
// distance. Of the tables that, missed as far in their favour, may be closer to the target than
// the best analysed one, the one foreseen closest is analysed next; the search ends when an
// analysed candidate lies within the tolerance of the target or when no table may be closer. The
// chosen table and its figures are always those of an analysis.
// Throws TPaySolverError, TExactRefusal (a design the analysis cannot play) and the conversion
// error of a number; `run` gives the threads and the stop flag.
TPaySolution SolvePayouts(const TGameDesign& design, const TCalculationSettings& settings,
                          const TPaySolverRequest& request, const TExactRunOptions& run,
                          const std::function<void(const TPaySolverProgress&)>& progress = {});

// The checkpoint of the analysis of a design in `folder`: its fingerprint's name.
std::filesystem::path CheckpointIn(const std::filesystem::path& folder, const TGameDesign& design,
                                   const TCalculationSettings& settings);

// Why the search ended, in words for the user.
std::string StopReasonText(const TPaySolution& solution);
// The same as a short code for JSON: "within_tolerance", "none_foreseen_closer", "runs_ran_out",
// "interrupted".
const char* StopReasonCode(TPaySolverStop stop);

// The share of hands in which the player is paid, from an analysis's figures.
long double HitFrequencyPercent(const TExactFigures& figures);

}  // namespace studlab
