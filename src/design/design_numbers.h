#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "design/design_schema.h"

namespace studlab {

// The numbers of the design and of the calculation settings as computations read them, and how a
// message names the field a text stands in.

// Where a field stands for the user: its caption, its window and, for a field of the design
// file, its line there: «флеш: оплата при игре дилера» (конструктор, окно 1; строка 6 файла
// конструкции).
std::string DesignFieldPlace(const TDesignField& field);

// The text field whose member `text` is (a member of `design` or `settings`), or null.
const TDesignField* FieldOfText(const TGameDesign& design, const TCalculationSettings& settings,
                                const TNumberText& text);

// "В поле «…» (…) стоит «text»": how every message about a field's value begins. Without a
// field: "Число «text»".
std::string FieldValueMessage(const TDesignField* field, std::string_view text);

// A number field read as a real ("1,5") or a whole number. A text that does not convert throws
// TConversionError with a message in Russian that names the field and says what it must hold. A
// text that belongs to neither record keeps the message of the conversion itself.
double ReadRealField(const TGameDesign& design, const TCalculationSettings& settings,
                     const TNumberText& text);
std::int32_t ReadWholeField(const TGameDesign& design, const TCalculationSettings& settings,
                            const TNumberText& text);

}  // namespace studlab
