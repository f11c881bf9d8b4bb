// Sqlite.cpp - the owning wrapper over SQLite's C API.
#include "Sqlite.h"

#include <sqlite3.h>

namespace tavrin {

bool CSqlite::Open(const std::string& path, bool readOnly, bool create) {
    Close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (!readOnly && create)
        flags |= SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &m_pDb, flags, nullptr) != SQLITE_OK) {
        Close();
        return false;
    }
    sqlite3_extended_result_codes(m_pDb, 1);
    return true;
}

void CSqlite::Close() {
    if (m_pDb != nullptr)
        sqlite3_close_v2(m_pDb);
    m_pDb = nullptr;
}

bool CSqlite::Exec(const char* sql) {
    return m_pDb != nullptr && sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

int64_t CSqlite::QueryInt(const char* sql, int64_t fallback) {
    CStatement statement(*this, sql);
    return statement.Step() ? statement.Int(0) : fallback;
}

std::string CSqlite::QueryText(const char* sql) {
    CStatement statement(*this, sql);
    return statement.Step() ? std::string(statement.Text(0)) : std::string();
}

int CSqlite::Changes() const {
    return m_pDb == nullptr ? 0 : sqlite3_changes(m_pDb);
}

int CSqlite::LastCode() const {
    return m_pDb == nullptr ? SQLITE_CANTOPEN : (sqlite3_extended_errcode(m_pDb) & 0xFF);
}

std::string CSqlite::LastError() const {
    return m_pDb == nullptr ? "unable to open database file" : sqlite3_errmsg(m_pDb);
}

CStatement::CStatement(const CSqlite& db, const char* sql) {
    if (db.Handle() == nullptr ||
        sqlite3_prepare_v2(db.Handle(), sql, -1, &m_pStmt, nullptr) != SQLITE_OK) {
        m_pStmt = nullptr;
        m_bFailed = true;
    }
}

CStatement::~CStatement() {
    sqlite3_finalize(m_pStmt);
}

CStatement& CStatement::Bind(int index, int64_t value) {
    if (m_pStmt != nullptr && sqlite3_bind_int64(m_pStmt, index, value) != SQLITE_OK)
        m_bFailed = true;
    return *this;
}

CStatement& CStatement::Bind(int index, std::string_view text) {
    if (m_pStmt != nullptr &&
        sqlite3_bind_text(m_pStmt, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK)
        m_bFailed = true;
    return *this;
}

bool CStatement::Step() {
    if (m_pStmt == nullptr || m_bFailed)
        return false;
    const int rc = sqlite3_step(m_pStmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_bFailed = true;
    return false;
}

bool CStatement::Run() {
    Step();
    return !m_bFailed;
}

void CStatement::Reset() {
    if (m_pStmt == nullptr)
        return;
    sqlite3_reset(m_pStmt);
    sqlite3_clear_bindings(m_pStmt);
    m_bFailed = false;
}

int64_t CStatement::Int(int column) const {
    return sqlite3_column_int64(m_pStmt, column);
}

std::string_view CStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_pStmt, column));
    return text == nullptr
               ? std::string_view()
               : std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(m_pStmt, column)));
}

CTransaction::CTransaction(CSqlite& db) : m_db(db) {
    m_bBegun = m_db.Exec("BEGIN IMMEDIATE");
}

CTransaction::~CTransaction() {
    if (m_bBegun)
        m_db.Exec("ROLLBACK");
}

bool CTransaction::Commit() {
    if (!m_bBegun || !m_db.Exec("COMMIT"))
        return false;
    m_bBegun = false;
    return true;
}

}  // namespace tavrin
