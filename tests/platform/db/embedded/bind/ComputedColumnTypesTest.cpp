// Arithmetic, scalar subqueries and views' computed columns are typed as
// SQL Server types them, from what they are computed from: whatever the
// first row holds (a NULL, a whole number), the Field types stay the same.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class ComputedColumnTypesTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Lineas (Codigo varchar(10) NOT NULL, Precio money NULL,\n"
            "  Cantidad int NULL, Peso decimal(10,3) NULL, Factor float NULL, Nota varchar(20))\n"
            "INSERT INTO Lineas VALUES ('a', 900, 7, 3, 0.5, 'x')\n"
            "INSERT INTO Lineas VALUES ('b', NULL, NULL, NULL, NULL, NULL)\n"
            "CREATE TABLE Saldos (Codigo varchar(10) NOT NULL, Stock decimal(18,4) NOT NULL)\n"
            "INSERT INTO Saldos VALUES ('a', 5) INSERT INTO Saldos VALUES ('a', 2.5)");
    }

    // The columns' types and the values of the row with Codigo `codigo`.
    ResultSet row(const QString& selectList, const QString& codigo) {
        return query(
            QStringLiteral("SELECT %1 FROM Lineas WHERE Codigo = '%2'").arg(selectList, codigo));
    }
};

} // namespace

TEST_F(ComputedColumnTypesTest, MoneyMeetsIntegersAndItselfAsMoney) {
    const QString list = "Precio * Cantidad, Precio + Precio AS Doble, Precio - 1, -Precio, "
                         "2 * (Precio + 100) Total";
    for (const QString codigo : {"a", "b"}) {
        const ResultSet result = row(list, codigo);
        ASSERT_EQ(result.columns.size(), 5u);
        for (const ColumnInfo& column : result.columns) {
            EXPECT_EQ(column.type, adtype::Currency)
                << column.name.toStdString() << " in row " << codigo.toStdString();
        }
    }
    const ResultSet filled = row(list, "a");
    const std::vector<Variant> expected{Currency::fromDouble(6300), Currency::fromDouble(1800),
                                        Currency::fromDouble(899), Currency::fromDouble(-900),
                                        Currency::fromDouble(2000)};
    EXPECT_EQ(filled.rows.at(0), expected);
    EXPECT_TRUE(row(list, "b").rows.at(0).at(0).isNull());
}

TEST_F(ComputedColumnTypesTest, HigherPrecedenceDecides) {
    const ResultSet result = row("Precio * Factor, Precio * Peso, Cantidad * Peso, Cantidad / 2, "
                                 "Cantidad * 1.5, Peso / Cantidad, Cantidad - Cantidad",
                                 "b");
    ASSERT_EQ(result.columns.size(), 7u);
    EXPECT_EQ(result.columns[0].type, adtype::Double);
    // money meets decimal as decimal(19,4): (10,3) * (19,4) → (30,7).
    EXPECT_EQ(result.columns[1].type, adtype::Numeric);
    EXPECT_EQ(result.columns[1].precision, 30);
    EXPECT_EQ(result.columns[1].numericScale, 7);
    // int is decimal(10,0) there: (10,0) * (10,3) → (21,3).
    EXPECT_EQ(result.columns[2].type, adtype::Numeric);
    EXPECT_EQ(result.columns[2].precision, 21);
    EXPECT_EQ(result.columns[2].numericScale, 3);
    EXPECT_EQ(result.columns[3].type, adtype::Integer);
    EXPECT_EQ(result.columns[4].type, adtype::Numeric);
    EXPECT_EQ(result.columns[4].numericScale, 1);
    // Division keeps at least six places: (10,3) / (10,0) → (21,14).
    EXPECT_EQ(result.columns[5].type, adtype::Numeric);
    EXPECT_EQ(result.columns[5].precision, 21);
    EXPECT_EQ(result.columns[5].numericScale, 14);
    EXPECT_EQ(result.columns[6].type, adtype::Integer);

    // Integer division truncates towards zero, as SQL Server's does.
    const ResultSet whole = row("Cantidad / 2, -Cantidad / 2, Cantidad % 4", "a");
    EXPECT_EQ(whole.rows.at(0), (std::vector<Variant>{Variant(3), Variant(-3), Variant(3)}));
}

