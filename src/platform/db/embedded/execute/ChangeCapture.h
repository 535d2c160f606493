#pragma once

#include "platform/db/embedded/catalog/TriggerCatalog.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <QStringList>

namespace estaciones::db::sqlite {

// The rows one data statement changes, as the `inserted` and `deleted`
// tables of its triggers and its OUTPUT clause see them.
//
// While it is alive, temporary SQLite triggers on the table note each row
// the statement touches; collect() then fills two temporary tables with the
// columns of the table: `deleted` the rows as they were, `inserted` as they
// are after the statement (and the engine's own triggers: identities,
// dates). The two tables share row ids, so the old and new versions of an
// updated row join on rowid.
//
// Instead of the statement (an INSTEAD OF trigger), the rows are noted as
// the statement would write them and SQLite is told to skip each one.
class ChangeCapture {
public:
    enum class Timing { After, InsteadOf };

    // `level` keeps the tables of nested statements (a trigger's own
    // statements) apart, `part` those of the tables one statement changes
    // (its own and those its cascading foreign keys reach).
    ChangeCapture(SqliteDatabase& database, const QString& table, DataEvent event, Timing timing,
                  int level, int part = 0);
    ~ChangeCapture();
    ChangeCapture(const ChangeCapture&) = delete;
    ChangeCapture& operator=(const ChangeCapture&) = delete;

    // After the statement: stops noting rows and fills inserted and deleted.
    void collect();

    const QString& insertedTable() const { return m_inserted; }
    const QString& deletedTable() const { return m_deleted; }
    DataEvent event() const { return m_event; }
    // The table's columns in their order.
    const QStringList& columns() const { return m_columns; }
    // The rows the statement changed (or, instead of it, would have).
    long long rows() const { return m_rows; }

private:
    void stopNoting();
    void dropAll();
    QString noteTrigger(const QString& body) const;

    SqliteDatabase& m_database;
    QString m_table;
    DataEvent m_event;
    Timing m_timing;
    bool m_isView = false;
    QString m_schema = QStringLiteral("main");
    QStringList m_columns;
    QStringList m_types;
    QString m_noteOld; // rowid (or nothing, instead of the statement) and the old values
    QString m_noteNew; // rowid, or the new values instead of the statement
    QString m_trigger;
    QString m_inserted;
    QString m_deleted;
    long long m_rows = 0;
    bool m_noting = false;
};

} // namespace estaciones::db::sqlite
