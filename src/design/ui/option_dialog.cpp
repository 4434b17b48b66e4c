#include "design/ui/option_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {

TOptionDialog::TOptionDialog(const QString& name, QSize clientSize, const QString& title,
                             const QStringList& options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(name);
    setFixedSize(clientSize);
    PaintWindow(this, kBlackBackground);
    setFont(CaptionFont(12));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 6, 8, 8);
    QGroupBox* group = NewGroupBox(this, "GroupBox1", title, QRect());
    auto* optionColumn = new QVBoxLayout(group);
    optionColumn->setContentsMargins(10, 4, 10, 4);
    optionColumn->setSpacing(0);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < options.size(); ++i) {
        auto* button = new QRadioButton(options[i], group);
        button->setObjectName(QString("RadioButton%1").arg(i + 1));
        m_group->addButton(button, i);
        optionColumn->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idClicked, this, [this](int option) { Choose(option); });
    column->addWidget(group, 1);

    QPushButton* ok = NewButton(this, "Button1", "ОК", QRect());
    ok->setFixedWidth(80);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    column->addWidget(ok, 0, Qt::AlignHCenter);
}

void TOptionDialog::RefreshFromDesign() {
    const std::optional<int> chosen = ChosenOption();
    m_group->setExclusive(false);
    for (QAbstractButton* button : m_group->buttons())
        button->setChecked(m_group->id(button) == chosen);
    m_group->setExclusive(true);
}

}  // namespace studlab
