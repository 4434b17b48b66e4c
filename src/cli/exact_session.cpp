#include "cli/exact_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>

#include "design/design_fields.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/exact_job.h"
#include "profit/exact/strategy.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

// "3,1977": the figure to four decimals in the system's number format.
std::string FourDecimals(long double value) {
    return FormatNumber(std::nearbyint(value * 10000) / 10000);
}

void PrintText(const TExactFigures& f, const TExactReport& r, std::ostream& out) {
    out << "MO=" << FourDecimals(f.MoPercent) << "%\n";
    if (r.WithBestPlay) {
        out << "best_play: MO=" << FourDecimals(f.BestMoPercent) << "%\n";
        out << "first_choices_differ: " << FourDecimals(f.ChoicesDifferPercent) << "%\n";
    }
    out << "std_dev_per_hand: " << FourDecimals(f.StdDevPerHand) << '\n';
    out << "average_stake: " << FourDecimals(f.AverageStake) << '\n';
    out << "element_of_risk: " << FourDecimals(f.ElementOfRiskPercent) << "%\n";
    out << "first_action:";
    for (int a = 0; a < kFirstActions; ++a) {
        const long double share = f.FirstActionPercent[static_cast<std::size_t>(a)];
        if (share > 0) {
            out << ' ' << FirstActionName(static_cast<TFirstAction>(a)) << ' '
                << FourDecimals(share) << '%';
        }
    }
    out << "\nreturn_table:\n";
    for (const TExactFigures::TReturnRow& row : f.Returns) {
        out << KindCaption(row.Kind) << '\t' << OutcomeCaption(row.Outcome) << '\t'
            << FormatNumber(row.Probability) << '\t' << FormatNumber(row.Contribution) << '\n';
    }
    out << "layouts: " << r.Sums.Layouts.ToString() << '\n';
    out << "classes: " << r.Sums.Classes << '\n';
    out << "threads: " << r.Threads << '\n';
    out << "seconds: " << FormatNumber(std::nearbyint(r.Seconds * 100) / 100) << '\n';
    for (const std::string& note : r.Notes) out << "note: " << note << '\n';
}

nlohmann::json Json(const TExactFigures& f, const TExactReport& r) {
    nlohmann::json j;
    j["mo_percent"] = static_cast<double>(f.MoPercent);
    if (r.WithBestPlay) {
        j["best_play_mo_percent"] = static_cast<double>(f.BestMoPercent);
        j["first_choices_differ_percent"] = static_cast<double>(f.ChoicesDifferPercent);
    }
    j["std_dev_per_hand"] = static_cast<double>(f.StdDevPerHand);
    j["average_stake"] = static_cast<double>(f.AverageStake);
    j["element_of_risk_percent"] = static_cast<double>(f.ElementOfRiskPercent);
    nlohmann::json shares = nlohmann::json::object();
    for (int a = 0; a < kFirstActions; ++a) {
        shares[std::string(FirstActionName(static_cast<TFirstAction>(a)))] =
            static_cast<double>(f.FirstActionPercent[static_cast<std::size_t>(a)] / 100);
    }
    j["first_action_share"] = shares;
    nlohmann::json rows = nlohmann::json::array();
    for (const TExactFigures::TReturnRow& row : f.Returns) {
        rows.push_back({{"combination", std::string(KindCodeName(row.Kind))},
                        {"outcome", std::string(OutcomeName(row.Outcome))},
                        {"weighted_count", row.WeightedCount.ToString()},
                        {"probability", static_cast<double>(row.Probability)},
                        {"contribution", static_cast<double>(row.Contribution)}});
    }
    j["return_table"] = rows;
    // The exact sums the figures come from: result and weight as whole numbers (decimal text,
    // beyond what a JSON number holds).
    j["result_sum"] = r.Sums.Result.ToString();
    j["weight"] = r.Sums.Weight.ToString();
    j["layouts"] = std::stoll(r.Sums.Layouts.ToString());
    j["classes"] = r.Sums.Classes;
    j["threads"] = r.Threads;
    j["seconds"] = r.Seconds;
    j["notes"] = r.Notes;
    return j;
}

}  // namespace

