#include "profit/ui/strategy_window.h"

#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <fstream>
#include <vector>

#include "cards/card_list.h"
#include "cards/hand_classification.h"
#include "design/design_rules.h"
#include "profit/exact/exact_figures.h"
#include "profit/exact/strategy.h"
#include "profit/ui/exact_analysis.h"
#include "profit/ui/strategy_picture.h"
#include "text/number_text.h"
#include "widgets/controls.h"
#include "widgets/dialogs.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr int kWatchMilliseconds = 300;
// Room around a cell's text: Qt's own margins and a little air.
constexpr int kCellPadding = 10;
constexpr int kRowPadding = 6;
// The cell of a valued hand, in percent of its colour's darkness.
constexpr int kMarkDarker = 170;

QString Text(std::string_view text) {
    return QtText(text);
}

// The hint of a cell: where it is, and every action offered there with its mean value and how
// often the play takes it.
QString CellHint(const TStrategyGrid& grid, int row, int column, bool byDealerCard) {
    const TStrategyCell cell = StrategyCellOf(grid, row, column);
    QString hint = Text(StrategyRowCaption(row));
    if (byDealerCard) hint += ", у дилера " + Text(StrategyColumnCaption(column));
    if (cell.Empty) return hint + "\nтаких раскладов нет";
    std::int64_t layouts = 0;
    for (int a = 0; a < kFirstActions; ++a)
        layouts += grid.At(row, column, static_cast<TFirstAction>(a)).Taken;
    hint += "\nсреднее значение действий, анте:";
    for (int a = 0; a < kFirstActions; ++a) {
        if (!cell.Offered[static_cast<std::size_t>(a)]) continue;
        const auto action = static_cast<TFirstAction>(a);
        hint += "\n" + Text(FirstActionCaption(action)) + ": " +
                Text(FormatAmount(cell.MeanValue[static_cast<std::size_t>(a)]));
        const std::int64_t taken = grid.At(row, column, action).Taken;
        if (taken > 0 && layouts > 0) {
            const long double share = static_cast<long double>(taken) * 100 / layouts;
            hint += "  (выбрано в " + Text(FormatNumber(std::round(share * 10) / 10)) + " %)";
        }
    }
    return hint;
}

QString LegendHtml(const std::vector<TFirstAction>& actions) {
    QString html;
    for (TFirstAction a : actions) {
        html +=
            QString(
                "<span style=\"background-color:%1; color:black;\">&nbsp;%2&nbsp;</span>"
                "&nbsp;&nbsp;")
                .arg(StrategyActionColour(a).name(), Text(FirstActionCaption(a)).toHtmlEscaped());
    }
    return html;
}

