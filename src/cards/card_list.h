#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.h"
#include "cards/card_table.h"

namespace studlab {

class TCardListError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Cards given by their names ("A черви", "10 пик") or in short form ("Ah", "Tc", "10c", "9s",
// "Qd"; h = черви, c = треф, d = буби, s = пик), separated by commas or blanks. An unknown card
// or a card given twice throws TCardListError.
std::vector<TCardId> ParseCardList(std::string_view text);

TCardTable TableOf(const std::vector<TCardId>& cards);

// Card names of a table in scan order, joined by ", ".
std::string JoinCardNames(TCardTable cards);

}  // namespace studlab
