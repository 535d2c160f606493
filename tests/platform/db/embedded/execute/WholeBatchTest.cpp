// A batch is parsed and compiled whole before any of it runs; names of
// tables that do not exist yet are resolved when their statement runs.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class WholeBatchTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Marcas (Id int PRIMARY KEY, Nombre varchar(20))");
    }

    int marcas() { return scalar("SELECT COUNT(*) FROM Marcas").toInt32(); }
};

} // namespace

TEST_F(WholeBatchTest, AnErrorFoundWhileCompilingRunsNothing) {
    const std::vector<std::pair<QString, int>> batches{
        // a syntax error in the third statement
        {"INSERT INTO Marcas VALUES (1, 'a')\nINSERT INTO Marcas VALUES (2, 'b')\n"
         "SELECT * FROM Marcas WHERE",
         102},
        {"INSERT INTO Marcas VALUES (1, 'a')\nINSERT INTO Marcas VALUES (2, 'b')\n"
         "SELECT * FROM FROM Marcas",
         156},
        // a column missing from a table that exists, even in a branch never taken
        {"INSERT INTO Marcas VALUES (1, 'a')\nINSERT INTO Marcas VALUES (2, 'b')\n"
         "UPDATE Marcas SET Color = 'rojo'",
         207},
        {"INSERT INTO Marcas VALUES (1, 'a')\nIF 1 = 0 SELECT Color FROM Marcas", 207},
        {"INSERT INTO Marcas VALUES (1, 'a')\nIF EXISTS (SELECT Color FROM Marcas) PRINT 'x'",
         207},
        {"INSERT INTO Marcas VALUES (1, 'a')\nBEGIN TRY SELECT Color FROM Marcas END TRY\n"
         "BEGIN CATCH SELECT 1 END CATCH",
         207},
        // a variable used above its declaration
        {"INSERT INTO Marcas VALUES (1, 'a')\nSET @n = 1\nDECLARE @n int", 137},
        {"INSERT INTO Marcas VALUES (1, 'a')\nINSERT INTO Marcas VALUES (@id, 'b')", 137},
        // CREATE VIEW / PROCEDURE take the whole batch
        {"INSERT INTO Marcas VALUES (1, 'a')\nCREATE VIEW V AS SELECT * FROM Marcas", 111},
        {"INSERT INTO Marcas VALUES (1, 'a')\nCREATE PROCEDURE P AS SELECT 1", 111},
    };
    for (const auto& [batch, expected] : batches) {
        EXPECT_EQ(nativeErrorOf(batch), expected) << batch.toStdString();
        EXPECT_EQ(marcas(), 0) << batch.toStdString();
    }
    ASSERT_EQ(nativeErrorOf("INSERT INTO Marcas VALUES (1, 'a')\n\n  UPDATE Marcas SET Color = 1"),
              207);
    EXPECT_EQ(lastFailure.front().line, 3);
    EXPECT_EQ(lastFailure.front().description.toStdString(), "Invalid column name 'Color'.");
}

TEST_F(WholeBatchTest, AMissingTableIsResolvedWhenItsStatementRunsAndEndsTheBatch) {
    EXPECT_EQ(nativeErrorOf("INSERT INTO Marcas VALUES (1, 'a')\n"
                            "INSERT INTO Marcas VALUES (2, 'b')\n"
                            "INSERT INTO Colores VALUES (3)\n"
                            "INSERT INTO Marcas VALUES (4, 'd')"),
              208);
    EXPECT_EQ(lastFailure.front().description.toStdString(), "Invalid object name 'Colores'.");
    EXPECT_EQ(lastFailure.front().line, 3);
    EXPECT_EQ(marcas(), 2);

    // A TRY block of the same level does not catch it; the batch still ends.
    EXPECT_EQ(nativeErrorOf("BEGIN TRY SELECT * FROM Colores END TRY\n"
                            "BEGIN CATCH INSERT INTO Marcas VALUES (5, 'e') END CATCH\n"
                            "INSERT INTO Marcas VALUES (6, 'f')"),
              208);
    EXPECT_EQ(marcas(), 2);

    // A procedure's missing table reaches the CATCH block of its caller.
    run("CREATE PROCEDURE LeeColores AS SELECT * FROM Colores");
    EXPECT_EQ(scalar("BEGIN TRY EXEC LeeColores END TRY\n"
                     "BEGIN CATCH SELECT ERROR_NUMBER() END CATCH")
                  .toInt32(),
              208);
}

TEST_F(WholeBatchTest, AProcedureIsCompiledWhenItIsCreated) {
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE Mala AS\nSELECT 1\nSELECT * FROM FROM Marcas"), 156);
    EXPECT_EQ(lastFailure.front().line, 3);
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE Mala @Id int AS UPDATE Marcas SET Color = @Id"), 207);
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE Mala @Id int AS SELECT @Otro"), 137);
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE Mala AS\nBEGIN\n  SELECT 1\n  ELSE"), 156);
    EXPECT_EQ(lastFailure.front().line, 4);
    EXPECT_EQ(nativeErrorOf("EXEC Mala"), 2812); // none of them was kept
    // Tables it makes or that do not exist yet are resolved when it runs.
    EXPECT_EQ(nativeErrorOf("CREATE PROCEDURE Buena @Id int AS\n"
                            "DECLARE @n int = @Id\n"
                            "CREATE TABLE #t (n int) INSERT INTO #t VALUES (@n)\n"
                            "SELECT n FROM #t UNION ALL SELECT Id FROM Futura"),
              0);
}

