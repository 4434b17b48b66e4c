#include "table/cache/cache_file_name.h"

#include <cstdio>

#include "text/fnv1a.h"

namespace studlab {
namespace {

// Characters that a file name cannot hold, '%' itself and '~' are written as %XX, so that the
// file names of two games never coincide; '~' marks a shortened name.
std::string EscapedFileName(std::string_view gameName) {
    std::string name;
    for (std::size_t i = 0; i < gameName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gameName[i]);
        const bool leadingDot = i == 0 && c == '.';  // no hidden files, no "." or ".."
        if (c < 0x20 || c == 0x7F || leadingDot ||
            std::string_view("/\\:*?\"<>|%~").find(static_cast<char>(c)) !=
                std::string_view::npos) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            name += hex;
        } else {
            name += static_cast<char>(c);
        }
    }
    // A game without a name must not become the hidden file ".sqlite"; a lone '%' is no escape.
    return name.empty() ? "%" : name;
}

// A name longer than a file system allows (255 bytes, with ".sqlite-journal" after it) keeps its
// beginning, cut between characters, and a hash of the whole name.
std::string ShortenedFileName(std::string name) {
    constexpr std::size_t kLongest = 200;
    constexpr std::size_t kKept = 180;
    if (name.size() <= kLongest) return name;
    std::size_t cut = kKept;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    return name.substr(0, cut) + "~" + HexDigits(Fnv1a64(name));
}

}  // namespace

std::string CacheFileName(std::string_view gameName) {
    return ShortenedFileName(EscapedFileName(gameName)) + ".sqlite";
}

}  // namespace studlab
