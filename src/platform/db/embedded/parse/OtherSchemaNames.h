#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <functional>

namespace estaciones::db::tsql {

// An object of a schema other than dbo is kept in the file under the name
// "schema.object" (unqualified names and dbo's are the file's plain names).
// A name a statement refers to in any other schema (ventas.t, [ventas].[t],
// main.t) becomes that one bracketed name [ventas.t] (PRUEBA.ventas.t
// becomes PRUEBA..[ventas.t], whose database the later steps check), so
// that every later step reads the object of that schema, or answers for it
// as for any object the database does not have (208, 2812, 3701, 4121 ...)
// with the name as written, and SQLite never reads the first part as a
// database of its own. A table source without an alias takes its object's
// name as one (FROM ventas.t AS [t]), so that t.col and ventas.t.col read
// its columns as on the server. The names of objects a statement creates
// (CREATE TABLE s.t, SELECT ... INTO s.t) stay as written, for the executor
// to check that the schema exists: `withDefinitionInSchema` then merges them.
Tokens withOtherSchemaNames(Tokens significant);

// The tokens a stored definition (kept as written) runs as: its significant
// tokens with the names of other schemas as withOtherSchemaNames makes them.
Tokens storedDefinitionTokens(QStringView text);

// The schema written before the name a CREATE [OR ALTER] statement or a
// SELECT ... INTO gives its object, when it is not dbo; "" otherwise.
// `significant` holds one statement's tokens; `database` receives the
// database part of db.schema.object ("" when none is written).
QString otherSchemaOfDefinition(const Tokens& significant, QString* database = nullptr);

// The statement with that name merged as a referred one is ([s.x], without
// the database part, which the caller checked); the statement as it is when
// it creates in dbo.
Tokens withDefinitionInSchema(Tokens significant);

// The body of a module of schema `schema` (a procedure of ventas), whose
// unqualified names resolve in that schema first, as the server resolves
// them in a module: a one-part name where an object is read, changed or
// executed (not where DROP, ALTER or CREATE name one) becomes [schema.name]
// when `inSchema` says the file has that object.
Tokens withModuleSchema(Tokens significant, const QString& schema,
                        const std::function<bool(const QString& stored)>& inSchema);

} // namespace estaciones::db::tsql
