// studlab-cli simulate
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/command_game.h"
#include "profit/exact/strategy_shelf.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

using TColumn = TCombinationStats::TColumn;

// The cycles' limits, in whole antes either way.
constexpr std::int64_t kLimitAntes = 1'000'000'000;

std::string_view EndText(TRunEnd end) {
    switch (end) {
        case TRunEnd::Completed:
            return "completed";
        case TRunEnd::Refused:
            return "refused";
        case TRunEnd::Stopped:
            return "stopped";
        case TRunEnd::NoGame:
            return "no game chosen";
        case TRunEnd::Unsettled:
            return "a hand was not settled";
        case TRunEnd::CyclesLimit:
            return "the cycles reached a whole-run limit";
        case TRunEnd::CyclesCap:
            return "the cycles reached the most cycles or hands a run plays";
        case TRunEnd::Failed:
            return "failed";
        case TRunEnd::None:
            break;
    }
    return "not run";
}

// A percent in the system's number format, to two decimals.
std::string Percent(double value) {
    return FormatNumber(std::nearbyint(value * 100) / 100) + "%";
}

// The statistics columns under plain names, in the order of the window's columns.
constexpr std::array<const char*, TCombinationStats::kColumns> kColumnNames = {
    "total", "from_deal", "from_buying", "paid", "unpaid", "lost"};

void PrintTable(const TCombinationStats& stats, std::ostream& out) {
    out << std::left << std::setw(16) << "";
    for (int c = 0; c < TCombinationStats::kColumns; ++c) {
        out << '\t' << TCombinationStats::ColumnHeader(static_cast<TColumn>(c));
    }
    out << '\n';
    for (int row = 0; row < TCombinationStats::kRows; ++row) {
        out << TCombinationStats::RowCaption(row);
        for (int c = 0; c < TCombinationStats::kColumns; ++c)
            out << '\t' << stats.Count(row, static_cast<TColumn>(c));
        out << '\n';
    }
}

void PrintFigures(const TProfitCheck& check, std::ostream& out) {
    const TRunFigures& f = check.Figures();
    const TProfitView& view = check.View();
    // Figures of the spread are unknown after a single hand: "-".
    const auto spread = [&](const std::string& text) { return f.SpreadKnown() ? text : "-"; };
    out << view.MoText << '\n'
        << "mo_95: " << spread(Percent(f.MoLow) + " .. " + Percent(f.MoHigh)) << '\n'
        << "hands: " << f.Hands << '\n'
        << "total: " << FormatTenThousandths(f.Total) << '\n';
    PrintTable(check.Stats(), out);
    out << view.BankText << '\n'
        << "std_dev_per_hand: " << spread(FormatAmount(f.StdDevPerHand)) << '\n'
        << "std_error_per_hand: " << spread(FormatAmount(f.StdErrorPerHand)) << '\n'
        << "average_stake: " << FormatAmount(f.AverageStake) << '\n'
        << "element_of_risk: " << Percent(f.ElementOfRiskPercent) << '\n'
        << "bankroll for " << f.BankrollHands << " hands: "
        << spread(FormatAmount(f.Bankroll95) + " (95%), " + FormatAmount(f.Bankroll99) + " (99%)")
        << '\n';
}

nlohmann::json FiguresJson(const TProfitCheck& check) {
    const TRunFigures& f = check.Figures();
    const TProfitView& view = check.View();
    nlohmann::json out;
    out["hands"] = f.Hands;
    out["total_antes"] = static_cast<double>(f.Total) / 10000;
    out["mo_percent"] = f.MoPercent;
    out["mo_95_low_percent"] = f.MoLow;
    out["mo_95_high_percent"] = f.MoHigh;
    out["std_dev_per_hand"] = f.StdDevPerHand;
    out["std_error_per_hand"] = f.StdErrorPerHand;
    out["average_stake_antes"] = f.AverageStake;
    out["element_of_risk_percent"] = f.ElementOfRiskPercent;
    out["bankroll_hands"] = f.BankrollHands;
    out["bankroll_95_antes"] = f.Bankroll95;
    out["bankroll_99_antes"] = f.Bankroll99;
    out["bank_antes"] = check.Path().Bank().Antes;
    if (!f.SpreadKnown()) {
        // Unknown after a single hand.
        for (const char* key : {"mo_95_low_percent", "mo_95_high_percent", "std_dev_per_hand",
                                "std_error_per_hand", "bankroll_95_antes", "bankroll_99_antes"})
            out[key] = nullptr;
    }
    out["mo_text"] = view.MoText;
    out["bank_text"] = view.BankText;
    nlohmann::json rows = nlohmann::json::array();
    for (int row = 0; row < TCombinationStats::kRows; ++row) {
        nlohmann::json r;
        r["row"] = TCombinationStats::RowCaption(row);
        for (int c = 0; c < TCombinationStats::kColumns; ++c) {
            r[kColumnNames[static_cast<std::size_t>(c)]] =
                check.Stats().Count(row, static_cast<TColumn>(c));
        }
        rows.push_back(r);
    }
    out["statistics"] = rows;
    return out;
}

