#include "data/SinonimosSeguridad.h"
#include "data/DB_Dll.h"
#include "support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

EntornoSinonimos usuarioComun(bool confidencial = true) {
    EntornoSinonimos entorno;
    entorno.confidencialidad = [confidencial] { return confidencial; };
    return entorno;
}

TEST(Sinonimos, aNameIsRedirectedOnlyWhereItStandsAsATableName) {
    const EntornoSinonimos entorno = usuarioComun();
    const struct {
        const char* entrada;
        const char* salida;
    } casos[] = {
        {"SELECT * FROM MA_CUENTAS WHERE X = 1", "SELECT * FROM SS_MA_CUENTAS WHERE X = 1"},
        {"SELECT * FROM (MA_CUENTAS )", "SELECT * FROM (SS_MA_CUENTAS )"},
        {"SELECT MA_CUENTAS.Codigo FROM dbo.MA_CUENTAS c",
         "SELECT SS_MA_CUENTAS.Codigo FROM dbo.MA_CUENTAS c"},
        {"SELECT * FROM (MA_CUENTAS.Codigo)", "SELECT * FROM (SS_MA_CUENTAS.Codigo)"},
        {"SELECT a,MA_CUENTAS.Codigo", "SELECT a,SS_MA_CUENTAS.Codigo"},
        {"{MA_CUENTAS.Codigo} {MV_ASIENTOS.Id}", "{SS_MA_CUENTAS.Codigo} {MV_ASIENTOS.Id}"},
        // Part of a longer name, or after a comma without a dot: untouched.
        {"SELECT * FROM MA_CUENTAS_USUARIOS ,MA_CUENTAS ",
         "SELECT * FROM MA_CUENTAS_USUARIOS ,MA_CUENTAS "},
        // Letter case ignored.
        {"select * from ma_cuentas v_ta_cajas x", "select * from SS_MA_CUENTAS SS_V_TA_CAJAS x"},
        // At the end of the text or before a line break it is a table name too.
        {"SELECT COUNT(*) FROM V_TA_DEPOSITO", "SELECT COUNT(*) FROM SS_V_TA_DEPOSITO"},
        {"SELECT * FROM V_TA_FAMILIAS\r\nORDER BY 1",
         "SELECT * FROM SS_V_TA_FAMILIAS\r\nORDER BY 1"},
        {"FROM AC_CUENTASDIARIO a JOIN AC_CUENTASDIARIO_CCOSTO b",
         "FROM SS_AC_CUENTASDIARIO a JOIN SS_AC_CUENTAS_DIARIO_CCOSTO b"},
        {"FROM MV_ASIENTOS m", "FROM SS_MV_ASIENTOS m"},
        // The prefix names the real table on purpose.
        {"SELECT * FROM @Admin_MA_CUENTAS , @ADMIN_V_TA_CAJAS ",
         "SELECT * FROM MA_CUENTAS , V_TA_CAJAS "},
    };
    for (const auto& caso : casos) {
        EXPECT_EQ(reescribirSinonimos(QString::fromUtf8(caso.entrada), entorno),
                  QString::fromUtf8(caso.salida))
            << caso.entrada;
    }
}

TEST(Sinonimos, administratorsKeepTheRealTablesAndLoseOnlyThePrefix) {
    EntornoSinonimos administrador;
    administrador.esAdministrador = true;
    bool preguntado = false;
    administrador.confidencialidad = [&] { return preguntado = true; };
    EXPECT_EQ(reescribirSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS , @admin_MV_ASIENTOS "),
                                  administrador),
              "SELECT * FROM MA_CUENTAS , MV_ASIENTOS ");
    EXPECT_FALSE(preguntado);
}

TEST(Sinonimos, entriesAreRedirectedOnlyWithConfidentialityOn) {
    const QString consulta =
        QStringLiteral("SELECT * FROM MV_ASIENTOS a, MA_CUENTAS c WHERE @Admin_X = 1");
    EXPECT_EQ(reescribirSinonimos(consulta, usuarioComun(false)),
              "SELECT * FROM MV_ASIENTOS a, MA_CUENTAS c WHERE X = 1")
        << "without confidentiality nothing of a statement on entries is redirected";
    EXPECT_EQ(reescribirSinonimos(consulta, usuarioComun(true)),
              "SELECT * FROM SS_MV_ASIENTOS a, SS_MA_CUENTAS c WHERE X = 1");

    int preguntas = 0;
    EntornoSinonimos contado;
    contado.confidencialidad = [&] { return ++preguntas > 0; };
    reescribirSinonimos(QStringLiteral("SELECT * FROM MA_CUENTAS "), contado);
    EXPECT_EQ(preguntas, 0) << "the configuration is read only for statements on entries";

    EntornoSinonimos sinLector;
    EXPECT_EQ(reescribirSinonimos(consulta, sinLector),
              "SELECT * FROM MV_ASIENTOS a, MA_CUENTAS c WHERE X = 1");
}

