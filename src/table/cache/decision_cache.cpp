#include "table/cache/decision_cache.h"

#include "design/windows1251.h"
#include "table/cache/sqlite.h"

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
    std::string name;
    for (char c : gameName) {
        const bool forbidden = static_cast<unsigned char>(c) < 0x20 ||
                               std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        name += forbidden ? '_' : c;
    }
    // No hidden files, no "." or "..", no empty name.
    if (name.empty() || name.front() == '.') name.insert(name.begin(), '_');
    return m_gamesDir / (name + ".sqlite");
}

TSqliteDatabase* TDecisionCache::Open(std::string_view gameName, bool create) {
    const std::filesystem::path path = FileFor(gameName);
    if (m_db && m_openPath == path) return m_db.get();
    m_db.reset();
    m_openPath.clear();
    try {
        const bool exists = std::filesystem::exists(path);
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
        return m_db.get();
    } catch (const TSqliteError& e) {
        throw TDecisionCacheError("Кэш решений \"" + path.string() + "\" не читается: " + e.what());
    }
}

std::optional<TDecisionCacheRow> TDecisionCache::Find(std::string_view gameName,
                                                      std::string_view key) {
    if (!std::filesystem::is_directory(m_gamesDir) || !std::filesystem::exists(FileFor(gameName))) {
        return std::nullopt;
    }
    TSqliteDatabase* db = Open(gameName, false);
    if (db == nullptr) return std::nullopt;
    try {
        TSqliteStatement find(*db,
                              (std::string("SELECT rowid, ") + kColumns +
                               " FROM decisions INDEXED BY decisions_matrix"
                               " WHERE Matrix >= ?1 COLLATE NOCASE AND Matrix < ?2 COLLATE NOCASE")
                                  .c_str());
        find.Bind(1, key);
        find.Bind(2, std::string(key) + "\xFF");
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
    if (!std::filesystem::is_directory(m_gamesDir)) {
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
