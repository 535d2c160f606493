#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace estaciones::db::tsql {

// The statements this stage runs of its own (catalogue and identity look-ups
// inside the SQL functions) are compiled once per connection whose owner keeps
// them, instead of at every call: an INSERT asks for its identity each time.
// A connection nobody keeps them for (the sqlite3 shell's, through the
// extension) compiles them each time, as it must close with none left open.
void keepLookupsFor(sqlite3* db);
// Finalizes the connection's kept statements; before it closes.
void dropLookupsOf(sqlite3* db);

// A look-up statement for `sql`: the connection's kept one when there is one
// and it is not in use (a look-up inside a look-up of the same text), else
// one compiled for this use. Reset, unbound and given back, or finalized, on
// destruction.
class LookupStatement {
public:
    LookupStatement(sqlite3* db, const QString& sql);
    ~LookupStatement();
    LookupStatement(const LookupStatement&) = delete;
    LookupStatement& operator=(const LookupStatement&) = delete;

    // Null when the text did not compile (sqlite3_errmsg says why).
    sqlite3_stmt* handle() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_kept = false;
};

} // namespace estaciones::db::tsql
