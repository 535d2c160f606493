// Painting a year: one statement per day (Temporada) against one statement
// for the whole year, on the embedded engine and on the ODBC engine (SQLite
// ODBC driver, standing in for a server). Reports statements per paint; the
// time ratio is the ratio of the two benchmarks' times on each engine.
#include "CountingEngine.h"

#include "calendar/SeasonStore.h"
#include "calendar/YearPaint.h"
#include "data/SharedDb.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/embedded/EmbeddedEngine.h"
#include "platform/db/odbc/OdbcEngine.h"

#include <QCoreApplication>
#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace estaciones::bench {
namespace {

constexpr int Year = 2025;
long statements = 0;

calendar::SeasonColours colours() {
    calendar::SeasonColours c;
    c.colour = {0x00FF00, 0x00FFFF, 0xFFFF00, 0x0000FF};
    return c;
}

// A year of rows with random seasons. The ODBC database keeps its dates as
// the suite's literal text, so that the literals the statements carry match
// without the embedded engine's dialect.
void fillYear(db::Connection& connection, bool datesAsText) {
    const QStringList codes = {"BA", "ME", "AL", "ES"};
    QRandomGenerator random(Year);
    QString batch;
    for (QDate d(Year, 1, 1); d.year() == Year; d = d.addDays(1)) {
        const QString date = datesAsText
                                 ? QStringLiteral("%1/%2/%3").arg(d.day()).arg(d.month()).arg(Year)
                                 : d.toString(QStringLiteral("yyyyMMdd"));
        batch += QStringLiteral("INSERT INTO MA_CALENDARIO (Fecha, Temporada, nolaborable) VALUES "
                                "('%1', '%2', 0)%3")
                     .arg(date, codes.at(random.bounded(codes.size())),
                          datesAsText ? QStringLiteral(";") : QStringLiteral("\n"));
    }
    connection.execute(batch);
}

class Backend {
public:
    explicit Backend(bool embedded) : m_embedded(embedded) {
        qputenv("ESTACIONES_DATOS", m_dir.path().toLocal8Bit());
        db::setEngineFactoryForTesting([embedded](const QString&) {
            return std::make_unique<CountingEngine>(embedded ? db::sqlite::createEmbeddedEngine()
                                                             : db::odbc::createOdbcEngine(),
                                                    statements);
        });
        data::releaseSharedDb();
        db::Connection& connection = data::sharedDb().gCnn;
        connection.setCursorLocation(db::adUseClient);
        if (embedded) {
            connection.open(
                QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
            connection.execute(QStringLiteral("CREATE DATABASE BANCO"));
            connection.execute(QStringLiteral("USE BANCO"));
            connection.execute(
                QStringLiteral("CREATE TABLE MA_CALENDARIO (Fecha datetime NOT NULL PRIMARY KEY, "
                               "Temporada varchar(2) NULL, nolaborable int NOT NULL DEFAULT (0))"));
        } else {
            connection.open(
                QStringLiteral("Driver=SQLite3;Database=%1").arg(m_dir.filePath("banco.db")));
            connection.execute(QStringLiteral(
                "CREATE TABLE MA_CALENDARIO (Fecha varchar(10) NOT NULL PRIMARY KEY, "
                "Temporada varchar(2) NULL, nolaborable int NOT NULL DEFAULT (0))"));
        }
        fillYear(connection, !embedded);
        data::sharedDb().gOpenFlag = true;
    }
    ~Backend() {
        data::releaseSharedDb();
        db::setEngineFactoryForTesting({});
    }

private:
    bool m_embedded;
    QTemporaryDir m_dir;
};

template <bool Embedded, bool DayByDay> void BM_PaintYear(benchmark::State& state) {
    Backend backend(Embedded);
    calendar::SeasonStore store(data::sharedDb());
    // Both ways must agree before their times mean anything.
    if (calendar::paintYear(store, Year, colours()) !=
        calendar::paintYearDayByDay(store, Year, colours())) {
        state.SkipWithError("the two paints differ");
        return;
    }
    statements = 0;
    for (auto _ : state) {
        auto paint = DayByDay ? calendar::paintYearDayByDay(store, Year, colours())
                              : calendar::paintYear(store, Year, colours());
        benchmark::DoNotOptimize(paint);
    }
    state.counters["statements_per_paint"] =
        static_cast<double>(statements) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_PaintYear<true, true>)->Name("Embedded/DayByDay")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintYear<true, false>)->Name("Embedded/OneStatement")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintYear<false, true>)->Name("OdbcSqlite/DayByDay")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintYear<false, false>)
    ->Name("OdbcSqlite/OneStatement")
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace estaciones::bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
