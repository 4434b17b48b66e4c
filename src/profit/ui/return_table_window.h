#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QTableWidget;

namespace studlab {

class TExactAnalysis;

// The return table of the exact analysis ("таблица исходов"): every final outcome of a hand, the
// player's final combination by won, lost, tie, dealer without a game or folded, with its
// probability and what it contributes to the player's result per hand. It shows the result only
// while that belongs to the design as it stands.
class TReturnTableWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TReturnTableWindow(const TExactAnalysis& analysis);

    void Render();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows the result afresh when the one that belongs to the design changed: a finished run, or
    // an edit of the design made while the window is open.
    void Follow();

    const TExactAnalysis& m_analysis;
    QTimer m_watch;
    const void* m_shown = nullptr;  // the result on show
    QLabel* m_title = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace studlab
