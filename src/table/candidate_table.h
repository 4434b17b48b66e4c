#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace studlab {

// The candidate actions of one decision, in slots filled in the order the stage offers them. A
// slot with an empty caption is free. The lists show 50 slots; a stage with seven player cards and
// every exchange allowed offers up to 60 candidates, so the table holds more and lists them too.
class TCandidateTable {
public:
    static constexpr int kSlots = 50;
    static constexpr int kCapacity = 64;
    static constexpr int kCardFields = 7;

    struct TSlot {
        std::string Text;                            // the caption
        std::string Value;                           // the value in antes, as text
        std::string Code;                            // the action code (table/choice_codes.h)
        std::array<std::string, kCardFields> Cards;  // names of the cards the action throws away
        friend bool operator==(const TSlot&, const TSlot&) = default;
    };

    void Clear() { m_slots = {}; }
    // The lowest slot whose caption is empty; 0 when every slot is taken.
    int FirstFreeSlot() const;
    TSlot& Slot(int i) { return m_slots.at(static_cast<std::size_t>(i - 1)); }
    const TSlot& Slot(int i) const { return m_slots.at(static_cast<std::size_t>(i - 1)); }

    // The slot of the highest value, ties to the earlier slot; 0 when no slot has a value.
    int Best() const;
    // The best slot, or an empty one (no caption, no code) when there is nothing to choose.
    const TSlot& Chosen() const;
    // Every slot's caption (or value) followed by a line break ("\r"): 50 slots in order, more
    // when more are taken.
    std::string TextList() const;
    std::string ValueList() const;

    friend bool operator==(const TCandidateTable&, const TCandidateTable&) = default;

private:
    std::array<TSlot, kCapacity> m_slots;

    int ListedSlots() const;
};

// A list of values, each followed by "\r", as a person reads it: each amount rounded to at most
// four decimals (the stored values keep their precision).
std::string ShownAmounts(std::string_view list);

}  // namespace studlab
