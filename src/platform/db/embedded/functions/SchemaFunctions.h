#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// The table the engine keeps its CHECK and FOREIGN KEY constraints in (the
// triggers that enforce them read whether each is enabled from it).
inline constexpr const char* constraintTable = "estaciones_constraints";
// The object ids the catalogue gives constraints: this plus their row's rowid.
inline constexpr long long constraintIdBase = 2000000000;
// Its definition, made where it is missing. `violation` is the query that
// fails on the first row breaking the constraint (WITH CHECK CHECK CONSTRAINT).
inline constexpr const char* constraintTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_constraints (name TEXT NOT NULL COLLATE NOCASE "
    "PRIMARY KEY, table_name TEXT NOT NULL COLLATE NOCASE, kind TEXT NOT NULL, columns TEXT, "
    "ref_table TEXT COLLATE NOCASE, ref_columns TEXT, definition TEXT, on_delete TEXT, on_update "
    "TEXT, disabled INTEGER NOT NULL DEFAULT 0, untrusted INTEGER NOT NULL DEFAULT 0, violation "
    "TEXT)";

// Registers the functions that enforce constraints and change the schema
// where one statement must first read it: the 547, 2601, 2627 and 1505
// failures with the server's texts, dropping a constraint by name, enabling
// and disabling constraints, and the cleanup of a dropped table's
// constraints. Throws Error when SQLite refuses a registration. The
// constraint table is not made here: the SQLite shell loads these functions
// too, and a table made on load would collide with the one a dump restores.
void registerSchemaFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
