// The cache file of a game: always directly inside the games folder, a visible file whose name a
// file system takes, and never the file of another game. The input holds two game names
// separated by a zero byte.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "table/cache/decision_cache.h"

using studlab::fuzz::Check;

namespace {

void CheckFile(const std::filesystem::path& folder, const std::filesystem::path& file) {
    Check(file.parent_path() == folder, "a cache file outside the games folder");
    const std::string name = file.filename().string();
    Check(!name.empty() && name.front() != '.', "a hidden or empty cache file name");
    Check(name.find('/') == std::string::npos, "a cache file name with a folder in it");
    Check(name.find('\0') == std::string::npos, "a cache file name with a zero byte");
    Check(name.size() + std::string("-journal").size() <= 255, "a cache file name too long");
    Check(name.ends_with(".sqlite"), "a cache file without its extension");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 2048) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string first = input.substr(0, split);
    const std::string second = split == std::string::npos ? first + "x" : input.substr(split + 1);
    const std::filesystem::path folder = "/games/Games";
    const studlab::TDecisionCache cache(folder);
    const std::filesystem::path a = cache.FileFor(first);
    const std::filesystem::path b = cache.FileFor(second);
    CheckFile(folder, a);
    CheckFile(folder, b);
    Check(a == cache.FileFor(first), "the same game in two files");
    Check((a == b) == (first == second), "two games in one file");
    return 0;
}
