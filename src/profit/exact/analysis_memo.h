#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cards/evaluator.h"
#include "table/offer_values.h"

namespace studlab {

class TCountedDraws;

// The analyses of the layouts a hand passes through, kept by their cards: the valuation of a
// draw and the decision after that same draw look at the same cards. A small table in which a
// newer layout replaces an older one of the same place.
class TAnalysisMemo {
public:
    // The analysis stays valid until the next call.
    const TEvalAnalysis& Get(const TEvalRules& rules, const TEvalLayout& layout);
    // Layouts that the counted completions serve are analysed from them.
    void CountWith(TCountedDraws* counted) { m_counted = counted; }
    // Keeps an analysis made elsewhere for the layout.
    void Put(const TEvalLayout& layout, const TEvalAnalysis& analysis) {
        TEntry& e = EntryOf(layout);
        e.Analysis = analysis;
        e.Used = true;
    }

private:
    static constexpr std::size_t kEntries = 4093;
    struct TEntry {
        std::uint64_t Player = 0;
        std::uint64_t Dealer = 0;
        std::uint64_t Unseen = 0;
        bool Used = false;
        TEvalAnalysis Analysis;
    };
    // The entry of the layout's place, emptied when it held another layout.
    TEntry& EntryOf(const TEvalLayout& layout);

    std::vector<TEntry> m_entries = std::vector<TEntry>(kEntries);
    TCountedDraws* m_counted = nullptr;
};

// The evaluations of a played-out hand: every layout analysed once while it stays in the memo.
class TMemoEvaluator final : public IOfferEvaluator {
public:
    TMemoEvaluator(const TEvalRules& rules, TAnalysisMemo& memo) : m_rules(rules), m_memo(memo) {}
    TEvalResult Evaluate(const TEvalLayout& layout, TEvalMode mode) override {
        return EvaluateAnalysis(m_rules, m_memo.Get(m_rules, layout), mode, layout.ExtraStake);
    }
    const TEvalRules& Rules() override { return m_rules; }

private:
    const TEvalRules& m_rules;
    TAnalysisMemo& m_memo;
};

}  // namespace studlab
