#pragma once

#include <string>
#include <string_view>

namespace studlab {

// Design files are single-byte Cyrillic (Windows-1251); the program works in UTF-8.
// Bytes without a character (0x98) become U+FFFD; characters that Windows-1251 lacks become '?'.
std::string Windows1251ToUtf8(std::string_view bytes);
std::string Utf8ToWindows1251(std::string_view text);

// Number of characters (code points) of a UTF-8 text; invalid bytes count one each.
std::size_t Utf8Length(std::string_view text);
// The first `count` characters of a UTF-8 text.
std::string Utf8Prefix(std::string_view text, std::size_t count);

}  // namespace studlab
