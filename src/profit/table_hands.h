#pragma once

#include "profit/profit_check.h"
#include "table/decision_table.h"

namespace studlab {

// The decision table as the profitability check sees it: "СДАТЬ СЛУЧАЙНО" and what a hand leaves.
class TTableHands final : public IRandomHandTable {
public:
    explicit TTableHands(TDecisionTable& table) : m_table(table) {}

    bool GameChosen() const override { return m_table.GameChosen(); }
    void PlayRandomHand() override { m_table.RandomDeal(); }
    std::int64_t HandResult() const override { return m_table.State().HandResult; }
    std::int64_t LastHandResult() const override { return m_table.State().LastHandResult; }
    void SetLastHandResult(std::int64_t value) override { m_table.State().LastHandResult = value; }
    float ExtraStake() const override { return m_table.State().ExtraStake; }
    TCombinationKind HandCategory() const override { return m_table.State().HandCategory; }

private:
    TDecisionTable& m_table;
};

}  // namespace studlab
