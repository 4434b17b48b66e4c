#include "profit/ui/graph_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "profit/profit_check.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/dialogs.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

// Points of the path drawn at most; a longer run is drawn by the extremes of its stretches.
constexpr std::size_t kPathPoints = 2400;
constexpr int kBandPoints = 120;
// A running run is redrawn this often: enough for the eye, little for the run.
constexpr qint64 kMillisecondsPerRender = 250;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A round step for about `ticks` ticks over `span`: 1, 2 or 5 times a power of ten.
double NiceStep(double span, int ticks) {
    const double raw = std::max(span, 1e-9) / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= raw) return step * power;
    }
    return 10 * power;
}

}  // namespace

TGraphWindow::TGraphWindow(const TProfitCheck& profit, IDialogs& dialogs)
    : QWidget(nullptr, Qt::Window), m_profit(profit), m_dialogs(dialogs) {
    setObjectName("TForm14");
    setWindowTitle("график расчета");
    // An outer size of 874 x 560 with a common frame (8 pixels each side, a 31-pixel title bar).
    resize(874 - 16, 560 - 39);

    m_chart = new QChart();
    m_chart->setMargins(QMargins(8, 8, 8, 8));
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setShowToolTips(true);
    m_hands = new QValueAxis(m_chart);
    m_hands->setTitleText("сыграно раздач");
    m_hands->setLabelFormat("%.0f");
    m_antes = new QValueAxis(m_chart);
    m_antes->setTitleText("результат игрока, анте");
    m_antes->setLabelFormat("%.0f");
    m_chart->addAxis(m_hands, Qt::AlignBottom);
    m_chart->addAxis(m_antes, Qt::AlignLeft);

    m_bandLow = new QLineSeries(m_chart);
    m_bandHigh = new QLineSeries(m_chart);
    auto* band = new QAreaSeries(m_bandHigh, m_bandLow);
    // Short names, so that the legend shows each whole under the chart.
    band->setName("95 % полоса");
    band->setColor(QColor(120, 200, 120, 90));
    band->setBorderColor(QColor(120, 200, 120, 160));
    m_expected = new QLineSeries();
    m_expected->setName("ожидаемый по MO");
    m_expected->setPen(QPen(QColor(0, 110, 0), 2, Qt::DashLine));
    m_path = new QLineSeries();
    m_path->setName("результат");
    m_path->setPen(QPen(QColor(20, 60, 180), 1.5));
    m_bankLine = new QLineSeries();
    m_bankLine->setPen(QPen(QColor(200, 0, 0), 2.5));
    m_bankEnds = new QScatterSeries();
    m_bankEnds->setMarkerSize(9);
    m_bankEnds->setColor(QColor(200, 0, 0));
    m_bankEnds->setBorderColor(QColor(200, 0, 0));
    for (QAbstractSeries* series : std::initializer_list<QAbstractSeries*>{
             band, m_expected, m_path, m_bankLine, m_bankEnds}) {
        m_chart->addSeries(series);
        series->attachAxis(m_hands);
        series->attachAxis(m_antes);
    }
    // The bank's line and its ends share one entry in the legend.
    m_chart->legend()->markers(m_bankEnds).first()->setVisible(false);

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName("ChartView1");
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setGeometry(0, 0, width(), 474);

    QPushButton* csv = NewButton(this, "Button3", "сохранить CSV", QRect(16, 482, 150, 30));
    connect(csv, &QPushButton::clicked, this, [this] { Save("csv", &TGraphWindow::SaveCsv); });
    QPushButton* png = NewButton(this, "Button4", "сохранить PNG", QRect(176, 482, 150, 30));
    connect(png, &QPushButton::clicked, this, [this] { Save("png", &TGraphWindow::SavePng); });
    QPushButton* close = NewButton(this, "Button1", "закрыть", QRect(742, 482, 100, 30));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    CentreOnDesktop(this);
    Render();
}

void TGraphWindow::showEvent(QShowEvent* event) {
    Render();
    QWidget::showEvent(event);
}

void TGraphWindow::RenderRunning() {
    if (m_sinceRender.isValid() && m_sinceRender.elapsed() < kMillisecondsPerRender) return;
    Render();
}

