#include "data/SharedDb.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/EngineFactory.h"
#include "platform/db/ForwardingEngine.h"
#include "platform/db/embedded/EmbeddedEngine.h"
#include "platform/os/Desktop.h"
#include "session/ConexionEstadisticas.h"
#include "session/Configuracion.h"
#include "session/SessionParameters.h"
#include "session/statistics/CrearBaseDeDatos.h"
#include "session/statistics/CrearLoginsYRoles.h"
#include "session/statistics/EjecutarScriptCreacion.h"
#include "session/statistics/PrepararEstadisticas.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::session;
using namespace estaciones::session::estadisticas;

namespace {

// One statement text as an engine received it, with the database its
// connection string named.
struct Envio {
    QString base;
    QString texto;
};

// The embedded engine with every statement recorded; a planned native error
// answers the next statement that contains a given text instead of the engine
// (the password-policy refusal, which the embedded engine never gives).
class EngineGrabador : public db::ForwardingEngine {
public:
    EngineGrabador(std::vector<Envio>& envios, std::optional<std::pair<QString, int>>& rechazo)
        : ForwardingEngine(db::sqlite::createEmbeddedEngine()), m_envios(envios),
          m_rechazo(rechazo) {}

    void open(const QString& cadena, const QString& usuario, const QString& clave) override {
        m_base =
            db::ConnectionString(cadena).value(QStringLiteral("Database"), QString()).trimmed();
        ForwardingEngine::open(cadena, usuario, clave);
    }
    db::ExecutionResult execute(const QString& texto, const std::vector<Variant>& parametros,
                                int espera) override {
        m_envios.push_back({m_base, texto});
        if (m_rechazo && texto.contains(m_rechazo->first)) {
            const int nativo = m_rechazo->second;
            m_rechazo.reset();
            db::ProviderError error;
            error.number = errnum::CommandError;
            error.nativeError = nativo;
            error.sqlState = QStringLiteral("42000");
            error.description = QStringLiteral("Password validation failed.");
            throw db::ProviderFailure({error});
        }
        return ForwardingEngine::execute(texto, parametros, espera);
    }

private:
    std::vector<Envio>& m_envios;
    std::optional<std::pair<QString, int>>& m_rechazo;
    QString m_base;
};

const QString altaLogin = QStringLiteral(
    "EXEC  sp_addlogin N'TS_ESTADISTICAS', 'TS_ESTADISTICAS', 'TS_ESTADISTICAS','Spanish'");

class Provision : public ::testing::Test {
protected:
    void SetUp() override {
        db::setEngineFactoryForTesting(
            [this](const QString&) { return std::make_unique<EngineGrabador>(envios, rechazo); });
        previo = os::setDesktop(&escritorio);
        reiniciarParametrosSesion();
        gCarpetaPrograma = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        data::DB_Dll& db = data::sharedDb();
        db.gServidor = QStringLiteral("(local)");
        db.gDBName = empresa.nombre();
        db.gUsuario = QStringLiteral("ADMIN");
        db.OpenServerADODB(false, db::adUseClient, QString(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        envios.clear();
    }
    void TearDown() override {
        liberarConexionEstadisticas();
        data::releaseSharedDb();
        reiniciarParametrosSesion();
        gTablaConfiguracion().clear();
        os::setDesktop(previo);
        db::setEngineFactoryForTesting({});
    }

    // What the main connection (on the company database) was sent.
    QStringList enviadoPorLaPrincipal() const {
        QStringList textos;
        for (const Envio& envio : envios) {
            if (envio.base == empresa.nombre()) {
                textos << envio.texto;
            }
        }
        return textos;
    }

    // A start of the program as far as the statistics step goes: a fresh
    // statistics object, as a new process would have.
    void arrancar() {
        liberarConexionEstadisticas();
        envios.clear();
        PrepararEstadisticas();
    }

    static bool existeBase(const QString& nombre) {
        db::Connection cnn;
        try {
            cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =%1;UId=sa;Pwd=;")
                         .arg(nombre));
        } catch (const Error&) {
            return false;
        }
        cnn.close();
        return true;
    }

    QString configuracionEstadisticas(const QString& clave) {
        db::Connection cnn;
        cnn.open(QStringLiteral(
            "PROVIDER=SQLOLEDB;Server=(local);Database =TS_ESTADISTICAS;UId=sa;Pwd=;"));
        db::Recordset rs =
            cnn.execute("SELECT Valor, Grupo FROM TA_CONFIGURACION WHERE Clave = '" + clave + "'");
        const QString valor = rs.eof() ? QStringLiteral("<sin fila>")
                                       : rs.fields(0).value().toString() + QLatin1Char('|') +
                                             rs.fields(1).value().toString();
        cnn.close();
        return valor;
    }

    void grabarTimeOut(const QString& valor) {
        db::Connection cnn;
        cnn.open(QStringLiteral(
            "PROVIDER=SQLOLEDB;Server=(local);Database =TS_ESTADISTICAS;UId=sa;Pwd=;"));
        cnn.execute("UPDATE TA_CONFIGURACION SET Valor = '" + valor + "' WHERE Clave = 'TIMEOUT'");
        cnn.close();
    }

    // Nothing of a normal start may reach an error log.
    void sinErroresRegistrados() {
        const QDir carpeta(temporal.path());
        for (const QString& nombre : carpeta.entryList(QDir::Files)) {
            if (nombre.startsWith(QLatin1String("Script"))) {
                EXPECT_EQ(QFile(carpeta.filePath(nombre)).size(), 0) << nombre.toStdString();
            }
        }
        EXPECT_FALSE(carpeta.exists(QStringLiteral("TSERR.LOG")));
        EXPECT_TRUE(escritorio.calls().empty());
    }

    std::vector<Envio> envios;
    std::optional<std::pair<QString, int>> rechazo;
    test::EmpresaDb empresa;
    test::ScopedEnvFolder temporal{"TEMP"};
    test::ScriptedOperator operador;
    os::RecordingDesktop escritorio;
    os::Desktop* previo = nullptr;
};

TEST_F(Provision, firstStartCreatesTheDatabaseAndItsObjectsAndOpensIt) {
    ASSERT_FALSE(existeBase(QStringLiteral("TS_ESTADISTICAS")));
    arrancar();

    data::DB_Dll& estadisticas = gDBEstadisticas();
    EXPECT_TRUE(estadisticas.gOpenFlag);
    EXPECT_EQ(estadisticas.gCnn.defaultDatabase().toUpper(), "TS_ESTADISTICAS");
    EXPECT_EQ(estadisticas.gUsuario, "TS_ESTADISTICAS");
    EXPECT_TRUE(existeBase(QStringLiteral("TS_ESTADISTICAS")));
    // The creation script's table holds the time-out key, stored as 0.
    EXPECT_EQ(configuracionEstadisticas(QStringLiteral("TIMEOUT")), "0|BaseDeDatos");
    EXPECT_EQ(gTimeOut, 360);
    EXPECT_TRUE(QFile::exists(temporal.filePath(QStringLiteral("CDB7.SQL"))));

    const QStringList principal = enviadoPorLaPrincipal();
    ASSERT_FALSE(principal.isEmpty());
    EXPECT_EQ(principal.first(), altaLogin);
    EXPECT_TRUE(principal.contains(
        QStringLiteral("Create Database TS_ESTADISTICAS COLLATE Latin1_General_CI_AI \r\r\n")));
    // The roles follow the database's creation.
    EXPECT_TRUE(principal.last().startsWith(QStringLiteral(" EXEC sp_addrolemember")));
    EXPECT_TRUE(operador.dialogs().empty());
    sinErroresRegistrados();
}

TEST_F(Provision, laterStartsOnlyFindTheLoginAndOpenTheDatabase) {
    arrancar();
    ASSERT_TRUE(gDBEstadisticas().gOpenFlag);

    arrancar();
    EXPECT_EQ(enviadoPorLaPrincipal(), QStringList{altaLogin})
        << "15025: nothing else runs on the main connection";
    EXPECT_TRUE(gDBEstadisticas().gOpenFlag);
    EXPECT_EQ(gTimeOut, 360);
    EXPECT_EQ(data::sharedDb().gCnn.errors().count(), 0) << "the login's answer is not left behind";

    // A time-out stored by the suite is taken as it is.
    grabarTimeOut(QStringLiteral("45"));
    arrancar();
    EXPECT_EQ(gTimeOut, 45);
    EXPECT_EQ(configuracionEstadisticas(QStringLiteral("TIMEOUT")), "45|BaseDeDatos");
    EXPECT_TRUE(operador.dialogs().empty());
    sinErroresRegistrados();
}

TEST_F(Provision, anUnreadableTimeOutLeavesTheDefault) {
    arrancar();
    // Out of the 16-bit range: the assignment fails and is ignored.
    grabarTimeOut(QStringLiteral("70000"));
    arrancar();
    EXPECT_EQ(gTimeOut, 360);
    grabarTimeOut(QStringLiteral("abc"));
    arrancar();
    EXPECT_EQ(gTimeOut, 360);
    EXPECT_EQ(configuracionEstadisticas(QStringLiteral("TIMEOUT")), "0|BaseDeDatos");
}

TEST_F(Provision, aMissingCreationScriptIsNamedOnceAndNoDatabaseIsMade) {
    QTemporaryDir vacia;
    gCarpetaPrograma = vacia.path() + QLatin1Char('/');
    operador.answerMessage(ui::reply::OK);

    arrancar();

    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text, "No se encuentra el archivo " + vacia.path() +
                                              "/completotse.sql, Por favor, ingrese la ruta "
                                              "donde se encuentra! ");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::OKOnly);
    EXPECT_FALSE(existeBase(QStringLiteral("TS_ESTADISTICAS")));
    EXPECT_FALSE(QFile::exists(temporal.filePath(QStringLiteral("CDB7.SQL"))));
    EXPECT_FALSE(gDBEstadisticas().gOpenFlag);
    EXPECT_EQ(gTimeOut, 360);
}

