#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/VariableScope.h"

#include <QString>

namespace estaciones::db::sqlite {

// A name for the temporary table behind table variable `variable`, which no
// other scope of the process uses.
QString tableVariableTable(const QString& variable);
// Drops such a table (errors ignored: a table SQLite keeps locked stays to the session's end).
void dropTableVariableTable(Session& session, const QString& table);

// The tables of a scope's table variables, dropped when the scope ends (the
// batch, the procedure call, the dynamic batch), as the server forgets them;
// but `kept`, a table the scope hands back (a table-valued function's result).
class ScopeTables {
public:
    ScopeTables(Session& session, const VariableScope& scope, QString kept = {})
        : m_session(session), m_scope(scope), m_kept(std::move(kept)) {}
    ~ScopeTables();
    ScopeTables(const ScopeTables&) = delete;
    ScopeTables& operator=(const ScopeTables&) = delete;

private:
    Session& m_session;
    const VariableScope& m_scope;
    QString m_kept;
};

} // namespace estaciones::db::sqlite
