#pragma once

#include <QGroupBox>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace studlab {

class TExactAnalysis;

// The profitability window's group "точный расчет": the exact analysis of the current design by
// complete enumeration, started, followed and stopped here, its MO with four decimals, standard
// deviation and element of risk, and the way to its return table. What it shows always belongs
// to the design as it stands: after any edit the figures give way to a note that they are stale.
class TExactPanel final : public QGroupBox {
    Q_OBJECT
public:
    TExactPanel(TExactAnalysis& analysis, QWidget* parent);

    void Render();

signals:
    void ReturnTableRequested();  // "таблица исходов"

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TExactAnalysis& m_analysis;
    // Notices edits of the design made while the window shows (the constructor's windows, the
    // settings of this window) without being told of them.
    QTimer m_watch;

    QPushButton* m_calculate = nullptr;
    QPushButton* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_timeLeft = nullptr;
    QLabel* m_mo = nullptr;
    QPushButton* m_returns = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_message = nullptr;
};

}  // namespace studlab
