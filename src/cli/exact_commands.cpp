// studlab-cli exact: a game's true MO, return table and risk figures by complete enumeration.
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/cli_common.h"
#include "cli/exact_report.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

std::string Duration(double seconds) {
    const long total = std::lround(seconds);
    if (total < 60) return std::to_string(total) + " с";
    if (total < 3600)
        return std::to_string(total / 60) + " мин " + std::to_string(total % 60) + " с";
    return std::to_string(total / 3600) + " ч " + std::to_string(total / 60 % 60) + " мин";
}

void ShowProgress(const TExactProgress& p) {
    const int width = 40;
    const double share = p.ClassesTotal > 0 ? static_cast<double>(p.ClassesDone) /
                                                  static_cast<double>(p.ClassesTotal)
                                            : 0;
    const int filled = static_cast<int>(share * width);
    std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(width - filled), ' ') + "] " +
                       FormatNumber(std::floor(share * 1000) / 10) + " %";
    if (p.SecondsLeft > 0) line += "  осталось ~" + Duration(p.SecondsLeft);
    std::fprintf(stderr, "%-80s", line.c_str());
    std::fflush(stderr);
}

}  // namespace

void AddExactCommands(CLI::App& app) {
    auto* command = app.add_subcommand(
        "exact", "the game's true MO, return table and risk figures by enumerating every deal");
    auto options = std::make_shared<TExactOptions>();
    options->AddTo(*command);
    command->callback([options] {
        const bool progress = !options->Json && isatty(STDERR_FILENO) != 0;
        if (progress) options->Run.Progress = ShowProgress;
        // Ctrl-C or SIGTERM ends the run cleanly; with a checkpoint the finished parts are kept.
        options->Run.Stop = &CatchInterrupts();
        // A strategy file that cannot be written is found before the run, not after hours.
        CheckStrategyFile(*options);
        const TExactReport report = RunExact(*options);
        if (progress) std::fprintf(stderr, "\r%-80s\r", "");
        if (report.Cancelled) {
            PrintInterruptedReport(report, *options, std::cout);
            throw std::runtime_error("расчет прерван");
        }
        if (report.Sample) {
            PrintSampleReport(report, options->Json, std::cout);
            return;
        }
        // The figures first: a strategy file that fails at the end does not take them away.
        PrintExactReport(report, options->Json, std::cout);
        std::cout.flush();
        WriteStrategyFile(report, *options);
    });
}

}  // namespace studlab::cli
