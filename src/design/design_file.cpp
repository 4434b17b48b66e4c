#include "design/design_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "design/design_schema.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

using enum TFieldKind;

// The field's value lines, in file order: one line, or one "YES"/"NO" line per option.
void WriteLines(const TDesignField& field, TGameDesign& design, TCalculationSettings& settings,
                std::vector<std::string>& lines) {
    const auto line = [&](int i) -> std::string& {
        return lines[static_cast<std::size_t>(field.FileLine - 1 + i)];
    };
    switch (field.Kind) {
        case fkFlag:
            line(0) = FlagText(field.FlagIn(design, settings));
            break;
        case fkText:
            line(0) = field.TextIn(design, settings);
            break;
        case fkOptions:
            for (int i = 0; i < field.FileLineCount(); ++i)
                line(i) = FlagText(field.Options->IsMarked(design, settings, i));
            break;
    }
}

// Texts as they stand; a flag is on exactly when its line is "YES"; an option's "YES" chooses it
// and anything else takes back only that option, so the last "YES" of a group wins and a group
// without one is left without a choice.
void RestoreLines(const TDesignField& field, const std::vector<std::string>& lines,
                  TGameDesign& design, TCalculationSettings& settings) {
    const auto line = [&](int i) -> const std::string& {
        return lines[static_cast<std::size_t>(field.FileLine - 1 + i)];
    };
    switch (field.Kind) {
        case fkFlag:
            field.FlagIn(design, settings) = line(0) == kYes;
            break;
        case fkText:
            field.TextIn(design, settings) = line(0);
            break;
        case fkOptions:
            for (int i = 0; i < field.FileLineCount(); ++i) {
                if (line(i) == kYes) {
                    field.Options->Choose(design, settings, i);
                } else if (field.Options->Chosen(design, settings) == i) {
                    field.Options->Choose(design, settings, std::nullopt);
                }
            }
            break;
    }
}

std::string SystemReason() {
    return std::strerror(errno);
}

// Line breaks inside a value would shift every later line of the file.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

std::string GameNameOf(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::size_t length = Utf8Length(name);
    return length <= 4 ? std::string() : Utf8Prefix(name, length - 4);
}

void SaveDesignFile(const TGameDesign& design, const std::filesystem::path& path) {
    // The accessors give the members to change them too; saving reads copies. The settings
    // have no line in the file.
    TGameDesign d = design;
    TCalculationSettings unused;
    std::vector<std::string> lines(kDesignValueLines);
    for (const TDesignField& field : DesignFields()) {
        if (field.FileLine != 0) WriteLines(field, d, unused, lines);
    }
    std::string bytes;
    for (const std::string& line : lines) bytes += Utf8ToWindows1251(OneLine(line)) + "\r\n";
    for (int i = kDesignValueLines; i < kDesignFileLines; ++i) bytes += "\r\n";

    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw TFileError("Cannot create file \"" + path.string() + "\". " + SystemReason());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw TFileError("Cannot create file \"" + path.string() + "\". " + SystemReason());
}

std::string LoadDesignFile(const std::filesystem::path& path, TGameDesign& design) {
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        throw TFileError("Cannot open file \"" + path.string() + "\". " + std::strerror(EISDIR));
    }
    // A pipe or a device would block the program or never end.
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw TFileError("Cannot open file \"" + path.string() + "\". Not a regular file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw TFileError("Cannot open file \"" + path.string() + "\". " + SystemReason());

    // Only the first 150 lines matter; a missing line reads as empty.
    std::vector<std::string> values(kDesignValueLines);
    std::string raw;
    for (int i = 0; i < kDesignValueLines && std::getline(in, raw, '\n'); ++i) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        values[static_cast<std::size_t>(i)] = Windows1251ToUtf8(raw);
    }
    if (in.bad()) throw TFileError("Cannot open file \"" + path.string() + "\". " + SystemReason());

    TGameDesign loaded = design;
    TCalculationSettings unused;
    for (const TDesignField& field : DesignFields()) {
        if (field.Restored) RestoreLines(field, values, loaded, unused);
    }
    design = loaded;
    return GameNameOf(path);
}

}  // namespace studlab
