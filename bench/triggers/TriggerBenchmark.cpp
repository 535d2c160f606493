// What a trigger and an OUTPUT clause cost a one-row UPDATE through the
// embedded engine (noting the changed rows, filling inserted and deleted,
// running the body), against the same UPDATE on a table without triggers, in
// the same run. Prints the ratios.
#include "platform/db/embedded/EmbeddedEngine.h"

#include <QTemporaryDir>

#include "support/RatioMain.h"
#include <benchmark/benchmark.h>

namespace {

using namespace estaciones;

struct Fixture {
    QTemporaryDir folder;
    std::unique_ptr<db::Engine> engine;

    Fixture() {
        qputenv("ESTACIONES_DATOS", folder.path().toLocal8Bit());
        engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local)"), {}, {});
        engine->execute(QStringLiteral("CREATE DATABASE BENCH"), {}, 0);
        engine->useDatabase(QStringLiteral("BENCH"));
        for (const char* table : {"SIMPLE", "VIGILADA"}) {
            engine->execute(QStringLiteral("CREATE TABLE %1 (Id int PRIMARY KEY, Precio money, "
                                           "Nombre varchar(30))\n"
                                           "DECLARE @i int SET @i = 1\n"
                                           "WHILE @i <= 1000 BEGIN\n"
                                           "  INSERT INTO %1 VALUES (@i, @i, 'articulo')\n"
                                           "  SET @i = @i + 1 END")
                                .arg(QLatin1String(table)),
                            {}, 0);
        }
        engine->execute(QStringLiteral("CREATE TABLE HISTORIA (Id int, Antes money, Despues money)"),
                        {}, 0);
        engine->execute(QStringLiteral("CREATE TRIGGER TR_VIGILADA ON VIGILADA AFTER UPDATE AS\n"
                                       "SET NOCOUNT ON\n"
                                       "IF UPDATE(Precio)\n"
                                       "  INSERT INTO HISTORIA SELECT d.Id, d.Precio, i.Precio\n"
                                       "  FROM deleted d JOIN inserted i ON i.Id = d.Id"),
                        {}, 0);
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void update(benchmark::State& state, const QString& statement) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const db::ExecutionResult result = f.engine->execute(statement, {}, 0);
        benchmark::DoNotOptimize(result.rowsAffected);
    }
}

void PlainUpdate(benchmark::State& state) {
    update(state, QStringLiteral("UPDATE SIMPLE SET Precio = Precio + 1 WHERE Id = 500"));
}

void UpdateFiringTrigger(benchmark::State& state) {
    update(state, QStringLiteral("UPDATE VIGILADA SET Precio = Precio + 1 WHERE Id = 500"));
}

void UpdateWithOutput(benchmark::State& state) {
    update(state, QStringLiteral("UPDATE SIMPLE SET Precio = Precio + 1 OUTPUT deleted.Precio, "
                                 "inserted.Precio WHERE Id = 500"));
}

BENCHMARK(PlainUpdate);
BENCHMARK(UpdateFiringTrigger);
BENCHMARK(UpdateWithOutput);

} // namespace

int main(int argc, char** argv) {
    return estaciones::bench::runWithRatios(
        argc, argv,
        {{"UPDATE firing a trigger / plain UPDATE", "UpdateFiringTrigger", "PlainUpdate"},
         {"UPDATE with OUTPUT / plain UPDATE", "UpdateWithOutput", "PlainUpdate"}});
}
