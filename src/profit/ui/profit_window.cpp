#include "profit/ui/profit_window.h"

#include <QAbstractButton>
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
#include <chrono>
#include <exception>
#include <vector>

#include "design/design_file.h"
#include "profit/ui/exact_panel.h"
#include "table/cache/decision_cache.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

// The run's controls and, under them, the group of the exact analysis.
constexpr QSize kClientSize(792, 702);
constexpr int kProgressHeight = 16;
// The window shows the running count after the first hand and then as often as an eye can
// follow it: thousands of hands are played a second, and drawing after each would slow them.
constexpr qint64 kMillisecondsPerRender = 40;
// The run's message: three lines above the figures; while no figures show, the place of the
// figures too, so that a long error is read whole.
constexpr int kMessageHeight = 50;
constexpr int kMessageHeightWithoutFigures = 134;
// The colour of figures that belong to an earlier state of the game, and of the warning.
constexpr const char* kOutdatedFigures = "color: #a8c8c8;";
constexpr const char* kWarningText = "color: #ffff80;";

constexpr const char* kTableMaximumHint = "максимальная выплата в анте";
// Measured on the standard game, one thread: 20,000 new hands take 1.3-1.6 s without the table
// and 5.3-6.4 s while it fills (every new decision is written to disk); hands whose decisions
// are stored take as long as without it.
constexpr const char* kCacheHint =
    "решения берутся из таблицы игры, новые записываются в нее; пока решений в таблице нет, "
    "расчет идет примерно в 4 раза дольше, чем без таблицы, а сохраненные берутся так же "
    "быстро, как считаются";
constexpr const char* kLookAheadHint =
    "покупка и обмен оцениваются лучшим решением после каждой карты, которая может прийти "
    "(пас, ставка или новый прикуп), а не ставкой после прикупа";

struct TLimitField {
    const char* Name;
    std::string TRunSettings::*Field;
    const char* Hint;
};

// Cycle win target, cycle loss limit, whole-run loss limit, whole-run win limit.
constexpr std::array<TLimitField, 4> kLimitFields = {
    {{"Edit6", &TRunSettings::CycleWinTarget, "выигрыш цикла в анте: на нем цикл кончается"},
     {"Edit7", &TRunSettings::CycleLossLimit,
      "проигрыш цикла в анте (со знаком минус): на нем цикл кончается"},
     {"Edit8", &TRunSettings::TotalLossLimit,
      "общий проигрыш циклов в анте (со знаком минус): на нем расчет кончается"},
     {"Edit9", &TRunSettings::TotalWinLimit,
      "общий выигрыш циклов в анте: на нем расчет кончается"}}};

QLabel* NewFigureLabel(QWidget* parent, const QString& name, QRect geometry) {
    QLabel* label = NewLabel(parent, name, QString());
    label->setGeometry(geometry);
    label->setFont(CaptionFont(28, true));
    label->hide();
    return label;
}

}  // namespace

