#include "cli/command_game.h"
#include "table/cache/decision_cache.h"

#include <unistd.h>

#include <array>
#include <ostream>

namespace studlab::cli {

void TTableOptions::AddTo(CLI::App& command, bool withCache) {
    Design.AddTo(command);
    command
        .add_option("--method", Method, "direct (every arrival) or probabilistic (random arrivals)")
        ->check(CLI::IsMember({"direct", "probabilistic"}));
    command.add_flag("--look-ahead", LookAhead,
                     "value a purchase or an exchange by the best decision after each arrival "
                     "(\"с учётом решения после прикупа\"), not by a bet after every arrival");
    command.add_option("--cycles", Cycles,
                       "random draws of the probabilistic method, 1 to 10000000 (default 2000)");
    if (withCache) {
        command.add_flag("--cache", UseCache, "use and fill the game's decision cache");
        command
            .add_option("--games-dir", GamesDir,
                        "the folder that holds the decision caches' folder Games (default: "
                        "the program's folder); a DIR named Games is that folder itself")
            ->check(NotEmpty());
    }
}

std::filesystem::path GamesFolderIn(const std::filesystem::path& dir) {
    return dir.filename() == "Games" ? dir : dir / "Games";
}

std::filesystem::path DefaultGamesDir() {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return "Games";
    return GamesFolderIn(
        std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n)))
            .parent_path());
}

TCommandGame::TCommandGame(const TTableOptions& options, char**) {
    std::string game = options.Design.Apply(Design, Settings);
    if (options.Design.File.empty()) game = "default";
    if (options.Method == "probabilistic") Settings.CalcMethod = TCalcMethod::cmProbabilistic;
    if (options.Method == "direct") Settings.CalcMethod = TCalcMethod::cmDirect;
    if (!options.Cycles.empty()) {
        WholeOption("--cycles", options.Cycles, 1, kMostCycles);
        Settings.ProbabilisticCycles = options.Cycles;
    }
    Settings.UseCacheTable = Settings.UseCacheTable || options.UseCache;
    Settings.LookAhead = Settings.LookAhead || options.LookAhead;
    Table.Cache().SetGamesDir(options.GamesDir.empty() ? DefaultGamesDir()
                                                       : GamesFolderIn(options.GamesDir));
    Table.SetGameName(game);
    Table.SelectGame(std::nullopt);  // the design is already in place: start a hand of it
}

void TCommandGame::ReportCacheNotice(std::ostream& err) {
    if (const std::optional<std::string> notice = Table.Cache().TakeNotice())
        err << "note: " << *notice << '\n';
}

}  // namespace studlab::cli
