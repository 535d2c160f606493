// Cursors where the corpus does not reach: their scopes across procedures,
// triggers and loops, what keyed cursors see of later changes, positioned
// changes, and the compile step of the batch.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class CursorsTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE fila (id int PRIMARY KEY, v varchar(10))");
        run("INSERT INTO fila VALUES (1, 'uno'), (2, 'dos'), (3, 'tres'), (4, 'cuatro')");
    }

    // The values of every row the batch's result sets hold, first column, in order.
    QStringList fetchedValues(const QString& batch) {
        QStringList values;
        for (const ResultSet& set : run(batch).resultSets) {
            for (const std::vector<Variant>& row : set.rows) {
                values << row.front().toString();
            }
        }
        return values;
    }
};

TEST_F(CursorsTest, shouldEndLocalCursorsWithTheirProcedureOrTrigger) {
    // Called twice: the second DECLARE would find the name taken (16915)
    // if the first call's cursor had outlived it.
    run("CREATE PROCEDURE Recorrer AS\n"
        "DECLARE @v varchar(10)\n"
        "DECLARE c CURSOR LOCAL FOR SELECT v FROM fila ORDER BY id\n"
        "OPEN c\n"
        "FETCH NEXT FROM c INTO @v\n"
        "SELECT @v");
    EXPECT_EQ(fetchedValues("EXEC Recorrer\nEXEC Recorrer"), QStringList({"uno", "uno"}));
    EXPECT_EQ(scalar("SELECT CURSOR_STATUS('local', 'c')").toInt64(), -3);

    run("CREATE TABLE registro (texto varchar(20))");
    run("CREATE TRIGGER alta ON fila AFTER INSERT AS\n"
        "DECLARE @v varchar(10)\n"
        "DECLARE t CURSOR LOCAL FOR SELECT v FROM inserted ORDER BY id\n"
        "OPEN t\n"
        "FETCH NEXT FROM t INTO @v\n"
        "WHILE @@FETCH_STATUS = 0\n"
        "BEGIN\n"
        "  INSERT INTO registro VALUES ('alta ' + @v)\n"
        "  FETCH NEXT FROM t INTO @v\n"
        "END");
    run("INSERT INTO fila VALUES (5, 'cinco'), (6, 'seis')");
    run("INSERT INTO fila VALUES (7, 'siete')");
    EXPECT_EQ(fetchedValues("SELECT texto FROM registro ORDER BY texto"),
              QStringList({"alta cinco", "alta seis", "alta siete"}));
}

TEST_F(CursorsTest, shouldKeepGlobalCursorsForTheConnection) {
    // Declared and opened in a procedure, fetched by the batches after it.
    run("CREATE PROCEDURE Preparar AS\n"
        "DECLARE compartido CURSOR GLOBAL SCROLL FOR SELECT v FROM fila ORDER BY id\n"
        "OPEN compartido");
    run("EXEC Preparar");
    EXPECT_EQ(fetchedValues("FETCH LAST FROM compartido"), QStringList({"cuatro"}));
    EXPECT_EQ(fetchedValues("FETCH PRIOR FROM compartido"), QStringList({"tres"}));
    EXPECT_EQ(nativeErrorOf("EXEC Preparar"), 16915);
    run("DEALLOCATE compartido");
    EXPECT_EQ(nativeErrorOf("FETCH NEXT FROM compartido"), 16916);
}

TEST_F(CursorsTest, shouldHandALocalCursorBackThroughAnOutputParameter) {
    // The procedure's name for it ends with the call; the caller's variable keeps it.
    run("CREATE PROCEDURE Entregar @c CURSOR VARYING OUTPUT AS\n"
        "DECLARE propio CURSOR LOCAL SCROLL FOR SELECT v FROM fila ORDER BY id\n"
        "SET @c = propio\n"
        "OPEN propio\n"
        "FETCH NEXT FROM propio");
    EXPECT_EQ(fetchedValues("DECLARE @recibido CURSOR\n"
                            "EXEC Entregar @c = @recibido OUTPUT\n"
                            "FETCH NEXT FROM @recibido\n"
                            "FETCH LAST FROM @recibido\n"
                            "SELECT CURSOR_STATUS('local', 'propio')"),
              QStringList({"uno", "dos", "cuatro", "-3"}));
}