TEST(Sinonimos, exemptProgramsReadTheirOwnTables) {
    EntornoSinonimos entorno = usuarioComun();
    entorno.exentoDeposito = true;
    EXPECT_EQ(reescribirSinonimos(QStringLiteral("FROM V_TA_DEPOSITO d, V_TA_FAMILIAS f"), entorno),
              "FROM V_TA_DEPOSITO d, SS_V_TA_FAMILIAS f");
    entorno.exentoDeposito = false;
    entorno.exentoFamilias = true;
    EXPECT_EQ(reescribirSinonimos(QStringLiteral("FROM V_TA_DEPOSITO d, V_TA_FAMILIAS f"), entorno),
              "FROM SS_V_TA_DEPOSITO d, V_TA_FAMILIAS f");

    const QStringList lista = {QStringLiteral("InformesStock"), QStringLiteral("LISTADO.EXE")};
    EXPECT_TRUE(ProgramasExentos::incluye(lista, QStringLiteral("informesstock.exe")));
    EXPECT_TRUE(ProgramasExentos::incluye(lista, QStringLiteral("Listado")));
    EXPECT_FALSE(ProgramasExentos::incluye(lista, QStringLiteral("Informes")));
    EXPECT_FALSE(ProgramasExentos::incluye(lista, QString()));
}

TEST(Sinonimos, theDataClassTakesTheRunningProgramAndTheConfigurationFromItsSettings) {
    DB_Dll db;
    db.gEsAdmin = false;
    db.setProgramasExentos({{QStringLiteral("InformesStock")}, {QStringLiteral("ListaPrecios")}});
    db.setProgramaEnCurso(QStringLiteral("ListaPrecios.exe"));
    QStringList claves;
    QString confidencialidad = QStringLiteral(" ");
    db.setLectorConfiguracion([&](const QString& clave) {
        claves << clave;
        return confidencialidad;
    });

    const QString consulta = QStringLiteral("SELECT * FROM V_TA_FAMILIAS , MV_ASIENTOS ");
    EXPECT_EQ(db.SS_TSinonimos(consulta), consulta) << "a key without a row reads as a blank";
    confidencialidad = QStringLiteral("si");
    EXPECT_EQ(db.SS_TSinonimos(consulta), "SELECT * FROM V_TA_FAMILIAS , SS_MV_ASIENTOS ");
    EXPECT_EQ(claves, QStringList({"SS_CONFIDENCIALIDAD", "SS_CONFIDENCIALIDAD"}));

    db.gEsAdmin = true;
    EXPECT_EQ(db.SS_TSinonimos(QStringLiteral("SELECT * FROM @Admin_MV_ASIENTOS ")),
              "SELECT * FROM MV_ASIENTOS ");
    EXPECT_EQ(claves.size(), 2);
}

TEST(Sinonimos, theExemptProgramsComeFromTheIniFile) {
    test::ScopedEnvFolder configuracion("XDG_CONFIG_HOME");
    // Only meaningful when the program folder has no INI of its own.
    if (QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/CN000pr.INI"))) {
        GTEST_SKIP() << "the program folder has its own CN000pr.INI";
    }
    const ProgramasExentos porDefecto = ProgramasExentos::configurados();
    EXPECT_FALSE(porDefecto.deposito.isEmpty());
    EXPECT_FALSE(porDefecto.familias.isEmpty());

    QFile ini(QDir(configuracion.path()).filePath(QStringLiteral("CN000pr.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Sinonimos]\r\nExentosDeposito = StockA.exe; StockB\r\nExentosFamilias=\r\n");
    ini.close();
    const ProgramasExentos leidos = ProgramasExentos::configurados();
    EXPECT_EQ(leidos.deposito, QStringList({"StockA.exe", "StockB"}));
    EXPECT_TRUE(leidos.familias.isEmpty()) << "an empty key exempts no program";
}

} // namespace