TProfitWindow::TProfitWindow(TProfitCheck& profit, TDecisionTable& table, const TGameDesign& design,
                             TCalculationSettings& settings, IDialogs& dialogs,
                             TExactAnalysis& exact)
    : QWidget(nullptr, kTitleWithoutCloseBox),
      m_profit(profit),
      m_table(table),
      m_design(design),
      m_calculation(settings),
      m_dialogs(dialogs),
      m_settings(settings),
      m_runSettings(profit.Settings()) {
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
    BuildFixedCards();
    BuildExactAnalysis(exact);
    RefreshFromSettings();
    // A setting switched or typed here may leave the figures of the last run behind.
    for (QAbstractButton* box : findChildren<QAbstractButton*>()) {
        if (box->isCheckable())
            connect(box, &QAbstractButton::clicked, this, &TProfitWindow::Render);
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, this, &TProfitWindow::Render);

    m_profit.ProcessPendingEvents = [] { QCoreApplication::processEvents(); };
    m_profit.Beep = [this] {
        if (!m_abandoned) m_dialogs.Beep();
    };
    // The model reports a running run after its first hand and then as often as an eye can
    // follow it: thousands of hands are played a second, and drawing after each would slow them.
    m_profit.ProgressInterval = std::chrono::milliseconds(kMillisecondsPerRender);
    m_profit.Progressed = [this] {
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
        QLineEdit* field = NewNumberField(group, edit, 70, kDesignLineMaxChars);
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
    QGroupBox* group = NewGroupBox(this, "GroupBox2", "параметры", QRect(16, 186, 370, 164));
    QCheckBox* cache = NewCheckBox(group, "CheckBox2", "использовать табличные данные");
    cache->setGeometry(12, 22, 340, 24);
    cache->setToolTip(kCacheHint);
    QCheckBox* sameSequence = NewCheckBox(group, "CheckBox3", "одинаковая последовательность");
    sameSequence->setGeometry(12, 48, 246, 24);
    QLabel* seedLabel = NewLabel(group, "Label21", "зерно");
    seedLabel->setGeometry(262, 50, 40, 20);
    QLineEdit* seed = m_seed = NewNumberField(group, "Edit10", 58, kDesignLineMaxChars);
    seed->move(302, 48);
    const char* seedHint =
        "зерно случайных раздач: с ним расчет повторяется до последней цифры при любом числе "
        "потоков; пустое поле — зерно от часов";
    seed->setToolTip(seedHint);
    seedLabel->setToolTip(seedHint);
    NewLabel(group, "Label5", "колличество циклов")->setGeometry(12, 80, 260, 22);
    QLineEdit* handCount = NewNumberField(group, "Edit4", 70, kDesignLineMaxChars);
    handCount->move(280, 78);
    m_settings.Flag(
        cache, [](TCalculationSettings & s) -> auto& { return s.UseCacheTable; });
    m_settings.Flag(
        sameSequence, [](TCalculationSettings & s) -> auto& { return s.SameSequence; });
    m_runSettings.Text(
        handCount, [](TRunSettings & s) -> auto& { return s.HandCount; });
    m_runSettings.Text(
        seed, [](TRunSettings & s) -> auto& { return s.Seed; });
    // After the binding has set the flag: the fixed series takes no seed.
    connect(sameSequence, &QCheckBox::clicked, this, [this] { Render(); });

    QCheckBox* lookAhead = NewCheckBox(group, "CheckBox20", "с учётом решения после прикупа");
    lookAhead->setGeometry(12, 106, 340, 24);
    lookAhead->setToolTip(kLookAheadHint);
    m_settings.Flag(
        lookAhead, [](TCalculationSettings & s) -> auto& { return s.LookAhead; });
    connect(lookAhead, &QCheckBox::clicked, this, &TProfitWindow::SettingsChanged);

    m_clearCache = NewButton(group, "Button20", "очистить таблицу игры", QRect(12, 134, 200, 24));
    m_clearCache->setToolTip("удалить все решения текущей игры, сохраненные в ее таблице");
    connect(m_clearCache, &QPushButton::clicked, this, &TProfitWindow::ClearGameTable);
}

void TProfitWindow::ClearGameTable() {
    if (m_busy || m_profit.Running() || !m_table.GameName()) return;
    const std::string& game = *m_table.GameName();
    const QString quoted = QString::fromStdString("«" + game + "»");
    TDecisionCache& cache = m_table.Cache();
    try {
        const std::int64_t rows = cache.Info(game).Rows;
        if (rows == 0) {
            m_dialogs.ShowNotice(this, "В таблице игры " + quoted + " нет сохраненных решений.");
            return;
        }
        if (!m_dialogs.Confirm(this, "Удалить из таблицы игры " + quoted +
                                         " все сохраненные решения (" + QString::number(rows) +
                                         ")?"))
            return;
        cache.Clear(game);
        m_dialogs.ShowNotice(
            this, "Из таблицы игры " + quoted + " удалено решений: " + QString::number(rows) + ".");
    } catch (const std::exception& e) {
        m_dialogs.ShowError(this, QString::fromUtf8(e.what()));
    }
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
    QLineEdit* draws = NewNumberField(group, "Edit5", 80, kDesignLineMaxChars);
    draws->setToolTip("введите колличество циклов");
    draws->move(32, 78);
    m_draws = draws;
    m_drawsWarning = NewLabel(group, "Label19", QString());
    m_drawsWarning->setGeometry(120, 72, 244, 36);
    m_drawsWarning->setWordWrap(true);
    m_drawsWarning->setFont(CaptionFont(11, true));
    m_drawsWarning->setStyleSheet("color: #ffff80;");
    connect(draws, &QLineEdit::textChanged, this, &TProfitWindow::ShowDrawsWarning);
    m_settings.Options<TCalcMethod>(
        methods, {{direct, TCalcMethod::cmDirect}, {probabilistic, TCalcMethod::cmProbabilistic}},
        [](TCalculationSettings & s) -> auto& { return s.CalcMethod; });
    m_settings.Text(
        draws, [](TCalculationSettings & s) -> auto& { return s.ProbabilisticCycles; });
}

void TProfitWindow::BuildRunControls() {
    // "расчет" and "СТОП" share one place; one of them shows at a time.
    m_calculate = NewButton(this, "Button2", "расчет", QRect(24, 364, 160, 34));
    connect(m_calculate, &QPushButton::clicked, this, &TProfitWindow::Calculate);
    m_stop = NewButton(this, "Button3", "СТОП", QRect(24, 364, 160, 34));
    connect(m_stop, &QPushButton::clicked, this, &TProfitWindow::Stop);

    m_handsHeader = NewLabel(this, "Label7", "раздач  результат");
    m_handsHeader->setGeometry(200, 356, 200, 22);
    m_handNumber = NewLabel(this, "Label8", QString());
    m_handNumber->setGeometry(200, 380, 80, 22);
    m_runTotal = NewLabel(this, "Label9", QString());
    m_runTotal->setGeometry(290, 380, 120, 22);

    m_message = NewLabel(this, "Label11", QString());
    m_message->setGeometry(24, 404, 396, kMessageHeight);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont messageFont = CaptionFont(12, true);
    messageFont.setItalic(true);
    m_message->setFont(messageFont);

    m_statistics = NewButton(this, "Button4", "статистика", QRect(24, 460, 130, 30));
    connect(m_statistics, &QPushButton::clicked, this, &TProfitWindow::StatisticsWindowRequested);
    m_mo = NewFigureLabel(this, "Label6", QRect(164, 452, 256, 34));
    m_moInterval = NewLabel(this, "Label16", QString());
    m_moInterval->setGeometry(164, 484, 256, 18);
    m_moInterval->setFont(CaptionFont(12, true));
    m_moInterval->setToolTip(
        "MO с 95-процентным доверительным интервалом: истинное MO игры лежит в нем с "
        "вероятностью 95 %");
    m_bank = NewButton(this, "Button6", "банк", QRect(24, 508, 130, 30));
    connect(m_bank, &QPushButton::clicked, this,
            [this] { Run([this] { m_profit.ComputeBank(); }); });
    m_bankFigure = NewFigureLabel(this, "Label10", QRect(164, 504, 256, 34));

    m_risk = NewLabel(this, "Label17", QString());
    m_risk->setGeometry(24, 542, 600, 36);
    m_risk->setWordWrap(true);
    m_risk->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_risk->setFont(CaptionFont(12, true));
    m_risk->setToolTip(
        "σ — стандартное отклонение результата одной раздачи; элемент риска — проигрыш на "
        "единицу средней ставки (анте, бет и покупки); с собой — банк в анте, которого хватит "
        "на столько раздач с вероятностью 95 % и 99 %");

    // Which game the figures are for, as the window stands now.
    m_gameLine = NewLabel(this, "GameLine", QString());
    m_gameLine->setGeometry(430, 414, 346, 54);
    m_gameLine->setWordWrap(true);
    m_gameLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_gameLine->setFont(CaptionFont(12, true));

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
        QLineEdit* edit = NewNumberField(this, kLimitFields[i].Name, 46, kDesignLineMaxChars);
        edit->setToolTip(kLimitFields[i].Hint);
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

    QLabel* tableHands = NewLabel(this, "Label20", "раздач за столом");
    tableHands->setGeometry(430, 386, 130, 22);
    QLineEdit* tableHandsField = NewNumberField(this, "Edit11", 70, kDesignLineMaxChars);
    tableHandsField->move(566, 384);
    const char* tableHandsHint =
        "на сколько раздач за столом считать, сколько денег брать с собой; пустое поле — "
        "столько, сколько раздач в расчете";
    tableHands->setToolTip(tableHandsHint);
    tableHandsField->setToolTip(tableHandsHint);
    m_runSettings.Text(
        tableHandsField, [](TRunSettings & s) -> auto& { return s.BankrollHands; });
}

void TProfitWindow::BuildNavigation() {
    // "Показать график" opens the path of the last run, also while it goes on; "стратегия игры"
    // the strategy by the exact analysis of the design.
    m_graph = NewButton(this, "Button7", "Показать график", QRect(440, 472, 170, 30));
    m_graph->setEnabled(false);
    connect(m_graph, &QPushButton::clicked, this, &TProfitWindow::GraphWindowRequested);
    QPushButton* strategy = NewButton(this, "Button9", "стратегия игры", QRect(440, 508, 170, 30));
    strategy->setToolTip(
        "как играть: первое решение по стартовым рукам и открытой карте дилера, по точному "
        "расчету");
    connect(strategy, &QPushButton::clicked, this, &TProfitWindow::StrategyWindowRequested);
    QPushButton* solver =
        NewButton(this, "PaySolverButton", "подбор выплат", QRect(656, 250, 120, 28));
    solver->setToolTip("выплаты выбранных комбинаций, при которых точное MO ближе всего к цели");
    connect(solver, &QPushButton::clicked, this, &TProfitWindow::PaySolverWindowRequested);
    QPushButton* report =
        NewButton(this, "GameReportButton", "отчет по игре", QRect(656, 286, 120, 28));
    report->setToolTip("отчет для казино и регулятора: правила и показатели игры, в PDF");
    connect(report, &QPushButton::clicked, this, &TProfitWindow::ReportWindowRequested);
    QPushButton* start = NewButton(this, "Button1", "на начало", QRect(640, 472, 140, 30));
    connect(start, &QPushButton::clicked, this, &TProfitWindow::ConstructorRequested);
    QPushButton* layouts = NewButton(this, "Button5", "расклады", QRect(640, 512, 140, 30));
    connect(layouts, &QPushButton::clicked, this, &TProfitWindow::DecisionWindowRequested);
    QPushButton* exit = NewButton(this, "Button8", "выход", QRect(640, 546, 140, 30));
    connect(exit, &QPushButton::clicked, this, &TProfitWindow::ExitRequested);
}

void TProfitWindow::BuildFixedCards() {
    m_fixedCards = NewLabel(this, "Label18", QString());
    m_fixedCards->setGeometry(406, 182, 370, 38);
    m_fixedCards->setWordWrap(true);
    m_fixedCards->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_fixedCards->setFont(CaptionFont(12, true));
    m_fixedCards->setStyleSheet("color: #ffff80;");
    m_releaseFixed =
        NewButton(this, "Button10", "играть без фиксированных карт", QRect(406, 220, 250, 26));
    connect(m_releaseFixed, &QPushButton::clicked, this, [this] {
        if (m_profit.Running()) return;
        m_profit.ReleaseFixedCards();
        Render();
        emit FixedCardsReleased();
    });
}

void TProfitWindow::BuildExactAnalysis(TExactAnalysis& exact) {
    // Under the window's first controls, across the window.
    auto* panel = new TExactPanel(exact, this);
    panel->setGeometry(16, 584, 760, 98);
    connect(panel, &TExactPanel::ReturnTableRequested, this,
            &TProfitWindow::ReturnTableWindowRequested);
}

void TProfitWindow::ShowDrawsWarning() {
    m_drawsWarning->setText(
        QString::fromStdString(ProbabilisticCyclesWarning(m_draws->text().toStdString())));
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
    m_runBasis =
        TRunBasis{m_table.GameName(), m_design, m_calculation, m_profit.FixedCardsNotice()};
    const TTableState before = m_table.State();
    Run([this] { m_profit.RunSimulation(); });
    const bool replaced = !(m_table.State() == before);
    // The run's decisions may not have been stored in the game's table: said once.
    if (const std::optional<std::string> notice = m_table.Cache().TakeNotice())
        m_dialogs.ShowNotice(this, QString::fromStdString(*notice));
    emit RunEnded();
    if (replaced) emit TableHandReplaced();
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
    ShowDrawsWarning();
    Render();
}

std::string TProfitWindow::ChangedSinceRun() const {
    if (!m_runBasis) return {};
    std::vector<std::string> changed;
    if (m_table.GameName() != m_runBasis->Game) {
        changed.push_back("игры");
    } else if (m_design != m_runBasis->Design) {
        changed.push_back("конструкции");
    }
    // Settings that change no figure: the cache, the repeated sequence, the seconds per hand.
    TCalculationSettings settings = m_calculation;
    settings.UseCacheTable = m_runBasis->Settings.UseCacheTable;
    settings.SameSequence = m_runBasis->Settings.SameSequence;
    settings.HandSeconds = m_runBasis->Settings.HandSeconds;
    if (settings != m_runBasis->Settings) changed.push_back("настроек расчета");
    if (m_profit.FixedCardsNotice() != m_runBasis->FixedCards)
        changed.push_back("фиксированных карт");
    std::string text;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (i > 0) text += i + 1 == changed.size() ? " и " : ", ";
        text += changed[i];
    }
    return text;
}

