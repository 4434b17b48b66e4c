#include "profit/ui/exact_panel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>

#include "profit/ui/exact_analysis.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

// Edits made elsewhere are noticed this often while the window shows.
constexpr int kWatchMilliseconds = 300;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string PercentDone(const TExactProgress& p) {
    if (p.ClassesTotal <= 0) return "0 %";
    const long double share =
        static_cast<long double>(p.ClassesDone) / static_cast<long double>(p.ClassesTotal);
    return FormatNumber(std::floor(share * 1000) / 10) + " %";
}

std::string FiguresText(const TExactJob::TResult& r) {
    const TExactFigures& f = r.Figures;
    std::string text =
        "σ " + FourDecimalsText(f.StdDevPerHand) + " анте на раздачу,  элемент риска " +
        FourDecimalsText(f.ElementOfRiskPercent) + " %,  средняя ставка " +
        FormatAmount(f.AverageStake) + " анте;  при лучшей игре " + ExactMoText(f.BestMoPercent) +
        ";  перебор " + std::to_string(r.Sums.Classes) + " классов раскладов за " +
        DurationText(r.Seconds);
    return text;
}

}  // namespace

TExactPanel::TExactPanel(TExactAnalysis& analysis, QWidget* parent)
    : QGroupBox("точный расчет: полный перебор всех раздач", parent), m_analysis(analysis) {
    setObjectName("ExactGroup");

    m_calculate = NewButton(this, "ExactCalculate", "точный расчет", QRect(12, 24, 160, 32));
    m_calculate->setToolTip(
        "MO игры без случайности: перебираются все расклады, все прикупы и все карты дилера, "
        "на всех ядрах. Игра без обменов считается секунды или минуты, с обменами — часы");
    connect(m_calculate, &QPushButton::clicked, &m_analysis, &TExactAnalysis::Start);
    m_stop = NewButton(this, "ExactStop", "СТОП", QRect(12, 24, 160, 32));
    connect(m_stop, &QPushButton::clicked, &m_analysis, &TExactAnalysis::Stop);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ExactProgress");
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1000);
    m_progress->setGeometry(186, 32, 240, 16);
    m_timeLeft = NewLabel(this, "ExactTimeLeft", QString());
    m_timeLeft->setGeometry(436, 28, 312, 22);
    m_timeLeft->setFont(CaptionFont(12, true));

    m_mo = NewLabel(this, "ExactMo", QString());
    m_mo->setGeometry(186, 20, 300, 38);
    m_mo->setFont(CaptionFont(24, true));
    m_mo->setToolTip(
        "точное MO: средний проигрыш игрока за раздачу в процентах от анте при игре, которую "
        "советует окно раскладов, по всем раздачам; MO выше — оценка по случайным раздачам");
    m_returns = NewButton(this, "ExactReturns", "таблица исходов", QRect(600, 24, 148, 32));
    connect(m_returns, &QPushButton::clicked, this, &TExactPanel::ReturnTableRequested);

    m_figures = NewLabel(this, "ExactFigures", QString());
    m_figures->setGeometry(12, 60, 736, 34);
    m_figures->setWordWrap(true);
    m_figures->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_figures->setFont(CaptionFont(12, true));
    m_figures->setToolTip(
        "σ — стандартное отклонение результата одной раздачи; элемент риска — проигрыш на единицу "
        "средней ставки (анте, бет и покупки); лучшая игра — каждое решение по точному значению "
        "всего, что за ним следует");
    m_message = NewLabel(this, "ExactMessage", QString());
    m_message->setGeometry(12, 60, 736, 34);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont messageFont = CaptionFont(12, true);
    messageFont.setItalic(true);
    m_message->setFont(messageFont);

    m_watch.setInterval(kWatchMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &TExactPanel::Render);
    connect(&m_analysis, &TExactAnalysis::Changed, this, &TExactPanel::Render);
    Render();
}

void TExactPanel::showEvent(QShowEvent* event) {
    Render();
    m_watch.start();
    QGroupBox::showEvent(event);
}

void TExactPanel::hideEvent(QHideEvent* event) {
    m_watch.stop();
    QGroupBox::hideEvent(event);
}

void TExactPanel::Render() {
    const TExactStatus status = m_analysis.Status();
    const bool running = status == TExactStatus::esRunning;
    m_calculate->setVisible(!running);
    m_stop->setVisible(running);
    m_progress->setVisible(running);
    m_timeLeft->setVisible(running);

    std::string message;
    if (running) {
        const TExactProgress p = m_analysis.Progress();
        m_progress->setValue(
            p.ClassesTotal > 0 ? static_cast<int>(p.ClassesDone * 1000 / p.ClassesTotal) : 0);
        std::string left = PercentDone(p);
        left += p.SecondsLeft > 0 ? ",  осталось ~" + DurationText(p.SecondsLeft)
                                  : ",  оценка времени...";
        m_timeLeft->setText(Text(left));
        if (!m_analysis.RunningForCurrentDesign())
            message = ChangedText(m_analysis.ChangedSinceStart()) +
                      " после запуска: этот расчет относится к прежним.";
    }

    // Read with the status above: a run that ends between the two reads shows its figures at the
    // next render, together with "точный расчет".
    const TExactJob::TResult* result = running ? nullptr : m_analysis.CurrentResult();
    m_mo->setVisible(result != nullptr);
    m_returns->setVisible(result != nullptr);
    m_figures->setVisible(result != nullptr);
    if (result) {
        m_mo->setText(Text("точно: " + ExactMoText(result->Figures.MoPercent)));
        m_figures->setText(Text(FiguresText(*result)));
    }

    switch (status) {
        case TExactStatus::esStale:
            if (const TExactJob::TResult* last = m_analysis.LastResult()) {
                const std::string changed = m_analysis.ChangedSinceStart();
                message = ChangedText(changed) + " после точного расчета (" +
                          ExactMoText(last->Figures.MoPercent) + "): он к " +
                          ChangedPronoun(changed) +
                          " не относится. Нажмите \"точный расчет\" снова.";
            }
            break;
        case TExactStatus::esStopped:
            message = "Точный расчет остановлен кнопкой \"СТОП\", пройдено " +
                      PercentDone(m_analysis.Progress()) + " раскладов.";
            break;
        case TExactStatus::esRefused:
            message = m_analysis.Reason();  // says why in a sentence of its own
            break;
        case TExactStatus::esFailed:
            message = "Точный расчет прерван: " + m_analysis.Reason();
            break;
        default:
            break;
    }
    m_message->setText(Text(message));
    m_message->setVisible(!message.empty());
}

}  // namespace studlab
