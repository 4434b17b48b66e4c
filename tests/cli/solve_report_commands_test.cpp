#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/run_cli.h"
#include "support/test_folder.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using testing::RunCli;

// Folding or betting against a dealer who shows nothing: an analysis takes seconds.
const std::string kFoldOrBet = " --set DealerOpenCards=0 --set 'StageActions[1][paBuyCard]=NO'";

nlohmann::json JsonOf(const std::string& arguments) {
    const auto run = RunCli(arguments);
    EXPECT_EQ(run.ExitCode, 0) << run.Errors;
    return nlohmann::json::parse(run.Output);
}

std::string Read(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A percentage as the page shows it: four decimals.
std::string Percent4(const nlohmann::json& value) {
    return FormatNumber(std::nearbyint(value.get<double>() * 10000) / 10000) + " %";
}

// The page's row `label` shows `value`, as a cell beside it.
void ExpectRow(const std::string& page, const std::string& label, const std::string& value) {
    EXPECT_NE(page.find("<td>" + label + "</td><td>" + value + "</td>"), std::string::npos)
        << label << ": " << value;
}

// Every simulated figure with a sampling error is on the page with the 95 % interval --json
// gives, and a range that holds the figure.
void ExpectSimulatedIntervals(const std::string& page, const nlohmann::json& sim) {
    const auto interval = [&](const char* low, const char* high) {
        EXPECT_LE(sim[low].get<double>(), sim[high].get<double>()) << low;
        return "от " + Percent4(sim[low]) + " до " + Percent4(sim[high]);
    };
    ExpectRow(page, "MO моделирования", Percent4(sim["mo_percent"]));
    ExpectRow(page, "95 % интервал MO", interval("mo_95_low_percent", "mo_95_high_percent"));
    ExpectRow(page, "элемент риска", Percent4(sim["element_of_risk_percent"]));
    ExpectRow(page, "95 % интервал элемента риска",
              interval("element_of_risk_95_low_percent", "element_of_risk_95_high_percent"));
    ExpectRow(page, "частота выигрыша моделирования", Percent4(sim["hit_frequency_percent"]));
    ExpectRow(page, "95 % интервал частоты выигрыша",
              interval("hit_frequency_95_low_percent", "hit_frequency_95_high_percent"));
    for (const char* figure : {"mo", "element_of_risk", "hit_frequency"}) {
        const std::string name(figure);
        EXPECT_LE(sim[name + "_95_low_percent"].get<double>(), sim[name + "_percent"].get<double>());
        EXPECT_GE(sim[name + "_95_high_percent"].get<double>(), sim[name + "_percent"].get<double>());
    }
}

// The report shows the very figures `exact` prints for the design, and its page names nothing
// outside itself.
TEST(CliReport, FiguresAreThoseOfTheExactCommandInASelfContainedPage) {
    const testing::TTestFolder folder;
    const auto html = folder / "отчет.html";
    const nlohmann::json exact = JsonOf("exact --json" + kFoldOrBet);
    const nlohmann::json report =
        JsonOf("report --json --hands 2000 --seed 3 --out '" + html.string() + "'" + kFoldOrBet);
    EXPECT_EQ(report["exact"], true);
    for (const char* figure : {"mo_percent", "best_play_mo_percent", "std_dev_per_hand",
                               "average_stake", "element_of_risk_percent"}) {
        EXPECT_EQ(report[figure], exact[figure]) << figure;
    }
    const nlohmann::json& sim = report["simulation"];
    EXPECT_EQ(sim["hands"], 2000);
    EXPECT_EQ(report["bankrolls"].size(), 3U);
    // The simulation counts the hands in which the player is paid as the analysis does: the
    // exact share lies within its interval (the seed fixes the hands).
    EXPECT_GE(report["hit_frequency_percent"].get<double>(),
              sim["hit_frequency_95_low_percent"].get<double>());
    EXPECT_LE(report["hit_frequency_percent"].get<double>(),
              sim["hit_frequency_95_high_percent"].get<double>());
    EXPECT_LT(sim["hit_frequency_95_high_percent"].get<double>() -
                  sim["hit_frequency_95_low_percent"].get<double>(),
              5.0);

    const std::string page = Read(html);
    ASSERT_FALSE(page.empty());
    ExpectSimulatedIntervals(page, sim);
    ExpectRow(page, "точная частота выигрыша", Percent4(report["hit_frequency_percent"]));
    ExpectRow(page, "точная частота выигрыша внутри интервала", "да");
    EXPECT_EQ(sim["exact_hit_frequency_within_95"], true);
    ExpectRow(page, "точное MO внутри интервала",
              sim["exact_mo_within_95"].get<bool>() ? "да" : "нет");
    for (const char* outside : {"http", "src=", "href=", "url(", "@import", "<script", "<link"}) {
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    }
    EXPECT_NE(page.find("<svg"), std::string::npos);
    EXPECT_NE(page.find(report["fingerprint"].get<std::string>()), std::string::npos);
}

TEST(CliReport, ADesignTheAnalysisCannotPlayIsReportedFromTheSimulation) {
    const testing::TTestFolder folder;
    const auto html = folder / "r.html";
    const nlohmann::json report = JsonOf("report --json --hands 300 --out '" + html.string() +
                                         "' --set PlayingBoxes=2" + kFoldOrBet);
    EXPECT_EQ(report["exact"], false);
    EXPECT_FALSE(report["exact_refusal"].get<std::string>().empty());
    const std::string page = Read(html);
    EXPECT_NE(page.find("Точный расчет этой игры невозможен"), std::string::npos);
    // Its hit frequency is the simulation's, with its interval, and the page says so.
    EXPECT_FALSE(report.contains("hit_frequency_percent"));
    ExpectSimulatedIntervals(page, report["simulation"]);
    EXPECT_NE(page.find("точной частоты нет, только эта оценка моделированием"), std::string::npos);
}

// The chosen pay table is saved, and the design file plays to the MO the solver reported.
TEST(CliSolve, WritesTheChosenDesignWhoseMoItReported) {
    const testing::TTestFolder folder;
    const auto design = folder / "подобрано.es1";
    const nlohmann::json s = JsonOf(
        "solve --json --target-mo 9 --vary 'PayQualified[ckFlush],PayQualified[ckStraight]' "
        "--step 1 --min 7 --max 10 --write '" +
        design.string() + "'" + kFoldOrBet);
    ASSERT_TRUE(s["chosen"].is_number());
    EXPECT_EQ(s["candidates"], 10);
    const nlohmann::json& chosen = s["trials"][s["chosen"].get<std::size_t>()];
    EXPECT_EQ(chosen["payouts"], s["chosen_payouts"]);
    EXPECT_GE(s["chosen_payouts"]["PayQualified[ckFlush]"].get<double>(),
              s["chosen_payouts"]["PayQualified[ckStraight]"].get<double>());
    EXPECT_TRUE(s["trials"][0]["foreseen_mo_percent"].is_null());
    // Every other trial was foreseen before it was analysed.
    for (std::size_t i = 1; i < s["trials"].size(); ++i)
        EXPECT_TRUE(s["trials"][i]["foreseen_mo_percent"].is_number());
    // The search says why it ended; no composite pay is on, so nothing is warned of.
    EXPECT_TRUE(s["converged"].get<bool>());
    const std::string reason = s["stop_reason"];
    EXPECT_TRUE(reason == "within_tolerance" || reason == "none_foreseen_closer") << reason;
    EXPECT_FALSE(s["stop_reason_text"].get<std::string>().empty());
    EXPECT_EQ(s["warnings"], nlohmann::json::array());

    // With a composite of the flush on, the text output warns of it before the table.
    const auto warned = RunCli(
        "solve --target-mo 9 --vary 'PayQualified[ckFlush]' --step 1 --min 7 --max 10 "
        "--max-runs 1 --set 'CompositePlays[7]=YES'" + std::string(kFoldOrBet));
    EXPECT_EQ(warned.Output.rfind("warning: PayQualified[ckFlush] is also paid within the "
                                  "composite pay \"стритфлеш+флеш\"",
                                  0),
              0U)
        << warned.Output;
    EXPECT_NE(warned.Output.find("stopped: the analyses allowed ran out"), std::string::npos)
        << warned.Output;

    const nlohmann::json replay = JsonOf("exact --json --design '" + design.string() + "'");
    EXPECT_EQ(replay["mo_percent"], s["mo_percent"]);
    const auto shown = RunCli("design --show '" + design.string() + "'");
    const auto flush = s["chosen_payouts"]["PayQualified[ckFlush]"].get<double>();
    EXPECT_NE(shown.Output.find(
                  "PayQualified[ckFlush] = " + std::to_string(static_cast<int>(flush)) + "\n"),
              std::string::npos)
        << shown.Output;
}

// Each analysis keeps its checkpoint under its design's fingerprint: a repeated search, and a
// report of a design analysed there, take up what is finished and print the same figures.
TEST(CliSolve, ACheckpointFolderServesARepeatedSearchAndTheReport) {
    const testing::TTestFolder folder;
    const std::string solve =
        "solve --json --target-mo 6 --vary 'PayQualified[ckFlush]' --step 1 --min 8 --max 20 "
        "--checkpoints '" +
        folder.Path().string() + "'" + kFoldOrBet;
    nlohmann::json first = JsonOf(solve);
    const auto files = std::distance(std::filesystem::directory_iterator(folder.Path()),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(files, static_cast<long>(first["runs"].get<int>()));
    nlohmann::json again = JsonOf(solve);
    for (nlohmann::json* j : {&first, &again}) {
        j->erase("seconds");
        for (auto& trial : (*j)["trials"]) trial.erase("seconds");
    }
    EXPECT_EQ(again, first);
    const nlohmann::json report =
        JsonOf("report --json --hands 100 --out '" + (folder / "r.html").string() +
               "' --checkpoints '" + folder.Path().string() + "'" + kFoldOrBet);
    EXPECT_EQ(report["mo_percent"], first["trials"][0]["mo_percent"]);
    EXPECT_EQ(RunCli("solve --target-mo 3 --vary 'PayQualified[ckFlush]' --checkpoints "
                     "/no/such/folder")
                  .ExitCode,
              2);
}

TEST(CliSolve, MistakesInTheRequestAreUsageErrors) {
    const std::string vary = " --vary 'PayQualified[ckFlush]'";
    for (const std::string& arguments : std::vector<std::string>{
             "solve --target-mo 3 --vary 'PayQualified[ckPoker]'",
             "solve --target-mo 3 --vary 'BetSize'",
             "solve --target-mo 3 --vary 'PayQualified[ckFlush],PayQualified[ckFlush]'",
             "solve --target-mo abc" + vary, "solve" + vary, "solve --target-mo 3",
             "solve --target-mo 3 --step 0" + vary, "solve --target-mo 3 --min 5 --max 4" + vary,
             "solve --target-mo 3 --max-runs 0" + vary}) {
        const auto run = RunCli(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments << '\n' << run.Errors;
        EXPECT_EQ(run.Output, "") << arguments;
    }
    // A design the analysis cannot play is no mistake of the arguments.
    const auto refused = RunCli("solve --target-mo 3 --set PlayingBoxes=2" + vary);
    EXPECT_EQ(refused.ExitCode, 1) << refused.Errors;
}

}  // namespace
}  // namespace studlab
