#include "platform/db/embedded/functions/SchemaAccess.h"

#include "platform/db/embedded/functions/LookupStatements.h"
#include "platform/db/embedded/storage/DatabaseFileName.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace estaciones::db::tsql::schema_access {

QString textOf(sqlite3_value* value) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                             sqlite3_value_bytes(value));
}

QString databaseName(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    return file ? sqlite::databaseNameOf(QFileInfo(QString::fromUtf8(file)).completeBaseName())
                : QString();
}

QStringList columnOf(sqlite3* db, const QString& sql, const QStringList& parameters) {
    const LookupStatement lookup(db, sql);
    sqlite3_stmt* statement = lookup.handle();
    if (!statement)
        throw std::runtime_error(sqlite3_errmsg(db));
    for (int i = 0; i < parameters.size(); ++i)
        sqlite3_bind_text(statement, i + 1, parameters[i].toUtf8().constData(), -1,
                          SQLITE_TRANSIENT);
    QStringList values;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        values << textOf(sqlite3_column_value(statement, 0));
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
    return values;
}

void execute(sqlite3* db, const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "schema change failed";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

void replaceTableDefinition(sqlite3* db, const QString& schema, const QString& table,
                            const QString& tableSql) {
    const QString version =
        columnOf(db, QStringLiteral("PRAGMA %1.schema_version").arg(schema)).value(0);
    execute(db, QStringLiteral("PRAGMA writable_schema = ON"));
    try {
        execute(db, QStringLiteral("UPDATE %1.sqlite_schema SET sql = %2 WHERE type = 'table' AND "
                                   "lower(name) = lower(%3)")
                        .arg(schema, quotedText(tableSql), quotedText(table)));
        execute(db, QStringLiteral("PRAGMA %1.schema_version = %2")
                        .arg(schema)
                        .arg(version.toLongLong() + 1));
    } catch (...) {
        execute(db, QStringLiteral("PRAGMA writable_schema = OFF"));
        throw;
    }
    execute(db, QStringLiteral("PRAGMA writable_schema = OFF"));
}

QString quotedText(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace estaciones::db::tsql::schema_access
