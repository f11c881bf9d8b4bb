// Sqlite.h - a small owning wrapper over SQLite's C API: a connection, statements, transactions.
//
// The C API is used directly rather than through libsqlitecpp: the study code needs the backup
// API, PRAGMA data_version and exact control of when a transaction begins (BEGIN IMMEDIATE, so a
// second writer waits on the busy timeout instead of failing mid-change), and a few dozen lines
// of RAII give that without exceptions crossing into the reader or another package to ship.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tavrin {

// One connection; closed when it goes. Calls report failure by return value and LastError().
class CSqlite {
public:
    CSqlite() = default;
    ~CSqlite() { Close(); }
    CSqlite(const CSqlite&) = delete;
    CSqlite& operator=(const CSqlite&) = delete;

    // Opens path read-only, or read-write creating it when create; false (and the
    // connection closed) on failure. Extended result codes are on.
    bool Open(const std::string& path, bool readOnly, bool create);
    void Close();
    bool IsOpen() const { return m_pDb != nullptr; }
    sqlite3* Handle() const { return m_pDb; }

    // Runs one or more statements that return no rows the caller needs.
    bool Exec(const char* sql);
    // The first column of the first row of sql as an integer; fallback when it fails.
    int64_t QueryInt(const char* sql, int64_t fallback = -1);
    // The first column of the first row as text; empty when it fails.
    std::string QueryText(const char* sql);
    // Rows the last INSERT, UPDATE or DELETE changed.
    int Changes() const;
    // The primary result code of the last failure (SQLITE_NOTADB, SQLITE_CORRUPT...).
    int LastCode() const;
    std::string LastError() const;

private:
    sqlite3* m_pDb = nullptr;
};

// A prepared statement, reset for reuse with Reset(). Binds count from 1, columns from 0.
class CStatement {
public:
    CStatement(const CSqlite& db, const char* sql);
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    bool IsValid() const { return m_pStmt != nullptr; }
    CStatement& Bind(int index, int64_t value);
    CStatement& Bind(int index, std::string_view text);
    // True while a row is ready; false at the end or on failure (see Failed()).
    bool Step();
    // Steps a statement that returns no row; true when it ran to completion.
    bool Run();
    bool Failed() const { return m_bFailed; }
    void Reset();

    int64_t Int(int column) const;
    std::string_view Text(int column) const;

private:
    sqlite3_stmt* m_pStmt = nullptr;
    bool m_bFailed = false;
};

// BEGIN IMMEDIATE on construction; rolled back when it goes without Commit().
class CTransaction {
public:
    explicit CTransaction(CSqlite& db);
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;

    bool IsBegun() const { return m_bBegun; }
    bool Commit();

private:
    CSqlite& m_db;
    bool m_bBegun = false;
};

}  // namespace tavrin
