// The files the lookups share with the suite's Windows programs (the mask
// file, the saved widths) and the statement texts of the server searches.
#include "lookup/AnchosColumnas.h"
#include "lookup/BusquedaServidor.h"
#include "lookup/MascaraConsultas.h"
#include "lookup/NuevoRegistro.h"
#include "platform/core/Error.h"
#include "session/library/IniFile.h"
#include "session/routines/CrearMascaraConsultas.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace estaciones::lookup {
namespace {

TEST(MascaraConsultas, shouldFindTheFirstRecordOfATableDespitePaddingAndCase) {
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("consultas.tsf"));
    QByteArray otro = session::registroMascara(QStringLiteral("X"), QStringLiteral("T_OTRA"),
                                               QStringLiteral("|A|B|"), QString());
    // Another program padded the table with NULs and 0xFF filler.
    QByteArray relleno = session::registroMascara(QStringLiteral("Y"), QString(),
                                                  QStringLiteral("|C|D|"), QString());
    relleno.replace(100, 9, QByteArray("T_BUSCADA"));
    relleno[109] = '\0';
    relleno[110] = '\xff';
    const QByteArray segundo = session::registroMascara(
        QStringLiteral("Z"), QStringLiteral("t_buscada"), QStringLiteral("|E|F|"), QString());
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write(otro + relleno + segundo);
    archivo.close();

    const std::optional<RegistroMascara> encontrado =
        buscarRegistroMascara(ruta, QStringLiteral(" T_BUSCADA "));
    ASSERT_TRUE(encontrado.has_value());
    EXPECT_EQ(encontrado->columnas.trimmed(), QStringLiteral("|C|D|"));
    EXPECT_FALSE(buscarRegistroMascara(ruta, QStringLiteral("T_NINGUNA")).has_value());
    EXPECT_THROW(
        buscarRegistroMascara(carpeta.filePath(QStringLiteral("falta.tsf")), QStringLiteral("T")),
        Error);
}

TEST(AnchosColumnas, shouldRewriteOnlyTheLineOfItsTable) {
    QTemporaryDir carpeta;
    guardarAnchosColumnas(carpeta.path(), QStringLiteral("V_TA_DEPOSITO"), {1200, 800});
    guardarAnchosColumnas(carpeta.path(), QStringLiteral("VT_MA_ARTICULOS"), {3000, 450, 15});
    guardarAnchosColumnas(carpeta.path(), QStringLiteral("v_ta_deposito"), {900});

    QFile archivo(QDir(carpeta.path()).filePath(QStringLiteral("CONSULTASLEN.TSF")));
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    // The sequential "write" format, CR LF ended, one line per table.
    EXPECT_EQ(archivo.readAll(), QByteArray("\"VT_MA_ARTICULOS\",\"3000|450|15|\"\r\n"
                                            "\"v_ta_deposito\",\"900|\"\r\n"));
    EXPECT_FALSE(QFile::exists(QDir(carpeta.path()).filePath(QStringLiteral("CONSULTASLEN.AUX"))));

    EXPECT_EQ(leerAnchosColumnas(carpeta.path(), QStringLiteral("V_TA_DEPOSITO")), QList<int>{900});
    // Stk_ma_articulos lookups take the widths of VT_MA_ARTICULOS.
    EXPECT_EQ(leerAnchosColumnas(carpeta.path(), QStringLiteral("Stk_ma_articulos")),
              (QList<int>{3000, 450, 15}));
    EXPECT_FALSE(leerAnchosColumnas(carpeta.path(), QStringLiteral("MA_CUENTAS")).has_value());
    EXPECT_FALSE(
        leerAnchosColumnas(carpeta.filePath(QStringLiteral("nada")), QStringLiteral("MA_CUENTAS"))
            .has_value());
}

// A damaged file: widths no int can hold read as 0, like any unreadable text,
// instead of an undefined conversion.
TEST(AnchosColumnas, shouldReadWidthsOutOfRangeAsZero) {
    QTemporaryDir carpeta;
    QFile archivo(QDir(carpeta.path()).filePath(QStringLiteral("CONSULTASLEN.TSF")));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("\"MA_ARTICULOS\",\"1e20|-1e20|nan|inf|abc|1200|\"\r\n");
    archivo.close();
    EXPECT_EQ(leerAnchosColumnas(carpeta.path(), QStringLiteral("MA_ARTICULOS")),
              (QList<int>{0, 0, 0, 0, 0, 1200}));
}

