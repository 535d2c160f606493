#pragma once

#include "platform/db/embedded/sqlite/StatementCache.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// One compiled SQLite statement, finalized on destruction, or, on a connection
// with a statement cache, lent by it and given back: the catalogue's look-ups
// run on every statement and would otherwise be compiled each time. Errors
// are left to the caller (sqlite3_errmsg) so that it can map them.
class PreparedStatement {
public:
    PreparedStatement(sqlite3* db, const QString& text);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // Whether the text compiled (stepping does not change it).
    bool ok() const { return m_prepareCode == 0; }
    sqlite3_stmt* handle() const { return m_stmt; }
    // Whether the text held only blanks or comments (nothing to run).
    bool isEmpty() const { return m_stmt == nullptr; }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();

    void bindText(int index, const QString& value);
    void bindInt(int index, long long value);

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    LentStatement m_lent; // holds m_stmt when the cache lent it
    int m_prepareCode = 0;
};

} // namespace estaciones::db::sqlite
