#include "table/ui/decision_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <exception>

#include "design/ui/design_file_commands.h"
#include "widgets/card_pictures.h"
#include "widgets/clickable_label.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(839, 562);
constexpr int kDecisionsWidth = 113;  // Label3
constexpr int kValuesWidth = 106;     // Label4

}  // namespace

TDecisionWindow::TDecisionWindow(TGame& game, IDialogs& dialogs)
    : QMainWindow(nullptr, kTitleWithoutCloseBox), m_table(game.Table), m_dialogs(dialogs) {
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
    m_table.ProcessPendingEvents = [this] { HandlePendingEvents(); };

    RefuseCloseRequests(this);
    CentreOnDesktop(this);
    Render();
}

void TDecisionWindow::BuildMenu() {
    QMenu* options = menuBar()->addMenu("опции");
    options->setObjectName("N1");
    AddCommand(options, "N2", "выбрать игру", this, &TDecisionWindow::SelectGame);
    AddCommand(options, "N4", "конструктор покера", this, &TDecisionWindow::ConstructorRequested);
    AddCommand(options, "N5", "новый расклад", this, [this] {
        Run([this] { m_table.NewLayout(); });
    })->setShortcut(QKeySequence(Qt::Key_N));
    AddCommand(options, "N3", "выход", this, &TDecisionWindow::ExitRequested);
    AddCommand(menuBar(), "MO1", "MO", this, &TDecisionWindow::ProfitWindowRequested);
}

void TDecisionWindow::BuildTable(QWidget* client) {
    // Controls are stacked in the order they are made. The lists along the right edge lie
    // under the deck's last cards, so those cards still take clicks.
    auto* decisions = new TClickableLabel(client);
    decisions->setObjectName("Label3");
    decisions->setGeometry(kClientSize.width() - kDecisionsWidth - kValuesWidth, 0, kDecisionsWidth,
                           kClientSize.height());
    connect(decisions, &TClickableLabel::Clicked, this, &TDecisionWindow::DecisionListRequested);
    m_decisions = decisions;
    m_values = NewLabel(client, "Label4", QString());
    m_values->setGeometry(kClientSize.width() - kValuesWidth, 0, kValuesWidth,
                          kClientSize.height());
    // Both lists in one plain typeface, so that each value stays on the line of its action.
    QFont listFont = font();
    listFont.setPixelSize(10);
    for (QLabel* list : {m_decisions, m_values}) {
        list->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        list->setFont(listFont);
    }

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
    m_combinations = NewButton(client, "Button3", QString::fromUtf8(kCombinationsCaption),
                               QRect(312, 120, 153, 17));
    connect(m_combinations, &QPushButton::clicked, this, &TDecisionWindow::ShowCombinations);
}

bool TDecisionWindow::Run(const std::function<void()>& command) {
    if (m_busy) return false;
    m_busy = true;
    bool done = true;
    try {
        command();
    } catch (const std::exception& e) {
        m_dialogs.ShowError(this, QString::fromUtf8(e.what()));
        done = false;
    }
    m_busy = false;
    Render();
    return done;
}

void TDecisionWindow::HandlePendingEvents() {
    const bool busy = m_busy;
    m_busy = true;
    QCoreApplication::processEvents();
    m_busy = busy;
}

void TDecisionWindow::SelectGame() {
    if (m_busy) return;
    // The table starts a fresh hand also when the dialog is cancelled.
    const std::optional<std::filesystem::path> file = AskForDesignFile(this, m_dialogs);
    if (Run([this, &file] { m_table.SelectGame(file); }) && file) emit DesignLoaded();
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
    m_prompt->setText(LabelText(view.Prompt));
    m_gameName->setText(LabelText(view.GameTitle));
    m_decisions->setText(LabelText(view.CandidateCaptions));
    m_values->setText(LabelText(view.CandidateValues));
    m_decisions->setVisible(view.CandidatesVisible);
    m_values->setVisible(view.CandidatesVisible);
    m_decide->setVisible(view.DecideVisible);
    m_continue->setVisible(view.ContinueVisible);
    m_combinations->setVisible(view.CombinationsVisible);
    m_randomDeal->setVisible(view.RandomDealVisible);
    emit Rendered();
}

void TDecisionWindow::showEvent(QShowEvent* event) {
    // The profitability check plays its hands on this table while the window is hidden.
    Render();
    QMainWindow::showEvent(event);
}

}  // namespace studlab
