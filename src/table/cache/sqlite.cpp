#include "table/cache/sqlite.h"

namespace studlab {

TSqliteDatabase::TSqliteDatabase(const std::filesystem::path& path, TMode mode) {
    // An existing file is never created anew or truncated: only a missing one is created.
    const int flags = SQLITE_OPEN_READWRITE | (mode == TMode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw TSqliteError(message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);
}

TSqliteDatabase::~TSqliteDatabase() {
    sqlite3_close(m_db);
}

void TSqliteDatabase::Fail(std::string_view what) const {
    throw TSqliteError(std::string(what) + ": " + sqlite3_errmsg(m_db));
}

void TSqliteDatabase::Execute(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error != nullptr ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw TSqliteError(message);
    }
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

void TSqliteStatement::Reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

}  // namespace studlab
