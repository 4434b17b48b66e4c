#pragma once

#include <CLI/CLI.hpp>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card_list.h"
#include "design/game_design.h"

namespace studlab::cli {

// A mistake in what the user asked for: printed as "error: ..." with exit code 2.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The most random draws the probabilistic method may make per candidate.
inline constexpr std::int64_t kMostCycles = 10'000'000;

// --design FILE and the repeatable --set NAME=VALUE, applied after the file.
struct TDesignOptions {
    std::string File;
    std::vector<std::string> Assignments;

    void AddTo(CLI::App& command);
    // Loads the file (if any) over the defaults and applies the assignments; returns the game name.
    // An assigned amount, number of draws or of boxes outside its range is a usage error that
    // names "--set NAME", as the command's own option for the same value would.
    std::string Apply(TGameDesign& design, TCalculationSettings& settings) const;
};

std::vector<TCardId> ParseCards(const std::string& text, const char* what);

// A whole number from `low` to `high` given as `option`; anything else is a usage error that
// names the option, the text and the range, followed by `why` when given.
std::int64_t WholeOption(std::string_view option, std::string_view text, std::int64_t low,
                         std::int64_t high, std::string_view why = {});
// An amount in antes, with a decimal comma or point, from `low` to `high`.
double AmountOption(std::string_view option, std::string_view text, double low, double high);
// --boxes or "--set PlayingBoxes": from 1 to as many as the deck serves for the design.
void CheckPlayingBoxes(std::string_view option, std::string_view text, const TGameDesign& design);

// Registration of the command groups, one file each.
// Refuses an empty value: an option given as "" is a mistake, not a request for its default.
CLI::Validator NotEmpty();

// From the first call on, SIGINT and SIGTERM set the returned flag instead of ending the process,
// so that a long run ends as its stop button ends it and prints what it has.
const std::atomic<bool>& CatchInterrupts();

void AddDesignCommands(CLI::App& app);
void AddEvalCommands(CLI::App& app);
void AddTableCommands(CLI::App& app);
void AddProfitCommands(CLI::App& app);
void AddExactCommands(CLI::App& app);
void AddCacheCommands(CLI::App& app);
void AddSolveCommands(CLI::App& app);
void AddReportCommands(CLI::App& app);
void AddStrategyCommands(CLI::App& app);

}  // namespace studlab::cli
