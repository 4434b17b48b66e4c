#include "table/cache/sqlite.h"

namespace studlab {
namespace {

int OpenFlags(TSqliteDatabase::TMode mode) {
    using enum TSqliteDatabase::TMode;
    // An existing file is never created anew or truncated: only a missing one is created.
    switch (mode) {
        case OpenExisting:
            return SQLITE_OPEN_READWRITE;
        case CreateNew:
            return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        case ReadOnly:
            return SQLITE_OPEN_READONLY;
        case Immutable:
            return SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    }
    return SQLITE_OPEN_READONLY;
}

// A file name as a URI ("file:" and the path with every byte that could be read as part of the
// URI's syntax escaped), for the parameters only a URI can carry.
std::string ImmutableUri(const std::filesystem::path& path) {
    std::string uri = "file:";
    for (unsigned char c : path.string()) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7F) {
            constexpr const char* kHex = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?immutable=1";
}

}  // namespace

TSqliteDatabase::TSqliteDatabase(const std::filesystem::path& path, TMode mode,
                                 int busyMilliseconds) {
    const std::string name = mode == TMode::Immutable ? ImmutableUri(path) : path.string();
    const int rc =
        sqlite3_open_v2(name.c_str(), &m_db, OpenFlags(mode) | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        const int code = m_db != nullptr ? sqlite3_extended_errcode(m_db) : rc;
        sqlite3_close(m_db);
        m_db = nullptr;
        throw TSqliteError(message, code);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyMilliseconds);
}

TSqliteDatabase::~TSqliteDatabase() {
    sqlite3_close(m_db);
}

void TSqliteDatabase::Fail(std::string_view what) const {
    throw TSqliteError(std::string(what) + ": " + sqlite3_errmsg(m_db),
                       sqlite3_extended_errcode(m_db));
}

void TSqliteDatabase::Execute(const char* sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = error != nullptr ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw TSqliteError(message, sqlite3_extended_errcode(m_db));
    }
}

std::int64_t TSqliteDatabase::QueryNumber(const char* sql) {
    TSqliteStatement query(*this, sql);
    return query.Step() ? query.Number(0) : 0;
}

TSqliteStatement::TSqliteStatement(TSqliteDatabase& db, const char* sql) : m_db(db) {
    if (sqlite3_prepare_v2(db.Handle(), sql, -1, &m_statement, nullptr) != SQLITE_OK)
        db.Fail("prepare");
}

TSqliteStatement::~TSqliteStatement() {
    sqlite3_finalize(m_statement);
}

void TSqliteStatement::Bind(int index, std::string_view text) {
    if (sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        m_db.Fail("bind");
    }
}

bool TSqliteStatement::Step() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    m_db.Fail("step");
}

std::string TSqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text != nullptr
               ? std::string(text,
                             static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
               : std::string();
}

std::int64_t TSqliteStatement::Number(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

void TSqliteStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

}  // namespace studlab
