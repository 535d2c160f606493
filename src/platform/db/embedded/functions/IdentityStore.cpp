#include "platform/db/embedded/functions/IdentityStore.h"

#include "platform/db/embedded/functions/ObjectNameParts.h"

#include "platform/db/embedded/functions/SchemaAccess.h"

#include <QStringList>

#include <sqlite3.h>

namespace estaciones::db::tsql {

namespace {

using namespace schema_access;

// 'dbo.[t]' → t, 'ventas.t' → the file's "ventas.t": the functions take
// the name as text, as the server does.
QString tableOfName(const QString& name) {
    return catalogObjectName(name);
}

// One column of the table's row in the store; NULL when it has none (or
// the row does not meet `condition`).
void identityProperty(sqlite3_context* ctx, sqlite3_value* name, const char* column,
                      const char* condition = "1") {
    sqlite3* db = sqlite3_context_db_handle(ctx);
    const QString table = tableOfName(textOf(name));
    if (!hasIdentityStore(db, table))
        return sqlite3_result_null(ctx);
    const std::optional<qint64> value = storedIdentityValue(db, table, column, condition);
    if (!value)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, *value);
}

void identSeed(sqlite3_context* ctx, int, sqlite3_value** argv) {
    identityProperty(ctx, argv[0], "seed");
}

void identIncrement(sqlite3_context* ctx, int, sqlite3_value** argv) {
    identityProperty(ctx, argv[0], "increment");
}

void identCurrent(sqlite3_context* ctx, int, sqlite3_value** argv) {
    identityProperty(ctx, argv[0], "current");
}

// The last value the column gave: none before its first row (or after TRUNCATE).
void identLast(sqlite3_context* ctx, int, sqlite3_value** argv) {
    identityProperty(ctx, argv[0], "current", "used");
}

const FunctionRegistration identityRegistrations[] = {
    {"tsql_ident_last", 1, guarded<identLast>},
    {"tsql_ident_seed", 1, guarded<identSeed>},
    {"tsql_ident_incr", 1, guarded<identIncrement>},
    {"tsql_ident_current", 1, guarded<identCurrent>},
};

} // namespace

bool hasIdentityStore(sqlite3* db, const QString& table) {
    const QString schema = identityStoreOf(table).section(QLatin1Char('.'), 0, 0);
    return !columnOf(db,
                     QStringLiteral("SELECT 1 FROM %1.sqlite_schema WHERE type = 'table' AND "
                                    "name = ?1")
                         .arg(schema),
                     {QString::fromLatin1(identityTable)})
                .isEmpty();
}

std::optional<qint64> storedIdentityValue(sqlite3* db, const QString& table, const char* column,
                                          const char* condition) {
    const QStringList value = columnOf(
        db,
        QStringLiteral("SELECT %1 FROM %2 WHERE table_name = ?1 AND %3")
            .arg(QLatin1String(column), identityStoreOf(table), QLatin1String(condition)),
        {table});
    if (value.isEmpty())
        return std::nullopt;
    return value.front().toLongLong();
}

QString identityColumnOf(sqlite3* db, const QString& table) {
    if (hasIdentityStore(db, table)) {
        const QStringList column = columnOf(
            db,
            QStringLiteral("SELECT column_name FROM %1 WHERE table_name = ?1")
                .arg(identityStoreOf(table)),
            {table});
        if (!column.isEmpty())
            return column.front();
    }
    const QString schema = identityStoreOf(table).section(QLatin1Char('.'), 0, 0);
    return columnOf(db,
                    QStringLiteral("SELECT p.name FROM %1.sqlite_schema AS m, "
                                   "pragma_table_info(m.name, '%1') AS p WHERE m.type = 'table' "
                                   "AND m.name = ?1 COLLATE NOCASE AND m.sql LIKE "
                                   "'%AUTOINCREMENT%' AND p.pk = 1")
                        .arg(schema),
                    {table})
        .value(0);
}

bool isTemporaryTable(const QString& table) {
    return table.startsWith(QLatin1Char('#'));
}

QString identityTableDefinition(const QString& table) {
    return QStringLiteral("CREATE %1TABLE IF NOT EXISTS %2 (table_name TEXT NOT NULL COLLATE "
                          "NOCASE PRIMARY KEY, column_name TEXT NOT NULL, seed INTEGER NOT NULL, "
                          "increment INTEGER NOT NULL, current INTEGER NOT NULL, used INTEGER NOT "
                          "NULL DEFAULT 0)")
        .arg(isTemporaryTable(table) ? QStringLiteral("TEMP ") : QString(),
             QLatin1String(identityTable));
}

QString identityStoreOf(const QString& table) {
    return (isTemporaryTable(table) ? QStringLiteral("temp.") : QStringLiteral("main.")) +
           QLatin1String(identityTable);
}

void registerIdentityFunctions(sqlite3* db) {
    for (const FunctionRegistration& r : identityRegistrations)
        registerOne(db, r);
}

} // namespace estaciones::db::tsql
