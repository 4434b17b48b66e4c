#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "design/game_design.h"

namespace studlab {

// An unknown field name or a value of the wrong form for that field.
class TFieldError : public std::runtime_error {
public:
    // A name that is no field, or an assignment without "=".
    using std::runtime_error::runtime_error;
    // A value of the wrong form: "NAME: 'VALUE' is not ...", as an option's own mistake reads.
    TFieldError(std::string_view field, const std::string& message)
        : std::runtime_error(std::string(field) + ": " + message), m_field(field) {}

    // The field whose value was refused; empty when the name itself is wrong.
    const std::string& Field() const { return m_field; }

private:
    std::string m_field;
};

// Every field of the design and the calculation settings by the name scripts use
// ("PayQualified[ckPair]", "StageActions[1][paExchange3]", "MinPair", "CalcMethod"), including
// those the windows keep fixed. Flags read and take YES/NO; number fields take any text, as the
// windows do, unless NumbersMustConvert asks for a number of the field's form. An option group
// that a design file left without a choice reads as, and takes back, an empty value.
enum class TValueCheck { AnyNumberText, NumbersMustConvert };

struct TDesignFieldValue {
    std::string Name;
    std::string Value;
};

std::vector<TDesignFieldValue> ListDesignFields(const TGameDesign& design,
                                                const TCalculationSettings& settings);
void SetDesignField(TGameDesign& design, TCalculationSettings& settings, std::string_view name,
                    std::string_view value, TValueCheck check = TValueCheck::AnyNumberText);

// "NAME=VALUE" split at the first '='.
void SetDesignAssignment(TGameDesign& design, TCalculationSettings& settings,
                         std::string_view assignment,
                         TValueCheck check = TValueCheck::AnyNumberText);

}  // namespace studlab
