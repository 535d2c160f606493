#include "data/DB_Dll.h"
#include "support/EmpresaDb.h"
#include "support/ScriptedOperator.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

// Article codes are stored right-aligned in 25 characters.
QString codigoArticulo(int numero) {
    return QStringLiteral("%1").arg(numero, 25);
}

class Busquedas : public ::testing::Test {
protected:
    void SetUp() override {
        db.OpenServerADODB(false, db::adUseClient, empresa.cadena(), false, true);
        ASSERT_TRUE(db.gOpenFlag);
        for (int numero : {1, 2, 6}) {
            ejecutar(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES "
                                    "('%1', 'Articulo %2')")
                         .arg(codigoArticulo(numero))
                         .arg(numero));
        }
        ejecutar("INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1)");
        ejecutar("INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('O''Brien', 0)");
        ejecutar("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UnidadNegocio) VALUES "
                 "('   1', 'Central', '   1')");
        ejecutar("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion, UnidadNegocio) VALUES "
                 "('   2', 'Sucursal', '   2')");
        ejecutar("INSERT INTO MV_ASIENTOS (NroAsiento, Fecha, Cuenta) VALUES (7, '2/1/2026', "
                 "'1.1.01')");
        ASSERT_EQ(db.gCnn.errors().count(), 0);
    }

    void ejecutar(const QString& texto) { db.gCnn.execute(texto); }

    test::EmpresaDb empresa;
    DB_Dll db;
    test::ScriptedOperator operador;
};

