#include "profit/ui/pay_solver_window.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "design/design_file.h"
#include "profit/exact/exact_job.h"
#include "profit/exact/hand_play.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr int kPollMilliseconds = 200;
// The pay-table rows the window offers, ckRoyalFlush .. ckAceKing.
constexpr std::array<const char*, 10> kKindCaptions = {
    "роялфлеш", "стритфлеш", "каре",     "фулхаус", "флеш",
    "стрит",    "тройка",    "две пары", "пара",    "туз-король"};

std::string FieldOf(TCombinationKind kind) {
    return "PayQualified[" + std::string(KindCodeName(kind)) + "]";
}

QString Figure(long double value) {
    return QtText(FormatNumber(std::nearbyint(value * 10000) / 10000));
}

// A number typed into a field, or the message that says what is wrong with it.
std::optional<double> ReadNumber(const QLineEdit* field, const QString& caption, QString& error) {
    const std::string text = field->text().trimmed().replace('.', ',').toStdString();
    try {
        return ParseDesignNumber(text);
    } catch (const std::exception&) {
        error = "в поле «" + caption + "» стоит «" + field->text() + "», а нужно число";
        return std::nullopt;
    }
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

TPaySolverWindow::TPaySolverWindow(TGameDesign& design, const TCalculationSettings& calculation)
    : QWidget(nullptr, Qt::Window), m_design(design), m_settings(calculation) {
    setObjectName("PaySolverWindow");
    setWindowTitle("подбор выплат");
    PaintWindow(this, kTealBackground);
    resize(760, 620);

    auto* layout = new QVBoxLayout(this);
    auto* settings = new QGroupBox("что подбирать", this);
    auto* form = new QFormLayout(settings);
    m_target = NewNumberField(settings, "TargetMo", 80, kDesignLineMaxChars);
    m_target->setText("3");
    form->addRow("целевое MO, %", m_target);
    m_step = NewNumberField(settings, "PayStep", 80, kDesignLineMaxChars);
    m_step->setText("0,5");
    form->addRow("шаг выплат, анте", m_step);
    m_min = NewNumberField(settings, "PayMin", 80, kDesignLineMaxChars);
    m_min->setPlaceholderText("0");
    form->addRow("выплата не меньше", m_min);
    m_max = NewNumberField(settings, "PayMax", 80, kDesignLineMaxChars);
    m_max->setPlaceholderText("максимум стола");
    form->addRow("выплата не больше", m_max);
    auto* kinds = new QWidget(settings);
    auto* grid = new QGridLayout(kinds);
    grid->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < m_vary.size(); ++i) {
        m_vary[i] = NewCheckBox(kinds, QString("Vary%1").arg(i + 1), kKindCaptions[i]);
        const TCombinationKind kind = kCountedKinds[i];
        m_vary[i]->setChecked(kind == TCombinationKind::ckFullHouse ||
                              kind == TCombinationKind::ckFlush ||
                              kind == TCombinationKind::ckStraight);
        grid->addWidget(m_vary[i], static_cast<int>(i / 5), static_cast<int>(i % 5));
    }
    form->addRow("меняются выплаты", kinds);
    layout->addWidget(settings);

    auto* buttons = new QHBoxLayout;
    m_solve = NewButton(this, "SolveButton", "подобрать", {});
    m_stop = NewButton(this, "SolveStopButton", "СТОП", {});
    m_apply = NewButton(this, "ApplyButton", "применить", {});
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("SolveProgress");
    m_progress->setRange(0, 1000);
    buttons->addWidget(m_solve);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_apply);
    layout->addLayout(buttons);

    m_status = NewLabel(this, "SolveStatus", QString());
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_table = new QTableWidget(0, 0, this);
    m_table->setObjectName("TriedPayTables");
    m_table->verticalHeader()->setVisible(false);
    layout->addWidget(m_table, 1);

    connect(m_solve, &QPushButton::clicked, this, &TPaySolverWindow::Solve);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_task.Stop();
        Poll();
    });
    connect(m_apply, &QPushButton::clicked, this, &TPaySolverWindow::Apply);
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &TPaySolverWindow::Poll);
    Render();
}

