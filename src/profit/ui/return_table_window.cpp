#include "profit/ui/return_table_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "profit/ui/exact_analysis.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr int kWatchMilliseconds = 300;
// Figures from 0,0001 on are written out; smaller ones with a power of ten.
constexpr int kSmallestPlainExponent = -4;

// Probabilities in percent and contributions in antes, all in one form: four significant
// digits ("12,35", "0,004521"), and for the tiniest shares (a tie of two royal flushes) the same
// digits times a power of ten ("3,010·10⁻¹⁰"). The cell's hint holds the full figure.
QString SignificantDigits(long double value) {
    if (value == 0) return "0";
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    char text[64];
    if (exponent >= kSmallestPlainExponent) {
        std::snprintf(text, sizeof text, "%.*Lf", std::max(0, 3 - exponent), value);
        return QString::fromLatin1(text).replace('.', ',');
    }
    std::snprintf(text, sizeof text, "%.3Le", value);
    QString mantissa = QString::fromLatin1(text);
    const int e = static_cast<int>(mantissa.indexOf('e'));
    const int power = mantissa.mid(e + 1).toInt();
    mantissa = mantissa.left(e).replace('.', ',');
    static const QString kSuperscripts = QString::fromUtf8("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString digits;
    for (const QChar digit : QString::number(std::abs(power)))
        digits += kSuperscripts[digit.digitValue()];
    return mantissa + QString::fromUtf8("·10") + (power < 0 ? QString::fromUtf8("⁻") : "") + digits;
}

QString FullFigure(long double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.12Lg", value);
    return QString::fromLatin1(text).replace('.', ',');
}

QTableWidgetItem* Cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* FigureCell(long double value) {
    QTableWidgetItem* item = Cell(SignificantDigits(value), true);
    item->setToolTip(FullFigure(value));
    return item;
}

}  // namespace

TReturnTableWindow::TReturnTableWindow(const TExactAnalysis& analysis)
    : QWidget(nullptr, Qt::Window), m_analysis(analysis) {
    setObjectName("ReturnTableWindow");
    setWindowTitle("таблица исходов");
    PaintWindow(this, kTealBackground);
    resize(660, 720);

    auto* layout = new QVBoxLayout(this);
    m_title = NewLabel(this, "ReturnTableTitle", QString());
    m_title->setWordWrap(true);
    m_title->setFont(CaptionFont(14, true));
    layout->addWidget(m_title);

    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName("ReturnTable");
    m_table->setHorizontalHeaderLabels(
        {"комбинация игрока", "исход", "вероятность, %", "вклад, анте за раздачу"});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFont(CaptionFont(13));
    m_table->verticalHeader()->setDefaultSectionSize(24);
    layout->addWidget(m_table, 1);

    QPushButton* close = NewButton(this, "ReturnTableClose", "закрыть", QRect());
    close->setFixedWidth(120);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(&analysis, &TExactAnalysis::Changed, this, [this] {
        if (isVisible()) Render();
    });
    // An edit of the design leaves no signal here: the window looks, as the exact panel does.
    m_watch.setInterval(kWatchMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &TReturnTableWindow::Follow);
    m_watch.start();
    CentreOnDesktop(this);
    Render();
}

void TReturnTableWindow::Follow() {
    if (isVisible() && m_analysis.CurrentResult() != m_shown) Render();
}

void TReturnTableWindow::showEvent(QShowEvent* event) {
    Render();
    QWidget::showEvent(event);
}

void TReturnTableWindow::Render() {
    const TExactJob::TResult* result = m_analysis.CurrentResult();
    m_shown = result;
    if (!result) {
        m_title->setText(
            "Точного расчета для этой конструкции нет: нажмите \"точный расчет\" в окне "
            "проверки выгодности.");
        m_table->setRowCount(0);
        return;
    }
    const TExactFigures& f = result->Figures;
    m_title->setText(QtText("Исходы раздач по точному расчету, " + ExactMoText(f.MoPercent) +
                            ". Вероятность — доля всех раздач с этим исходом; вклад — сколько "
                            "он приносит игроку в среднем за раздачу (сумма вкладов — "
                            "средний результат, минус MO)."));
    m_table->setRowCount(static_cast<int>(f.Returns.size()) + 1);
    long double probability = 0;
    long double contribution = 0;
    int row = 0;
    for (const TExactFigures::TReturnRow& r : f.Returns) {
        m_table->setItem(row, 0, Cell(QtText(KindCaption(r.Kind)), false));
        m_table->setItem(row, 1, Cell(QtText(OutcomeCaption(r.Outcome)), false));
        m_table->setItem(row, 2, FigureCell(r.Probability * 100));
        m_table->setItem(row, 3, FigureCell(r.Contribution));
        probability += r.Probability;
        contribution += r.Contribution;
        ++row;
    }
    QFont bold = m_table->font();
    bold.setBold(true);
    const QList<QTableWidgetItem*> total = {Cell("всего", false), Cell(QString(), false),
                                            FigureCell(probability * 100),
                                            FigureCell(contribution)};
    for (int column = 0; column < total.size(); ++column) {
        total[column]->setFont(bold);
        m_table->setItem(row, column, total[column]);
    }
}

}  // namespace studlab
