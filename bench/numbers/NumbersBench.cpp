// Sums of money and decimal arithmetic over 20,000 rows through the embedded
// engine (translation, the dialect's operators, typing of the results)
// against the same sums in SQLite's double arithmetic on the same file, in
// the same run; an UPDATE computing exactly against a plain one; and a
// lookup by price through its index against a lookup by key, both through
// the engine: a money constant compared with the column seeks as a whole
// number does. Prints the ratio of each pair.
#include "platform/db/embedded/EmbeddedEngine.h"

#include <QDir>
#include <QTemporaryDir>

#include "support/RatioMain.h"
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

using namespace estaciones;

constexpr int rowCount = 20000;

const QString moneyQuery =
    QStringLiteral("SELECT SUM(precio * unidades), SUM(precio / 3), SUM(precio + 0.5) FROM Lineas");
const char* rawMoneyQuery =
    "SELECT SUM(precio * unidades), SUM(precio / 3.0), SUM(precio + 0.5) FROM Lineas";
const QString decimalQuery =
    QStringLiteral("SELECT SUM(peso * 2), SUM(peso / 7), SUM(peso - 1) FROM Lineas");
const char* rawDecimalQuery = "SELECT SUM(peso * 2), SUM(peso / 7.0), SUM(peso - 1) FROM Lineas";
const QString priceLookup = QStringLiteral("SELECT unidades FROM Lineas WHERE precio = 370.37");
const QString keyLookup = QStringLiteral("SELECT unidades FROM Lineas WHERE id = 1001");
// The price as text, as a form's field gives it: converted to money once, the index still serves.
const QString quotedPriceLookup =
    QStringLiteral("SELECT unidades FROM Lineas WHERE precio = '370.37'");

struct Fixture {
    QTemporaryDir folder;
    std::unique_ptr<db::Engine> engine;
    sqlite3* raw = nullptr;

    Fixture() {
        qputenv("ESTACIONES_DATOS", folder.path().toLocal8Bit());
        engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local)"), {}, {});
        engine->execute(QStringLiteral("CREATE DATABASE BENCH"), {}, 0);
        engine->useDatabase(QStringLiteral("BENCH"));
        engine->execute(QStringLiteral("CREATE TABLE Lineas (id int PRIMARY KEY, precio money, "
                                       "unidades int, peso decimal(10,3))\n"
                                       "CREATE INDEX ix_lineas_precio ON Lineas (precio)"),
                        {}, 0);
        engine->execute(QStringLiteral("BEGIN TRANSACTION\n"
                                       "DECLARE @i int SET @i = 0\n"
                                       "WHILE @i < %1 BEGIN\n"
                                       "  INSERT INTO Lineas VALUES (@i, @i * 0.37, @i % 12, "
                                       "@i * 0.011)\n"
                                       "  SET @i = @i + 1 END\n"
                                       "COMMIT")
                            .arg(rowCount),
                        {}, 0);
        sqlite3_open_v2(QDir(folder.path()).filePath("BENCH.db").toUtf8().constData(), &raw,
                        SQLITE_OPEN_READONLY, nullptr);
    }
    ~Fixture() { sqlite3_close_v2(raw); }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void throughEngine(benchmark::State& state, const QString& query) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const db::ExecutionResult result = f.engine->execute(query, {}, 0);
        benchmark::DoNotOptimize(result.resultSets.front().rows.front()[0].toDouble());
    }
}

void onRawSqlite(benchmark::State& state, const char* query) {
    Fixture& f = fixture();
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(f.raw, query, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_double(statement, 0));
        }
        sqlite3_finalize(statement);
    }
}

void EngineMoneySums(benchmark::State& state) {
    throughEngine(state, moneyQuery);
}
void RawSqliteMoneySums(benchmark::State& state) {
    onRawSqlite(state, rawMoneyQuery);
}
void EngineDecimalSums(benchmark::State& state) {
    throughEngine(state, decimalQuery);
}
void RawSqliteDecimalSums(benchmark::State& state) {
    onRawSqlite(state, rawDecimalQuery);
}

// An UPDATE whose value is exact arithmetic (typed, worked out on the
// digits) against one that assigns the column as it is: both through the
// engine, with the same triggers that keep decimals in their stored form.
void changeThroughEngine(benchmark::State& state, const QString& statement) {
    Fixture& f = fixture();
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.engine->execute(statement, {}, 0).rowsAffected);
    }
}
void EngineExactUpdate(benchmark::State& state) {
    changeThroughEngine(state,
                        QStringLiteral("UPDATE Lineas SET peso = peso * 1.000 WHERE id * 1.0 < 5000"));
}
void EnginePlainUpdate(benchmark::State& state) {
    changeThroughEngine(state, QStringLiteral("UPDATE Lineas SET peso = peso WHERE id < 5000"));
}

void EnginePriceLookup(benchmark::State& state) {
    throughEngine(state, priceLookup);
}
void EngineKeyLookup(benchmark::State& state) {
    throughEngine(state, keyLookup);
}
void EngineQuotedPriceLookup(benchmark::State& state) {
    throughEngine(state, quotedPriceLookup);
}

// Every statement a new text, so that each one is translated and typed
// against the schema again: what the comparison's conversion costs the first time.
void freshTexts(benchmark::State& state, const QString& price) {
    Fixture& f = fixture();
    int round = 0;
    for (auto _ : state) {
        const QString query = QStringLiteral("SELECT COUNT(*) FROM Lineas WHERE precio = %1 AND id <> %2")
                                  .arg(price)
                                  .arg(-(++round));
        benchmark::DoNotOptimize(f.engine->execute(query, {}, 0).resultSets.size());
    }
}
void EngineFreshPriceLookup(benchmark::State& state) {
    freshTexts(state, QStringLiteral("370.37"));
}
void EngineFreshQuotedPriceLookup(benchmark::State& state) {
    freshTexts(state, QStringLiteral("'370.37'"));
}

BENCHMARK(EngineMoneySums);
BENCHMARK(RawSqliteMoneySums);
BENCHMARK(EngineDecimalSums);
BENCHMARK(RawSqliteDecimalSums);
BENCHMARK(EngineExactUpdate);
BENCHMARK(EnginePlainUpdate);
BENCHMARK(EnginePriceLookup);
BENCHMARK(EngineKeyLookup);
BENCHMARK(EngineQuotedPriceLookup);
BENCHMARK(EngineFreshPriceLookup);
BENCHMARK(EngineFreshQuotedPriceLookup);

} // namespace

int main(int argc, char** argv) {
    return estaciones::bench::runWithRatios(
        argc, argv,
        {{"money arithmetic, engine / raw SQLite doubles", "EngineMoneySums", "RawSqliteMoneySums"},
         {"decimal arithmetic, engine / raw SQLite doubles", "EngineDecimalSums",
          "RawSqliteDecimalSums"},
         {"exact UPDATE and WHERE / plain UPDATE", "EngineExactUpdate", "EnginePlainUpdate"},
         {"lookup by price / lookup by key, through the index", "EnginePriceLookup",
          "EngineKeyLookup"}});
}
