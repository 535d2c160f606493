#pragma once

struct sqlite3;

namespace estaciones::db::sqlite {

// The query a CHECK constraint keeps to find the rows that break it (WITH
// CHECK CHECK CONSTRAINT runs it) is written by the translator, which sees no
// schema; once the constraint is recorded, the queries are typed as its
// trigger is, so that a text meeting a money or decimal column converts
// there too. Typing a typed query changes nothing.
void typeCheckViolations(sqlite3* db);

} // namespace estaciones::db::sqlite
