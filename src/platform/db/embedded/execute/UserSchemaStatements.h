#pragma once

#include "platform/db/embedded/parse/Token.h"

#include <functional>

namespace estaciones::db::sqlite {

class Session;

// CREATE SCHEMA, DROP SCHEMA [IF EXISTS] and ALTER SCHEMA ... TRANSFER: the
// schemas a database makes, recorded in a table of the file
// (functions/UserSchemas), and the objects moved between them by their
// names in the file ("ventas.t").
bool isSchemaStatement(const tsql::Tokens& tokens);

// Runs one of them. CREATE SCHEMA's elements (CREATE TABLE, CREATE VIEW,
// GRANT, REVOKE, DENY) go to `runElement` with their objects' names in the
// new schema, and as written (a view's definition keeps that text), the
// tables first, as the views may name them; the statement is atomic, as on
// the server: any error leaves neither the schema nor its objects.
void runSchemaStatement(
    Session& session, const tsql::Tokens& tokens,
    const std::function<void(const tsql::Tokens& element, const tsql::Tokens& written)>& runElement);

} // namespace estaciones::db::sqlite
