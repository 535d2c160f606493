// The season read of the calendar ("select * from ma_calendario where fecha =
// 'd/m/yyyy'") through the embedded engine — batch parsing, translation,
// execution, ADO typing — against the same statement already translated, on
// raw SQLite with the dialect's functions, in the same run. Prints the ratio.
// The same for the window's year statement (the 366 dates of a year named in
// one IN list) and its 366 rows, every value read; and that statement on a
// calendar of 200 years against one of a year (the dates' index makes them
// the same). And the translation of a 100 KB script against as many bytes in
// 1 KB scripts.
#include "calendar/SeasonStatements.h"
#include "platform/db/embedded/EmbeddedEngine.h"
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/parse/BatchParser.h"
#include "platform/db/embedded/translate/Translator.h"

#include <QDir>
#include <QTemporaryDir>

#include "support/RatioMain.h"
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

using namespace estaciones;

const QString seasonSelect = QStringLiteral("select * from ma_calendario where fecha = '5/3/2024'");
const QString yearSelect = calendar::yearSeasonsStatement(2024);

// The calendar table with a row for every day from `first` to `last`.
QString calendarOf(const QString& first, const QString& last) {
    return QStringLiteral("CREATE TABLE MA_CALENDARIO (Fecha datetime NOT NULL PRIMARY KEY, "
                          "Temporada varchar(2) NULL, nolaborable bit NULL)\n"
                          "DECLARE @f datetime SET @f = '%1'\n"
                          "BEGIN TRANSACTION\n"
                          "WHILE @f <= '%2' BEGIN\n"
                          "  INSERT INTO MA_CALENDARIO VALUES (@f, 'BA', 0)\n"
                          "  SET @f = DATEADD(day, 1, @f) END\n"
                          "COMMIT")
        .arg(first, last);
}

struct Fixture {
    QTemporaryDir folder;
    std::unique_ptr<db::Engine> engine;
    QString translated;
    QString translatedYear;
    sqlite3* raw = nullptr;
    sqlite3* raw200 = nullptr;

    Fixture() {
        qputenv("ESTACIONES_DATOS", folder.path().toLocal8Bit());
        engine = db::sqlite::createEmbeddedEngine();
        engine->open(QStringLiteral("Provider=SQLOLEDB;Server=(local)"), {}, {});
        engine->execute(QStringLiteral("CREATE DATABASE BENCH"), {}, 0);
        engine->execute(QStringLiteral("CREATE DATABASE BENCH200"), {}, 0);
        engine->useDatabase(QStringLiteral("BENCH200"));
        engine->execute(calendarOf(QStringLiteral("19000101"), QStringLiteral("20991231")), {}, 0);
        engine->useDatabase(QStringLiteral("BENCH"));
        engine->execute(calendarOf(QStringLiteral("20240101"), QStringLiteral("20241231")), {}, 0);
        auto settings = std::make_shared<db::tsql::DialectSettings>();
        translated = db::tsql::Translator(settings).translate(seasonSelect).statements.join(';');
        translatedYear =
            db::tsql::Translator(settings).translate(yearSelect).statements.join(';');
        sqlite3_open_v2(QDir(folder.path()).filePath("BENCH.db").toUtf8().constData(), &raw,
                        SQLITE_OPEN_READWRITE, nullptr);
        db::tsql::registerFunctions(raw, settings);
        sqlite3_open_v2(QDir(folder.path()).filePath("BENCH200.db").toUtf8().constData(), &raw200,
                        SQLITE_OPEN_READWRITE, nullptr);
        db::tsql::registerFunctions(raw200, settings);
    }
    ~Fixture() {
        sqlite3_close_v2(raw);
        sqlite3_close_v2(raw200);
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void EngineSeasonSelect(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const db::ExecutionResult result = f.engine->execute(seasonSelect, {}, 0);
        benchmark::DoNotOptimize(result.resultSets.front().rows.front()[1].toString());
    }
}

void RawSqliteSeasonSelect(benchmark::State& state) {
    Fixture& f = fixture();
    const QByteArray sql = f.translated.toUtf8();
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(f.raw, sql.constData(), static_cast<int>(sql.size()), &statement,
                           nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(statement, 1));
        }
        sqlite3_finalize(statement);
    }
}

