#include "profit/report/game_report.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sstream>

#include "design/composite_captions.h"
#include "design/design_fingerprint.h"
#include "design/design_rules.h"
#include "profit/exact/exact_job.h"
#include "profit/exact/exact_run.h"
#include "profit/exact/hand_play.h"
#include "profit/exact/pay_solver.h"
#include "profit/played_game.h"
#include "text/number_text.h"

#ifndef STUDLAB_VERSION
#define STUDLAB_VERSION "unknown"
#endif

namespace studlab {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;

constexpr std::array<std::int64_t, 3> kBankrollHands = {100, 1000, 10000};

// The pay-table rows as the constructor names them, ckPoker .. ckAceKing.
constexpr std::array<std::string_view, kDesignKindCount> kPayRows = {
    "покер", "роялфлеш", "стритфлеш", "каре", "фулхаус",   "флеш",
    "стрит", "тройка",   "две пары",  "пара", "туз-король"};

std::string_view PayRow(TCombinationKind kind) {
    return kPayRows[static_cast<std::size_t>(KindIndex(kind) - 1)];
}

std::string_view ActionCaption(TPlayerAction action) {
    constexpr std::array<std::string_view, kPlayerActionCount> kCaptions = {
        "сделать пас",      "забиться",         "забиться со страховкой", "купить карту",
        "купить две карты", "поменять 1 карту", "поменять 2 карты",       "поменять 3 карты",
        "поменять 4 карты", "поменять 5 карт",  "купить игру дилеру",     "не покупать игру"};
    return kCaptions[static_cast<std::size_t>(action)];
}

// The light colours of the strategy window: folding red, betting green, buying blue, exchanging
// from yellow to violet as more cards go.
std::string_view ActionColour(TFirstAction action) {
    constexpr std::array<std::string_view, kFirstActions> kColours = {
        "#d8d8d8", "#f2a0a0", "#9cdc8e", "#7cd4c8", "#9ec6f2", "#74a4e8",
        "#f6e08a", "#f4c06c", "#eca05c", "#dca8e4", "#bc8cd4"};
    return kColours[static_cast<std::size_t>(action)];
}
constexpr std::string_view kEmptyCellColour = "#9ab4b4";

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Decimals(long double value, int decimals) {
    const long double scale = std::pow(10.0L, decimals);
    return FormatNumber(std::nearbyint(value * scale) / scale);
}
std::string Percent4(long double value) {
    return Decimals(value, 4) + " %";
}

// Four significant digits, as the return table window shows them: "12,35", "0,004521", and the
// tiniest shares with a power of ten ("3,010·10⁻¹⁰").
std::string SignificantDigits(long double value) {
    if (value == 0) return "0";
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    char text[64];
    if (exponent >= -4) {
        std::snprintf(text, sizeof text, "%.*Lf", std::max(0, 3 - exponent), value);
        std::string plain = text;
        std::replace(plain.begin(), plain.end(), '.', ',');
        return plain;
    }
    std::snprintf(text, sizeof text, "%.3Le", value);
    std::string mantissa = text;
    const std::size_t e = mantissa.find('e');
    const int power = std::stoi(mantissa.substr(e + 1));
    mantissa.resize(e);
    std::replace(mantissa.begin(), mantissa.end(), '.', ',');
    static constexpr std::array<std::string_view, 10> kSuperscripts = {"⁰", "¹", "²", "³", "⁴",
                                                                       "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string digits = power < 0 ? "⁻" : "";
    for (char d : std::to_string(std::abs(power)))
        digits += kSuperscripts[static_cast<std::size_t>(d - '0')];
    return mantissa + "·10" + digits;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &utc);
    return text;
}

std::string CellLabel(const TStrategyCell& cell) {
    std::string label(FirstActionCaption(cell.Action));
    const long double share = std::floor(cell.SharePercent);
    if (share < 100) {
        label += ' ';
        label += FormatNumber(share);
        label += " %";
    }
    return label;
}

// The simulated hands, dealt from the seed on the given threads, with a stop and a progress.
void Simulate(const TGameDesign& design, const TCalculationSettings& settings,
              const std::string& gameName, const TGameReportOptions& options, TGameReport& report) {
    // The simulation's own game, over copies of the design and settings.
    auto game = std::make_unique<TPlayedGame>();
    game->Design = design;
    game->Settings = settings;
    game->Settings.UseCacheTable = false;
    game->Settings.SameSequence = false;
    game->Table.SetGameName(gameName.empty() ? "report" : gameName);
    game->Table.SelectGame(std::nullopt);
    TProfitCheck& check = game->Profit;
    check.Settings().HandCount = std::to_string(options.SimulationHands);
    check.Settings().Seed = std::to_string(options.Seed);
    check.Settings().Threads = options.Threads;
    check.ProcessPendingEvents = [&check, &options] {
        if (options.Stop != nullptr && options.Stop->load() && check.Running())
            check.StopSimulation();
    };
    check.Progressed = [&check, &options] {
        if (!options.Progress) return;
        const TProfitView& v = check.View();
        options.Progress({TGameReportProgress::TStep::Simulation,
                          v.ProgressMaximum > 0
                              ? static_cast<double>(v.ProgressPosition) / v.ProgressMaximum
                              : 0});
    };
    check.RunSimulation();
    report.Simulation = check.Figures();
    report.Seed = options.Seed;
    if (check.LastRunEnd() == TRunEnd::Stopped) report.Cancelled = true;
    if (check.LastRunEnd() != TRunEnd::Completed) report.SimulationNote = check.View().Message;
}

// --- the page ---

class TPage {
public:
    void Heading(int level, std::string_view text) {
        m_html += "<h" + std::to_string(level) + ">" + Escape(text) + "</h" +
                  std::to_string(level) + ">\n";
    }
    void Paragraph(std::string_view text) { m_html += "<p>" + Escape(text) + "</p>\n"; }
    void Raw(std::string_view html) { m_html += html; }
    // A table of text cells; the first row is the heading.
    void Table(const std::vector<std::vector<std::string>>& rows) {
        m_html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
        for (std::size_t r = 0; r < rows.size(); ++r) {
            m_html += "<tr>";
            for (const std::string& cell : rows[r]) {
                m_html += r == 0 ? "<th>" : "<td>";
                m_html += Escape(cell);
                m_html += r == 0 ? "</th>" : "</td>";
            }
            m_html += "</tr>\n";
        }
        m_html += "</table>\n";
    }
    const std::string& Html() const { return m_html; }

private:
    std::string m_html;
};

std::string Yes(bool on) {
    return on ? "да" : "нет";
}

void Rules(const TGameReport& r, TPage& page) {
    const TGameDesign& d = r.Design;
    page.Heading(2, "Правила игры");
    std::vector<std::vector<std::string>> pay = {
        {"комбинация", "играет", "оплата при игре дилера", "оплата без игры дилера", "страхуется"}};
    for (TCombinationKind k : kCountedKinds) {
        pay.push_back({std::string(PayRow(k)), Yes(d.Plays[k]), FormatAmountText(d.PayQualified[k]),
                       FormatAmountText(d.PayNotQualified[k]), Yes(d.Insurable[k])});
    }
    page.Paragraph("Выплаты в анте, ставка «забиться» — " + FormatAmountText(d.BetSize) +
                   " анте; максимум стола — " + r.Settings.TableMaximum + " анте.");
    page.Table(pay);
    std::string composite;
    for (int i = 0; i < kCompositeCount; ++i) {
        if (!d.CompositePlays[static_cast<std::size_t>(i)]) continue;
        if (!composite.empty()) composite += ", ";
        composite += std::string("«") + kCompositeCaptions[static_cast<std::size_t>(i)] + "»";
    }
    page.Paragraph("Составные выплаты: " + (composite.empty() ? std::string("нет") : composite) +
                   ".");
    page.Paragraph(d.RoundStraight.value_or(false)
                       ? "Стрит может идти через туза (Q-K-A-2-3 и т. п.), у игрока и у дилера; "
                         "такой стрит старше по последней карте ряда и младше 5-4-3-2-A."
                       : "Стрит через туза (Q-K-A-2-3) не играет.");

    std::vector<std::vector<std::string>> stages = {{"этап", "разрешённые действия"}};
    for (int stage = 1; stage <= kStages; ++stage) {
        std::string actions;
        for (int a = 0; a < kPlayerActionCount; ++a) {
            const auto action = static_cast<TPlayerAction>(a);
            if (!StageHasAction(stage, action) || !d.Allows(stage, action)) continue;
            if (!actions.empty()) actions += ", ";
            actions += ActionCaption(action);
        }
        stages.push_back({std::to_string(stage), actions.empty() ? "—" : actions});
    }
    page.Heading(3, "Действия игрока и их цена");
    page.Table(stages);
    std::vector<std::vector<std::string>> costs = {{"затраты", "первый этап", "второй этап"}};
    costs.push_back(
        {"купить 1 карту", FormatAmountText(d.BuyCost[1][1]), FormatAmountText(d.BuyCost[2][1])});
    costs.push_back(
        {"купить 2 карты", FormatAmountText(d.BuyCost[1][2]), FormatAmountText(d.BuyCost[2][2])});
    for (int n = 1; n <= 5; ++n) {
        costs.push_back({"обменять " + std::to_string(n) +
                             (n == 1  ? " карту"
                              : n < 5 ? " карты"
                                      : " карт"),
                         FormatAmountText(d.ExchangeCost[1][n]),
                         FormatAmountText(d.ExchangeCost[2][n])});
    }
    page.Table(costs);
    page.Paragraph("Купить игру дилеру стоит " + FormatAmountText(d.BuyDealerGameCost) + " анте.");

    page.Heading(3, "Дилер, страховка, открытые карты");
    static constexpr std::array<std::string_view, 13> kPairFaces = {
        "тузов",   "королей",  "дам",     "валетов",  "десяток", "девяток", "восьмёрок",
        "семёрок", "шестёрок", "пятёрок", "четвёрок", "троек",   "двоек"};
    const int pair = std::clamp(static_cast<int>(d.MinPairRank()), 1, 13);
    page.Paragraph("Минимальная игра дилера: пара от " +
                   std::string(kPairFaces[static_cast<std::size_t>(pair - 1)]) + "; туз-король " +
                   (d.MinAceKingRule() == TMinAceKing::akAny ? "любой" : "только с дамой") + ".");
    page.Paragraph(
        std::string("Страховка платит при отсутствии игры у дилера ") +
        (d.InsuranceMax() == TInsuranceMax::imFull ? "весь выигрыш" : "половину выигрыша") + ".");
    page.Paragraph("Открытых карт дилера: " + d.DealerOpenCards + ". Решения " +
                   (r.Settings.LookAhead ? "с учётом решения после прикупа"
                                         : "оценивают прикуп ставкой после каждой карты") +
                   "; игровых боксов: " + r.Settings.PlayingBoxes + ".");
}

void ExactFigures(const TGameReport& r, TPage& page) {
    const TExactFigures& f = r.Figures;
    page.Heading(2, "Точные показатели");
    page.Paragraph("Все раздачи сыграны полным перебором (" + r.Sums.Layouts.ToString() +
                   " первых раскладов).");
    page.Table(
        {{"показатель", "значение"},
         {"MO рекомендованной игры (потеря игрока на раздачу)", Percent4(f.MoPercent)},
         {"MO наилучшей игры", Percent4(f.BestMoPercent)},
         {"стандартное отклонение раздачи, анте", Decimals(f.StdDevPerHand, 4)},
         {"элемент риска", Percent4(f.ElementOfRiskPercent)},
         {"средняя ставка, анте", Decimals(f.AverageStake, 4)},
         {"частота выигрыша (выигрыш или нет игры у дилера)", Percent4(r.HitFrequencyPercent)}});
    page.Heading(3, "Таблица исходов");
    std::vector<std::vector<std::string>> rows = {
        {"комбинация игрока", "исход", "вероятность", "вклад, анте на раздачу"}};
    long double probability = 0;
    long double contribution = 0;
    for (const TExactFigures::TReturnRow& row : f.Returns) {
        rows.push_back({std::string(KindCaption(row.Kind)),
                        std::string(OutcomeCaption(row.Outcome)),
                        SignificantDigits(row.Probability), SignificantDigits(row.Contribution)});
        probability += row.Probability;
        contribution += row.Contribution;
    }
    rows.push_back({"итого", "", SignificantDigits(probability), SignificantDigits(contribution)});
    page.Table(rows);
    page.Heading(3, "Первое решение");
    std::vector<std::vector<std::string>> shares = {{"действие", "доля первых раскладов"}};
    for (int a = 0; a < kFirstActions; ++a) {
        const long double share = f.FirstActionPercent[static_cast<std::size_t>(a)];
        if (share > 0)
            shares.push_back(
                {std::string(FirstActionCaption(static_cast<TFirstAction>(a))), Percent4(share)});
    }
    page.Table(shares);
}

// Short names for the narrow cells of the grid as a table.
std::string_view ShortActionName(TFirstAction action) {
    constexpr std::array<std::string_view, kFirstActions> kNames = {
        "—",       "пас",     "ставка",  "страховка", "купить 1", "купить 2",
        "обмен 1", "обмен 2", "обмен 3", "обмен 4",   "обмен 5"};
    return kNames[static_cast<std::size_t>(action)];
}

std::string GridTable(const TStrategyGrid& grid, bool byDealerCard) {
    const int columns = byDealerCard ? kStrategyColumns : 1;
    // The page's full width, the rows' names wrapped between words in a column of their own,
    // and the actions kept whole: a column left to itself broke "ставка" into syllables, and
    // whole lines in 7 points ran past the page's edge.
    std::string html =
        "<table class=\"grid\" width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"1\">\n"
        "<tr><th width=\"15%\" style=\"font-size:6pt\">рука \\ дилер</th>";
    // Every column's width is given: Qt squeezes a column without one to its longest word.
    const std::string width = std::to_string(85 / columns) + "%";
    for (int c = 0; c < columns; ++c)
        html += "<th width=\"" + width + "\">" +
                (byDealerCard ? StrategyColumnCaption(c) : std::string("все")) + "</th>";
    html += "</tr>\n";
    for (int r = kStrategyRows - 1; r >= 0; --r) {
        html += "<tr><th style=\"font-size:6pt\" align=\"left\">" +
                Escape(StrategyRowCaption(r)) + "</th>";
        for (int c = 0; c < columns; ++c) {
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            if (cell.Empty) {
                html += "<td bgcolor=\"" + std::string(kEmptyCellColour) + "\"></td>";
            } else {
                // The action on a line of its own, unbroken, and its share below it.
                std::string label = Escape(ShortActionName(cell.Action));
                const long double share = std::floor(cell.SharePercent);
                if (share < 100) label += "<br>" + Escape(FormatNumber(share) + "%");
                html += "<td bgcolor=\"" + std::string(ActionColour(cell.Action)) +
                        "\" style=\"font-size:6pt; white-space:nowrap\">" + label + "</td>";
            }
        }
        html += "</tr>\n";
    }
    return html + "</table>\n";
}

void Strategy(const TGameReport& r, TGridPicture picture, TPage& page) {
    page.Heading(2, "Стратегия первого решения");
    const bool byCard = r.DealerOpenCards == 1;
    page.Paragraph(byCard ? "Строки — стартовые руки игрока, столбцы — открытая карта дилера; доля "
                            "указана, когда выбор зависит не только от клетки."
                          : "Строки — стартовые руки игрока; доля указана, когда выбор зависит "
                            "не только от строки.");
    if (picture == TGridPicture::Svg) {
        page.Raw(StrategyGridSvg(r.Sums.Strategy, byCard));
    } else {
        page.Paragraph(
            "пас — сделать пас, ставка — забиться, страховка — забиться со страховкой, "
            "купить 1 и 2 — купить карту и две карты, обмен N — поменять N карт.");
        page.Raw(GridTable(r.Sums.Strategy, byCard));
    }
}

void SimulationCheck(const TGameReport& r, TPage& page) {
    const TRunFigures& s = r.Simulation;
    page.Heading(2, r.Exact ? "Проверка моделированием" : "Показатели моделирования");
    if (!r.SimulationNote.empty()) page.Paragraph("Моделирование прервано: " + r.SimulationNote);
    std::vector<std::vector<std::string>> rows = {{"показатель", "значение"}};
    rows.push_back({"сыграно случайных раздач", std::to_string(s.Hands)});
    rows.push_back({"зерно раздач", std::to_string(r.Seed)});
    if (s.SpreadKnown()) {
        rows.push_back({"MO моделирования", Percent4(s.MoPercent)});
        rows.push_back(
            {"95 % интервал MO", "от " + Percent4(s.MoLow) + " до " + Percent4(s.MoHigh)});
        rows.push_back({"стандартное отклонение раздачи, анте", Decimals(s.StdDevPerHand, 4)});
        rows.push_back({"средняя ставка, анте", Decimals(s.AverageStake, 4)});
        rows.push_back({"элемент риска", Percent4(s.ElementOfRiskPercent)});
        rows.push_back({"95 % интервал элемента риска", "от " + Percent4(s.ElementOfRiskLow) +
                                                            " до " + Percent4(s.ElementOfRiskHigh)});
    }
    if (s.Hands > 0) {
        rows.push_back({"частота выигрыша моделирования", Percent4(s.HitFrequencyPercent)});
        rows.push_back({"95 % интервал частоты выигрыша", "от " + Percent4(s.HitFrequencyLow) +
                                                              " до " + Percent4(s.HitFrequencyHigh)});
    }
    if (r.Exact) {
        rows.push_back({"точное MO", Percent4(r.Figures.MoPercent)});
        rows.push_back({"точное MO внутри интервала", Yes(ExactMoWithinSimulated(r))});
        rows.push_back({"точная частота выигрыша", Percent4(r.HitFrequencyPercent)});
        rows.push_back(
            {"точная частота выигрыша внутри интервала", Yes(ExactHitFrequencyWithinSimulated(r))});
    } else if (s.Hands > 0) {
        page.Paragraph("Частота выигрыша — доля сыгранных случайных раздач, в которых игроку "
                       "заплатили (он выиграл или у дилера нет игры); точной частоты нет, только "
                       "эта оценка моделированием с ее 95 % интервалом.");
    }
    page.Table(rows);
}

void Bankrolls(const TGameReport& r, TPage& page) {
    page.Heading(2, "Сколько денег с собой брать");
    if (r.Bankrolls.empty()) {
        page.Paragraph("Разброс результата неизвестен: раздач слишком мало.");
        return;
    }
    page.Paragraph(std::string("Банк в анте, которого хватит на столько раздач с вероятностью 95 % "
                               "и 99 % (по ") +
                   (r.Exact ? "точным" : "моделированным") + " MO и отклонению).");
    std::vector<std::vector<std::string>> rows = {{"раздач", "95 %", "99 %"}};
    for (const TReportBankroll& b : r.Bankrolls) {
        rows.push_back({std::to_string(b.Hands), FormatNumber(std::ceil(b.Bankroll95)),
                        FormatNumber(std::ceil(b.Bankroll99))});
    }
    page.Table(rows);
}

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:2em;max-width:72em;color:#111}"
    "table{border-collapse:collapse;margin:0.5em 0 1em 0}"
    "th,td{border:1px solid #889;padding:2px 6px;text-align:left;font-size:0.9em}"
    "th{background:#e6ecec}.grid td,.grid th{font-size:0.75em;padding:1px 2px}"
    ".note{background:#fff3c0;padding:0.5em;border:1px solid #d8b840}";

}  // namespace

