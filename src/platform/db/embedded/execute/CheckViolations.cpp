#include "platform/db/embedded/execute/CheckViolations.h"

#include "platform/db/embedded/bind/SchemaTyping.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

#include <vector>

namespace estaciones::db::sqlite {

namespace {

// Each CHECK constraint's query by its row in the constraint table.
std::vector<std::pair<qint64, QString>> checkViolations(sqlite3* db) {
    std::vector<std::pair<qint64, QString>> violations;
    PreparedStatement checks(
        db, QStringLiteral("SELECT rowid, violation FROM %1 WHERE kind = 'C' AND violation <> ''")
                .arg(QLatin1String(tsql::constraintTable)));
    if (!checks.ok())
        return violations; // no constraint was ever made here
    while (checks.step() == SQLITE_ROW)
        violations.emplace_back(sqlite3_column_int64(checks.handle(), 0),
                                QString::fromUtf8(reinterpret_cast<const char*>(
                                    sqlite3_column_text(checks.handle(), 1))));
    return violations;
}

} // namespace

void typeCheckViolations(sqlite3* db) {
    std::vector<std::pair<qint64, QString>> retyped;
    for (const auto& [row, violation] : checkViolations(db))
        if (const QString typed = typedForSchema(db, violation); typed != violation)
            retyped.emplace_back(row, typed);
    for (const auto& [row, typed] : retyped) {
        PreparedStatement update(db, QStringLiteral("UPDATE %1 SET violation = ?1 WHERE rowid = ?2")
                                         .arg(QLatin1String(tsql::constraintTable)));
        update.bindText(1, typed);
        update.bindInt(2, row);
        update.step();
    }
}

} // namespace estaciones::db::sqlite
