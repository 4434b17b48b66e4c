#include "design/ui/costs_window.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "design/design_file.h"
#include "design/ui/constructor_captions.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(792, 553);

QFormLayout* FieldColumn(QGroupBox* group) {
    auto* form = new QFormLayout(group);
    form->setContentsMargins(10, 8, 10, 8);
    form->setVerticalSpacing(4);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

}  // namespace

TCostsWindow::TCostsWindow(TGameDesign& design)
    : QWidget(nullptr, kTitleWithoutCloseBox), m_bindings(design) {
    setObjectName("TForm3");
    setWindowTitle("конструктор покера");
    resize(kClientSize);  // a resizable border
    PaintWindow(this, kGreyBackground);
    setFont(CaptionFont(12));
    setToolTip("все затраты вводятся относительно анте");

    NewBanner(this, "Label1", "затраты на действия и прочее");

    // Edit1 .. Edit14: buying one and two cards, then exchanging one to five, for stages 1 and 2.
    int label = 2;
    for (int stage = 1; stage <= 2; ++stage) {
        QGroupBox* group =
            NewGroupBox(this, QString("GroupBox%1").arg(stage),
                        QtText(kStageCostGroups[static_cast<std::size_t>(stage - 1)]),
                        QRect(8 + (stage - 1) * 262, 44, 254, 250));
        QFormLayout* form = FieldColumn(group);
        for (int n = 1; n <= 7; ++n) {
            QLineEdit* edit = NewNumberField(group, QString("Edit%1").arg((stage - 1) * 7 + n), 70,
                                             kDesignLineMaxChars);
            if (n <= 2) {
                m_bindings.Text(edit, [stage, n](TGameDesign& d) -> TNumberText& {
                    return d.BuyCost[static_cast<std::size_t>(stage)][static_cast<std::size_t>(n)];
                });
            } else {
                m_bindings.Text(edit, [stage, n](TGameDesign& d) -> TNumberText& {
                    return d.ExchangeCost[static_cast<std::size_t>(stage)]
                                         [static_cast<std::size_t>(n - 2)];
                });
            }
            // The first card bought at stage 1 keeps its price.
            edit->setEnabled(!(stage == 1 && n == 1));
            form->addRow(NewLabel(group, QString("Label%1").arg(label++),
                                  QtText(kCostCaptions[static_cast<std::size_t>(n - 1)])),
                         edit);
        }
    }

    QGroupBox* common = NewGroupBox(this, "GroupBox3", "общие затраты", QRect(532, 44, 252, 96));
    QFormLayout* commonForm = FieldColumn(common);
    QLineEdit* bet = NewNumberField(common, "Edit15", 70, kDesignLineMaxChars);
    bet->setToolTip("размер BET");
    m_bindings.Text(bet, [](TGameDesign& d) -> TNumberText& { return d.BetSize; });
    QLabel* betLabel = NewLabel(common, QString("Label%1").arg(label++), "забиться");
    betLabel->setToolTip("размер BET");
    commonForm->addRow(betLabel, bet);
    QLineEdit* dealerGame = NewNumberField(common, "Edit16", 70, kDesignLineMaxChars);
    dealerGame->setEnabled(false);
    m_bindings.Text(dealerGame, [](TGameDesign& d) -> TNumberText& { return d.BuyDealerGameCost; });
    commonForm->addRow(NewLabel(common, QString("Label%1").arg(label++), "купить игру дилеру"),
                       dealerGame);

    QGroupBox* dealer = NewGroupBox(this, "GroupBox4", "карты дилера", QRect(532, 146, 252, 64));
    QFormLayout* dealerForm = FieldColumn(dealer);
    QLineEdit* openCards = NewNumberField(dealer, "Edit17", 70, kDesignLineMaxChars);
    m_bindings.Text(openCards, [](TGameDesign& d) -> TNumberText& { return d.DealerOpenCards; });
    dealerForm->addRow(NewLabel(dealer, QString("Label%1").arg(label++), "открытые карты дилера"),
                       openCards);

    // Two independent boxes, both fixed; only "полная выплата" is ever consulted.
    QGroupBox* insurance =
        NewGroupBox(this, "GroupBox5", "максимальное страхование", QRect(532, 216, 252, 78));
    auto* insuranceColumn = new QVBoxLayout(insurance);
    insuranceColumn->setContentsMargins(10, 6, 10, 6);
    QCheckBox* full = NewCheckBox(insurance, "CheckBox1", "полная выплата");
    QCheckBox* half = NewCheckBox(insurance, "CheckBox2", "половина выплаты");
    m_bindings.Flag(full, [](TGameDesign& d) -> bool& { return d.InsuranceFull; });
    m_bindings.Flag(half, [](TGameDesign& d) -> bool& { return d.InsuranceHalf; });
    for (QCheckBox* box : {full, half}) {
        box->setEnabled(false);
        insuranceColumn->addWidget(box);
    }

    QGroupBox* insurable = NewGroupBox(this, "GroupBox6", "комбинации которые можно страховать",
                                       QRect(8, 302, 776, 130));
    auto* grid = new QGridLayout(insurable);
    grid->setContentsMargins(14, 6, 14, 6);
    grid->setVerticalSpacing(2);
    constexpr int kPerColumn = 4;  // "покер" .. "каре", "фулхаус" .. "тройка", the rest
    for (int row = 1; row <= kDesignKindCount; ++row) {
        const TCombinationKind kind = KindAt(row);
        QCheckBox* box =
            NewCheckBox(insurable, QString("CheckBox%1").arg(row + 2), QtText(KindCaption(kind)));
        m_bindings.Flag(box, [kind](TGameDesign& d) -> bool& { return d.Insurable[kind]; });
        grid->addWidget(box, (row - 1) % kPerColumn, (row - 1) / kPerColumn);
    }

    QPushButton* back = NewButton(this, "Button1", "<< НАЗАД", QRect(8, 500, 140, 40));
    back->setFont(CaptionFont(15, true));
    connect(back, &QPushButton::clicked, this, &TCostsWindow::PreviousWindowRequested);
    // The way on to the profitability window is kept hidden: that window is reached by "MO".
    QPushButton* next = NewButton(this, "Button2", "ДАЛЕЕ >>", QRect(644, 500, 140, 40));
    next->setFont(CaptionFont(15, true));
    next->hide();

    RefreshFromDesign();
    RefuseCloseRequests(this);
    CentreOnDesktop(this);
}

void TCostsWindow::RefreshFromDesign() {
    m_bindings.Refresh();
}

}  // namespace studlab
