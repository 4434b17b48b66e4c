#include "table/ui/decision_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <algorithm>
#include <exception>

#include "table/cache/decision_cache.h"
#include "table/ui/candidate_lists.h"
#include "table/ui/table_geometry.h"
#include "text/number_text.h"
#include "widgets/card_pictures.h"
#include "widgets/clickable_label.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(839, 562);
constexpr const char* kNewLayoutCaption = "новый расклад";
constexpr const char* kLookAheadCaption = "с учётом решения после прикупа";
// After a choice that the game's table served rather than computed.
constexpr const char* kFromCacheMark = " (из таблицы)";
constexpr const char* kFromStrategyMark = " (из стратегии)";
// A game chosen in the constructor lays out no hand by itself.
constexpr const char* kChosenGamePrompt =
    "Игра выбрана: нажмите «новый расклад» (клавиша N), затем кладите карты щелчками.";
// Under the prompt of a hand that a profitability run left on the table.
constexpr const char* kRunsHandMark = "\r(на столе последняя раздача расчета выгодности)";

// The candidate lists stand right of the slots and above the prompt. Their font is as large as
// lets the lines fit there; a list too long even for the smallest font reaches further down,
// under the prompt and the deck, and the list window shows it whole.
constexpr QRect kListArea(582, 4, 253, 328);
constexpr int kLargestListFont = 15;
constexpr int kSmallestListFont = 11;
constexpr int kListPadding = 6;
constexpr int kListGap = 14;  // between the longest caption and the values

}  // namespace

TDecisionWindow::TDecisionWindow(TDecisionTable& table, TCalculationSettings& settings,
                                 IDialogs& dialogs)
    : QMainWindow(nullptr, kTitleWithoutCloseBox),
      m_table(table),
      m_settings(settings),
      m_dialogs(dialogs) {
    setObjectName("TForm8");
    setWindowTitle("решения по раскладам");
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);
    SetFixedClientSize(this, kClientSize);
    PaintWindow(client, kGreenBackground);
    client->setFont(CaptionFont(12));
    BuildMenu();
    BuildTable(client);
    m_table.SetProcessPendingEvents([this] { HandlePendingEvents(); });

    RefuseCloseRequests(this);
    CentreOnDesktop(this);
    Render();
}

void TDecisionWindow::BuildMenu() {
    QMenu* options = menuBar()->addMenu("опции");
    options->setObjectName("N1");
    AddCommand(options, "N2", "выбрать игру", this, &TDecisionWindow::SelectGame);
    AddCommand(options, "N4", "конструктор покера", this, &TDecisionWindow::ConstructorRequested);
    AddCommand(options, "N5", kNewLayoutCaption, this, &TDecisionWindow::NewLayout)
        ->setShortcut(QKeySequence(Qt::Key_N));
    m_lookAhead =
        AddCommand(options, "N6", kLookAheadCaption, this, &TDecisionWindow::SetLookAhead);
    m_lookAhead->setCheckable(true);
    m_lookAhead->setToolTip(
        "покупка и обмен оцениваются лучшим решением после каждой карты, которая может прийти "
        "(пас, ставка или новый прикуп), а не ставкой после прикупа");
    options->setToolTipsVisible(true);
    AddCommand(options, "N3", "выход", this, &TDecisionWindow::ExitRequested);
    AddCommand(menuBar(), "MO1", "MO", this, &TDecisionWindow::ProfitWindowRequested);
}

