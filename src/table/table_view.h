#pragma once

#include <array>
#include <string>
#include <string_view>

#include "cards/card.h"

namespace studlab {

inline constexpr std::string_view kNoGameChosen = "в меню \"опции\" выберете игру";

inline constexpr std::string_view kDecideCaption = "РЕШЕНИЕ";             // Button1
inline constexpr std::string_view kContinueCaption = "ПРОДОЛЖИТЬ";        // Button2
inline constexpr std::string_view kCombinationsCaption = "комбинации";    // Button3
inline constexpr std::string_view kRandomDealCaption = "СДАТЬ СЛУЧАЙНО";  // Button15

// Fix buttons: Button4..Button8 under the player's slots 1..5, Button9..Button13 under the
// dealer's.
inline constexpr int kFirstPlayerFixButton = 4;
inline constexpr int kFirstDealerFixButton = 9;
inline constexpr int kLastFixButton = 13;
constexpr int PlayerFixButton(int slot) {
    return kFirstPlayerFixButton - 1 + slot;
}
constexpr int DealerFixButton(int slot) {
    return kFirstDealerFixButton - 1 + slot;
}
constexpr bool IsFixButton(int button) {
    return button >= kFirstPlayerFixButton && button <= kLastFixButton;
}

inline constexpr std::string_view kFixOffCaption = "Ф";
inline constexpr std::string_view kFixOnCaption = "ФИКС";
inline constexpr int kFixOffWidth = 20;
inline constexpr int kFixOnWidth = 69;
inline constexpr int kFixButtonHeight = 20;

// What the decision window shows besides the cards, as plain data for the window to render.
struct TTableView {
    std::string Label1;  // prompt or result; lines are separated by "\r"
    std::string Label2 = std::string(kNoGameChosen);  // the game's name
    std::string Label3;                               // captions of the candidate actions
    std::string Label4;                               // their values
    bool Label3Visible = false;
    bool Label4Visible = false;
    // The last "РЕШЕНИЕ" was served from the game's cache: the window marks the choice
    // "(из таблицы)".
    bool FromCache = false;
    bool Button1Visible = false;   // "РЕШЕНИЕ": the entry of the stage is complete
    bool Button2Visible = false;   // "ПРОДОЛЖИТЬ"
    bool Button3Visible = false;   // "комбинации"
    bool Button15Visible = false;  // "СДАТЬ СЛУЧАЙНО"
    std::array<bool, kLastFixButton + 1> FixButtonVisible{};  // [4..13]

    // The decision list window (TForm13): the candidates and their values of the last decision.
    std::string ListWindowTexts;
    std::string ListWindowValues;
    // The combinations window (TForm9): the kind names and the dealer's completions per kind.
    std::string CombinationNames;
    std::string CombinationCounts;

    friend bool operator==(const TTableView&, const TTableView&) = default;
};

// One fix button as drawn: its caption and width follow its slot's fix mark.
struct TFixButtonView {
    std::string_view Caption;
    int Width = kFixOffWidth;
    TScreenPoint Place;
    bool Visible = false;
};

}  // namespace studlab
