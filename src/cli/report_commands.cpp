// studlab-cli report: the game's report as one self-contained HTML page.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "profit/profit_check.h"
#include "profit/report/game_report.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

std::string FourDecimals(long double value) {
    return FormatNumber(std::nearbyint(value * 10000) / 10000);
}

nlohmann::json Json(const TGameReport& r, const std::string& out) {
    nlohmann::json j;
    j["out"] = out;
    j["game"] = r.GameName;
    j["exact"] = r.Exact;
    if (r.Exact) {
        const TExactFigures& f = r.Figures;
        j["mo_percent"] = static_cast<double>(f.MoPercent);
        j["best_play_mo_percent"] = static_cast<double>(f.BestMoPercent);
        j["std_dev_per_hand"] = static_cast<double>(f.StdDevPerHand);
        j["average_stake"] = static_cast<double>(f.AverageStake);
        j["element_of_risk_percent"] = static_cast<double>(f.ElementOfRiskPercent);
        j["hit_frequency_percent"] = static_cast<double>(r.HitFrequencyPercent);
    } else {
        j["exact_refusal"] = r.ExactRefusal;
    }
    const TRunFigures& s = r.Simulation;
    nlohmann::json sim;
    sim["hands"] = s.Hands;
    sim["seed"] = r.Seed;
    sim["mo_percent"] = s.MoPercent;
    sim["mo_95_low_percent"] = s.SpreadKnown() ? nlohmann::json(s.MoLow) : nlohmann::json();
    sim["mo_95_high_percent"] = s.SpreadKnown() ? nlohmann::json(s.MoHigh) : nlohmann::json();
    sim["std_dev_per_hand"] = s.SpreadKnown() ? nlohmann::json(s.StdDevPerHand) : nlohmann::json();
    sim["average_stake"] = s.AverageStake;
    sim["element_of_risk_percent"] = s.ElementOfRiskPercent;
    sim["element_of_risk_95_low_percent"] =
        s.SpreadKnown() ? nlohmann::json(s.ElementOfRiskLow) : nlohmann::json();
    sim["element_of_risk_95_high_percent"] =
        s.SpreadKnown() ? nlohmann::json(s.ElementOfRiskHigh) : nlohmann::json();
    // No hand played, no frequency: null, as the figures whose spread is unknown.
    const auto played = [&](double v) { return s.Hands > 0 ? nlohmann::json(v) : nlohmann::json(); };
    sim["hit_frequency_percent"] = played(s.HitFrequencyPercent);
    sim["hit_frequency_95_low_percent"] = played(s.HitFrequencyLow);
    sim["hit_frequency_95_high_percent"] = played(s.HitFrequencyHigh);
    if (r.Exact) {
        sim["exact_mo_within_95"] = ExactMoWithinSimulated(r);
        sim["exact_hit_frequency_within_95"] = ExactHitFrequencyWithinSimulated(r);
    }
    j["simulation"] = sim;
    nlohmann::json banks = nlohmann::json::array();
    for (const TReportBankroll& b : r.Bankrolls) {
        banks.push_back({{"hands", b.Hands},
                         {"bankroll_95_antes", b.Bankroll95},
                         {"bankroll_99_antes", b.Bankroll99}});
    }
    j["bankrolls"] = banks;
    j["fingerprint"] = r.Fingerprint;
    j["version"] = r.Version;
    j["date"] = r.Date;
    return j;
}

}  // namespace

