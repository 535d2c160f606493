#pragma once

struct sqlite3;

namespace estaciones::db::tsql {

// The table the engine keeps its CHECK and FOREIGN KEY constraints in (the
// triggers that enforce them read whether each is enabled from it).
inline constexpr const char* constraintTable = "estaciones_constraints";

// Registers the functions that enforce constraints and change the schema
// where one statement must first read it: the 547, 2601, 2627 and 1505
// failures with the server's texts, dropping a constraint by name, enabling
// and disabling constraints, and the cleanup of a dropped table's
// constraints. Throws Error when SQLite refuses a registration.
void registerSchemaFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
