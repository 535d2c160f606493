#pragma once

#include <QString>
#include <QStringList>

// Identity columns: the row of the engine's identity store that keeps the
// column's seed, increment and current value, and the trigger that numbers
// new rows from it. SQLite's AUTOINCREMENT key numbers its rows itself; its
// trigger only follows the value into the store, so that IDENT_CURRENT,
// TRUNCATE and DBCC CHECKIDENT see every identity alike.
namespace estaciones::db::tsql::schema {

struct Identity {
    qint64 seed = 1;
    qint64 step = 1;
};

// What makes `column` of `table` an identity. The store's current value
// starts from the rows the table has already (SELECT ... INTO, ALTER TABLE
// ADD numbering them): the last of them, or the seed when there are none.
// `counterKey`: the column is SQLite's AUTOINCREMENT key.
QStringList identityStatements(const QString& table, const QString& column,
                               const Identity& identity, bool counterKey);

// What TRUNCATE TABLE runs after emptying `table`: its identity starts again at the seed.
QStringList restartIdentity(const QString& table);
// SQLite's AUTOINCREMENT key goes on from the store's current value (after
// TRUNCATE and DBCC CHECKIDENT); its sequence table exists only once the
// database has such a key (these fail without it).
QStringList counterKeyFollowsStore(const QString& table);

// What DROP TABLE runs: the table's row in the store goes.
QStringList forgetIdentity(const QString& table);

} // namespace estaciones::db::tsql::schema
