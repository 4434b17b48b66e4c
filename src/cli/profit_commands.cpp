// studlab-cli simulate
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/table_session.h"
#include "profit/game.h"
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
        case TRunEnd::BigLoss:
            return "a hand lost 5 antes or more";
        case TRunEnd::CyclesLimit:
            return "the cycles reached a whole-run limit";
        case TRunEnd::Failed:
            return "failed";
        case TRunEnd::None:
            break;
    }
    return "not run";
}

// "+0,2 .. -1,5" style figures in the system's number format, to one decimal of a percent.
std::string Percent(double value) {
    return FormatNumber(std::nearbyint(value * 100) / 100) + "%";
}

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
    options->AddTo(*command, true);
    command->add_option("--hands", *hands, "number of hands, 1 to 1000000 (\"колличество циклов\")")
        ->required();
    command->add_flag("--same-sequence", *sameSequence,
                      "deal the generator's fixed sequence of hands");
    command->add_option("--boxes", *boxes,
                        "playing boxes at the table, 1 to as many as the deck serves (default 1)");
    command
        ->add_option("--cycle-limits", *limits,
                     "WIN,LOSS,TOTALLOSS,TOTALWIN: play in cycles with these limits in antes")
        ->delimiter(',')
        ->expected(4);
    command->add_flag("--json", *json, "print the figures as one JSON object");
    command->callback([=] {
        TTableSession session(*options);
        if (*sameSequence) session.Settings.SameSequence = true;
        if (!boxes->empty()) {
            CheckPlayingBoxes("--boxes", *boxes, session.Design);
            session.Settings.PlayingBoxes = *boxes;
        }
        WholeOption("--hands", *hands, 1, TProfitCheck::kMaxHands);
        for (const std::string& limit : *limits) {
            WholeOption("--cycle-limits", limit, -kLimitAntes, kLimitAntes);
        }
        TProfitCheck& check = session.Profit;
        check.Settings().HandCount = *hands;
        if (!limits->empty()) {
            check.Settings().CyclesMode = true;
            check.Settings().CycleWinTarget = (*limits)[0];
            check.Settings().CycleLossLimit = (*limits)[1];
            check.Settings().TotalLossLimit = (*limits)[2];
            check.Settings().TotalWinLimit = (*limits)[3];
        }
        const bool progress = isatty(STDERR_FILENO) != 0;
        if (progress) {
            check.HandPlayed = [&check] {
                const TProfitView& v = check.View();
                if (v.ProgressPosition % 256 != 0 && v.ProgressPosition != v.ProgressMaximum)
                    return;
                const int width = 40;
                const int filled =
                    v.ProgressMaximum > 0 ? width * v.ProgressPosition / v.ProgressMaximum : 0;
                std::fprintf(stderr, "\r[%s%s] %d/%d",
                             std::string(static_cast<std::size_t>(filled), '#').c_str(),
                             std::string(static_cast<std::size_t>(width - filled), ' ').c_str(),
                             v.ProgressPosition, v.ProgressMaximum);
            };
        }
        try {
            check.RunSimulation();
        } catch (const TConversionError& e) {
            if (progress) std::fputs("\n", stderr);
            throw TUsageError(e.what());
        }
        if (progress) std::fputs("\n", stderr);
        session.ReportCacheNotice(std::cerr);

        const TProfitView& view = check.View();
        const TRunSummary& summary = check.Summary();
        const bool completed = check.LastRunEnd() == TRunEnd::Completed;
        if (completed) check.ComputeBankClick();
        if (*json) {
            nlohmann::json out;
            out["end"] = EndText(check.LastRunEnd());
            out["hands"] = completed ? summary.Hands : 0;
            out["total"] = FormatTenThousandths(completed ? summary.Total : 0);
            if (completed) {
                out["mo"] = view.MoText;
                out["bank"] = view.BankText;
                nlohmann::json rows = nlohmann::json::array();
                for (int row = 0; row < TCombinationStats::kRows; ++row) {
                    nlohmann::json r;
                    r["row"] = TCombinationStats::RowCaption(row);
                    for (int c = 0; c < TCombinationStats::kColumns; ++c) {
                        r[std::string(TCombinationStats::ColumnHeader(static_cast<TColumn>(c)))] =
                            check.Stats().Count(row, static_cast<TColumn>(c));
                    }
                    rows.push_back(r);
                }
                out["statistics"] = rows;
                out["std_error_per_hand"] = summary.StdErrorPerHand;
                out["mo_95_low_percent"] = summary.MoLow;
                out["mo_95_high_percent"] = summary.MoHigh;
            }
            if (check.Settings().CyclesMode) {
                out["cycles"] = check.CycleCount();
                out["cycles_total"] = FormatTenThousandths(check.CyclesTotal());
            }
            if (!view.Message.empty()) out["message"] = view.Message;
            // Texts from file names may hold bytes that are not UTF-8.
            std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        } else {
            if (completed) {
                std::cout << view.MoText << '\n'
                          << "total: " << FormatTenThousandths(summary.Total) << '\n';
                PrintTable(check.Stats(), std::cout);
                std::cout << view.BankText << '\n'
                          << "std_error_per_hand: " << FormatNumber(summary.StdErrorPerHand) << '\n'
                          << "mo_95: " << Percent(summary.MoLow) << " .. "
                          << Percent(summary.MoHigh) << '\n';
            } else {
                std::cout << "run ended: " << EndText(check.LastRunEnd()) << '\n';
                if (!view.Message.empty()) std::cout << view.Message << '\n';
            }
            if (check.Settings().CyclesMode) {
                std::cout << "cycles: " << check.CycleCount() << '\n'
                          << "cycles_total: " << FormatTenThousandths(check.CyclesTotal()) << '\n';
            }
        }
        if (check.LastRunEnd() == TRunEnd::Refused) throw TUsageError(view.Message);
    });
}

}  // namespace studlab::cli
