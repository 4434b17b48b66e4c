#include "profit/ui/game_report_window.h"

#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPdfWriter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "design/design_file.h"
#include "profit/profit_check.h"
#include "profit/ui/exact_analysis.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr int kPollMilliseconds = 200;

}  // namespace

TGameReportWindow::TGameReportWindow(const TGameDesign& design,
                                     const TCalculationSettings& settings,
                                     const TDecisionTable& table, const TExactAnalysis& exact,
                                     IDialogs& dialogs)
    : QWidget(nullptr, Qt::Window),
      m_design(design),
      m_settings(settings),
      m_table(table),
      m_exact(exact),
      m_dialogs(dialogs) {
    setObjectName("GameReportWindow");
    setWindowTitle("отчет по игре");
    PaintWindow(this, kTealBackground);
    resize(520, 220);

    auto* layout = new QVBoxLayout(this);
    auto* about = NewLabel(this, "ReportAbout",
                           "Отчет для казино и регулятора: правила, точные показатели, таблица "
                           "исходов, стратегия, проверка моделированием, банк на 100, 1000 и "
                           "10000 раздач. Точный расчет, уже сделанный для этой конструкции, "
                           "берётся готовым.");
    about->setWordWrap(true);
    layout->addWidget(about);
    auto* form = new QFormLayout;
    m_hands = NewNumberField(this, "ReportHands", 100, kDesignLineMaxChars);
    m_hands->setText("100000");
    form->addRow("раздач моделирования", m_hands);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    m_pdf = NewButton(this, "SaveReportPdf", "сохранить PDF", {});
    m_html = NewButton(this, "SaveReportHtml", "сохранить HTML", {});
    m_stop = NewButton(this, "ReportStop", "СТОП", {});
    buttons->addWidget(m_pdf);
    buttons->addWidget(m_html);
    buttons->addWidget(m_stop);
    layout->addLayout(buttons);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ReportProgress");
    m_progress->setRange(0, 1000);
    layout->addWidget(m_progress);
    m_status = NewLabel(this, "ReportStatus", QString());
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    connect(m_pdf, &QPushButton::clicked, this, [this] { Save(TFormat::Pdf); });
    connect(m_html, &QPushButton::clicked, this, [this] { Save(TFormat::Html); });
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_task.Stop();
        Poll();
    });
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &TGameReportWindow::Poll);
    Render();
}

TGameReportWindow::~TGameReportWindow() {
    m_task.Stop();
}

bool TGameReportWindow::WritePdf(const TGameReport& report, const QString& path) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(150);
    writer.setTitle(QtText("Отчет по игре «" + report.GameName + "»"));
    writer.setCreator("studlab");
    QTextDocument document;
    document.setHtml(QtText(GameReportHtml(report, TGridPicture::Table)));
    document.print(&writer);
    return QFile(path).size() > 0;
}

void TGameReportWindow::Save(TFormat format) {
    std::int32_t hands = 0;
    try {
        hands = ParseDesignInteger(m_hands->text().trimmed().toStdString());
    } catch (const std::exception&) {
        hands = 0;
    }
    if (hands < 1 || hands > TProfitCheck::kMaxHands) {
        m_status->setText("в поле «раздач моделирования» стоит «" + m_hands->text() +
                          "», а нужно целое число от 1 до 1000000");
        return;
    }
    const bool pdf = format == TFormat::Pdf;
    const std::optional<QString> path = m_dialogs.SaveFileName(
        this, QDir::homePath(), pdf ? "PDF (*.pdf)" : "HTML (*.html)", pdf ? "pdf" : "html");
    if (!path) return;
    m_path = *path;
    m_format = format;
    const TGameDesign design = m_design;
    const TCalculationSettings settings = m_settings;
    const std::string name = m_table.GameName().value_or("");
    TGameReportOptions options;
    options.SimulationHands = hands;
    if (const TExactJob::TResult* known = m_exact.CurrentResult()) options.KnownExact = known->Sums;
    m_task.Start(
        [design, settings, name, options](const std::atomic<bool>& stop, const auto& report) {
            TGameReportOptions o = options;
            o.Stop = &stop;
            o.Progress = report;
            return BuildGameReport(design, settings, name, o);
        });
    m_status->setText("отчет составляется…");
    m_poll.start();
    Render();
}

void TGameReportWindow::Poll() {
    if (m_task.Running()) {
        const TGameReportProgress p = m_task.Progress();
        m_progress->setValue(static_cast<int>(p.Share * 1000));
        m_status->setText(p.Step == TGameReportProgress::TStep::Exact ? "точный расчет…"
                                                                      : "моделирование…");
        Render();
        return;
    }
    m_poll.stop();
    const std::optional<TGameReport> report = m_task.Result();
    if (!report) {
        m_status->setText("Отчет не составлен: " + QtText(m_task.Error()));
    } else if (report->Cancelled) {
        m_status->setText("Отчет остановлен, файл не записан.");
    } else {
        bool written = false;
        if (m_format == TFormat::Pdf) {
            written = WritePdf(*report, m_path);
        } else {
            QFile file(m_path);
            const std::string html = GameReportHtml(*report);
            written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                      file.write(html.data(), static_cast<qint64>(html.size())) ==
                          static_cast<qint64>(html.size());
        }
        m_status->setText(written ? "Отчет записан: " + m_path
                                  : "Не удалось записать отчет в «" + m_path + "»");
    }
    Render();
}

void TGameReportWindow::Render() {
    const bool running = m_task.Running();
    m_pdf->setEnabled(!running);
    m_html->setEnabled(!running);
    m_stop->setEnabled(running);
    m_progress->setVisible(running);
}

}  // namespace studlab