std::string StudlabVersion() {
    return STUDLAB_VERSION;
}

bool ExactMoWithinSimulated(const TGameReport& r) {
    const TRunFigures& s = r.Simulation;
    return r.Exact && s.SpreadKnown() && r.Figures.MoPercent >= s.MoLow &&
           r.Figures.MoPercent <= s.MoHigh;
}

bool ExactHitFrequencyWithinSimulated(const TGameReport& r) {
    const TRunFigures& s = r.Simulation;
    return r.Exact && s.Hands > 0 && r.HitFrequencyPercent >= s.HitFrequencyLow &&
           r.HitFrequencyPercent <= s.HitFrequencyHigh;
}

TGameReport BuildGameReport(const TGameDesign& design, const TCalculationSettings& settings,
                            const std::string& gameName, const TGameReportOptions& options) {
    TGameReport report;
    report.GameName = gameName;
    report.Design = design;
    report.Settings = settings;
    report.Fingerprint = DesignFingerprint(design, settings);
    report.Version = StudlabVersion();
    report.Date = options.Date.empty() ? Today() : options.Date;
    MakeEvalRules(design, settings);  // a number that does not convert stops the report here

    if (options.KnownExact) {
        report.Exact = true;
        report.Sums = *options.KnownExact;
        report.DealerOpenCards = ParseDesignInteger(design.DealerOpenCards);
    } else {
        try {
            const TExactGame game(design, settings);
            report.DealerOpenCards = game.DealerOpenCards();
            TExactRunOptions run;
            run.Threads = options.Threads;
            run.Stop = options.Stop;
            if (!options.CheckpointFolder.empty()) {
                run.Checkpoint = CheckpointIn(options.CheckpointFolder, design, settings);
                run.Fingerprint = ExactFingerprint(design, settings, true);
            }
            run.Progress = [&options](const TExactProgress& p) {
                if (options.Progress && p.ClassesTotal > 0)
                    options.Progress(
                        {TGameReportProgress::TStep::Exact,
                         static_cast<double>(p.ClassesDone) / static_cast<double>(p.ClassesTotal)});
            };
            const TExactRunResult result = RunExactAnalysis(
                TLayoutClasses(game.DealerOpenCards()), [&game] { return game.NewPlay(); }, run);
            if (result.Cancelled) {
                report.Cancelled = true;
                return report;
            }
            report.Exact = true;
            report.Sums = result.Sums;
        } catch (const TExactRefusal& e) {
            report.ExactRefusal = e.what();
        }
    }
    if (report.Exact) {
        report.Figures = FiguresOf(report.Sums);
        report.HitFrequencyPercent = HitFrequencyPercent(report.Figures);
    }
    Simulate(design, settings, gameName, options, report);
    if (report.Cancelled) return report;

    // The bankrolls from the exact mean and spread where they are known.
    const bool exact = report.Exact;
    const double mean = exact ? static_cast<double>(-report.Figures.MoPercent / 100)
                              : -report.Simulation.MoPercent / 100;
    const double spread =
        exact ? static_cast<double>(report.Figures.StdDevPerHand) : report.Simulation.StdDevPerHand;
    if (exact || report.Simulation.SpreadKnown()) {
        for (std::int64_t hands : kBankrollHands) {
            report.Bankrolls.push_back({hands, BankrollFor(mean, spread, hands, 0.95),
                                        BankrollFor(mean, spread, hands, 0.99)});
        }
    }
    return report;
}

