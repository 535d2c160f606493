#pragma once

#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <vector>

namespace estaciones::db::sqlite {

// A change a DELETE or UPDATE makes in another table through the cascading
// action of a foreign key that references it: ON DELETE CASCADE deletes the
// referencing rows; ON UPDATE CASCADE, SET NULL and SET DEFAULT update
// their key columns.
struct CascadedChange {
    QString table;
    DataEvent event;
    QStringList columns; // the key columns an update sets, for UPDATE(column)
};

// The tables that a DELETE or UPDATE of `table` changes through enabled
// cascading foreign keys, and the tables those change in turn, nearest first;
// each table and event once.
std::vector<CascadedChange> cascadedChanges(SqliteDatabase& database, const QString& table,
                                            DataEvent event);

// Whether `table` is changed by a cascading DELETE (`event` Delete) or
// UPDATE (Update) of an enabled or disabled foreign key: the server then
// refuses INSTEAD OF triggers of that event on it.
bool hasCascadingKey(SqliteDatabase& database, const QString& table, DataEvent event);

} // namespace estaciones::db::sqlite