TEST_F(Provision, aPasswordRefusedByPolicyIsReportedAndTheRolesAreStillGranted) {
    rechazo = std::pair{QStringLiteral("sp_addlogin"), 15116};
    operador.answerMessage(ui::reply::OK);

    CrearLoginsYRoles(QStringLiteral("EMPRESA"), QStringLiteral("OPERADOR"),
                      QStringLiteral("corta"));

    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].text,
              "Password validation failed.\r\nDebe cambiar la contraseña del Usuario OPERADOR "
              "para que cumpla con las directivas de Windows.");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::OKOnly);
    const QStringList principal = enviadoPorLaPrincipal();
    ASSERT_EQ(principal.size(), 4);
    EXPECT_TRUE(principal[1].startsWith(" EXEC sp_addsrvrolemember N'OPERADOR', sysadmin"));
    EXPECT_TRUE(principal[2].startsWith(" EXEC sp_grantdbaccess @loginame = 'OPERADOR'"));
    EXPECT_TRUE(principal[3].startsWith(" EXEC sp_addrolemember N'db_accessadmin'"));
}

TEST_F(Provision, anOracleProviderGetsTheOracleScriptAndNoLoginProcedures) {
    data::sharedDb().gProveedor = QStringLiteral("OraOLEDB.Oracle.1");
    // The embedded engine cannot run it: refused here as a server would.
    rechazo = std::pair{QStringLiteral("CREATE USER"), 1031};

    CrearLoginsYRoles(QStringLiteral("EMPRESA"), QStringLiteral("OPERADOR"),
                      QStringLiteral("clave"));

    ASSERT_EQ(enviadoPorLaPrincipal().size(), 1);
    EXPECT_TRUE(enviadoPorLaPrincipal()[0].startsWith(
        "CREATE USER OPERADOR IDENTIFIED BY \"clave\"\r\n DEFAULT TABLESPACE USERS"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Provision, theCreationRunnerComparesLetterCaseAndSparesTheSuitesOwnStatements) {
    const QString ruta = temporal.filePath(QStringLiteral("crea.sql"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    // "go" is not a separator here (the last batch reads "SELECT 1 go"); a
    // lower-case truncate naming one of the suite's own statements asks for
    // no key, and an upper-case DROP is not taken for a destructive line.
    archivo.write("CREATE TABLE ZZ (x int)\r\nGO\r\n"
                  "truncate table ZZ -- TRUNCATE TABLE MA_CUENTAS_SALDOS\r\nGO\r\n"
                  "CREATE TABLE YY (x int)\r\nGO\r\nDROP TABLE YY\r\nGO\r\n"
                  "SELECT 1\r\ngo\r\n");
    archivo.close();

    bool autorizado = false;
    const ResultadoScript r = EjecutarScriptCreacion(ruta, QString(), autorizado);
    EXPECT_EQ(r.lotes, 5); // the last one "SELECT 1 go": no separator in this case
    EXPECT_FALSE(r.huboErrores);
    EXPECT_FALSE(autorizado);
    EXPECT_TRUE(operador.dialogs().empty());

    // The key must be typed letter for letter: "kelp@" is refused.
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
    archivo.write("drop table ZZ\r\n");
    archivo.close();
    operador.answerInput(QStringLiteral("kelp@")).answerMessage(ui::reply::OK);
    EXPECT_TRUE(EjecutarScriptCreacion(ruta, QString(), autorizado).abortado);
    EXPECT_FALSE(autorizado);
    operador.answerInput(QStringLiteral("KELP@"));
    EXPECT_FALSE(EjecutarScriptCreacion(ruta, QString(), autorizado).abortado);
    EXPECT_TRUE(autorizado);
}

TEST_F(Provision, creationRunnerErrorsGoToTheGeneralDialogAndAutomaticRunsStayQuiet) {
    // A script that cannot be read: MostrarError with the routine "Ejecutar".
    operador.answerMessage(ui::reply::Abort);
    bool autorizado = false;
    const ResultadoScript r =
        EjecutarScriptCreacion(temporal.filePath(QStringLiteral("no-existe.sql")), {}, autorizado);
    EXPECT_EQ(r.lotes, 0);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(operador.dialogs()[0].title.contains(QStringLiteral(" - Ejecutar")))
        << operador.dialogs()[0].title.toStdString();

    // A failing statement is logged; "Automatica" skips the notice and the log.
    const QString ruta = temporal.filePath(QStringLiteral("falla.sql"));
    QFile archivo(ruta);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("INSERT INTO TA_CONFIGURACION (Clave) VALUES (NULL)\r\n");
    archivo.close();
    gParametroAdicional = QStringLiteral("Automatica");
    operador.clear();
    EXPECT_TRUE(EjecutarScriptCreacion(ruta, {}, autorizado).huboErrores);
    EXPECT_TRUE(operador.dialogs().empty());
    EXPECT_TRUE(escritorio.calls().empty());

    gParametroAdicional = QStringLiteral("automatica");
    operador.answerMessage(ui::reply::OK);
    EXPECT_TRUE(EjecutarScriptCreacion(ruta, {}, autorizado).huboErrores);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(
        operador.dialogs()[0].text.startsWith("Se detectaron errores, consulte el archivo "));
    EXPECT_EQ(escritorio.calls().size(), 1u);
}

} // namespace
