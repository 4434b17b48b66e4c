#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace studlab {

// An error reported by SQLite, with its message.
class TSqliteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One open database; closed with the object.
class TSqliteDatabase {
public:
    enum class TMode { OpenExisting, CreateNew };

    TSqliteDatabase(const std::filesystem::path& path, TMode mode);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    void Execute(const char* sql);
    sqlite3* Handle() const { return m_db; }
    [[noreturn]] void Fail(std::string_view what) const;

private:
    sqlite3* m_db = nullptr;
};

// One prepared statement; parameters and columns count from 1 and 0 as in SQLite.
class TSqliteStatement {
public:
    TSqliteStatement(TSqliteDatabase& db, const char* sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    void Bind(int index, std::string_view text);
    // Steps once; false when there is no (further) row.
    bool Step();
    std::string Text(int column) const;
    void Reset();

private:
    TSqliteDatabase& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

}  // namespace studlab
