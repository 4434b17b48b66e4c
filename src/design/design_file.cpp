#include "design/design_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

#include "design/design_numbers.h"
#include "design/design_schema.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;
using enum TFieldKind;

// The most bytes a design file can hold: every line as long as a line may be, ended by CR LF.
constexpr std::size_t kDesignFileMaxBytes =
    static_cast<std::size_t>(kDesignFileLines) * (kDesignLineMaxChars + 2);

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

std::string Quoted(const fs::path& path) {
    return "«" + path.string() + "»";
}

[[noreturn]] void CannotOpen(const fs::path& path, const std::string& reason) {
    throw TFileError("Не удалось открыть файл " + Quoted(path) + ": " + reason);
}
[[noreturn]] void CannotSave(const fs::path& path, const std::string& reason) {
    throw TFileError("Не удалось сохранить файл " + Quoted(path) + ": " + reason);
}
[[noreturn]] void NotADesignFile(const fs::path& path, std::size_t line,
                                 const std::string& reason) {
    throw TFileError("Файл " + Quoted(path) + " — не файл конструкции игры: строка " +
                     std::to_string(line) + ": " + reason);
}

std::string SystemReason(int error) {
    return std::strerror(error);
}

// Bytes that no line of text holds: control characters other than the tab, and 0x98, which has
// no character in Windows-1251.
constexpr bool IsTextByte(unsigned char byte) {
    return (byte >= 0x20 && byte != 0x7f && byte != 0x98) || byte == '\t';
}

// A line break or another control character inside a value would break the file into lines
// that are not the value's; a blank stands in its place. A tab is text and is kept as it is.
std::string OneLine(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f) c = ' ';
    }
    return text;
}

// What each value line must hold: the restored flags and options "YES" or "NO"; the rest any
// text (a number as typed, or a line that loading ignores).
std::array<bool, kDesignValueLines + 1> YesOrNoLines() {
    std::array<bool, kDesignValueLines + 1> yesOrNo{};
    for (const TDesignField& field : DesignFields()) {
        if (!field.Restored || field.Kind == fkText) continue;
        for (int i = 0; i < field.FileLineCount(); ++i)
            yesOrNo[static_cast<std::size_t>(field.FileLine + i)] = true;
    }
    return yesOrNo;
}

// The file's lines in UTF-8, checked line by line in file order so that the first bad line is
// the one named. `bytes` holds at most kDesignFileMaxBytes + 1 bytes of the file: a design file
// that fits that bound is read whole, and a longer file is bad within it (a line too long, or
// more lines than the format has).
std::vector<std::string> DesignFileLines(const fs::path& path, std::string_view bytes) {
    const std::array<bool, kDesignValueLines + 1> yesOrNo = YesOrNoLines();
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t number = lines.size() + 1;
        if (number > static_cast<std::size_t>(kDesignFileLines)) {
            NotADesignFile(
                path, number,
                "лишняя строка, в файле конструкции их " + std::to_string(kDesignFileLines));
        }
        std::size_t end = bytes.find('\n', pos);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = ended ? end + 1 : end;

        // A file whose lines end in CR alone would otherwise read as one overlong line.
        if (line.find('\r') != std::string_view::npos) {
            NotADesignFile(path, number,
                           "кончается одним знаком CR (так кончаются строки в файлах старых Mac), "
                           "а строки файла конструкции кончаются CR LF");
        }
        if (line.size() > static_cast<std::size_t>(kDesignLineMaxChars)) {
            NotADesignFile(path, number,
                           "длиннее " + std::to_string(kDesignLineMaxChars) + " знаков");
        }
        for (char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (IsTextByte(byte)) continue;
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", byte);
            NotADesignFile(path, number,
                           std::string("байт ") + code + ", которого в тексте не бывает");
        }
        std::string text = Windows1251ToUtf8(line);
        if (number <= static_cast<std::size_t>(kDesignValueLines)) {
            if (yesOrNo[number] && text != kYes && text != kNo)
                NotADesignFile(path, number, "«" + text + "» вместо YES или NO");
        } else if (!text.empty()) {
            NotADesignFile(path, number,
                           "«" + text + "», а строки после " + std::to_string(kDesignValueLines) +
                               "-й в файле конструкции пусты");
        }
        lines.push_back(std::move(text));
    }
    if (lines.size() < static_cast<std::size_t>(kDesignValueLines)) {
        NotADesignFile(path, lines.size() + 1,
                       "файл кончается раньше: в нём " + std::to_string(lines.size()) +
                           " строк, а в файле конструкции их не меньше " +
                           std::to_string(kDesignValueLines));
    }
    lines.resize(kDesignValueLines);
    return lines;
}

