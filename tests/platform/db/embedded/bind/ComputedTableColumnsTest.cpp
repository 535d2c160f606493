// A table's computed columns are of their expressions' types, as the server
// types them, whatever rows the table holds, and keep exact values; they take
// constraints after the expression and refuse to be written to.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

class ComputedTableColumnsTest : public EmbeddedFixture {};

TEST_F(ComputedTableColumnsTest, shouldTypeByTheExpressionWhateverTheFirstRowHolds) {
    run("CREATE TABLE Lineas (Precio money, Cantidad int, Peso decimal(10,3),\n"
        "  Total AS Precio * Cantidad, Media AS Precio / 3 PERSISTED, Kilos AS Peso * Cantidad,\n"
        "  Mitad AS Cantidad / 2)\n"
        "INSERT INTO Lineas (Precio, Cantidad, Peso) VALUES (NULL, NULL, NULL), (0.1, 3, 1.5)");
    const ResultSet result = query("SELECT Total, Media, Kilos, Mitad FROM Lineas ORDER BY Total");
    ASSERT_EQ(result.columns.size(), 4u);
    EXPECT_EQ(result.columns[0].type, adtype::Currency);
    EXPECT_EQ(result.columns[1].type, adtype::Currency);
    EXPECT_EQ(result.columns[2].type, adtype::Numeric);
    EXPECT_EQ(result.columns[3].type, adtype::Integer);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_TRUE(result.rows[0][0].isNull());
    // 0.1 * 3 as money is 0.3 exactly, where doubles give 0.30000000000000004.
    EXPECT_EQ(result.rows[1][0], Variant(Currency::fromDouble(0.3)));
    EXPECT_EQ(result.rows[1][1], Variant(Currency::fromDouble(0.0333)));
    EXPECT_EQ(result.rows[1][3].toInt64(), 1);
}

TEST_F(ComputedTableColumnsTest, shouldTypeColumnsAddedLaterAndThoseOfTemporaryTables) {
    run("CREATE TABLE Cobros (Importe money)\n"
        "INSERT INTO Cobros VALUES (10.5)\n"
        "ALTER TABLE Cobros ADD Doble AS Importe * 2, Iva AS Importe * 0.21 PERSISTED\n"
        "CREATE TABLE #Cuotas (Importe smallmoney, Tercio AS Importe / 3)\n"
        "INSERT INTO #Cuotas (Importe) VALUES (10)");
    const ResultSet added = query("SELECT Doble, Iva FROM Cobros");
    EXPECT_EQ(added.columns.at(0).type, adtype::Currency);
    EXPECT_EQ(added.rows.at(0).at(0), Variant(Currency::fromDouble(21)));
    // decimal ranks above money: money as decimal(19,4) times decimal(2,2).
    EXPECT_EQ(added.columns.at(1).type, adtype::Numeric);
    EXPECT_EQ(added.columns.at(1).precision, 22);
    EXPECT_EQ(added.columns.at(1).numericScale, 6);
    const ResultSet temporary = query("SELECT Tercio FROM #Cuotas");
    EXPECT_EQ(temporary.columns.at(0).type, adtype::Currency);
    EXPECT_EQ(temporary.rows.at(0).at(0), Variant(Currency::fromDouble(3.3333)));
}

TEST_F(ComputedTableColumnsTest, shouldKeepTheConstraintsWrittenAfterTheExpression) {
    run("CREATE TABLE Medidas (Ancho int, Alto int,\n"
        "  Area AS Ancho * Alto PERSISTED NOT NULL CONSTRAINT CK_Area CHECK (Area < 100))");
    run("INSERT INTO Medidas (Ancho, Alto) VALUES (2, 3)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Medidas (Ancho, Alto) VALUES (20, 30)"), 547);
    EXPECT_EQ(nativeErrorOf("INSERT INTO Medidas (Ancho, Alto) VALUES (NULL, 3)"), 515);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Medidas").toInt64(), 1);
}

TEST_F(ComputedTableColumnsTest, shouldRefuseToWriteAComputedColumn) {
    run("CREATE TABLE Stock (Entradas int, Salidas int, Saldo AS Entradas - Salidas)\n"
        "INSERT INTO Stock (Entradas, Salidas) VALUES (5, 2)");
    EXPECT_NE(nativeErrorOf("UPDATE Stock SET Saldo = 10"), 0);
    EXPECT_NE(nativeErrorOf("INSERT INTO Stock (Entradas, Saldo) VALUES (1, 1)"), 0);
    EXPECT_EQ(scalar("SELECT Saldo FROM Stock").toInt64(), 3);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Stock").toInt64(), 1);
}

} // namespace estaciones::db::sqlite::test
