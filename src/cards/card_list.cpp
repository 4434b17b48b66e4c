#include "cards/card_list.h"

#include <optional>

namespace studlab {
namespace {

std::optional<FaceNumber> FaceOf(std::string_view text) {
    static constexpr std::string_view kShort = "A23456789TJQK";
    if (text == "10") return 10;
    if (text.size() == 1) {
        char c = text[0];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        const std::size_t pos = kShort.find(c);
        if (pos != std::string_view::npos) return static_cast<FaceNumber>(pos + 1);
    }
    return std::nullopt;
}

std::optional<SuitIndex> SuitOfLetter(char c) {
    switch (c) {
        case 'h':
        case 'H':
            return 1;
        case 'c':
        case 'C':
            return 2;
        case 'd':
        case 'D':
            return 3;
        case 's':
        case 'S':
            return 4;
        default:
            return std::nullopt;
    }
}

std::optional<SuitIndex> SuitOfWord(std::string_view word) {
    for (SuitIndex s = 1; s <= kSuits; ++s) {
        if (SuitWord(s) == word) return s;
    }
    return std::nullopt;
}

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' ' || text[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < text.size() && text[j] != ',' && text[j] != ' ' && text[j] != '\t') ++j;
        if (j > i) tokens.push_back(text.substr(i, j - i));
        i = j;
    }
    return tokens;
}

}  // namespace

std::vector<TCardId> ParseCardList(std::string_view text) {
    const std::vector<std::string_view> tokens = Tokens(text);
    std::vector<TCardId> cards;
    TCardTable seen;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        std::optional<TCardId> card;
        // A system name is a face followed by a suit word: two tokens.
        if (i + 1 < tokens.size()) {
            const auto face = FaceOf(tokens[i]);
            const auto suit = SuitOfWord(tokens[i + 1]);
            if (face && suit && tokens[i] != "T") {
                card = kRanks * (*suit - 1) + *face;
                ++i;
            }
        }
        if (!card && tokens[i].size() >= 2) {
            const auto face = FaceOf(tokens[i].substr(0, tokens[i].size() - 1));
            const auto suit = SuitOfLetter(tokens[i].back());
            if (face && suit) card = kRanks * (*suit - 1) + *face;
        }
        using enum TCardListError::TProblem;
        if (!card) {
            throw TCardListError(pcUnknownCard, std::string(tokens[i]),
                                 "unknown card '" + std::string(tokens[i]) + "'");
        }
        if (seen.Has(*card)) {
            throw TCardListError(pcGivenTwice, CardName(*card),
                                 "card given twice: " + CardName(*card));
        }
        seen.Add(*card);
        cards.push_back(*card);
    }
    return cards;
}

TCardTable TableOf(const std::vector<TCardId>& cards) {
    TCardTable table;
    for (TCardId id : cards) table.Add(id);
    return table;
}

std::string JoinCardNames(TCardTable cards) {
    std::string text;
    cards.ForEach([&](TCardId id) {
        if (!text.empty()) text += ", ";
        text += CardName(id);
    });
    return text;
}

}  // namespace studlab
