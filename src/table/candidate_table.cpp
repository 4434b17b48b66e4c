#include "table/candidate_table.h"

#include "table/hand_rules.h"
#include "text/number_text.h"

namespace studlab {

int TCandidateTable::FirstFreeSlot() const {
    for (int i = 1; i <= kCapacity; ++i) {
        if (Slot(i).Text.empty()) return i;
    }
    return 0;
}

int TCandidateTable::ListedSlots() const {
    int last = kSlots;
    for (int i = kSlots + 1; i <= kCapacity; ++i) {
        if (!Slot(i).Text.empty()) last = i;
    }
    return last;
}

int TCandidateTable::Best() const {
    // A candidate without a value (a sampled draw that could not be made) is listed but can
    // never be chosen.
    return ChooseOffer(kCapacity,
                       [&](std::size_t i) -> std::optional<double> {
                           const std::string& value = Slot(static_cast<int>(i) + 1).Value;
                           if (value.empty()) return std::nullopt;
                           return ParseDesignNumber(value);
                       })
               .Index +
           1;
}

const TCandidateTable::TSlot& TCandidateTable::Chosen() const {
    static const TSlot kNothing;
    const int best = Best();
    return best == 0 ? kNothing : Slot(best);
}

std::string TCandidateTable::TextList() const {
    std::string list;
    for (int i = 1; i <= ListedSlots(); ++i) list += Slot(i).Text + '\r';
    return list;
}

std::string TCandidateTable::ValueList() const {
    std::string list;
    for (int i = 1; i <= ListedSlots(); ++i) list += Slot(i).Value + '\r';
    return list;
}

std::string ShownAmounts(std::string_view list) {
    std::string shown;
    while (!list.empty()) {
        const std::size_t end = list.find('\r');
        shown += FormatAmountText(list.substr(0, end));
        if (end == std::string_view::npos) break;
        shown += '\r';
        list.remove_prefix(end + 1);
    }
    return shown;
}

}  // namespace studlab
