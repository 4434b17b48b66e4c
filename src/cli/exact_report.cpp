#include "cli/exact_report.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
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
            << row.WeightedCount.ToString() << '\t' << FormatNumber(row.Probability) << '\t'
            << FormatNumber(row.Contribution) << '\n';
    }
    out << "layouts: " << r.Sums.Layouts.ToString() << '\n';
    out << "classes: " << r.Sums.Classes << '\n';
    out << "threads: " << r.Threads << '\n';
    if (r.Ranks > 0) out << "ranks: " << r.Ranks << '\n';
    out << "seconds: " << FormatNumber(std::nearbyint(r.Seconds * 100) / 100) << '\n';
    for (const std::string& note : r.Notes) out << "note: " << note << '\n';
}

// Whole numbers beyond what nlohmann's 64 bits hold, written as JSON numbers all the same: each
// stands in the object as a marker string that the dumped text then replaces by its digits.
class TWholeNumbers {
public:
    std::string Marker(const TInt256& value) {
        m_digits.push_back(value.ToString());
        return kPrefix + std::to_string(m_digits.size() - 1) + kSuffix;
    }
    std::string Dump(const nlohmann::json& j) const {
        std::string text = j.dump(2);
        for (std::size_t i = 0; i < m_digits.size(); ++i) {
            const std::string marker = '"' + kPrefix + std::to_string(i) + kSuffix + '"';
            text.replace(text.find(marker), marker.size(), m_digits[i]);
        }
        return text;
    }

private:
    inline static const std::string kPrefix = "@@whole-number-";
    inline static const std::string kSuffix = "@@";
    std::vector<std::string> m_digits;
};

nlohmann::json Json(const TExactFigures& f, const TExactReport& r, TWholeNumbers& whole) {
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
                        {"weighted_count", whole.Marker(row.WeightedCount)},
                        {"probability", static_cast<double>(row.Probability)},
                        {"contribution", static_cast<double>(row.Contribution)}});
    }
    j["return_table"] = rows;
    // The exact sums the figures come from: result over weight, whole numbers of any size.
    j["result_sum"] = whole.Marker(r.Sums.Result);
    j["weight"] = whole.Marker(r.Sums.Weight);
    j["layouts"] = std::stoll(r.Sums.Layouts.ToString());
    j["classes"] = r.Sums.Classes;
    j["threads"] = r.Threads;
    if (r.Ranks > 0) j["ranks"] = r.Ranks;
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
    auto* checkpoint = command.add_option(
        "--checkpoint", CheckpointFile,
        "record finished parts in FILE and resume from it after an interruption");
    command.add_option("--batch-size", Run.BatchSize, "classes of layouts per part (default 4096)")
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 40));
    command.add_flag("--look-ahead", LookAhead,
                     "the recommended play values purchases and exchanges by the best decision "
                     "after each arrival, as the decision window does with that setting");
    auto* strategy = command.add_option(
        "--strategy", StrategyFile,
        "write the first decision's strategy by starting hand and dealer's card as CSV to FILE");
    command.add_flag("--no-best-play", NoBestPlay,
                     "skip the figure of the best continuation (faster for heavy designs)");
    // A sample plays a few classes to time the run: it has no whole figures to keep or write.
    command
        .add_option("--sample", Sample,
                    "play only N classes spread over all of them and estimate the whole run's time")
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 40))
        ->excludes(checkpoint)
        ->excludes(strategy)
        ->excludes(command.add_option(
            "--strategy-store", StrategyStoreFile,
            "write the first decision's choice for every class of first layouts to FILE, for "
            "'studlab-cli strategy' and the runs of hands that look it up"));
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

std::string StrategyStoreFingerprint(const TExactOptions& options) {
    TGameDesign design;
    TCalculationSettings settings;
    options.Design.Apply(design, settings);
    settings.LookAhead = settings.LookAhead || options.LookAhead;
    return studlab::StrategyStoreFingerprint(design, settings);
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
    const auto began = std::chrono::steady_clock::now();
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
    if (!options.StrategyStoreFile.empty() && options.Sample == 0) {
        report.Store = std::make_shared<TStrategyStore>(StrategyStoreFingerprint(options),
                                                        game.DealerOpenCards());
    }
    TStrategyStore* const record = report.Store.get();
    const auto factory = [&game, record] { return game.NewPlay(record); };
    if (options.Sample > 0) {
        // Batches of one class, evenly spread, so that the sample meets every kind of layout.
        const std::int64_t n = std::min(options.Sample, classes.ClassCount());
        const std::int64_t step = classes.ClassCount() / n;
        const std::vector<TLayoutCursor> starts = classes.BatchStarts(step);
        std::atomic<bool> stop{false};
        std::atomic<std::int64_t> played{0};
        const auto sampleBegan = std::chrono::steady_clock::now();
        const std::unique_ptr<IClassPlay> play = game.NewPlay();
        for (std::int64_t i = 0; i < n && i < static_cast<std::int64_t>(starts.size()); ++i) {
            classes.Visit(starts[static_cast<std::size_t>(i)], 1,
                          [&](const TLayoutClass& layout) { play->Play(layout, report.Sums); });
        }
        report.Seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - sampleBegan).count();
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
    if (record != nullptr && !report.Cancelled) {
        // The batches taken from the checkpoint were not played: their classes' first decisions
        // are valued now, which takes a fraction of playing them.
        report.StoreCompletedClasses = record->Missing();
        if (report.StoreCompletedClasses > 0) {
            if (!CompleteStrategyStore(game, *record, run.Threads, run.Stop)) {
                report.Cancelled = true;
            } else {
                report.Notes.push_back("the first decisions of " +
                                       std::to_string(report.StoreCompletedClasses) +
                                       " classes taken from the checkpoint were valued again "
                                       "for the strategy store");
            }
        }
    }
    report.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    return report;
}

