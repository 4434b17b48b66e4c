#include "design/design_schema.h"

#include <array>
#include <cstddef>

#include "design/design_file.h"

namespace studlab {
namespace {

using enum TCombinationKind;
using enum TPlayerAction;
using enum TFieldKind;
using enum TNumberForm;
using enum TNameIndex;

constexpr bool kRestored = true;
constexpr bool kKept = false;
constexpr int kNoLine = 0;

// The constructor lets the user change these kinds' payouts and whether they play.
constexpr bool EditableKind(int kind) {
    return kind >= KindIndex(ckRoyalFlush) && kind <= KindIndex(ckStraight);
}

template <class T>
constexpr std::optional<int> OptionIndex(const std::optional<T>& value) {
    if (!value) return std::nullopt;
    return static_cast<int>(*value);
}

template <class T>
constexpr std::optional<T> OptionValue(std::optional<int> index) {
    if (!index) return std::nullopt;
    return static_cast<T>(*index);
}

// The option groups, each option in the order of its file line.

constexpr std::array<std::string_view, 3> kDeckKindNames = {"dk52", "dk53", "dk54"};
constexpr TOptionGroup kDeckKind{
    .Names = kDeckKindNames,
    .MayBeUnchosen = true,
    .Chosen = [](const TGameDesign& d,
                 const TCalculationSettings&) { return OptionIndex(d.DeckKind); },
    .Choose = [](TGameDesign& d, TCalculationSettings&,
                 std::optional<int> o) { d.DeckKind = OptionValue<TDeckKind>(o); },
};

constexpr std::array<std::string_view, 2> kRoundStraightNames = {"NO", "YES"};
constexpr TOptionGroup kRoundStraight{
    .Names = kRoundStraightNames,
    .Expected = "YES or NO",
    .MayBeUnchosen = true,
    .Chosen = [](const TGameDesign& d,
                 const TCalculationSettings&) { return OptionIndex(d.RoundStraight); },
    .Choose = [](TGameDesign& d, TCalculationSettings&,
                 std::optional<int> o) { d.RoundStraight = OptionValue<bool>(o); },
};

// From the pair of twos (RankIndex 13) up to the pair of aces (RankIndex 1).
constexpr std::array<std::string_view, kRanks> kMinPairNames = {"2", "3",  "4", "5", "6", "7", "8",
                                                                "9", "10", "J", "Q", "K", "A"};
constexpr TOptionGroup kMinPair{
    .Names = kMinPairNames,
    .Expected = "a face: 2 .. 10, J, Q, K, A",
    .MayBeUnchosen = true,
    .Chosen = [](const TGameDesign& d, const TCalculationSettings&) -> std::optional<int> {
        if (!d.MinPair) return std::nullopt;
        return kRanks - *d.MinPair;
    },
    .Choose =
        [](TGameDesign& d, TCalculationSettings&, std::optional<int> o) {
            d.MinPair = o ? std::optional<RankIndex>(kRanks - *o) : std::nullopt;
        },
};

constexpr std::array<std::string_view, 2> kMinAceKingNames = {"akAny", "akWithQueen"};
constexpr TOptionGroup kMinAceKing{
    .Names = kMinAceKingNames,
    .MayBeUnchosen = true,
    .Chosen = [](const TGameDesign& d,
                 const TCalculationSettings&) { return OptionIndex(d.MinAceKing); },
    .Choose = [](TGameDesign& d, TCalculationSettings&,
                 std::optional<int> o) { d.MinAceKing = OptionValue<TMinAceKing>(o); },
};

// The record keeps two independent boxes, both written to the file; scripts choose one of them.
constexpr std::array<std::string_view, 2> kInsuranceMaxNames = {"imFull", "imHalf"};
constexpr TOptionGroup kInsuranceMax{
    .Names = kInsuranceMaxNames,
    .Chosen = [](const TGameDesign& d, const TCalculationSettings&) -> std::optional<int> {
        return static_cast<int>(d.InsuranceMax());
    },
    .Choose =
        [](TGameDesign& d, TCalculationSettings&, std::optional<int> o) {
            d.InsuranceFull = o == static_cast<int>(TInsuranceMax::imFull);
            d.InsuranceHalf = !d.InsuranceFull;
        },
    .Marked =
        [](const TGameDesign& d, int option) {
            return option == static_cast<int>(TInsuranceMax::imFull) ? d.InsuranceFull
                                                                     : d.InsuranceHalf;
        },
};

constexpr std::array<std::string_view, 2> kCalcMethodNames = {"cmDirect", "cmProbabilistic"};
constexpr TOptionGroup kCalcMethod{
    .Names = kCalcMethodNames,
    .Chosen = [](const TGameDesign&, const TCalculationSettings& s) -> std::optional<int> {
        return static_cast<int>(s.CalcMethod);
    },
    .Choose = [](TGameDesign&, TCalculationSettings& s,
                 std::optional<int> o) { s.CalcMethod = static_cast<TCalcMethod>(o.value_or(0)); },
};

// The members: one accessor per member of the records, its indices from the field's name.

using D = TGameDesign;
using S = TCalculationSettings;

constexpr TFlagMember kPlays = [](D& d, S&, int kind, int) -> bool& {
    return d.Plays[KindAt(kind)];
};
constexpr TTextMember kPayQualified = [](D& d, S&, int kind, int) -> TNumberText& {
    return d.PayQualified[KindAt(kind)];
};
constexpr TTextMember kPayNotQualified = [](D& d, S&, int kind, int) -> TNumberText& {
    return d.PayNotQualified[KindAt(kind)];
};
constexpr TFlagMember kCompositePlays = [](D& d, S&, int number, int) -> bool& {
    return d.CompositePlays[static_cast<std::size_t>(number - 1)];
};
constexpr TFlagMember kJokerRules = [](D& d, S&, int number, int) -> bool& {
    return d.JokerRules[static_cast<std::size_t>(number - 1)];
};
constexpr TFlagMember kStageActions = [](D& d, S&, int stage, int action) -> bool& {
    return d.StageActions[static_cast<std::size_t>(stage)][static_cast<std::size_t>(action)];
};
constexpr TFlagMember kDealerBuysLowest = [](D& d, S&, int, int) -> bool& {
    return d.DealerBuysLowest;
};
constexpr TFlagMember kDealerBuysHighest = [](D& d, S&, int, int) -> bool& {
    return d.DealerBuysHighest;
};
constexpr TTextMember kBuyCost = [](D& d, S&, int stage, int cards) -> TNumberText& {
    return d.BuyCost[static_cast<std::size_t>(stage)][static_cast<std::size_t>(cards)];
};
constexpr TTextMember kExchangeCost = [](D& d, S&, int stage, int cards) -> TNumberText& {
    return d.ExchangeCost[static_cast<std::size_t>(stage)][static_cast<std::size_t>(cards)];
};
constexpr TTextMember kBetSize = [](D& d, S&, int, int) -> TNumberText& { return d.BetSize; };
constexpr TTextMember kBuyDealerGameCost = [](D& d, S&, int, int) -> TNumberText& {
    return d.BuyDealerGameCost;
};
constexpr TTextMember kDealerOpenCards = [](D& d, S&, int, int) -> TNumberText& {
    return d.DealerOpenCards;
};
constexpr TFlagMember kInsurable = [](D& d, S&, int kind, int) -> bool& {
    return d.Insurable[KindAt(kind)];
};
constexpr TTextMember kTableMaximum = [](D&, S& s, int, int) -> TNumberText& {
    return s.TableMaximum;
};
constexpr TTextMember kPlayingBoxes = [](D&, S& s, int, int) -> TNumberText& {
    return s.PlayingBoxes;
};
constexpr TTextMember kHandSeconds = [](D&, S& s, int, int) -> TNumberText& {
    return s.HandSeconds;
};
constexpr TFlagMember kUseCacheTable = [](D&, S& s, int, int) -> bool& { return s.UseCacheTable; };
constexpr TFlagMember kSameSequence = [](D&, S& s, int, int) -> bool& { return s.SameSequence; };
constexpr TTextMember kProbabilisticCycles = [](D&, S& s, int, int) -> TNumberText& {
    return s.ProbabilisticCycles;
};
constexpr TFlagMember kLookAhead = [](D&, S& s, int, int) -> bool& { return s.LookAhead; };

// A field's name and indices: "Plays" with the kind, "StageActions" with a stage and an action.
struct TName {
    std::string_view Base;
    TNameIndex IndexI = niNone;
    int I = 0;
    TNameIndex IndexJ = niNone;
    int J = 0;
};

constexpr TDesignField FlagField(TName name, int line, bool restored, TFlagMember member) {
    return {.Base = name.Base,
            .IndexI = name.IndexI,
            .IndexJ = name.IndexJ,
            .I = name.I,
            .J = name.J,
            .Kind = fkFlag,
            .FileLine = line,
            .Restored = restored,
            .Flag = member};
}

constexpr TDesignField TextField(TName name, TNumberForm form, int line, bool restored,
                                 TTextMember member) {
    return {.Base = name.Base,
            .IndexI = name.IndexI,
            .IndexJ = name.IndexJ,
            .I = name.I,
            .J = name.J,
            .Kind = fkText,
            .Form = form,
            .FileLine = line,
            .Restored = restored,
            .Text = member};
}

constexpr TDesignField OptionsField(std::string_view name, const TOptionGroup& group, int line,
                                    bool restored) {
    return {
        .Base = name, .Kind = fkOptions, .FileLine = line, .Restored = restored, .Options = &group};
}

// The fields in the order scripts list them; the file lines say where each one is saved.
template <class Add>
constexpr void ForEachField(Add add) {
    add(OptionsField("DeckKind", kDeckKind, 131, kRestored));
    for (int k = 1; k <= kDesignKindCount; ++k)
        add(FlagField({"Plays", niKind, k}, 39 + k, EditableKind(k), kPlays));
    for (int k = 1; k <= kDesignKindCount; ++k) {
        add(TextField({"PayQualified", niKind, k}, nfReal, k, EditableKind(k), kPayQualified));
    }
    for (int k = 1; k <= kDesignKindCount; ++k) {
        add(TextField({"PayNotQualified", niKind, k}, nfReal, 11 + k, EditableKind(k),
                      kPayNotQualified));
    }
    for (int i = 1; i <= kCompositeCount; ++i)
        add(FlagField({"CompositePlays", niNumber, i}, 50 + i, kRestored, kCompositePlays));
    for (int i = 1; i <= kJokerRuleCount; ++i)
        add(FlagField({"JokerRules", niNumber, i}, 78 + i, kKept, kJokerRules));
    add(OptionsField("RoundStraight", kRoundStraight, 149, kRestored));
    add(OptionsField("MinPair", kMinPair, 136, kRestored));
    add(OptionsField("MinAceKing", kMinAceKing, 134, kRestored));
    // Every action a stage knows is the user's to switch (StageHasAction).
    int line = 90;  // the actions of each stage, in the order of TPlayerAction
    for (int stage = 1; stage <= kStages; ++stage) {
        for (int a = 0; a < kPlayerActionCount; ++a) {
            const auto action = static_cast<TPlayerAction>(a);
            if (!StageHasAction(stage, action)) continue;
            add(FlagField({"StageActions", niNumber, stage, niAction, a}, line++,
                          kRestored, kStageActions));
        }
    }
    add(FlagField({"DealerBuyAction[lowest]"}, 116, kRestored, kDealerBuysLowest));
    add(FlagField({"DealerBuyAction[highest]"}, 117, kRestored, kDealerBuysHighest));
    line = 23;  // per stage: buying one or two cards, then exchanging one to five
    for (int stage = 1; stage <= 2; ++stage) {
        for (int n = 1; n <= 2; ++n) {
            const bool fixed = stage == 1 && n == 1;
            add(TextField({"BuyCost", niNumber, stage, niNumber, n}, nfReal, line++,
                          fixed ? kKept : kRestored, kBuyCost));
        }
        for (int n = 1; n <= 5; ++n) {
            add(TextField({"ExchangeCost", niNumber, stage, niNumber, n}, nfReal, line++, kRestored,
                          kExchangeCost));
        }
    }
    add(TextField({"BetSize"}, nfReal, 37, kRestored, kBetSize));
    add(TextField({"BuyDealerGameCost"}, nfReal, 38, kKept, kBuyDealerGameCost));
    add(TextField({"DealerOpenCards"}, nfAnyText, 39, kRestored, kDealerOpenCards));
    add(OptionsField("InsuranceMax", kInsuranceMax, 118, kKept));
    for (int k = 1; k <= kDesignKindCount; ++k)
        add(FlagField({"Insurable", niKind, k}, 119 + k, kRestored, kInsurable));
    // The calculation settings, which the design file does not hold.
    add(TextField({"TableMaximum"}, nfWhole, kNoLine, kKept, kTableMaximum));
    add(TextField({"PlayingBoxes"}, nfWhole, kNoLine, kKept, kPlayingBoxes));
    add(TextField({"HandSeconds"}, nfWhole, kNoLine, kKept, kHandSeconds));
    add(FlagField({"UseCacheTable"}, kNoLine, kKept, kUseCacheTable));
    add(FlagField({"SameSequence"}, kNoLine, kKept, kSameSequence));
    add(OptionsField("CalcMethod", kCalcMethod, kNoLine, kKept));
    add(TextField({"ProbabilisticCycles"}, nfWholeOrEmpty, kNoLine, kKept, kProbabilisticCycles));
    add(FlagField({"LookAhead"}, kNoLine, kKept, kLookAhead));
}

constexpr std::size_t kFieldCount = [] {
    std::size_t count = 0;
    ForEachField([&](const TDesignField&) { ++count; });
    return count;
}();

constexpr std::array<TDesignField, kFieldCount> kFields = [] {
    std::array<TDesignField, kFieldCount> fields{};
    std::size_t count = 0;
    ForEachField([&](const TDesignField& field) { fields[count++] = field; });
    return fields;
}();

// Every value line of the design file belongs to exactly one field.
constexpr bool EveryLineHasOneField() {
    std::array<int, kDesignValueLines + 1> fieldsOnLine{};
    for (const TDesignField& field : kFields) {
        for (int i = 0; i < field.FileLineCount(); ++i) {
            const int line = field.FileLine + i;
            if (line < 1 || line > kDesignValueLines) return false;
            ++fieldsOnLine[static_cast<std::size_t>(line)];
        }
    }
    for (int line = 1; line <= kDesignValueLines; ++line) {
        if (fieldsOnLine[static_cast<std::size_t>(line)] != 1) return false;
    }
    return true;
}
static_assert(EveryLineHasOneField());

// Each field has the accessor its kind needs; only what the file holds is restored; a restored
// group can be left without a choice, as a file without a "YES" among its lines leaves it.
constexpr bool FieldsAreWellFormed() {
    for (const TDesignField& field : kFields) {
        const bool accessorFits = field.Kind == fkFlag   ? field.Flag != nullptr
                                  : field.Kind == fkText ? field.Text != nullptr
                                                         : field.Options != nullptr;
        if (!accessorFits) return false;
        if ((field.Kind == fkText) != (field.Form != nfNone)) return false;
        if (field.Restored && field.FileLine == kNoLine) return false;
        if (field.Restored && field.Kind == fkOptions && !field.Options->MayBeUnchosen)
            return false;
    }
    return true;
}
static_assert(FieldsAreWellFormed());

// "[ckFlush]", "[3]", "[paBet]"; nothing for no index.
void AppendIndex(std::string& name, TNameIndex index, int value) {
    if (index == niNone) return;
    name += '[';
    switch (index) {
        case niKind:
            name += KindCodeName(KindAt(value));
            break;
        case niNumber:
            name += std::to_string(value);
            break;
        case niAction:
            name += PlayerActionCodeName(static_cast<TPlayerAction>(value));
            break;
        case niNone:
            break;
    }
    name += ']';
}

}  // namespace

std::span<const TDesignField> DesignFields() {
    return kFields;
}

std::string DesignFieldName(const TDesignField& field) {
    std::string name(field.Base);
    AppendIndex(name, field.IndexI, field.I);
    AppendIndex(name, field.IndexJ, field.J);
    return name;
}

}  // namespace studlab