void TGraphWindow::Render() {
    m_sinceRender.start();
    const TRunPath& path = m_profit.Path();
    const TRunFigures& figures = m_profit.Figures();
    if (path.Hands() == 0) {
        m_chart->setTitle("Расчета еще не было: нажмите \"расчет\" в окне проверки выгодности");
        for (QLineSeries* series : {m_path, m_expected, m_bandLow, m_bandHigh, m_bankLine})
            series->clear();
        m_bankEnds->clear();
        m_hands->setRange(0, 1000);
        m_antes->setRange(-10, 10);
        return;
    }
    const TProfitView& view = m_profit.View();
    m_chart->setTitle(Text(view.MoText + "   (" + view.MoIntervalText +
                           "),   сыграно раздач: " + std::to_string(path.Hands())));

    QList<QPointF> points;
    double low = 0;
    double high = 0;
    for (const TPathPoint& p : PathToDraw(path, kPathPoints)) {
        points.append(QPointF(static_cast<double>(p.Hands), p.Antes));
        low = std::min(low, p.Antes);
        high = std::max(high, p.Antes);
    }
    m_path->replace(points);

    // The expected result after n hands from the run's mean, and the band that n hands fall
    // into with 95 % probability.
    const double mean = -figures.MoPercent / 100;
    const std::int64_t hands = path.Hands();
    QList<QPointF> expected;
    QList<QPointF> bandLow;
    QList<QPointF> bandHigh;
    for (int i = 0; i <= kBandPoints; ++i) {
        const std::int64_t n = hands * i / kBandPoints;
        const TExpectedPoint e = ExpectedAfter(n, mean, figures.StdDevPerHand);
        const double x = static_cast<double>(n);
        expected.append(QPointF(x, e.Expected));
        bandLow.append(QPointF(x, e.Low));
        bandHigh.append(QPointF(x, e.High));
        low = std::min(low, e.Low);
        high = std::max(high, e.High);
    }
    m_expected->replace(expected);
    m_bandLow->replace(bandLow);
    m_bandHigh->replace(bandHigh);

    const TBankSpan& bank = path.Bank();
    if (bank.Antes > 0) {
        const QList<QPointF> ends = {QPointF(static_cast<double>(bank.FirstHand - 1),
                                             static_cast<double>(bank.TotalBefore) / 10000),
                                     QPointF(static_cast<double>(bank.LastHand),
                                             static_cast<double>(bank.TotalAfter) / 10000)};
        m_bankLine->replace(ends);
        m_bankEnds->replace(ends);
        m_bankLine->setName(Text("банк " + std::to_string(bank.Antes) + " ANTE: раздачи " +
                                 std::to_string(bank.FirstHand) + "–" +
                                 std::to_string(bank.LastHand)));
    } else {
        m_bankLine->clear();
        m_bankEnds->clear();
        m_bankLine->setName("банк 0 ANTE");
    }

    // Whole hands and whole antes between the labels, which show no fractions: a run of one
    // hand would otherwise label its axis "0 0 0 1 1 1".
    const double handStep = std::max(1.0, NiceStep(static_cast<double>(hands), 8));
    m_hands->setRange(0, std::ceil(static_cast<double>(hands) / handStep) * handStep);
    m_hands->setTickType(QValueAxis::TicksDynamic);
    m_hands->setTickAnchor(0);
    m_hands->setTickInterval(handStep);
    const double margin = std::max((high - low) * 0.05, 1.0);
    const double antesStep = std::max(1.0, NiceStep(high - low + 2 * margin, 8));
    m_antes->setRange(std::floor((low - margin) / antesStep) * antesStep,
                      std::ceil((high + margin) / antesStep) * antesStep);
    m_antes->setTickType(QValueAxis::TicksDynamic);
    m_antes->setTickAnchor(0);
    m_antes->setTickInterval(antesStep);
}

bool TGraphWindow::SaveCsv(const QString& path) const {
    std::ofstream out(path.toStdString(), std::ios::out | std::ios::trunc);
    if (!out) return false;
    const TRunFigures& figures = m_profit.Figures();
    WritePathCsv(m_profit.Path(), -figures.MoPercent / 100, figures.StdDevPerHand, out);
    out.close();
    return static_cast<bool>(out);
}

bool TGraphWindow::SavePng(const QString& path) const {
    return m_view->grab().save(path, "PNG");
}

void TGraphWindow::Save(const QString& suffix, bool (TGraphWindow::*save)(const QString&) const) {
    const QString filter = suffix == "csv" ? "таблицы (*.csv)" : "рисунки (*.png)";
    std::optional<QString> path = m_dialogs.SaveFileName(this, QDir::homePath(), filter, suffix);
    if (!path) return;
    *path = WithExtension(*path, suffix);
    if (!(this->*save)(*path)) m_dialogs.ShowError(this, "Не удалось записать файл " + *path);
}

}  // namespace studlab