void yearSelectOn(benchmark::State& state, const QString& database) {
    Fixture& f = fixture();
    f.engine->useDatabase(database);
    for (auto _ : state) {
        const db::ExecutionResult result = f.engine->execute(yearSelect, {}, 0);
        if (result.resultSets.front().rows.size() != 366)
            state.SkipWithError("the year statement did not read 366 rows");
        for (const std::vector<Variant>& row : result.resultSets.front().rows) {
            benchmark::DoNotOptimize(row[0].toDate());
            benchmark::DoNotOptimize(row[1].toString());
        }
    }
    f.engine->useDatabase(QStringLiteral("BENCH"));
}

void EngineYearSelect(benchmark::State& state) {
    yearSelectOn(state, QStringLiteral("BENCH"));
}

void EngineYearSelect200Years(benchmark::State& state) {
    yearSelectOn(state, QStringLiteral("BENCH200"));
}

// The same rows read as the engine's stored texts, with nothing made of them.
void rawYearSelectOn(benchmark::State& state, sqlite3* raw) {
    Fixture& f = fixture();
    const QByteArray sql = f.translatedYear.toUtf8();
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(raw, sql.constData(), static_cast<int>(sql.size()), &statement,
                           nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < 2; ++column) {
                QString text = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
                benchmark::DoNotOptimize(text);
            }
        }
        sqlite3_finalize(statement);
    }
}

void RawSqliteYearSelect(benchmark::State& state) {
    rawYearSelectOn(state, fixture().raw);
}

void RawSqliteYearSelect200Years(benchmark::State& state) {
    rawYearSelectOn(state, fixture().raw200);
}

// A script of the statements the suite's scripts are made of, about
// `bytes` long.
QString scriptOf(int bytes) {
    QString script;
    for (int i = 0; script.size() < bytes; ++i) {
        script += QStringLiteral(
                      "INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES "
                      "('%1/3/2024', 'BA', 0)\n"
                      "UPDATE MA_CALENDARIO SET Temporada = 'AL' WHERE Fecha BETWEEN '1/6/2024' "
                      "AND DATEADD(day, %1, '1/6/2024') AND isnull(nolaborable, 0) = 0\n"
                      "SELECT TOP 1 Fecha, Temporada FROM MA_CALENDARIO WITH (NOLOCK) "
                      "WHERE Fecha = '%1/3/2024' ORDER BY Fecha\n")
                      .arg(1 + i % 28);
    }
    return script;
}

// The same number of bytes translated in scripts of 1 KB and of 100 KB: a
// translation that is linear in its text takes the same time for both.
void translateScripts(benchmark::State& state, int bytes) {
    const auto settings = std::make_shared<db::tsql::DialectSettings>();
    const QString script = scriptOf(bytes);
    const int repeats = std::max(1, 100 * 1024 / static_cast<int>(script.size()));
    const db::tsql::Translator translator(settings);
    for (auto _ : state) {
        for (int i = 0; i < repeats; ++i) {
            // As the engine reads a script: the batch parsed whole, then each statement.
            for (const db::sqlite::StatementNode& node : db::sqlite::parseBatch(script)) {
                benchmark::DoNotOptimize(
                    translator.translate(db::sqlite::joinTokens(node.tokens)));
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * repeats * script.size());
}

void TranslateScripts1KB(benchmark::State& state) {
    translateScripts(state, 1024);
}
void TranslateScript100KB(benchmark::State& state) {
    translateScripts(state, 100 * 1024);
}

BENCHMARK(TranslateScripts1KB);
BENCHMARK(TranslateScript100KB);
BENCHMARK(EngineSeasonSelect);
BENCHMARK(RawSqliteSeasonSelect);
BENCHMARK(EngineYearSelect);
BENCHMARK(EngineYearSelect200Years);
BENCHMARK(RawSqliteYearSelect);
BENCHMARK(RawSqliteYearSelect200Years);

} // namespace

int main(int argc, char** argv) {
    return estaciones::bench::runWithRatios(
        argc, argv,
        {{"Season SELECT, engine / raw SQLite", "EngineSeasonSelect", "RawSqliteSeasonSelect"},
         {"Year statement, 366 rows, engine / raw SQLite", "EngineYearSelect",
          "RawSqliteYearSelect"},
         {"Year statement, 200 years of rows / one year", "EngineYearSelect200Years",
          "EngineYearSelect"},
         {"Year statement on raw SQLite, 200 years of rows / one year",
          "RawSqliteYearSelect200Years", "RawSqliteYearSelect"},
         {"Translation per byte, 100 KB script / 1 KB scripts", "TranslateScript100KB",
          "TranslateScripts1KB"}});
}
