#include "table/ui/decision_list_window.h"

#include <QLabel>

#include "table/decision_table.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {

TDecisionListWindow::TDecisionListWindow(const TDecisionTable& table)
    : QWidget(nullptr, Qt::Window), m_table(table) {
    setObjectName("TForm13");
    setWindowTitle("Form13");
    resize(405, 480);
    PaintWindow(this, kBlackBackground);  // the system's button-text colour
    QFont font("MS Sans Serif");
    font.setPixelSize(16);
    for (const auto& [name, left] : {std::pair{"Label1", 0}, std::pair{"Label2", 216}}) {
        QLabel* label = NewLabel(this, name, QString());
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(left, 0, 189, 480);
        (left == 0 ? m_captions : m_values) = label;
    }
    CentreOnDesktop(this);
    Render();
}

void TDecisionListWindow::Render() {
    const TTableView& view = m_table.View();
    m_captions->setText(LabelText(view.DecisionListCaptions));
    m_values->setText(LabelText(view.DecisionListValues));
}

}  // namespace studlab
