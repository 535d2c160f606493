// OpenServerADODB on the embedded engine: the string it opens with, the access
// dialog step and the administrator check.
#include "DataTestSupport.h"
#include "data/DB_Dll.h"
#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

using estaciones::data::DatosAcceso;
using estaciones::data::DB_Dll;
using estaciones::test::AccesoGuionado;
using estaciones::test::ScriptedOperator;
using estaciones::test::ServidorEmbebido;
namespace db = estaciones::db;

namespace {

const QString usuarios = QStringLiteral(
    "CREATE TABLE TA_USUARIOS (Nombre varchar(20) NOT NULL, Administrador int NOT NULL)\n"
    "INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1)\n"
    "INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ANA', 0)\n"
    "INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('O''BRIEN', 1)");

class OpenServer : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIERE_MOTOR_EMBEBIDO();
        servidor.emplace();
        servidor->crear(QStringLiteral("EMPRESA"), usuarios);
        servidor->crear(QStringLiteral("VACIA"));
    }

    DB_Dll local(const QString& baseDeDatos, const QString& usuario = QStringLiteral("ADMIN")) {
        DB_Dll db;
        db.gServidor = QStringLiteral("(local)");
        db.gDBName = baseDeDatos;
        db.gUsuario = usuario;
        return db;
    }

    std::optional<ServidorEmbebido> servidor;
    ScriptedOperator operador;
    AccesoGuionado acceso;
};

TEST_F(OpenServer, shouldOpenWithTheBuiltStringAndFillTheProviderName) {
    DB_Dll db = local(QStringLiteral("EMPRESA"));
    db.OpenServerADODB(false, db::adUseClient, QString(), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.state(), db::adStateOpen);
    EXPECT_EQ(db.gProveedor, QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(db.gConnString, db.cadenaConexionServidor());
    EXPECT_EQ(db.gCnn.cursorLocation(), db::adUseClient);
}

TEST_F(OpenServer, shouldUseAGivenConnectionStringUntrimmedAndIgnoreTheMembers) {
    DB_Dll db = local(QStringLiteral("NO_EXISTE"));
    const QString dada = ServidorEmbebido::cadena(QStringLiteral("VACIA")) + QStringLiteral("  ");
    db.OpenServerADODB(false, db::adUseClient, dada, false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gConnString, dada);
    EXPECT_EQ(db.gCnn.defaultDatabase().toUpper(), QStringLiteral("VACIA"));
}

TEST_F(OpenServer, shouldStopWithoutOpeningWhenTheAccessDialogIsCancelled) {
    DB_Dll db = local(QStringLiteral("EMPRESA"));
    acceso.cancelar();
    db.OpenServerADODB(true, db::adUseClient, QString(), true, true);
    EXPECT_FALSE(db.gOpenFlag);
    EXPECT_EQ(db.gCnn.state(), db::adStateClosed);
    ASSERT_EQ(acceso.mostrados().size(), 1u);
    // The dialog shows the members and always starts on "SQL Server".
    EXPECT_EQ(
        acceso.mostrados()[0],
        (DatosAcceso{
            QStringLiteral("(local)"), QStringLiteral("EMPRESA"), QStringLiteral("ADMIN"), {}, 0}));
}

TEST_F(OpenServer, shouldOpenWithTheTypedDataDiscardingAGivenString) {
    DB_Dll db = local(QString(), QString());
    acceso.aceptar({QStringLiteral("(local)"), QStringLiteral("VACIA"), QStringLiteral("ana"),
                    QStringLiteral("x"), 0});
    db.OpenServerADODB(true, db::adUseClient, QStringLiteral("DSN=otra;"), false, true);
    EXPECT_TRUE(db.gOpenFlag);
    EXPECT_EQ(db.gDBName, QStringLiteral("VACIA"));
    EXPECT_EQ(db.gUsuario, QStringLiteral("ana"));
    EXPECT_EQ(db.gUserPassWord, QStringLiteral("x"));
    EXPECT_EQ(db.gConnString,
              QStringLiteral("PROVIDER=SQLOLEDB;Server=(local);Database =VACIA;UId=ana;Pwd=x;"));
}

TEST_F(OpenServer, shouldMarkTheServerOnceWhenOracleIsChosen) {
    // No Oracle driver here: the open fails silently (MuestraError false),
    // after the string and the members have been set.
    for (const QString& tecleado : {QStringLiteral("ORA1"), QStringLiteral("ORA1#")}) {
        DB_Dll db = local(QStringLiteral("EMPRESA"));
        acceso.aceptar(
            {tecleado, QStringLiteral("TNS1"), QStringLiteral("u"), QStringLiteral("p"), 1});
        db.OpenServerADODB(true, db::adUseClient, QString(), false, false);
        EXPECT_EQ(db.gServidor, QStringLiteral("ORA1#"));
        EXPECT_EQ(db.gProveedor, QStringLiteral("OraOLEDB.Oracle.1"));
        EXPECT_EQ(
            db.gConnString,
            QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=TNS1;User Id=u;Password=p;"));
        EXPECT_FALSE(db.gOpenFlag);
    }
}

TEST_F(OpenServer, shouldMakeEveryoneAdministratorWithoutTheCheck) {
    DB_Dll db = local(QStringLiteral("EMPRESA"), QStringLiteral("ANA"));
    db.OpenServerADODB(false, db::adUseClient, QString(), false, true);
    EXPECT_TRUE(db.gEsAdmin);
}

TEST_F(OpenServer, shouldReadTheAdministratorFlagOfTheUsersRow) {
    struct Caso {
        QString usuario;
        bool esAdmin;
    };
    // The key is trimmed; an apostrophe in the name does not break the query.
    for (const Caso& caso :
         {Caso{QStringLiteral("ADMIN"), true}, Caso{QStringLiteral(" admin "), true},
          Caso{QStringLiteral("ANA"), false}, Caso{QStringLiteral("NADIE"), false},
          Caso{QStringLiteral("O'BRIEN"), true}}) {
        DB_Dll db = local(QStringLiteral("EMPRESA"), caso.usuario);
        db.gEsAdmin = !caso.esAdmin;
        db.OpenServerADODB(false, db::adUseClient, QString(), true, true);
        EXPECT_TRUE(db.gOpenFlag);
        EXPECT_EQ(db.gEsAdmin, caso.esAdmin) << caso.usuario.toStdString();
    }
}

TEST_F(OpenServer, shouldTakeTheUsersTableAloneAsAdministratorWhenErrorsAreNotShown) {
    DB_Dll db = local(QStringLiteral("EMPRESA"), QStringLiteral("ANA"));
    db.OpenServerADODB(false, db::adUseClient, QString(), true, false);
    EXPECT_TRUE(db.gEsAdmin);
}

TEST_F(OpenServer, shouldKeepThePreviousAdministratorFlagWithoutUsersTable) {
    for (const bool previo : {true, false}) {
        DB_Dll db = local(QStringLiteral("VACIA"));
        db.gEsAdmin = previo;
        db.OpenServerADODB(false, db::adUseClient, QString(), true, true);
        EXPECT_TRUE(db.gOpenFlag);
        EXPECT_EQ(db.gEsAdmin, previo);
    }
}

} // namespace
