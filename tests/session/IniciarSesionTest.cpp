// IniciarSesion in-process on the embedded engine, through the same start-up
// function main() uses.
#include "session/IniciarSesion.h"
#include "data/ScriptedAccesoDialogo.h"
#include "data/SharedDb.h"
#include "platform/core/Error.h"
#include "platform/db/EngineFactory.h"
#include "session/ArranquePrograma.h"
#include "session/ProcessCommandLine.h"
#include "session/SessionParameters.h"
#include "session/StationKey.h"
#include "session/library/ReversibleEncoding.h"
#include "session/library/SharedObjects.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

const QString lineaEmpresa = QStringLiteral("@server=(local); @dbname=EMPRESA; @usuario=ADMIN; "
                                            "@Password=; @ParametroAdicional=X1; @Caja=3;kelp@");

class Inicio : public ::testing::Test {
protected:
    void SetUp() override {
        if (!db::embeddedEngineAvailable()) {
            GTEST_SKIP() << "The embedded engine is not part of this build";
        }
        empresa.emplace();
        anteriorAcceso = data::setAccesoDialogo(&acceso);
        acceso.setFailureHandler([](const QString& what) { ADD_FAILURE() << what.toStdString(); });
        auto& extensiones = extensionesInicio();
        extensiones.prepararEstadisticas = [this] { llamadas << QStringLiteral("estadisticas"); };
        extensiones.configurarConsultas = [this](const QString& carpeta) {
            llamadas << QStringLiteral("consultas ") + carpeta;
        };
        extensiones.cargarConfiguracion = [this](const QString& carpeta) {
            llamadas << QStringLiteral("configuracion ") + carpeta;
        };
        extensiones.registrarAcceso = [this](const QString& formulario) {
            llamadas << QStringLiteral("acceso '") + formulario + u'\'';
        };
    }
    void TearDown() override {
        data::setAccesoDialogo(anteriorAcceso);
        EXPECT_TRUE(acceso.respuestasAgotadas());
        data::releaseSharedDb();
        extensionesInicio() = {};
        reiniciarParametrosSesion();
        olvidarLineaComandosProceso();
        library::releaseSharedObjects();
    }

    ResultadoInicio iniciar(const QString& linea, bool usarIni = false) {
        QString cadena;
        return IniciarSesion(usarIni, linea, cadena, db::adUseClient);
    }

    std::optional<test::EmpresaDb> empresa;
    test::ScriptedOperator operador;
    data::ScriptedAccesoDialogo acceso;
    data::AccesoDialogo* anteriorAcceso = nullptr;
    QStringList llamadas;
};

TEST_F(Inicio, shouldConnectAndSetUpTheSessionFromTheCommandLine) {
    EXPECT_EQ(iniciar(lineaEmpresa), ResultadoInicio::Continuar);
    const data::DB_Dll& db = data::sharedDb();
    ASSERT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gServidor, QStringLiteral("(local)"));
    EXPECT_EQ(db.gDBName, QStringLiteral("EMPRESA"));
    EXPECT_EQ(gParametroAdicional, QStringLiteral("X1"));
    EXPECT_EQ(gCaja, QStringLiteral("3"));
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("ADMIN"));
    EXPECT_EQ(db.gCnn.commandTimeout(), 360);
    EXPECT_EQ(db.gCnn.isolationLevel(), db::adXactReadUncommitted);
    EXPECT_EQ(db.gCnn.defaultDatabase().toUpper(), QStringLiteral("EMPRESA"));
    EXPECT_EQ(gDsnConexion, QStringLiteral("DSN=EMPRESA; UID=ADMIN; PWD="));
    EXPECT_EQ(gColorFondo, 0xFFFFFF);
    EXPECT_TRUE(gCarpetaPrograma.endsWith(u'/'));
    EXPECT_EQ(gArchivoAyuda, gCarpetaPrograma + QStringLiteral("ayuda/operador.html"));
    EXPECT_FALSE(gClaveEstacion.isEmpty());
    EXPECT_EQ(llamadas, (QStringList{QStringLiteral("estadisticas"),
                                     QStringLiteral("consultas ") + gCarpetaPrograma,
                                     QStringLiteral("configuracion ") + gCarpetaPrograma,
                                     QStringLiteral("acceso ''")}));
}

TEST_F(Inicio, shouldApplyTheTimeOutTheStatisticsStepLeaves) {
    extensionesInicio().prepararEstadisticas = [] { gTimeOut = 45; };
    iniciar(lineaEmpresa);
    EXPECT_EQ(data::sharedDb().gCnn.commandTimeout(), 45);
}

