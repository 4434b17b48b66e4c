#include "profit/ui/profit_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/services/controls.h"
#include "app/services/window_look.h"

namespace studlab {
namespace {

constexpr QSize kClientSize(792, 546);

struct TLimitField {
    const char* Name;
    const char* Text;
};

// Cycle win target, cycle loss limit, whole-run loss limit, whole-run win limit.
constexpr std::array<TLimitField, 4> kLimitFields = {
    {{"Edit6", "20"}, {"Edit7", "-30"}, {"Edit8", "-120"}, {"Edit9", "120"}}};

}  // namespace

TForm4::TForm4(TStudlabModel& model) : QWidget(nullptr, kTitleWithoutCloseBox), m_model(model) {
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

    QCheckBox* cycles = NewCheckBox(this, "CheckBox1", "циклы");
    cycles->setGeometry(430, 250, 120, 22);
    QLabel* limitsHeader = NewLabel(this, "Label15", "   +          -        -   огр.  +");
    limitsHeader->setGeometry(430, 274, 220, 20);
    for (std::size_t i = 0; i < kLimitFields.size(); ++i) {
        QLineEdit* edit = NewNumberField(this, kLimitFields[i].Name, 46);
        edit->setText(kLimitFields[i].Text);
        edit->setToolTip("максимальная выплата в анте");
        edit->move(430 + static_cast<int>(i) * 50, 296);
    }

    QPushButton* statistics = NewButton(this, "Button4", "статистика", QRect(24, 420, 130, 30));
    statistics->hide();
    connect(statistics, &QPushButton::clicked, this, &TForm4::StatisticsWindowRequested);

    for (const auto& [name, caption, top] : {std::tuple{"Button7", "Показать график", 420},
                                             std::tuple{"Button9", "стратегия игры", 460}}) {
        QPushButton* graph = NewButton(this, name, caption, QRect(440, top, 170, 30));
        graph->setEnabled(false);
        connect(graph, &QPushButton::clicked, this, &TForm4::GraphWindowRequested);
    }

    QPushButton* start = NewButton(this, "Button1", "на начало", QRect(640, 420, 140, 30));
    connect(start, &QPushButton::clicked, this, &TForm4::ConstructorRequested);
    QPushButton* layouts = NewButton(this, "Button5", "расклады", QRect(640, 460, 140, 30));
    connect(layouts, &QPushButton::clicked, this, &TForm4::DecisionWindowRequested);
    QPushButton* exit = NewButton(this, "Button8", "выход", QRect(640, 500, 140, 30));
    connect(exit, &QPushButton::clicked, this, &TForm4::ExitRequested);

    RefuseCloseRequests(this);
    CentreOnDesktop(this);
}

void TForm4::ShowCyclesControls() {
    for (const char* name : {"CheckBox1", "Label15", "Edit6", "Edit7", "Edit8", "Edit9"}) {
        if (QWidget* control = findChild<QWidget*>(name)) control->show();
    }
}

}  // namespace studlab
