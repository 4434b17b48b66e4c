#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace studlab {

__extension__ typedef __int128 TInt128;
__extension__ typedef unsigned __int128 TUInt128;

// A signed 256-bit integer in two's complement, for the exact sums of a whole-game analysis: an
// amount in ten-thousandths of an ante (2^44) times the ways a hand can be dealt (up to 2^150)
// times the layouts (2^32) stays below 2^255. Only what those sums need: addition, subtraction,
// multiplication by a 64-bit number, comparison, and conversions.
class TInt256 {
public:
    constexpr TInt256() = default;
    constexpr TInt256(std::int64_t v) {  // NOLINT(google-explicit-constructor): a widening
        const std::uint64_t fill = v < 0 ? ~std::uint64_t{0} : 0;
        m_limbs = {static_cast<std::uint64_t>(v), fill, fill, fill};
    }
    static constexpr TInt256 From128(TInt128 v) {
        TInt256 r;
        const std::uint64_t fill = v < 0 ? ~std::uint64_t{0} : 0;
        r.m_limbs = {static_cast<std::uint64_t>(static_cast<TUInt128>(v)),
                     static_cast<std::uint64_t>(static_cast<TUInt128>(v) >> 64), fill, fill};
        return r;
    }

    constexpr bool IsNegative() const { return (m_limbs[3] >> 63) != 0; }

    constexpr TInt256& operator+=(const TInt256& o) {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const TUInt128 s = TUInt128{m_limbs[i]} + o.m_limbs[i] + carry;
            m_limbs[i] = static_cast<std::uint64_t>(s);
            carry = static_cast<std::uint64_t>(s >> 64);
        }
        return *this;
    }
    constexpr TInt256 operator-() const {
        TInt256 r;
        for (std::size_t i = 0; i < 4; ++i) r.m_limbs[i] = ~m_limbs[i];
        r += TInt256(1);
        return r;
    }
    constexpr TInt256& operator-=(const TInt256& o) { return *this += -o; }
    friend constexpr TInt256 operator+(TInt256 a, const TInt256& b) { return a += b; }
    friend constexpr TInt256 operator-(TInt256 a, const TInt256& b) { return a -= b; }

    // Multiplication by a 64-bit factor; the result must fit (it does for the analysis's sums,
    // whose bound is stated above).
    constexpr TInt256& operator*=(std::int64_t factor) {
        const bool negative = IsNegative() != (factor < 0);
        TInt256 magnitude = IsNegative() ? -*this : *this;
        const std::uint64_t f = factor < 0 ? ~static_cast<std::uint64_t>(factor) + 1
                                           : static_cast<std::uint64_t>(factor);
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const TUInt128 p = TUInt128{magnitude.m_limbs[i]} * f + carry;
            magnitude.m_limbs[i] = static_cast<std::uint64_t>(p);
            carry = static_cast<std::uint64_t>(p >> 64);
        }
        *this = negative ? -magnitude : magnitude;
        return *this;
    }
    friend constexpr TInt256 operator*(TInt256 a, std::int64_t f) { return a *= f; }
    // The product of two numbers whose product fits.
    friend constexpr TInt256 operator*(const TInt256& a, const TInt256& b) {
        const bool negative = a.IsNegative() != b.IsNegative();
        const TInt256 x = a.IsNegative() ? -a : a;
        const TInt256 y = b.IsNegative() ? -b : b;
        TInt256 r;
        for (std::size_t i = 0; i < 4; ++i) {
            std::uint64_t carry = 0;
            for (std::size_t j = 0; i + j < 4; ++j) {
                const TUInt128 p = TUInt128{x.m_limbs[i]} * y.m_limbs[j] + r.m_limbs[i + j] + carry;
                r.m_limbs[i + j] = static_cast<std::uint64_t>(p);
                carry = static_cast<std::uint64_t>(p >> 64);
            }
        }
        return negative ? -r : r;
    }

    friend constexpr bool operator==(const TInt256&, const TInt256&) = default;
    friend constexpr std::strong_ordering operator<=>(const TInt256& a, const TInt256& b) {
        if (a.IsNegative() != b.IsNegative()) {
            return a.IsNegative() ? std::strong_ordering::less : std::strong_ordering::greater;
        }
        for (std::size_t i = 4; i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i]) return a.m_limbs[i] <=> b.m_limbs[i];
        }
        return std::strong_ordering::equal;
    }

    long double ToLongDouble() const;
    // Decimal digits with a leading minus for negatives; FromString takes back exactly that.
    std::string ToString() const;
    static std::optional<TInt256> FromString(std::string_view text);

private:
    std::array<std::uint64_t, 4> m_limbs{};  // least significant first
};

// a / b as a long double, both exact integers; the quotient keeps 64 significant bits.
long double Quotient(const TInt256& a, const TInt256& b);

}  // namespace studlab
