#include "text/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace studlab {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void FailReal(std::string_view text) {
    throw TConversionError("'" + std::string(text) + "' is not a valid floating point value");
}
[[noreturn]] void FailInteger(std::string_view text) {
    throw TConversionError("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace

double ParseDesignNumber(std::string_view text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    // Rebuild the number in plain notation and let from_chars do the rounding: unlike strtod it
    // ignores the locale, which the windows set to the user's (a Russian one reads "1.2" as 1).
    std::string plain;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    int digits = 0;
    bool comma = false;
    for (; i < end && (IsDigit(text[i]) || text[i] == ','); ++i) {
        if (text[i] == ',') {
            if (comma) FailReal(text);
            comma = true;
            plain += '.';
        } else {
            ++digits;
            plain += text[i];
        }
    }
    if (digits == 0) FailReal(text);
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        int expDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++expDigits) plain += text[i];
        if (expDigits == 0) FailReal(text);
    }
    if (i != end) FailReal(text);
    double value = 0;
    const auto [last, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                               std::chars_format::general);
    if (error != std::errc{} || last != plain.data() + plain.size() || !std::isfinite(value)) {
        FailReal(text);
    }
    return value;
}

std::int32_t ParseDesignInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) FailInteger(text);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) FailInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) FailInteger(text);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) FailInteger(text);
    return static_cast<std::int32_t>(value);
}

std::int64_t RoundHalfEven(long double value) {
    // llrint and nearbyint round in the current mode, which is to-nearest-even unless someone
    // changed it; llrint is one instruction, and the common amounts lie well inside its range.
    constexpr long double kSafe = 4611686018427387904.0L;  // 2^62
    if (value > -kSafe && value < kSafe) return std::llrint(value);
    const long double rounded = std::nearbyintl(value);
    // Whole numbers from -2^63 up to, but not including, 2^63 fit; NaN fails both tests.
    constexpr long double kLimit = 9223372036854775808.0L;
    if (!(rounded >= -kLimit && rounded < kLimit)) {
        throw std::range_error("Число " + FormatNumber(value) + " вне допустимого диапазона");
    }
    return static_cast<std::int64_t>(rounded);
}

std::string FormatNumber(long double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    char buffer[64];
    // 15 significant digits: d.dddddddddddddde±x, whatever the locale says a point is.
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string text(buffer, written.ptr);
    std::size_t ePos = text.find('e');
    int exponent = std::atoi(text.c_str() + ePos + 1);
    // Rounded to 15 digits, the largest doubles would name a number beyond every double, a text
    // that no number reading takes back: those are cut to 15 digits instead.
    if (exponent == std::numeric_limits<double>::max_exponent10 &&
        std::fabs(value) <= std::numeric_limits<double>::max()) {
        double back = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), back).ec ==
            std::errc::result_out_of_range) {
            const auto longer = std::to_chars(buffer, buffer + sizeof buffer, value,
                                              std::chars_format::scientific, 16);
            text.assign(buffer, longer.ptr);
            const std::size_t digitsEnd = (text[0] == '-' ? 1 : 0) + 16;  // "d." and 14 digits
            text.erase(digitsEnd, text.find('e') - digitsEnd);
            ePos = text.find('e');
        }
    }
    std::string mantissa = text.substr(0, ePos);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);  // 15 digits, no point
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += ',';
            out.append(digits, 1);
        }
        out += "E";
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0,";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += ',';
            out.append(digits, intDigits);
        }
    }
    return out;
}

std::string FormatTenThousandths(TAnteSum amount) {
    return FormatNumber(static_cast<long double>(amount) / 10000.0L);
}

std::string FormatAmount(long double antes) {
    const long double scaled = antes * 10000.0L;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18L) return FormatNumber(antes);
    return FormatTenThousandths(RoundHalfEven(scaled));
}

std::string FormatAmountText(std::string_view text) {
    if (text.empty()) return std::string();
    try {
        return FormatAmount(ParseDesignNumber(text));
    } catch (const TConversionError&) {
        return std::string(text);
    }
}

std::string FormatAmountsInText(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    bool quoted = false;
    while (i < text.size()) {
        // What stands in quotes is the user's own text ("1,55555" typed into a field): it is
        // shown as typed.
        if (text[i] == '"') quoted = !quoted;
        if (text.substr(i, 2) == "«") quoted = true;
        if (text.substr(i, 2) == "»") quoted = false;
        if (quoted) {
            out += text[i++];
            continue;
        }
        // A number starts at a digit, or at a minus sign before one, that does not continue a
        // word or another number.
        const bool minus = text[i] == '-' && i + 1 < text.size() && IsDigit(text[i + 1]);
        const bool startsNumber =
            (IsDigit(text[i]) || minus) &&
            (i == 0 || !(IsDigit(text[i - 1]) || text[i - 1] == ',' || text[i - 1] == '-' ||
                         std::isalpha(static_cast<unsigned char>(text[i - 1]))));
        if (!startsNumber) {
            out += text[i++];
            continue;
        }
        std::size_t end = i + (minus ? 1 : 0);
        while (end < text.size() && IsDigit(text[end])) ++end;
        bool decimal = false;
        if (end + 1 < text.size() && text[end] == ',' && IsDigit(text[end + 1])) {
            decimal = true;
            ++end;
            while (end < text.size() && IsDigit(text[end])) ++end;
            // An exponent belongs to the number only when digits follow it.
            std::size_t e = end;
            if (e < text.size() && (text[e] == 'E' || text[e] == 'e')) {
                ++e;
                if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
                if (e < text.size() && IsDigit(text[e])) {
                    while (e < text.size() && IsDigit(text[e])) ++e;
                    end = e;
                }
            }
        }
        const std::string_view number = text.substr(i, end - i);
        out += decimal ? FormatAmountText(number) : std::string(number);
        i = end;
    }
    return out;
}

}  // namespace studlab
