// The second process of the interrupted-conversion test: converts a database
// file to the current format and, when told, kills itself with SIGKILL after
// that many steps of SQLite's virtual machine, as a power cut or kill -9 would.
// Usage: estaciones_conversion_child <file> <step>   (0: never; prints the steps taken)
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/sqlite/FormatConversion.h"

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

long long steps = 0;
long long killAt = 0;

int onStep(void*) {
    if (++steps == killAt)
        std::raise(SIGKILL);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s file step\n", argv[0]);
        return 2;
    }
    killAt = std::atoll(argv[2]);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    try {
        sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        estaciones::db::tsql::registerFunctions(
            db, std::make_shared<estaciones::db::tsql::DialectSettings>());
        sqlite3_progress_handler(db, 1, onStep, nullptr);
        estaciones::db::sqlite::bringToCurrentFormat(db, QString::fromLocal8Bit(argv[1]),
                                                     QStringLiteral("ALMACEN"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    sqlite3_close(db);
    std::printf("%lld\n", steps);
    return 0;
}
