#include "platform/db/embedded/execute/ConstraintNames.h"

#include "platform/db/embedded/catalog/ObjectNames.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/functions/SchemaAccess.h"
#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/functions/UserSchemas.h"

#include <QSet>

namespace estaciones::db::sqlite {

namespace {

// The names the statement gives with CONSTRAINT name; not those it refers
// to (DROP CONSTRAINT x, [NO]CHECK CONSTRAINT x).
QStringList declaredConstraintNames(const tsql::Tokens& statement) {
    QStringList names;
    for (std::size_t i = 1; i + 1 < statement.size(); ++i) {
        const tsql::Token& before = statement[i - 1];
        if (statement[i].isWord(u"CONSTRAINT") && statement[i + 1].isNameLike() &&
            !before.isWord(u"DROP") && !before.isWord(u"CHECK") && !before.isWord(u"NOCHECK"))
            names << statement[i + 1].value();
    }
    return names;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void refuseTakenConstraintNames(SqliteDatabase& database, const QString& table,
                                const tsql::Tokens& statement) {
    if (table.startsWith(QLatin1Char('#')))
        return; // a temporary table's constraints keep no row of the database's
    sqlite3* db = database.handle();
    const tsql::SchemaQualifiedName owner = tsql::splitStoredName(db, table);
    const bool keepsConstraints = database.hasTable(QLatin1String(tsql::constraintTable));
    QSet<QString> given;
    for (const QString& name : declaredConstraintNames(statement)) {
        if (given.contains(name.toLower()) || sameName(name, owner.name) ||
            isObjectName(database, tsql::storedName(owner.schema.name, name)))
            failWith(native::ObjectExists, {name});
        given.insert(name.toLower());
        if (!keepsConstraints)
            continue;
        const QStringList holders = tsql::schema_access::columnOf(
            db,
            QStringLiteral("SELECT table_name FROM %1 WHERE name = ?1")
                .arg(QLatin1String(tsql::constraintTable)),
            {name});
        if (holders.isEmpty())
            continue;
        if (sameName(tsql::splitStoredName(db, holders.front()).schema.name, owner.schema.name))
            failWith(native::ObjectExists, {name});
        failWith(native::NotSupported,
                 {QStringLiteral("a constraint named '%1' as one of another schema").arg(name)});
    }
}

} // namespace estaciones::db::sqlite
