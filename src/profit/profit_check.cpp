#include "profit/profit_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cards/random_generator.h"
#include "profit/bank.h"
#include "text/number_text.h"

namespace studlab {
namespace {

// The caption of the field of the number of hands.
constexpr std::string_view kHandCountCaption = "колличество циклов";

// A hand that the table could not settle comes back with this result.
constexpr std::int64_t kNotSettled = -1'000'000;
// How long the run waits for the next hand before it looks at the window again.
constexpr std::chrono::milliseconds kWaitForHand = THandRunner::kLookAgain;

std::string HandsText(std::int64_t hands) {
    return "сыграно раздач: " + std::to_string(hands);
}

// The MO as the summary shows it: the average rounded to a ten-thousandth of an ante, the
// percent to one decimal, halves to even.
std::string MoText(TAnteSum total, std::int64_t hands) {
    const std::int64_t average = RoundHalfEven(static_cast<long double>(total) / hands);
    const long double percent =
        -static_cast<long double>(RoundHalfEven(average * 1000.0L / 10000)) / 10;
    return "MO=" + FormatNumber(percent) + "%";
}

std::string PercentText(double percent, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return FormatNumber(std::nearbyint(percent * scale) / scale);
}

// A whole-number field of the profitability window read for a run: a text that is no whole
// number throws TConversionError with a message that names the field and says what is wrong:
// "в поле «колличество циклов» стоит «abc», а нужно целое число".
std::int32_t ReadWholeSetting(std::string_view caption, const std::string& text,
                              std::string_view field = "в поле") {
    try {
        return ParseDesignInteger(text);
    } catch (const TConversionError&) {
    }
    const std::string place = std::string(field) + " «" + std::string(caption) + "» ";
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        throw TConversionError(place + "ничего нет, а нужно целое число");
    std::size_t digits = first + (text[first] == '-' || text[first] == '+' ? 1 : 0);
    const bool whole =
        digits < text.size() && text.find_first_not_of("0123456789", digits) == std::string::npos;
    if (whole) {
        throw TConversionError(place + "стоит «" + text + "» — целое число, но слишком " +
                               (text[first] == '-' ? "малое: наименьшее -2147483648"
                                                   : "большое: наибольшее 2147483647"));
    }
    throw TConversionError(place + "стоит «" + text + "», а нужно целое число");
}

std::optional<std::uint64_t> ParseSeed(const std::string& text) {
    std::uint64_t seed = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && *first == ' ') ++first;
    while (last != first && last[-1] == ' ') --last;
    if (first == last || *first == '-' || *first == '+') return std::nullopt;
    const auto [end, error] = std::from_chars(first, last, seed);
    if (error != std::errc() || end != last) return std::nullopt;
    return seed;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::string ProbabilisticCyclesWarning(std::string_view text) {
    if (text.empty()) return {};  // the default count
    std::int32_t draws = 0;
    try {
        draws = ParseDesignInteger(text);
    } catch (const TConversionError&) {
        return "не целое число: решение с розыгрышами остановится";
    }
    if (draws >= 1) return {};
    return "меньше 1: ходы с розыгрышами оцениваются неверно";
}

TProfitCheck::TProfitCheck(IRandomHandTable& table) : m_table(table), m_handResults(kMaxHands, 0) {}

void TProfitCheck::StopSimulation(TStopCause cause) {
    m_stopRequested = true;
    m_stopCause = cause;
    m_view.ProgressPosition = 0;
    m_view.ProgressVisible = false;
    m_view.CalculateVisible = true;
    m_view.StopVisible = false;
}

std::string TProfitCheck::FixedCardsNotice() const {
    const TFixedCards fixed = m_table.FixedCards();
    if (fixed.Empty()) return {};
    std::string text = "Раздачи идут с фиксированными картами (\"ФИКС\" в окне раскладов):";
    if (!fixed.Player.empty()) text += " игрок — " + JoinNames(fixed.Player);
    if (!fixed.Player.empty() && !fixed.Dealer.empty()) text += ";";
    if (!fixed.Dealer.empty()) text += " дилер — " + JoinNames(fixed.Dealer);
    return text;
}

void TProfitCheck::RunSimulation() {
    if (m_running) return;
    m_running = true;
    m_end = TRunEnd::None;
    m_stopRequested = false;
    try {
        Run();
    } catch (const std::exception& e) {
        EndRun(TRunEnd::Failed, std::string("Расчет прерван: ") + e.what());
    }
    if (m_running) EndRun(TRunEnd::Failed, "Расчет прерван");
}

// The cycle limits in ten-thousandths; none (the run has ended with the reason) when a field is
// not a whole number.
std::optional<TProfitCheck::TLimits> TProfitCheck::ReadLimits() {
    const std::pair<const char*, const std::string*> fields[] = {
        {"выигрыш цикла", &m_settings.CycleWinTarget},
        {"проигрыш цикла", &m_settings.CycleLossLimit},
        {"общий проигрыш", &m_settings.TotalLossLimit},
        {"общий выигрыш", &m_settings.TotalWinLimit}};
    std::array<std::int64_t, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        try {
            values[i] = ReadWholeSetting(fields[i].first, *fields[i].second, "в поле предела") *
                        std::int64_t{10000};
        } catch (const TConversionError& e) {
            const bool started = m_sums.Hands() > 0;
            EndRun(
                started ? TRunEnd::Failed : TRunEnd::Refused,
                std::string(started ? "Расчет остановлен" : "Расчет не начат") + ": " + e.what());
            return std::nullopt;
        }
    }
    return TLimits{values[0], values[1], values[2], values[3]};
}

void TProfitCheck::Run() {
    m_view.Message.clear();
    m_view.MoVisible = false;
    m_view.MoText.clear();
    m_view.MoIntervalText.clear();
    m_view.RiskText.clear();
    m_view.BankVisible = false;
    m_view.ComputeBankVisible = false;
    m_view.StatisticsVisible = false;
    m_view.GraphEnabled = false;
    m_view.CycleLabelsVisible = false;
    m_view.CycleCountText.clear();
    m_view.CyclesTotalText.clear();
    m_sums.Clear();
    m_path.Clear();
    m_figures = {};
    m_lastHand.reset();
    m_runSeed.reset();
    m_runWorkers = 0;
    m_cycleCount = 0;
    m_cyclesTotal = 0;

    if (!m_table.GameChosen()) {
        if (Beep) Beep();
        EndRun(TRunEnd::NoGame,
               "Игра не выбрана: выберите ее в окне раскладов (меню \"опции\", \"выбрать игру\").");
        return;
    }
    std::int32_t handCount = 0;
    try {
        handCount = ReadWholeSetting(kHandCountCaption, m_settings.HandCount);
    } catch (const TConversionError& e) {
        EndRun(TRunEnd::Refused, std::string("Расчет не начат: ") + e.what());
        return;
    }
    // A run needs at least one hand and no more than the results can hold (the bank looks at
    // every one of them).
    if (handCount < 1 || handCount > kMaxHands) {
        EndRun(TRunEnd::Refused, "колличество циклов должно быть от 1 до 1000000");
        return;
    }
    if (m_settings.CyclesMode && !ReadLimits()) return;
    m_bankrollHands = 0;
    if (!m_settings.BankrollHands.empty()) {
        try {
            m_bankrollHands = ParseDesignInteger(m_settings.BankrollHands);
        } catch (const TConversionError&) {
        }
        if (m_bankrollHands < 1) {
            EndRun(TRunEnd::Refused, "Расчет не начат: раздач за столом \"" +
                                         m_settings.BankrollHands +
                                         "\" — нужно целое число от 1 или пустое поле");
            return;
        }
    }

    TDealPlan plan;
    plan.FixedSeries = m_table.FixedSeries();
    if (!plan.FixedSeries) {
        if (m_settings.Seed.find_first_not_of(' ') == std::string::npos) {
            plan.Seed = MixBits64(TSteadyClock().HighResolutionTicks());
        } else if (const auto seed = ParseSeed(m_settings.Seed)) {
            plan.Seed = *seed;
        } else {
            EndRun(TRunEnd::Refused, "Расчет не начат: зерно \"" + m_settings.Seed +
                                         "\" — нужно целое число от 0 до 18446744073709551615");
            return;
        }
        m_runSeed = plan.Seed;
    }
    int workers = m_settings.Threads > 0 ? m_settings.Threads : AvailableCores();
    workers = std::min(workers, m_table.MaxWorkers());
    if (plan.FixedSeries) workers = 1;
    if (!m_settings.CyclesMode) workers = std::min(workers, handCount);
    workers = std::max(workers, 1);
    m_runWorkers = workers;

    std::vector<std::unique_ptr<IHandPlayer>> players;
    for (int i = 0; i < workers; ++i) players.push_back(m_table.NewPlayer(plan));
    StartCycle(handCount);
    {
        THandRunner runner(std::move(players),
                           m_settings.CyclesMode ? 0 : static_cast<std::uint64_t>(handCount));

        auto nextReport = std::chrono::steady_clock::now() + ProgressInterval;
        std::int64_t reported = 0;  // the hands played when the view was last brought up to date
        for (;;) {
            // The first hand shows at once, the others as often as an eye can follow; pending
            // events are let through as often.
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextReport || (reported == 0 && m_sums.Hands() > 0)) {
                nextReport = now + ProgressInterval;
                if (m_sums.Hands() != reported) {
                    reported = m_sums.Hands();
                    ShowProgress();
                }
                if (ProcessPendingEvents) ProcessPendingEvents();
            }
            if (m_stopRequested) {
                if (Beep) Beep();
                EndRun(TRunEnd::Stopped, std::string(m_stopCause == TStopCause::Button
                                                         ? "Расчет остановлен кнопкой \"СТОП\"; "
                                                         : "Расчет прерван сигналом; ") +
                                             HandsText(m_sums.Hands()) + ".");
                break;
            }
            const std::optional<THandRecord> hand = runner.Next(kWaitForHand);
            if (hand && !Take(*hand, handCount)) break;
        }
    }  // the workers stop before the table deals the last hand again
    if (m_lastHand) {
        try {
            m_table.ShowHand(plan, *m_lastHand);
        } catch (const std::exception&) {
            // The run's figures stand; the table shows whatever the replay left.
        }
    }
}

