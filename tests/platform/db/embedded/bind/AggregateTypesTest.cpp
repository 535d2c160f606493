// Aggregates and ISNULL keep the type of the column they are computed from,
// as SQL Server types them: the MIN of money is money, the AVG of an int is
// an int.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class AggregateTypesTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Precios (Lista varchar(4) NOT NULL, Codigo varchar(25) NOT NULL,\n"
            "  Precio money NOT NULL, Cantidad int NULL, Peso decimal(10,3) NULL)\n"
            "INSERT INTO Precios VALUES ('   1', 'a', 900, 1, 1.5)\n"
            "INSERT INTO Precios VALUES ('   1', 'b', 1200.5, 2, 2.25)\n"
            "INSERT INTO Precios VALUES ('   2', 'c', 700, 4, NULL)");
        run("CREATE VIEW dbo.V_PRECIOS AS SELECT * FROM dbo.Precios");
    }
};

} // namespace

TEST_F(AggregateTypesTest, AggregatesOfAMoneyColumnAreMoney) {
    const ResultSet result =
        query("SELECT MIN(Precio) AS MENOR, MAX(Precio), SUM(Precio) AS Total, AVG(Precio), "
              "ISNULL(SUM(Precio), 0), SUM(DISTINCT Precio) FROM Precios  with(nolock) "
              "WHERE Lista = '   1'");
    ASSERT_EQ(result.columns.size(), 6u);
    for (const ColumnInfo& column : result.columns) {
        EXPECT_EQ(column.type, adtype::Currency) << column.name.toStdString();
    }
    ASSERT_EQ(result.rows.size(), 1u);
    const std::vector<Variant> expected{Currency::fromDouble(900),    Currency::fromDouble(1200.5),
                                        Currency::fromDouble(2100.5), Currency::fromDouble(1050.25),
                                        Currency::fromDouble(2100.5), Currency::fromDouble(2100.5)};
    EXPECT_EQ(result.rows[0], expected);
}

TEST_F(AggregateTypesTest, ThroughViewsGroupsAndCommonTableExpressions) {
    const ResultSet grouped = query("SELECT Lista, SUM(Precio) AS Total FROM V_PRECIOS "
                                    "GROUP BY Lista HAVING COUNT(*) > 0 ORDER BY Lista");
    EXPECT_EQ(grouped.columns[1].type, adtype::Currency);
    ASSERT_EQ(grouped.rows.size(), 2u);
    EXPECT_EQ(grouped.rows[0][1], Variant(Currency::fromDouble(2100.5)));
    EXPECT_EQ(grouped.rows[1][1], Variant(Currency::fromDouble(700)));

    const ResultSet fromCte = query("WITH Caros AS (SELECT Precio FROM Precios WHERE Precio > 800) "
                                    "SELECT MAX(Precio) FROM Caros");
    EXPECT_EQ(fromCte.columns[0].type, adtype::Currency);

    // No rows to aggregate: NULL, and still money.
    const ResultSet none = query("SELECT MIN(Precio) AS MENOR FROM Precios WHERE Lista = '   9'");
    EXPECT_EQ(none.columns[0].type, adtype::Currency);
    EXPECT_TRUE(none.rows.at(0).at(0).isNull());
}

TEST_F(AggregateTypesTest, OtherColumnTypesCarryOver) {
    const ResultSet result =
        query("SELECT COUNT(*), AVG(Cantidad), SUM(Cantidad), MAX(Codigo), SUM(Peso) FROM Precios");
    ASSERT_EQ(result.columns.size(), 5u);
    EXPECT_EQ(result.columns[0].type, adtype::Integer);
    // The average of an int column is an int: (1 + 2 + 4) / 3 keeps its whole part.
    EXPECT_EQ(result.columns[1].type, adtype::Integer);
    EXPECT_EQ(result.rows[0][1], Variant(2));
    EXPECT_EQ(result.rows[0][2], Variant(7));
    EXPECT_EQ(result.columns[3].type, adtype::VarChar);
    EXPECT_EQ(result.columns[3].definedSize, 25);
    EXPECT_EQ(result.rows[0][3], Variant("c"));
    EXPECT_EQ(result.columns[4].type, adtype::Numeric);
    EXPECT_EQ(result.columns[4].numericScale, 3);
    EXPECT_DOUBLE_EQ(result.rows[0][4].toDouble(), 3.75);
}

TEST_F(AggregateTypesTest, ExpressionsAndSelectStarKeepTheirValues) {
    // Over an expression: the expression's type (money * int is money).
    EXPECT_EQ(scalar("SELECT MIN(Precio * 2) FROM Precios"), Variant(Currency::fromDouble(1400)));
    const ResultSet star = query("SELECT *, Precio AS Otro FROM Precios WHERE Codigo = 'a'");
    ASSERT_EQ(star.columns.size(), 6u);
    EXPECT_EQ(star.columns[5].type, adtype::Currency);
    EXPECT_EQ(star.rows.at(0)[5], Variant(Currency::fromDouble(900)));
}

TEST_F(AggregateTypesTest, UnusualShapesKeepTheirValues) {
    const ResultSet result = query("SELECT MIN((Precio)), SUM(Precio) + 1, ISNULL(MIN(Cantidad), "
                                   "SUM(Precio)) x, (SELECT MAX(Precio) FROM Precios) AS Mayor "
                                   "FROM Precios WHERE Lista = '   1'");
    ASSERT_EQ(result.columns.size(), 4u);
    EXPECT_EQ(result.columns[0].type, adtype::Currency);
    EXPECT_EQ(result.rows.at(0)[0], Variant(Currency::fromDouble(900)));
    EXPECT_DOUBLE_EQ(result.rows[0][1].toDouble(), 2101.5);
    EXPECT_EQ(result.rows[0][2].toDouble(), 1);
    EXPECT_DOUBLE_EQ(result.rows[0][3].toDouble(), 1200.5);

    // A union is typed by its first query.
    const ResultSet united = query("SELECT MAX(Precio) AS Precio FROM Precios UNION ALL SELECT 5");
    EXPECT_EQ(united.columns[0].type, adtype::Currency);
    ASSERT_EQ(united.rows.size(), 2u);
    EXPECT_EQ(united.rows[1][0], Variant(Currency::fromDouble(5)));
}

// SUM and AVG take numbers: over a text or date column the server refuses
// the query (8117), where SQLite would add the texts up as zeros.
TEST_F(AggregateTypesTest, TotalsOfTextOrDatesAreRefused) {
    EXPECT_EQ(nativeErrorOf("SELECT SUM(Codigo) FROM Precios"), 8117);
    EXPECT_EQ(nativeErrorOf("SELECT p.Lista, AVG(p.Lista) FROM Precios p GROUP BY p.Lista"), 8117);
    run("CREATE TABLE Altas (Dia datetime, Activo bit)");
    EXPECT_EQ(nativeErrorOf("SELECT SUM(Dia) FROM Altas"), 8117);
    EXPECT_EQ(nativeErrorOf("SELECT AVG(Activo) FROM Altas"), 8117);
    // MIN and MAX compare any type but bit.
    EXPECT_EQ(nativeErrorOf("SELECT MAX(Activo) FROM Altas"), 8117);
    EXPECT_EQ(scalar("SELECT MAX(Codigo) FROM Precios").toString(), "c");
    // A number made of them is summed as the number it is.
    EXPECT_EQ(query("SELECT SUM(CAST(Activo AS int)), SUM(LEN(Codigo)) FROM Altas, Precios")
                  .rows.size(),
              1u);
}

} // namespace estaciones::db::sqlite::test