// A file written by the suite's Windows programs (Windows-1252) and larger
// than a reading chunk: every other table's line comes through a rewrite
// unchanged, and the table's own is found past the first chunk.
TEST(AnchosColumnas, shouldKeepEveryOtherLineOfALargeWindows1252File) {
    QTemporaryDir carpeta;
    QFile archivo(QDir(carpeta.path()).filePath(QStringLiteral("CONSULTASLEN.TSF")));
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    QByteArray otras;
    for (int i = 0; archivo.size() + otras.size() < 2 * 1024 * 1024; ++i) {
        otras += "\"V_A\xD1O_" + QByteArray::number(i) + "\",\"100|\"\"200|\"\r\n";
    }
    archivo.write(otras);
    archivo.write("\"MA_ARTICULOS\",\"1200|800|\"\r\n");
    archivo.close();
    EXPECT_EQ(leerAnchosColumnas(carpeta.path(), QStringLiteral("ma_articulos")),
              (QList<int>{1200, 800}));
    EXPECT_EQ(leerAnchosColumnas(carpeta.path(), QString::fromUtf8("V_AÑO_7")),
              (QList<int>{100, 0}));

    guardarAnchosColumnas(carpeta.path(), QStringLiteral("MA_ARTICULOS"), {50});
    ASSERT_TRUE(archivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(archivo.readAll(), otras + "\"MA_ARTICULOS\",\"50|\"\r\n");
}

TEST(BusquedaServidor, shouldAddEachConditionBeforeTheOrderingTail) {
    const QString base =
        QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T  ORDER BY CODIGO ");
    const QString primera =
        sentenciaBusquedaLista(base, QStringLiteral("DESCRIPCION"), QStringLiteral("to"), false);
    EXPECT_EQ(primera, QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T   where "
                                      "DESCRIPCION like 'to%' ORDER BY CODIGO "));
    EXPECT_EQ(
        sentenciaBusquedaLista(primera, QStringLiteral("CODIGO"), QStringLiteral("1 2"), true),
        QStringLiteral("SELECT TOP 1000 CODIGO,DESCRIPCION FROM T   where DESCRIPCION like "
                       "'to%'  and CODIGO like '%1%2%' ORDER BY CODIGO "));
    // A grouping keeps its place with the ordering after it.
    EXPECT_EQ(sentenciaBusquedaLista(QStringLiteral("SELECT A FROM T GROUP BY A ORDER BY A"),
                                     QStringLiteral("A"), QStringLiteral("x*y"), false),
              QStringLiteral("SELECT A FROM T  where A like 'x%y%' GROUP BY A ORDER BY A"));
    EXPECT_EQ(textoComodines(QStringLiteral("12*A")), QStringLiteral("12%A"));
}

TEST(BusquedaServidor, shouldQualifyArticleColumnsAndDoubleApostrophes) {
    EXPECT_EQ(sentenciaBusquedaLista(QStringLiteral("SELECT * FROM stk_ma_articulos "),
                                     QStringLiteral("Descripcion"), QStringLiteral("O'Higgins"),
                                     false),
              QStringLiteral("SELECT * FROM stk_ma_articulos  where "
                             "stk_ma_articulos.Descripcion like 'O''Higgins%' "));
    EXPECT_EQ(sentenciaBusquedaArbol(QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS"),
                                     QStringLiteral("caja d'a")),
              QStringLiteral("SELECT Codigo, Descripcion FROM MA_CUENTAS where Descripcion like "
                             "'%caja d''a%' "));
    EXPECT_EQ(sentenciaBusquedaArbol(QStringLiteral("SELECT C, Descripcion FROM T WHERE C>'1' "
                                                    "order by C"),
                                     QStringLiteral("x")),
              QStringLiteral("SELECT C, Descripcion FROM T WHERE C>'1'  and Descripcion like "
                             "'%x%' order by C"));
}

TEST(NuevoRegistro, shouldChooseTheMaintenanceProgramByTable) {
    const ProgramasMantenimiento& p = programasMantenimiento();
    const auto accion = [](const char* tabla, bool alta = false) {
        return accionNuevo(QLatin1String(tabla), alta);
    };
    EXPECT_EQ(accion("vt_clientes").programa, QStringLiteral("SHELL:") + p.clientesProveedores);
    EXPECT_EQ(accion("vt_clientes").parametro, QStringLiteral("1"));
    EXPECT_EQ(accion("VT_PROVEEDORES").parametro, QStringLiteral("0"));
    EXPECT_EQ(accion("V_TA_TECNICOS").programa, QStringLiteral("SHELL:") + p.tecnicos);
    EXPECT_EQ(accion("V_TA_VENDEDORES").programa, QStringLiteral("SHELL:") + p.vendedores);
    EXPECT_EQ(accion("V_TA_RUBROS").parametro, QStringLiteral("V_TA_RUBROS"));
    EXPECT_EQ(accion("MA_CUENTAS").programa, QStringLiteral("SHELL:") + p.tablasGenerales);
    EXPECT_TRUE(accion("VT_MA_ARTICULOS", true).altaRapida);
    EXPECT_EQ(accion("V_MA_ARTICULOS", false).programa, QStringLiteral("SHELL:") + p.articulos);
}

TEST(NuevoRegistro, shouldTakeTheMaintenanceProgramsNamedInTheIniFile) {
    QTemporaryDir carpeta;
    QFile ini(QDir(carpeta.path()).filePath(QStringLiteral("CN000pr.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[programas]\r\nMantenimientoClientes = ABMCLI\r\nMantenimientoArticulos=\r\n");
    ini.close();
    const ProgramasMantenimiento p =
        programasMantenimientoDesdeIni(library::IniFile(carpeta.path()));
    EXPECT_EQ(p.clientesProveedores, QStringLiteral("ABMCLI"));
    EXPECT_EQ(p.articulos, ProgramasMantenimiento().articulos); // empty key: the default
    EXPECT_EQ(p.tablasGenerales, ProgramasMantenimiento().tablasGenerales);
}

} // namespace
} // namespace estaciones::lookup
