#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace studlab {

class IDialogs;
class TProfitCheck;

// TForm14, the graph window: the path of the last profitability run, drawn from the model. The
// cumulative result in antes against the hands played, the line of the result expected from
// the run's MO with its 95 % band, and the bank (the largest loss over consecutive hands) marked
// where it happened. It follows a running run; its data can be saved as CSV and its picture as
// PNG.
class TGraphWindow final : public QWidget {
    Q_OBJECT
public:
    TGraphWindow(const TProfitCheck& profit, IDialogs& dialogs);

    // Draws the run as the model holds it now.
    void Render();
    // Draws a running run, at most a few times a second.
    void RenderRunning();

    // "сохранить CSV", "сохранить PNG" without their dialogs; false when the file could not be
    // written.
    bool SaveCsv(const QString& path) const;
    bool SavePng(const QString& path) const;

    QChartView* ChartView() const { return m_view; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Save(const QString& suffix, bool (TGraphWindow::*save)(const QString&) const);

    const TProfitCheck& m_profit;
    IDialogs& m_dialogs;
    QElapsedTimer m_sinceRender;

    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QLineSeries* m_path = nullptr;
    QLineSeries* m_expected = nullptr;
    QLineSeries* m_bandLow = nullptr;
    QLineSeries* m_bandHigh = nullptr;
    QLineSeries* m_bankLine = nullptr;
    QScatterSeries* m_bankEnds = nullptr;
    QValueAxis* m_hands = nullptr;
    QValueAxis* m_antes = nullptr;
};

}  // namespace studlab
