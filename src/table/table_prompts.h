#pragma once

#include <string>
#include <string_view>

namespace studlab {

// The prompts the decision window shows (Label1) while a hand is entered and continued.
// "\r" (character 13) breaks a label's line.

inline constexpr std::string_view kPromptNeighbours =
    "Выберете карты соседних боксов(при коллективной игре)\r  и нажмите \"РЕШЕНИЕ\".";
inline constexpr std::string_view kPromptKnown =
    "Выберете дополнительные известные карты (если они появились)\r  и нажмите \"РЕШЕНИЕ\".";
inline constexpr std::string_view kPromptPlayer = "Выберете карты игрока";
inline constexpr std::string_view kPromptPress1 = " Нажмите \"РЕШЕНИЕ\".";
inline constexpr std::string_view kPromptPress2 = "Нажмите \"РЕШЕНИЕ\" ";

inline constexpr std::string_view kPromptDealerCard = "Выберете карту дилера";
inline constexpr std::string_view kPromptDealerCards = "Выберете карты дилера";
inline constexpr std::string_view kPromptRemainingDealerCards = "Выберете оставшиеся карты дилера";
inline constexpr std::string_view kPromptLastDealerCard = "Выберете оставшуюся карту дилера";
inline constexpr std::string_view kPromptBoughtCard = "Выберете пришедшую карту игрока";
inline constexpr std::string_view kPromptArrivedCards = "Выберете пришедшие карты игрока";
inline constexpr std::string_view kPromptDealerNewCard = "Выберите пришедшую карту дилера";

// "Вы проиграли  " + amount + " анте" after a fold.
inline constexpr std::string_view kFoldLossStart = "Вы проиграли  ";
inline constexpr std::string_view kFoldLossEnd = " анте";

// A design whose number of open dealer cards is none of "0".."5" cannot lay out a hand.
inline constexpr std::string_view kPromptBadOpenCardsStart = "Число открытых карт дилера \"";
inline constexpr std::string_view kPromptBadOpenCardsEnd =
    "\" не от 0 до 5.\r  Исправьте конструкцию и выберите новый расклад.";

// A prompt within a message of one line (an error, a run's end): its lines joined by one blank,
// the blanks that indent a following line dropped.
inline std::string PromptOnOneLine(std::string_view prompt) {
    std::string line;
    bool lineStart = false;
    for (const char c : prompt) {
        if (c == '\r') {
            line += ' ';
            lineStart = true;
        } else if (!(lineStart && c == ' ')) {
            line += c;
            lineStart = false;
        }
    }
    return line;
}

}  // namespace studlab
