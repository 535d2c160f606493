// Table variables: tables of their batch or procedure call, with the
// constraints of their declaration, gone when it ends.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class TableVariablesTest : public EmbeddedFixture {};

TEST_F(TableVariablesTest, shouldBelongToEachProcedureCall) {
    run("CREATE PROCEDURE Contar @n int AS\n"
        "DECLARE @t TABLE (id int IDENTITY(1, 1), n int NOT NULL)\n"
        "INSERT INTO @t (n) VALUES (@n), (@n)\n"
        "SELECT COUNT(*), MAX(id) FROM @t");
    // Each call has its own table: the second neither sees the first's rows
    // nor finds its name taken.
    const ExecutionResult result = run("EXEC Contar 1\nEXEC Contar 2");
    ASSERT_EQ(result.resultSets.size(), 2u);
    for (const ResultSet& set : result.resultSets) {
        EXPECT_EQ(set.rows.front()[0].toInt64(), 2);
        EXPECT_EQ(set.rows.front()[1].toInt64(), 2);
    }
}

TEST_F(TableVariablesTest, shouldJoinTablesAndKeepItsConstraints) {
    run("CREATE TABLE Cliente (id int PRIMARY KEY, nombre varchar(10))");
    run("INSERT INTO Cliente VALUES (1, 'Ana'), (2, 'Luis')");
    EXPECT_EQ(rows("DECLARE @sel TABLE (id int PRIMARY KEY, peso int CHECK (peso > 0))\n"
                   "INSERT INTO @sel VALUES (2, 5)\n"
                   "SELECT c.nombre, s.peso FROM Cliente c JOIN @sel s ON s.id = c.id")
                  .front()[0]
                  .toString(),
              "Luis");
    EXPECT_EQ(nativeErrorOf("DECLARE @sel TABLE (id int PRIMARY KEY, peso int CHECK (peso > 0))\n"
                            "INSERT INTO @sel VALUES (1, 0)"),
              547);
    // Messages name the table by its variable, not the table it lives in.
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_TRUE(lastFailure[0].description.contains("table \"dbo.@sel\", column 'peso'"))
        << lastFailure[0].description.toStdString();
    EXPECT_EQ(nativeErrorOf("DECLARE @sel TABLE (id int PRIMARY KEY)\n"
                            "INSERT INTO @sel VALUES (1), (1)"),
              2627);
    EXPECT_TRUE(lastFailure[0].description.contains("in object 'dbo.@sel'"))
        << lastFailure[0].description.toStdString();
    EXPECT_EQ(nativeErrorOf("DECLARE @sel TABLE (id int)\nDECLARE @sel int"), 134);
}

TEST_F(TableVariablesTest, shouldKeepItsRowsWhenItsDeclareIsMetAgainInALoop) {
    EXPECT_EQ(scalar("DECLARE @i int = 0\n"
                     "WHILE @i < 3\nBEGIN\n"
                     "  DECLARE @t TABLE (n int)\n"
                     "  INSERT INTO @t VALUES (@i)\n"
                     "  SET @i = @i + 1\n"
                     "END\n"
                     "SELECT COUNT(*) FROM @t")
                  .toInt64(),
              3);
}

TEST_F(TableVariablesTest, shouldBeUnknownOutsideItsBatch) {
    run("DECLARE @t TABLE (n int)\nINSERT INTO @t VALUES (1)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO @t VALUES (2)"), 1087);
    EXPECT_EQ(nativeErrorOf("SELECT n FROM @t"), 1087);
    EXPECT_EQ(nativeErrorOf("SELECT @t"), 137);
    // The same name declared again starts empty.
    EXPECT_EQ(scalar("DECLARE @t TABLE (n int)\nSELECT COUNT(*) FROM @t").toInt64(), 0);
}

TEST_F(TableVariablesTest, shouldTakeUpdatesAndDeletes) {
    run("CREATE TABLE Origen (n int)");
    run("INSERT INTO Origen VALUES (1), (2), (3)");
    EXPECT_EQ(scalar("DECLARE @t TABLE (n int)\n"
                     "INSERT INTO @t SELECT n FROM Origen\n"
                     "UPDATE @t SET n = n * 10 WHERE n > 1\n"
                     "DELETE FROM @t WHERE n = 1\n"
                     "SELECT SUM(n) FROM @t")
                  .toInt64(),
              50);
}

} // namespace
} // namespace estaciones::db::sqlite::test