QTableWidgetItem* PlainItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TStrategyWindow::TStrategyWindow(TGameDesign& design, const TCalculationSettings& settings,
                                 const TDecisionTable& table, TExactAnalysis& analysis,
                                 IDialogs& dialogs)
    : QWidget(nullptr, Qt::Window),
      m_design(design),
      m_settings(settings),
      m_table(table),
      m_analysis(analysis),
      m_dialogs(dialogs),
      m_handSettings(settings),
      m_handTable(design, m_handSettings) {
    setObjectName("StrategyWindow");
    setWindowTitle("стратегия игры");
    PaintWindow(this, kTealBackground);
    setFont(CaptionFont(12));
    // As tall as a common screen allows; on a smaller one the window is made to fit (the grid
    // scrolls) and it can be made smaller still.
    resize(1250, 940);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    auto* statusRow = new QHBoxLayout();
    m_status = NewLabel(this, "StrategyStatus", QString());
    m_status->setWordWrap(true);
    m_status->setFont(CaptionFont(13, true));
    statusRow->addWidget(m_status, 1);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("StrategyProgress");
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedWidth(200);
    statusRow->addWidget(m_progress);
    m_calculate = NewButton(this, "StrategyCalculate", "рассчитать", QRect());
    m_calculate->setFixedWidth(130);
    connect(m_calculate, &QPushButton::clicked, &m_analysis, &TExactAnalysis::Start);
    statusRow->addWidget(m_calculate);
    m_stop = NewButton(this, "StrategyStop", "СТОП", QRect());
    m_stop->setFixedWidth(130);
    connect(m_stop, &QPushButton::clicked, &m_analysis, &TExactAnalysis::Stop);
    statusRow->addWidget(m_stop);
    layout->addLayout(statusRow);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName("StrategyGrid");
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The cell of a valued hand is marked by a darker colour, not a selection that would hide the
    // action's colour.
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFont(CaptionFont(kStrategyCellFontPixels));
    m_grid->setWordWrap(true);
    m_grid->verticalHeader()->setDefaultSectionSize(kStrategyRowHeight);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setFont(CaptionFont(13, true));
    m_grid->verticalHeader()->setFont(CaptionFont(11, true));
    m_grid->setStyleSheet("QTableWidget { gridline-color: #607070; }");
    layout->addWidget(m_grid, 1);

    m_legend = NewLabel(this, "StrategyLegend", QString());
    m_legend->setFont(CaptionFont(12, true));
    m_legend->setTextFormat(Qt::RichText);
    layout->addWidget(m_legend);

    auto* handRow = new QHBoxLayout();
    QLabel* handLabel =
        NewLabel(this, "HandLabel", "расклад (пять карт игрока, затем открытые карты дилера):");
    handRow->addWidget(handLabel);
    m_hand = new QLineEdit(this);
    m_hand->setObjectName("HandEdit");
    m_hand->setFont(CaptionFont(13, true));
    m_hand->setPlaceholderText("например: Ah Ac Kd 9s 7h 2s   или   A черви, A треф, ...");
    m_hand->setToolTip(
        "карты по именам (\"A черви, 10 пик\") или коротко (Ah Tc 10c 9s Qd; h — черви, c — "
        "треф, d — буби, s — пик); первые пять — игрока, остальные — открытые карты дилера");
    connect(m_hand, &QLineEdit::returnPressed, this, &TStrategyWindow::EvaluateHand);
    handRow->addWidget(m_hand, 1);
    QPushButton* evaluate = NewButton(this, "EvaluateHand", "оценить", QRect());
    evaluate->setFixedWidth(110);
    connect(evaluate, &QPushButton::clicked, this, &TStrategyWindow::EvaluateHand);
    handRow->addWidget(evaluate);
    layout->addLayout(handRow);

    m_handChoice = NewLabel(this, "HandChoice", QString());
    m_handChoice->setWordWrap(true);
    m_handChoice->setFont(CaptionFont(13, true));
    layout->addWidget(m_handChoice);
    m_handValues = new QTableWidget(0, 2, this);
    m_handValues->setObjectName("HandValues");
    m_handValues->setHorizontalHeaderLabels({"действие", "значение, анте"});
    m_handValues->verticalHeader()->hide();
    m_handValues->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_handValues->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_handValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_handValues->setFont(CaptionFont(13));
    m_handValues->setFixedHeight(130);
    layout->addWidget(m_handValues);

    auto* buttons = new QHBoxLayout();
    m_saveCsv = NewButton(this, "SaveCsv", "сохранить CSV", QRect());
    connect(m_saveCsv, &QPushButton::clicked, this,
            [this] { Save("csv", &TStrategyWindow::SaveCsv); });
    m_savePng = NewButton(this, "SavePng", "сохранить PNG", QRect());
    connect(m_savePng, &QPushButton::clicked, this,
            [this] { Save("png", &TStrategyWindow::SavePng); });
    QPushButton* close = NewButton(this, "StrategyClose", "закрыть", QRect());
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* button : {m_saveCsv, m_savePng}) {
        button->setFixedWidth(150);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    close->setFixedWidth(120);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    m_watch.setInterval(kWatchMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &TStrategyWindow::Render);
    connect(&m_analysis, &TExactAnalysis::Changed, this, [this] {
        if (isVisible()) Render();
    });
    CentreOnDesktop(this);
    Render();
}

void TStrategyWindow::showEvent(QShowEvent* event) {
    // Asked for the strategy of a design that has none yet: it is worked out now. A stopped or
    // refused analysis is not started again behind the user's back.
    const TExactStatus status = m_analysis.Status();
    if (status == TExactStatus::esNone || status == TExactStatus::esStale) m_analysis.Start();
    Render();
    m_watch.start();
    QWidget::showEvent(event);
}

void TStrategyWindow::hideEvent(QHideEvent* event) {
    m_watch.stop();
    QWidget::hideEvent(event);
}

