// PIVOT, UNPIVOT and CROSS APPLY, which SQLite has not: the rows they give,
// and the forms this engine refuses by name rather than run half-way.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class TableOperatorsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE ventas (tienda int, mes int, importe int)");
        run("INSERT INTO ventas VALUES (1, 1, 10), (1, 1, 5), (1, 2, 7), (2, 2, 3)");
    }
};

TEST_F(TableOperatorsTest, shouldPivotOneGroupPerKeptColumn) {
    const auto pivoted = rows(
        "SELECT tienda, [1], [2] FROM (SELECT tienda, mes, importe FROM ventas) AS v PIVOT "
        "(SUM(importe) FOR mes IN ([1], [2])) AS p ORDER BY tienda");
    ASSERT_EQ(pivoted.size(), 2u);
    EXPECT_EQ(pivoted[0][1].toInt64(), 15);
    EXPECT_EQ(pivoted[0][2].toInt64(), 7);
    EXPECT_TRUE(pivoted[1][1].isNull());
    EXPECT_EQ(pivoted[1][2].toInt64(), 3);
    // Without kept columns the whole source is one group.
    EXPECT_EQ(scalar("SELECT [2] FROM (SELECT mes, importe FROM ventas) v PIVOT (COUNT(importe) "
                     "FOR mes IN ([1], [2])) p")
                  .toInt64(),
              2);
}

// The pivoted columns have the aggregate's type: AVG of money is money.
TEST_F(TableOperatorsTest, shouldTypePivotedColumnsAsTheirAggregate) {
    run("CREATE TABLE coste (dias int, importe money)");
    run("INSERT INTO coste VALUES (0, 10), (0, 20), (1, 30)");
    const auto pivoted = rows("SELECT [0], [1] FROM (SELECT dias, importe FROM coste) AS c PIVOT "
                              "(AVG(importe) FOR dias IN ([0], [1])) AS p");
    ASSERT_EQ(pivoted.size(), 1u);
    EXPECT_EQ(pivoted[0][0].type(), Variant::Type::Currency);
    EXPECT_DOUBLE_EQ(pivoted[0][0].toDouble(), 15.0);
    EXPECT_DOUBLE_EQ(pivoted[0][1].toDouble(), 30.0);
}

TEST_F(TableOperatorsTest, shouldUnpivotLeavingNullsOut) {
    run("CREATE TABLE notas (alumno int, t1 int, t2 int)");
    run("INSERT INTO notas VALUES (1, 5, NULL), (2, 6, 7)");
    const auto unpivoted = rows("SELECT alumno, trimestre, nota FROM (SELECT alumno, t1, t2 FROM "
                                "notas) n UNPIVOT (nota FOR trimestre IN (t1, t2)) AS u ORDER BY "
                                "alumno, trimestre");
    ASSERT_EQ(unpivoted.size(), 3u);
    EXPECT_EQ(unpivoted[0][1].toString(), "t1");
    EXPECT_EQ(unpivoted[2][1].toString(), "t2");
    EXPECT_EQ(unpivoted[2][2].toInt64(), 7);
}

TEST_F(TableOperatorsTest, shouldRefuseTheFormsItDoesNotCarryOut) {
    EXPECT_EQ(nativeErrorOf("SELECT * FROM ventas PIVOT (SUM(importe) FOR mes IN ([1])) AS p"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM (SELECT * FROM ventas) v PIVOT (SUM(importe) FOR mes "
                            "IN ([1])) AS p"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM ventas v OUTER APPLY STRING_SPLIT('a,b', ',')"), 40517);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM ventas v CROSS APPLY (SELECT 1 AS x) s"), 40517);
}

} // namespace
} // namespace estaciones::db::sqlite::test
