#pragma once

#include <array>
#include <string>
#include <string_view>

#include "table/card_place.h"

namespace studlab {

inline constexpr std::string_view kNoGameChosen = "в меню \"опции\" выберете игру";

inline constexpr std::string_view kDecideCaption = "РЕШЕНИЕ";             // Button1
inline constexpr std::string_view kContinueCaption = "ПРОДОЛЖИТЬ";        // Button2
inline constexpr std::string_view kCombinationsCaption = "комбинации";    // Button3
inline constexpr std::string_view kRandomDealCaption = "СДАТЬ СЛУЧАЙНО";  // Button15

// What the decision window shows besides the cards, as plain data for the window to render.
struct TTableView {
    std::string Prompt;  // Label1: the prompt or the result; lines are separated by "\r"
    std::string GameTitle = std::string(kNoGameChosen);  // Label2: the game's name
    std::string CandidateCaptions;                       // Label3
    std::string CandidateValues;                         // Label4
    bool CandidatesVisible = false;                      // Label3 and Label4
    // The prompt shows a "РЕШЕНИЕ" served from the game's cache (not computed): the window marks
    // it "(из таблицы)". It goes when the hand goes on or a new one starts.
    bool FromCache = false;
    // The first decision was looked up in the game's strategy (not computed): the window marks it
    // "(из стратегии)"; its list names the choice alone, without values.
    bool FromStrategy = false;
    // "РЕШЕНИЕ" shows once the entry of the stage is complete.
    bool DecideVisible = false;        // Button1 "РЕШЕНИЕ"
    bool ContinueVisible = false;      // Button2 "ПРОДОЛЖИТЬ"
    bool CombinationsVisible = false;  // Button3 "комбинации"
    bool RandomDealVisible = false;    // Button15 "СДАТЬ СЛУЧАЙНО"
    // The fix buttons under the slots the first stage laid, [1..5].
    std::array<bool, kDealtSlots + 1> PlayerFixVisible{};   // Button4 .. Button8
    std::array<bool, kDealerSlots + 1> DealerFixVisible{};  // Button9 .. Button13

    // The decision list window (TForm13): the candidates and their values of the last decision.
    std::string DecisionListCaptions;
    std::string DecisionListValues;
    // The combinations window (TForm9): the kind names and the dealer's completions per kind.
    std::string CombinationNames;
    std::string CombinationCounts;

    // The fix button under `slot` (1..5) of the player's or the dealer's row.
    bool& FixVisible(TPlaceKind row, int slot);
    bool FixVisible(TPlaceKind row, int slot) const;

    friend bool operator==(const TTableView&, const TTableView&) = default;
};

}  // namespace studlab
