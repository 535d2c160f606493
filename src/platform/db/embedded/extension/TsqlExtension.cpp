// The engine's functions and collations as an SQLite loadable extension, so
// that the stock sqlite3 shell can check, dump and recover a company file
// whose schema calls them: `.load <program folder>/estaciones-tsql`.
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <QString>

#include <exception>
#include <memory>

SQLITE_EXTENSION_INIT1

namespace {

// The collation the file was created with, as the engine keeps it in its
// settings table; empty for a file without one (the default collation).
QString storedCollation(sqlite3* db) {
    const QString query = QStringLiteral("SELECT valor FROM %1 WHERE clave = 'collation'")
                              .arg(QLatin1String(estaciones::db::sqlite::settingsTable));
    sqlite3_stmt* statement = nullptr;
    QString collation;
    if (sqlite3_prepare_v2(db, query.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        collation = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    }
    sqlite3_finalize(statement);
    return collation;
}

} // namespace

// The name SQLite derives from the file name "estaciones-tsql".
extern "C" __attribute__((visibility("default"))) int
sqlite3_estacionestsql_init(sqlite3* db, char** errorMessage, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api)
    try {
        // Text indexes of an *_AI database are ordered without accents; the
        // shell must compare them as the engine wrote them. Spanish dates,
        // as the engine's sessions read them.
        auto settings = std::make_shared<estaciones::db::tsql::DialectSettings>();
        settings->accentInsensitive =
            storedCollation(db).endsWith(QLatin1String("_AI"), Qt::CaseInsensitive);
        estaciones::db::tsql::registerFunctions(db, settings);
    } catch (const std::exception& failure) {
        *errorMessage = sqlite3_mprintf("estaciones-tsql: %s", failure.what());
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}
