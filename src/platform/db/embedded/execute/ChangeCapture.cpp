#include "platform/db/embedded/execute/ChangeCapture.h"

#include "platform/core/ErrorHandling.h"
#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

QString columnText(sqlite3_stmt* statement, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
}

QString prefixed(const QStringList& columns, const QString& prefix) {
    QStringList parts;
    for (const QString& column : columns) {
        parts << prefix + sqliteQuoted(column);
    }
    return parts.join(QStringLiteral(", "));
}

long long countOf(SqliteDatabase& database, const QString& table) {
    PreparedStatement query(database.handle(),
                            QStringLiteral("SELECT count(*) FROM temp.%1").arg(sqliteQuoted(table)));
    return query.ok() && query.step() == SQLITE_ROW ? sqlite3_column_int64(query.handle(), 0) : 0;
}

} // namespace

ChangeCapture::ChangeCapture(SqliteDatabase& database, const QString& table, DataEvent event,
                             Timing timing, int level, int part)
    : m_database(database), m_table(table), m_event(event), m_timing(timing) {
    const QString suffix =
        QString::number(level) + (part > 0 ? QStringLiteral("_") + QString::number(part) : QString());
    m_noteOld = QStringLiteral("estaciones_anteriores_") + suffix;
    m_noteNew = QStringLiteral("estaciones_nuevas_") + suffix;
    m_trigger = QStringLiteral("estaciones_captura_") + suffix;
    m_inserted = QStringLiteral("estaciones_inserted_") + suffix;
    m_deleted = QStringLiteral("estaciones_deleted_") + suffix;
    {
        // Temporary tables (#t, table variables) live in SQLite's temp schema.
        PreparedStatement temporary(
            database.handle(), QStringLiteral("SELECT 1 FROM sqlite_temp_schema WHERE name = ?1 "
                                              "COLLATE NOCASE AND type = 'table'"));
        temporary.bindText(1, table);
        if (temporary.ok() && temporary.step() == SQLITE_ROW) {
            m_schema = QStringLiteral("temp");
        }
        PreparedStatement kind(database.handle(),
                               QStringLiteral("SELECT type FROM sqlite_schema WHERE name = ?1 "
                                              "COLLATE NOCASE AND type IN ('table', 'view')"));
        kind.bindText(1, table);
        if (kind.ok() && kind.step() == SQLITE_ROW) {
            m_isView = columnText(kind.handle(), 0) == QLatin1String("view");
        }
        PreparedStatement columns(database.handle(),
                                  QStringLiteral("SELECT name, type FROM pragma_table_xinfo(?1, "
                                                 "?2) WHERE hidden <> 1 ORDER BY cid"));
        columns.bindText(1, table);
        columns.bindText(2, m_schema);
        while (columns.ok() && columns.step() == SQLITE_ROW) {
            m_columns << columnText(columns.handle(), 0);
            m_types << columnText(columns.handle(), 1);
        }
    }
    QStringList definitions;
    for (qsizetype c = 0; c < m_columns.size(); ++c) {
        // The declared type as the table has it, so values read back typed the same.
        const QString& type = m_types[c];
        definitions << sqliteQuoted(m_columns[c]) + QLatin1Char(' ') + tsql::sqliteColumnType(type);
    }
    const QString values = definitions.join(QStringLiteral(", "));
    const QString noted = QStringLiteral("seq INTEGER PRIMARY KEY, rid, ") + values;
    dropAll(); // what a statement that failed half-way at this level may have left
    QStringList statements{
        QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(sqliteQuoted(m_noteOld), noted),
        QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(sqliteQuoted(m_noteNew), noted),
        QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(sqliteQuoted(m_inserted), values),
        QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(sqliteQuoted(m_deleted), values)};
    const QString oldValues = prefixed(m_columns, QStringLiteral("OLD."));
    const QString newValues = prefixed(m_columns, QStringLiteral("NEW."));
    const QString all = prefixed(m_columns, QString());
    // A trigger's statements take no schema name; a temporary trigger's find
    // the temporary tables first.
    const QString intoOld =
        QStringLiteral("INSERT INTO %1 (rid, %2) VALUES ").arg(sqliteQuoted(m_noteOld), all);
    const QString intoNew =
        QStringLiteral("INSERT INTO %1 (rid, %2) VALUES ").arg(sqliteQuoted(m_noteNew), all);
    QString body;
    if (timing == Timing::After) {
        switch (event) {
        case DataEvent::Insert:
            body = QStringLiteral("INSERT INTO %1 (rid) VALUES (NEW.rowid);")
                       .arg(sqliteQuoted(m_noteNew));
            break;
        case DataEvent::Update:
            // The row's new id: the new values are read from the table afterwards.
            body = intoOld + QStringLiteral("(NEW.rowid, %1);").arg(oldValues);
            break;
        case DataEvent::Delete:
            body = intoOld + QStringLiteral("(OLD.rowid, %1);").arg(oldValues);
            break;
        }
    } else {
        if (event != DataEvent::Insert) {
            body += intoOld + QStringLiteral("(NULL, %1);").arg(oldValues);
        }
        if (event != DataEvent::Delete) {
            body += intoNew + QStringLiteral("(NULL, %1);").arg(newValues);
        }
        body += QStringLiteral("SELECT RAISE(IGNORE);");
    }
    statements << noteTrigger(body);
    m_database.run(statements.join(QStringLiteral(";\n")));
    m_noting = true;
}

