#include "platform/db/embedded/execute/OutputTarget.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

// The first name `sql` finds for `table`, or nothing.
QString firstFound(SqliteDatabase& database, const QString& sql, const QString& table) {
    PreparedStatement query(database.handle(), sql);
    query.bindText(1, table);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        return {};
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
}

} // namespace

void refuseOutputTarget(SqliteDatabase& database, const tsql::Tokens& into) {
    std::size_t at = 0;
    const QString table = readObjectName(into, at);
    if (table.isEmpty() || table.startsWith(QLatin1Char('@')) || table.startsWith(QLatin1Char('#'))) {
        return;
    }
    if (!firstFound(database,
                    QStringLiteral("SELECT name FROM %1 WHERE table_name = ?1 AND disabled = 0")
                        .arg(QLatin1String(tsql::triggerTable)),
                    table)
             .isEmpty()) {
        failWith(native::OutputIntoTableWithTriggers, {table});
    }
    if (!database.hasTable(QLatin1String(tsql::constraintTable))) {
        return;
    }
    // An enabled CHECK of the table; a foreign key from or to it.
    static const std::pair<const char*, int> constraints[] = {
        {"kind = 'C' AND disabled = 0 AND table_name = ?1", native::OutputIntoTableWithChecks},
        {"kind = 'F' AND (table_name = ?1 OR ref_table = ?1)", native::OutputIntoTableWithKeys}};
    for (const auto& [condition, error] : constraints) {
        const QString found =
            firstFound(database,
                       QStringLiteral("SELECT name FROM %1 WHERE %2")
                           .arg(QLatin1String(tsql::constraintTable), QLatin1String(condition)),
                       table);
        if (!found.isEmpty()) {
            failWith(error, {table, found});
        }
    }
}

} // namespace estaciones::db::sqlite
