// The build tool that builds a seed's database ahead of time, so that the
// program's first start copies it instead of running the seed's scripts:
//   estaciones-sembrar <carpeta>/DEMO.semilla  ->  <carpeta>/DEMO.sembrada (+ .huella)
#include "platform/db/embedded/EmbeddedEngine.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Uso: estaciones-sembrar <base>.semilla\n");
        return 2;
    }
    const QString seed = arguments.at(1);
    try {
        estaciones::db::sqlite::prebuildSeedDatabase(seed);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", seed.toLocal8Bit().constData(), e.what());
        return 1;
    }
    return 0;
}
