// The connection strings DB_Dll builds, its properties and the numeric value
// reader the administrator check relies on.
#include "data/DB_Dll.h"
#include "data/ValorNumerico.h"
#include "platform/db/ConnectionString.h"

#include <gtest/gtest.h>

using estaciones::Variant;
using estaciones::data::DB_Dll;
using estaciones::data::valorNumerico;

namespace {

DB_Dll conAcceso(const QString& servidor) {
    DB_Dll db;
    db.gServidor = servidor;
    db.gDBName = QStringLiteral("EMPRESA");
    db.gUsuario = QStringLiteral("ventas");
    db.gUserPassWord = QStringLiteral("clave");
    return db;
}

TEST(CadenaConexion, shouldBuildFiveSqlServerPiecesInOrderWithTheSuitesDatabaseSpelling) {
    DB_Dll db = conAcceso(QStringLiteral("SRV01"));
    db.gProveedor = QStringLiteral("OraOLEDB.Oracle.1"); // never used for SQL Server
    EXPECT_EQ(
        db.cadenaConexionServidor(),
        QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV01;Database =EMPRESA;UId=ventas;Pwd=clave;"));
}

// Typed values come back whole from the string: a ";" in a password does not
// end it, outer blanks are kept, a brace at the start stays.
TEST(CadenaConexion, shouldCarryTypedValuesWithSemicolonsBlanksAndBracesWhole) {
    using estaciones::db::ConnectionString;
    for (const bool oracle : {false, true}) {
        DB_Dll db = conAcceso(oracle ? QStringLiteral("ORA#") : QStringLiteral(" SRV;01"));
        db.gDBName = QStringLiteral("EMP;Server=otro");
        db.gUsuario = QStringLiteral("  ana ");
        db.gUserPassWord = QStringLiteral("{cla;ve}'; DROP --");
        const ConnectionString leida(db.cadenaConexionServidor());
        SCOPED_TRACE(oracle ? "Oracle" : "SQL Server");
        EXPECT_EQ(leida.firstOf({"Database", "Data Source"}), db.gDBName);
        EXPECT_EQ(leida.firstOf({"UId", "User Id"}), db.gUsuario);
        EXPECT_EQ(leida.firstOf({"Pwd", "Password"}), db.gUserPassWord);
        if (!oracle) {
            EXPECT_EQ(leida.value(QStringLiteral("Server")), db.gServidor);
        }
        EXPECT_EQ(leida.pairs().size(), oracle ? 4u : 5u);
    }
}

TEST(CadenaConexion, shouldAppendExtendedTextUnchanged) {
    DB_Dll db = conAcceso(QStringLiteral("SRV01"));
    db.gExtended = QStringLiteral("Network Library=DBMSSOCN;");
    EXPECT_TRUE(db.cadenaConexionServidor().endsWith(
        QStringLiteral("Pwd=clave;Network Library=DBMSSOCN;")));
}

TEST(CadenaConexion, shouldBuildOracleStringWithoutServerWhenServerCarriesMarker) {
    for (const QString& servidor :
         {QStringLiteral("ORA#"), QStringLiteral("#ORA"), QStringLiteral("OR#A")}) {
        DB_Dll db = conAcceso(servidor);
        db.gExtended = QStringLiteral("Extra=1;"); // not part of the Oracle string
        EXPECT_EQ(
            db.cadenaConexionServidor(),
            QStringLiteral(
                "Provider=OraOLEDB.Oracle.1;Data Source=EMPRESA;User Id=ventas;Password=clave;"))
            << servidor.toStdString();
    }
}

TEST(DB_DllPropiedades, shouldNameTheThreeProviders) {
    const DB_Dll db;
    EXPECT_EQ(db.pSQLOLEDB(), QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(db.pJETOLEDB40(), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(db.pJETOLEDB35(), QStringLiteral("Microsoft.Jet.OLEDB.3.51"));
}

TEST(DB_DllPropiedades, shouldKeepErrorFileAsTextThroughArchivoErrores) {
    DB_Dll db;
    db.setArchivoErrores(Variant(QStringLiteral("/tmp/errores.log")));
    EXPECT_EQ(db.gLogErr, QStringLiteral("/tmp/errores.log"));
    EXPECT_EQ(db.ArchivoErrores(), Variant(QStringLiteral("/tmp/errores.log")));
    db.setArchivoErrores(Variant(12));
    EXPECT_EQ(db.gLogErr, QStringLiteral("12"));
    // Empty means the default file next to the program.
    db.gLogErr.clear();
    EXPECT_TRUE(db.archivoErroresEfectivo().endsWith(QStringLiteral("/TSERR.LOG")));
}

TEST(ValorNumerico, shouldReadTheLeadingNumberAsTheSuiteDoes) {
    EXPECT_EQ(valorNumerico(QStringLiteral("1")), 1.0);
    EXPECT_EQ(valorNumerico(QStringLiteral(" 1.0 ")), 1.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("12abc")), 12.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("1 2")), 12.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("-3.5")), -3.5);
    EXPECT_EQ(valorNumerico(QStringLiteral("2E3")), 2000.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("2E")), 2.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("&H1F")), 31.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("&HFFFF")), -1.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("&O17")), 15.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("")), 0.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("True")), 0.0);
    EXPECT_EQ(valorNumerico(QStringLiteral(".")), 0.0);
    EXPECT_EQ(valorNumerico(QStringLiteral("1,5")), 1.0); // the comma ends the number
}

} // namespace