TEST_F(CursorsTest, shouldFindTheNameTakenWhenADeclareInALoopIsMetAgain) {
    EXPECT_EQ(nativeErrorOf("DECLARE @i int = 0\n"
                            "WHILE @i < 2\nBEGIN\n"
                            "  DECLARE c CURSOR LOCAL FOR SELECT id FROM fila\n"
                            "  SET @i += 1\n"
                            "END"),
              16915);
    // With DEALLOCATE at the end of each turn the name is free again.
    EXPECT_EQ(scalar("DECLARE @i int = 0, @n int = 0, @id int\n"
                     "WHILE @i < 3\nBEGIN\n"
                     "  DECLARE c CURSOR LOCAL FOR SELECT id FROM fila WHERE id > @i\n"
                     "  OPEN c\n"
                     "  FETCH NEXT FROM c INTO @id\n"
                     "  SET @n += @id\n"
                     "  DEALLOCATE c\n"
                     "  SET @i += 1\n"
                     "END\n"
                     "SELECT @n")
                  .toInt64(),
              1 + 2 + 3);
}

TEST_F(CursorsTest, shouldPassOverRowsThatLeftADynamicResultSet) {
    // Deleted, or changed so that the WHERE no longer holds: not fetched.
    EXPECT_EQ(fetchedValues("DECLARE @v varchar(10)\n"
                            "DECLARE d CURSOR LOCAL DYNAMIC FOR\n"
                            "  SELECT v FROM fila WHERE v <> 'fuera' ORDER BY id\n"
                            "OPEN d\n"
                            "FETCH NEXT FROM d INTO @v\n"
                            "DELETE FROM fila WHERE id = 2\n"
                            "UPDATE fila SET v = 'fuera' WHERE id = 3\n"
                            "UPDATE fila SET v = 'CUATRO' WHERE id = 4\n"
                            "FETCH NEXT FROM d INTO @v\n"
                            "SELECT @v, @@FETCH_STATUS\n"
                            "FETCH PRIOR FROM d INTO @v\n"
                            "SELECT @v, @@FETCH_STATUS\n"
                            "FETCH RELATIVE 1 FROM d INTO @v\n"
                            "SELECT @v\n"
                            "FETCH NEXT FROM d INTO @v\n"
                            "SELECT @@FETCH_STATUS"),
              QStringList({"CUATRO", "uno", "CUATRO", "-1"}));
    EXPECT_EQ(nativeErrorOf("DECLARE d CURSOR LOCAL DYNAMIC FOR SELECT v FROM fila\n"
                            "OPEN d\n"
                            "FETCH ABSOLUTE 1 FROM d"),
              16925);
}

TEST_F(CursorsTest, shouldReadEachTableOfAJoinAgain) {
    run("CREATE TABLE nota (fila int PRIMARY KEY, texto varchar(10))");
    run("INSERT INTO nota VALUES (1, 'a'), (3, 'c')");
    // A keyset over an outer join: the changed row of either table is seen,
    // the row without a match keeps its NULL, and a deleted one is missing.
    const QStringList values =
        fetchedValues("DECLARE k CURSOR LOCAL KEYSET FOR\n"
                      "  SELECT f.v + '/' + ISNULL(n.texto, '-') FROM fila f\n"
                      "  LEFT JOIN nota n ON n.fila = f.id ORDER BY f.id\n"
                      "OPEN k\n"
                      "UPDATE nota SET texto = 'A' WHERE fila = 1\n"
                      "UPDATE fila SET v = 'DOS' WHERE id = 2\n"
                      "DELETE FROM nota WHERE fila = 3\n"
                      "FETCH NEXT FROM k\n"
                      "FETCH NEXT FROM k\n"
                      "FETCH NEXT FROM k\n"
                      "SELECT @@FETCH_STATUS");
    EXPECT_EQ(values, QStringList({"uno/A", "DOS/-", "-2"}));
}

