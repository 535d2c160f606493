// One station of the multi-process tests: a process of its own that works on
// the embedded engine's data folder ($ESTACIONES_DATOS) as a till would, and
// tells on stdout what the engine acknowledged.
//
//   estaciones_estacion_prueba sumar BASE VECES         UPDATE n = n + 1, one statement each
//   estaciones_estacion_prueba leer-escribir BASE VECES read into a variable, write it back + 1
//   estaciones_estacion_prueba retener BASE MS          holds the write lock MS milliseconds
//   estaciones_estacion_prueba insertar BASE FILAS      FILAS rows in one transaction
//
// Every batch the engine acknowledged counts in "confirmadas"; every error is
// printed as "error NUMERO SQLSTATE" so that the test can tell lock errors.
#include "platform/db/embedded/EmbeddedEngine.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <memory>

using namespace estaciones;
using namespace estaciones::db;

namespace {

constexpr int commandTimeoutSeconds = 30;

void tell(const char* format, auto... values) {
    std::printf(format, values...);
    std::fflush(stdout);
}

void tellError(const ProviderFailure& failure) {
    for (const ProviderError& record : failure.records()) {
        tell("error %d %s\n", record.nativeError, record.sqlState.toUtf8().constData());
    }
}

// Runs `batch` `times` times; the count of acknowledged batches.
int repeat(Engine& engine, const QString& batch, int times) {
    int acknowledged = 0;
    for (int i = 0; i < times; ++i) {
        try {
            engine.execute(batch, {}, commandTimeoutSeconds);
            ++acknowledged;
        } catch (const ProviderFailure& failure) {
            tellError(failure);
        }
    }
    return acknowledged;
}

int run(const QString& mode, Engine& engine, int amount) {
    if (mode == QLatin1String("sumar")) {
        const int acknowledged =
            repeat(engine, QStringLiteral("UPDATE Contador SET n = n + 1"), amount);
        tell("confirmadas %d\n", acknowledged);
        return acknowledged == amount ? 0 : 1;
    }
    if (mode == QLatin1String("leer-escribir")) {
        const int acknowledged = repeat(engine,
                                        QStringLiteral("BEGIN TRAN\n"
                                                       "DECLARE @n int\n"
                                                       "SELECT @n = n FROM Contador\n"
                                                       "UPDATE Contador SET n = @n + 1\n"
                                                       "COMMIT"),
                                        amount);
        tell("confirmadas %d\n", acknowledged);
        return 0;
    }
    if (mode == QLatin1String("retener")) {
        engine.execute(QStringLiteral("BEGIN TRAN UPDATE Contador SET n = n + 1"), {},
                       commandTimeoutSeconds);
        tell("listo\n");
        QThread::msleep(static_cast<unsigned long>(amount));
        engine.execute(QStringLiteral("COMMIT"), {}, commandTimeoutSeconds);
        tell("confirmadas 1\n");
        return 0;
    }
    if (mode == QLatin1String("insertar")) {
        engine.execute(QStringLiteral("BEGIN TRAN"), {}, commandTimeoutSeconds);
        constexpr int perBatch = 100;
        for (int row = 0; row < amount; row += perBatch) {
            QString batch;
            for (int i = row; i < row + perBatch && i < amount; ++i) {
                batch += QStringLiteral("INSERT INTO Filas (id, texto) VALUES (%1, 'fila %1')\n")
                             .arg(i);
            }
            engine.execute(batch, {}, commandTimeoutSeconds);
            tell("fila %d\n", row + perBatch);
        }
        tell("confirmando\n");
        engine.execute(QStringLiteral("COMMIT"), {}, commandTimeoutSeconds);
        tell("confirmadas 1\n");
        return 0;
    }
    std::fprintf(stderr, "modo desconocido: %s\n", mode.toUtf8().constData());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s sumar|leer-escribir|retener|insertar BASE CANTIDAD\n",
                     argv[0]);
        return 2;
    }
    try {
        auto engine = sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);Database=") +
                         QString::fromLocal8Bit(argv[2]),
                     {}, {});
        return run(QString::fromLocal8Bit(argv[1]), *engine, std::atoi(argv[3]));
    } catch (const ProviderFailure& failure) {
        tellError(failure);
        return 1;
    }
}
