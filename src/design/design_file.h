#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "design/game_design.h"

namespace studlab {

// A design file that cannot be created or opened: "Cannot open file "x.es1". No such file ...".
class TFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kDesignValueLines = 150;
inline constexpr int kDesignFileLines = 305;

// Writes the 150 value lines and 155 empty lines, Windows-1251, each line ended by CR LF.
void SaveDesignFile(const TGameDesign& design, const std::filesystem::path& path);

// Reads a design file and restores the fields that the user can edit (and the deck kind); the
// others keep their values. Returns the game name: the file name less its last four characters.
// On failure the design is left unchanged.
std::string LoadDesignFile(const std::filesystem::path& path, TGameDesign& design);

// The game name a path gives: the file name without its directory, less its last four characters.
std::string GameNameOf(const std::filesystem::path& path);

}  // namespace studlab
