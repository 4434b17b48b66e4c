// studlab-cli solve: the payouts of chosen fields whose exact MO is closest to a target.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "design/design_file.h"
#include "profit/exact/pay_solver.h"
#include "text/number_text.h"

namespace studlab::cli {
namespace {

struct TSolveOptions {
    TDesignOptions Design;
    std::string Target;
    std::string Vary;
    std::string Step = "0,5";
    std::string Min;
    std::string Max;
    std::string Tolerance = "0,01";
    std::string MaxRuns = "10";
    int Threads = 0;
    bool Json = false;
    std::string Write;
    std::string Checkpoints;
};

std::string FourDecimals(long double value) {
    return FormatNumber(std::nearbyint(value * 10000) / 10000);
}

// A percentage, with a decimal comma or point, from `low` to `high`.
double PercentOption(std::string_view option, const std::string& text, double low, double high) {
    try {
        return AmountOption(option, text, low, high);
    } catch (const TUsageError&) {
        throw TUsageError(std::string(option) + ": '" + text + "' is not a percentage from " +
                          FormatNumber(low) + " to " + FormatNumber(high));
    }
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : text + ",") {
        if (c == ',' || c == ' ') {
            if (!field.empty()) fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

nlohmann::json PayoutsJson(const TPaySolution& s, const std::vector<double>& payouts) {
    nlohmann::json j = nlohmann::json::object();
    for (std::size_t i = 0; i < s.Fields.size(); ++i) j[s.Fields[i]] = payouts[i];
    return j;
}

void PrintJson(const TPaySolution& s, const TPaySolverRequest& r, std::ostream& out) {
    nlohmann::json j;
    j["target_mo_percent"] = r.TargetMoPercent;
    j["fields"] = s.Fields;
    j["step"] = r.Step;
    j["min"] = r.Min.value_or(0);
    j["max"] = r.Max ? nlohmann::json(*r.Max) : nlohmann::json();
    j["tolerance_percent"] = r.TolerancePercent;
    j["candidates"] = s.Candidates;
    nlohmann::json trials = nlohmann::json::array();
    for (const TPayTrial& t : s.Trials) {
        trials.push_back(
            {{"payouts", PayoutsJson(s, t.Payouts)},
             {"mo_percent", static_cast<double>(t.MoPercent)},
             {"best_play_mo_percent", static_cast<double>(t.BestMoPercent)},
             {"hit_frequency_percent", static_cast<double>(t.HitFrequencyPercent)},
             {"foreseen_mo_percent",
              t.PredictedMoPercent ? nlohmann::json(static_cast<double>(*t.PredictedMoPercent))
                                   : nlohmann::json()},
             {"foreseen_from_antes", t.ForesightDistance},
             {"candidate", t.Candidate},
             {"seconds", t.Seconds}});
    }
    j["trials"] = trials;
    j["chosen"] = s.Chosen ? nlohmann::json(*s.Chosen) : nlohmann::json();
    if (s.Chosen) {
        const TPayTrial& c = s.Trials[*s.Chosen];
        j["chosen_payouts"] = PayoutsJson(s, c.Payouts);
        j["mo_percent"] = static_cast<double>(c.MoPercent);
        j["best_play_mo_percent"] = static_cast<double>(c.BestMoPercent);
        j["hit_frequency_percent"] = static_cast<double>(c.HitFrequencyPercent);
    }
    j["converged"] = s.Converged();
    j["stop_reason"] = StopReasonCode(s.Stop);
    j["stop_reason_text"] = StopReasonText(s);
    j["largest_miss_percent"] = static_cast<double>(s.LargestMissPercent);
    j["warnings"] = nlohmann::json::array();
    for (const TCompositeWarning& w : s.Warnings) j["warnings"].push_back(WarningText(w));
    if (s.InsuredPayoutsVaried) j["warnings"].push_back(InsuranceWarningText());
    j["interrupted"] = s.Cancelled();
    j["runs"] = s.Trials.size();
    j["seconds"] = s.Seconds;
    out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void PrintText(const TPaySolution& s, const TPaySolverRequest& r, std::ostream& out) {
    for (const TCompositeWarning& w : s.Warnings) out << "warning: " << WarningText(w) << '\n';
    if (s.InsuredPayoutsVaried) out << "warning: " << InsuranceWarningText() << '\n';
    out << "target: MO=" << FormatNumber(r.TargetMoPercent) << "%\n"
        << "candidates: " << s.Candidates << '\n'
        << "trial";
    for (const std::string& f : s.Fields) out << '\t' << f;
    out << "\tMO\tbest_play_MO\thit_frequency\tforeseen_MO\tseconds\n";
    for (std::size_t i = 0; i < s.Trials.size(); ++i) {
        const TPayTrial& t = s.Trials[i];
        out << i + 1 << (t.Candidate ? "" : "*");
        for (double p : t.Payouts) out << '\t' << FormatNumber(p);
        out << '\t' << FourDecimals(t.MoPercent) << "%\t" << FourDecimals(t.BestMoPercent) << "%\t"
            << FourDecimals(t.HitFrequencyPercent) << "%\t"
            << (t.PredictedMoPercent ? FourDecimals(*t.PredictedMoPercent) + "%" : "-") << '\t'
            << FormatNumber(std::nearbyint(t.Seconds * 10) / 10) << '\n';
    }
    if (!s.Trials.empty() && !s.Trials.front().Candidate)
        out << "note: * the design as it stands is off the grid, outside the bounds or out of "
               "order, so it cannot be chosen\n";
    if (s.Chosen) {
        const TPayTrial& c = s.Trials[*s.Chosen];
        out << "chosen: " << *s.Chosen + 1 << '\n';
        for (std::size_t i = 0; i < s.Fields.size(); ++i)
            out << s.Fields[i] << " = " << FormatNumber(c.Payouts[i]) << '\n';
        out << "MO=" << FourDecimals(c.MoPercent) << "%\n"
            << "best_play: MO=" << FourDecimals(c.BestMoPercent) << "%\n"
            << "hit_frequency: " << FourDecimals(c.HitFrequencyPercent) << "%\n";
    } else {
        out << "chosen: none\n";
    }
    out << "converged: "
        << (s.Converged()   ? "yes"
            : s.Cancelled() ? "no, interrupted"
                          : "no, the runs ran out")
        << '\n'
        << "stopped: " << StopReasonText(s) << '\n'
        << "runs: " << s.Trials.size() << '\n'
        << "seconds: " << FormatNumber(std::nearbyint(s.Seconds * 10) / 10) << '\n';
}

}  // namespace

void AddSolveCommands(CLI::App& app) {
    auto* command = app.add_subcommand(
        "solve", "find the payouts of chosen fields whose exact MO is closest to a target");
    auto o = std::make_shared<TSolveOptions>();
    o->Design.AddTo(*command);
    command->add_option("--target-mo", o->Target, "the MO to aim at, percent of the ante")
        ->required();
    command
        ->add_option("--vary", o->Vary,
                     "the payout fields that may change, e.g. "
                     "\"PayQualified[ckFlush],PayQualified[ckStraight]\"")
        ->required();
    command->add_option("--step", o->Step, "the grid of payouts, antes (default 0,5)");
    command->add_option("--min", o->Min, "the lowest payout, antes (default 0)");
    command->add_option("--max", o->Max, "the highest payout, antes (default the table maximum)");
    command->add_option("--tolerance", o->Tolerance,
                        "MOs this close to each other (percent) count as equally close; the pay "
                        "table nearest the design then wins (default 0,01; 0: strictly closest)");
    command->add_option("--max-runs", o->MaxRuns, "exact analyses at most, 1 to 100 (default 10)");
    command->add_option("--threads", o->Threads, "worker threads (default: every core)")
        ->check(CLI::Range(1, 1024));
    command->add_flag("--json", o->Json, "print the pay tables tried as one JSON object");
    command->add_option("--write", o->Write, "save the chosen design to FILE")->check(NotEmpty());
    command
        ->add_option("--checkpoints", o->Checkpoints,
                     "keep each analysis's checkpoint in DIR, so that an interrupted or repeated "
                     "search takes up the analyses already finished")
        ->check(CLI::ExistingDirectory);
    command->callback([o] {
        TGameDesign design;
        TCalculationSettings settings;
        o->Design.Apply(design, settings);
        TPaySolverRequest request;
        request.Fields = SplitFields(o->Vary);
        request.TargetMoPercent = PercentOption("--target-mo", o->Target, -1e6, 1e6);
        request.Step = AmountOption("--step", o->Step, 0.0001, 1e6);
        if (!o->Min.empty()) request.Min = AmountOption("--min", o->Min, -1e9, 1e9);
        if (!o->Max.empty()) request.Max = AmountOption("--max", o->Max, -1e9, 1e9);
        request.TolerancePercent = PercentOption("--tolerance", o->Tolerance, 0, 100);
        request.MaxRuns = static_cast<int>(WholeOption("--max-runs", o->MaxRuns, 1, 100));
        request.CheckpointFolder = o->Checkpoints;
        try {
            CountPayTables(design, settings, request);
        } catch (const TPaySolverError& e) {
            throw TUsageError(std::string("solve: ") + e.what());
        }
        TExactRunOptions run;
        run.Threads = o->Threads;
        run.Stop = &CatchInterrupts();
        const bool progress = !o->Json && isatty(STDERR_FILENO) != 0;
        const auto show = [progress](const TPaySolverProgress& p) {
            if (!progress) return;
            const double share = p.Analysis.ClassesTotal > 0
                                     ? static_cast<double>(p.Analysis.ClassesDone) /
                                           static_cast<double>(p.Analysis.ClassesTotal)
                                     : 0;
            std::fprintf(stderr, "\rрасчет %d (не более %d): %5.1f %%   ", p.Run, p.MaxRuns,
                         share * 100);
            std::fflush(stderr);
        };
        const TPaySolution solution = SolvePayouts(design, settings, request, run, show);
        if (progress) std::fprintf(stderr, "\r%-60s\r", "");
        if (o->Json) {
            PrintJson(solution, request, std::cout);
        } else {
            PrintText(solution, request, std::cout);
        }
        std::cout.flush();
        if (solution.Cancelled()) throw std::runtime_error("расчет прерван");
        if (!solution.Chosen)
            throw std::runtime_error("no pay table of the grid was analysed; allow more runs");
        if (!o->Write.empty()) {
            SaveDesignFile(
                WithPayouts(design, solution.Fields, solution.Trials[*solution.Chosen].Payouts),
                o->Write);
        }
    });
}

}  // namespace studlab::cli
