#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "design/game_design.h"

namespace studlab {

// A design file that cannot be written or read, or a file that cannot be a design file. The
// message names the file and the reason: "Не удалось открыть файл «x.es1»: No such file or
// directory", "Файл «x.es1» — не файл конструкции игры: строка 41: …".
class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kDesignValueLines = 150;
inline constexpr int kDesignFileLines = 305;
// The longest line a design file holds, in bytes (one a character): a value the constructor can
// keep. Reading never takes more than this per line.
inline constexpr int kDesignLineMaxChars = 255;

// Writes the 150 value lines and 155 empty lines, Windows-1251, each line ended by CR LF. The file
// is written in full beside the old one and then put in its place, so that a failed save (a full
// disk, a size limit) leaves the old file as it was. Anything but a regular file or a new name is
// refused, and so are a file the user may not write and a value longer than a line can hold.
void SaveDesignFile(const TGameDesign& design, const std::filesystem::path& path);

// Reads a design file and restores the fields that the user can edit (and the deck kind); the
// others keep their values. Returns the game name: the file name less its last four characters.
// A file that cannot be a design file is refused, naming its first bad line: fewer than 150 or
// more than 305 lines, a line longer than kDesignLineMaxChars or holding bytes no text holds, a
// restored flag or option that is not "YES" or "NO", a line after 150 that is not empty. A
// number line may hold any text, as a constructor field may. On failure the design is left
// unchanged.
std::string LoadDesignFile(const std::filesystem::path& path, TGameDesign& design);

// The game name a path gives: the file name without its directory, less its last four characters.
std::string GameNameOf(const std::filesystem::path& path);

}  // namespace studlab
