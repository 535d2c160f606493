// What a trigger and an OUTPUT clause cost a one-row UPDATE through the
// embedded engine (noting the changed rows, filling inserted and deleted,
// running the body), against the same UPDATE on a table without triggers, in
// the same run; and what the triggers cost a MERGE, whose actions each
// fire theirs once, against the same MERGE on a table without any. Prints
// the ratios.
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
        engine->execute(QStringLiteral("CREATE TRIGGER TR_VIGILADA_ALTA ON VIGILADA AFTER INSERT, "
                                       "DELETE AS SET NOCOUNT ON"),
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

// One matched row updated, one new row inserted and deleted again by the
// next iteration's NOT MATCHED BY SOURCE: every action carries out rows.
QString mergeInto(const char* table) {
    return QStringLiteral("MERGE %1 AS t USING (VALUES (500, 7), (2000, 1)) AS s (Id, Precio) ON "
                          "t.Id = s.Id WHEN MATCHED AND t.Id = 500 THEN UPDATE SET t.Precio = "
                          "t.Precio + s.Precio WHEN NOT MATCHED BY TARGET THEN INSERT VALUES (s.Id, "
                          "s.Precio, 'nuevo') WHEN NOT MATCHED BY SOURCE AND t.Id = 2000 THEN "
                          "DELETE;")
        .arg(QLatin1String(table));
}

void PlainMerge(benchmark::State& state) {
    update(state, mergeInto("SIMPLE"));
}

void MergeFiringTriggers(benchmark::State& state) {
    update(state, mergeInto("VIGILADA"));
}

BENCHMARK(PlainUpdate);
BENCHMARK(UpdateFiringTrigger);
BENCHMARK(UpdateWithOutput);
BENCHMARK(PlainMerge);
BENCHMARK(MergeFiringTriggers);

} // namespace

int main(int argc, char** argv) {
    return estaciones::bench::runWithRatios(
        argc, argv,
        {{"UPDATE firing a trigger / plain UPDATE", "UpdateFiringTrigger", "PlainUpdate"},
         {"UPDATE with OUTPUT / plain UPDATE", "UpdateWithOutput", "PlainUpdate"},
         {"MERGE firing triggers / plain MERGE", "MergeFiringTriggers", "PlainMerge"}});
}
