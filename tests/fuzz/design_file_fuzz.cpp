// The design-file loader on any bytes: it reads them or refuses with a message, and what it
// reads, once saved, loads back as the same design and saves as the same bytes.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "design/design_fields.h"
#include "design/design_file.h"
#include "fuzz_check.h"
#include "text/windows1251.h"

using studlab::fuzz::Check;

namespace {

// Scratch files in memory where there is such a folder: a disk would be written at every input.
std::filesystem::path Scratch(const char* what) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", ec)
                                             ? std::filesystem::path("/dev/shm")
                                             : std::filesystem::temp_directory_path();
    return folder / ("studlab-fuzz-" + std::to_string(getpid()) + "-" + what + ".es1");
}

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

studlab::TGameDesign Load(const std::filesystem::path& path) {
    studlab::TGameDesign design;
    try {
        studlab::LoadDesignFile(path, design);
    } catch (const std::runtime_error&) {
        studlab::fuzz::Broken("a saved design cannot be loaded");
    }
    return design;
}

// Whether every field's text survives Windows-1251 (a byte without a character does not).
bool SavesAsItIs(const studlab::TGameDesign& design) {
    std::string values;
    for (const auto& field : studlab::ListDesignFields(design, studlab::TCalculationSettings{}))
        values += field.Value + '\n';
    return studlab::Windows1251ToUtf8(studlab::Utf8ToWindows1251(values)) == values;
}

// The three scratch files of the run, removed when it ends.
struct TScratch {
    std::filesystem::path Input = Scratch("input");
    std::filesystem::path Saved = Scratch("saved");
    std::filesystem::path Again = Scratch("again");
    ~TScratch() {
        std::error_code ec;
        for (const auto* file : {&Input, &Saved, &Again}) std::filesystem::remove(*file, ec);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return 0;
    static const TScratch scratch;
    const std::filesystem::path& input = scratch.Input;
    const std::filesystem::path& saved = scratch.Saved;
    const std::filesystem::path& again = scratch.Again;
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    studlab::TGameDesign loaded;
    const studlab::TGameDesign before = loaded;
    try {
        studlab::LoadDesignFile(input, loaded);
    } catch (const std::runtime_error&) {
        Check(loaded == before, "a refused file changed the design");
        return 0;
    }
    studlab::SaveDesignFile(loaded, saved);
    const studlab::TGameDesign reloaded = Load(saved);
    if (SavesAsItIs(loaded)) Check(reloaded == loaded, "a saved design loads as another design");
    studlab::SaveDesignFile(reloaded, again);
    Check(Bytes(again) == Bytes(saved), "a design saved twice gives other bytes");
    Check(Load(again) == reloaded, "a reloaded design does not load back");
    return 0;
}
