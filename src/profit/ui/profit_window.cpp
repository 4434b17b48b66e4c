#include "profit/ui/profit_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <exception>

#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(792, 546);
constexpr int kProgressHeight = 16;
// The window shows the running count after the first hand and then as often as an eye can
// follow it: thousands of hands are played a second, and drawing after each would slow them.
constexpr qint64 kMillisecondsPerRender = 40;

constexpr const char* kTableMaximumHint = "максимальная выплата в анте";

struct TLimitField {
    const char* Name;
    std::string TRunSettings::*Field;
};

// Cycle win target, cycle loss limit, whole-run loss limit, whole-run win limit.
constexpr std::array<TLimitField, 4> kLimitFields = {{{"Edit6", &TRunSettings::CycleWinTarget},
                                                      {"Edit7", &TRunSettings::CycleLossLimit},
                                                      {"Edit8", &TRunSettings::TotalLossLimit},
                                                      {"Edit9", &TRunSettings::TotalWinLimit}}};

QLabel* NewFigureLabel(QWidget* parent, const QString& name, QRect geometry) {
    QLabel* label = NewLabel(parent, name, QString());
    label->setGeometry(geometry);
    label->setFont(CaptionFont(28, true));
    label->hide();
    return label;
}

}  // namespace

TProfitWindow::TProfitWindow(TGame& game, IDialogs& dialogs)
    : QWidget(nullptr, kTitleWithoutCloseBox),
      m_profit(game.Profit),
      m_dialogs(dialogs),
      m_settings(game.Settings),
      m_runSettings(game.Profit.Settings()) {
    setObjectName("TForm4");
    setWindowTitle("проверка выгодности игры");
    resize(kClientSize);  // a resizable border
    PaintWindow(this, kTealBackground);
    setFont(CaptionFont(12));

    QLabel* banner =
        NewLabel(this, "Label1",
                 "Здесь можно узнать: нужно ли играть в эту игру, как в нее нужно играть, "
                 "сколько денег с собой брать ");
    banner->setFont(CaptionFont(18, true));
    banner->setWordWrap(true);
    banner->setAlignment(Qt::AlignCenter);
    banner->setGeometry(16, 4, 760, 56);
    QPalette bannerPalette = banner->palette();
    bannerPalette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::white);
    banner->setPalette(bannerPalette);
    banner->setEnabled(false);

    BuildTableData();
    BuildParameters();
    BuildMethod();
    BuildRunControls();
    BuildCycles();
    BuildNavigation();
    RefreshFromSettings();

    m_profit.ProcessPendingEvents = [] { QCoreApplication::processEvents(); };
    m_profit.Beep = [this] {
        if (!m_abandoned) m_dialogs.Beep();
    };
    m_profit.HandPlayed = [this] {
        if (m_sinceRender.isValid() && m_sinceRender.elapsed() < kMillisecondsPerRender) return;
        m_sinceRender.start();
        Render();
        emit RunProgressed();
    };

    RefuseCloseRequests(this);
    CentreOnDesktop(this);
    Render();
}

void TProfitWindow::BuildTableData() {
    // The table data are fixed: the whole group takes no input.
    QGroupBox* group = NewGroupBox(this, "GroupBox1", "данные стола", QRect(16, 66, 370, 112));
    group->setEnabled(false);
    const auto row = [&](const char* label, const char* edit, const char* text, int top,
                         const char* hint) {
        QLabel* caption = NewLabel(group, label, text);
        caption->setGeometry(12, top, 260, 22);
        caption->setToolTip(hint);
        QLineEdit* field = NewNumberField(group, edit, 70);
        field->move(280, top - 2);
        return std::pair{caption, field};
    };
    auto [maximumLabel, maximum] = row("Label2", "Edit1", "максимум стола", 24, kTableMaximumHint);
    maximum->setToolTip(kTableMaximumHint);
    maximum->setEnabled(false);
    row("Label3", "Edit2", "кол-во играющих боксов", 52, "при коллективной игре");
    auto [secondsLabel, seconds] = row("Label4", "Edit3", "среднее время одной раздачи", 80,
                                       "примерное время раздачи в секундах");
    seconds->setEnabled(false);
    m_settings.Text(
        maximum, [](TCalculationSettings & s) -> auto& { return s.TableMaximum; });
    m_settings.Text(
        group->findChild<QLineEdit*>("Edit2"),
        [](TCalculationSettings & s) -> auto& { return s.PlayingBoxes; });
    m_settings.Text(
        seconds, [](TCalculationSettings & s) -> auto& { return s.HandSeconds; });
}

