#pragma once

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
    const TExactAnalysis& m_analysis;
    QLabel* m_title = nullptr;
    QTableWidget* m_table = nullptr;
};

}  // namespace studlab
