#pragma once

#include "platform/db/embedded/execute/Session.h"
#include "platform/db/embedded/execute/VariableScope.h"

#include <QString>

namespace estaciones::db::sqlite {

// A name for the temporary table behind table variable `variable`, which no
// other scope of the process uses.
QString tableVariableTable(const QString& variable);

// The tables of a scope's table variables, dropped when the scope ends (the
// batch, the procedure call, the dynamic batch), as the server forgets them.
class ScopeTables {
public:
    ScopeTables(Session& session, const VariableScope& scope) : m_session(session), m_scope(scope) {}
    ~ScopeTables();
    ScopeTables(const ScopeTables&) = delete;
    ScopeTables& operator=(const ScopeTables&) = delete;

private:
    Session& m_session;
    const VariableScope& m_scope;
};

} // namespace estaciones::db::sqlite
