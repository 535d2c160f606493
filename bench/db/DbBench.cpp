// Execute + read of a 1-row and a 366-row SELECT through Connection/Recordset,
// on the ODBC engine (SQLite ODBC driver) and on the embedded engine when
// built, against the same statement on raw SQLite (sqlite3 C API, same file
// kind, same rows) measured in the same run. The closing table gives each
// layer time as a multiple of raw SQLite's.

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>

using namespace estaciones;
using namespace estaciones::db;

namespace {

const char* const kOneRow = "SELECT dia, fecha, nombre, importe FROM bench_dias WHERE dia = 100";
const char* const kYear = "SELECT dia, fecha, nombre, importe FROM bench_dias ORDER BY dia";

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString sqliteFile() {
    return folder().filePath(QStringLiteral("bench.db"));
}

QString fillScript() {
    QString sql = QStringLiteral(
        "CREATE TABLE bench_dias (dia int NOT NULL PRIMARY KEY, fecha datetime NOT NULL, "
        "nombre varchar(20) NULL, importe float NULL);");
    for (int d = 1; d <= 366; ++d) {
        const QDate date = QDate(2024, 1, 1).addDays(d - 1);
        sql += QStringLiteral("INSERT INTO bench_dias (dia, fecha, nombre, importe) VALUES (%1, "
                              "'%2', 'Dia %1', %3);")
                   .arg(d)
                   .arg(date.toString(QStringLiteral("yyyy-MM-dd")))
                   .arg(d * 1.25);
    }
    return sql;
}

void prepareSqliteFile() {
    static bool done = false;
    if (done) {
        return;
    }
    sqlite3* db = nullptr;
    sqlite3_open(sqliteFile().toUtf8().constData(), &db);
    const QByteArray script =
        (QStringLiteral("BEGIN;") + fillScript() + QStringLiteral("COMMIT;")).toUtf8();
    sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    done = true;
}

// Raw SQLite: prepare, step, read every column as the layer does (ints,
// text, doubles), finalize.
void rawSqlite(benchmark::State& state, const char* sql) {
    prepareSqliteFile();
    sqlite3* db = nullptr;
    sqlite3_open_v2(sqliteFile().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::int64_t rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int64(stmt, 0));
            QString fecha =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
            QString nombre =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)));
            benchmark::DoNotOptimize(fecha);
            benchmark::DoNotOptimize(nombre);
            benchmark::DoNotOptimize(sqlite3_column_double(stmt, 3));
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
}

void throughLayer(benchmark::State& state, Connection& cnn, const char* sql) {
    const QString text = QString::fromUtf8(sql);
    std::int64_t rows = 0;
    for (auto _ : state) {
        Recordset rs = cnn.execute(text);
        while (!rs.eof()) {
            for (int i = 0; i < 4; ++i) {
                Variant v = rs.fields(i).value();
                benchmark::DoNotOptimize(v);
            }
            rs.moveNext();
            ++rows;
        }
    }
    state.counters["rows"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
}

Connection& odbcConnection() {
    static Connection cnn = [] {
        prepareSqliteFile();
        Connection c;
        c.setCursorLocation(adUseClient);
        c.open(QStringLiteral("Driver=SQLite3;Database=%1").arg(sqliteFile()));
        return c;
    }();
    return cnn;
}

void BM_RawSqlite_1Row(benchmark::State& state) {
    rawSqlite(state, kOneRow);
}
void BM_RawSqlite_366Rows(benchmark::State& state) {
    rawSqlite(state, kYear);
}
void BM_Odbc_1Row(benchmark::State& state) {
    throughLayer(state, odbcConnection(), kOneRow);
}
void BM_Odbc_366Rows(benchmark::State& state) {
    throughLayer(state, odbcConnection(), kYear);
}
BENCHMARK(BM_RawSqlite_1Row);
BENCHMARK(BM_RawSqlite_366Rows);
BENCHMARK(BM_Odbc_1Row);
BENCHMARK(BM_Odbc_366Rows);

#ifdef ESTACIONES_HAVE_EMBEDDED_ENGINE
Connection& embeddedConnection() {
    static Connection cnn = [] {
        qputenv("ESTACIONES_DATOS", folder().filePath(QStringLiteral("datos")).toLocal8Bit());
        Connection master;
        master.open(
            QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
        master.execute(QStringLiteral("CREATE DATABASE BENCH"));
        master.close();
        Connection c;
        c.setCursorLocation(adUseClient);
        c.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =BENCH;UId=sa;Pwd=;"));
        c.beginTrans();
        c.execute(fillScript());
        c.commitTrans();
        return c;
    }();
    return cnn;
}
void BM_Embedded_1Row(benchmark::State& state) {
    throughLayer(state, embeddedConnection(), kOneRow);
}
void BM_Embedded_366Rows(benchmark::State& state) {
    throughLayer(state, embeddedConnection(), kYear);
}
BENCHMARK(BM_Embedded_1Row);
BENCHMARK(BM_Embedded_366Rows);
#endif

// Keeps each benchmark's time per iteration for the closing ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, std::pair<double, double>> times; // real, CPU
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatio against raw SQLite (same statement, same run; real time, CPU time):\n");
    for (const char* size : {"1Row", "366Rows"}) {
        const auto raw = reporter.times.find(std::string("BM_RawSqlite_") + size);
        if (raw == reporter.times.end() || raw->second.first <= 0 || raw->second.second <= 0) {
            continue;
        }
        for (const char* engine : {"Odbc", "Embedded"}) {
            const auto it = reporter.times.find(std::string("BM_") + engine + "_" + size);
            if (it != reporter.times.end()) {
                std::printf("  %-9s %-8s %8.2fx %8.2fx\n", engine, size,
                            it->second.first / raw->second.first,
                            it->second.second / raw->second.second);
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
