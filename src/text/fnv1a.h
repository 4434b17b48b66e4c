#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace studlab {

// The 64-bit FNV-1a hash of the bytes of `text`: the same on every run, machine and build, so it
// may name files and mark stored rows.
constexpr std::uint64_t Fnv1a64(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

// The hash as sixteen lower-case hexadecimal digits.
inline std::string HexDigits(std::uint64_t value) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) {
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 0xF];
    }
    return text;
}

}  // namespace studlab