TPaySolverWindow::~TPaySolverWindow() {
    m_task.Stop();
}

void TPaySolverWindow::Solve() {
    QString error;
    TPaySolverRequest request;
    for (std::size_t i = 0; i < m_vary.size(); ++i) {
        if (m_vary[i]->isChecked()) request.Fields.push_back(FieldOf(kCountedKinds[i]));
    }
    const auto target = ReadNumber(m_target, "целевое MO, %", error);
    const auto step = ReadNumber(m_step, "шаг выплат, анте", error);
    std::optional<double> low;
    std::optional<double> high;
    if (!m_min->text().trimmed().isEmpty()) low = ReadNumber(m_min, "выплата не меньше", error);
    if (!m_max->text().trimmed().isEmpty()) high = ReadNumber(m_max, "выплата не больше", error);
    if (request.Fields.empty()) error = "отметьте выплаты, которые можно менять";
    if (!error.isEmpty()) {
        m_status->setText(error);
        return;
    }
    request.TargetMoPercent = *target;
    request.Step = *step;
    request.Min = low;
    request.Max = high;
    const TGameDesign design = m_design;
    const TCalculationSettings settings = m_settings;
    try {
        CountPayTables(design, settings, request);
        TExactGame check(design, settings);  // a design the analysis cannot play starts nothing
    } catch (const std::exception& e) {
        m_status->setText("Подбор невозможен: " + QtText(e.what()));
        return;
    }
    m_solution.reset();
    m_solvedDesign = design;
    m_solvedSettings = settings;
    m_task.Start([design, settings, request](const std::atomic<bool>& stop, const auto& report) {
        TExactRunOptions run;
        run.Stop = &stop;
        return SolvePayouts(design, settings, request, run, report);
    });
    m_poll.start();
    Render();
}

void TPaySolverWindow::Poll() {
    if (m_task.Running()) {
        const TPaySolverProgress p = m_task.Progress();
        const double share = p.Analysis.ClassesTotal > 0
                                 ? static_cast<double>(p.Analysis.ClassesDone) /
                                       static_cast<double>(p.Analysis.ClassesTotal)
                                 : 0;
        m_progress->setValue(static_cast<int>(share * 1000));
        m_status->setText(QString("точный расчет %1 (не более %2)").arg(p.Run).arg(p.MaxRuns));
        Render();
        return;
    }
    m_poll.stop();
    m_solution = m_task.Result();
    if (!m_solution && !m_task.Error().empty()) {
        m_status->setText("Подбор прерван ошибкой: " + QtText(m_task.Error()));
    }
    ShowSolution();
    Render();
}

