#include "platform/db/embedded/bind/KeptColumnTypes.h"

namespace estaciones::db::sqlite {

SqliteDatabase::QueryColumnType
keptColumnType(sqlite3* db, const QString& key, const QString& column,
               const std::function<SqliteDatabase::QueryColumnType()>& type) {
    SqliteDatabase* database = SqliteDatabase::of(db);
    if (!database) {
        return type();
    }
    const QString kept = database->schemaStamp() + QLatin1Char('\x1f') + column.toLower() +
                         QLatin1Char('\x1f') + key;
    if (const SqliteDatabase::QueryColumnType* known = database->queryColumnTypes().find(kept)) {
        return *known;
    }
    SqliteDatabase::QueryColumnType typed = type();
    database->queryColumnTypes().put(kept, typed);
    return typed;
}

} // namespace estaciones::db::sqlite