TEST_F(WholeBatchTest, TablesMadeByTheBatchAndVariablesDeclaredAboveCompile) {
    const auto result = rows("DECLARE @n int = 3\n"
                             "CREATE TABLE Colores (Id int, Nombre varchar(10))\n"
                             "INSERT INTO Colores VALUES (@n, 'rojo')\n"
                             "SELECT Id, Nombre FROM Colores");
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0][0].toInt32(), 3);
    // Procedure parameters named in a call are not variables of the batch.
    run("CREATE PROCEDURE Alta @Id int, @Nombre varchar(20) AS "
        "INSERT INTO Marcas VALUES (@Id, @Nombre)");
    run("DECLARE @x int = 7 EXEC Alta @Id = @x, @Nombre = 'g'");
    EXPECT_EQ(marcas(), 1);
    // A statement after USE belongs to the other database.
    run("CREATE DATABASE OTRA");
    run("USE OTRA CREATE TABLE Marcas (Id int, Color varchar(5))");
    run("USE PRUEBA");
    EXPECT_EQ(rows("USE OTRA SELECT Color FROM Marcas").size(), 0u);
}

} // namespace estaciones::db::sqlite::test

namespace estaciones::db::sqlite::test {

// A table of another database is never read or changed in this one under
// its own name: the batch is refused whole, naming that database. The
// current database's own name, tempdb's and master's server-wide views pass.
TEST_F(WholeBatchTest, ANameOfAnotherDatabaseIsRefusedNotReadHere) {
    run("CREATE DATABASE OTRA");
    run("USE OTRA CREATE TABLE Marcas (Id int, Nombre varchar(20)) INSERT INTO Marcas VALUES (9, "
        "'otra')");
    run("USE PRUEBA");
    run("CREATE PROCEDURE Alta AS INSERT INTO Marcas VALUES (5, 'aqui')");
    for (const QString batch :
         {QStringLiteral("INSERT INTO Marcas VALUES (1, 'a')\nSELECT Nombre FROM OTRA.dbo.Marcas"),
          QStringLiteral("INSERT INTO Marcas VALUES (1, 'a')\nDELETE FROM OTRA..Marcas"),
          QStringLiteral("INSERT INTO OTRA.dbo.Marcas VALUES (1, 'a')"),
          QStringLiteral("SELECT COUNT(*) FROM [OTRA].[sys].[objects]"),
          QStringLiteral("EXEC OTRA.dbo.Alta"), QStringLiteral("EXEC OTRA..Alta")}) {
        SCOPED_TRACE(batch.toStdString());
        EXPECT_EQ(nativeErrorOf(batch), 40517);
        EXPECT_EQ(marcas(), 0);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRUEBA.dbo.Marcas").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM master.sys.databases WHERE name = 'OTRA'").toInt32(), 1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM PRUEBA.INFORMATION_SCHEMA.TABLES WHERE TABLE_NAME = "
                     "'Marcas'")
                  .toInt32(),
              1);
    // A column named by schema, table and column is no other database.
    EXPECT_EQ(rows("SELECT dbo.Marcas.Id FROM dbo.Marcas").size(), 0u);
    run("EXEC PRUEBA.dbo.Alta");
    EXPECT_EQ(marcas(), 1);
}

} // namespace estaciones::db::sqlite::test

namespace estaciones::db::sqlite::test {

// SQLite's own statements, tables and pragmas, and the engine's own tables
// and functions, are names the server does not know: a script cannot make
// the file unreadable (PRAGMA user_version), turn the constraints off
// (PRAGMA foreign_keys) or drop the engine's catalogue.
TEST_F(WholeBatchTest, TheFileUnderTheDialectIsOutOfReach) {
    const std::vector<std::pair<QString, std::vector<int>>> batches{
        {"SELECT 1\nPRAGMA user_version = 7", {102, 156}},
        {"SELECT 1; PRAGMA foreign_keys = OFF", {102}},
        {"DROP TABLE estaciones_procedimientos", {208}},
        {"SELECT tsql_convert('int', '1')", {195}},
        {"EXEC ('PRAGMA user_version = 9')", {102}},
        {"EXEC sp_executesql N'ATTACH ''otra.db'' AS otra'", {102}},
    };
    for (const auto& [batch, numbers] : batches) {
        SCOPED_TRACE(batch.toStdString());
        const int number = nativeErrorOf(batch);
        EXPECT_NE(std::find(numbers.begin(), numbers.end(), number), numbers.end()) << number;
    }
    // The file still opens as it was, its constraints on.
    run("CREATE TABLE Modelos (Id int PRIMARY KEY, Marca int REFERENCES Marcas (Id))");
    EXPECT_EQ(nativeErrorOf("INSERT INTO Modelos VALUES (1, 99)"), 547);
    // A column or alias of such a name is the user's own.
    EXPECT_EQ(scalar("SELECT COUNT(*) AS tsql_total FROM Marcas").toInt32(), 0);
}

} // namespace estaciones::db::sqlite::test
