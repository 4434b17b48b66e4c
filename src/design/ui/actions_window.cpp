#include "design/ui/actions_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

using enum TPlayerAction;

constexpr QSize kClientSize(792, 553);

// One box of the window: CheckBox1 .. CheckBox26 in order, each an action of a stage.
struct TActionBox {
    int Stage;
    TPlayerAction Action;
    const char* Caption;
};

constexpr std::array<TActionBox, 26> kActionBoxes = {{
    {1, paFold, "сделать пас"},
    {1, paBet, "забиться"},
    {1, paBetInsured, "забиться со страховкой"},
    {1, paBuyCard, "купить карту"},
    {1, paBuyTwoCards, "купить 2 карты"},
    {1, paExchange1, "обменять одну карту"},
    {1, paExchange2, "обменять 2 карты"},
    {1, paExchange3, "обменять 3 карты"},
    {1, paExchange4, "обменять 4 карты"},
    {1, paExchange5, "обменять 5 карт"},
    {2, paFold, "сделать пас"},
    {2, paBet, "забиться"},
    {2, paBetInsured, "забиться со страховкой"},
    {2, paBuyCard, "купить карту"},
    {2, paBuyTwoCards, "купить 2 карты"},
    {2, paExchange1, "обменять одну карту"},
    {2, paExchange2, "обменять 2 карты"},
    {2, paExchange3, "обменять 3 карты"},
    {2, paExchange4, "обменять 4 карты"},
    {2, paExchange5, "обменять 5 карт"},
    {2, paBuyDealerGame, "купить игру дилеру"},
    {3, paFold, "сделать пас"},
    {3, paBet, "забиться"},
    {3, paBetInsured, "забиться со страховкой"},
    {3, paBuyDealerGame, "купить игру дилеру"},
    {4, paBuyDealerGame, "купить игру дилеру"},
}};

struct TStageGroup {
    const char* Title;
    QRect Geometry;
};

constexpr std::array<TStageGroup, 5> kStageGroups = {{
    {"первый этап", QRect(8, 44, 198, 296)},
    {"второй этап", QRect(212, 44, 198, 296)},
    {"третий этап", QRect(416, 44, 198, 130)},
    {"четвертый этап", QRect(620, 44, 164, 130)},
    {"действия дилера при покупки игры", QRect(416, 182, 368, 84)},
}};

QVBoxLayout* BoxColumn(QGroupBox* group) {
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(6, 6, 4, 6);
    column->setSpacing(2);
    return column;
}

}  // namespace

TActionsWindow::TActionsWindow(TGameDesign& design)
    : QWidget(nullptr, kTitleWithoutCloseBox), m_design(design), m_bindings(design) {
    setObjectName("TForm2");
    setWindowTitle("конструктор покера");
    setFixedSize(kClientSize);
    PaintWindow(this, kGreyBackground);
    setFont(CaptionFont(12));
    setToolTip("отметьте галочкой все возможные решения");

    NewBanner(this, "Label1", "возможные действия игрока на разных этапах игры");

    std::array<QVBoxLayout*, 5> columns{};
    for (std::size_t i = 0; i < kStageGroups.size(); ++i) {
        QGroupBox* group = NewGroupBox(this, QString("GroupBox%1").arg(i + 1),
                                       kStageGroups[i].Title, kStageGroups[i].Geometry);
        columns[i] = BoxColumn(group);
    }
    for (std::size_t i = 0; i < kActionBoxes.size(); ++i) {
        const TActionBox& entry = kActionBoxes[i];
        QVBoxLayout* column = columns[static_cast<std::size_t>(entry.Stage - 1)];
        QCheckBox* box =
            NewCheckBox(column->parentWidget(), QString("CheckBox%1").arg(i + 1), entry.Caption);
        const int stage = entry.Stage;
        const int action = static_cast<int>(entry.Action);
        m_bindings.Flag(box, [stage, action](TGameDesign& d) -> bool& {
            return d
                .StageActions[static_cast<std::size_t>(stage)][static_cast<std::size_t>(action)];
        });
        column->addWidget(box);
        connect(box, &QCheckBox::clicked, this, &TActionsWindow::ShowCardLimit);
    }

    QVBoxLayout* dealer = columns[4];
    QCheckBox* lowest =
        NewCheckBox(dealer->parentWidget(), "CheckBox27", "дилер меняет себе младшую карту");
    m_bindings.Flag(lowest, [](TGameDesign& d) -> bool& { return d.DealerBuysLowest; });
    dealer->addWidget(lowest);
    QCheckBox* highest =
        NewCheckBox(dealer->parentWidget(), "CheckBox28", "дилер меняет себе старшую карту");
    m_bindings.Flag(highest, [](TGameDesign& d) -> bool& { return d.DealerBuysHighest; });
    dealer->addWidget(highest);
    for (QVBoxLayout* column : columns) column->addStretch(1);

    QLabel* notice =
        NewLabel(this, "Label2",
                 "ВНИМАНИЕ! Максимальное число карт у игрока равно семи. При страховке "
                 "комбинация страхуется по максимуму.");
    notice->setFont(CaptionFont(22, true));
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    notice->setGeometry(24, 356, 744, 120);

    m_cardLimit = NewLabel(this, "Label3",
                           "Так игрок может получить больше семи карт: купить одну карту на первом "
                           "этапе и две на втором или две на первом и ещё на втором нельзя");
    m_cardLimit->setWordWrap(true);
    m_cardLimit->setAlignment(Qt::AlignCenter);
    m_cardLimit->setStyleSheet("color: #ffff40;");
    m_cardLimit->setGeometry(156, 484, 480, 64);

    QPushButton* back = NewButton(this, "Button1", "<< НАЗАД", QRect(8, 500, 140, 40));
    QPushButton* next = NewButton(this, "Button2", "ДАЛЕЕ >>", QRect(644, 500, 140, 40));
    for (QPushButton* button : {back, next}) button->setFont(CaptionFont(15, true));
    connect(back, &QPushButton::clicked, this, &TActionsWindow::PreviousWindowRequested);
    connect(next, &QPushButton::clicked, this, &TActionsWindow::NextWindowRequested);

    RefreshFromDesign();
    RefuseCloseRequests(this);
    CentreOnDesktop(this);
}

void TActionsWindow::RefreshFromDesign() {
    m_bindings.Refresh();
    ShowCardLimit();
}

void TActionsWindow::ShowCardLimit() {
    m_cardLimit->setVisible(m_design.BuysTooManyCards());
}

}  // namespace studlab
