#include "table/candidate_table.h"

#include "design/design_number.h"

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
    int best = 1;
    double max = Slot(1).Value.empty() ? 0.0 : ParseDesignNumber(Slot(1).Value);
    for (int i = 1; i <= kCapacity; ++i) {
        const std::string& value = Slot(i).Value;
        if (value.empty()) continue;
        const double v = ParseDesignNumber(value);
        if (v > max) {
            max = v;
            best = i;
        }
    }
    return best;
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

}  // namespace studlab