TEST_F(Busquedas, existeEnTablaTrimsBothSidesAndExisteEnTablaSTDoesNot) {
    EXPECT_TRUE(db.ExisteEnTabla("V_MA_ARTICULOS", "  1 ", "IdArticulo"));
    EXPECT_FALSE(db.ExisteEnTabla("V_MA_ARTICULOS", "3", "IdArticulo"));
    EXPECT_FALSE(db.ExisteEnTablaST("V_MA_ARTICULOS", "1", "IdArticulo"));
    EXPECT_TRUE(db.ExisteEnTablaST("V_MA_ARTICULOS", codigoArticulo(1), "IdArticulo"));
    // An apostrophe in the key finds its row instead of breaking the text.
    EXPECT_TRUE(db.ExisteEnTabla("TA_USUARIOS", "O'Brien", "Nombre"));
    EXPECT_TRUE(db.ExisteEnTablaST("TA_USUARIOS", "O'Brien", "Nombre"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Busquedas, existenceByNumberDateAndCondition) {
    EXPECT_TRUE(db.ExisteEnTabla("MV_ASIENTOS", " 7.0", "NroAsiento", nullptr, 3));
    EXPECT_TRUE(db.ExisteEnTabla("MV_ASIENTOS", "7", "NroAsiento", nullptr, QStringLiteral("5")));
    EXPECT_FALSE(db.ExisteEnTabla("MV_ASIENTOS", "8", "NroAsiento", nullptr, 4));
    EXPECT_TRUE(db.ExisteEnTabla("MV_ASIENTOS", " '2/1/2026' ", "Fecha", nullptr, 7));
    EXPECT_TRUE(db.ExisteEnTablaST("MV_ASIENTOS", "7", "NroAsiento", nullptr, 3));
    // Any other code: the key goes in as it is.
    EXPECT_TRUE(db.ExisteEnTabla("V_TA_DEPOSITO", "'   2'", "IdDeposito", nullptr, 200));

    // The condition replaces the key; one that already has its WHERE is
    // appended after a single blank.
    EXPECT_FALSE(db.ExisteEnTabla("V_MA_ARTICULOS", "", "", nullptr, 8, " WHERE Suspendido = 1"));
    EXPECT_TRUE(db.ExisteEnTabla("V_MA_ARTICULOS", "", "", nullptr, 8, "Suspendido = 0"));
    EXPECT_TRUE(
        db.ExisteEnTablaST("V_MA_ARTICULOS", "x", "x", nullptr, 8, " where Suspendido = 0"));
    ejecutar(QStringLiteral("UPDATE V_MA_ARTICULOS SET Suspendido = 1 WHERE IdArticulo = '%1'")
                 .arg(codigoArticulo(2)));
    EXPECT_TRUE(db.ExisteEnTabla("V_MA_ARTICULOS", "", "", nullptr, 8, " WHERE Suspendido = 1"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Busquedas, theCallersRecordsetIsLeftOpenOnTheRow) {
    db::Recordset rs;
    rs.setCursorType(db::adOpenStatic);
    rs.setLockType(db::adLockOptimistic);
    ASSERT_TRUE(db.ExisteEnTabla("V_TA_DEPOSITO", "2", "IdDeposito", &rs));
    ASSERT_EQ(rs.state(), db::adStateOpen);
    EXPECT_EQ(rs["Descripcion"].value().toString(), "Sucursal");
    // Opened with its own lock type it can be edited.
    rs["Descripcion"].setValue(QStringLiteral("Sucursal Norte"));
    rs.update();

    // Reused: closed first, then opened read-only.
    EXPECT_FALSE(db.ExisteEnTabla("V_TA_DEPOSITO", "9", "IdDeposito", &rs, 8, {}, true));
    EXPECT_EQ(rs.state(), db::adStateOpen);
    EXPECT_EQ(rs.lockType(), db::adLockReadOnly);
    EXPECT_EQ(db.DatosTabla("V_TA_DEPOSITO", "2", "Descripcion", "IdDeposito"),
              Variant("Sucursal Norte"));
}

TEST_F(Busquedas, aFailingLookupAsksAbortRetryIgnore) {
    operador.answerMessage(ui::reply::Retry);
    operador.answerMessage(ui::reply::Abort);
    EXPECT_FALSE(db.ExisteEnTabla("NO_EXISTE", "1", "Id"));
    ASSERT_EQ(operador.dialogs().size(), 2u) << "Retry ran the query again";
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador");
    EXPECT_EQ(operador.dialogs()[0].flags, ui::style::AbortRetryIgnore | ui::style::Critical);

    operador.answerMessage(ui::reply::Ignore);
    EXPECT_FALSE(db.ExisteEnTablaST("NO_EXISTE", "1", "Id"));
    EXPECT_EQ(operador.dialogs().size(), 3u) << "Ignore goes on without asking again";
}

TEST_F(Busquedas, datosTablaTellsNoRowFromNoConnection) {
    EXPECT_EQ(db.DatosTabla("ta_usuarios", " ADMIN ", "Administrador", "nombre"), Variant("1"));
    EXPECT_EQ(db.DatosTabla("TA_USUARIOS", "O'Brien", "Administrador", "Nombre"), Variant("0"));

    const Variant ninguna = db.DatosTabla("TA_USUARIOS", "nadie", "Administrador", "Nombre");
    EXPECT_TRUE(ninguna.isText()) << "no row is an empty text, not Empty";
    EXPECT_EQ(ninguna.toString(), "");

    DB_Dll cerrada;
    EXPECT_TRUE(cerrada.DatosTabla("TA_USUARIOS", "ADMIN", "Administrador", "Nombre").isEmpty());
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Busquedas, datosTablaKeyFormsAndCondition) {
    // Without trimming the stored blanks are part of the key.
    EXPECT_EQ(db.DatosTabla("V_TA_DEPOSITO", "   2", "Descripcion", "IdDeposito", 8,
                            "UnidadNegocio = '   2'", false),
              Variant("Sucursal"));
    EXPECT_EQ(db.DatosTabla("V_TA_DEPOSITO", "2", "Descripcion", "IdDeposito", 8, {}, false),
              Variant(""));
    EXPECT_EQ(db.DatosTabla("V_TA_DEPOSITO", "2", "Descripcion", "IdDeposito", 8,
                            "UnidadNegocio = '   1'"),
              Variant(""))
        << "the condition is joined with AND";
    EXPECT_EQ(db.DatosTabla("MV_ASIENTOS", "7", "Cuenta", "NroAsiento", 3), Variant("1.1.01"));
    EXPECT_EQ(db.DatosTabla("MV_ASIENTOS", "7", "Detalle", "NroAsiento", 3), Variant(""))
        << "a Null column reads as an empty text";
}

TEST_F(Busquedas, datosTablaErrorsAskUnlessIgnored) {
    EXPECT_EQ(db.DatosTabla("TA_USUARIOS", "ADMIN", "NoEsColumna", "Nombre", 8, {}, true, true),
              Variant(""));
    EXPECT_TRUE(operador.dialogs().empty());

    operador.answerMessage(ui::reply::Abort);
    EXPECT_EQ(db.DatosTabla("TA_USUARIOS", "ADMIN", "NoEsColumna", "Nombre"), Variant(""));
    ASSERT_EQ(operador.dialogs().size(), 1u);
    EXPECT_EQ(operador.dialogs()[0].title, "Aviso al Operador");
}

TEST_F(Busquedas, maximumSkipsLeftAlignedCodesStartingWithZero) {
    EXPECT_EQ(db.BuscaMaximo("V_MA_ARTICULOS", "IdArticulo"), Variant(6.0));
    ejecutar("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('07790001234560', "
             "'Importado')");
    EXPECT_EQ(db.BuscaMaximo("v_ma_articulos", "IdArticulo"), Variant(6.0));
    EXPECT_EQ(db.BuscaMaximo("V_MA_ARTICULOS", "IdArticulo", {}, "Suspendido = 0"), Variant(6.0));
    // Other tables keep their maximum as it is.
    ejecutar("INSERT INTO V_TA_DEPOSITO (IdDeposito, Descripcion) VALUES ('0009', 'Cero')");
    EXPECT_EQ(db.BuscaMaximo("V_TA_DEPOSITO", "IdDeposito"), Variant(9.0));

    // A condition whose OR lets the code back in asks once more and stops.
    const Variant conO = db.BuscaMaximo("V_MA_ARTICULOS", "IdArticulo", {},
                                        "IdArticulo = '07790001234560' OR Suspendido = 1");
    EXPECT_EQ(conO, Variant(7790001234560.0));
}

TEST_F(Busquedas, maximumAsDateMinimumAndLastCode) {
    const Variant fecha = db.BuscaMaximo("MV_ASIENTOS", "Fecha", 7);
    ASSERT_TRUE(fecha.isDate()) << fecha.debugString().toStdString();
    EXPECT_EQ(fecha.toDate().date, QDate(2026, 1, 2));

    EXPECT_EQ(db.BuscaMinimo("AUX_ERR", "Id"), Variant(0.0)) << "MIN of no rows is Null: 0";
    EXPECT_EQ(db.BuscaMaximo("AUX_ERR", "Id"), Variant(0.0));
    EXPECT_EQ(db.BuscaMinimo("V_MA_ARTICULOS", "IdArticulo", {}, " IdArticulo > '   ' "),
              Variant(1.0));
    EXPECT_EQ(db.BuscaUltimoCodigo("V_TA_DEPOSITO", "IdDeposito"), Variant(2.0));
    EXPECT_EQ(db.BuscaUltimoCodigo("V_TA_DEPOSITO", "IdDeposito", {}, "UnidadNegocio = '   1'"),
              Variant(1.0));

    // These three leave their errors to the caller.
    EXPECT_THROW(db.BuscaMinimo("NO_EXISTE", "Id"), Error);
    EXPECT_THROW(db.BuscaUltimoCodigo("NO_EXISTE", "Id"), Error);
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Busquedas, aNonAdministratorLooksUpInTheRestrictedViews) {
    // The restricted view hides the confidential account.
    ejecutar("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('1.1.01', 'Caja')");
    ejecutar("INSERT INTO MA_CUENTAS (Codigo, Descripcion) VALUES ('9.9.99', 'Reservada')");
    ejecutar("DROP VIEW SS_MA_CUENTAS");
    ejecutar("CREATE VIEW SS_MA_CUENTAS AS SELECT * FROM MA_CUENTAS WHERE Codigo <> '9.9.99'");

    db.gEsAdmin = true;
    EXPECT_TRUE(db.ExisteEnTabla("MA_CUENTAS", "9.9.99", "Codigo"));
    EXPECT_EQ(db.DatosTabla("MA_CUENTAS", "9.9.99", "Descripcion", "Codigo"), Variant("Reservada"));

    db.gEsAdmin = false;
    EXPECT_FALSE(db.ExisteEnTabla("MA_CUENTAS", "9.9.99", "Codigo"));
    EXPECT_TRUE(db.ExisteEnTabla("MA_CUENTAS", "1.1.01", "Codigo"));
    EXPECT_EQ(db.DatosTabla("MA_CUENTAS", "9.9.99", "Descripcion", "Codigo"), Variant(""));
    // ExisteEnTablaST never rewrites its text.
    EXPECT_TRUE(db.ExisteEnTablaST("MA_CUENTAS", "9.9.99", "Codigo"));
    EXPECT_TRUE(operador.dialogs().empty());
}

TEST_F(Busquedas, entriesAreRestrictedOnlyWhenTheConfigurationSaysSo) {
    ejecutar("DROP VIEW SS_MV_ASIENTOS");
    ejecutar("CREATE VIEW SS_MV_ASIENTOS AS SELECT * FROM MV_ASIENTOS WHERE NroAsiento <> 7");
    // The configuration is read through the same connection, as Cfg does.
    db.setLectorConfiguracion([this](const QString& clave) {
        return db.DatosTabla("TA_CONFIGURACION", clave, "Valor", "Clave").toString();
    });
    db.gEsAdmin = false;
    EXPECT_TRUE(db.ExisteEnTabla("MV_ASIENTOS", "7", "NroAsiento", nullptr, 3));
    ejecutar("INSERT INTO TA_CONFIGURACION (Clave, Valor) VALUES ('SS_CONFIDENCIALIDAD', 'SI')");
    EXPECT_FALSE(db.ExisteEnTabla("MV_ASIENTOS", "7", "NroAsiento", nullptr, 3));

    QString consulta = QStringLiteral("SELECT * FROM MV_ASIENTOS ");
    db::Recordset rs;
    db.AbrirRecordset(consulta, rs);
    EXPECT_EQ(consulta, "SELECT * FROM SS_MV_ASIENTOS ") << "the rewrite is written back";
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(operador.dialogs().empty());
}

} // namespace
