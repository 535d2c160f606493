#include "data/DB_Dll.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

class Esquema : public ::testing::Test {
protected:
    void SetUp() override {
        db.gServidor = QStringLiteral("(local)");
        db.gDBName = empresa.nombre();
        db.gUsuario = QStringLiteral("ADMIN");
        db.OpenServerADODB(false, db::adUseClient, QString(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        db.gCnn.execute("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion) VALUES ('   1', 'A')");
    }

    Variant leer(const QString& sql) {
        db::Recordset rs = db.gCnn.execute(sql);
        return rs.eof() ? Variant() : rs.fields(0).value();
    }

    test::EmpresaDb empresa;
    QTemporaryDir log; // the error treatment's log, not next to the test program
    DB_Dll db;
    test::ScriptedOperator operador;
};

TEST_F(Esquema, tablesAndColumnsAreFoundIgnoringCaseAndBlanks) {
    EXPECT_TRUE(db.ExisteTablaDB("TA_USUARIOS"));
    EXPECT_TRUE(db.ExisteTablaDB(" ta_usuarios "));
    EXPECT_FALSE(db.ExisteTablaDB("TA_USUARIOS_VIEJA"));
    EXPECT_TRUE(db.ExisteCampoDB("V_TA_DEPOSITO", " descripcion "));
    EXPECT_FALSE(db.ExisteCampoDB("V_TA_DEPOSITO", "Direccion"));
    EXPECT_FALSE(db.ExisteCampoDB("NO_EXISTE", "Descripcion"));
    // The column must belong to the table asked for.
    EXPECT_FALSE(db.ExisteCampoDB("V_TA_DEPOSITO", "NombreCompleto"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Esquema, anOracleConnectionTakesEveryColumnAsPresent) {
    DB_Dll oracle;
    oracle.gCnn.setConnectionString(QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=XE;"));
    EXPECT_TRUE(oracle.ExisteCampoDB("CUALQUIERA", "Columna"));
}

TEST_F(Esquema, aSchemaFailureGoesToTheErrorTreatment) {
    DB_Dll cerrada;
    cerrada.gLogErr = log.filePath(QStringLiteral("errores.log"));
    operador.answerMessage(ui::reply::Retry);
    operador.answerMessage(ui::reply::Abort);
    EXPECT_FALSE(cerrada.ExisteTablaDB("TA_USUARIOS"));
    ASSERT_EQ(operador.dialogs().size(), 2u);
    EXPECT_TRUE(operador.dialogs()[0].title.contains("VerificaCampos"));

    operador.answerMessage(ui::reply::Ignore);
    EXPECT_FALSE(cerrada.ExisteCampoDB("TA_USUARIOS", "Nombre"));
    EXPECT_EQ(operador.dialogs().size(), 3u);
}

TEST_F(Esquema, verCampoDBAddsAMissingColumnWithItsNamedDefault) {
    EXPECT_TRUE(db.VerCampoDB("V_TA_DEPOSITO", "Activo", false, "int", false, 1));
    EXPECT_FALSE(db.ExisteCampoDB("V_TA_DEPOSITO", "Activo")) << "Agregar off adds nothing";

    EXPECT_TRUE(db.VerCampoDB("V_TA_DEPOSITO", "Activo", true, "int", false, 1));
    EXPECT_TRUE(db.ExisteCampoDB("V_TA_DEPOSITO", "Activo"));
    EXPECT_EQ(leer("SELECT Activo FROM V_TA_DEPOSITO WHERE IdDeposito = '   1'").toInt32(), 1)
        << "a NOT NULL column with a default fills the existing rows";
    db.gCnn.execute("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion) VALUES ('   2', 'B')");
    EXPECT_EQ(leer("SELECT Activo FROM V_TA_DEPOSITO WHERE IdDeposito = '   2'").toInt32(), 1);

    // Present already, or no such table: nothing happens and nothing is shown.
    EXPECT_TRUE(db.VerCampoDB("V_TA_DEPOSITO", "Activo", true, "varchar(5)", true));
    EXPECT_TRUE(db.VerCampoDB("NO_EXISTE", "Activo", true, "int", true));
    EXPECT_FALSE(db.ExisteTablaDB("NO_EXISTE"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Esquema, addFieldWithoutDefaultAddsANullableColumn) {
    db.AddField("V_TA_DEPOSITO", "Nota", "varchar(20)", true);
    EXPECT_TRUE(db.ExisteCampoDB("V_TA_DEPOSITO", "Nota"));
    EXPECT_TRUE(leer("SELECT Nota FROM V_TA_DEPOSITO").isNull());

    // A failure is absorbed by the statement routine; the caller reads the
    // connection's errors.
    db.AddField("V_TA_DEPOSITO", "Nota", "varchar(20)", true);
    ASSERT_GE(db.gCnn.errors().count(), 1);
    EXPECT_TRUE(operador.dialogs().empty());
}

} // namespace
