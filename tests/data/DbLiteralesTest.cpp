#include "data/DB_Dll.h"
#include "data/TextoSql.h"

#include <gtest/gtest.h>

using namespace estaciones;
using namespace estaciones::data;

namespace {

TEST(Clasificadores, aCodeGivenAsNumberOrTextGivesTheSameAnswer) {
    const DB_Dll db;
    EXPECT_EQ(db.ADOComilla(135), "'");
    EXPECT_EQ(db.ADOComilla(QStringLiteral("135")), "'");
    EXPECT_EQ(db.ADOComilla(200), "'");
    EXPECT_EQ(db.ADOComilla(3), "");
    EXPECT_FALSE(db.ADONumeric(6));
    EXPECT_TRUE(db.ADOCurrency(QStringLiteral("6")));
    EXPECT_FALSE(db.ADONumeric(11));
    EXPECT_TRUE(db.ADOBoolean(11));
    EXPECT_TRUE(db.ADONumeric(QStringLiteral("131")));
    EXPECT_TRUE(db.adodate(7));
    EXPECT_FALSE(db.adodate(Variant::null()));
    EXPECT_FALSE(db.ADOText(Variant()));
}

TEST(TextoSqlTest, doublesEveryApostropheSoTheLiteralEndsWhereItShould) {
    EXPECT_EQ(textoSql(QStringLiteral("O'Brien''s")), "O''Brien''''s");
    EXPECT_EQ(literalSql(QStringLiteral("O'Brien")), "'O''Brien'");
    EXPECT_EQ(literalSql(QString()), "''");
}

TEST(SQLValueTest, quotesNumbersAndNulls) {
    const DB_Dll db;
    EXPECT_EQ(db.SQLValue(Variant::null(), QStringLiteral("'")), Variant("NULL"));
    EXPECT_EQ(db.SQLValue(Variant::null(), QStringLiteral("@")), Variant("0"));
    EXPECT_EQ(db.SQLValue(QStringLiteral("O'Brien"), QStringLiteral("'")), Variant("'O'Brien'"));
    EXPECT_EQ(db.SQLValue(QStringLiteral("12,5"), QStringLiteral("@")), Variant("12.5"));
    EXPECT_EQ(db.SQLValue(QStringLiteral("1.234,5678"), QStringLiteral("@")), Variant("1234.5678"));
    EXPECT_EQ(db.SQLValue(7, QString()), Variant("7"));
}

TEST(Nombres, bracketsOwnersConnectionsAndFolders) {
    const DB_Dll db;
    EXPECT_EQ(db.AddBrackets(QStringLiteral("TABLA")), "TABLA");
    EXPECT_EQ(db.AddBrackets(QStringLiteral("MI TABLA")), "[MI TABLA]");
    EXPECT_EQ(db.AddBrackets(QStringLiteral("[MI TABLA]")), "[MI TABLA]");
    EXPECT_EQ(db.StripBrackets(QStringLiteral("[MI TABLA]")), "MI TABLA");

    QString nombre = QStringLiteral("dbo.MA_CALENDARIO");
    EXPECT_EQ(db.StripOwner(nombre), "MA_CALENDARIO");
    EXPECT_EQ(nombre, "MA_CALENDARIO");

    QString columna = QStringLiteral("dbo.MA_CALENDARIO.Fecha");
    EXPECT_EQ(db.stSTF(columna, false), "MA_CALENDARIO.Fecha");
    QString dos = QStringLiteral("dbo.T");
    EXPECT_EQ(db.stSTF(dos, true), "T");
    EXPECT_EQ(db.stSTF(dos, false), "dbo");
    QString sinPunto = QStringLiteral("T");
    EXPECT_EQ(db.stSTF(sinPunto, true), "T");
    try {
        (void)db.stSTF(sinPunto, false);
        ADD_FAILURE() << "expected error 5";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::InvalidProcedureCall);
    }

    EXPECT_EQ(db.StripConnect(QStringLiteral("CLIENTES -> Servidor")), "CLIENTES");
    EXPECT_EQ(db.StripConnect(QStringLiteral("CLIENTES")), "CLIENTES");
    EXPECT_THROW((void)db.StripConnect(QStringLiteral("->x")), Error);

    EXPECT_EQ(db.StripFileName(QStringLiteral("C:\\Suite\\Datos\\base.mdb")), "C:\\Suite\\Datos");
    EXPECT_EQ(db.StripFileName(QStringLiteral("/opt/estaciones/base.mdb")), "/opt/estaciones");
    EXPECT_EQ(db.StripFileName(QStringLiteral("base.mdb")), "");
}

} // namespace