void TPaySolverWindow::ShowSolution() {
    if (!m_solution) return;
    const TPaySolution& s = *m_solution;
    QStringList headers;
    for (const std::string& f : s.Fields) {
        QString caption = QtText(f);
        for (std::size_t i = 0; i < kCountedKinds.size(); ++i) {
            if (f == FieldOf(kCountedKinds[i])) caption = kKindCaptions[i];
        }
        headers << caption;
    }
    headers << "MO, %"
            << "MO лучшей игры, %"
            << "частота выигрыша, %"
            << "предсказано, %";
    m_table->clear();
    m_table->setColumnCount(static_cast<int>(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(static_cast<int>(s.Trials.size()));
    for (std::size_t r = 0; r < s.Trials.size(); ++r) {
        const TPayTrial& t = s.Trials[r];
        int c = 0;
        const auto row = static_cast<int>(r);
        for (double p : t.Payouts) m_table->setItem(row, c++, Cell(QtText(FormatNumber(p))));
        m_table->setItem(row, c++, Cell(Figure(t.MoPercent)));
        m_table->setItem(row, c++, Cell(Figure(t.BestMoPercent)));
        m_table->setItem(row, c++, Cell(Figure(t.HitFrequencyPercent)));
        m_table->setItem(row, c++,
                         Cell(t.PredictedMoPercent ? Figure(*t.PredictedMoPercent) : "—"));
        const bool chosen = s.Chosen && *s.Chosen == r;
        for (int k = 0; k < c; ++k) {
            QTableWidgetItem* item = m_table->item(row, k);
            QFont font = item->font();
            font.setBold(chosen);
            item->setFont(font);
            if (!t.Candidate)
                item->setToolTip("выплаты конструкции: вне сетки, границ или порядка");
        }
    }
    m_table->resizeColumnsToContents();
    QString status;
    if (s.Cancelled()) {
        status = "Подбор остановлен. ";
    }
    if (s.Chosen) {
        status += QString("Выбрана строка %1: MO=%2%. ")
                      .arg(*s.Chosen + 1)
                      .arg(Figure(s.Trials[*s.Chosen].MoPercent));
    } else {
        status += "Ни одна таблица выплат с сетки не рассчитана. ";
    }
    status += QString("Точных расчетов: %1, таблиц на сетке: %2. ")
                  .arg(s.Trials.size())
                  .arg(s.Candidates);
    switch (s.Stop) {
        case TPaySolverStop::psWithinTolerance:
            status += "Подбор закончен: MO рассчитанной таблицы в пределах допуска от цели.";
            break;
        case TPaySolverStop::psNoneForeseenCloser:
            status += QString("Подбор закончен: ни одна нерассчитанная таблица не ожидается ближе "
                              "к цели, даже с поправкой на уже замеченные ошибки предсказания "
                              "(наибольшая ошибка предсказания MO: %1 п.п.).")
                          .arg(Figure(s.LargestMissPercent));
            break;
        case TPaySolverStop::psRunsRanOut:
            status += "Достигнут предел числа точных расчетов: более близкая таблица ещё может "
                      "найтись.";
            break;
        case TPaySolverStop::psInterrupted: break;
    }
    for (const TCompositeWarning& w : s.Warnings) {
        QStringList composites;
        for (const std::string& c : w.Composites) composites << "«" + QtText(c) + "»";
        status += "\nВнимание: " + QtText(w.Field) + " выплачивается и в составе " +
                  (composites.size() == 1 ? "составной комбинации " : "составных комбинаций ") +
                  composites.join(", ") +
                  ": предсказание не учитывает эти выигрыши и здесь может ошибаться; подбор "
                  "идет по ошибкам, которые показали расчеты.";
    }
    if (s.InsuredPayoutsVaried) {
        status += "\nВнимание: в игре есть ставка со страховкой, а подбираемые выплаты страхуются: "
                  "выплата застрахованного выигрыша переходит в страховку, которую предсказание "
                  "не учитывает; подбор идет по ошибкам, которые показали расчеты.";
    }
    m_solutionStatus = status;
    m_status->setText(status);
}

void TPaySolverWindow::Apply() {
    if (!m_solution || !m_solution->Chosen) return;
    const TPaySolution& s = *m_solution;
    // The payouts belong to the design and the settings they were found under: after another
    // edit they would not give the MO shown. Settings the analysis does not read (the cache, the
    // random series) leave its fingerprint as it was.
    const bool designChanged = !m_solvedDesign || m_design != *m_solvedDesign;
    const bool settingsChanged =
        !m_solvedSettings || ExactFingerprint(m_design, m_settings, true) !=
                                 ExactFingerprint(m_design, *m_solvedSettings, true);
    if (designChanged || settingsChanged) {
        const QString what = designChanged && settingsChanged
                                 ? "Конструкция и настройки расчета изменились"
                             : designChanged ? "Конструкция изменилась"
                                             : "Настройки расчета изменились";
        // Said above what the search found, which stays readable.
        m_status->setText(what + " после подбора: выплаты не перенесены, подберите их заново.\n" +
                          m_solutionStatus);
        return;
    }
    m_design = WithPayouts(m_design, s.Fields, s.Trials[*s.Chosen].Payouts);
    m_status->setText("Выплаты перенесены в конструктор.");
    m_solvedDesign = m_design;
    emit DesignEdited();
    Render();
}

void TPaySolverWindow::Render() {
    const bool running = m_task.Running();
    m_solve->setEnabled(!running);
    m_stop->setEnabled(running);
    m_progress->setVisible(running);
    m_apply->setEnabled(!running && m_solution && m_solution->Chosen);
}

}  // namespace studlab
