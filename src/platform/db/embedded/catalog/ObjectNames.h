#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>

namespace estaciones::db::sqlite {

// Reads an object name at tokens[i] ("x", "[x]", "dbo.x", "[dbo].[x]",
// "db.dbo.x"), leaves `i` after it and returns the last part without quotes;
// "" when tokens[i] is not a name.
QString readObjectName(const tsql::Tokens& tokens, std::size_t& i);

// Fails with 102 near tokens[i] (the last token when `i` is past the end).
[[noreturn]] void syntaxErrorAt(const tsql::Tokens& tokens, std::size_t i);

// A name as SQLite quotes it.
QString sqliteQuoted(const QString& name);

class SqliteDatabase;
// Whether the name is an object of the database's catalogue, of any kind
// (a table, view, procedure, function, trigger, constraint, sequence): the
// names are one namespace, as the server's (2714 for a second one).
bool isObjectName(SqliteDatabase& database, const QString& name);

// Fails with 2714 for the object the file names `name`, named as the server
// names it: without the schema the file's name holds ("ventas.t" is 't').
[[noreturn]] void failObjectExists(SqliteDatabase& database, const QString& name);

} // namespace estaciones::db::sqlite