void TExactOptions::AddTo(CLI::App& command) {
    Design.AddTo(command);
    command.add_option("--threads", Run.Threads, "worker threads (default: every core)")
        ->check(CLI::Range(1, 1024));
    command.add_flag("--json", Json, "print the figures as one JSON object");
    command.add_option("--checkpoint", CheckpointFile,
                       "record finished parts in FILE and resume from it after an interruption");
    command.add_option("--batch-size", Run.BatchSize, "classes of layouts per part (default 4096)")
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 40));
    command.add_flag("--look-ahead", LookAhead,
                     "the recommended play values purchases and exchanges by the best decision "
                     "after each arrival, as the decision window does with that setting");
    command.add_option("--strategy", StrategyFile,
                       "write the first decision's strategy by starting hand and dealer's card "
                       "as CSV to FILE");
    command.add_flag("--no-best-play", NoBestPlay,
                     "skip the figure of the best continuation (faster for heavy designs)");
    command
        .add_option("--sample", Sample,
                    "play only N classes spread over all of them and estimate the whole run's time")
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 40));
}

TExactGame ExactGameOf(const TExactOptions& options) {
    TGameDesign design;
    TCalculationSettings settings;
    options.Design.Apply(design, settings);
    settings.LookAhead = settings.LookAhead || options.LookAhead;
    TExactGame game(design, settings);
    game.SetWithBestPlay(!options.NoBestPlay);
    return game;
}

std::string ExactFingerprint(const TExactOptions& options) {
    TGameDesign design;
    TCalculationSettings settings;
    options.Design.Apply(design, settings);
    settings.LookAhead = settings.LookAhead || options.LookAhead;
    return studlab::ExactFingerprint(design, settings, !options.NoBestPlay);
}

std::vector<std::string> ExactNotes(const TExactGame& game) {
    std::vector<std::string> notes;
    if (game.CountsSampledDrawsExactly()) {
        notes.push_back(
            "exchanges that the decision window values by random draws (four and five cards, or "
            "the probabilistic method) are counted here over every arrival");
    }
    return notes;
}

TExactReport RunExact(const TExactOptions& options) {
    const TExactGame game = ExactGameOf(options);
    const TLayoutClasses classes(game.DealerOpenCards());
    TExactRunOptions run = options.Run;
    run.Fingerprint = ExactFingerprint(options);
    run.Checkpoint = options.CheckpointFile;
    TExactReport report;
    report.WithBestPlay = game.WithBestPlay();
    report.Notes = ExactNotes(game);
    report.TotalClasses = classes.ClassCount();
    report.DealerOpenCards = game.DealerOpenCards();
    const auto factory = [&game] { return game.NewPlay(); };
    if (options.Sample > 0) {
        // Batches of one class, evenly spread, so that the sample meets every kind of layout.
        const std::int64_t n = std::min(options.Sample, classes.ClassCount());
        const std::int64_t step = classes.ClassCount() / n;
        const std::vector<TLayoutCursor> starts = classes.BatchStarts(step);
        std::atomic<bool> stop{false};
        std::atomic<std::int64_t> played{0};
        const auto began = std::chrono::steady_clock::now();
        const std::unique_ptr<IClassPlay> play = game.NewPlay();
        for (std::int64_t i = 0; i < n && i < static_cast<std::int64_t>(starts.size()); ++i) {
            classes.Visit(starts[static_cast<std::size_t>(i)], 1,
                          [&](const TLayoutClass& layout) { play->Play(layout, report.Sums); });
        }
        report.Seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        report.Sample = true;
        report.Threads = run.Threads > 0
                             ? run.Threads
                             : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        report.ClassesPerSecond =
            report.Seconds > 0 ? static_cast<double>(report.Sums.Classes) / report.Seconds : 0;
        report.EstimatedSeconds = report.ClassesPerSecond > 0
                                      ? static_cast<double>(report.TotalClasses) /
                                            report.ClassesPerSecond / report.Threads
                                      : 0;
        return report;
    }
    const TExactRunResult result = RunExactAnalysis(classes, factory, run);
    report.Sums = result.Sums;
    report.Cancelled = result.Cancelled;
    report.Threads = result.Threads;
    report.Seconds = result.Seconds;
    return report;
}

void WriteStrategyFile(const TExactReport& report, const TExactOptions& options) {
    if (options.StrategyFile.empty()) return;
    std::ofstream file(options.StrategyFile, std::ios::binary | std::ios::trunc);
    WriteStrategyCsv(report.Sums.Strategy, report.DealerOpenCards == 1, file);
    file.close();
    if (!file) {
        throw std::runtime_error("Не удалось записать стратегию в файл «" + options.StrategyFile +
                                 "»");
    }
}

void PrintExactReport(const TExactReport& report, bool json, std::ostream& out) {
    const TExactFigures figures = FiguresOf(report.Sums);
    if (json) {
        out << Json(figures, report).dump(2) << '\n';
    } else {
        PrintText(figures, report, out);
    }
}

}  // namespace studlab::cli