TEST_F(CursorsTest, shouldSeeTheChangesToTableVariablesAndTemporaryTables) {
    EXPECT_EQ(fetchedValues("DECLARE @t TABLE (n int PRIMARY KEY, w varchar(5))\n"
                            "INSERT INTO @t VALUES (1, 'x'), (2, 'y')\n"
                            "CREATE TABLE #temporal (n int, w varchar(5))\n"
                            "INSERT INTO #temporal VALUES (1, 'p')\n"
                            "DECLARE a CURSOR LOCAL FOR SELECT w FROM @t ORDER BY n\n"
                            "DECLARE b CURSOR LOCAL FOR SELECT w FROM #temporal\n"
                            "OPEN a\n"
                            "OPEN b\n"
                            "UPDATE @t SET w = 'Y' WHERE n = 2\n"
                            "UPDATE #temporal SET w = 'P'\n"
                            "FETCH NEXT FROM a\n"
                            "FETCH NEXT FROM a\n"
                            "FETCH NEXT FROM b\n"
                            "UPDATE @t SET w = 'z' WHERE CURRENT OF a\n"
                            "SELECT w FROM @t WHERE n = 2"),
              QStringList({"x", "Y", "P", "z"}));
}

TEST_F(CursorsTest, shouldCopyTheRowsOfQueriesThatCannotBeReadAgain) {
    // Grouped rows have no row of a table behind them: a static copy, as the
    // server converts such cursors, so it takes no positioned change.
    EXPECT_EQ(fetchedValues("DECLARE g CURSOR LOCAL KEYSET FOR\n"
                            "  SELECT COUNT(*) FROM fila GROUP BY id % 2 ORDER BY 1\n"
                            "OPEN g\n"
                            "DELETE FROM fila\n"
                            "FETCH NEXT FROM g\n"
                            "SELECT @@CURSOR_ROWS"),
              QStringList({"2", "2"}));
    // A keyset needs a unique index on every table: over a table without
    // one it is a copy too, in a temporary table as in a table variable.
    EXPECT_EQ(fetchedValues("CREATE TABLE #montón (n int, w varchar(5))\n"
                            "INSERT INTO #montón VALUES (1, 'a')\n"
                            "DECLARE @t TABLE (n int UNIQUE, w varchar(5))\n"
                            "INSERT INTO @t VALUES (1, 'b')\n"
                            "DECLARE m CURSOR LOCAL KEYSET FOR SELECT w FROM #montón\n"
                            "DECLARE u CURSOR LOCAL KEYSET FOR SELECT w FROM @t\n"
                            "OPEN m\n"
                            "OPEN u\n"
                            "UPDATE #montón SET w = 'A'\n"
                            "UPDATE @t SET w = 'B'\n"
                            "FETCH NEXT FROM m\n"
                            "FETCH NEXT FROM u"),
              QStringList({"a", "B"}));
    // A catalogue view is read whole, not as the user's table of the same name.
    run("CREATE TABLE tables (id int PRIMARY KEY)");
    EXPECT_EQ(fetchedValues("DECLARE s CURSOR LOCAL FOR\n"
                            "  SELECT name FROM sys.tables WHERE name IN ('fila', 'tables') ORDER BY name\n"
                            "OPEN s\n"
                            "FETCH NEXT FROM s\n"
                            "FETCH NEXT FROM s"),
              QStringList({"fila", "tables"}));
    EXPECT_EQ(nativeErrorOf("DECLARE g CURSOR LOCAL FOR SELECT DISTINCT v FROM fila\n"
                            "OPEN g\n"
                            "FETCH NEXT FROM g\n"
                            "DELETE FROM fila WHERE CURRENT OF g"),
              16929);
}

