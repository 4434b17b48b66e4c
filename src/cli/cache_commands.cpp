// studlab-cli cache
#include <iostream>
#include <memory>

#include "cli/command_game.h"
#include "table/cache/decision_cache.h"

namespace studlab::cli {

void AddCacheCommands(CLI::App& app) {
    auto* command = app.add_subcommand("cache", "show or clear the decision cache of a game");
    auto info = std::make_shared<std::string>();
    auto clear = std::make_shared<std::string>();
    auto gamesDir = std::make_shared<std::string>();
    auto* infoOption = command->add_option(
        "--info", *info, "GAME: print the game's cache file, its rows and its size in bytes");
    auto* clearOption = command->add_option(
        "--clear", *clear, "GAME: remove every row of the game's cache; the file stays");
    infoOption->excludes(clearOption);
    command
        ->add_option("--games-dir", *gamesDir,
                     "the folder that holds the decision caches' folder Games (default: the "
                     "program's folder); a DIR named Games is that folder itself")
        ->check(NotEmpty());
    command->callback([=] {
        if (infoOption->count() == 0 && clearOption->count() == 0)
            throw TUsageError("cache: give --info GAME or --clear GAME");
        TDecisionCache cache(gamesDir->empty() ? DefaultGamesDir() : GamesFolderIn(*gamesDir));
        if (infoOption->count() > 0) {
            const TDecisionCacheInfo i = cache.Info(*info);
            std::cout << "file: " << i.File.string() << '\n'
                      << "rows: " << i.Rows << '\n'
                      << "size: " << i.Bytes << '\n';
        } else {
            const std::int64_t rows = cache.Info(*clear).Rows;
            cache.Clear(*clear);
            std::cout << "cleared: " << rows << " rows from " << cache.FileFor(*clear).string()
                      << '\n';
        }
    });
}

}  // namespace studlab::cli
