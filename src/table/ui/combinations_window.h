#pragma once

#include <QWidget>

class QLabel;

namespace studlab {

class TDecisionTable;

// TForm9, "Form9": the listing of the dealer's possible combinations, two labels side by side: the
// kinds on the left, how many of the dealer's completions make each on the right.
class TCombinationsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TCombinationsWindow(const TDecisionTable& table);

    // Shows the listing the table holds; a decision rewrites it whether the window is open or not.
    void Render();

private:
    const TDecisionTable& m_table;
    QLabel* m_kinds = nullptr;   // Label1
    QLabel* m_counts = nullptr;  // Label2
};

}  // namespace studlab
