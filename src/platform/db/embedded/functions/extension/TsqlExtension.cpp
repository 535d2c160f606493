// The engine's functions and collations as an SQLite loadable extension, so
// that the stock sqlite3 shell can check, dump and recover a company file
// whose schema calls them: `.load <program folder>/estaciones-tsql`.
#include "platform/db/embedded/functions/SqliteFunctions.h"

#include <exception>
#include <memory>

SQLITE_EXTENSION_INIT1

// The name SQLite derives from the file name "estaciones-tsql".
extern "C" __attribute__((visibility("default"))) int
sqlite3_estacionestsql_init(sqlite3* db, char** errorMessage, const sqlite3_api_routines* api) {
    SQLITE_EXTENSION_INIT2(api)
    try {
        // The file's own settings are unknown here; a company database keeps
        // the default ones (accents count, Spanish dates).
        estaciones::db::tsql::registerFunctions(
            db, std::make_shared<estaciones::db::tsql::DialectSettings>());
    } catch (const std::exception& failure) {
        *errorMessage = sqlite3_mprintf("estaciones-tsql: %s", failure.what());
        return SQLITE_ERROR;
    }
    return SQLITE_OK;
}
