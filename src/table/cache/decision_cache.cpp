#include "table/cache/decision_cache.h"

#include <sys/stat.h>

#include <cstdio>

#include "table/cache/sqlite.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

constexpr const char* kColumns =
    "Matrix, Choose, Choose_N, MO_r, Nadpis, reshenie1, reshenie2, reshenie3, reshenie4";

constexpr const char* kSchema =
    "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis TEXT, "
    "reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT);"
    "CREATE INDEX decisions_matrix ON decisions (Matrix COLLATE NOCASE);";

std::string Cut(std::string_view text, std::size_t characters) {
    return Utf8Prefix(text, characters);
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    }
    return true;
}

// The first text after every text that begins with `prefix`, ignoring letter case; none when
// there is no such text. Folding the bound's last letter can only widen the range, and every row
// it returns is checked again.
std::optional<std::string> PrefixEnd(std::string_view prefix) {
    std::string end;
    for (char c : prefix) end += AsciiLower(c);
    while (!end.empty() && static_cast<unsigned char>(end.back()) == 0xFF) end.pop_back();
    if (end.empty()) return std::nullopt;
    end.back() = static_cast<char>(static_cast<unsigned char>(end.back()) + 1);
    return end;
}

// Characters that a file name cannot hold, '%' itself and '~' are written as %XX, so that the
// file names of two games never coincide; '~' marks a shortened name.
std::string EscapedFileName(std::string_view gameName) {
    std::string name;
    for (std::size_t i = 0; i < gameName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gameName[i]);
        const bool leadingDot = i == 0 && c == '.';  // no hidden files, no "." or ".."
        if (c < 0x20 || c == 0x7F || leadingDot ||
            std::string_view("/\\:*?\"<>|%~").find(static_cast<char>(c)) !=
                std::string_view::npos) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            name += hex;
        } else {
            name += static_cast<char>(c);
        }
    }
    // A game without a name must not become the hidden file ".sqlite"; a lone '%' is no escape.
    return name.empty() ? "%" : name;
}

// A name longer than a file system allows (255 bytes, with ".sqlite-journal" after it) keeps its
// beginning, cut between characters, and a hash of the whole name.
std::string ShortenedFileName(std::string name) {
    constexpr std::size_t kLongest = 200;
    constexpr std::size_t kKept = 180;
    if (name.size() <= kLongest) return name;
    std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a: the same on every run and machine
    for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ULL;
    std::size_t cut = kKept;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    char tail[24];
    std::snprintf(tail, sizeof tail, "~%016llx", static_cast<unsigned long long>(hash));
    return name.substr(0, cut) + tail;
}

// Which file a path names now: a file deleted or replaced since it was opened is another file.
std::optional<std::pair<dev_t, ino_t>> FileIdentity(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

bool PathExists(const std::filesystem::path& path) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (ec) {
        throw TDecisionCacheError("Кэш решений \"" + path.string() +
                                  "\" недоступен: " + ec.message());
    }
    return exists;
}

}  // namespace

std::string LayoutKey(TCardTable dealer, TCardTable player, TCardTable out) {
    std::string key;
    key.reserve(156);
    for (RankIndex r = 1; r <= kRanks; ++r) {
        for (SuitIndex s = 1; s <= kSuits; ++s) {
            key += dealer.Has(r, s) ? '1' : '0';
            key += player.Has(r, s) ? '1' : '0';
            key += out.Has(r, s) ? '1' : '0';
        }
    }
    return key;
}

TDecisionCache::TDecisionCache(std::filesystem::path gamesDir) : m_gamesDir(std::move(gamesDir)) {}
TDecisionCache::~TDecisionCache() = default;

void TDecisionCache::SetGamesDir(std::filesystem::path dir) {
    m_gamesDir = std::move(dir);
    m_db.reset();
    m_openPath.clear();
}

std::filesystem::path TDecisionCache::FileFor(std::string_view gameName) const {
    return m_gamesDir / (ShortenedFileName(EscapedFileName(gameName)) + ".sqlite");
}

