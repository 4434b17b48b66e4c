#pragma once

#include <CLI/CLI.hpp>

#include <stdexcept>
#include <string>
#include <vector>

#include "cards/card_list.h"
#include "design/game_design.h"

namespace studlab::cli {

// A mistake in what the user asked for: printed as "error: ..." with exit code 2.
class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --design FILE and the repeatable --set NAME=VALUE, applied after the file.
struct TDesignOptions {
    std::string File;
    std::vector<std::string> Assignments;

    void AddTo(CLI::App& command);
    // Loads the file (if any) over the defaults and applies the assignments; returns the game name.
    std::string Apply(TGameDesign& design, TCalculationSettings& settings) const;
};

std::vector<TCardId> ParseCards(const std::string& text, const char* what);

// Registration of the command groups, one file each.
void AddDesignCommands(CLI::App& app);
void AddEvalCommands(CLI::App& app);
void AddTableCommands(CLI::App& app);
void AddProfitCommands(CLI::App& app);
void AddExactCommands(CLI::App& app);

}  // namespace studlab::cli
