#include "design/ui/payouts_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

#include "design/design_file.h"
#include "design/ui/constructor_captions.h"
#include "design/ui/design_file_commands.h"
#include "design/ui/right_click_check_box.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

using enum TCombinationKind;

constexpr QSize kClientSize(792, 552);

// Of the pay table only royal flush .. straight can be changed; the other rows stay as they are.
constexpr bool IsEditableRow(TCombinationKind kind) {
    return kind >= ckRoyalFlush && kind <= ckStraight;
}

const char* RowHint(TCombinationKind kind) {
    switch (kind) {
        case ckStraightFlush:
            return "щелкните правой кнопкой мышки если играет круговой стритфлеш";
        case ckStraight:
            return "щелкните правой кнопкой мышки если играет круговой стрит";
        case ckPair:
            return "нажмите правую кнопку мышки и выбирете минимальную пару";
        case ckAceKing:
            return "нажмите правую кнопку мышки и выберете минимального туза-короля";
        case ckPoker:
        case ckRoyalFlush:
        case ckFourOfAKind:
        case ckFullHouse:
        case ckFlush:
        case ckThreeOfAKind:
        case ckTwoPairs:
            return "отметьте галочкой играющие комбинации";
        case ckNoGame:
            break;
    }
    return "";
}

// The boxes whose right button opens an option dialog show the help pointer.
constexpr bool OpensDialog(TCombinationKind kind) {
    return kind == ckStraightFlush || kind == ckStraight || kind == ckPair || kind == ckAceKing;
}

QGridLayout* CompactGrid(QGroupBox* group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(0);
    return grid;
}

}  // namespace

TPayoutsWindow::TPayoutsWindow(TGameDesign& design, IDialogs& dialogs,
                               std::function<void(const std::string&)> gameNamed)
    : QMainWindow(nullptr, kTitleWithoutCloseBox),
      m_design(design),
      m_dialogs(dialogs),
      m_gameNamed(std::move(gameNamed)),
      m_bindings(design) {
    setObjectName("TForm1");
    setWindowTitle("конструктор покера");
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);
    SetFixedClientSize(this, kClientSize);
    PaintWindow(client, kGreyBackground);
    client->setFont(CaptionFont(12));

    NewBanner(client, "Label1", "здесь конструируется покер по интересующим вас правилам ");
    BuildMenu();
    BuildDeckOptions(client);
    BuildPayTable(client);
    BuildCompositeCombinations(client);
    BuildJokerCombinations(client);

    QPushButton* next = NewButton(client, "Button1", "ДАЛЕЕ >>", QRect(640, 500, 140, 40));
    next->setFont(CaptionFont(15, true));
    connect(next, &QPushButton::clicked, this, &TPayoutsWindow::NextWindowRequested);

    RefreshFromDesign();
    RefuseCloseRequests(this);
    CentreOnDesktop(this);
}

void TPayoutsWindow::RefreshFromDesign() {
    m_bindings.Refresh();
}

void TPayoutsWindow::BuildMenu() {
    QMenu* options = menuBar()->addMenu("опции");
    options->setObjectName("N1");
    AddCommand(options, "N2", "сохранить конструкцию", this, &TPayoutsWindow::SaveDesign);
    AddCommand(options, "N3", "загрузить конструкцию", this, &TPayoutsWindow::LoadDesign);
    AddCommand(options, "N4", "тренинг по раскладам", this,
               &TPayoutsWindow::DecisionWindowRequested);
    AddCommand(options, "NPaySolver", "подбор выплат", this, &TPayoutsWindow::PaySolverRequested);
    AddCommand(options, "N5", "выход", this, &TPayoutsWindow::ExitRequested);
    // "MO" is a command of its own on the menu bar.
    AddCommand(menuBar(), "MO1", "MO", this, &TPayoutsWindow::ProfitWindowRequested);
}

namespace {
// Joker decks are kept in the design and its file, but nothing plays them yet.
constexpr const char* kJokerHint =
    "колоды с джокером пока не разыгрываются: расчет всегда идет по 52 картам, "
    "эти настройки сохраняются в файле игры, но ни на что не влияют";
}  // namespace

void TPayoutsWindow::BuildDeckOptions(QWidget* client) {
    auto* group = new QButtonGroup(this);
    group->setObjectName("DeckKindGroup");
    const std::array<const char*, 3> captions = {"стандартная колода в 52 карты",
                                                 "53 карты (52+джокер)", "54 карты (52+2джокера)"};
    const std::array<int, 3> lefts = {16, 300, 540};
    std::vector<std::pair<QAbstractButton*, TDeckKind>> options;
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(captions[static_cast<std::size_t>(i)], client);
        button->setObjectName(QString("RadioButton%1").arg(i + 1));
        button->setGeometry(lefts[static_cast<std::size_t>(i)], 36, 240, 20);
        button->setEnabled(false);  // the engine always plays with 52 cards
        button->setToolTip(kJokerHint);
        group->addButton(button);
        options.emplace_back(button, static_cast<TDeckKind>(i));
    }
    m_bindings.Options(group, std::move(options),
                       [](TGameDesign& d) -> std::optional<TDeckKind>& { return d.DeckKind; });
}