std::string StrategyGridSvg(const TStrategyGrid& grid, bool byDealerCard) {
    const int columns = byDealerCard ? kStrategyColumns : 1;
    constexpr int kRowHeight = 18;
    constexpr int kCaption = 150;
    const int cellWidth = byDealerCard ? 92 : 200;
    const int width = kCaption + columns * cellWidth + 1;
    const int height = (kStrategyRows + 1) * kRowHeight + 1;
    std::ostringstream svg;
    svg << "<svg width=\"" << width << "\" height=\"" << height << "\" viewBox=\"0 0 " << width
        << ' ' << height
        << "\" style=\"max-width:100%;height:auto\" font-family=\"sans-serif\" font-size=\"10\">\n";
    for (int c = 0; c < columns; ++c) {
        svg << "<text x=\"" << kCaption + c * cellWidth + cellWidth / 2 << "\" y=\""
            << kRowHeight - 5 << "\" text-anchor=\"middle\" font-weight=\"bold\">"
            << (byDealerCard ? "дилер " + StrategyColumnCaption(c) : std::string("все"))
            << "</text>\n";
    }
    for (int i = 0; i < kStrategyRows; ++i) {
        const int r = kStrategyRows - 1 - i;  // the strongest hands on top
        const int y = (i + 1) * kRowHeight;
        svg << "<text x=\"4\" y=\"" << y + kRowHeight - 5 << "\">" << Escape(StrategyRowCaption(r))
            << "</text>\n";
        for (int c = 0; c < columns; ++c) {
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            const int x = kCaption + c * cellWidth;
            svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << cellWidth
                << "\" height=\"" << kRowHeight << "\" fill=\""
                << (cell.Empty ? kEmptyCellColour : ActionColour(cell.Action))
                << "\" stroke=\"#607070\"/>\n";
            if (!cell.Empty) {
                svg << "<text x=\"" << x + 3 << "\" y=\"" << y + kRowHeight - 5 << "\">"
                    << Escape(CellLabel(cell)) << "</text>\n";
            }
        }
    }
    svg << "</svg>\n";
    return svg.str();
}

std::string GameReportHtml(const TGameReport& r, TGridPicture grid) {
    TPage page;
    const std::string name = r.GameName.empty() ? std::string("без названия") : r.GameName;
    page.Raw("<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
             Escape("Отчет по игре «" + name + "»") + "</title>\n<style>" + std::string(kStyle) +
             "</style>\n</head>\n<body>\n");
    page.Heading(1, "Отчет по игре «" + name + "»");
    page.Paragraph("Составлен " + r.Date + " программой studlab " + r.Version +
                   ". Отпечаток конструкции: " + r.Fingerprint + ".");
    if (!r.Exact) {
        page.Raw("<p class=\"note\">" +
                 Escape("Точный расчет этой игры невозможен: " + r.ExactRefusal +
                        ". Все показатели ниже получены моделированием случайных раздач и "
                        "верны лишь с точностью до указанных 95 % интервалов.") +
                 "</p>\n");
    }
    Rules(r, page);
    if (r.Exact) {
        ExactFigures(r, page);
        Strategy(r, grid, page);
    }
    SimulationCheck(r, page);
    Bankrolls(r, page);
    page.Raw("</body>\n</html>\n");
    return page.Html();
}

}  // namespace studlab
