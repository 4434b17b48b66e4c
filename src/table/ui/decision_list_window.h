#pragma once

#include <QWidget>

class QLabel;
class QScrollArea;

namespace studlab {

class TDecisionTable;

// TForm13, "Form13": the candidate decisions of the last press and their values, in a larger
// font. Every caption and value shows whole: the values stand right of the longest caption, the
// window grows to the lists up to the screen's size, and scrolls beyond it.
class TDecisionListWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TDecisionListWindow(const TDecisionTable& table);

    // Shows the lists the table holds; every decision rewrites them, open or not.
    void Render();

private:
    const TDecisionTable& m_table;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    QLabel* m_captions = nullptr;  // Label1
    QLabel* m_values = nullptr;    // Label2
};

}  // namespace studlab
