#pragma once

#include <QWidget>
#include <array>

#include "profit/combination_stats.h"

class QLabel;

namespace studlab {

class TProfitCheck;

// TForm11, "статистика раздач": the player's combinations of the last completed run, a row per
// combination and a column per count.
class TStatisticsWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TStatisticsWindow(const TProfitCheck& profit);

    // Shows the columns of the last completed run (empty before the first).
    void Render();

private:
    const TProfitCheck& m_profit;
    std::array<QLabel*, TCombinationStats::kColumns> m_columns{};  // Label8 .. Label13
};

}  // namespace studlab