void TStrategyWindow::Render() {
    const TExactStatus status = m_analysis.Status();
    const bool running = status == TExactStatus::esRunning;
    const TExactJob::TResult* result = m_analysis.CurrentResult();
    m_progress->setVisible(running);
    m_stop->setVisible(running);
    m_calculate->setVisible(!running && !result);
    m_saveCsv->setEnabled(result != nullptr);
    m_savePng->setEnabled(result != nullptr);

    // A valued hand stays only while the design and settings it was valued for do.
    if (!m_handFingerprint.empty() && m_fingerprint.Of(m_design, m_settings) != m_handFingerprint)
        ShowHandMessage(QString());
    if (!result) {
        if (!m_shownFingerprint.empty()) ClearGrid();
    } else if (result->Fingerprint != m_shownFingerprint) {
        // A hand valued for the design shown before belongs to it, not to this one.
        if (!m_shownFingerprint.empty()) ShowHandMessage(QString());
        FillGrid(result->Sums.Strategy, result->DealerOpenCards == 1);
        m_shownFingerprint = result->Fingerprint;
    }

    std::string text;
    switch (status) {
        case TExactStatus::esDone:
            text = "Первое решение по точному расчету этой конструкции (" +
                   ExactMoText(result->Figures.MoPercent) + "): строки — стартовые руки, " +
                   (m_byDealerCard ? "столбцы — открытая карта дилера. "
                                   : "для всех карт дилера вместе. ") +
                   "Доля — как часто решение принимается, если оно зависит не только от "
                   "клетки; наведите мышь на клетку, чтобы увидеть значения всех действий.";
            break;
        case TExactStatus::esRunning: {
            const TExactProgress p = m_analysis.Progress();
            m_progress->setValue(
                p.ClassesTotal > 0 ? static_cast<int>(p.ClassesDone * 1000 / p.ClassesTotal) : 0);
            text = "Идет точный расчет: перебираются все раздачи";
            if (p.SecondsLeft > 0) text += ", осталось ~" + DurationText(p.SecondsLeft);
            text += ".";
            if (!m_analysis.RunningForCurrentDesign())
                text += " " + ChangedText(m_analysis.ChangedSinceStart()) +
                        " после запуска: нажмите \"СТОП\".";
            break;
        }
        case TExactStatus::esStopped:
            text =
                "Точный расчет остановлен кнопкой \"СТОП\": стратегии нет. Нажмите "
                "\"рассчитать\".";
            break;
        case TExactStatus::esRefused:
            text = m_analysis.Reason();
            break;
        case TExactStatus::esFailed:
            text = "Точный расчет прерван: " + m_analysis.Reason();
            break;
        case TExactStatus::esStale:
        case TExactStatus::esNone:
            text =
                "Для этой конструкции точного расчета нет: нажмите \"рассчитать\", стратегия "
                "получится из него.";
            break;
    }
    m_status->setText(Text(text));
}

void TStrategyWindow::FillGrid(const TStrategyGrid& grid, bool byDealerCard) {
    m_byDealerCard = byDealerCard;
    m_markedRow = -1;
    m_markedColumn = -1;
    const int columns = byDealerCard ? kStrategyColumns : 1;
    m_grid->clear();
    m_grid->setRowCount(kStrategyRows);
    m_grid->setColumnCount(columns);
    QStringList rowCaptions;
    for (int r = 0; r < kStrategyRows; ++r) rowCaptions << Text(StrategyRowCaption(r));
    m_grid->setVerticalHeaderLabels(rowCaptions);
    QStringList columnCaptions;
    for (int c = 0; c < columns; ++c) columnCaptions << StrategyColumnText(c, byDealerCard);
    m_grid->setHorizontalHeaderLabels(columnCaptions);

    for (int r = 0; r < kStrategyRows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const TStrategyCell cell = StrategyCellOf(grid, r, c);
            QTableWidgetItem* item = PlainItem(StrategyCellText(cell));
            item->setTextAlignment(Qt::AlignCenter);
            item->setBackground(StrategyCellColour(cell));
            item->setForeground(Qt::black);
            item->setToolTip(CellHint(grid, r, c, byDealerCard));
            m_grid->setItem(r, c, item);
        }
    }
    m_legend->setText(LegendHtml(StrategyActionsShown(grid, columns)));
    SizeCells();
    FitWidthToGrid();
}

