#pragma once

#include "profit/profit_check.h"
#include "table/decision_table.h"

namespace studlab {

// The decision table as the profitability check sees it: random hands played by workers, each on
// a hand engine of its own (THand::PlayRandomHand), and what a hand leaves behind.
class TTableHands final : public IRandomHandTable {
public:
    explicit TTableHands(TDecisionTable& table) : m_table(table) {}

    bool GameChosen() const override { return m_table.GameChosen(); }
    bool FixedSeries() const override { return m_table.Settings().SameSequence; }
    // The decision cache is one SQLite file per game: workers writing it at once would wait for
    // each other's locks and could give up on a busy file, so a run with the cache has one.
    int MaxWorkers() const override;
    TFixedCards FixedCards() const override;
    void ReleaseFixedCards() override;
    std::unique_ptr<IHandPlayer> NewPlayer(const TDealPlan& plan) override;
    void ShowHand(const TDealPlan& plan, const THandRecord& hand) override;

private:
    TDecisionTable& m_table;
};

// What a settled hand of the table leaves for the profitability check. `betSize` in antes.
THandRecord RecordOf(const TTableState& state, double betSize);

}  // namespace studlab
