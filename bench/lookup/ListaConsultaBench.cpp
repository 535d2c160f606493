// The list lookup window loading 10,000 article rows (columns, rows, sorting,
// widths) against a raw recordset loop reading the same rows as texts on the
// same connection, in the same run. The closing line gives the window's time
// as a multiple of the raw loop's.

#include "data/SharedDb.h"
#include "lookup/widgets/Lib_FrmCons3.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "support/TimesReporter.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace estaciones;

namespace {

const QString kSentencia = QStringLiteral(
    "SELECT TOP 10000 IdArticulo, Descripcion, CodigoBarra, PuntoPedido FROM V_MA_ARTICULOS");

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
    for (int i = 1; i <= 10000; ++i) {
        db.gCnn.execute(QStringLiteral("INSERT INTO V_MA_ARTICULOS VALUES ('%1', 'Articulo "
                                       "numero %2', '779%3', %4)")
                            .arg(QString::number(i).rightJustified(25, u' '))
                            .arg(i)
                            .arg(i, 10, 10, QLatin1Char('0'))
                            .arg(i % 7));
    }
    db.gCnn.commitTrans();
    db.gOpenFlag = true;
}

void BM_VentanaLista(benchmark::State& state) {
    prepararBase();
    for (auto _ : state) {
        lookup::widgets::Lib_FrmCons3 ventana;
        ventana.carpetaAnchos = QStringLiteral("/nonexistent");
        ventana.miembros().SQL = kSentencia;
        ventana.miembros().OrdenarPorLwv = true;
        ventana.Form_Load();
        benchmark::DoNotOptimize(ventana.Busqueda(1, QStringLiteral("Articulo numero 9999")));
    }
}
BENCHMARK(BM_VentanaLista)->Unit(benchmark::kMillisecond);

void BM_RecordsetCrudo(benchmark::State& state) {
    prepararBase();
    for (auto _ : state) {
        db::Recordset rs;
        rs.open(kSentencia, data::sharedDb().gCnn);
        QStringList textos;
        for (; !rs.eof(); rs.moveNext()) {
            for (int c = 0; c < 4; ++c) {
                textos << rs.fields(c).value().toString().trimmed();
            }
        }
        benchmark::DoNotOptimize(textos.size());
    }
}
BENCHMARK(BM_RecordsetCrudo)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("List lookup window / raw recordset loop (10,000 rows)", "BM_VentanaLista",
                        "BM_RecordsetCrudo");
    data::releaseSharedDb();
    benchmark::Shutdown();
    return 0;
}
