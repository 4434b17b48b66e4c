#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card.h"
#include "cards/card_table.h"

namespace studlab {

// The message is the command line's; the windows say it in their own words from `Problem` and
// `Token` (the text that is no card, or the name of the card given twice).
class TCardListError : public std::runtime_error {
public:
    enum class TProblem { pcUnknownCard, pcGivenTwice };
    TCardListError(TProblem problem, std::string token, const std::string& message)
        : std::runtime_error(message), Problem(problem), Token(std::move(token)) {}
    TProblem Problem;
    std::string Token;
};

// Cards given by their names ("A черви", "10 пик") or in short form ("Ah", "Tc", "10c", "9s",
// "Qd"; h = черви, c = треф, d = буби, s = пик), separated by commas or blanks. An unknown card
// or a card given twice throws TCardListError.
std::vector<TCardId> ParseCardList(std::string_view text);

TCardTable TableOf(const std::vector<TCardId>& cards);

// Card names of a table in scan order, joined by ", ".
std::string JoinCardNames(TCardTable cards);

}  // namespace studlab