TEST_F(CursorsTest, shouldRefusePositionedChangesTheCursorDoesNotAllow) {
    run("CREATE TABLE otra (id int)");
    const QString declare = "DECLARE u CURSOR LOCAL FOR SELECT id, v FROM fila FOR UPDATE OF v\n"
                            "OPEN u\n";
    EXPECT_EQ(nativeErrorOf(declare + "UPDATE fila SET v = 'x' WHERE CURRENT OF u"), 16930);
    EXPECT_EQ(nativeErrorOf(declare + "FETCH NEXT FROM u\nUPDATE fila SET id = 9 WHERE CURRENT OF u"),
              16932);
    EXPECT_EQ(nativeErrorOf(declare + "FETCH NEXT FROM u\nDELETE FROM otra WHERE CURRENT OF u"),
              16933);
    EXPECT_EQ(nativeErrorOf("UPDATE fila SET v = 'x' WHERE CURRENT OF nadie"), 16916);
    EXPECT_EQ(nativeErrorOf("DECLARE r SCROLL CURSOR FOR SELECT id FROM fila FOR READ ONLY\n"
                            "OPEN r\n"
                            "FETCH NEXT FROM r\n"
                            "DELETE FROM fila WHERE CURRENT OF r\n"
                            "DEALLOCATE r"),
              16929);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM fila WHERE v = 'x' OR id = 9").toInt64(), 0);
    // The column of FOR UPDATE OF can be changed, by a keyset cursor too.
    run("DECLARE k CURSOR LOCAL KEYSET FOR SELECT id, v FROM fila ORDER BY id FOR UPDATE OF v\n"
        "OPEN k\n"
        "FETCH LAST FROM k\n"
        "UPDATE fila SET v = 'ultimo' WHERE CURRENT OF k");
    EXPECT_EQ(scalar("SELECT v FROM fila WHERE id = 4").toString(), "ultimo");
}

TEST_F(CursorsTest, shouldCompileTheCursorsQueryWithTheBatch) {
    // The missing column stops the batch before the procedure it calls first runs.
    run("CREATE TABLE marca (n int)");
    run("CREATE PROCEDURE Marcar AS INSERT INTO marca VALUES (1)");
    EXPECT_EQ(nativeErrorOf("EXEC Marcar\n"
                            "DECLARE c CURSOR LOCAL FOR SELECT no_existe FROM fila"),
              207);
    EXPECT_EQ(nativeErrorOf("EXEC Marcar\n"
                            "DECLARE @c CURSOR\n"
                            "SET @c = CURSOR FOR SELECT no_existe FROM fila"),
              207);
    EXPECT_EQ(nativeErrorOf("EXEC Marcar\n"
                            "DECLARE c CURSOR LOCAL FOR SELECT id FROM fila\n"
                            "FETCH NEXT FROM c INTO @sin_declarar"),
              137);
    // Two kinds, or the two forms mixed, do not read.
    for (const char* declare : {"DECLARE c CURSOR LOCAL STATIC KEYSET FOR SELECT id FROM fila",
                                "DECLARE c SCROLL CURSOR LOCAL FOR SELECT id FROM fila",
                                "DECLARE c CURSOR FOR SELECT id FROM fila FOR UPDATE OF"}) {
        const int number = nativeErrorOf(QStringLiteral("EXEC Marcar\n") + declare);
        EXPECT_TRUE(number == 102 || number == 156) << declare << ": " << number;
    }
    EXPECT_EQ(nativeErrorOf("EXEC Marcar\n"
                            "DECLARE c CURSOR FAST_FORWARD SCROLL FOR SELECT id FROM fila"),
              1048);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM marca").toInt64(), 0);
}

