#pragma once

#include "platform/db/embedded/parse/Token.h"

#include "platform/db/Engine.h"

#include <QString>

#include <optional>

namespace estaciones::db::sqlite {

// The database a name of the statement qualifies (OTRA in OTRA.dbo.t,
// OTRA..t, OTRA.sys.objects) when it is neither `current` nor one whose
// objects the engine finds wherever it is (tempdb's temporary tables,
// master's server-wide views); empty when there is none. The translator
// reads a table by its name in the current database, so such a statement
// must not run: it would read or change the current database's table.
QString otherDatabaseNamed(const tsql::Tokens& tokens, const QString& current);

// 40517 naming that database, if there is one.
std::optional<ProviderError> otherDatabaseError(const tsql::Tokens& tokens,
                                                const QString& current);

} // namespace estaciones::db::sqlite
