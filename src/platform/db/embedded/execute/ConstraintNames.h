#pragma once

#include "platform/db/embedded/parse/Token.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

namespace estaciones::db::sqlite {

// A constraint is an object of its table's schema: the names CREATE TABLE
// or ALTER TABLE ... ADD give with CONSTRAINT (of `table`, the file's name)
// are refused with 2714 when the statement gives one twice, or an object of
// that schema (a table, view, module, sequence or another table's
// constraint) already has it. The file keeps one namespace of constraint
// names across the schemas, so a name another schema's constraint has is
// refused as not supported rather than taken twice.
void refuseTakenConstraintNames(SqliteDatabase& database, const QString& table,
                                const tsql::Tokens& statement);

} // namespace estaciones::db::sqlite
