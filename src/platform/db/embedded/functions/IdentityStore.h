#pragma once

#include <QString>

#include <optional>

struct sqlite3;

namespace estaciones::db::tsql {

// Where the identity columns keep their seed, increment and current value,
// one row per table (a temporary table's in the connection's temp schema).
// `used` is 0 until a row is inserted (and again after TRUNCATE or a new
// table): the next value is then `current` itself, afterwards current +
// increment, as the server numbers and reseeds them.
inline constexpr const char* identityTable = "estaciones_identity";

bool isTemporaryTable(const QString& table);

// The store's definition for `table`'s schema, made where it is missing.
QString identityTableDefinition(const QString& table);
// The store as a top-level statement names it for `table`: main. or temp.
QString identityStoreOf(const QString& table);

// Whether `table`'s schema has the store yet (a fact of the schema).
bool hasIdentityStore(sqlite3* db, const QString& table);
// The store's `column` (seed, increment, current) for `table`; nothing when
// the table has no row there (or it does not meet the SQL `condition`). The
// store must exist.
std::optional<qint64> storedIdentityValue(sqlite3* db, const QString& table, const char* column,
                                          const char* condition = "1");

// The identity column of `table` (a # name: the connection's temporary
// one); empty when it has none. A file made before the store kept its
// identity keys as SQLite's AUTOINCREMENT ones only.
QString identityColumnOf(sqlite3* db, const QString& table);

// Registers IDENT_SEED, IDENT_INCR and IDENT_CURRENT as tsql_ident_seed,
// tsql_ident_incr and tsql_ident_current (NULL for a table without identity),
// and tsql_ident_last, the last value given (sys.identity_columns.last_value:
// NULL before the first row).
void registerIdentityFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
