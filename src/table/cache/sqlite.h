#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace studlab {

// An error reported by SQLite, with its message and its extended result code.
class TSqliteError : public std::runtime_error {
public:
    TSqliteError(const std::string& message, int code) : std::runtime_error(message), Code(code) {}
    int Code;
    // The primary result code (SQLITE_BUSY, SQLITE_READONLY, ...).
    int Primary() const { return Code & 0xFF; }
};

// One open database; closed with the object. No mode follows a symbolic link in the path.
class TSqliteDatabase {
public:
    enum class TMode {
        OpenExisting,  // read and write a file that exists
        CreateNew,     // read and write, creating the file when it is missing
        ReadOnly,      // read only
        Immutable,     // read only, as a file that nobody changes (no lock, no log files)
    };

    // Another connection's lock is waited for up to `busyMilliseconds` before SQLITE_BUSY.
    TSqliteDatabase(const std::filesystem::path& path, TMode mode, int busyMilliseconds = 2000);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    void Execute(const char* sql);
    // The first column of the first row of a query (a pragma), as a number.
    std::int64_t QueryNumber(const char* sql);
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
    std::int64_t Number(int column) const;
    void Reset();

private:
    TSqliteDatabase& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

}  // namespace studlab