std::int64_t ParseCount(const std::string& text, const char* option, std::int64_t most) {
    return WholeOption(option, text, 1, most);
}

}  // namespace

void AddProfitCommands(CLI::App& app) {
    auto* command =
        app.add_subcommand("simulate", "play random hands of a game and report its profitability");
    auto options = std::make_shared<TTableOptions>();
    auto hands = std::make_shared<std::string>();
    auto sameSequence = std::make_shared<bool>(false);
    auto boxes = std::make_shared<std::string>();
    auto limits = std::make_shared<std::vector<std::string>>();
    auto json = std::make_shared<bool>(false);
    auto threads = std::make_shared<std::string>();
    auto seed = std::make_shared<std::string>();
    auto csv = std::make_shared<std::string>();
    auto bankrollHands = std::make_shared<std::string>();
    auto strategyStore = std::make_shared<std::string>();
    options->AddTo(*command, true);
    command->add_option("--hands", *hands, "number of hands, 1 to 1000000 (\"колличество циклов\")")
        ->required();
    auto* sameSequenceFlag = command->add_flag("--same-sequence", *sameSequence,
                                               "deal the generator's one fixed series of hands");
    command
        ->add_option("--seed", *seed,
                     "deal hand n from the stream (SEED, n): the same MO whatever the threads "
                     "(default: a seed from the clock)")
        ->check(NotEmpty())
        ->excludes(sameSequenceFlag);
    command
        ->add_option("--threads", *threads,
                     "worker threads (default: every core; 1 with --same-sequence or --cache)")
        ->check(NotEmpty());
    command
        ->add_option("--boxes", *boxes,
                     "playing boxes at the table, 1 to as many as the deck serves (default 1)")
        ->check(NotEmpty());
    command
        ->add_option("--cycle-limits", *limits,
                     "WIN,LOSS,TOTALLOSS,TOTALWIN: play in cycles with these limits in antes")
        ->delimiter(',')
        ->expected(-1);  // any number, so that a wrong one is told in plain words below
    command->add_option("--bankroll-hands", *bankrollHands,
                        "hands at the table the bankroll figures are for (default: --hands)");
    command->add_option("--csv", *csv,
                        "write the run's path (cumulative result, expected result and its 95% "
                        "band) to FILE");
    command
        ->add_option("--strategy-store", *strategyStore,
                     "take the first decisions from this design's store written by 'exact "
                     "--strategy-store' (exchanges are still valued)")
        ->check(NotEmpty());
    command->add_flag("--json", *json, "print the figures as one JSON object");
    command->callback([=] {
        TCommandGame game(*options);
        if (*sameSequence) game.Settings.SameSequence = true;
        if (!boxes->empty()) {
            CheckPlayingBoxes("--boxes", *boxes, game.Design);
            game.Settings.PlayingBoxes = *boxes;
        }
        WholeOption("--hands", *hands, 1, TProfitCheck::kMaxHands);
        if (!limits->empty() && limits->size() != 4) {
            throw TUsageError(
                "--cycle-limits: four limits are expected, WIN,LOSS,TOTALLOSS,"
                "TOTALWIN (e.g. 20,-30,-120,120); given: " +
                std::to_string(limits->size()));
        }
        for (const std::string& limit : *limits) {
            WholeOption("--cycle-limits", limit, -kLimitAntes, kLimitAntes);
        }
        if (!strategyStore->empty()) {
            if (game.Settings.PlayingBoxes != "1") {
                throw TUsageError(
                    "--strategy-store: a strategy answers for one playing box; the game has \"" +
                    game.Settings.PlayingBoxes + "\"");
            }
            // The store must be this design's: its fingerprint names the design and settings.
            auto shelf = std::make_shared<TStrategyShelf>();
            shelf->Add(std::make_shared<const TStrategyStore>(TStrategyStore::Load(
                *strategyStore, StrategyStoreFingerprint(game.Design, game.Settings))));
            game.Table.Hand().SetStrategies(shelf);
        }
        TProfitCheck& check = game.Profit;
        check.Settings().HandCount = *hands;
        check.Settings().Seed = *seed;
        check.Settings().BankrollHands = *bankrollHands;
        if (!threads->empty()) {
            check.Settings().Threads = static_cast<int>(ParseCount(*threads, "--threads", 1024));
        }
        if (!bankrollHands->empty()) ParseCount(*bankrollHands, "--bankroll-hands", 2147483647);
        if (!limits->empty()) {
            check.Settings().CyclesMode = true;
            check.Settings().CycleWinTarget = (*limits)[0];
            check.Settings().CycleLossLimit = (*limits)[1];
            check.Settings().TotalLossLimit = (*limits)[2];
            check.Settings().TotalWinLimit = (*limits)[3];
        }
        std::ofstream csvFile;
        if (!csv->empty()) {
            csvFile.open(*csv, std::ios::out | std::ios::trunc);
            if (!csvFile) throw std::runtime_error("cannot write " + *csv);
        }
        const bool progress = isatty(STDERR_FILENO) != 0 && !*json;
        if (progress) {
            check.Progressed = [&check] {
                const TProfitView& v = check.View();
                const int width = 40;
                const int filled =
                    v.ProgressMaximum > 0 ? width * v.ProgressPosition / v.ProgressMaximum : 0;
                std::fprintf(stderr, "\r[%s%s] %d/%d",
                             std::string(static_cast<std::size_t>(filled), '#').c_str(),
                             std::string(static_cast<std::size_t>(width - filled), ' ').c_str(),
                             v.ProgressPosition, v.ProgressMaximum);
            };
        }
        // An interrupt ends the run as "СТОП" does: the figures of the hands played are printed.
        const std::atomic<bool>& interrupted = CatchInterrupts();
        check.ProcessPendingEvents = [&check, &interrupted] {
            if (interrupted.load() && check.Running())
                check.StopSimulation(TProfitCheck::TStopCause::Interrupt);
        };
        const auto start = std::chrono::steady_clock::now();
        check.RunSimulation();
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        if (progress) std::fputs("\n", stderr);
        game.ReportCacheNotice(std::cerr);

        const TProfitView& view = check.View();
        const TRunEnd end = check.LastRunEnd();
        if (end == TRunEnd::Refused) throw TUsageError(view.Message);
        const bool played = check.Figures().Hands > 0;
        if (played) check.ComputeBank();
        if (*json) {
            nlohmann::json out = played ? FiguresJson(check) : nlohmann::json::object();
            out["end"] = EndText(end);
            if (!played) out["hands"] = 0;
            if (check.RunSeed()) out["seed"] = *check.RunSeed();
            out["threads"] = check.RunWorkers();
            out["seconds"] = seconds.count();
            if (check.Settings().CyclesMode) {
                out["cycles"] = check.CycleCount();
                out["cycles_total_antes"] = static_cast<double>(check.CyclesTotal()) / 10000;
            }
            if (!view.Message.empty()) out["message"] = view.Message;
            // Texts from file names may hold bytes that are not UTF-8.
            std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        } else {
            if (end != TRunEnd::Completed) {
                std::cout << "run ended: " << EndText(end) << '\n';
                if (!view.Message.empty()) std::cout << view.Message << '\n';
            }
            if (played) PrintFigures(check, std::cout);
            if (check.Settings().CyclesMode) {
                std::cout << "cycles: " << check.CycleCount() << '\n'
                          << "cycles_total: " << FormatTenThousandths(check.CyclesTotal()) << '\n';
            }
            if (check.RunSeed()) std::cout << "seed: " << *check.RunSeed() << '\n';
            std::cout << "threads: " << check.RunWorkers() << '\n';
        }
        if (progress) {
            std::fprintf(
                stderr, "%lld hands in %.2f s: %.0f hands per second on %d threads\n",
                static_cast<long long>(check.Figures().Hands), seconds.count(),
                static_cast<double>(check.Figures().Hands) / std::max(seconds.count(), 1e-9),
                check.RunWorkers());
        }
        if (csvFile.is_open()) {
            WritePathCsv(check.Path(), check.Figures().MoPercent / -100,
                         check.Figures().StdDevPerHand, csvFile);
            csvFile.close();
            if (!csvFile) throw std::runtime_error("cannot write " + *csv);
        }
        if (end == TRunEnd::Failed || end == TRunEnd::Unsettled || end == TRunEnd::NoGame) {
            throw std::runtime_error(view.Message);
        }
        if (interrupted.load()) throw std::runtime_error("расчет прерван сигналом");
    });
}

}  // namespace studlab::cli
