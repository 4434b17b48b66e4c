#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

#include "design/game_design.h"
#include "profit/background_task.h"
#include "profit/report/game_report.h"
#include "table/decision_table.h"
#include "widgets/dialogs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace studlab {

class TExactAnalysis;

// "отчет по игре": the game's report (rules, exact figures, strategy, a simulation check,
// bankrolls) built in the background and saved as PDF, or as the HTML page the command line
// writes. An exact analysis the windows already hold for the design is used rather than run again.
class TGameReportWindow final : public QWidget {
    Q_OBJECT
public:
    // Reports on `design` under `settings`, for the game `table` names.
    TGameReportWindow(const TGameDesign& design, const TCalculationSettings& settings,
                      const TDecisionTable& table, const TExactAnalysis& exact, IDialogs& dialogs);
    ~TGameReportWindow() override;

    // Writes the report as PDF through Qt's PDF writer; false when the file cannot be written.
    static bool WritePdf(const TGameReport& report, const QString& path);

private:
    enum class TFormat { Pdf, Html };
    void Save(TFormat format);
    void Poll();
    void Render();

    const TGameDesign& m_design;
    const TCalculationSettings& m_settings;
    const TDecisionTable& m_table;
    const TExactAnalysis& m_exact;
    IDialogs& m_dialogs;
    TBackgroundTask<TGameReport, TGameReportProgress> m_task;
    QTimer m_poll;
    QString m_path;
    TFormat m_format = TFormat::Pdf;

    QLineEdit* m_hands = nullptr;
    QPushButton* m_pdf = nullptr;
    QPushButton* m_html = nullptr;
    QPushButton* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace studlab
