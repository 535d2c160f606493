#pragma once

#include <QString>

struct sqlite3;

namespace estaciones::db::tsql {

// Where the sequence objects keep their definition and the last value they
// gave, one row per sequence. `used` is 0 until a value is given (and again
// after RESTART): the next value is then `current_value` itself, afterwards
// current_value + increment. `taken` counts the changes of the row, so that
// a value given inside a transaction that is rolled back can be written
// back without handing out a value another connection took since.
inline constexpr const char* sequenceTable = "estaciones_secuencias";
inline constexpr const char* sequenceTableSql =
    "CREATE TABLE IF NOT EXISTS estaciones_secuencias (name TEXT NOT NULL COLLATE NOCASE "
    "PRIMARY KEY, type_name TEXT NOT NULL, start_value INTEGER NOT NULL, increment INTEGER NOT "
    "NULL, minimum_value INTEGER NOT NULL, maximum_value INTEGER NOT NULL, is_cycling INTEGER "
    "NOT NULL, is_cached INTEGER NOT NULL, cache_size INTEGER, current_value INTEGER NOT NULL, "
    "used INTEGER NOT NULL DEFAULT 0, taken INTEGER NOT NULL DEFAULT 0, create_date TEXT, "
    "modify_date TEXT)";
// The object ids the catalogue gives sequences: this plus their row's rowid.
inline constexpr long long sequenceIdBase = 1200000000;

// Registers tsql_next_value(name, occurrences): NEXT VALUE FOR of a
// statement that names the sequence `occurrences` times in each row; every
// such run of calls gives one value (11728 when the sequence has run out).
void registerSequenceFunctions(sqlite3* db);

// What sp_sequence_get_range issues: `size` values from the next one on,
// the last of them, how many times the sequence cycled to give them, and
// the sequence's increment and bounds.
struct SequenceRange {
    qint64 first = 0, last = 0;
    int cycles = 0;
    qint64 increment = 0, minimum = 0, maximum = 0;
};
// Takes the range on `db` as NEXT VALUE FOR takes a value. Throws
// ServerFailure: 208 for a sequence that does not exist, 11728 when a
// sequence without CYCLE cannot give them all.
SequenceRange takeSequenceRange(sqlite3* db, const QString& name, qint64 size);

// After a rollback on `db`, of a transaction or of a failed statement:
// writes back the values this connection gave in what was undone, where no
// connection changed the sequence since, so that a value is never given
// twice (as the server, whose sequences ignore transactions).
void keepSequenceValuesGiven(sqlite3* db);
// At a commit on `db`: what it gave is kept for good.
void forgetSequenceValuesGiven(sqlite3* db);

} // namespace estaciones::db::tsql
