#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>

#include "cli/cli_common.h"
#include "profit/played_game.h"

namespace studlab::cli {

// The options every command that plays at the decision table takes.
struct TTableOptions {
    TDesignOptions Design;
    std::string Method;  // direct | probabilistic
    std::string Cycles;
    bool UseCache = false;
    bool LookAhead = false;
    std::string GamesDir;

    void AddTo(CLI::App& command, bool withCache);
};

// A decision table over its own design and settings, with a game chosen: the design file's name
// (or "default"), the design loaded and the assignments applied, the table at the start of a hand;
// and the profitability check that plays hands on it.
struct TCommandGame : TPlayedGame {
    explicit TCommandGame(const TTableOptions& options, char** argv0 = nullptr);

    // Says once that decisions were not stored because the cache cannot be written.
    void ReportCacheNotice(std::ostream& err);
};

// The folder "Games" in `dir`; a `dir` that is itself named "Games" is taken as that folder.
std::filesystem::path GamesFolderIn(const std::filesystem::path& dir);
// The folder "Games" beside the program.
std::filesystem::path DefaultGamesDir();

}  // namespace studlab::cli