void TDecisionWindow::BuildTable(QWidget* client) {
    // Controls are stacked in the order they are made. The lists lie under the deck's last
    // cards, so those cards still take clicks. A click anywhere on the lists, their frame or the
    // hint beneath them opens the list window.
    const auto clickable = [&](const char* name) {
        auto* label = new TClickableLabel(client);
        label->setObjectName(name);
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(kListHint);
        connect(label, &TClickableLabel::Clicked, this, &TDecisionWindow::DecisionListRequested);
        return label;
    };
    m_listPanel = clickable("CandidatePanel");
    m_listPanel->setFrameShape(QFrame::Box);
    QPalette panel = m_listPanel->palette();
    panel.setColor(QPalette::Window, QColor(0x00, 0x5a, 0x00));
    panel.setColor(QPalette::WindowText, QColor(0x9c, 0xd8, 0x9c));  // the frame
    m_listPanel->setPalette(panel);
    m_listPanel->setAutoFillBackground(true);
    m_decisions = clickable("Label3");
    m_decisions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_values = clickable("Label4");
    m_values->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_listHint = clickable("Label5");
    m_listHint->setText(kListHint);
    m_listHint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette hint = m_listHint->palette();
    hint.setColor(QPalette::WindowText, QColor(0xff, 0xf0, 0x90));
    m_listHint->setPalette(hint);

    // The deck fans out from left to right, each card above the one before it. Cards in the
    // slots never overlap the deck and out rows, so this order holds wherever the cards lie.
    for (TCardId id = 1; id <= kCards; ++id) {
        auto* card = new TClickableLabel(client);
        card->setObjectName(QString("Image%1").arg(id));
        card->setPixmap(CardPixmap(id));
        card->resize(kCardPictureSize);
        connect(card, &TClickableLabel::Clicked, this,
                [this, id] { Run([this, id] { m_table.ClickCard(id); }); });
        m_cards[static_cast<std::size_t>(id)] = card;
    }
    // The fix buttons lie over the lower edge of their slot's card.
    QFont fixFont = CaptionFont(11, true);
    for (int n = kFirstPlayerFixButton; n <= kLastFixButton; ++n) {
        QPushButton* button = NewButton(client, QString("Button%1").arg(n), QString(), QRect());
        button->setFont(fixFont);
        const TFixSlot fix = FixSlotOfButton(n);
        connect(button, &QPushButton::clicked, this,
                [this, fix] { Run([this, fix] { m_table.ToggleFix(fix.Row, fix.Slot); }); });
        m_fixButtons[static_cast<std::size_t>(n)] = button;
    }

    m_prompt = NewLabel(client, "Label1", QString());
    m_prompt->setGeometry(0, 336, 809, 73);
    m_prompt->setAlignment(Qt::AlignCenter);
    m_prompt->setWordWrap(true);
    QFont promptFont = CaptionFont(21);
    promptFont.setItalic(true);
    m_prompt->setFont(promptFont);

    // Which valuation of draws the values follow: the setting changes choices, so it is in view.
    m_valuation = NewLabel(client, "Label6", QString());
    // Left of the dealer's first slot, so that no dealer's card covers it or is covered.
    m_valuation->setGeometry(6, 4, kSlotLeft[1] - 12, 40);
    m_valuation->setWordWrap(true);
    m_valuation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont valuationFont = CaptionFont(12);
    valuationFont.setItalic(true);
    m_valuation->setFont(valuationFont);
    m_valuation->setStyleSheet("color: #c8f0c8;");
    m_valuation->setToolTip(m_lookAhead->toolTip());

    m_gameName = NewLabel(client, "Label2", QString());
    m_gameName->setGeometry(224, 136, 337, 33);
    m_gameName->setAlignment(Qt::AlignCenter);
    QFont gameFont = CaptionFont(16, true);
    gameFont.setItalic(true);
    m_gameName->setFont(gameFont);

    m_decide =
        NewButton(client, "Button1", QString::fromUtf8(kDecideCaption), QRect(0, 96, 145, 25));
    connect(m_decide, &QPushButton::clicked, this, [this] { Run([this] { m_table.Decide(); }); });
    m_continue =
        NewButton(client, "Button2", QString::fromUtf8(kContinueCaption), QRect(0, 120, 145, 25));
    connect(m_continue, &QPushButton::clicked, this,
            [this] { Run([this] { m_table.ContinueHand(); }); });
    m_randomDeal = NewButton(client, "Button15", QString::fromUtf8(kRandomDealCaption),
                             QRect(0, 144, 145, 25));
    connect(m_randomDeal, &QPushButton::clicked, this,
            [this] { Run([this] { m_table.RandomDeal(); }); });
    // After a settled hand the next step shows as a button too (also menu "опции" and key N),
    // above "РЕШЕНИЕ", where no button of the hand stood.
    m_newLayout = NewButton(client, "Button16", kNewLayoutCaption, QRect(0, 70, 145, 25));
    connect(m_newLayout, &QPushButton::clicked, this, &TDecisionWindow::NewLayout);
    m_combinations = NewButton(client, "Button3", QString::fromUtf8(kCombinationsCaption),
                               QRect(312, 120, 153, 17));
    connect(m_combinations, &QPushButton::clicked, this, &TDecisionWindow::ShowCombinations);
}

void TDecisionWindow::ShowRunsLastHand() {
    m_runsHand = true;
    Render();
}

bool TDecisionWindow::Run(const std::function<void()>& command) {
    if (m_busy) return false;
    m_busy = true;
    m_runsHand = false;
    bool done = true;
    try {
        command();
    } catch (const std::exception& e) {
        m_dialogs.ShowError(this, QString::fromUtf8(e.what()));
        done = false;
    }
    m_busy = false;
    Render();
    ShowCacheNotice();
    return done;
}

void TDecisionWindow::ShowCacheNotice() {
    if (const std::optional<std::string> notice = m_table.Cache().TakeNotice())
        m_dialogs.ShowNotice(this, QString::fromStdString(*notice));
}

void TDecisionWindow::HandlePendingEvents() {
    const bool busy = m_busy;
    m_busy = true;
    QCoreApplication::processEvents();
    m_busy = busy;
}

void TDecisionWindow::SelectGame() {
    m_runsHand = false;
    if (m_busy || !ChooseDesignFile) return;
    // A cancelled dialog changes nothing: the hand on the table stays.
    const std::optional<std::filesystem::path> file = ChooseDesignFile();
    if (!file) return;
    if (Run([this, &file] { m_table.SelectGame(file); })) emit DesignLoaded();
}

