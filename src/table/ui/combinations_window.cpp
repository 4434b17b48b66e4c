#include "table/ui/combinations_window.h"

#include <QLabel>

#include "table/decision_table.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {

TCombinationsWindow::TCombinationsWindow(const TDecisionTable& table)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_table(table) {
    setObjectName("TForm9");
    setWindowTitle("Form9");
    resize(460, 290);
    PaintWindow(this, kTealBackground);
    // One typeface for both labels, so that the counts stay on the lines of their kinds.
    QFont font = this->font();
    font.setPixelSize(19);
    font.setBold(true);
    font.setItalic(true);
    for (const auto& [name, left] : {std::pair{"Label1", 0}, std::pair{"Label2", 224}}) {
        QLabel* label = NewLabel(this, name, QString());
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(left, 0, 224, 290);
        (left == 0 ? m_kinds : m_counts) = label;
    }
    CentreOnDesktop(this);
    Render();
}

void TCombinationsWindow::Render() {
    const TTableView& view = m_table.View();
    m_kinds->setText(LabelText(view.CombinationNames));
    m_counts->setText(LabelText(view.CombinationCounts));
}

}  // namespace studlab
