#pragma once

#include <string>
#include <string_view>

namespace studlab {

// The name of a game's cache file in the games folder: a visible name that every file system
// takes (at most 200 bytes before ".sqlite"), never the name of another game's file.
std::string CacheFileName(std::string_view gameName);

}  // namespace studlab
