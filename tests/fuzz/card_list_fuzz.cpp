// The card-list parser: whatever it reads are distinct cards, and the names it writes read back.
#include <cstdint>
#include <string>

#include "cards/card_list.h"
#include "fuzz_check.h"

using studlab::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 512) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<studlab::TCardId> cards;
    try {
        cards = studlab::ParseCardList(text);
    } catch (const studlab::TCardListError&) {
        return 0;
    }
    const studlab::TCardTable table = studlab::TableOf(cards);
    Check(static_cast<std::size_t>(table.Count()) == cards.size(), "a card read twice");
    for (studlab::TCardId id : cards) {
        Check(studlab::IsCardId(id), "a card outside the deck");
        const auto one = studlab::ParseCardList(studlab::CardName(id));
        Check(one.size() == 1 && one[0] == id, "a card's name reads as another card");
    }
    const auto again = studlab::ParseCardList(studlab::JoinCardNames(table));
    Check(studlab::TableOf(again) == table, "the joined names read as other cards");
    return 0;
}
