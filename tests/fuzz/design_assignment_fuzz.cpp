// The name=value setter: it either refuses with a message and changes nothing, or sets a field
// that then reads back as a value which, set again, changes nothing further.
#include <cstdint>
#include <string>

#include "design/design_fields.h"
#include "fuzz_check.h"

using studlab::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 256) return 0;
    const auto check = (data[0] & 1) != 0 ? studlab::TValueCheck::NumbersMustConvert
                                          : studlab::TValueCheck::AnyNumberText;
    const std::string assignment(reinterpret_cast<const char*>(data) + 1, size - 1);
    const studlab::TGameDesign startDesign;
    const studlab::TCalculationSettings startSettings;
    studlab::TGameDesign design = startDesign;
    studlab::TCalculationSettings settings = startSettings;
    try {
        studlab::SetDesignAssignment(design, settings, assignment, check);
    } catch (const studlab::TFieldError&) {
        Check(design == startDesign && settings == startSettings,
              "a refused value changed a field");
        return 0;
    }
    const std::string name = assignment.substr(0, assignment.find('='));
    bool listed = false;
    for (const auto& field : studlab::ListDesignFields(design, settings)) {
        Check(field.Value.find_first_of("\r\n") == std::string::npos,
              "a field reads as more than one line");
        if (field.Name != name) continue;
        listed = true;
        studlab::TGameDesign again = design;
        studlab::TCalculationSettings againSettings = settings;
        try {
            studlab::SetDesignField(again, againSettings, field.Name, field.Value);
        } catch (const studlab::TFieldError&) {
            studlab::fuzz::Broken("a field's own value is refused");
        }
        Check(again == design && againSettings == settings, "a field's value read back differs");
    }
    Check(listed, "a field that was set is not listed");
    return 0;
}