void TStrategyWindow::SizeCells() {
    const int available = RoomOnScreen(this).width();
    for (const int pixels : {kStrategyCellFontPixels, kStrategyCellFontPixels - 1}) {
        const QFont font = CaptionFont(pixels);
        const QFontMetrics metrics(font);
        int width = QFontMetrics(m_grid->horizontalHeader()->font())
                        .horizontalAdvance(m_byDealerCard ? "10" : "любые карты дилера");
        for (int r = 0; r < m_grid->rowCount(); ++r) {
            for (int c = 0; c < m_grid->columnCount(); ++c) {
                for (const QString& line : m_grid->item(r, c)->text().split('\n'))
                    width = std::max(width, metrics.horizontalAdvance(line));
            }
        }
        // A caption wider than "купить карту" ("забиться со страховкой") wraps onto a second
        // line, in taller rows: thirteen columns of it would not fit a screen.
        const int oneLine = m_byDealerCard ? metrics.horizontalAdvance("купить карту") : width;
        const int lines = width > oneLine ? 3 : 2;
        m_grid->setFont(font);
        m_grid->verticalHeader()->setDefaultSectionSize(
            std::max(kStrategyRowHeight, lines * metrics.lineSpacing() + kRowPadding));
        for (int c = 0; c < m_grid->columnCount(); ++c)
            m_grid->setColumnWidth(c, std::min(width, oneLine) + kCellPadding);
        // A smaller type when the columns would not fit the screen.
        if (WindowWidthForGrid() <= available) break;
    }
}

int TStrategyWindow::WindowWidthForGrid() {
    int gridWidth = m_grid->verticalHeader()->sizeHint().width() + 2 * m_grid->frameWidth() +
                    m_grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < m_grid->columnCount(); ++c) gridWidth += m_grid->columnWidth(c);
    if (QLayout* layout = this->layout()) layout->activate();
    return width() - m_grid->width() + gridWidth;
}

void TStrategyWindow::FitWidthToGrid() {
    const int wanted = std::min(WindowWidthForGrid(), RoomOnScreen(this).width());
    if (wanted <= width()) return;
    resize(wanted, height());
    // Widened, it stays on the screen.
    FitOnScreen(this);
}

void TStrategyWindow::MarkCell(int row, int column) {
    if (QTableWidgetItem* marked = m_grid->item(m_markedRow, m_markedColumn)) {
        marked->setBackground(m_markedBrush);
        marked->setForeground(Qt::black);
    }
    m_markedRow = row;
    m_markedColumn = column;
    if (QTableWidgetItem* item = m_grid->item(row, column)) {
        m_markedBrush = item->background();
        // Darker, with white text: a bold face would not fit the column.
        item->setBackground(m_markedBrush.color().darker(kMarkDarker));
        item->setForeground(Qt::white);
    }
}

void TStrategyWindow::ClearGrid() {
    m_grid->clear();
    m_grid->setRowCount(0);
    m_grid->setColumnCount(0);
    m_legend->clear();
    m_shownFingerprint.clear();
    m_markedRow = -1;
    m_markedColumn = -1;
    // The valued hand and its cell went with the grid of the design they belonged to.
    ShowHandMessage(QString());
}

void TStrategyWindow::ShowHandMessage(const QString& message) {
    m_handChoice->setText(message);
    m_handValues->setRowCount(0);
    m_handFingerprint.clear();
}