TEST_F(CursorsTest, shouldKeepPagingQueriesWhole) {
    // FETCH starts a statement, except in ORDER BY ... OFFSET n ROWS FETCH NEXT.
    EXPECT_EQ(fetchedValues("SELECT v FROM fila ORDER BY id OFFSET 1 ROWS FETCH NEXT 2 ROWS ONLY\n"
                            "DECLARE c CURSOR LOCAL FOR\n"
                            "  SELECT v FROM fila ORDER BY id OFFSET 3 ROWS FETCH NEXT 1 ROW ONLY\n"
                            "OPEN c\n"
                            "FETCH NEXT FROM c"),
              QStringList({"dos", "tres", "cuatro"}));
}

TEST_F(CursorsTest, shouldGoWithItsLastReference) {
    // @@CURSOR_ROWS tells of the cursor opened last while it lives.
    EXPECT_EQ(fetchedValues("DECLARE @c CURSOR\n"
                            "DECLARE s CURSOR GLOBAL STATIC FOR SELECT v FROM fila\n"
                            "OPEN s\n"
                            "SET @c = s\n"
                            "DEALLOCATE s\n"
                            "SELECT @@CURSOR_ROWS\n"
                            "DEALLOCATE @c\n"
                            "SELECT @@CURSOR_ROWS"),
              QStringList({"4", "0"}));
    EXPECT_EQ(nativeErrorOf("DECLARE @c CURSOR\nFETCH NEXT FROM @c"), 16950);
    EXPECT_EQ(nativeErrorOf("DECLARE @c CURSOR\nSET @c = nadie"), 16916);
}

TEST_F(CursorsTest, shouldTakeTheCallersParametersAtDeclare) {
    // Each '?' takes the next value, in the order of the batch's text.
    const ExecutionResult result = run("DECLARE c CURSOR LOCAL FOR SELECT v FROM fila WHERE id > ? ORDER BY id\n"
                                       "SELECT ?\n"
                                       "OPEN c\n"
                                       "FETCH NEXT FROM c",
                                       {Variant(2), Variant(QStringLiteral("luego"))});
    ASSERT_EQ(result.resultSets.size(), 2u);
    EXPECT_EQ(result.resultSets[0].rows.front().front().toString(), "luego");
    EXPECT_EQ(result.resultSets[1].rows.front().front().toString(), "tres");
}

TEST_F(CursorsTest, shouldRefuseReadingAKeyedCursorInAnotherDatabase) {
    run("CREATE DATABASE OTRA");
    run("USE OTRA\nCREATE TABLE fila (id int PRIMARY KEY, v varchar(10))\n"
        "INSERT INTO fila VALUES (1, 'ajena')\nUSE PRUEBA");
    run("DECLARE k CURSOR GLOBAL KEYSET FOR SELECT v FROM fila ORDER BY id\n"
        "DECLARE s CURSOR GLOBAL STATIC FOR SELECT v FROM fila ORDER BY id\n"
        "OPEN k\nOPEN s");
    // A copy is the same wherever it is read; row ids belong to their database.
    EXPECT_EQ(nativeErrorOf("USE OTRA\nFETCH NEXT FROM k"), 40517);
    EXPECT_EQ(fetchedValues("USE OTRA\nFETCH NEXT FROM s"), QStringList({"uno"}));
    EXPECT_EQ(fetchedValues("USE PRUEBA\nFETCH NEXT FROM k"), QStringList({"uno"}));
}

TEST_F(CursorsTest, shouldLeaveACursorWhoseQueryFailedClosed) {
    EXPECT_EQ(fetchedValues("DECLARE c CURSOR LOCAL STATIC FOR SELECT 1 / (id - 2) FROM fila\n"
                            "BEGIN TRY\n"
                            "  OPEN c\n"
                            "END TRY\n"
                            "BEGIN CATCH\n"
                            "  SELECT ERROR_NUMBER()\n"
                            "END CATCH\n"
                            "SELECT CURSOR_STATUS('local', 'c')"),
              QStringList({"8134", "-1"}));
}

} // namespace
} // namespace estaciones::db::sqlite::test