// Keeps a size limit (ulimit -f) from ending the program in the middle of a save: the write then
// fails with EFBIG and the save reports it.
class TFileSizeSignalIgnored {
public:
    TFileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_installed = sigaction(SIGXFSZ, &ignore, &m_previous) == 0;
    }
    ~TFileSizeSignalIgnored() {
        if (m_installed) sigaction(SIGXFSZ, &m_previous, nullptr);
    }
    TFileSizeSignalIgnored(const TFileSizeSignalIgnored&) = delete;
    TFileSizeSignalIgnored& operator=(const TFileSizeSignalIgnored&) = delete;

private:
    struct sigaction m_previous {};
    bool m_installed = false;
};

// A new file beside `target`, opened for writing; its name starts with a dot so that it hides in
// listings while it is written. The name is short whatever the target's, so that a target whose
// name is as long as the file system allows can still be saved.
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(".studlab-");
        name.append(std::to_string(::getpid()))
            .append("-")
            .append(std::to_string(attempt))
            .append(".tmp");
        temporary = target.parent_path() / name;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes `bytes` to a temporary file beside `target`, flushes it to the disk and renames it over
// `target`. On any failure the temporary file is removed, `target` is as it was, and the
// system's reason is thrown.
// The new file keeps the old one's permissions and, where the system allows, its owner.
void ReplaceFile(const fs::path& target, std::string_view bytes,
                 const std::optional<struct stat>& old) {
    const TFileSizeSignalIgnored sizeLimitReported;
    fs::path temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) CannotSave(target, SystemReason(errno));
    int error = 0;
    // Keeping another user's ownership takes privileges; without them the file is the saver's.
    const bool ownerKept = !old || ::fchown(fd, old->st_uid, old->st_gid) == 0;
    static_cast<void>(ownerKept);
    if (!WriteAll(fd, bytes) || (old && ::fchmod(fd, old->st_mode & 07777) != 0) ||
        ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        CannotSave(target, SystemReason(error));
    }
    // The new name itself reaches the disk with the folder.
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
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
        if (field.FileLine == 0) continue;
        WriteLines(field, d, unused, lines);
        const std::string& value = lines[static_cast<std::size_t>(field.FileLine - 1)];
        // A line longer than a design file holds would make the file unreadable.
        if (field.Kind == fkText &&
            Utf8ToWindows1251(value).size() > static_cast<std::size_t>(kDesignLineMaxChars)) {
            CannotSave(path, "в поле " + DesignFieldPlace(field) + " больше " +
                                 std::to_string(kDesignLineMaxChars) + " знаков");
        }
    }
    std::string bytes;
    for (const std::string& line : lines) bytes += Utf8ToWindows1251(OneLine(line)) + "\r\n";
    for (int i = kDesignValueLines; i < kDesignFileLines; ++i) bytes += "\r\n";

    // Only a regular file is replaced, and through a symbolic link the file it names in the link's
    // own folder; a pipe would block the save and a device would be swapped for a file. The new
    // file takes the old one's name only: other hard links to the old file keep its old text.
    std::error_code ec;
    fs::path target = path;
    std::optional<struct stat> old;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status)) {
        if (fs::is_directory(status)) CannotSave(path, SystemReason(EISDIR));
        if (!fs::is_regular_file(status)) CannotSave(path, "это не обычный файл");
        if (fs::is_symlink(fs::symlink_status(path, ec))) {
            target = fs::canonical(path, ec);
            if (ec) CannotSave(path, ec.message());
            // A link is followed only to a file in its own folder: one that leads elsewhere would
            // have the save replace a file the user did not name.
            const fs::path folder = fs::canonical(
                path.parent_path().empty() ? fs::path(".") : path.parent_path(), ec);
            if (ec || target.parent_path() != folder) {
                CannotSave(path, "это символьная ссылка на файл в другой папке («" +
                                     target.string() + "»); сохраните под его собственным именем");
            }
        }
        // Replacing the file takes only the folder's permission; a file the user may not write
        // himself is left alone, as writing it in place would leave it.
        if (::access(target.c_str(), W_OK) != 0) CannotSave(path, SystemReason(errno));
        struct stat oldStatus {};
        if (::stat(target.c_str(), &oldStatus) == 0) old = oldStatus;
    } else if (fs::is_symlink(fs::symlink_status(path, ec))) {
        CannotSave(path, "ссылка ведёт на файл, которого нет");
    }
    ReplaceFile(target, bytes, old);
}

std::string LoadDesignFile(const std::filesystem::path& path, TGameDesign& design) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) CannotOpen(path, SystemReason(EISDIR));
    // A pipe or a device would block the program or never end.
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        CannotOpen(path, "это не обычный файл");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) CannotOpen(path, SystemReason(errno));

    // No more than a design file can hold is read, whatever the file's size.
    std::string bytes(kDesignFileMaxBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) CannotOpen(path, SystemReason(errno));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const std::vector<std::string> values = DesignFileLines(path, bytes);

    TGameDesign loaded = design;
    TCalculationSettings unused;
    for (const TDesignField& field : DesignFields()) {
        if (field.Restored) RestoreLines(field, values, loaded, unused);
    }
    design = loaded;
    return GameNameOf(path);
}

}  // namespace studlab
