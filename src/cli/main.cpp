// studlab-cli: the headless front door to the engine, for scripts, batch analysis and tests.
#include <iostream>

#include "cli/cli_common.h"

int main(int argc, char** argv) {
    CLI::App app{"studlab-cli: design and analyse stud-poker variants played against a dealer"};
    app.require_subcommand(1);
    studlab::cli::AddDesignCommands(app);
    studlab::cli::AddEvalCommands(app);
    studlab::cli::AddTableCommands(app);
    studlab::cli::AddProfitCommands(app);
    studlab::cli::AddExactCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    } catch (const studlab::cli::TUsageError& e) {
        std::cerr << "error: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
