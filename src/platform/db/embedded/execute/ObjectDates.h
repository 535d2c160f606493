#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>

namespace estaciones::db::sqlite {

class SqliteDatabase;

// sys.objects' create_date and modify_date, kept by name in a table of the
// file (SQLite notes no dates of its own).

// Whether the statement makes, alters or drops an object of the database
// (CREATE, ALTER or DROP of a table, view, procedure, function, trigger,
// sequence or index; SELECT ... INTO a table).
bool changesObjects(const tsql::Tokens& statement);

// After such a statement ran: the objects without dates were made now; the
// one an ALTER or a CREATE OR ALTER names, or the table a CREATE INDEX
// indexes, was altered now; the dates of the objects no longer there go.
void noteObjectDates(SqliteDatabase& database, const tsql::Tokens& statement);

// sp_rename: the object keeps its dates under its new name.
void renameObjectDates(SqliteDatabase& database, const QString& name, const QString& newName);

} // namespace estaciones::db::sqlite
