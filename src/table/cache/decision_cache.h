#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
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
// locked, a symbolic link or not ours. The message says which and names the file or folder; the
// file is left as it was.
class TDecisionCacheError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A row that could not be stored; the decision it records has been made and shown.
class TDecisionNotStoredError : public TDecisionCacheError {
public:
    using TDecisionCacheError::TDecisionCacheError;
};

// One stored decision. The candidate lists are stored whole; the other texts are cut to their
// field sizes (in characters). The file's columns keep their first names (Matrix, Choose,
// Choose_N, MO_r, Nadpis, reshenie1..4), so that files written before still open.
struct TDecisionCacheRow {
    std::string LayoutKey;               // the layout key, 255
    std::string Captions;                // the candidates' captions, each followed by a line break
    std::string Values;                  // their values likewise
    std::string Result;                  // the hand's result in antes, 30
    std::string Prompt;                  // the prompt line, 100
    std::array<std::string, 4> Choices;  // the choices of the four decisions, 100 each

    friend bool operator==(const TDecisionCacheRow&, const TDecisionCacheRow&) = default;
};

// What `cache --info` reports of a game's file.
struct TDecisionCacheInfo {
    std::filesystem::path File;
    bool Exists = false;
    std::int64_t Rows = 0;     // of every fingerprint
    std::uintmax_t Bytes = 0;  // the file and its write-ahead log
};

// 156 digits: for every card from the ace of hearts down to the two of spades in scan order,
// its flag in the dealer's, the player's and the out cards.
std::string LayoutKey(TCardTable dealer, TCardTable player, TCardTable out);

// The decision caches of all games: one SQLite file per game in the games folder, which the
// program never creates. Every row carries the fingerprint of the design and settings that made
// it (DesignFingerprint) and is served only to the same fingerprint; rows are only appended.
//
// A file is ours when it carries kApplicationId and kFormatVersion and exactly our table and
// index; a file of the first format (no fingerprints, no marks) is taken up in place before the
// first row is added to it. Anything else, a symbolic link at the file's place and a file that
// fails SQLite's quick check before the first write are refused with a message and left alone.
// When the program may not write the folder (or the file), stored rows are still served and
// new rows are dropped, which TakeNotice reports once.
class TDecisionCache {
public:
    static constexpr std::int32_t kApplicationId = 0x53544C44;  // "STLD"
    static constexpr std::int32_t kFormatVersion = 1;           // 0: the first format

    explicit TDecisionCache(std::filesystem::path gamesDir);
    ~TDecisionCache();
    TDecisionCache(const TDecisionCache&) = delete;
    TDecisionCache& operator=(const TDecisionCache&) = delete;

    const std::filesystem::path& GamesDir() const { return m_gamesDir; }
    void SetGamesDir(std::filesystem::path dir);

    // The first row of `fingerprint` whose key begins with `key`, ignoring letter case; none when
    // the game has no cache yet (or the folder is missing: the decision is then computed).
    std::optional<TDecisionCacheRow> Find(std::string_view gameName, std::string_view fingerprint,
                                          std::string_view key);
    // Appends one row in one transaction, creating the game's file when it does not exist.
    // Throws TDecisionNotStoredError when it cannot; a folder the program may not write is no
    // error: the row is dropped and TakeNotice says so.
    void Append(std::string_view gameName, std::string_view fingerprint,
                const TDecisionCacheRow& row);

    // The game's file, its rows and its size; the file need not exist.
    TDecisionCacheInfo Info(std::string_view gameName);
    // Removes every row of the game (of every fingerprint); the file stays. Throws
    // TDecisionCacheError when the file cannot be written or is not ours.
    void Clear(std::string_view gameName);

    // The message, once, that new decisions are not stored because the folder (or the file)
    // cannot be written; none before that happens and after it was taken.
    std::optional<std::string> TakeNotice();

    // Whether the program may write a folder or file; the system's answer by default. Tests
    // stand in for a folder that cannot be written, which root could write anyway.
    using TWriteCheck = std::function<bool(const std::filesystem::path&)>;
    void SetWriteCheck(TWriteCheck check);

    // How long a file that another program is writing is waited for before the press fails. A
    // new game's file is created with the disk synchronised, which a busy disk can make slow.
    static constexpr int kBusyMilliseconds = 10'000;
    void SetBusyTimeout(int milliseconds) { m_busyMilliseconds = milliseconds; }

    // The file of a game, always directly in the games folder and never another game's:
    // characters a file name cannot hold (and any way out of the folder) are escaped as %XX, and a
    // name too long for a file system is shortened and given a hash of the whole name.
    std::filesystem::path FileFor(std::string_view gameName) const;

private:
    enum class TFormat { Blank, First, Current };  // Blank: no page yet

    // The game's open database; none when the file does not exist (and `create` is off or the
    // folder cannot be written).
    TSqliteDatabase* Open(std::string_view gameName, bool create);
    void Close();
    std::optional<TFormat> Recognise(TSqliteDatabase& db) const;
    TFormat RecogniseOpen();  // of the open file; refuses one that is not ours
    void CheckIntegrityOnce();
    void MakeCurrent(TSqliteDatabase& db);
    void Insert(std::string_view gameName, std::string_view fingerprint,
                const TDecisionCacheRow& row);
    void NoteNotStored(const std::filesystem::path& unwritable);
    [[noreturn]] void Fail(std::string_view what, const std::exception& e);

    std::filesystem::path m_gamesDir;
    TWriteCheck m_canWrite;
    int m_busyMilliseconds = kBusyMilliseconds;
    std::optional<std::string> m_notice;
    bool m_noticeGiven = false;

    // The open file: kept from press to press while the path still names the same file.
    std::filesystem::path m_openPath;
    std::optional<std::pair<dev_t, ino_t>> m_openIdentity;  // of the link, not what it names
    std::unique_ptr<TSqliteDatabase> m_db;
    bool m_writable = false;
    TFormat m_format = TFormat::Blank;
    std::optional<std::string> m_damage;  // what the quick check found; empty: not yet run
    bool m_checked = false;
};

}  // namespace studlab
