#pragma once

#include <QString>

#include <span>

struct sqlite3;

namespace estaciones::db::tsql {

// A row of sys.types: a system type with its codes and its largest size.
struct SystemTypeRow {
    const char* name;
    int systemTypeId;
    int userTypeId;
    int maxLength;
    int precision;
    int scale;
};
std::span<const SystemTypeRow> systemTypeRows();

// The bytes a column of the declared type holds at most (sys.columns'
// max_length): 2n for nchar(n), 5 to 17 for a decimal by its precision, -1
// for the max types; 0 for a type it does not know.
int declaredBytes(const QString& declared);
// Its precision and scale as sys.columns gives them: 10 and 0 for int, 19
// and 4 for money, 23 and 3 for datetime, 27 and 7 for datetime2; 0 for text.
int declaredPrecision(const QString& declared);
int declaredScale(const QString& declared);

// The ids and names of the schemas every database has (sys.schemas).
struct SchemaRow {
    const char* name;
    int schemaId;
};
std::span<const SchemaRow> schemaRows();

// The functions the catalogue views and their T-SQL functions use: a
// declared type's system_type_id, max_length, precision and scale as the
// server documents them (sys.types, sys.columns), COL_LENGTH, COL_NAME,
// COLUMNPROPERTY, INDEXPROPERTY, OBJECT_NAME, TYPE_ID, TYPE_NAME,
// SCHEMA_ID, SCHEMA_NAME, USER_NAME, DB_ID and DB_NAME. Throws Error when
// SQLite refuses a registration.
void registerCatalogFunctions(sqlite3* db);

} // namespace estaciones::db::tsql
