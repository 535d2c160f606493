#pragma once

#include "platform/db/embedded/parse/Token.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

namespace estaciones::db::sqlite {

// The table an OUTPUT ... INTO clause writes to (`into`: its name and column
// list) may have no enabled trigger (331), no enabled CHECK constraint (333)
// and be on neither side of a foreign key (332). A table variable never has
// them.
void refuseOutputTarget(SqliteDatabase& database, const tsql::Tokens& into);

} // namespace estaciones::db::sqlite
