// studlab-cli: the headless front door to the engine, for scripts, batch analysis and tests.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "cli/cli_common.h"

namespace {

// A first word that names no command is reported as such, not as a missing command.
bool NamesUnknownCommand(const CLI::App& app, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word.starts_with("-")) continue;
        for (const CLI::App* command : app.get_subcommands({})) {
            if (command->get_name() == word) return false;
        }
        std::cerr << "error: unknown command '" << word << "'; the commands are:";
        for (const CLI::App* command : app.get_subcommands({}))
            std::cerr << ' ' << command->get_name();
        std::cerr << '\n';
        return true;
    }
    return false;
}

// Results that did not reach their file or pipe (a full disk, a closed pipe) fail the command.
int CheckedOutput(int code) {
    errno = 0;
    std::cout.flush();
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !std::cout;
    if (!failed) return code;
    const int error = errno;
    std::cerr << "error: the results could not be written to the standard output"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    return code == 0 ? 1 : code;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"studlab-cli: design and analyse stud-poker variants played against a dealer"};
    app.require_subcommand(1);
    studlab::cli::AddDesignCommands(app);
    studlab::cli::AddEvalCommands(app);
    studlab::cli::AddTableCommands(app);
    studlab::cli::AddProfitCommands(app);
    studlab::cli::AddExactCommands(app);
    studlab::cli::AddCacheCommands(app);
    studlab::cli::AddSolveCommands(app);
    studlab::cli::AddReportCommands(app);
    studlab::cli::AddStrategyCommands(app);
    if (NamesUnknownCommand(app, argc, argv)) return 2;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return CheckedOutput(code == 0 ? 0 : 2);
    } catch (const studlab::cli::TUsageError& e) {
        std::cerr << "error: " << e.what() << '\n';
        return CheckedOutput(2);
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return CheckedOutput(1);
    }
    return CheckedOutput(0);
}
