// A strategy store read from a damaged file: it is refused with its own error, or it loads whole
// (every class with a choice of the table, the design it names) and, when no byte changed, with
// the choices written. The input is a list of changes to a valid store of the game without open
// dealer cards: per change three bytes of offset (from the start, or from the end when the
// offset's top bit is set) and the new byte; a last lone byte, if any, cuts the file by that many
// bytes (or, above 127, lengthens it).
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_check.h"
#include "profit/exact/strategy_store.h"

using studlab::fuzz::Check;

namespace {

const std::string& ValidStore() {
    static const std::string bytes = [] {
        studlab::TStrategyStore store("0123456789abcdef", 0);
        for (std::int64_t i = 0; i < store.ClassCount(); ++i) {
            store.Record(i, studlab::kFirstChoiceCodes[static_cast<std::size_t>(i % 11)]);
        }
        const auto path = std::filesystem::temp_directory_path() /
                          ("studlab-fuzz-store-" + std::to_string(getpid()));
        store.Save(path);
        std::ifstream in(path, std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::filesystem::remove(path);
        return text;
    }();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    std::string bytes = ValidStore();
    std::size_t at = 0;
    for (; at + 4 <= size; at += 4) {
        const std::size_t raw =
            (std::size_t{data[at]} << 16) | (std::size_t{data[at + 1]} << 8) | data[at + 2];
        const std::size_t offset = raw & 0x7FFFFF;
        if (offset >= bytes.size()) continue;
        bytes[(raw & 0x800000) != 0 ? bytes.size() - 1 - offset : offset] =
            static_cast<char>(data[at + 3]);
    }
    if (at < size) {
        const std::size_t cut = data[at];
        if (cut < 128) {
            bytes.resize(bytes.size() > cut ? bytes.size() - cut : 0);
        } else {
            bytes.append(cut - 127, '\0');
        }
    }
    const auto path = std::filesystem::temp_directory_path() /
                      ("studlab-fuzz-damaged-store-" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    try {
        const studlab::TStrategyStore store = studlab::TStrategyStore::Load(path, "");
        Check(store.Missing() == 0, "a store loaded with classes missing");
        Check(store.DealerCards() == 0, "a store loaded for another game");
        Check(store.Fingerprint().size() == 16, "a store loaded without its fingerprint");
        if (bytes == ValidStore()) {
            for (std::int64_t i = 0; i < store.ClassCount(); ++i) {
                Check(store.ChoiceOf(i) ==
                          studlab::kFirstChoiceCodes[static_cast<std::size_t>(i % 11)],
                      "a whole store loaded with other choices");
            }
        }
    } catch (const studlab::TStrategyStoreError&) {
        Check(bytes != ValidStore(), "a whole store refused");
    }
    std::filesystem::remove(path);
    return 0;
}
