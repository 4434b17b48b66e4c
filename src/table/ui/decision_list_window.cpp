#include "table/ui/decision_list_window.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "table/decision_table.h"
#include "table/ui/candidate_lists.h"
#include "widgets/controls.h"
#include "widgets/window_look.h"

namespace studlab {
namespace {

constexpr QSize kWindowSize(405, 480);
constexpr int kValuesLeft = 216;  // the values' column starts here at the least
constexpr int kGap = 16;          // between the longest caption and the values
constexpr int kMargin = 8;

}  // namespace

TDecisionListWindow::TDecisionListWindow(const TDecisionTable& table)
    : QWidget(nullptr, Qt::Window), m_table(table) {
    setObjectName("TForm13");
    setWindowTitle("варианты решения и их оценки");
    resize(kWindowSize);
    PaintWindow(this, kBlackBackground);  // the system's button-text colour

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_content = new QWidget;
    PaintWindow(m_content, kBlackBackground);
    m_scroll->setWidget(m_content);
    PaintWindow(m_scroll->viewport(), kBlackBackground);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    m_captions = NewLabel(m_content, "Label1", QString());
    m_captions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_values = NewLabel(m_content, "Label2", QString());
    m_values->setAlignment(Qt::AlignRight | Qt::AlignTop);
    for (QLabel* label : {m_captions, m_values}) label->setFont(CandidateListFont(16));
    CentreOnDesktop(this);
    Render();
}

void TDecisionListWindow::Render() {
    const TTableView& view = m_table.View();
    const TCandidateLines lines =
        ReadableCandidates(view.DecisionListCaptions, view.DecisionListValues);
    m_captions->setText(lines.CaptionText());
    m_values->setText(lines.ValueText());
    const QSize captions = m_captions->sizeHint();
    const QSize values = m_values->sizeHint();
    const int linesHeight = std::max(captions.height(), values.height());
    const int valuesLeft = std::max(kValuesLeft, kMargin + captions.width() + kGap);
    m_captions->setGeometry(kMargin, kMargin, captions.width(), linesHeight);
    m_values->setGeometry(valuesLeft, kMargin, values.width(), linesHeight);
    m_content->resize(valuesLeft + values.width() + kMargin, linesHeight + 2 * kMargin);

    // The window grows to show the lists whole, as far as the screen allows; it never shrinks
    // under the user's hands.
    QSize wanted = m_content->size().expandedTo(kWindowSize);
    wanted = wanted.boundedTo(RoomOnScreen(this));
    if (wanted.width() > width() || wanted.height() > height()) {
        resize(size().expandedTo(wanted));
        FitOnScreen(this);
    }
}

}  // namespace studlab
