#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "design/game_design.h"

namespace studlab {

// Every field of the design and of the calculation settings, once: the name scripts use with
// --set, the design file's line, whether loading restores it, how its value is written, and where
// it lives in the records. Listing, setting, saving and loading all go through this table.

// How a field's value is written, by --set and in the design file.
enum class TFieldKind {
    fkFlag,     // "YES" or "NO"; one file line
    fkText,     // a number's text as typed; one file line
    fkOptions,  // the name of the chosen option; one "YES"/"NO" file line per option
};

// What a text field must hold when a value has to convert (the windows keep any text).
enum class TNumberForm {
    nfNone,          // not a text field
    nfReal,          // payouts and costs: "1,5"
    nfWhole,         // the table maximum, the boxes, the seconds
    nfWholeOrEmpty,  // the draws of the probabilistic method: empty means the default
    nfAnyText,       // the dealer's open cards: a text the table checks itself
};

// How an index of a field's name is written: Plays[ckFlush], CompositePlays[3],
// StageActions[1][paBet].
enum class TNameIndex { niNone, niKind, niNumber, niAction };

// A field's place in the records. One accessor serves a whole row of fields: it takes the
// indices of the field's name (the kind's number, the stage, ...), so the table is plain data.
using TFlagMember = bool& (*)(TGameDesign&, TCalculationSettings&, int i, int j);
using TTextMember = TNumberText& (*)(TGameDesign&, TCalculationSettings&, int i, int j);

// A choice among named options, numbered in the order of their file lines. No choice
// (std::nullopt) is what a design file leaves behind when none of a group's lines reads "YES".
struct TOptionGroup {
    std::span<const std::string_view> Names;
    std::string_view Expected = {};  // how a wrong value is explained; empty: the names
    bool MayBeUnchosen = false;
    std::optional<int> (*Chosen)(const TGameDesign&, const TCalculationSettings&) = nullptr;
    void (*Choose)(TGameDesign&, TCalculationSettings&, std::optional<int>) = nullptr;
    // Whether an option's file line reads "YES"; none: exactly when the option is chosen.
    bool (*Marked)(const TGameDesign&, int option) = nullptr;

    bool IsMarked(const TGameDesign& design, const TCalculationSettings& settings,
                  int option) const {
        return Marked ? Marked(design, option) : Chosen(design, settings) == option;
    }
};

struct TDesignField {
    std::string_view Base;  // the name without its indices: "Plays"
    TNameIndex IndexI = TNameIndex::niNone;
    TNameIndex IndexJ = TNameIndex::niNone;
    int I = 0;  // the indices, for the name and the accessor
    int J = 0;
    TFieldKind Kind = TFieldKind::fkFlag;
    TNumberForm Form = TNumberForm::nfNone;
    int FileLine = 0;       // the field's (first) line in the design file; 0: not in the file
    bool Restored = false;  // loading a design file copies the field's line(s) into the design
    TFlagMember Flag = nullptr;
    TTextMember Text = nullptr;
    const TOptionGroup* Options = nullptr;

    constexpr int FileLineCount() const {
        if (FileLine == 0) return 0;
        return Kind == TFieldKind::fkOptions ? static_cast<int>(Options->Names.size()) : 1;
    }
    bool& FlagIn(TGameDesign& design, TCalculationSettings& settings) const {
        return Flag(design, settings, I, J);
    }
    TNumberText& TextIn(TGameDesign& design, TCalculationSettings& settings) const {
        return Text(design, settings, I, J);
    }
};

// The fields in the order `design --show` lists them.
std::span<const TDesignField> DesignFields();

// "PayQualified[ckFlush]", "StageActions[1][paExchange3]", "MinPair".
std::string DesignFieldName(const TDesignField& field);

// How flags are written: "YES" and "NO", case and blanks included.
inline constexpr std::string_view kYes = "YES";
inline constexpr std::string_view kNo = "NO";
constexpr std::string_view FlagText(bool on) {
    return on ? kYes : kNo;
}

}  // namespace studlab
