// The number parsers against a simple grammar of their own and the C library's conversion, and
// the general number format read back.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/number_text.h"

namespace {

using studlab::fuzz::Check;

// The grammars as automata over classes of characters, written apart from the parsers.
enum TClass { Blank, Sign, Digit, Comma, Exponent, Other, kClasses };

TClass ClassOf(char c) {
    if (c == ' ' || c == '\t') return Blank;
    if (c == '+' || c == '-') return Sign;
    if (c >= '0' && c <= '9') return Digit;
    if (c == ',') return Comma;
    if (c == 'e' || c == 'E') return Exponent;
    return Other;
}

struct TAutomaton {
    int Next[10][kClasses];  // -1: refused
    bool Accepting[10];
};

bool Matches(const TAutomaton& automaton, const std::string& text) {
    int state = 0;
    for (char c : text) {
        state = automaton.Next[state][ClassOf(c)];
        if (state < 0) return false;
    }
    return automaton.Accepting[state];
}

// Optional blanks, a sign, digits with at most one decimal comma (and one digit at least), an
// exponent, blanks.
constexpr TAutomaton kReal = {{
                                  // Blank Sign Digit Comma Exponent Other
                                  {0, 1, 2, 3, -1, -1},     // 0 leading blanks
                                  {-1, -1, 2, 3, -1, -1},   // 1 sign
                                  {8, -1, 2, 4, 5, -1},     // 2 whole digits
                                  {-1, -1, 4, -1, -1, -1},  // 3 a comma before any digit
                                  {8, -1, 4, -1, 5, -1},    // 4 after the comma, a digit seen
                                  {-1, 6, 7, -1, -1, -1},   // 5 exponent mark
                                  {-1, -1, 7, -1, -1, -1},  // 6 exponent sign
                                  {8, -1, 7, -1, -1, -1},   // 7 exponent digits
                                  {8, -1, -1, -1, -1, -1},  // 8 trailing blanks
                                  {-1, -1, -1, -1, -1, -1},
                              },
                              {false, false, true, false, true, false, false, true, true, false}};

// Optional leading blanks, a sign and digits, nothing after.
constexpr TAutomaton kWhole = {{
                                   {0, 1, 2, -1, -1, -1},
                                   {-1, -1, 2, -1, -1, -1},
                                   {-1, -1, 2, -1, -1, -1},
                               },
                               {false, false, true}};

void CheckReal(const std::string& text) {
    bool parsed = true;
    double value = 0;
    try {
        value = studlab::ParseDesignNumber(text);
    } catch (const studlab::TConversionError&) {
        parsed = false;
    }
    if (!Matches(kReal, text)) {
        Check(!parsed, "a real outside the grammar was read");
        return;
    }
    std::string plain;
    for (char c : text) {
        if (c != ' ' && c != '\t') plain += c == ',' ? '.' : c;
    }
    errno = 0;
    const double expected = std::strtod(plain.c_str(), nullptr);
    const bool outOfRange = errno == ERANGE;
    if (parsed) {
        Check(std::isfinite(value), "a real read as infinite");
        Check(value == expected || (std::isnan(value) && std::isnan(expected)),
              "a real read as another value than strtod's");
    } else {
        Check(outOfRange, "a real of the grammar and in range was refused");
    }
}

void CheckWhole(const std::string& text) {
    bool parsed = true;
    std::int32_t value = 0;
    try {
        value = studlab::ParseDesignInteger(text);
    } catch (const studlab::TConversionError&) {
        parsed = false;
    }
    if (!Matches(kWhole, text)) {
        Check(!parsed, "a whole number outside the grammar was read");
        return;
    }
    errno = 0;
    const long long expected = std::strtoll(text.c_str(), nullptr, 10);
    const bool fits = errno != ERANGE && expected >= INT32_MIN && expected <= INT32_MAX;
    Check(parsed == fits, "a whole number read or refused against its range");
    if (parsed) Check(value == expected, "a whole number read as another value");
}

// Any finite double: its text in the general format reads back as the same text and a value
// within the 15 digits shown.
void CheckFormat(double value) {
    if (!std::isfinite(value)) return;
    const std::string text = studlab::FormatNumber(value);
    double back = 0;
    try {
        back = studlab::ParseDesignNumber(text);
    } catch (const studlab::TConversionError&) {
        studlab::fuzz::Broken("the general format wrote a number it cannot read");
    }
    Check(studlab::FormatNumber(back) == text, "the general format is not stable");
    // Half a unit of the 15th digit, plus the reading's own rounding to the nearest double. The
    // digit's unit follows the larger of the two magnitudes, as 9,99999999999999999 shows as 10.
    const double magnitude = std::max(std::fabs(value), std::fabs(back));
    const double halfDigit = 0.5 * std::pow(10.0, std::floor(std::log10(magnitude)) - 14);
    const double readingStep = std::fabs(std::nextafter(back, 0.0) - back);
    // Beyond the largest 15-digit number below the largest double, the digits are cut, not
    // rounded: up to a whole unit of the 15th digit.
    const double shownUnits = magnitude > 1.79769313486231e308 ? 2 : 1;
    Check(std::fabs(back - value) <= shownUnits * halfDigit * (1 + 1e-9) + readingStep,
          "the general format lost more than its 15 digits");
}

// Ten-thousandths written as antes and read back, while the antes have 15 digits at most.
void CheckTenThousandths(std::int64_t amount) {
    if (amount <= -1'000'000'000'000'000 || amount >= 1'000'000'000'000'000) return;
    const double antes = studlab::ParseDesignNumber(studlab::FormatTenThousandths(amount));
    Check(studlab::RoundHalfEven(static_cast<long double>(antes) * 10000) == amount,
          "ten-thousandths do not read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReal(text);
    CheckWhole(text);
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        CheckFormat(value);
        std::int64_t amount;
        std::memcpy(&amount, data, sizeof amount);
        CheckTenThousandths(amount);
    }
    return 0;
}