void TProfitWindow::BuildParameters() {
    QGroupBox* group = NewGroupBox(this, "GroupBox2", "параметры", QRect(16, 186, 370, 112));
    QCheckBox* cache = NewCheckBox(group, "CheckBox2", "использовать табличные данные");
    cache->setGeometry(12, 22, 340, 24);
    QCheckBox* sameSequence = NewCheckBox(group, "CheckBox3", "одинаковая последовательность");
    sameSequence->setGeometry(12, 48, 340, 24);
    NewLabel(group, "Label5", "колличество циклов")->setGeometry(12, 80, 260, 22);
    QLineEdit* handCount = NewNumberField(group, "Edit4", 70);
    handCount->move(280, 78);
    m_settings.Flag(
        cache, [](TCalculationSettings & s) -> auto& { return s.UseCacheTable; });
    m_settings.Flag(
        sameSequence, [](TCalculationSettings & s) -> auto& { return s.SameSequence; });
    m_runSettings.Text(
        handCount, [](TRunSettings & s) -> auto& { return s.HandCount; });
}

void TProfitWindow::BuildMethod() {
    QGroupBox* group = NewGroupBox(this, "GroupBox3", "Метод расчета", QRect(406, 66, 370, 112));
    auto* direct = new QRadioButton("прямой метод", group);
    direct->setObjectName("RadioButton4");
    direct->setToolTip("решение с помощью перебора");
    direct->setGeometry(12, 22, 340, 24);
    auto* probabilistic = new QRadioButton("вероятностный метод", group);
    probabilistic->setObjectName("RadioButton5");
    probabilistic->setToolTip("случайным образом генерируются карты для двух и более обменов");
    probabilistic->setGeometry(12, 48, 340, 24);
    auto* methods = new QButtonGroup(group);
    methods->addButton(direct);
    methods->addButton(probabilistic);
    QLineEdit* draws = NewNumberField(group, "Edit5", 80);
    draws->setToolTip("введите колличество циклов");
    draws->move(32, 78);
    m_settings.Options<TCalcMethod>(
        methods, {{direct, TCalcMethod::cmDirect}, {probabilistic, TCalcMethod::cmProbabilistic}},
        [](TCalculationSettings & s) -> auto& { return s.CalcMethod; });
    m_settings.Text(
        draws, [](TCalculationSettings & s) -> auto& { return s.ProbabilisticCycles; });
}

void TProfitWindow::BuildRunControls() {
    // "расчет" and "СТОП" share one place; one of them shows at a time.
    m_calculate = NewButton(this, "Button2", "расчет", QRect(24, 312, 160, 34));
    connect(m_calculate, &QPushButton::clicked, this, &TProfitWindow::Calculate);
    m_stop = NewButton(this, "Button3", "СТОП", QRect(24, 312, 160, 34));
    connect(m_stop, &QPushButton::clicked, this, &TProfitWindow::Stop);

    m_handsHeader = NewLabel(this, "Label7", "раздач  результат");
    m_handsHeader->setGeometry(200, 304, 200, 22);
    m_handNumber = NewLabel(this, "Label8", QString());
    m_handNumber->setGeometry(200, 328, 80, 22);
    m_runTotal = NewLabel(this, "Label9", QString());
    m_runTotal->setGeometry(290, 328, 120, 22);

    m_message = NewLabel(this, "Label11", QString());
    m_message->setGeometry(24, 364, 390, 48);
    m_message->setWordWrap(true);
    QFont messageFont = CaptionFont(14, true);
    messageFont.setItalic(true);
    m_message->setFont(messageFont);

    m_statistics = NewButton(this, "Button4", "статистика", QRect(24, 420, 130, 30));
    connect(m_statistics, &QPushButton::clicked, this, &TProfitWindow::StatisticsWindowRequested);
    m_mo = NewFigureLabel(this, "Label6", QRect(164, 414, 260, 40));
    m_bank = NewButton(this, "Button6", "банк", QRect(24, 460, 130, 30));
    connect(m_bank, &QPushButton::clicked, this,
            [this] { Run([this] { m_profit.ComputeBank(); }); });
    m_bankFigure = NewFigureLabel(this, "Label10", QRect(164, 454, 260, 40));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName("ProgressBar1");
    m_progress->setTextVisible(false);
}

