// The list lookup window loading 10,000 and 1,000,000 article rows (columns,
// rows, sorting, widths, shown) against a raw recordset loop reading the same
// rows as texts on the same connection, in the same run. The closing lines
// give the window's time as a multiple of the raw loop's, and the memory the
// loaded window holds (and its peak while loading) against the rows' own
// size: the UTF-16 bytes of their trimmed texts.

#include "data/SharedDb.h"
#include "lookup/widgets/Lib_FrmCons3.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/TimesReporter.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace estaciones;

namespace {

constexpr int MaximoFilas = 1000000;

QString sentencia(std::int64_t filas) {
    return QStringLiteral("SELECT TOP %1 IdArticulo, Descripcion, CodigoBarra, PuntoPedido FROM "
                          "V_MA_ARTICULOS")
        .arg(filas);
}

void prepararBase() {
    static QTemporaryDir carpeta;
    static bool hecho = false;
    if (hecho) {
        return;
    }
    hecho = true;
    qputenv("ESTACIONES_DATOS", carpeta.path().toLocal8Bit());
    data::DB_Dll& db = data::sharedDb();
    db.gCnn.setCursorLocation(db::adUseClient);
    db.gCnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =master;UId=sa;Pwd=;"));
    db.gCnn.execute(QStringLiteral("CREATE DATABASE BENCH"));
    db.gCnn.execute(QStringLiteral("USE BENCH"));
    db.gCnn.execute(QStringLiteral(
        "CREATE TABLE V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL PRIMARY KEY, "
        "Descripcion varchar(100) NULL, CodigoBarra varchar(25) NULL, PuntoPedido decimal(18,4) "
        "NOT NULL DEFAULT (0))"));
    db.gCnn.beginTrans();
    for (int desde = 1; desde <= MaximoFilas; desde += 1000) {
        QStringList valores;
        for (int i = desde; i < desde + 1000; ++i) {
            valores << QStringLiteral("('%1', 'Articulo numero %2', '779%3', %4)")
                           .arg(QString::number(i).rightJustified(25, u' '))
                           .arg(i)
                           .arg(i, 10, 10, QLatin1Char('0'))
                           .arg(i % 7);
        }
        db.gCnn.execute(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ") + valores.join(u','));
    }
    db.gCnn.commitTrans();
    db.gOpenFlag = true;
}

// Resident and peak resident bytes of this process.
std::int64_t residentes(const char* campo) {
    QFile estado(QStringLiteral("/proc/self/status"));
    if (!estado.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& linea : estado.readAll().split('\n')) {
        if (linea.startsWith(campo)) {
            return linea.mid(static_cast<qsizetype>(std::strlen(campo))).trimmed().split(' ')[0].toLongLong() *
                   1024;
        }
    }
    return 0;
}

// Starts a new peak of resident memory from the current size.
void reiniciarPico() {
    QFile limpiar(QStringLiteral("/proc/self/clear_refs"));
    if (limpiar.open(QIODevice::WriteOnly)) {
        limpiar.write("5");
    }
}

struct Memoria {
    double propios = 0;  // the rows' own bytes
    double retenidos = 0; // resident growth while the loaded window lives
    double pico = 0;      // peak resident growth while it loads
};
std::map<std::int64_t, Memoria> memorias;

void BM_VentanaLista(benchmark::State& state) {
    prepararBase();
    const QString texto = sentencia(state.range(0));
    for (auto _ : state) {
        const std::int64_t antes = residentes("VmRSS:");
        reiniciarPico();
        auto ventana = std::make_unique<lookup::widgets::Lib_FrmCons3>();
        ventana->carpetaAnchos = QStringLiteral("/nonexistent");
        ventana->miembros().SQL = texto;
        ventana->miembros().OrdenarPorLwv = true;
        ventana->Form_Load();
        ventana->show();
        QApplication::processEvents(); // painted
        benchmark::DoNotOptimize(ventana->Busqueda(1, QStringLiteral("Articulo numero 9999")));
        state.PauseTiming();
        Memoria& memoria = memorias[state.range(0)];
        memoria.retenidos = static_cast<double>(residentes("VmRSS:") - antes);
        memoria.pico = static_cast<double>(residentes("VmHWM:") - antes);
        ventana.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_VentanaLista)->Arg(10000)->Arg(MaximoFilas)->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_RecordsetCrudo(benchmark::State& state) {
    prepararBase();
    const QString texto = sentencia(state.range(0));
    for (auto _ : state) {
        db::Recordset rs;
        rs.open(texto, data::sharedDb().gCnn);
        QStringList textos;
        double propios = 0;
        for (; !rs.eof(); rs.moveNext()) {
            for (int c = 0; c < 4; ++c) {
                textos << rs.fields(c).value().toString().trimmed();
                propios += static_cast<double>(textos.back().size()) * 2;
            }
        }
        memorias[state.range(0)].propios = propios;
        benchmark::DoNotOptimize(textos.size());
    }
}
BENCHMARK(BM_RecordsetCrudo)->Arg(10000)->Arg(MaximoFilas)->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const std::int64_t filas : {std::int64_t{10000}, std::int64_t{MaximoFilas}}) {
        const std::string sufijo = "/" + std::to_string(filas) + "/iterations:3";
        const std::string etiqueta = "Lookup list of " + std::to_string(filas) + " rows";
        reporter.printRow(etiqueta.c_str(), "BM_VentanaLista" + sufijo,
                          "BM_RecordsetCrudo" + sufijo);
        const Memoria& m = memorias[filas];
        // A small list may fit in memory the process already had: no growth to report.
        if (m.propios > 0 && m.retenidos > 0) {
            std::printf("FILA|Lookup list of %lld rows, memory held (MiB)|%.1f|%.1f|%.2f\n",
                        static_cast<long long>(filas), m.retenidos / 1048576, m.propios / 1048576,
                        m.retenidos / m.propios);
            std::printf("FILA|Lookup list of %lld rows, peak memory (MiB)|%.1f|%.1f|%.2f\n",
                        static_cast<long long>(filas), m.pico / 1048576, m.propios / 1048576,
                        m.pico / m.propios);
        }
    }
    data::releaseSharedDb();
    benchmark::Shutdown();
    return 0;
}
