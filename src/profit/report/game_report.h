#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "design/game_design.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/exact_sums.h"
#include "profit/run_figures.h"

namespace studlab {

// How far the building of a report is: the exact analysis, then the simulated hands.
struct TGameReportProgress {
    enum class TStep { Exact, Simulation } Step = TStep::Exact;
    double Share = 0;  // 0 .. 1 of the step
};

struct TGameReportOptions {
    std::int32_t SimulationHands = 100'000;
    std::uint64_t Seed = 1;  // the simulated hands are dealt from it, so a report repeats
    int Threads = 0;         // 0: every core
    const std::atomic<bool>* Stop = nullptr;
    std::function<void(const TGameReportProgress&)> Progress;
    // The exact sums of this very design and settings when they are known already (the windows
    // keep the last analysis); otherwise the analysis is run.
    std::optional<TExactSums> KnownExact;
    std::string Date;  // empty: today's date (UTC), as YYYY-MM-DD
    // Where the analysis keeps its checkpoint, as the pay-table solver does (CheckpointIn).
    std::filesystem::path CheckpointFolder;
};

// The bankroll that lasts through so many hands with 95 % and 99 % probability, in antes.
struct TReportBankroll {
    std::int64_t Hands = 0;
    double Bankroll95 = 0;
    double Bankroll99 = 0;
};

// Everything the game's report shows: the rules, the exact figures (or why there are none), a
// simulation against them, the bankrolls, and what identifies the design and the program.
struct TGameReport {
    std::string GameName;
    TGameDesign Design;
    TCalculationSettings Settings;

    bool Exact = false;
    std::string ExactRefusal;  // why the exact analysis cannot play the design
    TExactSums Sums;
    TExactFigures Figures;
    long double HitFrequencyPercent = 0;
    int DealerOpenCards = 1;

    TRunFigures Simulation;
    std::uint64_t Seed = 0;
    std::string SimulationNote;  // why the simulation ended early, when it did

    std::vector<TReportBankroll> Bankrolls;  // 100, 1000, 10000 hands
    std::string Fingerprint;
    std::string Version;
    std::string Date;
    bool Cancelled = false;
};

// Whether the exact figures lie within the simulation's 95 % intervals: the check a reader of the
// report makes (false without an exact analysis or without simulated hands).
bool ExactMoWithinSimulated(const TGameReport& report);
bool ExactHitFrequencyWithinSimulated(const TGameReport& report);

// Builds the report of a design: the exact analysis (unless known or refused) and the simulation
// of SimulationHands random hands. Throws the conversion error of a number of the design; a stop
// gives a report with Cancelled set.
TGameReport BuildGameReport(const TGameDesign& design, const TCalculationSettings& settings,
                            const std::string& gameName, const TGameReportOptions& options);

// How the page draws the strategy grid: as inline SVG (a browser), or as a table of coloured
// cells (Qt's rich text, which the PDF is printed from, draws no SVG).
enum class TGridPicture { Svg, Table };

// The report as one self-contained HTML page (UTF-8): no script, no style sheet or picture from
// elsewhere.
std::string GameReportHtml(const TGameReport& report, TGridPicture grid = TGridPicture::Svg);

// The strategy grid as an SVG picture: a row per group of starting hands, a column per dealer's
// card, each cell coloured by its action and naming it with its share.
std::string StrategyGridSvg(const TStrategyGrid& grid, bool byDealerCard);

// The program's version.
std::string StudlabVersion();

}  // namespace studlab