void TStrategyWindow::EvaluateHand() {
    std::vector<TCardId> cards;
    try {
        cards = ParseCardList(m_hand->text().toStdString());
    } catch (const TCardListError& e) {
        ShowHandMessage(Text(e.Problem == TCardListError::TProblem::pcUnknownCard
                                 ? "«" + e.Token +
                                       "» — не карта: пишите карты так: Ah Kc 8d 5s 3h 9s "
                                       "(h черви, c трефы, d бубны, s пики; T или 10 — десятка)"
                                 : "Карта " + e.Token + " дана дважды"));
        return;
    }
    if (cards.size() < 5) {
        ShowHandMessage("Нужны пять карт игрока, а за ними открытые карты дилера.");
        return;
    }
    const std::vector<TCardId> player(cards.begin(), cards.begin() + 5);
    const std::vector<TCardId> dealer(cards.begin() + 5, cards.end());
    const std::string& open = m_design.DealerOpenCards;
    if (std::to_string(dealer.size()) != open) {
        ShowHandMessage(Text("В конструкции открытых карт дилера \"" + open + "\", а дано " +
                             std::to_string(dealer.size()) + "."));
        return;
    }

    // The hand is laid out as on the decision window, with the game's settings as they stand
    // but without the cache, and "РЕШЕНИЕ" pressed.
    m_handSettings = m_settings;
    m_handSettings.UseCacheTable = false;
    m_handTable.SetGameName(m_table.GameName().value_or("стратегия игры"));
    try {
        m_handTable.SelectGame(std::nullopt);
        if (!m_handTable.EntryOpen()) {
            ShowHandMessage(LabelText(m_handTable.View().Prompt));
            return;
        }
        for (TCardId id : dealer) m_handTable.ClickCard(id);
        for (TCardId id : player) m_handTable.ClickCard(id);
        m_handTable.Decide();
    } catch (const std::exception& e) {
        ShowHandMessage(Text(e.what()));
        return;
    }

    const TCandidateTable& candidates = m_handTable.State().Candidates;
    const int best = candidates.Best();
    m_handValues->setRowCount(0);
    for (int i = 1; i <= TCandidateTable::kCapacity; ++i) {
        const TCandidateTable::TSlot& slot = candidates.Slot(i);
        if (slot.Text.empty()) continue;
        const int row = m_handValues->rowCount();
        m_handValues->insertRow(row);
        QTableWidgetItem* caption = PlainItem(Text(slot.Text).trimmed());
        QTableWidgetItem* value = PlainItem(Text(FormatAmountText(slot.Value)));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (i == best) {
            QFont bold = m_handValues->font();
            bold.setBold(true);
            caption->setFont(bold);
            value->setFont(bold);
        }
        m_handValues->setItem(row, 0, caption);
        m_handValues->setItem(row, 1, value);
    }

    // The cell of the grid the hand belongs to.
    QString choice =
        "решение: " + LabelText(m_handTable.View().Prompt).replace('\n', ' ').simplified();
    try {
        const TCardTable hand = TableOf(player);
        const TCountingRules counting = MakeEvalRules(m_design, m_settings).Counting;
        const TCombinationKind kind = ClassifyHand(hand, counting.Plays, counting.RoundStraight);
        const int row = StrategyRowOf(hand, kind);
        const int column = m_byDealerCard ? StrategyColumnOf(TableOf(dealer)) : 0;
        if (row < m_grid->rowCount() && column < m_grid->columnCount()) {
            MarkCell(row, column);
            m_grid->setCurrentCell(row, column);
            m_grid->scrollToItem(m_grid->item(row, column));
            choice += "   (клетка \"" + Text(StrategyRowCaption(row));
            if (m_byDealerCard) choice += ", у дилера " + Text(StrategyColumnCaption(column));
            choice += "\": " + m_grid->item(row, column)->text().replace('\n', ' ') + ")";
        }
    } catch (const std::exception&) {
        // A number of the design that does not convert: the decision said so already.
    }
    m_handChoice->setText(choice);
    m_handFingerprint = m_fingerprint.Of(m_design, m_settings);
}

bool TStrategyWindow::SaveCsv(const QString& path) const {
    const TExactJob::TResult* result = m_analysis.CurrentResult();
    if (!result) return false;
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    WriteStrategyCsv(result->Sums.Strategy, result->DealerOpenCards == 1, out);
    out.close();
    return static_cast<bool>(out);
}

QImage TStrategyWindow::GridPicture() const {
    const TExactJob::TResult* result = m_analysis.CurrentResult();
    if (!result) return QImage();
    return StrategyGridPicture(result->Sums.Strategy, result->DealerOpenCards == 1,
                               result->Figures.MoPercent);
}

bool TStrategyWindow::SavePng(const QString& path) const {
    const QImage picture = GridPicture();
    return !picture.isNull() && picture.save(path, "PNG");
}

void TStrategyWindow::Save(const QString& suffix,
                           bool (TStrategyWindow::*save)(const QString&) const) {
    const QString filter = suffix == "csv" ? "таблицы (*.csv)" : "рисунки (*.png)";
    std::optional<QString> path = m_dialogs.SaveFileName(this, QDir::homePath(), filter, suffix);
    if (!path) return;
    *path = WithExtension(*path, suffix);
    if (!(this->*save)(*path)) m_dialogs.ShowError(this, "Не удалось записать файл " + *path);
}

}  // namespace studlab
