#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// The table the engine keeps its CHECK and FOREIGN KEY constraints in (the
// triggers that enforce them read whether each is enabled from it).
inline constexpr const char* constraintTable = "estaciones_constraints";
// The table the engine keeps stored procedures in (name, definition), and
// their parameters (one row each, for INFORMATION_SCHEMA.PARAMETERS).
inline constexpr const char* procedureTable = "estaciones_procedimientos";
inline constexpr const char* parameterTable = "estaciones_parametros";
inline constexpr const char* parameterTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_parametros (procedure_name TEXT NOT NULL COLLATE "
    "NOCASE, ordinal INTEGER NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL, is_output INTEGER "
    "NOT NULL, PRIMARY KEY (procedure_name, ordinal))";
// The table of the user-defined functions: name, the server's type code
// (FN scalar, IF inline table, TF multi-statement table) and definition text.
inline constexpr const char* functionTable = "estaciones_funciones";
inline constexpr const char* functionTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_funciones (name TEXT NOT NULL COLLATE NOCASE PRIMARY "
    "KEY, type TEXT NOT NULL, definition TEXT NOT NULL)";
// The object ids the catalogue gives functions: this plus their row's rowid.
inline constexpr long long functionIdBase = 1200000000;
// The object ids the catalogue gives procedures and constraints: these plus
// their row's rowid, so that they never meet a table's.
inline constexpr long long procedureIdBase = 1000000000;
inline constexpr long long constraintIdBase = 2000000000;
// The server's type code of a row of sqlite_schema (a table, view or trigger).
inline constexpr const char* objectTypeCode =
    "CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' ELSE 'TR' END";
// Its definition, made where it is missing. `violation` is the query that
// fails on the first row breaking the constraint (WITH CHECK CHECK CONSTRAINT).
inline constexpr const char* constraintTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_constraints (name TEXT NOT NULL COLLATE NOCASE "
    "PRIMARY KEY, table_name TEXT NOT NULL COLLATE NOCASE, kind TEXT NOT NULL, columns TEXT, "
    "ref_table TEXT COLLATE NOCASE, ref_columns TEXT, definition TEXT, on_delete TEXT, on_update "
    "TEXT, disabled INTEGER NOT NULL DEFAULT 0, untrusted INTEGER NOT NULL DEFAULT 0, violation "
    "TEXT, system_named INTEGER NOT NULL DEFAULT 0)";
// The column a file made before the engine noted which names it gave lacks.
inline constexpr const char* constraintSystemNamedColumnSql =
    "ALTER TABLE estaciones_constraints ADD COLUMN system_named INTEGER NOT NULL DEFAULT 0";

// The table of the T-SQL triggers (DML triggers of tables and views): their
// definition text, what fires them and whether they are disabled.
inline constexpr const char* triggerTable = "estaciones_disparadores";
// The object ids the catalogue gives triggers: this plus their row's rowid.
inline constexpr long long triggerIdBase = 1500000000;
inline constexpr const char* triggerTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_disparadores (name TEXT NOT NULL COLLATE NOCASE "
    "PRIMARY KEY, table_name TEXT NOT NULL COLLATE NOCASE, instead_of INTEGER NOT NULL, "
    "on_insert INTEGER NOT NULL, on_update INTEGER NOT NULL, on_delete INTEGER NOT NULL, "
    "disabled INTEGER NOT NULL DEFAULT 0, definition TEXT NOT NULL)";

// The triggers sp_settriggerorder made the first or last of a statement kind
// (position 'First' or 'Last', event INSERT, UPDATE or DELETE).
inline constexpr const char* triggerOrderTable = "estaciones_orden_disparadores";
inline constexpr const char* triggerOrderTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_orden_disparadores (trigger_name TEXT NOT NULL "
    "COLLATE NOCASE, event TEXT NOT NULL, position TEXT NOT NULL, PRIMARY KEY (trigger_name, "
    "event))";

// The texts of the views as written (SQLite keeps their translation).
inline constexpr const char* viewTable = "estaciones_vistas";
inline constexpr const char* viewTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_vistas (name TEXT NOT NULL COLLATE NOCASE PRIMARY "
    "KEY, definition TEXT NOT NULL)";

// The expressions of the computed columns as the catalogue gives them
// (sys.computed_columns' definition; SQLite keeps their translation).
inline constexpr const char* computedColumnTable = "estaciones_columnas_calculadas";
inline constexpr const char* computedColumnTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_columnas_calculadas (table_name TEXT NOT NULL "
    "COLLATE NOCASE, column_name TEXT NOT NULL COLLATE NOCASE, definition TEXT NOT NULL, "
    "persisted INTEGER, PRIMARY KEY (table_name, column_name))";
// The column a file made before the engine noted PERSISTED lacks: SQLite
// stores no column added to a table it has, so the word is kept here.
inline constexpr const char* computedColumnPersistedColumnSql =
    "ALTER TABLE estaciones_columnas_calculadas ADD COLUMN persisted INTEGER";

// The dates sys.objects gives each object by its name: when it was made and
// last altered. Objects a file held before the engine kept them have none.
inline constexpr const char* objectDateTable = "estaciones_fechas_objetos";
inline constexpr const char* objectDateTableSql =
    "CREATE TABLE estaciones_fechas_objetos (name TEXT NOT NULL COLLATE NOCASE PRIMARY KEY, "
    "create_date datetime, modify_date datetime)";

// The extended properties (sp_addextendedproperty): of the database (class
// 0, no object), a schema (3) or an object or its column, index, constraint,
// trigger or parameter (1; `minor_type` and `minor_name` for the latter).
inline constexpr const char* propertyTable = "estaciones_propiedades";
inline constexpr const char* propertyTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_propiedades (class INTEGER NOT NULL, schema_name TEXT "
    "NOT NULL DEFAULT '' COLLATE NOCASE, object_name TEXT NOT NULL DEFAULT '' COLLATE NOCASE, "
    "minor_type TEXT NOT NULL DEFAULT '' COLLATE NOCASE, minor_name TEXT NOT NULL DEFAULT '' "
    "COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, value, PRIMARY KEY (class, schema_name, "
    "object_name, minor_type, minor_name, name))";

// Registers the functions that enforce constraints and change the schema
// where one statement must first read it: the 547, 2601, 2627 and 1505
// failures with the server's texts, dropping a constraint by name, enabling
// and disabling constraints, and the cleanup of a dropped table's
// constraints. Throws Error when SQLite refuses a registration. The
// constraint table is not made here: the SQLite shell loads these functions
// too, and a table made on load would collide with the one a dump restores.
void registerSchemaFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
