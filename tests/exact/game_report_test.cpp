#include "profit/report/game_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cctype>
#include <string_view>

#include "design/design_fingerprint.h"
#include "profit/exact/hand_play.h"
#include "support/small_designs.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using testing::Analyse;
using testing::FoldOrBet;

// Whatever refers to something outside the page: an address, a file, a script or style sheet
// from elsewhere. Inline pictures (data:) and anchors within the page are all it may name.
std::vector<std::string> ExternalReferences(const std::string& html) {
    std::vector<std::string> found;
    std::string lower = html;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Every attribute that names a target: src, href (xlink:href too) and action.
    for (const std::string name : {"src", "href", "action"}) {
        for (std::size_t at = lower.find(name); at != std::string::npos;
             at = lower.find(name, at + 1)) {
            std::size_t i = at + name.size();
            while (i < lower.size() && std::isspace(static_cast<unsigned char>(lower[i]))) ++i;
            if (i == lower.size() || lower[i] != '=') continue;
            ++i;
            while (i < lower.size() && std::isspace(static_cast<unsigned char>(lower[i]))) ++i;
            if (i < lower.size() && (lower[i] == '"' || lower[i] == '\'')) ++i;
            std::size_t end = i;
            while (end < lower.size() && std::string_view("\"' >").find(lower[end]) ==
                                             std::string_view::npos)
                ++end;
            const std::string target = html.substr(i, end - i);
            if (!target.starts_with("data:") && !target.starts_with("#"))
                found.push_back(html.substr(at, end - at));
        }
    }
    for (const char* pattern : {"http:", "https:", "//", "url(", "@import", "<script", "<link",
                                "<iframe", "<object", "<embed"}) {
        if (html.find(pattern) != std::string::npos) found.push_back(pattern);
    }
    return found;
}

// The check itself finds what it looks for.
TEST(GameReport, TheCheckForOutsideReferencesFindsThem) {
    EXPECT_EQ(ExternalReferences(R"(<img src="data:image/png;base64,AA"> <a href='#top'>)"),
              std::vector<std::string>{});
    EXPECT_EQ(ExternalReferences(R"(<img SRC = "pic.png">)"),
              std::vector<std::string>{R"(SRC = "pic.png)"});
    EXPECT_EQ(ExternalReferences(R"(<use xlink:href=other.svg#a/>)").size(), 1U);
}

TEST(GameReport, ShowsTheExactFiguresOfTheAnalysisAndNothingFromElsewhere) {
    const TGameDesign design = FoldOrBet();
    const TExactFigures exact = FiguresOf(Analyse(design));
    TGameReportOptions options;
    options.SimulationHands = 3000;
    options.Seed = 7;
    options.Date = "2026-01-02";
    const TGameReport report = BuildGameReport(design, TCalculationSettings{}, "игра", options);
    ASSERT_TRUE(report.Exact);
    EXPECT_EQ(report.Figures.MoPercent, exact.MoPercent);
    EXPECT_EQ(report.Figures.StdDevPerHand, exact.StdDevPerHand);
    EXPECT_EQ(report.Simulation.Hands, 3000);
    ASSERT_EQ(report.Bankrolls.size(), 3U);
    EXPECT_LT(report.Bankrolls[0].Bankroll95, report.Bankrolls[2].Bankroll95);
    EXPECT_LT(report.Bankrolls[0].Bankroll95, report.Bankrolls[0].Bankroll99);
    EXPECT_EQ(report.Fingerprint, DesignFingerprint(design, TCalculationSettings{}));

    for (TGridPicture picture : {TGridPicture::Svg, TGridPicture::Table}) {
        const std::string html = GameReportHtml(report, picture);
        EXPECT_EQ(ExternalReferences(html), std::vector<std::string>{});
        const std::string mo = FormatNumber(std::nearbyint(exact.MoPercent * 10000) / 10000) + " %";
        EXPECT_NE(html.find(mo), std::string::npos) << mo;
        for (const char* part :
             {"Правила игры", "Таблица исходов", "Стратегия первого решения",
              "Проверка моделированием", "Сколько денег с собой брать", "2026-01-02", "игра"}) {
            EXPECT_NE(html.find(part), std::string::npos) << part;
        }
        EXPECT_NE(html.find(report.Fingerprint), std::string::npos);
        EXPECT_NE(html.find(picture == TGridPicture::Svg ? "<svg" : "bgcolor="), std::string::npos);
    }

    // The same sums handed in give the same report without another analysis.
    options.KnownExact = report.Sums;
    const TGameReport again = BuildGameReport(design, TCalculationSettings{}, "игра", options);
    EXPECT_EQ(GameReportHtml(again), GameReportHtml(report));
}

TEST(GameReport, ADesignTheAnalysisCannotPlayGetsTheSimulationSaidPlainly) {
    TCalculationSettings boxes;
    boxes.PlayingBoxes = std::string(1, '2');  // not from a literal: GCC 12 warns wrongly there
    TGameReportOptions options;
    options.SimulationHands = 500;
    const TGameReport report = BuildGameReport(FoldOrBet(), boxes, "два бокса", options);
    EXPECT_FALSE(report.Exact);
    EXPECT_FALSE(report.ExactRefusal.empty());
    EXPECT_EQ(report.Simulation.Hands, 500);
    ASSERT_EQ(report.Bankrolls.size(), 3U);
    const std::string html = GameReportHtml(report);
    EXPECT_NE(html.find("Точный расчет этой игры невозможен"), std::string::npos);
    std::string reason = report.ExactRefusal;  // as the page writes it
    for (std::size_t at = reason.find('"'); at != std::string::npos; at = reason.find('"', at))
        reason.replace(at, 1, "&quot;");
    EXPECT_NE(html.find(reason), std::string::npos) << reason;
    EXPECT_NE(html.find("95 % интервал MO"), std::string::npos);
    EXPECT_EQ(html.find("Таблица исходов"), std::string::npos);
    EXPECT_EQ(ExternalReferences(html), std::vector<std::string>{});
}

TEST(GameReport, TextFromTheDesignCannotBreakOutOfThePage) {
    TGameReport report;
    report.GameName = "<script>x</script>";
    report.Design.PayQualified[TCombinationKind::ckPair] = "<img src=http://x>";
    report.ExactRefusal = "нет";
    const std::string html = GameReportHtml(report);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
}

}  // namespace
}  // namespace studlab
