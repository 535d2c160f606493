// Procedure calls as the server makes them: OUTPUT parameters and return
// status, argument binding, nesting levels, dynamic SQL, INSERT ... EXEC and
// the ways a procedure is created and changed.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using ProceduresTest = EmbeddedFixture;

TEST_F(ProceduresTest, ReturnStatusAndOutputParametersReachTheCaller) {
    run("CREATE PROCEDURE p @a int, @b int OUTPUT AS\n"
        "SET @b = @a * 10\n"
        "RETURN @a + 1");
    const auto both = rows("DECLARE @r int, @out int\n"
                           "EXEC @r = p @a = 1, @b = @out OUTPUT\n"
                           "SELECT @r, @out");
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0][0].toInt32(), 2);
    EXPECT_EQ(both[0][1].toInt32(), 10);

    // Positional, and without OUTPUT at the call the value stays the caller's.
    const auto positional = rows("DECLARE @out int = 7, @kept int = 7\n"
                                 "EXEC p 4, @out OUTPUT\n"
                                 "EXEC p 5, @kept\n"
                                 "SELECT @out, @kept");
    EXPECT_EQ(positional[0][0].toInt32(), 40);
    EXPECT_EQ(positional[0][1].toInt32(), 7);

    // An OUTPUT parameter is also an input: the procedure sees the caller's value.
    run("CREATE PROCEDURE doblar @v int OUTPUT AS SET @v = @v * 2");
    EXPECT_EQ(scalar("DECLARE @v int = 21 EXEC doblar @v OUTPUT SELECT @v").toInt32(), 42);
}

TEST_F(ProceduresTest, ReturnWithoutValueGivesZeroAndEndsTheProcedure) {
    run("CREATE TABLE Log (n int)");
    run("CREATE PROCEDURE q @x int AS\n"
        "IF @x > 0 RETURN 5\n"
        "INSERT INTO Log VALUES (@x)\n"
        "RETURN\n"
        "INSERT INTO Log VALUES (99)");
    const auto statuses = rows("DECLARE @a int = -1, @b int = -1\n"
                               "EXEC @a = q 1\n"
                               "EXEC @b = q 0\n"
                               "SELECT @a, @b");
    EXPECT_EQ(statuses[0][0].toInt32(), 5);
    EXPECT_EQ(statuses[0][1].toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Log").toInt32(), 1);
    EXPECT_EQ(nativeErrorOf("RETURN 3"), 178);
}

TEST_F(ProceduresTest, ArgumentMistakesAreTheServersErrors) {
    run("CREATE PROCEDURE r @a int, @b int = 2, @c int OUTPUT AS SET @c = @a + @b");
    EXPECT_EQ(scalar("DECLARE @c int EXEC r @c = @c OUTPUT, @a = 1 SELECT @c").toInt32(), 3);
    EXPECT_EQ(nativeErrorOf("DECLARE @c int EXEC r @a = 1, 2, @c OUTPUT"), 119);
    EXPECT_EQ(nativeErrorOf("DECLARE @c int EXEC r @a = 1, @zz = 2, @c = @c OUTPUT"), 8145);
    EXPECT_EQ(nativeErrorOf("DECLARE @x int, @c int EXEC r @x OUTPUT, 2, @c OUTPUT"), 8162);
    EXPECT_EQ(nativeErrorOf("EXEC r 1, 2, 3 OUTPUT"), 179);
    EXPECT_EQ(nativeErrorOf("EXEC r @b = 1"), 201);
}

TEST_F(ProceduresTest, NestingLevelsOfCallsAndDynamicSql) {
    run("CREATE PROCEDURE interior AS SELECT @@NESTLEVEL AS [Inner Level]");
    run("CREATE PROCEDURE exterior AS\n"
        "SELECT @@NESTLEVEL AS [Outer Level]\n"
        "EXEC interior\n"
        "EXEC ('SELECT @@NESTLEVEL AS OneGreater')\n"
        "EXEC sp_executesql N'SELECT @@NESTLEVEL AS TwoGreater'");
    const ExecutionResult result = run("SELECT @@NESTLEVEL EXEC exterior");
    ASSERT_EQ(result.resultSets.size(), 5u);
    const int expected[] = {0, 1, 2, 2, 3};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(result.resultSets[i].rows[0][0].toInt32(), expected[i]) << i;
    }
    run("CREATE PROCEDURE sinFin AS EXEC sinFin");
    EXPECT_EQ(nativeErrorOf("EXEC sinFin"), 217);
}

