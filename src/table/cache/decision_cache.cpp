#include "table/cache/decision_cache.h"

#include "table/cache/cache_file_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "table/cache/sqlite.h"
#include "text/fnv1a.h"
#include "text/windows1251.h"

namespace studlab {
namespace {

namespace fs = std::filesystem;

constexpr const char* kColumns =
    "Matrix, Choose, Choose_N, MO_r, Nadpis, reshenie1, reshenie2, reshenie3, reshenie4";

// The schema exactly as SQLite keeps it (sqlite_master.sql). The first format had no
// fingerprints; adding the column to it gives the same table text as creating it anew.
constexpr std::string_view kTable =
    "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis TEXT, "
    "reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT, Fingerprint TEXT)";
constexpr std::string_view kIndex =
    "CREATE INDEX decisions_key ON decisions (Fingerprint, Matrix COLLATE NOCASE)";
constexpr std::string_view kFirstTable =
    "CREATE TABLE decisions (Matrix TEXT, Choose TEXT, Choose_N TEXT, MO_r TEXT, Nadpis TEXT, "
    "reshenie1 TEXT, reshenie2 TEXT, reshenie3 TEXT, reshenie4 TEXT)";
constexpr std::string_view kFirstIndex =
    "CREATE INDEX decisions_matrix ON decisions (Matrix COLLATE NOCASE)";

// type, name, table, sql of every schema object, by name.
using TSchema = std::vector<std::array<std::string, 4>>;

TSchema ReadSchema(TSqliteDatabase& db) {
    TSchema schema;
    TSqliteStatement objects(db,
                             "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name");
    while (objects.Step()) {
        schema.push_back({objects.Text(0), objects.Text(1), objects.Text(2), objects.Text(3)});
    }
    return schema;
}

const TSchema& CurrentSchema() {
    static const TSchema schema = {{"table", "decisions", "decisions", std::string(kTable)},
                                   {"index", "decisions_key", "decisions", std::string(kIndex)}};
    return schema;
}

const TSchema& FirstSchema() {
    static const TSchema schema = {
        {"table", "decisions", "decisions", std::string(kFirstTable)},
        {"index", "decisions_matrix", "decisions", std::string(kFirstIndex)}};
    return schema;
}

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

// Which file a path names now, without following a symbolic link: a file deleted or replaced
// since it was opened, or a link put in its place, is another file.
std::optional<std::pair<dev_t, ino_t>> LinkIdentity(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

bool SystemCanWrite(const fs::path& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string Quoted(const fs::path& path) {
    std::string text(1, '"');
    text += path.string();
    text += '"';
    return text;
}

// The files SQLite keeps beside a database while it is written.
constexpr std::array<std::string_view, 3> kCompanions = {"-wal", "-shm", "-journal"};

std::string ForeignMessage(const fs::path& file) {
    return "Файл " + Quoted(file) + " не является кэшем решений этой программы: он не изменён";
}

// Found under the write lock: the connection is closed once the transaction is undone.
class TForeignFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

fs::path Companion(const fs::path& file, std::string_view suffix) {
    return fs::path(file.string() + std::string(suffix));
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

TDecisionCache::TDecisionCache(std::filesystem::path gamesDir)
    : m_gamesDir(std::move(gamesDir)), m_canWrite(SystemCanWrite) {}
TDecisionCache::~TDecisionCache() = default;

void TDecisionCache::SetGamesDir(std::filesystem::path dir) {
    m_gamesDir = std::move(dir);
    Close();
    m_notice.reset();
    m_noticeGiven = false;
}

void TDecisionCache::SetWriteCheck(TWriteCheck check) {
    m_canWrite = check ? std::move(check) : TWriteCheck(SystemCanWrite);
    Close();
}

std::filesystem::path TDecisionCache::FileFor(std::string_view gameName) const {
    return m_gamesDir / CacheFileName(gameName);
}

void TDecisionCache::Close() {
    m_db.reset();
    m_openPath.clear();
    m_openIdentity.reset();
    m_writable = false;
    m_format = TFormat::Blank;
    m_damage.reset();
    m_checked = false;
}

void TDecisionCache::Fail(std::string_view what, const std::exception& e) {
    const fs::path file = m_openPath;
    Close();
    throw TDecisionCacheError("Кэш решений " + Quoted(file) + " " + std::string(what) + ": " +
                              e.what());
}

std::optional<std::string> TDecisionCache::TakeNotice() {
    if (!m_notice || m_noticeGiven) return std::nullopt;
    m_noticeGiven = true;
    return m_notice;
}

void TDecisionCache::NoteNotStored(const std::filesystem::path& unwritable) {
    if (m_notice) return;
    m_notice = std::string("Новые решения не сохраняются в кэше: ") +
               (unwritable == m_gamesDir ? "в папку " : "в файл ") + Quoted(unwritable) +
               " нельзя записывать";
}

// The format of an open file; none when the file is not ours.
std::optional<TDecisionCache::TFormat> TDecisionCache::Recognise(TSqliteDatabase& db) const {
    // The marks and the schema are read in one transaction: another program may be making the
    // file ours meanwhile.
    if (sqlite3_get_autocommit(db.Handle()) != 0) {
        db.Execute("BEGIN");
        try {
            const std::optional<TFormat> format = Recognise(db);
            db.Execute("COMMIT");
            return format;
        } catch (...) {
            sqlite3_exec(db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }
    const std::int64_t application = db.QueryNumber("PRAGMA application_id");
    const std::int64_t version = db.QueryNumber("PRAGMA user_version");
    const TSchema schema = ReadSchema(db);
    // A file of no bytes: just created, or cut short before its first transaction ended. (Inside
    // a write transaction SQLite counts one page for it already.)
    struct stat info {};
    if (application == 0 && version == 0 && schema.empty() &&
        ::lstat(m_openPath.c_str(), &info) == 0 && info.st_size == 0) {
        return TFormat::Blank;
    }
    if (application == kApplicationId && version == kFormatVersion && schema == CurrentSchema())
        return TFormat::Current;
    if (application == 0 && version == 0 && schema == FirstSchema()) return TFormat::First;
    return std::nullopt;
}

TDecisionCache::TFormat TDecisionCache::RecogniseOpen() {
    if (const std::optional<TFormat> format = Recognise(*m_db)) return *format;
    const std::string message = ForeignMessage(m_openPath);
    Close();
    throw TDecisionCacheError(message);
}

TSqliteDatabase* TDecisionCache::Open(std::string_view gameName, bool create) {
    const fs::path path = FileFor(gameName);
    if (m_db && m_openPath == path && LinkIdentity(path) == m_openIdentity) return m_db.get();
    Close();
    m_openPath = path;

    struct stat info {};
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        const int error = errno;
        Close();
        throw TDecisionCacheError("Кэш решений " + Quoted(path) +
                                  " недоступен: " + std::strerror(error));
    }
    // Never follow a link out of the folder, nor write into a file that is not a plain file.
    const auto refuse = [&](const fs::path& file, const struct stat& s) {
        if (S_ISLNK(s.st_mode) || !S_ISREG(s.st_mode)) {
            Close();
            throw TDecisionCacheError("Кэш решений " + Quoted(file) +
                                      (S_ISLNK(s.st_mode) ? " является символической ссылкой"
                                                          : " не является обычным файлом") +
                                      ": кэш не открыт, файл не изменён");
        }
    };
    if (exists) refuse(path, info);
    for (std::string_view suffix : kCompanions) {
        struct stat companion {};
        if (::lstat(Companion(path, suffix).c_str(), &companion) == 0)
            refuse(Companion(path, suffix), companion);
    }
    if (!exists && !create) {
        Close();
        return nullptr;
    }
    const bool writable = m_canWrite(m_gamesDir) && (!exists || m_canWrite(path));
    if (!exists && !writable) {
        NoteNotStored(m_gamesDir);
        Close();
        return nullptr;
    }

    try {
        // The folder's own path without links: SQLite refuses a link anywhere in the path it is
        // given, and only a link at the file's place is to be refused.
        const fs::path real = fs::canonical(m_gamesDir) / path.filename();
        using enum TSqliteDatabase::TMode;
        // A reader who may not write the file but may write the folder would leave the log's
        // shared-memory file there as his own, which its owner could then not write: with no log
        // beside it (no writer has it open), the file holds every row and is read as it stands.
        std::error_code ec;
        const bool noCompanions = !fs::exists(Companion(real, "-wal"), ec) && !ec &&
                                  !fs::exists(Companion(real, "-shm"), ec) && !ec;
        const TSqliteDatabase::TMode mode =
            writable ? CreateNew : (noCompanions ? Immutable : ReadOnly);
        m_db = std::make_unique<TSqliteDatabase>(real, mode, m_busyMilliseconds);
        m_openIdentity = LinkIdentity(path);
        m_writable = writable;
        try {
            m_format = RecogniseOpen();
        } catch (const TSqliteError& e) {
            // Reading a file kept with a write-ahead log needs its shared-memory file, which a
            // reader that may not write the folder cannot create. With no log beside it the file
            // holds every row and can be read as it stands.
            const bool noLog = !fs::exists(Companion(real, "-wal"), ec) && !ec;
            const bool cannotInit =
                e.Primary() == SQLITE_READONLY || e.Primary() == SQLITE_CANTOPEN;
            if (writable || !noLog || !cannotInit) throw;
            m_db = std::make_unique<TSqliteDatabase>(real, Immutable, m_busyMilliseconds);
            m_format = RecogniseOpen();
        }
        if (writable) m_db->Execute("PRAGMA synchronous=NORMAL");
        return m_db.get();
    } catch (const TSqliteError& e) {
        Fail("не читается", e);
    } catch (const fs::filesystem_error& e) {
        Fail("недоступен", e);
    }
}

void TDecisionCache::CheckIntegrityOnce() {
    if (!m_checked) {
        TSqliteStatement check(*m_db, "PRAGMA quick_check");
        const std::string verdict = check.Step() ? check.Text(0) : std::string("ok");
        if (verdict != "ok") m_damage = Cut(verdict, 200);
        m_checked = true;
    }
    if (m_damage) {
        throw TDecisionCacheError("Кэш решений " + Quoted(m_openPath) + " повреждён (" + *m_damage +
                                  "): в него ничего не записывается, файл не изменён");
    }
}

// Under the write lock: a blank file gets our marks and schema; a file of the first format gets
// the fingerprint column and the index over it. Another program may have done either since the
// file was opened, so the format is read again here.
void TDecisionCache::MakeCurrent(TSqliteDatabase& db) {
    const std::optional<TFormat> format = Recognise(db);
    if (!format) throw TForeignFile(ForeignMessage(m_openPath));
    switch (*format) {
        case TFormat::Blank:
            db.Execute(("PRAGMA application_id=" + std::to_string(kApplicationId) +
                        "; PRAGMA user_version=" + std::to_string(kFormatVersion) + ";")
                           .c_str());
            db.Execute((std::string("CREATE TABLE IF NOT EXISTS") + std::string(kTable.substr(12)) +
                        "; CREATE INDEX IF NOT EXISTS" + std::string(kIndex.substr(12)) + ";")
                           .c_str());
            break;
        case TFormat::First:
            db.Execute(
                "ALTER TABLE decisions ADD COLUMN Fingerprint TEXT;"
                "DROP INDEX decisions_matrix;");
            db.Execute((std::string(kIndex) + ";").c_str());
            db.Execute(("PRAGMA application_id=" + std::to_string(kApplicationId) +
                        "; PRAGMA user_version=" + std::to_string(kFormatVersion) + ";")
                           .c_str());
            break;
        case TFormat::Current:
            break;
    }
}

std::optional<TDecisionCacheRow> TDecisionCache::Find(std::string_view gameName,
                                                      std::string_view fingerprint,
                                                      std::string_view key) {
    std::error_code ec;
    if (!fs::is_directory(m_gamesDir, ec)) return std::nullopt;
    TSqliteDatabase* db = Open(gameName, false);
    if (db == nullptr) return std::nullopt;
    try {
        // Another program may have made the file current since it was opened.
        if (m_format != TFormat::Current) m_format = RecogniseOpen();
        // A blank file and one of the first format hold no row with a fingerprint.
        if (m_format != TFormat::Current) return std::nullopt;
        const std::optional<std::string> end = PrefixEnd(key);
        TSqliteStatement find(*db, (std::string("SELECT rowid, ") + kColumns +
                                    " FROM decisions INDEXED BY decisions_key"
                                    " WHERE Fingerprint = ?3 AND Matrix >= ?1 COLLATE NOCASE" +
                                    (end ? " AND Matrix < ?2 COLLATE NOCASE" : ""))
                                       .c_str());
        find.Bind(1, key);
        if (end) find.Bind(2, *end);
        find.Bind(3, fingerprint);
        std::optional<TDecisionCacheRow> first;
        std::int64_t firstRow = 0;
        while (find.Step()) {
            const std::int64_t row = find.Number(0);
            if (first && row > firstRow) continue;
            TDecisionCacheRow r{
                find.Text(1), find.Text(2),
                find.Text(3), find.Text(4),
                find.Text(5), {find.Text(6), find.Text(7), find.Text(8), find.Text(9)}};
            if (!StartsWithIgnoringCase(r.LayoutKey, key)) continue;
            first = std::move(r);
            firstRow = row;
        }
        return first;
    } catch (const TSqliteError& e) {
        Fail("не читается", e);
    }
}

void TDecisionCache::Append(std::string_view gameName, std::string_view fingerprint,
                            const TDecisionCacheRow& row) {
    try {
        Insert(gameName, fingerprint, row);
    } catch (const TDecisionCacheError& e) {
        throw TDecisionNotStoredError(e.what());
    }
}

void TDecisionCache::Insert(std::string_view gameName, std::string_view fingerprint,
                            const TDecisionCacheRow& row) {
    std::error_code ec;
    if (!fs::is_directory(m_gamesDir, ec)) {
        throw TDecisionCacheError("Нет папки " + Quoted(m_gamesDir) +
                                  ": решение не сохранено в кэше");
    }
    TSqliteDatabase* db = Open(gameName, true);
    if (db == nullptr) return;  // the folder cannot be written: noted
    if (!m_writable) {
        NoteNotStored(m_canWrite(m_gamesDir) ? m_openPath : m_gamesDir);
        return;
    }
    try {
        CheckIntegrityOnce();
        const auto insert = [&] {
            TSqliteStatement statement(*db, (std::string("INSERT INTO decisions (") + kColumns +
                                             ", Fingerprint) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                                             "?8, ?9, ?10)")
                                                .c_str());
            statement.Bind(1, Cut(row.LayoutKey, 255));
            // The candidate lists whole: a hit shows the list the decision computed.
            statement.Bind(2, row.Captions);
            statement.Bind(3, row.Values);
            statement.Bind(4, Cut(row.Result, 30));
            statement.Bind(5, Cut(row.Prompt, 100));
            for (int i = 0; i < 4; ++i)
                statement.Bind(6 + i, Cut(row.Choices[static_cast<std::size_t>(i)], 100));
            statement.Bind(10, fingerprint);
            statement.Step();
        };
        if (m_format == TFormat::Current) {
            insert();  // one statement is one transaction
            return;
        }
        // The first row of a blank file or of one of the first format: the schema is made
        // current and the row added in one transaction, so that writers starting together on a
        // new game all succeed and a file cut short holds either everything or nothing.
        const bool blank = m_format == TFormat::Blank;
        db->Execute("BEGIN IMMEDIATE");
        try {
            MakeCurrent(*db);
            insert();
            db->Execute("COMMIT");
        } catch (...) {
            sqlite3_exec(db->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        m_format = TFormat::Current;
        // Readers need not wait for a writer with a write-ahead log. Another program that has
        // the file open may keep it from switching now; it switches at a later first row.
        if (blank) sqlite3_exec(db->Handle(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    } catch (const TSqliteError& e) {
        Fail("не записывается", e);
    } catch (const TForeignFile& e) {
        Close();
        throw TDecisionCacheError(e.what());
    }
}

TDecisionCacheInfo TDecisionCache::Info(std::string_view gameName) {
    TDecisionCacheInfo info;
    info.File = FileFor(gameName);
    std::error_code ec;
    if (!fs::is_directory(m_gamesDir, ec)) {
        throw TDecisionCacheError("Нет папки " + Quoted(m_gamesDir));
    }
    TSqliteDatabase* db = Open(gameName, false);
    if (db == nullptr) return info;
    info.Exists = true;
    try {
        if (m_format != TFormat::Current) m_format = RecogniseOpen();
        if (m_format != TFormat::Blank)
            info.Rows = db->QueryNumber("SELECT count(*) FROM decisions");
    } catch (const TSqliteError& e) {
        Fail("не читается", e);
    }
    for (const fs::path& file : {info.File, Companion(info.File, "-wal")}) {
        const std::uintmax_t size = fs::file_size(file, ec);
        if (!ec) info.Bytes += size;
    }
    return info;
}

void TDecisionCache::Clear(std::string_view gameName) {
    std::error_code ec;
    if (!fs::is_directory(m_gamesDir, ec)) {
        throw TDecisionCacheError("Нет папки " + Quoted(m_gamesDir));
    }
    TSqliteDatabase* db = Open(gameName, false);
    if (db == nullptr) return;  // no file: nothing to clear
    if (!m_writable) {
        throw TDecisionCacheError("Кэш решений " + Quoted(m_openPath) +
                                  " не очищен: его нельзя записывать");
    }
    try {
        CheckIntegrityOnce();
        if (m_format == TFormat::Blank) return;
        db->Execute("BEGIN IMMEDIATE");
        try {
            MakeCurrent(*db);
            db->Execute("DELETE FROM decisions");
            db->Execute("COMMIT");
        } catch (...) {
            sqlite3_exec(db->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        m_format = TFormat::Current;
        // Give the space back; the rows are gone whether or not another program lets it happen.
        sqlite3_exec(db->Handle(), "VACUUM; PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr,
                     nullptr);
    } catch (const TSqliteError& e) {
        Fail("не очищен", e);
    } catch (const TForeignFile& e) {
        Close();
        throw TDecisionCacheError(e.what());
    }
}

}  // namespace studlab
