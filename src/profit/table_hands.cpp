#include "profit/table_hands.h"

#include <limits>

#include "table/cache/decision_cache.h"
#include "table/hand_rules.h"
#include "text/number_text.h"

namespace studlab {
namespace {

// One worker's own game: copies of the design and the settings as they stood when the run
// started, and a hand engine over them that carries the main table's game, hand, random
// generator and cache folder. Changes made in the windows during a run do not reach it.
class TTablePlayer final : public IHandPlayer {
public:
    TTablePlayer(const THand& main, const TDealPlan& plan)
        : m_design(main.Design()), m_settings(main.Settings()), m_plan(plan) {
        if (main.GameName()) m_hand.SetGameName(*main.GameName());
        m_hand.Cache().SetGamesDir(main.Cache().GamesDir());
        m_hand.SetStrategies(main.Strategies());
        m_hand.State() = main.State();
        m_hand.Random() = main.Random();
        try {
            m_betSize = ParseDesignNumber(m_design.BetSize);
        } catch (const TConversionError&) {
            // The hands report it when they reach a bet.
        }
    }

    THandRecord Play(std::uint64_t hand, const std::atomic<bool>& cancel) override {
        // A decision can take long; the run is cancelled between decisions.
        m_hand.BeforeDecision = [&cancel] {
            if (cancel) throw TRunCancelled();
        };
        if (!m_plan.FixedSeries) m_hand.SetHandStream(m_plan.Seed, hand);
        const std::uint32_t seriesSeed = m_hand.Random().Seed();
        m_hand.PlayRandomHand();
        THandRecord record = RecordOf(m_hand.State(), m_betSize);
        record.SeriesSeed = seriesSeed;
        return record;
    }

private:
    TGameDesign m_design;
    TCalculationSettings m_settings;
    THand m_hand{m_design, m_settings};
    TDealPlan m_plan;
    double m_betSize = 0;
};

}  // namespace

THandRecord RecordOf(const TTableState& state, double betSize) {
    const TSettledHand settled = SettledHand(state, betSize);
    THandRecord record;
    record.Result = settled.Result;
    record.ExtraStake = state.ExtraStake;
    record.Category = state.HandCategory;
    record.Stake = settled.Stake;
    // Paid as the exact analysis counts it.
    record.Paid = settled.Paid;
    return record;
}

int TTableHands::MaxWorkers() const {
    return m_table.Settings().UseCacheTable ? 1 : std::numeric_limits<int>::max();
}

TFixedCards TTableHands::FixedCards() const {
    TFixedCards fixed;
    const TTableState& state = m_table.State();
    for (int slot = 1; slot <= kDealtSlots; ++slot) {
        if (state.PlayerFixed[slot]) {
            if (const auto id = state.CardInPlayerSlot(slot)) fixed.Player.push_back(CardName(*id));
        }
        if (state.DealerFixed[slot]) {
            if (const auto id = state.CardInDealerSlot(slot)) fixed.Dealer.push_back(CardName(*id));
        }
    }
    return fixed;
}

void TTableHands::ReleaseFixedCards() {
    for (int slot = 1; slot <= kDealtSlots; ++slot) {
        for (TPlaceKind row : {TPlaceKind::cpPlayer, TPlaceKind::cpDealer}) {
            if (m_table.State().Fixed(row, slot)) m_table.ToggleFix(row, slot);
        }
    }
}

std::unique_ptr<IHandPlayer> TTableHands::NewPlayer(const TDealPlan& plan) {
    return std::make_unique<TTablePlayer>(m_table.Hand(), plan);
}

void TTableHands::ShowHand(const TDealPlan& plan, const THandRecord& hand) {
    if (plan.FixedSeries) {
        m_table.Random().SetSeed(hand.SeriesSeed);
    } else {
        m_table.SetHandStream(plan.Seed, hand.Hand);
    }
    // Dealt as the run dealt it, even if the same sequence was switched meanwhile.
    bool& sameSequence = m_table.Settings().SameSequence;
    const bool setting = sameSequence;
    sameSequence = plan.FixedSeries;
    try {
        m_table.RandomDeal();
    } catch (...) {
        sameSequence = setting;
        throw;
    }
    sameSequence = setting;
}

}  // namespace studlab