// Steps 1 to 3 of a run, repeated at the start of every cycle.
void TProfitCheck::StartCycle(std::int32_t handCount) {
    m_runTotal = 0;
    m_cycleHand = 0;
    m_recorded = 0;
    m_view.StopVisible = true;
    m_view.CalculateVisible = false;
    m_view.ProgressVisible = true;
    m_view.ProgressPosition = 0;
    m_view.ProgressMaximum = handCount;
    m_view.ComputeBankVisible = false;
    m_view.StatisticsVisible = false;
    m_view.HandLabelsVisible = true;
    m_stats.Clear();
}

bool TProfitCheck::Take(const THandRecord& hand, std::int32_t& handCount) {
    const std::string number = std::to_string(hand.Hand);
    if (!hand.Error.empty()) {
        EndRun(TRunEnd::Failed, "Расчет прерван ошибкой в раздаче № " + number + ": " + hand.Error +
                                    "; " + HandsText(m_sums.Hands()) + ".");
        return false;
    }
    if (hand.Result == kNotSettled) {
        if (Beep) Beep();
        EndRun(TRunEnd::Unsettled, "Раздача № " + number +
                                       " не доиграна: ее результат не подсчитан. Расчет "
                                       "остановлен; " +
                                       HandsText(m_sums.Hands()) + ".");
        return false;
    }
    m_lastHand = hand;
    m_sums.Add(hand.Result, hand.Stake, hand.Paid);
    m_path.Add(hand.Result);
    m_runTotal += hand.Result;
    ++m_cycleHand;
    ++m_view.ProgressPosition;

    if (m_settings.CyclesMode) {
        m_view.CycleLabelsVisible = true;
        const std::optional<TLimits> limits = ReadLimits();
        if (!limits) return false;
        if (limits->TotalLoss >= m_cyclesTotal || limits->TotalWin <= m_cyclesTotal) {
            EndRun(TRunEnd::CyclesLimit, "Расчет закончен: циклы вместе достигли предела (" +
                                             FormatTenThousandths(m_cyclesTotal) + " анте за " +
                                             std::to_string(m_cycleCount) + " цикл.); " +
                                             HandsText(m_sums.Hands()) + ".");
            return false;
        }
        if (m_cycleCount >= MaxCycles || m_sums.Hands() >= MaxCycleHands) {
            EndRun(TRunEnd::CyclesCap,
                   "Расчет закончен: пределы циклов не достигнуты за " +
                       std::to_string(m_cycleCount) + " цикл. (" + FormatTenThousandths(m_cyclesTotal) +
                       " анте), расчет в циклах играет не более " + std::to_string(MaxCycles) +
                       " циклов и " + std::to_string(MaxCycleHands) + " раздач; " +
                       HandsText(m_sums.Hands()) + ".");
            return false;
        }
        if (m_runTotal >= limits->CycleWin || m_runTotal <= limits->CycleLoss) {
            // The hand that ends a cycle is neither recorded nor counted in the statistics.
            ++m_cycleCount;
            m_cyclesTotal += m_runTotal;
            m_view.CycleCountText = std::to_string(m_cycleCount);
            m_view.CyclesTotalText = FormatTenThousandths(m_cyclesTotal);
            try {
                handCount = ReadWholeSetting(kHandCountCaption, m_settings.HandCount);
            } catch (const TConversionError& e) {
                EndRun(TRunEnd::Failed, std::string("Расчет остановлен: ") + e.what());
                return false;
            }
            if (handCount < 1 || handCount > kMaxHands) {
                EndRun(TRunEnd::Failed, "колличество циклов должно быть от 1 до 1000000");
                return false;
            }
            StartCycle(handCount);
            return true;
        }
    }

    m_stats.Record(hand.Category, hand.ExtraStake, hand.Result);
    m_handResults[static_cast<std::size_t>(m_recorded)] =
        static_cast<std::int64_t>(RoundHalfEven(static_cast<long double>(hand.Result) / 10000));
    ++m_recorded;
    if (m_recorded >= handCount) {
        EndRun(TRunEnd::Completed, {});
        return false;
    }
    return true;
}

