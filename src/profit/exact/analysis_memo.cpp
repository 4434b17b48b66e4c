#include "profit/exact/analysis_memo.h"

#include <optional>

#include "table/counted_draws.h"

namespace studlab {

const TEvalAnalysis& TAnalysisMemo::Get(const TEvalRules& rules, const TEvalLayout& layout) {
    TEntry& e = EntryOf(layout);
    if (!e.Used) {
        std::optional<TEvalAnalysis> counted;
        if (m_counted != nullptr) counted = m_counted->Analysis(rules, layout);
        e.Analysis = counted ? *counted : AnalyseLayout(rules, layout);
    }
    e.Used = true;
    return e.Analysis;
}

TAnalysisMemo::TEntry& TAnalysisMemo::EntryOf(const TEvalLayout& layout) {
    const std::uint64_t unseen = UnseenCards(layout).Mask();
    const std::uint64_t p = layout.Player.Mask();
    const std::uint64_t d = layout.Dealer.Mask();
    std::uint64_t h =
        p * 0x9E3779B97F4A7C15ULL ^ d * 0xC2B2AE3D27D4EB4FULL ^ unseen * 0x165667B19E3779F9ULL;
    h ^= h >> 31;
    TEntry& e = m_entries[h % kEntries];
    if (!(e.Player == p && e.Dealer == d && e.Unseen == unseen)) {
        e.Player = p;
        e.Dealer = d;
        e.Unseen = unseen;
        e.Used = false;
    }
    return e;
}

}  // namespace studlab