void TProfitWindow::RenderGameLine() {
    const std::optional<std::string> game = m_table.GameName();
    std::string line;
    if (!game) {
        line = "Игра не выбрана: окно раскладов, меню «опции», «выбрать игру».";
    } else {
        line = "Игра «" + *game + "»";
        line += DesignEdited && DesignEdited()
                    ? ", конструкция изменена после сохранения или загрузки."
                    : ", конструкция как при сохранении или загрузке.";
    }
    m_gameLine->setText(QString::fromStdString(line));
}

void TProfitWindow::Render() {
    const TProfitView& view = m_profit.View();
    RenderGameLine();
    m_calculate->setVisible(view.CalculateVisible);
    m_stop->setVisible(view.StopVisible);
    m_progress->setMaximum(view.ProgressMaximum);
    m_progress->setValue(view.ProgressPosition);
    m_progress->setVisible(view.ProgressVisible);
    m_statistics->setVisible(view.StatisticsVisible);
    m_bank->setVisible(view.ComputeBankVisible);
    m_mo->setText(LabelText(view.MoText));
    m_mo->setVisible(view.MoVisible);
    m_moInterval->setText(LabelText(view.MoIntervalText));
    m_moInterval->setVisible(view.MoVisible);
    m_risk->setText(LabelText(view.RiskText));
    m_risk->setVisible(view.MoVisible);
    m_graph->setEnabled(view.GraphEnabled);
    const QString fixed = QString::fromStdString(m_profit.FixedCardsNotice());
    m_fixedCards->setText(fixed);
    m_fixedCards->setVisible(!fixed.isEmpty());
    m_releaseFixed->setVisible(!fixed.isEmpty());
    m_releaseFixed->setEnabled(!m_profit.Running());
    m_clearCache->setEnabled(m_table.GameName().has_value() && !m_profit.Running());
    // The fixed series has no seed.
    m_seed->setEnabled(!m_calculation.SameSequence);
    m_bankFigure->setText(LabelText(view.BankText));
    m_bankFigure->setVisible(view.BankVisible);
    // Figures of a run stay on screen after the game they came from has changed: then they are
    // greyed and the message says what changed.
    const bool figures = view.MoVisible || view.BankVisible;
    const std::string changed = figures && !m_profit.Running() ? ChangedSinceRun() : std::string();
    for (QLabel* label : {m_mo, m_moInterval, m_risk, m_bankFigure})
        label->setStyleSheet(changed.empty() ? QString() : kOutdatedFigures);
    if (changed != m_outdated) {
        m_outdated = changed;
        emit FiguresOutdated(QString::fromStdString(changed));
    }
    if (changed.empty()) {
        m_message->setText(LabelText(view.Message));
        m_message->setStyleSheet(QString());
    } else {
        m_message->setText(QString::fromStdString(
            "MO, банк и риск ниже получены до смены " + changed +
            ": к игре, как она сейчас, они не относятся. Нажмите «расчет» снова."));
        m_message->setStyleSheet(kWarningText);
    }
    const bool below =
        view.MoVisible || view.StatisticsVisible || view.ComputeBankVisible || view.BankVisible;
    m_message->resize(m_message->width(), below ? kMessageHeight : kMessageHeightWithoutFigures);
    m_handNumber->setText(LabelText(view.HandNumberText));
    m_runTotal->setText(LabelText(view.RunTotalText));
    for (QLabel* label : {m_handsHeader, m_handNumber, m_runTotal})
        label->setVisible(view.HandLabelsVisible);
    m_cycleCount->setText(LabelText(view.CycleCountText));
    m_cyclesTotal->setText(LabelText(view.CyclesTotalText));
    for (QLabel* label : {m_cyclesHeader, m_cycleCount, m_cyclesTotal})
        label->setVisible(view.CycleLabelsVisible);
}

void TProfitWindow::showEvent(QShowEvent* event) {
    // The fix marks may have changed in the decision window meanwhile.
    Render();
    QWidget::showEvent(event);
}

void TProfitWindow::resizeEvent(QResizeEvent* event) {
    // The progress bar runs along the bottom edge whatever the window's size.
    m_progress->setGeometry(0, height() - kProgressHeight, width(), kProgressHeight);
    QWidget::resizeEvent(event);
}

}  // namespace studlab