TEST_F(ComputedColumnTypesTest, DivisionsKeepTheFractionTheirTypeHas) {
    // 900 and 3 are stored as whole numbers; money and decimal still divide
    // with a fraction, ints without.
    const ResultSet result = row("Precio / 7, Peso / 2, Precio / Cantidad / 2 AS Mitad, "
                                 "-Precio / 7, (Precio + 1) / 7, Cantidad / 2",
                                 "a");
    ASSERT_EQ(result.columns.size(), 6u);
    EXPECT_EQ(result.columns[0].type, adtype::Currency);
    EXPECT_EQ(result.columns[0].name, ""); // an expression without an alias
    EXPECT_EQ(result.columns[2].name, "Mitad");
    EXPECT_EQ(result.columns[2].type, adtype::Currency);
    const std::vector<Variant>& values = result.rows.at(0);
    EXPECT_EQ(values[0], Variant(Currency::fromDouble(128.5714)));
    EXPECT_DOUBLE_EQ(values[1].toDouble(), 1.5);
    EXPECT_EQ(values[2], Variant(Currency::fromDouble(64.2857)));
    EXPECT_EQ(values[3], Variant(Currency::fromDouble(-128.5714)));
    EXPECT_EQ(values[4], Variant(Currency::fromDouble(128.7143)));
    EXPECT_EQ(values[5], Variant(3));
    EXPECT_EQ(nativeErrorOf("SELECT Precio / 0 FROM Lineas"), 8134);
    EXPECT_EQ(row("Precio / 7", "b").rows.at(0).at(0), Variant::null());
    // With a parameter in the query and in a later statement of the batch.
    const ExecutionResult withParameter =
        run("SELECT Precio / 8 FROM Lineas WHERE Codigo = ? SELECT Peso / 4 FROM Lineas WHERE "
            "Codigo = 'a'",
            {Variant("a")});
    ASSERT_EQ(withParameter.resultSets.size(), 2u);
    EXPECT_EQ(withParameter.resultSets[0].rows.at(0).at(0), Variant(Currency::fromDouble(112.5)));
    EXPECT_DOUBLE_EQ(withParameter.resultSets[1].rows.at(0).at(0).toDouble(), 0.75);

    const ResultSet rounded = row("ROUND(Precio / 7, 2), ABS(-Precio / 7)", "a");
    EXPECT_EQ(rounded.columns.at(0).type, adtype::Currency);
    EXPECT_EQ(rounded.rows.at(0),
              (std::vector<Variant>{Currency::fromDouble(128.57), Currency::fromDouble(128.5714)}));
    EXPECT_DOUBLE_EQ(scalar("DECLARE @octavo money SELECT @octavo = Precio / 8 FROM Lineas "
                            "WHERE Codigo = 'a' SELECT @octavo")
                         .toDouble(),
                     112.5);
    // In a view and in a table made by SELECT ... INTO.
    run("CREATE VIEW VT_MITADES AS SELECT Codigo, Precio / 8 AS Octavo FROM Lineas");
    EXPECT_EQ(scalar("SELECT Octavo FROM VT_MITADES WHERE Codigo = 'a'"),
              Variant(Currency::fromDouble(112.5)));
    run("SELECT Codigo, Peso / 4 AS Cuarto INTO #Cuartos FROM Lineas");
    EXPECT_DOUBLE_EQ(scalar("SELECT Cuarto FROM #Cuartos WHERE Codigo = 'a'").toDouble(), 0.75);
}

TEST_F(ComputedColumnTypesTest, BitsMeetingIntsAreInts) {
    run("CREATE TABLE Marcas (Activo bit NOT NULL) INSERT INTO Marcas VALUES (1)");
    const ResultSet result = query("SELECT Activo + 1, 2 * Activo FROM Marcas");
    EXPECT_EQ(result.columns.at(0).type, adtype::Integer);
    EXPECT_EQ(result.columns.at(1).type, adtype::Integer);
    EXPECT_EQ(result.rows.at(0), (std::vector<Variant>{Variant(2), Variant(2)}));
}

