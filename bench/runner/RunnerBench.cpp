// The script runner on a script of many batches, against the command-line
// companion running the same script (`estaciones-sql -i`) and the stock
// sqlite3 shell running the same statements in SQLite's SQL on a file of its
// own in the same folder (WAL, every statement its own synced commit, as a
// batch of the runner is), in the same run.
#include "data/SharedDb.h"
#include "platform/ui/ScriptedOperatorInterface.h"
#include "session/EjecutorScripts.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/TimesReporter.h"
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <map>

using namespace estaciones;

namespace {

constexpr int lotes = 5000;

struct Entorno {
    QTemporaryDir datos;
    QString script;
    QString scriptSqlite;

    Entorno() {
        qputenv("ESTACIONES_DATOS", datos.path().toLocal8Bit());
        qputenv("TEMP", datos.path().toLocal8Bit());
        script = scriptOf(QStringLiteral("lotes.sql"),
                          "if exists (select * from sysobjects where name = 'T') drop table T\r\nGO\r\n"
                          "CREATE TABLE T (id int)\r\nGO\r\n",
                          "INSERT INTO T VALUES (%1)\r\nGO\r\n");
        scriptSqlite = scriptOf(QStringLiteral("lotes-sqlite.sql"),
                                "PRAGMA journal_mode=WAL;\nPRAGMA synchronous=FULL;\n"
                                "DROP TABLE IF EXISTS T;\nCREATE TABLE T (id int);\n",
                                "INSERT INTO T VALUES (%1);\n");
        db::Connection master;
        master.open(cadena(QStringLiteral("master")));
        master.execute(QStringLiteral("CREATE DATABASE BANCO"));
    }

    // A file of `head`, then `batch` once per batch with its number.
    QString scriptOf(const QString& name, const char* head, const char* batch) {
        const QString path = datos.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(head);
        for (int i = 0; i < lotes; ++i) {
            file.write(QString::fromLatin1(batch).arg(i).toUtf8());
        }
        return path;
    }

    static QString cadena(const QString& base) {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =%1;UId=sa;Pwd=;")
            .arg(base);
    }
};

// CPU seconds (user + system) of the child processes that ended so far.
double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The children's CPU per iteration beside the wall time, as a counter: the
// benchmark's own CPU column is the calling thread's.
void countChildCpu(benchmark::State& state, double before) {
    state.counters["cpu_proceso_ms"] = benchmark::Counter(
        (childCpuSeconds() - before) * 1000.0, benchmark::Counter::kAvgIterations);
}

Entorno& entorno() {
    static Entorno e;
    return e;
}

void BM_VerVistas(benchmark::State& state) {
    ui::ScriptedOperatorInterface operador;
    ui::ScopedOperatorInterface instalado(operador);
    data::DB_Dll& db = data::sharedDb();
    db.OpenServerADODB(false, db::adUseClient, Entorno::cadena(QStringLiteral("BANCO")), false,
                       false);
    for (auto _ : state) {
        bool permiteDrop = true;
        const auto r = session::ejecutarScript(entorno().script, {}, permiteDrop, {});
        benchmark::DoNotOptimize(r.pasadas);
    }
    data::releaseSharedDb();
    state.counters["lotes"] = lotes + 2;
}

void BM_EstacionesSqlScript(benchmark::State& state) {
    const QString companion =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../estaciones-sql");
    const double before = childCpuSeconds();
    for (auto _ : state) {
        QProcess proceso;
        proceso.start(companion,
                      {QStringLiteral("-S"), QStringLiteral("(local)"), QStringLiteral("-d"),
                       QStringLiteral("BANCO"), QStringLiteral("-i"), entorno().script,
                       QStringLiteral("-h"), QStringLiteral("-1")});
        proceso.waitForFinished(-1);
        if (proceso.exitCode() != 0) {
            state.SkipWithError("estaciones-sql failed");
            break;
        }
    }
    countChildCpu(state, before);
    state.counters["lotes"] = lotes + 2;
}

void BM_Sqlite3Shell(benchmark::State& state) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        state.SkipWithError("sqlite3 is not installed (apt-get install sqlite3)");
        return;
    }
    const QString file = entorno().datos.filePath(QStringLiteral("shell.db"));
    const double before = childCpuSeconds();
    for (auto _ : state) {
        QProcess proceso;
        proceso.setStandardInputFile(entorno().scriptSqlite);
        proceso.setStandardOutputFile(QProcess::nullDevice());
        proceso.start(shell, {file});
        proceso.waitForFinished(-1);
        if (proceso.exitCode() != 0) {
            state.SkipWithError("sqlite3 failed");
            break;
        }
    }
    countChildCpu(state, before);
    state.counters["lotes"] = lotes + 2;
}