TEST_F(ProceduresTest, SpExecuteSqlTakesAParameterListWithOutput) {
    run("CREATE TABLE Precios (Articulo varchar(10), Nivel int)");
    run("INSERT INTO Precios VALUES ('a', 1), ('b', 2), ('c', 2), ('zz', 3)");
    const auto found = rows("DECLARE @max varchar(10), @cuantos int\n"
                            "DECLARE @sql nvarchar(500) = N'SELECT @maxOUT = MAX(Articulo), "
                            "@n = COUNT(*) FROM Precios WHERE Nivel = @level'\n"
                            "EXECUTE sp_executesql @sql, N'@level tinyint, @maxOUT varchar(10) "
                            "OUTPUT, @n int OUTPUT', @level = 2, @maxOUT = @max OUTPUT, "
                            "@n = @cuantos OUTPUT\n"
                            "SELECT @max, @cuantos");
    EXPECT_EQ(found[0][0].toString(), "c");
    EXPECT_EQ(found[0][1].toInt32(), 2);
    EXPECT_EQ(scalar("EXEC sp_executesql N'SELECT @a + @b', N'@a int, @b int', 3, 4").toInt32(), 7);
    EXPECT_EQ(scalar("EXEC sp_executesql @stmt = N'SELECT @a - @b', @params = N'@a int, @b int', "
                     "@b = 3, @a = 4")
                  .toInt32(),
              1);
}

TEST_F(ProceduresTest, ExecOfATextIsABatchOfItsOwn) {
    run("CREATE TABLE T (n int)");
    EXPECT_EQ(scalar("DECLARE @tabla sysname = 'T', @n varchar(5) = '4'\n"
                     "EXEC ('INSERT INTO ' + @tabla + ' VALUES (' + @n + ')')\n"
                     "SELECT n FROM T")
                  .toInt32(),
              4);
    // Its variables are its own, and so are its SET options.
    EXPECT_EQ(nativeErrorOf("DECLARE @n int = 1 EXEC ('SELECT @n')"), 137);
    EXPECT_EQ(run("EXEC ('SET NOCOUNT ON') INSERT INTO T VALUES (5)").rowsAffected, 1);
    // A procedure named by a variable.
    run("CREATE PROCEDURE cinco AS RETURN 5");
    EXPECT_EQ(scalar("DECLARE @p sysname = 'cinco', @r int EXEC @r = @p SELECT @r").toInt32(), 5);
}

TEST_F(ProceduresTest, InsertExecStoresTheRowsOfEveryResultSet) {
    run("CREATE TABLE Origen (id int, nombre varchar(20))");
    run("INSERT INTO Origen VALUES (1, 'uno'), (2, 'dos'), (3, 'tres')");
    run("CREATE TABLE Destino (id int, nombre varchar(20))");
    run("CREATE PROCEDURE listar @desde int AS\n"
        "SELECT id, nombre FROM Origen WHERE id >= @desde\n"
        "SELECT 10, 'diez'");
    const ExecutionResult inserted = run("INSERT INTO Destino (id, nombre) EXEC listar 2");
    EXPECT_TRUE(inserted.resultSets.empty());
    EXPECT_EQ(inserted.rowsAffected, 3);
    const auto stored = rows("SELECT id, nombre FROM Destino ORDER BY id");
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0][1].toString(), "dos");
    EXPECT_EQ(stored[2][0].toInt32(), 10);

    run("INSERT INTO Destino EXEC ('SELECT 20, ''veinte''')");
    run("INSERT Destino EXEC sp_executesql N'SELECT @i, ''x''', N'@i int', 30");
    EXPECT_EQ(scalar("SELECT SUM(id) FROM Destino").toInt32(), 65);

    run("CREATE PROCEDURE anidado AS INSERT INTO Destino EXEC listar 1");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Destino EXEC anidado"), 8164);
}

TEST_F(ProceduresTest, AlterAndCreateOrAlterReplaceTheBody) {
    EXPECT_EQ(nativeErrorOf("ALTER PROCEDURE falta AS SELECT 1"), 208);
    EXPECT_EQ(nativeErrorOf("EXEC falta"), 2812);
    run("CREATE PROCEDURE v AS SELECT 1");
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE v AS SELECT 2"), 2714);
    run("ALTER PROCEDURE v @x int = 2 AS SELECT @x");
    EXPECT_EQ(scalar("EXEC v").toInt32(), 2);
    run("CREATE OR ALTER PROCEDURE v AS\nSELECT 3\nSELECT 4");
    EXPECT_EQ(run("EXEC v").resultSets.size(), 2u);
    run("CREATE OR ALTER PROC nueva (@y int) AS SELECT @y * 2");
    EXPECT_EQ(scalar("EXEC nueva 21").toInt32(), 42);
}

} // namespace estaciones::db::sqlite::test
