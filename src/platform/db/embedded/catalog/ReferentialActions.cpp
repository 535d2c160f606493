#include "platform/db/embedded/catalog/ReferentialActions.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

#include <QSet>

namespace estaciones::db::sqlite {

namespace {

QString textAt(sqlite3_stmt* statement, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

// The enabled foreign keys referencing `table` whose action on `event`
// changes rows: the referencing table, the action and the key's columns.
struct ReferencingKey {
    QString table;
    QString action;
    QStringList columns;
};

std::vector<ReferencingKey> referencingKeys(SqliteDatabase& database, const QString& table,
                                            DataEvent event) {
    std::vector<ReferencingKey> keys;
    if (!database.hasTable(QString::fromLatin1(tsql::constraintTable))) {
        return keys;
    }
    const QString action =
        event == DataEvent::Delete ? QStringLiteral("on_delete") : QStringLiteral("on_update");
    PreparedStatement query(
        database.handle(),
        QStringLiteral(
            "SELECT table_name, %1, columns FROM %2 WHERE kind = 'F' AND ref_table = ?1 "
            "AND %1 IN ('CASCADE', 'SET NULL', 'SET DEFAULT') AND disabled = 0 ORDER BY rowid")
            .arg(action, QLatin1String(tsql::constraintTable)));
    query.bindText(1, table);
    while (query.ok() && query.step() == SQLITE_ROW) {
        keys.push_back({textAt(query.handle(), 0), textAt(query.handle(), 1),
                        textAt(query.handle(), 2).split(QLatin1Char(','), Qt::SkipEmptyParts)});
    }
    return keys;
}

} // namespace

std::vector<CascadedChange> cascadedChanges(SqliteDatabase& database, const QString& table,
                                            DataEvent event) {
    std::vector<CascadedChange> changes;
    if (event == DataEvent::Insert) {
        return changes;
    }
    QSet<QString> seen{table.toLower() + QLatin1Char(event == DataEvent::Delete ? 'd' : 'u')};
    std::vector<std::pair<QString, DataEvent>> pending{{table, event}};
    for (std::size_t next = 0; next < pending.size(); ++next) {
        const auto [parent, parentEvent] = pending[next];
        for (const ReferencingKey& key : referencingKeys(database, parent, parentEvent)) {
            const DataEvent childEvent =
                parentEvent == DataEvent::Delete && key.action == QLatin1String("CASCADE")
                    ? DataEvent::Delete
                    : DataEvent::Update;
            const QString mark =
                key.table.toLower() + QLatin1Char(childEvent == DataEvent::Delete ? 'd' : 'u');
            if (seen.contains(mark)) {
                // Another key of the same table: its columns count for UPDATE() too.
                for (CascadedChange& change : changes) {
                    if (change.event == childEvent &&
                        change.table.compare(key.table, Qt::CaseInsensitive) == 0) {
                        for (const QString& column : key.columns) {
                            if (!change.columns.contains(column, Qt::CaseInsensitive)) {
                                change.columns << column;
                            }
                        }
                    }
                }
                continue;
            }
            seen.insert(mark);
            changes.push_back({key.table, childEvent,
                               childEvent == DataEvent::Update ? key.columns : QStringList()});
            pending.emplace_back(key.table, childEvent);
        }
    }
    return changes;
}

bool hasCascadingKey(SqliteDatabase& database, const QString& table, DataEvent event) {
    if (!database.hasTable(QString::fromLatin1(tsql::constraintTable))) {
        return false;
    }
    const QString action =
        event == DataEvent::Delete ? QStringLiteral("on_delete") : QStringLiteral("on_update");
    PreparedStatement query(database.handle(),
                            QStringLiteral("SELECT 1 FROM %1 WHERE kind = 'F' AND table_name = ?1 "
                                           "AND %2 IN ('CASCADE', 'SET NULL', 'SET DEFAULT')")
                                .arg(QLatin1String(tsql::constraintTable), action));
    query.bindText(1, table);
    return query.ok() && query.step() == SQLITE_ROW;
}

} // namespace estaciones::db::sqlite
