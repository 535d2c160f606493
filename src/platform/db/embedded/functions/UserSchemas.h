#pragma once

#include <QString>

#include <optional>

struct sqlite3;

namespace estaciones::db::tsql {

// The schemas a database has beyond the fixed ones (CREATE SCHEMA), one row
// each in a table of the file that the first CREATE SCHEMA makes: a file
// without it has the fixed schemas only, as every file made before. An object
// of such a schema keeps the name "schema.object" in the file, so that an
// unqualified name and dbo's stay the file's plain names.
inline constexpr const char* userSchemaTable = "estaciones_esquemas";
inline constexpr const char* userSchemaTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_esquemas (name TEXT NOT NULL COLLATE NOCASE PRIMARY "
    "KEY, schema_id INTEGER NOT NULL UNIQUE, principal_id INTEGER)";
// The ids the server gives the schemas a database makes start after the fixed ones.
inline constexpr int firstUserSchemaId = 5;

struct SchemaRecord {
    QString name;
    int schemaId = 0;
    int principalId = 0;
    bool fixed = false; // dbo, guest, INFORMATION_SCHEMA, sys and the roles' schemas
};

// A schema of the database by name (ignoring case) or id, the fixed ones too.
std::optional<SchemaRecord> schemaNamed(sqlite3* db, const QString& name);
std::optional<SchemaRecord> schemaWithId(sqlite3* db, long long id);
bool hasUserSchemaTable(sqlite3* db);

// An object's name in the file read as the server's schema and name:
// "ventas.t" is t of schema ventas when the database has that schema,
// anything else dbo's.
struct SchemaQualifiedName {
    SchemaRecord schema;
    QString name;
};
SchemaQualifiedName splitStoredName(sqlite3* db, const QString& stored);
// The file's name of `name` in `schema`: the name itself in dbo.
QString storedName(const QString& schema, const QString& name);

// Registers tsql_stored_schema_id, tsql_stored_schema and tsql_stored_own_name
// of a stored name, which the catalogue views give as schema_id, schema and name.
void registerUserSchemaFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