ChangeCapture::~ChangeCapture() {
    ignoringErrors([this] { dropAll(); });
}

QString ChangeCapture::noteTrigger(const QString& body) const {
    const char* verb = m_event == DataEvent::Insert   ? "INSERT"
                       : m_event == DataEvent::Update ? "UPDATE"
                                                      : "DELETE";
    const QString when = m_timing == Timing::After ? QStringLiteral("AFTER")
                         : m_isView                ? QStringLiteral("INSTEAD OF")
                                                   : QStringLiteral("BEFORE");
    return QStringLiteral("CREATE TEMP TRIGGER %1 %2 %3 ON %4.%5 BEGIN %6 END")
        .arg(sqliteQuoted(m_trigger), when, QLatin1String(verb), m_schema, sqliteQuoted(m_table),
             body);
}

void ChangeCapture::stopNoting() {
    if (m_noting) {
        m_database.run(QStringLiteral("DROP TRIGGER IF EXISTS temp.") + sqliteQuoted(m_trigger));
        m_noting = false;
    }
}

void ChangeCapture::collect() {
    stopNoting();
    const QString all = prefixed(m_columns, QString());
    const QString oldNotes = QStringLiteral("temp.") + sqliteQuoted(m_noteOld);
    const QString newNotes = QStringLiteral("temp.") + sqliteQuoted(m_noteNew);
    QStringList statements;
    if (m_timing == Timing::InsteadOf) {
        statements << QStringLiteral("INSERT INTO temp.%1 (rowid, %2) SELECT seq, %2 FROM %3")
                          .arg(sqliteQuoted(m_deleted), all, oldNotes)
                   << QStringLiteral("INSERT INTO temp.%1 (rowid, %2) SELECT seq, %2 FROM %3")
                          .arg(sqliteQuoted(m_inserted), all, newNotes);
    } else {
        // A row the engine's own triggers changed again is noted more than
        // once: its first note holds the values from before the statement.
        statements << QStringLiteral("INSERT INTO temp.%1 (rowid, %2) SELECT rid, %2 FROM %3 "
                                     "WHERE seq IN (SELECT min(seq) FROM %3 GROUP BY rid)")
                          .arg(sqliteQuoted(m_deleted), all, oldNotes);
        if (m_event != DataEvent::Delete) {
            const QString ids = m_event == DataEvent::Insert ? newNotes : oldNotes;
            statements << QStringLiteral("INSERT INTO temp.%1 (rowid, %2) SELECT t.rowid, %3 "
                                         "FROM %4.%5 AS t WHERE t.rowid IN (SELECT rid FROM %6)")
                              .arg(sqliteQuoted(m_inserted), all,
                                   prefixed(m_columns, QStringLiteral("t.")), m_schema,
                                   sqliteQuoted(m_table), ids);
        }
    }
    m_database.run(statements.join(QStringLiteral(";\n")));
    m_rows = std::max(countOf(m_database, m_inserted), countOf(m_database, m_deleted));
}

void ChangeCapture::dropAll() {
    m_database.run(QStringLiteral("DROP TRIGGER IF EXISTS temp.%1; DROP TABLE IF EXISTS temp.%2; "
                                  "DROP TABLE IF EXISTS temp.%3; DROP TABLE IF EXISTS temp.%4; "
                                  "DROP TABLE IF EXISTS temp.%5")
                       .arg(sqliteQuoted(m_trigger), sqliteQuoted(m_noteOld),
                            sqliteQuoted(m_noteNew), sqliteQuoted(m_inserted),
                            sqliteQuoted(m_deleted)));
    m_noting = false;
}

} // namespace estaciones::db::sqlite
