#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <QString>

#include <optional>

namespace estaciones::db::sqlite {

class SqliteDatabase;

// A statement that creates its object in a schema other than dbo (CREATE
// TABLE ventas.t, SELECT ... INTO ventas.t): in a schema CREATE SCHEMA made,
// the statement with the object's name as the file keeps it ([ventas.t]);
// 2760 when the database has no such schema, as the server answers; 40517
// for a fixed one that keeps no objects here (guest, sys, the roles'
// schemas), which the server would create in. A view made there reads its
// unqualified names in its schema first, as a module does (bodyInModuleSchema).
// nullopt for any other statement.
std::optional<tsql::Tokens> definitionInSchema(SqliteDatabase& database,
                                               const tsql::Tokens& statement);

// The body of the module the file names `module` ("ventas.alta": a
// procedure or function of a schema CREATE SCHEMA made; a trigger's table), its
// unqualified names read in its schema first, as the server resolves them
// (tsql::withModuleSchema); nullopt for a module of dbo.
std::optional<tsql::Tokens> bodyInModuleSchema(SqliteDatabase& database, const QString& module,
                                               const tsql::Tokens& body);

} // namespace estaciones::db::sqlite