namespace {

void CheckWritable(const std::string& path) {
    if (path.empty()) return;
    const auto refuse = [&] {
        throw std::runtime_error("Не удаётся открыть файл стратегии «" + path +
                                 "» для записи: " + std::strerror(errno));
    };
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or pipe opens for writing whether or not it takes what is written (/dev/full):
        // it is tried with a line end.
        std::ofstream file(path, std::ios::binary | std::ios::app);
        if (!file) refuse();
        errno = 0;
        file << '\n';
        file.flush();
        if (!file) {
            if (errno == 0) errno = EIO;
            refuse();
        }
        return;
    }
    std::ofstream file(path, std::ios::binary | std::ios::app);
    if (!file) refuse();
}

}  // namespace

void CheckStrategyFile(const TExactOptions& options) {
    CheckWritable(options.StrategyFile);
    CheckWritable(options.StrategyStoreFile);
}

void PrintInterruptedReport(const TExactReport& report, const TExactOptions& options,
                            std::ostream& out) {
    const std::string& file = options.CheckpointFile;
    if (options.Json) {
        nlohmann::json j;
        j["interrupted"] = true;
        j["classes_done"] = report.Sums.Classes;
        j["classes"] = report.TotalClasses;
        j["checkpoint"] = file.empty() ? nlohmann::json() : nlohmann::json(file);
        out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return;
    }
    out << "interrupted: " << report.Sums.Classes << " of " << report.TotalClasses
        << " classes done\n";
    if (!file.empty()) {
        out << "checkpoint: " << file << " holds them; the same command resumes from there\n";
    } else {
        out << "checkpoint: none; nothing is kept\n";
    }
}

void PrintSampleReport(const TExactReport& report, bool json, std::ostream& out) {
    // The pace to two decimals: a heavy design plays far less than a class a second.
    const double pace = std::nearbyint(report.ClassesPerSecond * 100) / 100;
    const double estimate = std::nearbyint(report.EstimatedSeconds);
    if (json) {
        nlohmann::json j;
        j["sample_classes"] = report.Sums.Classes;
        j["sample_seconds"] = report.Seconds;
        j["classes_per_second"] = pace;
        j["classes"] = report.TotalClasses;
        j["estimated_seconds"] = estimate;
        j["notes"] = report.Notes;
        out << j.dump(2) << '\n';
        return;
    }
    out << "sample_classes: " << report.Sums.Classes << '\n'
        << "sample_seconds: " << FormatNumber(report.Seconds) << '\n'
        << "classes_per_second: " << FormatNumber(pace) << '\n'
        << "classes: " << report.TotalClasses << '\n'
        << "estimated_seconds: " << FormatNumber(estimate) << '\n';
    for (const std::string& note : report.Notes) out << "note: " << note << '\n';
}

void WriteStrategyFile(const TExactReport& report, const TExactOptions& options) {
    if (!options.StrategyFile.empty()) {
        std::ofstream file(options.StrategyFile, std::ios::binary | std::ios::trunc);
        WriteStrategyCsv(report.Sums.Strategy, report.DealerOpenCards == 1, file);
        file.close();
        if (!file) {
            throw std::runtime_error("Не удалось записать стратегию в файл «" +
                                     options.StrategyFile + "»");
        }
    }
    if (!options.StrategyStoreFile.empty()) {
        // Only a run over every class has a store to write; Save refuses a partial one.
        if (!report.Store) {
            throw std::runtime_error("Стратегия не записана в «" + options.StrategyStoreFile +
                                     "»: расчет не прошёл все классы раскладов");
        }
        report.Store->Save(options.StrategyStoreFile);
    }
}

void PrintExactReport(const TExactReport& report, bool json, std::ostream& out) {
    const TExactFigures figures = FiguresOf(report.Sums);
    if (json) {
        TWholeNumbers whole;
        const nlohmann::json j = Json(figures, report, whole);
        out << whole.Dump(j) << '\n';
    } else {
        PrintText(figures, report, out);
    }
}

}  // namespace studlab::cli
