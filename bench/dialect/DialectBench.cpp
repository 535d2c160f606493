// The cost of the dialect on the calendar's hottest statement: the season
// query, sent once per painted day. "temporada/dialect" translates, prepares
// and steps the T-SQL text; "temporada/baseline" prepares and steps the same
// statement already translated, on the same database. The ratio dialect /
// baseline is printed at the end (above 1: the dialect is slower).
#include "platform/db/embedded/functions/SqliteFunctions.h"
#include "platform/db/embedded/translate/Translator.h"

#include <QDate>

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace estaciones::db;

namespace {

// A calendar of 2020-2030 with seasons, as the program's database holds it.
struct Calendar {
    Calendar() : settings(std::make_shared<tsql::DialectSettings>()), translator(settings) {
        sqlite3_open(":memory:", &db);
        tsql::registerFunctions(db, settings);
        run("CREATE TABLE [dbo].[MA_CALENDARIO] ([Fecha] [datetime] NOT NULL, [Temporada] "
            "[varchar] (2) NULL, [nolaborable] [bit] NOT NULL DEFAULT (0), CONSTRAINT "
            "[PK_MA_CALENDARIO] PRIMARY KEY CLUSTERED ([Fecha]))");
        run("WITH d AS (SELECT CONVERT(datetime, '1/1/2020') AS f UNION ALL SELECT DATEADD(day, 1, "
            "f) "
            "FROM d WHERE f < '31/12/2030') INSERT INTO MA_CALENDARIO (Fecha, Temporada) "
            "SELECT f, CASE WHEN MONTH(f) IN (7, 8) THEN 'AL' ELSE 'BA' END FROM d "
            "OPTION (MAXRECURSION 5000)");
        for (int day = 0; day < 366; ++day) {
            const QDate date = QDate(2024, 1, 1).addDays(day);
            statements.push_back(
                QStringLiteral("select * from ma_calendario where fecha = '%1/%2/%3'")
                    .arg(date.day())
                    .arg(date.month())
                    .arg(date.year()));
            translated.push_back(
                translator.translate(statements.back()).statements.front().toUtf8());
        }
    }
    ~Calendar() { sqlite3_close(db); }

    void run(const QString& tsql) {
        for (const QString& sql : translator.translate(tsql).statements)
            sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }

    // Prepares, steps to the season and finalizes, as a recordset open does.
    void query(const QByteArray& sql) const {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 1));
        sqlite3_finalize(stmt);
    }

    std::shared_ptr<tsql::DialectSettings> settings;
    tsql::Translator translator;
    sqlite3* db = nullptr;
    std::vector<QString> statements;
    std::vector<QByteArray> translated;
};

Calendar& calendar() {
    static Calendar instance;
    return instance;
}

void temporadaDialect(benchmark::State& state) {
    Calendar& c = calendar();
    size_t day = 0;
    for (auto _ : state) {
        const QString& tsql = c.statements[day++ % c.statements.size()];
        c.query(c.translator.translate(tsql).statements.front().toUtf8());
    }
}

void temporadaBaseline(benchmark::State& state) {
    Calendar& c = calendar();
    size_t day = 0;
    for (auto _ : state)
        c.query(c.translated[day++ % c.translated.size()]);
}

void translateOnly(benchmark::State& state) {
    Calendar& c = calendar();
    size_t day = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.translator.translate(c.statements[day++ % c.statements.size()]));
}

BENCHMARK(temporadaDialect)->Name("temporada/dialect");
BENCHMARK(temporadaBaseline)->Name("temporada/baseline");
BENCHMARK(translateOnly)->Name("translate-only");

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    estaciones::bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.printRatio("dialect / baseline (time per statement)", "temporada/dialect",
                        "temporada/baseline");
    benchmark::Shutdown();
    return 0;
}
