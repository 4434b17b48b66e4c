#include "text/windows1251.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace studlab {
namespace {

// One conversion descriptor per call keeps the functions reentrant; files are small.
class TIconv {
public:
    TIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("no converter from ") + from + " to " + to);
        }
    }
    ~TIconv() { iconv_close(m_cd); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts one character's bytes; false when the input has no counterpart.
    bool Convert(std::string_view in, std::string& out) {
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        return true;
    }

private:
    iconv_t m_cd;
};

// The length of the character that starts at `i`. A byte that does not start a whole, well-formed
// sequence counts as a character of its own, so it never swallows the characters after it.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 1;
    if ((lead >> 5) == 0x6) length = 2;
    if ((lead >> 4) == 0xE) length = 3;
    if ((lead >> 3) == 0x1E) length = 4;
    if (i + length > text.size()) return 1;
    for (std::size_t k = i + 1; k < i + length; ++k) {
        if ((byte(k) >> 6) != 0x2) return 1;
    }
    return length;
}

}  // namespace

std::string Windows1251ToUtf8(std::string_view bytes) {
    TIconv converter("UTF-8", "WINDOWS-1251");
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else if (!converter.Convert(std::string_view(&c, 1), out)) {
            out += "\xEF\xBF\xBD";
        }
    }
    return out;
}

std::string Utf8ToWindows1251(std::string_view text) {
    TIconv converter("WINDOWS-1251", "UTF-8");
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Utf8SequenceLength(text, i);
        if (len == 1 && static_cast<unsigned char>(text[i]) < 0x80) {
            out += text[i];
        } else if (!converter.Convert(text.substr(i, len), out)) {
            out += '?';
        }
        i += len;
    }
    return out;
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        i += Utf8SequenceLength(text, i);
    }
    return count;
}

std::string Utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < count && i < text.size(); ++n) {
        i += Utf8SequenceLength(text, i);
    }
    return std::string(text.substr(0, i));
}

}  // namespace studlab
