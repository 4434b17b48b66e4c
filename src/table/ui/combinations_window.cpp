#include "table/ui/combinations_window.h"

#include <QLabel>
#include <utility>

#include "table/decision_table.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr int kHeadingHeight = 30;

}  // namespace

TCombinationsWindow::TCombinationsWindow(const TDecisionTable& table)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_table(table) {
    setObjectName("TForm9");
    setWindowTitle("комбинации дилера");
    resize(460, kHeadingHeight + 290);
    PaintWindow(this, kTealBackground);
    // One typeface for both labels, so that the counts stay on the lines of their kinds.
    QFont font = this->font();
    font.setPixelSize(19);
    font.setBold(true);
    font.setItalic(true);
    // What the two columns hold: the dealer's final combination, and in how many of the ways
    // the dealer's hand can still be completed from the unseen cards it comes.
    const std::pair<const char*, const char*> headings[] = {{"Heading1", "комбинация дилера"},
                                                            {"Heading2", "сколько раз выходит"}};
    for (int column = 0; column < 2; ++column) {
        QLabel* heading = NewLabel(this, headings[column].first, headings[column].second);
        heading->setFont(CaptionFont(14, true));
        heading->setGeometry(column * 224, 4, 224, kHeadingHeight - 8);
        heading->setToolTip(
            "сколько раз каждая комбинация выходит у дилера среди всех способов "
            "дополнить его карты из невидимых игроку карт");
    }
    for (const auto& [name, left] : {std::pair{"Label1", 0}, std::pair{"Label2", 224}}) {
        QLabel* label = NewLabel(this, name, QString());
        label->setFont(font);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(left, kHeadingHeight, 224, 290);
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
