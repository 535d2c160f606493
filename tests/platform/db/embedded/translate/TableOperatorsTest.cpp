// PIVOT, UNPIVOT and CROSS and OUTER APPLY, which SQLite has not: the rows they give,
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

// A table's own columns: those PIVOT does not name are the groups, with or
// without an alias on the table.
TEST_F(TableOperatorsTest, shouldPivotATableByItsOtherColumns) {
    const auto pivoted =
        rows("SELECT tienda, [1], [2] FROM ventas PIVOT (SUM(importe) FOR mes IN ([1], [2])) AS p "
             "ORDER BY tienda");
    ASSERT_EQ(pivoted.size(), 2u);
    EXPECT_EQ(pivoted[0][1].toInt64(), 15);
    EXPECT_TRUE(pivoted[1][1].isNull());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ventas AS v PIVOT (MAX(importe) FOR mes IN ([1])) p")
                  .toInt64(),
              2);
    const ExecutionResult all = run("SELECT * FROM ventas PIVOT (SUM(importe) FOR mes IN ([1])) p");
    ASSERT_EQ(all.resultSets.size(), 1u);
    EXPECT_EQ(all.resultSets.front().columns.size(), 2u); // tienda and [1]
}

// The subquery of APPLY reads the outer row; each outer row gets its own TOP.
TEST_F(TableOperatorsTest, shouldApplyASubqueryToEachOuterRow) {
    run("CREATE TABLE tienda (id int, nombre varchar(10))");
    run("INSERT INTO tienda VALUES (1, 'norte'), (2, 'sur'), (3, 'este')");
    const auto best = rows("SELECT t.nombre, v.mes, v.importe FROM tienda t CROSS APPLY (SELECT "
                           "TOP 1 mes, importe FROM ventas WHERE ventas.tienda = t.id ORDER BY "
                           "importe DESC, mes) v ORDER BY t.id");
    ASSERT_EQ(best.size(), 2u);
    EXPECT_EQ(best[0][2].toInt64(), 10);
    EXPECT_EQ(best[1][0].toString(), "sur");
    const auto all = rows("SELECT t.id, v.importe FROM tienda AS t OUTER APPLY (SELECT TOP 2 "
                          "importe FROM ventas AS x WHERE x.tienda = t.id AND x.importe > 4 ORDER "
                          "BY x.importe) AS v ORDER BY t.id, v.importe");
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0][1].toInt64(), 5);
    EXPECT_EQ(all[1][1].toInt64(), 7);
    EXPECT_TRUE(all[2][1].isNull()); // sur has only 3
    EXPECT_TRUE(all[3][1].isNull());
    // APPLY in a derived table, and joined further.
    EXPECT_EQ(scalar("SELECT SUM(q.importe) FROM (SELECT v.importe FROM tienda t CROSS APPLY "
                     "(SELECT TOP 1 importe FROM ventas WHERE ventas.tienda = t.id ORDER BY "
                     "importe) v) AS q")
                  .toInt64(),
              8);
}

// A star stands for the outer tables' columns and then the subquery's, never
// for the row id the join adds.
TEST_F(TableOperatorsTest, shouldExpandAStarOverApply) {
    const ExecutionResult all =
        run("SELECT * FROM ventas AS v CROSS APPLY (SELECT TOP 1 importe AS mayor FROM ventas w "
            "WHERE w.tienda = v.tienda ORDER BY importe DESC) AS m ORDER BY v.importe");
    ASSERT_EQ(all.resultSets.size(), 1u);
    const auto& columns = all.resultSets.front().columns;
    ASSERT_EQ(columns.size(), 4u);
    EXPECT_EQ(columns[0].name, "tienda");
    EXPECT_EQ(columns[3].name, "mayor");
    ASSERT_EQ(all.resultSets.front().rows.size(), 4u);
    EXPECT_EQ(all.resultSets.front().rows[0][3].toInt64(), 3); // tienda 2's only sale
    EXPECT_EQ(rows("SELECT m.* FROM ventas v OUTER APPLY (SELECT TOP 1 mes FROM ventas w WHERE "
                   "w.tienda = v.tienda + 5) m")
                  .front()
                  .size(),
              1u);
}