// A script of ESTACIONES_GUION_MB megabytes (none unless set) of INSERT
// batches of 1,000 rows: the runner's resident size must not grow with it.
void BM_VerVistasGuionGrande(benchmark::State& state) {
    const qint64 megas = qEnvironmentVariableIntValue("ESTACIONES_GUION_MB");
    if (megas <= 0) {
        state.SkipWithError("ESTACIONES_GUION_MB is not set");
        return;
    }
    const QString ruta = entorno().datos.filePath(QStringLiteral("grande.sql"));
    qint64 lotesGrandes = 0;
    {
        QFile archivo(ruta);
        archivo.open(QIODevice::WriteOnly);
        archivo.write("if exists (select * from sysobjects where name = 'G') drop table G\r\nGO\r\n"
                      "CREATE TABLE G (id int, texto varchar(40))\r\nGO\r\n");
        QByteArray lote;
        for (int fila = 0; fila < 1000; ++fila) {
            lote += (fila == 0 ? "INSERT INTO G VALUES (" : ",\r\n(") + QByteArray::number(fila) +
                    ", 'una fila de un guion grande')";
        }
        lote += "\r\nGO\r\n";
        while (archivo.size() < megas * 1024 * 1024) {
            archivo.write(lote);
            ++lotesGrandes;
        }
    }
    ui::ScriptedOperatorInterface operador;
    ui::ScopedOperatorInterface instalado(operador);
    data::DB_Dll& db = data::sharedDb();
    db.OpenServerADODB(false, db::adUseClient, Entorno::cadena(QStringLiteral("BANCO")), false,
                       false);
    rusage antes{};
    getrusage(RUSAGE_SELF, &antes);
    for (auto _ : state) {
        bool permiteDrop = true;
        const auto r = session::ejecutarScript(ruta, {}, permiteDrop, {});
        benchmark::DoNotOptimize(r.pasadas);
    }
    rusage despues{};
    getrusage(RUSAGE_SELF, &despues);
    data::releaseSharedDb();
    QFile::remove(ruta);
    state.counters["lotes"] = static_cast<double>(lotesGrandes + 2);
    state.counters["MiB_guion"] = static_cast<double>(megas);
    state.counters["MiB_max_antes"] = static_cast<double>(antes.ru_maxrss) / 1024.0;
    state.counters["MiB_max_despues"] = static_cast<double>(despues.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_VerVistas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VerVistasGuionGrande)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EstacionesSqlScript)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sqlite3Shell)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    entorno();
    estaciones::bench::TimesReporter tiempos;
    benchmark::RunSpecifiedBenchmarks(&tiempos);
    tiempos.printRatio("script runner / estaciones-sql -i (same script)",
                       "BM_VerVistas/iterations:3", "BM_EstacionesSqlScript/iterations:3");
    tiempos.printRatio("script runner / sqlite3 shell (same statements)",
                       "BM_VerVistas/iterations:3", "BM_Sqlite3Shell/iterations:3");
    benchmark::Shutdown();
    return 0;
}
