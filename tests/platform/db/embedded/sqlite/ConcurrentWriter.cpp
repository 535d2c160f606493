// A second process for the concurrency test: adds 1 to one counter row of a
// database, many times, each in its own statement.
// Usage: estaciones_sqlite_writer <database> <row id> <times>
#include "platform/db/embedded/EmbeddedEngine.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s database row times\n", argv[0]);
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const int row = std::atoi(argv[2]);
    const int times = std::atoi(argv[3]);
    try {
        auto engine = estaciones::db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);Database=") + database, {},
                     {});
        for (int i = 0; i < times; ++i) {
            engine->execute(
                QStringLiteral("UPDATE Contadores SET n = n + 1 WHERE id = %1").arg(row), {}, 0);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
