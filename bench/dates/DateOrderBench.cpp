// 20,000 stored dates sorted by the engine's date collation, which every date
// column declares, against the same rows sorted by their bytes in the same
// run: datetime2 values (the form most columns keep), datetimeoffsets at one
// offset (compared by their bytes too) and at mixed offsets (compared by
// their UTC instants). Prints the ratio of each to the byte order.
#include "platform/db/embedded/functions/SqliteFunctions.h"

#include "support/RatioMain.h"
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDateTime>
#include <QRandomGenerator>

namespace {

using namespace estaciones;

constexpr int rowCount = 20000;

struct Fixture {
    sqlite3* db = nullptr;

    Fixture() {
        sqlite3_open(":memory:", &db);
        db::tsql::registerFunctions(db, std::make_shared<db::tsql::DialectSettings>());
        sqlite3_exec(db, "CREATE TABLE fechas (dt2 text, una text, varias text)", nullptr, nullptr,
                     nullptr);
        QRandomGenerator random(20240107);
        sqlite3_stmt* insert = nullptr;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO fechas VALUES (?, ?, ?)", -1, &insert, nullptr);
        const QDateTime start(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < rowCount; ++i) {
            const QDateTime at = start.addSecs(random.bounded(800000000));
            const QString local =
                at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                QStringLiteral(".%1").arg(random.bounded(10000000), 7, 10, QLatin1Char('0'));
            const int hours = random.bounded(-12, 13);
            const QString offset = QStringLiteral(" %1%2:00")
                                       .arg(hours < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                       .arg(std::abs(hours), 2, 10, QLatin1Char('0'));
            const QByteArray texts[] = {local.toLatin1(),
                                        (local + QStringLiteral(" +01:00")).toLatin1(),
                                        (local + offset).toLatin1()};
            for (int c = 0; c < 3; ++c)
                sqlite3_bind_text(insert, c + 1, texts[c].constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    ~Fixture() { sqlite3_close_v2(db); }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void sortedBy(benchmark::State& state, const char* query) {
    Fixture& f = fixture();
    for (auto _ : state) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(f.db, query, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
}

void Datetime2ByBytes(benchmark::State& state) {
    sortedBy(state, "SELECT dt2 FROM fechas ORDER BY dt2 COLLATE BINARY");
}
void Datetime2ByDateCollation(benchmark::State& state) {
    sortedBy(state, "SELECT dt2 FROM fechas ORDER BY dt2 COLLATE tsql_date");
}
void OneOffsetByBytes(benchmark::State& state) {
    sortedBy(state, "SELECT una FROM fechas ORDER BY una COLLATE BINARY");
}
void OneOffsetByDateCollation(benchmark::State& state) {
    sortedBy(state, "SELECT una FROM fechas ORDER BY una COLLATE tsql_date");
}
void MixedOffsetsByBytes(benchmark::State& state) {
    sortedBy(state, "SELECT varias FROM fechas ORDER BY varias COLLATE BINARY");
}
void MixedOffsetsByDateCollation(benchmark::State& state) {
    sortedBy(state, "SELECT varias FROM fechas ORDER BY varias COLLATE tsql_date");
}

BENCHMARK(Datetime2ByBytes);
BENCHMARK(Datetime2ByDateCollation);
BENCHMARK(OneOffsetByBytes);
BENCHMARK(OneOffsetByDateCollation);
BENCHMARK(MixedOffsetsByBytes);
BENCHMARK(MixedOffsetsByDateCollation);

} // namespace

int main(int argc, char** argv) {
    return estaciones::bench::runWithRatios(
        argc, argv,
        {{"datetime2, date collation / bytes", "Datetime2ByDateCollation", "Datetime2ByBytes"},
         {"datetimeoffset at one offset, date collation / bytes", "OneOffsetByDateCollation",
          "OneOffsetByBytes"},
         {"datetimeoffset at mixed offsets, date collation / bytes", "MixedOffsetsByDateCollation",
          "MixedOffsetsByBytes"}});
}
