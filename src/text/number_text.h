#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace studlab {

// A number typed by the user that does not convert. The message names the text:
// "'abc' is not a valid floating point value" or "'abc' is not a valid integer value".
class TConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Real form: optional blanks around, an optional sign, digits with at most one decimal comma,
// an optional exponent. Empty text fails.
double ParseDesignNumber(std::string_view text);

// Whole-number form: optional leading blanks, an optional sign and decimal digits, nothing after;
// the value must fit 32 bits.
std::int32_t ParseDesignInteger(std::string_view text);

// The general number format of every text the system shows or stores: shortest form with up to
// 15 significant digits, a minus sign, no grouping, a decimal comma, no decimals for whole
// numbers ("-1", "1,5838", "0", "1E20").
std::string FormatNumber(long double value);

// Rounds to the nearest whole number, halves to the even neighbour. Throws std::range_error when
// the result does not fit in 64 bits.
std::int64_t RoundHalfEven(long double value);

// A sum of results over hands, in ten-thousandths of an ante. One hand may move billions of antes
// (10^13 ten-thousandths and more), so a long run's sums outgrow 64 bits: they are kept in 128.
__extension__ using TAnteSum = __int128;

// A count of ten-thousandths of an ante as antes in the general format ("2,5" for 25000).
std::string FormatTenThousandths(TAnteSum amount);

// An amount in antes as a person reads it: rounded to at most four decimals (a ten-thousandth of
// an ante, the unit results are counted in), halves to even, in the general format. Single
// precision leaves digits such as -2,20000004768372 that mean -2,2. Computations and stored
// texts keep their precision; only what is shown goes through here. Beyond what 64 bits of
// ten-thousandths hold, the general format is shown.
std::string FormatAmount(long double antes);
// The same for a text in the general format (a stored value); a text that is not a number is
// shown as it stands.
std::string FormatAmountText(std::string_view text);
// Every amount written in a text ("Вы проиграли  2,20000004768372 анте"), that is every number with
// a decimal comma outside quotes, as FormatAmountText shows it; the rest of the text stands, and
// so does what stands in quotes ("…" or «…»), which quotes the user's own text.
std::string FormatAmountsInText(std::string_view text);

}  // namespace studlab