void AddReportCommands(CLI::App& app) {
    auto* command = app.add_subcommand(
        "report", "write the game's report (rules, exact figures, simulation) as an HTML page");
    auto design = std::make_shared<TDesignOptions>();
    auto out = std::make_shared<std::string>();
    auto hands = std::make_shared<std::string>("100000");
    auto seed = std::make_shared<std::string>("1");
    auto threads = std::make_shared<int>(0);
    auto date = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    auto checkpoints = std::make_shared<std::string>();
    design->AddTo(*command);
    command
        ->add_option("--checkpoints", *checkpoints,
                     "keep the analysis's checkpoint in DIR, as solve does, so that a design "
                     "analysed there before is not analysed again")
        ->check(CLI::ExistingDirectory);
    command->add_option("--out", *out, "the HTML file to write")->required()->check(NotEmpty());
    command->add_option("--hands", *hands,
                        "random hands of the simulation check, 1 to 1000000 (default 100000)");
    command->add_option("--seed", *seed, "the seed the simulated hands are dealt from (default 1)");
    command->add_option("--threads", *threads, "worker threads (default: every core)")
        ->check(CLI::Range(1, 1024));
    command->add_option("--date", *date, "the date the report bears (default: today, UTC)");
    command->add_flag("--json", *json, "print the report's figures as one JSON object");
    command->callback([=] {
        TGameDesign d;
        TCalculationSettings settings;
        std::string name = design->Apply(d, settings);
        if (design->File.empty()) name = "default";
        TGameReportOptions options;
        options.SimulationHands =
            static_cast<std::int32_t>(WholeOption("--hands", *hands, 1, TProfitCheck::kMaxHands));
        try {
            const unsigned long long value = std::stoull(*seed);
            if (std::to_string(value) != *seed) throw std::invalid_argument("seed");
            options.Seed = value;
        } catch (const std::exception&) {
            throw TUsageError("--seed: '" + *seed +
                              "' is not a whole number from 0 to 18446744073709551615");
        }
        options.Threads = *threads;
        options.Date = *date;
        options.CheckpointFolder = *checkpoints;
        options.Stop = &CatchInterrupts();
        const bool progress = !*json && isatty(STDERR_FILENO) != 0;
        if (progress) {
            options.Progress = [](const TGameReportProgress& p) {
                std::fprintf(
                    stderr, "\r%s: %5.1f %%   ",
                    p.Step == TGameReportProgress::TStep::Exact ? "точный расчет" : "моделирование",
                    p.Share * 100);
                std::fflush(stderr);
            };
        }
        // The page goes to a file beside the output and takes its name only when whole, so that an
        // interrupted or failed run leaves an earlier report as it was. Whether the folder takes
        // files is tried first, not after the analysis.
        const std::string partial = *out + ".partial";
        {
            std::ofstream probe(partial, std::ios::binary | std::ios::trunc);
            if (!probe) throw std::runtime_error("cannot write " + *out);
        }
        const TGameReport report = [&] {
            try {
                return BuildGameReport(d, settings, name, options);
            } catch (...) {
                std::remove(partial.c_str());
                throw;
            }
        }();
        if (progress) std::fprintf(stderr, "\r%-60s\r", "");
        if (report.Cancelled) {
            std::remove(partial.c_str());
            throw std::runtime_error("расчет прерван");
        }
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << GameReportHtml(report);
        file.close();
        if (!file || std::rename(partial.c_str(), out->c_str()) != 0) {
            std::remove(partial.c_str());
            throw std::runtime_error("cannot write " + *out);
        }
        if (*json) {
            std::cout
                << Json(report, *out).dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                << '\n';
            return;
        }
        std::cout << "report: " << *out << '\n';
        if (report.Exact) {
            std::cout << "MO=" << FourDecimals(report.Figures.MoPercent) << "%\n"
                      << "best_play: MO=" << FourDecimals(report.Figures.BestMoPercent) << "%\n"
                      << "hit_frequency: " << FourDecimals(report.HitFrequencyPercent) << "%\n";
        } else {
            std::cout << "exact: " << report.ExactRefusal << '\n';
        }
        const TRunFigures& sim = report.Simulation;
        std::cout << "simulated hit_frequency: " << FourDecimals(sim.HitFrequencyPercent)
                  << "% (95%: " << FourDecimals(sim.HitFrequencyLow) << " .. "
                  << FourDecimals(sim.HitFrequencyHigh) << ")\n";
        const TRunFigures& s = report.Simulation;
        std::cout << "simulation: " << s.Hands << " hands, MO=" << FourDecimals(s.MoPercent) << "%";
        if (s.SpreadKnown())
            std::cout << " (95%: " << FourDecimals(s.MoLow) << " .. " << FourDecimals(s.MoHigh)
                      << ")";
        std::cout << '\n' << "fingerprint: " << report.Fingerprint << '\n';
    });
}

}  // namespace studlab::cli