void TProfitWindow::BuildCycles() {
    QCheckBox* cycles = NewCheckBox(this, "CheckBox1", "циклы");
    cycles->setGeometry(430, 250, 120, 22);
    m_runSettings.Flag(
        cycles, [](TRunSettings & s) -> auto& { return s.CyclesMode; });
    QLabel* limitsHeader = NewLabel(this, "Label15", "   +          -        -   огр.  +");
    limitsHeader->setGeometry(430, 274, 220, 20);
    for (std::size_t i = 0; i < kLimitFields.size(); ++i) {
        QLineEdit* edit = NewNumberField(this, kLimitFields[i].Name, 46);
        edit->setToolTip(kTableMaximumHint);
        edit->move(430 + static_cast<int>(i) * 50, 296);
        m_runSettings.Text(
            edit, [field = kLimitFields[i].Field](TRunSettings & s) -> auto& { return s.*field; });
    }
    m_cyclesHeader = NewLabel(this, "Label12", "№ цикла   результат");
    m_cyclesHeader->setGeometry(430, 330, 200, 22);
    m_cycleCount = NewLabel(this, "Label13", QString());
    m_cycleCount->setGeometry(430, 354, 80, 22);
    m_cyclesTotal = NewLabel(this, "Label14", QString());
    m_cyclesTotal->setGeometry(520, 354, 120, 22);
}

void TProfitWindow::BuildNavigation() {
    for (const auto& [name, caption, top] : {std::tuple{"Button7", "Показать график", 420},
                                             std::tuple{"Button9", "стратегия игры", 460}}) {
        QPushButton* graph = NewButton(this, name, caption, QRect(440, top, 170, 30));
        graph->setEnabled(false);
        connect(graph, &QPushButton::clicked, this, &TProfitWindow::GraphWindowRequested);
    }
    QPushButton* start = NewButton(this, "Button1", "на начало", QRect(640, 420, 140, 30));
    connect(start, &QPushButton::clicked, this, &TProfitWindow::ConstructorRequested);
    QPushButton* layouts = NewButton(this, "Button5", "расклады", QRect(640, 460, 140, 30));
    connect(layouts, &QPushButton::clicked, this, &TProfitWindow::DecisionWindowRequested);
    QPushButton* exit = NewButton(this, "Button8", "выход", QRect(640, 494, 140, 30));
    connect(exit, &QPushButton::clicked, this, &TProfitWindow::ExitRequested);
}

void TProfitWindow::ShowCyclesControls() {
    for (const char* name : {"CheckBox1", "Label15", "Edit6", "Edit7", "Edit8", "Edit9"}) {
        if (QWidget* control = findChild<QWidget*>(name)) control->show();
    }
}

void TProfitWindow::Run(const std::function<void()>& command) {
    if (m_busy) return;
    m_busy = true;
    try {
        command();
    } catch (const std::exception& e) {
        m_dialogs.ShowError(this, QString::fromUtf8(e.what()));
    }
    m_busy = false;
    Render();
}

void TProfitWindow::Calculate() {
    if (m_busy || m_profit.Running()) return;
    m_abandoned = false;
    m_sinceRender.invalidate();
    Run([this] { m_profit.RunSimulation(); });
    emit RunEnded();
}

void TProfitWindow::Stop() {
    // Reaches a running simulation through its pending events; it stops before its next hand.
    m_profit.StopSimulation();
    Render();
}

void TProfitWindow::AbandonRun() {
    if (!m_profit.Running()) return;
    m_abandoned = true;
    m_profit.StopSimulation();
}

void TProfitWindow::RefreshFromSettings() {
    m_settings.Refresh();
    m_runSettings.Refresh();
}

void TProfitWindow::Render() {
    const TProfitView& view = m_profit.View();
    m_calculate->setVisible(view.CalculateVisible);
    m_stop->setVisible(view.StopVisible);
    m_progress->setMaximum(view.ProgressMaximum);
    m_progress->setValue(view.ProgressPosition);
    m_progress->setVisible(view.ProgressVisible);
    m_statistics->setVisible(view.StatisticsVisible);
    m_bank->setVisible(view.ComputeBankVisible);
    m_mo->setText(LabelText(view.MoText));
    m_mo->setVisible(view.MoVisible);
    m_bankFigure->setText(LabelText(view.BankText));
    m_bankFigure->setVisible(view.BankVisible);
    m_message->setText(LabelText(view.Message));
    m_handNumber->setText(LabelText(view.HandNumberText));
    m_runTotal->setText(LabelText(view.RunTotalText));
    for (QLabel* label : {m_handsHeader, m_handNumber, m_runTotal})
        label->setVisible(view.HandLabelsVisible);
    m_cycleCount->setText(LabelText(view.CycleCountText));
    m_cyclesTotal->setText(LabelText(view.CyclesTotalText));
    for (QLabel* label : {m_cyclesHeader, m_cycleCount, m_cyclesTotal})
        label->setVisible(view.CycleLabelsVisible);
}

void TProfitWindow::resizeEvent(QResizeEvent* event) {
    // The progress bar runs along the bottom edge whatever the window's size.
    m_progress->setGeometry(0, height() - kProgressHeight, width(), kProgressHeight);
    QWidget::resizeEvent(event);
}

}  // namespace studlab
