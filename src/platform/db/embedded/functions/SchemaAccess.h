#pragma once

#include "platform/db/embedded/functions/FunctionRegistration.h"

#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_value;

// What the schema functions share: running statements on the connection
// that calls them, and failing with the server's number and text.
namespace estaciones::db::tsql::schema_access {

QString textOf(sqlite3_value* value);

// The name the session knows its database by: the file's name without ".db".
QString databaseName(sqlite3* db);

// Runs `sql` with text parameters; every row's first column as text.
QStringList columnOf(sqlite3* db, const QString& sql, const QStringList& parameters = {});

void execute(sqlite3* db, const QString& sql);

// The definition of `table` in `schema` ("main", "temp") becomes `tableSql`,
// its rows as they are: SQLite's ALTER TABLE cannot change a column, and a
// rebuilt table would take a new object id.
void replaceTableDefinition(sqlite3* db, const QString& schema, const QString& table,
                            const QString& tableSql);

QString quotedText(const QString& text);
QString quoted(const QString& name);

} // namespace estaciones::db::tsql::schema_access