void TProfitCheck::UpdateFigures() {
    m_figures = MakeRunFigures(m_sums, m_bankrollHands);
    m_view.HandNumberText = std::to_string(m_cycleHand);
    m_view.RunTotalText = FormatTenThousandths(m_runTotal);
    if (m_sums.Hands() == 0) return;
    const TRunFigures& f = m_figures;
    m_view.MoText = MoText(f.Total, f.Hands);
    m_view.MoVisible = true;
    if (!f.SpreadKnown()) {
        // One hand says nothing of the spread.
        m_view.MoIntervalText = "95 %: по одной раздаче не оценить";
        m_view.RiskText = "элемент риска " + PercentText(f.ElementOfRiskPercent, 2) +
                          " %;  σ и сколько брать с собой — со второй раздачи";
    } else {
        m_view.MoIntervalText =
            "95 %: от " + PercentText(f.MoLow, 2) + " до " + PercentText(f.MoHigh, 2) + " %";
        m_view.RiskText =
            "на раздачу σ " + FormatAmount(f.StdDevPerHand) + " анте,  элемент риска " +
            PercentText(f.ElementOfRiskPercent, 2) + " %,  с собой на " +
            std::to_string(f.BankrollHands) +
            // Whole antes; beyond 64 bits (losses of billions over millions of hands) the
            // general format.
            " раздач: " + FormatNumber(std::ceil(static_cast<long double>(f.Bankroll95))) +
            " анте (95 %), " + FormatNumber(std::ceil(static_cast<long double>(f.Bankroll99))) +
            " анте (99 %)";
    }
    m_view.GraphEnabled = true;
}

