#include "profit/exact/wide_int.h"

#include <algorithm>
#include <cmath>

namespace studlab {
namespace {

// Divides a non-negative number by a small divisor in place and returns the remainder.
std::uint64_t DivideInPlace(std::array<std::uint64_t, 4>& limbs, std::uint64_t divisor) {
    TUInt128 remainder = 0;
    for (std::size_t i = 4; i-- > 0;) {
        const TUInt128 current = (remainder << 64) | limbs[i];
        limbs[i] = static_cast<std::uint64_t>(current / divisor);
        remainder = current % divisor;
    }
    return static_cast<std::uint64_t>(remainder);
}

}  // namespace

long double TInt256::ToLongDouble() const {
    const TInt256 magnitude = IsNegative() ? -*this : *this;
    long double value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = value * 18446744073709551616.0L + static_cast<long double>(magnitude.m_limbs[i]);
    }
    return IsNegative() ? -value : value;
}

std::string TInt256::ToString() const {
    TInt256 magnitude = IsNegative() ? -*this : *this;
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + DivideInPlace(magnitude.m_limbs, 10)));
    } while (magnitude != TInt256());
    if (IsNegative()) digits.push_back('-');
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::optional<TInt256> TInt256::FromString(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 77) return std::nullopt;
    TInt256 value;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value *= 10;
        value += TInt256(c - '0');
        if (value.IsNegative()) return std::nullopt;  // beyond 2^255
    }
    return negative ? -value : value;
}

long double Quotient(const TInt256& a, const TInt256& b) {
    // A long double reaches far beyond 2^256, so both convert without overflow.
    const long double x = a.ToLongDouble();
    const long double y = b.ToLongDouble();
    return x / y;
}

}  // namespace studlab
