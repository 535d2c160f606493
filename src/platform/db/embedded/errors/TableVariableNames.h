#pragma once

#include <QString>

namespace estaciones::db::sqlite {

// A table variable @t lives in a temporary table of its own name,
// #tsql_var_<n>_t; messages name it as the server does, by the variable.
inline constexpr QStringView tableVariablePrefix = u"#tsql_var_";

// "dbo.@t" for a table variable's table, "dbo.t" for any other.
QString shownTableName(const QString& table);

// The table's name as the server's system-generated constraint names take it:
// a table variable's is "#" and eight hex digits, as its table in tempdb is
// named (so PK__#1A2B3C4__...), never the engine's own name; any other's is itself.
QString tableNameInGeneratedNames(const QString& table);

} // namespace estaciones::db::sqlite