TSqliteDatabase* TDecisionCache::Open(std::string_view gameName, bool create) {
    const std::filesystem::path path = FileFor(gameName);
    // The connection is kept from press to press while the path still names the same file.
    if (m_db && m_openPath == path && FileIdentity(path) == m_openIdentity) return m_db.get();
    m_db.reset();
    m_openPath.clear();
    try {
        const bool exists = PathExists(path);
        auto db =
            std::make_unique<TSqliteDatabase>(path, exists ? TSqliteDatabase::TMode::OpenExisting
                                                           : TSqliteDatabase::TMode::CreateNew);
        // A file of ours holds the decisions table; an empty one (cut short while being created)
        // gets it now; anything else is left alone.
        bool empty = false;
        {
            TSqliteStatement tables(*db, "SELECT count(*) FROM sqlite_master");
            empty = tables.Step() && tables.Text(0) == "0";
        }
        if (empty) {
            if (!create) return nullptr;
            db->Execute("PRAGMA journal_mode=WAL");
            db->Execute("BEGIN IMMEDIATE");
            db->Execute(kSchema);
            db->Execute("COMMIT");
        }
        {
            TSqliteStatement check(
                *db, (std::string("SELECT ") + kColumns + " FROM decisions LIMIT 0").c_str());
        }
        db->Execute("PRAGMA synchronous=NORMAL");
        m_db = std::move(db);
        m_openPath = path;
        m_openIdentity = FileIdentity(path);
        return m_db.get();
    } catch (const TSqliteError& e) {
        throw TDecisionCacheError("Кэш решений \"" + path.string() + "\" не читается: " + e.what());
    }
}

std::optional<TDecisionCacheRow> TDecisionCache::Find(std::string_view gameName,
                                                      std::string_view key) {
    std::error_code ec;
    if (!std::filesystem::is_directory(m_gamesDir, ec) || !PathExists(FileFor(gameName))) {
        return std::nullopt;
    }
    TSqliteDatabase* db = Open(gameName, false);
    if (db == nullptr) return std::nullopt;
    try {
        const std::optional<std::string> end = PrefixEnd(key);
        TSqliteStatement find(*db, (std::string("SELECT rowid, ") + kColumns +
                                    " FROM decisions INDEXED BY decisions_matrix"
                                    " WHERE Matrix >= ?1 COLLATE NOCASE" +
                                    (end ? " AND Matrix < ?2 COLLATE NOCASE" : ""))
                                       .c_str());
        find.Bind(1, key);
        if (end) find.Bind(2, *end);
        std::optional<TDecisionCacheRow> first;
        long long firstRow = 0;
        while (find.Step()) {
            const long long row = std::stoll(find.Text(0));
            if (first && row > firstRow) continue;
            TDecisionCacheRow r{
                find.Text(1), find.Text(2),
                find.Text(3), find.Text(4),
                find.Text(5), {find.Text(6), find.Text(7), find.Text(8), find.Text(9)}};
            if (!StartsWithIgnoringCase(r.Matrix, key)) continue;
            first = std::move(r);
            firstRow = row;
        }
        return first;
    } catch (const TSqliteError& e) {
        m_db.reset();
        m_openPath.clear();
        throw TDecisionCacheError("Кэш решений \"" + FileFor(gameName).string() +
                                  "\" не читается: " + e.what());
    }
}

void TDecisionCache::Append(std::string_view gameName, const TDecisionCacheRow& row) {
    try {
        Insert(gameName, row);
    } catch (const TDecisionCacheError& e) {
        throw TDecisionNotStoredError(e.what());
    }
}

void TDecisionCache::Insert(std::string_view gameName, const TDecisionCacheRow& row) {
    std::error_code ec;
    if (!std::filesystem::is_directory(m_gamesDir, ec)) {
        throw TDecisionCacheError("Нет папки \"" + m_gamesDir.string() +
                                  "\": решение не сохранено в кэше");
    }
    TSqliteDatabase& db = *Open(gameName, true);
    try {
        TSqliteStatement insert(db, (std::string("INSERT INTO decisions (") + kColumns +
                                     ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")
                                        .c_str());
        insert.Bind(1, Cut(row.Matrix, 255));
        insert.Bind(2, Cut(row.Choose, 255));
        insert.Bind(3, Cut(row.ChooseN, 255));
        insert.Bind(4, Cut(row.MoR, 30));
        insert.Bind(5, Cut(row.Nadpis, 100));
        for (int i = 0; i < 4; ++i)
            insert.Bind(6 + i, Cut(row.Reshenie[static_cast<std::size_t>(i)], 100));
        insert.Step();  // one statement is one transaction
    } catch (const TSqliteError& e) {
        m_db.reset();
        m_openPath.clear();
        throw TDecisionCacheError("Кэш решений \"" + FileFor(gameName).string() +
                                  "\" не записывается: " + e.what());
    }
}

}  // namespace studlab
