#pragma once

#include <sys/types.h>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "cards/card_table.h"

namespace studlab {

class TSqliteDatabase;

// A cache that cannot be read or written: the folder is missing, or the game's file is damaged,
// locked or not ours. The message says which and names the file or folder.
class TDecisionCacheError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A row that could not be stored; the decision it records has been made and shown.
class TDecisionNotStoredError : public TDecisionCacheError {
public:
    using TDecisionCacheError::TDecisionCacheError;
};

// One stored decision. Texts are cut to their field sizes (in characters) when stored.
struct TDecisionCacheRow {
    std::string Matrix;                   // the layout key, 255
    std::string Choose;                   // the captions, each followed by a line break, 255
    std::string ChooseN;                  // the values likewise, 255
    std::string MoR;                      // the hand's result in antes, 30
    std::string Nadpis;                   // the prompt line, 100
    std::array<std::string, 4> Reshenie;  // the choices of the four decisions, 100 each

    friend bool operator==(const TDecisionCacheRow&, const TDecisionCacheRow&) = default;
};

// 156 digits: for every card from the ace of hearts down to the two of spades in scan order,
// its flag in the dealer's, the player's and the out cards.
std::string LayoutKey(TCardTable dealer, TCardTable player, TCardTable out);

// The decision caches of all games: one SQLite file per game in the games folder, which the
// program never creates. Rows are only appended.
class TDecisionCache {
public:
    explicit TDecisionCache(std::filesystem::path gamesDir);
    ~TDecisionCache();
    TDecisionCache(const TDecisionCache&) = delete;
    TDecisionCache& operator=(const TDecisionCache&) = delete;

    const std::filesystem::path& GamesDir() const { return m_gamesDir; }
    void SetGamesDir(std::filesystem::path dir);

    // The first row whose key begins with `key`, ignoring letter case; none when the game has
    // no cache yet (or the folder is missing: the decision is then computed).
    std::optional<TDecisionCacheRow> Find(std::string_view gameName, std::string_view key);
    // Appends one row in one transaction, creating the game's file when it does not exist.
    // Throws TDecisionNotStoredError when it cannot.
    void Append(std::string_view gameName, const TDecisionCacheRow& row);

    // The file of a game, always directly in the games folder and never another game's:
    // characters a file name cannot hold (and any way out of the folder) are escaped as %XX, and a
    // name too long for a file system is shortened and given a hash of the whole name.
    std::filesystem::path FileFor(std::string_view gameName) const;

private:
    // The game's open database; none when `create` is off and the file holds no table yet.
    TSqliteDatabase* Open(std::string_view gameName, bool create);
    void Insert(std::string_view gameName, const TDecisionCacheRow& row);

    std::filesystem::path m_gamesDir;
    std::filesystem::path m_openPath;
    std::optional<std::pair<dev_t, ino_t>> m_openIdentity;  // device and inode of m_openPath
    std::unique_ptr<TSqliteDatabase> m_db;
};

}  // namespace studlab
