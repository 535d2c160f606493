#pragma once

#include "platform/db/embedded/parse/Token.h"

namespace estaciones::db::tsql {

// A database keeps the objects of dbo only (sys and INFORMATION_SCHEMA hold
// the catalogue's views). A name a statement refers to in any other schema
// (ventas.t, [ventas].[t], PRUEBA.ventas.t, main.t) becomes one bracketed
// name "ventas.t", so that every later step answers for it as for any other
// object the database does not have (208, 2812, 3701, 4121 ...) with the name
// as written, and SQLite never reads the first part as a database of its own.
// The names of objects a statement creates (CREATE TABLE s.t, SELECT ... INTO
// s.t) stay as written: `otherSchemaOfDefinition` finds them.
Tokens withOtherSchemaNames(Tokens significant);

// The schema written before the name a CREATE [OR ALTER] statement or a
// SELECT ... INTO gives its object, when it is not dbo; "" otherwise.
// `significant` holds one statement's tokens.
QString otherSchemaOfDefinition(const Tokens& significant);

} // namespace estaciones::db::tsql