TEST_F(ComputedColumnTypesTest, WhatCannotBeToldKeepsItsValue) {
    // Text joined with '+', a NULL literal and a CASE have no type to inherit:
    // they are typed from their values as before.
    const ResultSet result = row("Codigo + Nota, Precio + NULL, CASE WHEN Cantidad > 1 THEN "
                                 "Precio ELSE 0 END, Cantidad * (Factor + Peso)",
                                 "a");
    ASSERT_EQ(result.columns.size(), 4u);
    EXPECT_EQ(result.columns[0].type, adtype::VarChar);
    EXPECT_EQ(result.rows.at(0)[0], Variant("ax"));
    EXPECT_TRUE(result.rows[0][1].isNull());
    EXPECT_DOUBLE_EQ(result.rows[0][2].toDouble(), 900);
    // float outranks everything it meets.
    EXPECT_EQ(result.columns[3].type, adtype::Double);
    EXPECT_DOUBLE_EQ(result.rows[0][3].toDouble(), 24.5);
}

TEST_F(ComputedColumnTypesTest, ScalarSubqueriesTakeTheirColumnsType) {
    const ResultSet result =
        query("SELECT l.Codigo, ISNULL((SELECT SUM(s.Stock) FROM Saldos s WHERE s.Codigo = "
              "l.Codigo), 0) AS Stock, (SELECT MAX(Precio) FROM Lineas) Mayor FROM Lineas l "
              "ORDER BY l.Codigo");
    ASSERT_EQ(result.columns.size(), 3u);
    EXPECT_EQ(result.columns[1].type, adtype::Numeric);
    EXPECT_EQ(result.columns[1].numericScale, 4);
    EXPECT_EQ(result.columns[2].type, adtype::Currency);
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_DOUBLE_EQ(result.rows[0][1].toDouble(), 7.5);
    EXPECT_DOUBLE_EQ(result.rows[1][1].toDouble(), 0);
}

TEST_F(ComputedColumnTypesTest, ViewsComputedColumnsWhateverTheFirstRow) {
    run("CREATE VIEW dbo.VT_LINEAS AS\n"
        "SELECT l.Codigo, l.Precio * l.Cantidad AS Importe,\n"
        "       ISNULL((SELECT SUM(s.Stock) FROM dbo.Saldos s WHERE s.Codigo = l.Codigo), 0) "
        "AS Stock\n"
        "FROM dbo.Lineas l");
    run("CREATE VIEW dbo.VT_RESUMEN AS SELECT Codigo, Importe * 2 AS Doble, Stock FROM "
        "VT_LINEAS");
    for (const QString order : {"ASC", "DESC"}) {
        for (const QString sql :
             {"SELECT Codigo, Importe, Stock FROM VT_LINEAS ORDER BY Codigo %1",
              "SELECT * FROM VT_LINEAS ORDER BY Codigo %1",
              "SELECT v.Stock, v.Importe FROM dbo.VT_LINEAS v WITH (NOLOCK) ORDER BY Codigo %1",
              "SELECT Doble AS Importe, Stock FROM VT_RESUMEN ORDER BY Codigo %1"}) {
            const QString text = QString(sql).arg(order);
            const ResultSet result = query(text);
            for (const ColumnInfo& column : result.columns) {
                if (column.name.compare("Importe", Qt::CaseInsensitive) == 0) {
                    EXPECT_EQ(column.type, adtype::Currency) << text.toStdString();
                } else if (column.name.compare("Stock", Qt::CaseInsensitive) == 0) {
                    EXPECT_EQ(column.type, adtype::Numeric) << text.toStdString();
                    EXPECT_EQ(column.numericScale, 4) << text.toStdString();
                }
            }
        }
    }
    const ResultSet doubled = query("SELECT Doble FROM VT_RESUMEN WHERE Codigo = 'a'");
    EXPECT_EQ(doubled.rows.at(0).at(0), Variant(Currency::fromDouble(12600)));
}

} // namespace estaciones::db::sqlite::test