TEST_F(TableOperatorsTest, shouldApplyATableValuedFunctionKeepingOuterRows) {
    run("CREATE TABLE etiquetas (id int, lista varchar(20))");
    run("INSERT INTO etiquetas VALUES (1, 'a,b'), (2, NULL)");
    const auto split = rows("SELECT id, value FROM etiquetas OUTER APPLY STRING_SPLIT(lista, ',') "
                            "ORDER BY id, value");
    ASSERT_EQ(split.size(), 3u);
    EXPECT_EQ(split[2][0].toInt64(), 2);
    EXPECT_TRUE(split[2][1].isNull());
}

// Values of the outer row: a reference to them is their expression, in
// every clause; several rows of VALUES are numbered by a join; a star gives
// the table's columns and then theirs.
TEST_F(TableOperatorsTest, shouldApplyValuesOfTheOuterRow) {
    const auto all = rows("SELECT * FROM ventas v CROSS APPLY (SELECT 1 AS x) s WHERE v.mes = 1 "
                          "ORDER BY importe");
    ASSERT_EQ(all.size(), 2u);
    ASSERT_EQ(all[0].size(), 4u);
    EXPECT_EQ(all[0][2].toInt64(), 5);
    EXPECT_EQ(all[0][3].toInt64(), 1);
    const auto unpivoted = rows("SELECT v.tienda, p.parte, p.valor FROM ventas v CROSS APPLY "
                                "(VALUES ('mes', v.mes), ('importe', v.importe)) AS p (parte, valor) "
                                "WHERE v.importe = 7 ORDER BY valor");
    ASSERT_EQ(unpivoted.size(), 2u);
    EXPECT_EQ(unpivoted[0][1].toString(), "mes");
    EXPECT_EQ(unpivoted[0][2].toInt64(), 2);
    EXPECT_EQ(unpivoted[1][1].toString(), "importe");
    // A bare name of the values' columns, in GROUP BY and an aggregate.
    const auto grouped = rows("SELECT doble, COUNT(*) FROM ventas CROSS APPLY (SELECT mes * 2 AS "
                              "doble) d GROUP BY doble ORDER BY doble");
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_EQ(grouped[0][0].toInt64(), 2);
    EXPECT_EQ(grouped[0][1].toInt64(), 2);
    // A subquery's own column of the same name is its own.
    EXPECT_EQ(scalar("SELECT MAX(x.mes) FROM ventas v CROSS APPLY (SELECT 9 AS mes) x WHERE "
                     "EXISTS (SELECT 1 FROM ventas w WHERE w.mes = mes)")
                  .toInt64(),
              9);
}

// An aggregate without GROUP BY gives one row for each outer row, also
// where it reads no rows.
TEST_F(TableOperatorsTest, shouldApplyAnAggregateOnceForEachOuterRow) {
    EXPECT_EQ(scalar("SELECT SUM(s.n) FROM ventas v CROSS APPLY (SELECT COUNT(*) AS n FROM ventas "
                     "w WHERE w.mes = v.mes) s")
                  .toInt64(),
              8);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM ventas v CROSS APPLY (SELECT MAX(w.importe) AS m FROM "
                     "ventas w WHERE w.mes > 5) s WHERE s.m IS NULL")
                  .toInt64(),
              4);
}

TEST_F(TableOperatorsTest, shouldRefuseTheFormsItDoesNotCarryOut) {
    EXPECT_EQ(nativeErrorOf("SELECT * FROM (SELECT * FROM ventas) v PIVOT (SUM(importe) FOR mes "
                            "IN ([1])) AS p"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM ventas v CROSS APPLY (SELECT 1 AS x) s JOIN ventas w "
                            "ON w.mes = s.x"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT s.n FROM ventas v CROSS APPLY (SELECT MAX(v.mes) AS n) s"),
              40517);
    // Shapes the join on picked rows cannot give.
    EXPECT_EQ(nativeErrorOf("SELECT v.tienda, s.n FROM ventas v CROSS APPLY (SELECT TOP 1 COUNT(*) "
                            "AS n FROM ventas w WHERE w.mes = v.mes) s"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT v.tienda, s.mes FROM ventas v CROSS APPLY (SELECT a.mes FROM "
                            "ventas a JOIN ventas b ON a.mes = b.mes WHERE a.tienda = v.tienda) s"),
              40517);
    EXPECT_EQ(nativeErrorOf("SELECT * FROM ventas v OUTER APPLY (SELECT TOP 1 mes FROM ventas w "
                            "WHERE w.tienda = v.tienda) s JOIN ventas z ON z.mes = s.mes"),
              40517);
}

} // namespace
} // namespace estaciones::db::sqlite::test