void TPayoutsWindow::BuildPayTable(QWidget* client) {
    QGroupBox* group =
        NewGroupBox(client, "GroupBox1", "комбинации и их оплата", QRect(8, 60, 300, 292));
    group->setToolTip("все коэффициенты берутся относительно анте");
    QGridLayout* grid = CompactGrid(group);
    for (int row = 1; row <= kDesignKindCount; ++row) {
        const TCombinationKind kind = KindAt(row);
        const bool editable = IsEditableRow(kind);

        auto* box = new TRightClickCheckBox(QtText(KindCaption(kind)), group);
        box->setObjectName(QString("CheckBox%1").arg(row));
        box->setToolTip(RowHint(kind));
        box->setEnabled(editable);
        if (OpensDialog(kind)) box->setCursor(Qt::WhatsThisCursor);
        m_bindings.Flag(box, [kind](TGameDesign& d) -> bool& { return d.Plays[kind]; });

        QLineEdit* qualified =
            NewNumberField(group, QString("Edit%1").arg(row), 60, kDesignLineMaxChars);
        qualified->setToolTip("оплата при игре дилера");
        qualified->setEnabled(editable);
        m_bindings.Text(qualified,
                        [kind](TGameDesign& d) -> TNumberText& { return d.PayQualified[kind]; });

        QLineEdit* notQualified =
            NewNumberField(group, QString("Edit%1").arg(row + 11), 60, kDesignLineMaxChars);
        notQualified->setToolTip("оплата при отсутствии игры у дилера");
        notQualified->setEnabled(editable);
        m_bindings.Text(notQualified,
                        [kind](TGameDesign& d) -> TNumberText& { return d.PayNotQualified[kind]; });

        grid->addWidget(box, row - 1, 0);
        grid->addWidget(qualified, row - 1, 1);
        grid->addWidget(notQualified, row - 1, 2);

        switch (kind) {
            case ckStraightFlush:
            case ckStraight:
                connect(box, &TRightClickCheckBox::RightButtonDown, this,
                        &TPayoutsWindow::RoundStraightDialogRequested);
                break;
            case ckPair:
                connect(box, &TRightClickCheckBox::RightButtonDown, this,
                        &TPayoutsWindow::MinPairDialogRequested);
                break;
            case ckAceKing:
                connect(box, &TRightClickCheckBox::RightButtonDown, this,
                        &TPayoutsWindow::MinAceKingDialogRequested);
                break;
            default:
                break;
        }
    }
    grid->setColumnStretch(0, 1);
}

void TPayoutsWindow::BuildCompositeCombinations(QWidget* client) {
    QGroupBox* group = NewGroupBox(client, "GroupBox2", "составные комбинации (если есть)",
                                   QRect(316, 60, 468, 292));
    group->setToolTip("отметьте галочкой  комбинации которые играют");
    QGridLayout* grid = CompactGrid(group);
    constexpr int kPerColumn = 14;
    for (int i = 0; i < kCompositeCount; ++i) {
        QCheckBox* box = NewCheckBox(group, QString("CheckBox%1").arg(12 + i),
                                     kCompositeCaptions[static_cast<std::size_t>(i)]);
        m_bindings.Flag(box, [i](TGameDesign& d) -> bool& {
            return d.CompositePlays[static_cast<std::size_t>(i)];
        });
        grid->addWidget(box, i % kPerColumn, i / kPerColumn);
    }
}

void TPayoutsWindow::BuildJokerCombinations(QWidget* client) {
    QGroupBox* group =
        NewGroupBox(client, "GroupBox3", "комбинации при джокере", QRect(8, 356, 520, 192));
    group->setToolTip("отметьте галочкой правильные сочетания");
    QGridLayout* grid = CompactGrid(group);
    constexpr int kFirstColumn = 10;
    for (int i = 0; i < kJokerRuleCount; ++i) {
        QCheckBox* box = NewCheckBox(group, QString("CheckBox%1").arg(40 + i),
                                     kJokerCaptions[static_cast<std::size_t>(i)]);
        box->setEnabled(false);
        box->setToolTip(kJokerHint);
        m_bindings.Flag(box, [i](TGameDesign& d) -> bool& {
            return d.JokerRules[static_cast<std::size_t>(i)];
        });
        if (i < kFirstColumn) {
            grid->addWidget(box, i, 0);
        } else {
            grid->addWidget(box, i - kFirstColumn, 1, Qt::AlignTop);
        }
    }
}

void TPayoutsWindow::SaveDesign() {
    if (SaveDesignWithDialog(this, m_dialogs, m_design)) emit DesignSaved();
}

void TPayoutsWindow::LoadDesign() {
    const std::optional<std::string> name = LoadDesignWithDialog(this, m_dialogs, m_design);
    if (!name) return;
    m_gameNamed(*name);
    emit DesignLoaded();
}

}  // namespace studlab
