// How DB_Dll reports and recovers from connection failures: the "try again"
// question of OpenServerADODB and the silent reconnect ReintentaConectar.
#include "DataTestSupport.h"
#include "data/DB_Dll.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using estaciones::data::DB_Dll;
using estaciones::test::AccesoGuionado;
using estaciones::test::ScriptedOperator;
using estaciones::test::ServidorEmbebido;
namespace db = estaciones::db;
namespace errnum = estaciones::errnum;
namespace ui = estaciones::ui;

namespace {

class ConnectionError : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIERE_MOTOR_EMBEBIDO();
        servidor.emplace();
        servidor->crear(QStringLiteral("EMPRESA"));
        // TratamientoErrores writes here instead of next to the test program.
        base.gLogErr = log.filePath(QStringLiteral("errores.log"));
    }

    DB_Dll& conDatos(const QString& baseDeDatos) {
        base.gServidor = QStringLiteral("(local)");
        base.gDBName = baseDeDatos;
        base.gUsuario = QStringLiteral("sa");
        return base;
    }

    std::optional<ServidorEmbebido> servidor;
    QTemporaryDir log;
    ScriptedOperator operador;
    AccesoGuionado acceso;
    DB_Dll base;
};

TEST_F(ConnectionError, shouldAskToTryAgainWithTheProvidersErrorLines) {
    DB_Dll& db = conDatos(QStringLiteral("NO_EXISTE"));
    operador.answerMessage(ui::reply::No);
    db.OpenServerADODB(false, db::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    const auto& dialogo = operador.dialogs()[0];
    EXPECT_EQ(dialogo.title, QStringLiteral(" Error de Conexion a Base de Datos"));
    EXPECT_EQ(dialogo.flags, ui::style::YesNo | ui::style::Critical);
    const QStringList lineas = dialogo.text.split(u'\r');
    ASSERT_EQ(lineas.size(), 5) << dialogo.text.toStdString();
    EXPECT_TRUE(lineas[0].startsWith(QStringLiteral(" Estado de Sql: ")));
    EXPECT_EQ(lineas[1],
              QStringLiteral("Numero de Error: %1").arg(db.gCnn.errors().item(0).number));
    EXPECT_TRUE(lineas[2].startsWith(QStringLiteral("Descripcion: ")));
    EXPECT_TRUE(lineas[2].contains(QStringLiteral("NO_EXISTE")));
    // SQL Server's "Cannot open database requested by the login".
    EXPECT_EQ(lineas[3], QStringLiteral("Codigo Nativo: 4060"));
    EXPECT_EQ(lineas[4], QStringLiteral(" - Desea Intentarlo Nuevamente??? "));
}

TEST_F(ConnectionError, shouldRetryWithTheDataTypedAfterAnsweringYes) {
    DB_Dll& db = conDatos(QStringLiteral("NO_EXISTE"));
    operador.answerMessage(ui::reply::Yes);
    acceso.aceptar(
        {QStringLiteral("(local)"), QStringLiteral("EMPRESA"), QStringLiteral("sa"), {}, 0});
    db.OpenServerADODB(false, db::adUseClient, QString(), true, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.state(), db::adStateOpen);
    EXPECT_EQ(db.gDBName, QStringLiteral("EMPRESA"));
    // The Errors collection was cleared before trying again.
    EXPECT_EQ(db.gCnn.errors().count(), 0);
    ASSERT_EQ(acceso.mostrados().size(), 1u);
    EXPECT_EQ(acceso.mostrados()[0].baseDeDatos, QStringLiteral("NO_EXISTE"));
}

TEST_F(ConnectionError, shouldGiveUpWhenTheAccessDialogIsCancelledAfterYes) {
    DB_Dll& db = conDatos(QStringLiteral("NO_EXISTE"));
    operador.answerMessage(ui::reply::Yes);
    acceso.cancelar();
    db.OpenServerADODB(false, db::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.state(), db::adStateClosed);
}

TEST_F(ConnectionError, shouldFailSilentlyWhenErrorsAreNotShown) {
    DB_Dll& db = conDatos(QStringLiteral("NO_EXISTE"));
    db.OpenServerADODB(false, db::adUseClient, QString(), true, false);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(ConnectionError, shouldCloseAnOpenConnectionOnceAndOpenAgain) {
    // Opening twice hits "already open" (3705): closed once, then re-opened,
    // whether errors are shown or not.
    for (const bool muestraError : {false, true}) {
        DB_Dll& db = conDatos(QStringLiteral("EMPRESA"));
        db.OpenServerADODB(false, db::adUseClient, QString(), false, muestraError);
        ASSERT_TRUE(db.gOpenFlag);
        db.OpenServerADODB(false, db::adUseClient, QString(), false, muestraError);
        EXPECT_TRUE(db.gOpenFlag);
        EXPECT_EQ(db.gCnn.state(), db::adStateOpen);
        db.gCnn.close();
    }
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(ConnectionError, shouldShowTheDescriptionAloneForAnErrorWithoutProviderRecords) {
    // An impossible cursor location fails in ADO itself, not in the provider.
    DB_Dll& db = conDatos(QStringLiteral("EMPRESA"));
    operador.answerMessage(ui::reply::OK);
    db.OpenServerADODB(false, 7, QString(), false, true);
    EXPECT_FALSE(db.gOpenFlag);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::OKOnly);
    EXPECT_TRUE(operador.dialogs()[0].title.isEmpty());
    EXPECT_TRUE(operador.dialogs()[0].text.contains(QStringLiteral("wrong type")));
}

class Reconnect : public ConnectionError {
protected:
    void SetUp() override {
        ConnectionError::SetUp();
        if (IsSkipped()) {
            return;
        }
        DB_Dll& db = conDatos(QStringLiteral("EMPRESA"));
        db.OpenServerADODB(false, db::adUseClient, QString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
    }
};

TEST_F(Reconnect, shouldReopenAnAlreadyClosedConnectionWithoutReportingTheClose) {
    base.gCnn.close();
    base.ReintentaConectar();
    EXPECT_TRUE(base.gOpenFlag);
    EXPECT_EQ(base.gCnn.state(), db::adStateOpen);
    EXPECT_EQ(base.gCnn.commandTimeout(), 5);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Reconnect, shouldReopenAfterTheLinkWasDropped) {
    base.gCnn.faults().dropConnection();
    base.ReintentaConectar();
    EXPECT_TRUE(base.gOpenFlag);
    EXPECT_NO_THROW(base.gCnn.execute(QStringLiteral("SELECT 1")));
}

TEST_F(Reconnect, shouldEndSilentlyOnAnUnspecifiedProviderError) {
    base.gCnn.faults().failNext(errnum::E_FAIL, QStringLiteral("Communication link failure"),
                                QStringLiteral("08S01"), 10054, db::FaultOperation::Open);
    base.ReintentaConectar();
    EXPECT_FALSE(base.gOpenFlag);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Reconnect, shouldAskTheErrorTreatmentAndRetryTheOpen) {
    base.gCnn.faults().failNext(errnum::CommandError, QStringLiteral("Login failed"),
                                QStringLiteral("28000"), 18456, db::FaultOperation::Open);
    operador.answerMessage(ui::reply::Retry);
    base.ReintentaConectar();
    EXPECT_TRUE(base.gOpenFlag);
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_TRUE(operador.dialogs()[0].title.contains(
        QStringLiteral(" - AbrirRecordset Aviso al operador!!! - 5 ")));
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::AbortRetryIgnore | ui::style::Critical);
}

TEST_F(Reconnect, shouldNotReportSuccessWhenTheFailedOpenIsIgnoredOrAborted) {
    for (const int respuesta : {ui::reply::Ignore, ui::reply::Abort}) {
        base.gCnn.faults().failNext(errnum::CommandError, QStringLiteral("Login failed"),
                                    QStringLiteral("28000"), 18456, db::FaultOperation::Open);
        operador.answerMessage(respuesta);
        base.ReintentaConectar();
        EXPECT_FALSE(base.gOpenFlag) << respuesta;
        EXPECT_EQ(base.gCnn.state(), db::adStateClosed);
    }
}

} // namespace