TEST_F(Inicio, shouldSkipParsingAndConnectingOnASecondCall) {
    ASSERT_EQ(iniciar(lineaEmpresa), ResultadoInicio::Continuar);
    llamadas.clear();
    EXPECT_EQ(iniciar(QStringLiteral("@server=OTRO; @dbname=OTRA; @Caja=9;")),
              ResultadoInicio::Continuar);
    EXPECT_EQ(data::sharedDb().gServidor, QStringLiteral("(local)"));
    EXPECT_EQ(gCaja, QStringLiteral("3"));
    EXPECT_EQ(llamadas, (QStringList{QStringLiteral("consultas ") + gCarpetaPrograma,
                                     QStringLiteral("configuracion ") + gCarpetaPrograma,
                                     QStringLiteral("acceso ''")}));
}

TEST_F(Inicio, shouldEndTheProgramWhenTheDatabaseDoesNotExistAndTheOperatorSaysNo) {
    operador.answerMessage(ui::reply::No);
    EXPECT_EQ(arrancarPrograma(
                  {QStringLiteral("estaciones"),
                   QStringLiteral(
                       "@server=(local); @dbname=NO_EXISTE; @usuario=ADMIN; @Password=;kelp@")}),
              ResultadoInicio::TerminarPrograma);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_TRUE(operador.dialogs()[0].text.contains(QStringLiteral("\rCodigo Nativo: 4060\r")));
    EXPECT_TRUE(llamadas.isEmpty());
}

TEST_F(Inicio, shouldAskForTheAccessDataWithAnEmptyCommandLine) {
    acceso.cancelar();
    EXPECT_EQ(arrancarPrograma({QStringLiteral("estaciones")}), ResultadoInicio::TerminarPrograma);
    ASSERT_EQ(acceso.mostrados().size(), 1u);
    EXPECT_EQ(acceso.mostrados()[0], data::DatosAcceso{});
}

TEST_F(Inicio, shouldAskForTheAccessDataWhenTheUserIsMissing) {
    acceso.aceptar(
        {QStringLiteral("(local)"), QStringLiteral("EMPRESA"), QStringLiteral("ANA"), {}, 0});
    EXPECT_EQ(iniciar(QStringLiteral("@server=(local); @dbname=EMPRESA;")),
              ResultadoInicio::Continuar);
    EXPECT_TRUE(data::sharedDb().gOpenFlag);
    EXPECT_EQ(gUsuarioLogeado, QStringLiteral("ANA"));
}

TEST_F(Inicio, shouldJoinArgumentsGivenAsSeveralWords) {
    EXPECT_EQ(
        arrancarPrograma({QStringLiteral("estaciones"), QStringLiteral("@server=(local);"),
                          QStringLiteral("@dbname=EMPRESA;"), QStringLiteral("@usuario=ADMIN;"),
                          QStringLiteral("@Password=;"), QStringLiteral("@Caja=1;kelp@")}),
        ResultadoInicio::Continuar);
    EXPECT_TRUE(data::sharedDb().gOpenFlag);
}

TEST_F(Inicio, shouldSkipAStepFailingWithError5AndStopSilentlyOnAnyOther) {
    extensionesInicio().prepararEstadisticas = [] {
        throw standardError(errnum::InvalidProcedureCall);
    };
    extensionesInicio().cargarConfiguracion = [](const QString&) {
        throw standardError(errnum::TypeMismatch);
    };
    EXPECT_EQ(iniciar(lineaEmpresa), ResultadoInicio::Continuar);
    // After the skipped step the time-out was still applied; after the other
    // error nothing else ran (no access log).
    EXPECT_EQ(data::sharedDb().gCnn.commandTimeout(), 360);
    EXPECT_EQ(llamadas, (QStringList{QStringLiteral("consultas ") + gCarpetaPrograma}));
}

TEST_F(Inicio, shouldBuildTheLineFromTheIniFileWhenAllowedAndNoneIsGiven) {
    test::ScopedEnvFolder configuracion("XDG_CONFIG_HOME");
    const auto& sistema = library::systemInfo();
    const QString clave =
        claveEstacionCompleta(sistema.machineName(), sistema.workstationIdentity());
    QFile ini(configuracion.filePath(QStringLiteral("CN000pr.INI")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(("[" + claveEstacion(sistema.machineName(), sistema.workstationIdentity()) +
               "]\r\nFlatToolbars=0\r\n[" + clave +
               "BaseDeDatos]\r\nServidor=(local)\r\nDbName=EMPRESA\r\n")
                  .toUtf8());
    ini.close();
    establecerLineaComandosProceso(QString());
    EXPECT_EQ(iniciar(QString(), true), ResultadoInicio::Continuar);
    const data::DB_Dll& db = data::sharedDb();
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gUsuario, QStringLiteral("Tessera"));
    EXPECT_EQ(db.gUserPassWord, QStringLiteral("quendar"));
    EXPECT_EQ(gFlatToolbars, 0.0);
}

} // namespace