void TDecisionWindow::NewLayout() {
    Run([this] { m_table.NewLayout(); });
}

void TDecisionWindow::SetLookAhead(bool on) {
    // Not in the middle of a decision: it reads the setting as it goes.
    if (!m_busy) m_settings.LookAhead = on;
    Render();
    emit SettingsChanged();
}

void TDecisionWindow::ShowCombinations() {
    if (m_busy) return;
    Run([this] { m_table.ShowCombinations(); });
    emit CombinationsWindowRequested();
}

void TDecisionWindow::Render() {
    const TTableView& view = m_table.View();
    for (TCardId id = 1; id <= kCards; ++id) {
        TClickableLabel* card = m_cards[static_cast<std::size_t>(id)];
        const TCardPlace& place = m_table.State().PlaceOf(id);
        card->move(CardPicturePlace(id, place));
        card->setCursor(CardCursor(place));
        // A card that takes no clicks lets them through to what lies beneath it.
        card->setAttribute(Qt::WA_TransparentForMouseEvents, !place.Clickable);
    }
    for (int n = kFirstPlayerFixButton; n <= kLastFixButton; ++n) {
        QPushButton* button = m_fixButtons[static_cast<std::size_t>(n)];
        const TFixSlot fix = FixSlotOfButton(n);
        const bool fixed = m_table.State().Fixed(fix.Row, fix.Slot);
        button->setText(fixed ? kFixOnCaption : kFixOffCaption);
        button->setGeometry(FixButtonGeometry(fix, fixed));
        button->setVisible(view.FixVisible(fix.Row, fix.Slot));
    }
    // Amounts are shown with at most four decimals; the model keeps them as computed.
    std::string prompt = FormatAmountsInText(view.Prompt);
    if (view.FromCache) prompt += kFromCacheMark;
    if (view.FromStrategy) prompt += kFromStrategyMark;
    if (m_table.GameChosen() && m_table.State().HandStage == 0 && prompt.empty()) {
        // A game chosen in the constructor: no hand is laid out yet, and the cards wait.
        prompt = kChosenGamePrompt;
    } else if (m_runsHand) {
        prompt += kRunsHandMark;
    }
    m_prompt->setText(LabelText(prompt));
    m_lookAhead->setChecked(m_settings.LookAhead);
    m_valuation->setText(QString("оценка: ") +
                         (m_settings.LookAhead ? kLookAheadCaption : "ставка после прикупа"));
    m_gameName->setText(LabelText(view.GameTitle));
    const TCandidateLines lines = ReadableCandidates(view.CandidateCaptions, view.CandidateValues);
    m_decisions->setText(lines.CaptionText());
    m_values->setText(lines.ValueText());
    m_decisions->setVisible(view.CandidatesVisible);
    m_values->setVisible(view.CandidatesVisible);
    PlaceCandidateLists(view.CandidatesVisible && !lines.IsEmpty());
    m_decide->setVisible(view.DecideVisible);
    m_continue->setVisible(view.ContinueVisible);
    m_combinations->setVisible(view.CombinationsVisible);
    m_randomDeal->setVisible(view.RandomDealVisible);
    m_newLayout->setVisible(m_table.GameChosen() && m_table.State().HandStage == 0);
    emit Rendered();
}

void TDecisionWindow::PlaceCandidateLists(bool shown) {
    m_listPanel->setVisible(shown);
    m_listHint->setVisible(shown);
    QSize captions;
    QSize values;
    QSize hint;
    int width = 0;
    int height = 0;
    for (int pixels = kLargestListFont; pixels >= kSmallestListFont; --pixels) {
        m_decisions->setFont(CandidateListFont(pixels));
        m_values->setFont(CandidateListFont(pixels));
        QFont hintFont = CandidateListFont(pixels - 2);
        hintFont.setItalic(true);
        m_listHint->setFont(hintFont);
        captions = m_decisions->sizeHint();
        values = m_values->sizeHint();
        hint = m_listHint->sizeHint();
        width =
            std::max(captions.width() + kListGap + values.width(), hint.width()) + 2 * kListPadding;
        height = std::max(captions.height(), values.height()) + hint.height() + 3 * kListPadding;
        if (width <= kListArea.width() && height <= kListArea.height()) break;
    }
    const QRect panel(kListArea.right() + 1 - width, kListArea.top(), width, height);
    const int top = panel.top() + kListPadding;
    const int lines = std::max(captions.height(), values.height());
    m_listPanel->setGeometry(panel);
    m_decisions->setGeometry(panel.left() + kListPadding, top, captions.width(), lines);
    m_values->setGeometry(panel.right() + 1 - kListPadding - values.width(), top, values.width(),
                          lines);
    m_listHint->setGeometry(panel.left() + kListPadding, top + lines + kListPadding,
                            panel.width() - 2 * kListPadding, hint.height());
}

void TDecisionWindow::showEvent(QShowEvent* event) {
    // The profitability check plays its hands on this table while the window is hidden.
    Render();
    QMainWindow::showEvent(event);
}

}  // namespace studlab
