#include "design/design_fields.h"

#include "design/design_schema.h"
#include "text/number_text.h"

namespace studlab {
namespace {

using enum TFieldKind;
using enum TNumberForm;

[[noreturn]] void BadValue(std::string_view name, std::string_view value,
                           std::string_view expected) {
    throw TFieldError(name, "'" + std::string(value) + "' is not " + std::string(expected));
}

bool ParseFlag(std::string_view name, std::string_view value) {
    if (value == kYes) return true;
    if (value == kNo) return false;
    BadValue(name, value, "YES or NO");
}

// The windows accept any text in a number field and a bad number is reported when a computation
// reads it; scripts may ask for the field's form to be checked at once.
std::string NumberText(std::string_view name, std::string_view value, TNumberForm form,
                       TValueCheck check) {
    // A line break would not survive the design file.
    if (value.find_first_of("\r\n") != std::string_view::npos)
        BadValue(name, value, "one line of text");
    if (check == TValueCheck::NumbersMustConvert) {
        try {
            if (form == nfReal) ParseDesignNumber(value);
            if (form == nfWhole || (form == nfWholeOrEmpty && !value.empty()))
                ParseDesignInteger(value);
        } catch (const TConversionError&) {
            BadValue(name, value, form == nfReal ? "a number such as 1,5" : "a whole number");
        }
    }
    return std::string(value);
}

// An option by its name; an empty value takes back the choice where a design file may leave the
// group without one.
std::optional<int> ParseOption(std::string_view name, std::string_view value,
                               const TOptionGroup& group) {
    if (value.empty() && group.MayBeUnchosen) return std::nullopt;
    std::string expected = "one of";
    for (std::size_t i = 0; i < group.Names.size(); ++i) {
        if (group.Names[i] == value) return static_cast<int>(i);
        expected += (i == 0 ? " " : ", ") + std::string(group.Names[i]);
    }
    BadValue(name, value, group.Expected.empty() ? expected : group.Expected);
}

std::string FieldValue(const TDesignField& field, TGameDesign& design,
                       TCalculationSettings& settings) {
    switch (field.Kind) {
        case fkFlag:
            return std::string(FlagText(field.FlagIn(design, settings)));
        case fkText:
            return field.TextIn(design, settings);
        case fkOptions: {
            const std::optional<int> chosen = field.Options->Chosen(design, settings);
            return chosen ? std::string(field.Options->Names[static_cast<std::size_t>(*chosen)])
                          : std::string();
        }
    }
    return {};
}

}  // namespace

std::vector<TDesignFieldValue> ListDesignFields(const TGameDesign& design,
                                                const TCalculationSettings& settings) {
    // The accessors give the members to change them too; the listing reads copies.
    TGameDesign d = design;
    TCalculationSettings s = settings;
    std::vector<TDesignFieldValue> list;
    for (const TDesignField& field : DesignFields())
        list.push_back({DesignFieldName(field), FieldValue(field, d, s)});
    return list;
}

void SetDesignField(TGameDesign& design, TCalculationSettings& settings, std::string_view name,
                    std::string_view value, TValueCheck check) {
    for (const TDesignField& field : DesignFields()) {
        if (DesignFieldName(field) != name) continue;
        switch (field.Kind) {
            case fkFlag:
                field.FlagIn(design, settings) = ParseFlag(name, value);
                break;
            case fkText:
                field.TextIn(design, settings) = NumberText(name, value, field.Form, check);
                break;
            case fkOptions:
                field.Options->Choose(design, settings, ParseOption(name, value, *field.Options));
                break;
        }
        return;
    }
    throw TFieldError("unknown field '" + std::string(name) + "'");
}

void SetDesignAssignment(TGameDesign& design, TCalculationSettings& settings,
                         std::string_view assignment, TValueCheck check) {
    const std::size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        throw TFieldError("expected NAME=VALUE, got '" + std::string(assignment) + "'");
    }
    SetDesignField(design, settings, assignment.substr(0, eq), assignment.substr(eq + 1), check);
}

}  // namespace studlab