void TProfitCheck::ShowProgress() {
    UpdateFigures();
    if (Progressed) Progressed();
}

void TProfitCheck::EndRun(TRunEnd end, std::string message) {
    m_running = false;
    m_end = end;
    m_view.Message = std::move(message);
    m_view.ProgressPosition = 0;
    m_view.ProgressVisible = false;
    m_view.CalculateVisible = true;
    m_view.StopVisible = false;
    UpdateFigures();
    if (m_sums.Hands() > 0) {
        // The figures of the hands played so far, however the run ended.
        for (int c = 0; c < TCombinationStats::kColumns; ++c) {
            m_view.StatsColumns[static_cast<std::size_t>(c)] =
                m_stats.ColumnText(static_cast<TCombinationStats::TColumn>(c));
        }
        m_lastRecorded = m_recorded;
        m_view.ComputeBankVisible = true;
        m_view.StatisticsVisible = true;
    }
    if (Progressed) Progressed();
}

void TProfitCheck::ComputeBank() {
    // The count typed now, but never beyond the hands the last run recorded: the entries after
    // them belong to older runs.
    std::int32_t handCount = 0;
    try {
        handCount = ReadWholeSetting(kHandCountCaption, m_settings.HandCount);
    } catch (const TConversionError& e) {
        throw TConversionError(std::string("Банк не рассчитан: ") + e.what());
    }
    const std::size_t count = static_cast<std::size_t>(std::clamp(handCount, 0, m_lastRecorded));
    const std::int64_t bank = studlab::ComputeBank(
        std::span<const std::int64_t>(m_handResults.data(), count), ProcessPendingEvents);
    m_view.BankText = std::to_string(bank) + " ANTE";
    m_view.BankVisible = true;
}

}  // namespace studlab
