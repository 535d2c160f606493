// A user called O'Brien through the session: start-up with the real steps,
// the configuration's user row and keys, the access log and the lookups. No
// statement may break on the apostrophe, and nothing of the name is lost
// where it is data.
#include "data/DB_Dll.h"
#include "data/SharedDb.h"
#include "lookup/BusquedaServidor.h"
#include "lookup/ConsultasCompartidas.h"
#include "platform/os/System.h"
#include "session/Configuracion.h"
#include "session/IniciarSesion.h"
#include "session/OpcionesSesion.h"
#include "session/SessionParameters.h"
#include "session/access/RegistrarAcceso.h"
#include "session/library/SharedObjects.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;

namespace {

class UsuarioConApostrofe : public ::testing::Test {
protected:
    void SetUp() override {
        db::Connection cnn;
        cnn.open(empresa.cadena());
        cnn.execute(QStringLiteral("INSERT INTO TA_USUARIOS (Nombre, Administrador, UNegocio) "
                                   "VALUES ('O''Brien', 1, '   7')"));
        cnn.execute(QStringLiteral("INSERT INTO TA_MENU (Clave, Proceso, Nombre) VALUES ('M1', '") +
                    os::executableName() + QStringLiteral("', 'Temporadas')"));
        cnn.execute(
            QStringLiteral("INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('O''Brien', 'M1')"));
        cnn.execute(QStringLiteral(
            "INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('NOTA''S', 'de O''Brien')"));
        cnn.close();
        ExtensionesInicio& pasos = extensionesInicio();
        pasos.cargarConfiguracion = CargarConfiguracion;
        pasos.registrarAcceso = RegistrarAcceso;
        // The mask file goes to a folder of this test, not next to the program.
        pasos.configurarConsultas = [this](const QString&) {
            lookup::configurarConsultas(carpeta.path() + QLatin1Char('/'));
        };
    }
    void TearDown() override {
        extensionesInicio() = {};
        lookup::liberarConsultas();
        data::releaseSharedDb();
        reiniciarParametrosSesion();
        gTablaConfiguracion().clear();
        opciones() = OpcionesSesion{};
        gIdControlAcceso = 0;
        library::releaseSharedObjects();
    }

    QString valor(const QString& consulta) {
        db::Recordset rs = data::sharedDb().gCnn.execute(consulta);
        return rs.eof() ? QStringLiteral("<sin fila>") : rs.fields(0).value().toString();
    }

    test::EmpresaDb empresa;
    QTemporaryDir carpeta;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador; // any dialog (a statement that broke) fails the test
};

TEST_F(UsuarioConApostrofe, shouldWalkThroughStartUpConfigurationAccessLogAndLookups) {
    QString cadena;
    ASSERT_EQ(IniciarSesion(false,
                            QStringLiteral("@server=(local); @dbname=EMPRESA; @usuario=O'Brien; "
                                           "@Password=; @Caja=1;kelp@"),
                            cadena, db::adUseClient),
              ResultadoInicio::Continuar);
    data::DB_Dll& db = data::sharedDb();
    ASSERT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gUsuario, QStringLiteral("O'Brien"));
    EXPECT_TRUE(db.gEsAdmin) << "the administrator check found the user's row";

    // Configuration: the user's row gave the business unit; keys with an
    // apostrophe are read and written as they are.
    EXPECT_EQ(opciones().gUNegocio, QStringLiteral("   7"));
    EXPECT_EQ(Cfg(QStringLiteral("NOTA'S")), QStringLiteral("de O'Brien"));
    GrabaCfg(QStringLiteral("Nota'Nueva"), QStringLiteral("x'y"), QString(), false,
             QStringLiteral("DATOS"), true);
    EXPECT_EQ(Cfg(QStringLiteral("Nota'Nueva")), QStringLiteral("x'y"));
    EXPECT_EQ(Cfg(QStringLiteral("O'Falta")), QStringLiteral(" "));

    // The access log: the task found for the user, the row's own Id kept.
    ASSERT_NE(gIdControlAcceso, 0);
    EXPECT_EQ(valor(QStringLiteral("SELECT Usuario + '|' + Tarea + '|' + NombreUsuario FROM "
                                   "Control_Acceso WHERE Id = ") +
                    QString::number(gIdControlAcceso)),
              QStringLiteral("OBRIEN|TEMPORADAS|OBrien"))
        << "the log's values lose their apostrophes, as the suite's builder does";

    // Lookups: the table lookups and a search typed in a lookup window.
    EXPECT_EQ(db.DatosTabla(QStringLiteral("TA_USUARIOS"), QStringLiteral("O'Brien"),
                            QStringLiteral("UNegocio"), QStringLiteral("Nombre"))
                  .toString(),
              QStringLiteral("   7"));
    EXPECT_TRUE(db.ExisteEnTabla(QStringLiteral("TA_USUARIOS"), QStringLiteral("O'Brien"),
                                 QStringLiteral("Nombre")));
    const QString busqueda = lookup::sentenciaBusquedaLista(
        QStringLiteral("SELECT Nombre FROM TA_USUARIOS ORDER BY Nombre"), QStringLiteral("Nombre"),
        QStringLiteral("O'Bri"), false);
    EXPECT_EQ(valor(busqueda), QStringLiteral("O'Brien"));
    EXPECT_TRUE(operador.dialogs().empty());
}

} // namespace
