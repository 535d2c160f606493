// SQLite's failures reported with SQL Server's native numbers, SQLSTATEs,
// texts and the ADO numbers the callers test.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/db/embedded/errors/SqlServerErrors.h"

namespace estaciones::db::sqlite::test {

namespace {

class ErrorMappingTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Familias (Codigo varchar(10) NOT NULL PRIMARY KEY, Nombre varchar(20))\n"
            "CREATE TABLE Articulos (Codigo varchar(10) NOT NULL PRIMARY KEY,\n"
            "  Descripcion varchar(5) NOT NULL,\n"
            "  Familia varchar(10) NULL REFERENCES Familias(Codigo))\n"
            "INSERT INTO Familias VALUES ('F1', 'Frutas')\n"
            "INSERT INTO Articulos VALUES ('A1', 'Pera', 'F1')");
    }

    // The first record of the failure of `batch`; fails the test when it succeeds.
    ProviderError failureOf(const QString& batch) {
        if (nativeErrorOf(batch) == 0 || lastFailure.empty()) {
            ADD_FAILURE() << "succeeded: " << batch.toStdString();
            return {};
        }
        return lastFailure.front();
    }

    int articleCount() { return scalar("SELECT COUNT(*) FROM Articulos").toInt32(); }
};

} // namespace

TEST_F(ErrorMappingTest, MissingObjectsAndColumns) {
    const ProviderError table = failureOf("SELECT * FROM dbo.NoExiste");
    EXPECT_EQ(table.nativeError, 208);
    EXPECT_EQ(table.description, "Invalid object name 'NoExiste'.");
    EXPECT_EQ(table.sqlState, "42S02");
    EXPECT_EQ(table.number, errnum::NoSuchTable);

    const ProviderError column = failureOf("SELECT Precio FROM Articulos");
    EXPECT_EQ(column.nativeError, 207);
    EXPECT_EQ(column.description, "Invalid column name 'Precio'.");
    EXPECT_EQ(column.sqlState, "42S22");
    EXPECT_EQ(column.number, errnum::CommandError);
}

// An aggregate of the engine's own that SQLite cannot run over a window is
// named as the statement wrote it, never as the engine's function.
TEST_F(ErrorMappingTest, AFunctionThatTakesNoOverClause) {
    const ProviderError error = failureOf("SELECT STRING_AGG(Codigo, ',') OVER () FROM Articulos");
    EXPECT_EQ(error.nativeError, 4113);
    EXPECT_EQ(error.description, "The function 'STRING_AGG' is not a valid windowing function, "
                                 "and cannot be used with the OVER clause.");
}

TEST_F(ErrorMappingTest, ObjectsThatExistAlready) {
    const ProviderError table = failureOf("CREATE TABLE Articulos (x int)");
    EXPECT_EQ(table.nativeError, 2714);
    EXPECT_EQ(table.description, "There is already an object named 'Articulos' in the database.");
    EXPECT_EQ(table.sqlState, "42S01");

    run("CREATE INDEX IX_Desc ON Articulos (Descripcion)");
    EXPECT_EQ(failureOf("CREATE INDEX IX_Desc ON Articulos (Familia)").nativeError, 1913);

    run("CREATE PROCEDURE Nada AS SELECT 1");
    EXPECT_EQ(failureOf("CREATE PROCEDURE Nada AS SELECT 2").nativeError, 2714);
}

TEST_F(ErrorMappingTest, IntegrityViolationsChangeNothing) {
    const ProviderError duplicate = failureOf("INSERT INTO Articulos VALUES ('A1', 'Otra', 'F1')");
    EXPECT_EQ(duplicate.nativeError, 2627);
    // The key was declared without a name: the server makes one up as PK__<table>__<hex>.
    EXPECT_TRUE(duplicate.description.startsWith("Violation of PRIMARY KEY constraint "
                                                 "'PK__Articulo__"))
        << duplicate.description.toStdString();
    EXPECT_TRUE(
        duplicate.description.endsWith("'. Cannot insert duplicate key in object "
                                       "'dbo.Articulos'. The duplicate key value is (A1)."));
    EXPECT_EQ(duplicate.sqlState, "23000");
    EXPECT_EQ(duplicate.number, errnum::IntegrityViolation);

    const ProviderError null = failureOf("INSERT INTO Articulos (Codigo) VALUES ('A2')");
    EXPECT_EQ(null.nativeError, 515);
    EXPECT_EQ(null.description,
              "Cannot insert the value NULL into column 'Descripcion', table "
              "'PRUEBA.dbo.Articulos'; column does not allow nulls. INSERT fails.");

    const ProviderError foreign = failureOf("INSERT INTO Articulos VALUES ('A3', 'Uva', 'F9')");
    EXPECT_EQ(foreign.nativeError, 547);
    EXPECT_EQ(foreign.sqlState, "23000");

    const ProviderError truncated = failureOf("UPDATE Articulos SET Descripcion = 'Manzana'");
    EXPECT_EQ(truncated.nativeError, 8152);
    EXPECT_EQ(truncated.description, "String or binary data would be truncated.");
    EXPECT_EQ(truncated.sqlState, "22001");
    EXPECT_EQ(truncated.number, errnum::hresult(0x80040E57u));

    EXPECT_EQ(articleCount(), 1);
    EXPECT_EQ(scalar("SELECT Descripcion FROM Articulos").toString(), "Pera");
}

TEST_F(ErrorMappingTest, StatementErrorsLetTheBatchGoOnAndAreAllReported) {
    EXPECT_EQ(nativeErrorOf("INSERT INTO Articulos VALUES ('A1', 'Dup', 'F1')\n"
                            "INSERT INTO Articulos VALUES ('A2', 'Kiwi', 'F1')\n"
                            "INSERT INTO Articulos VALUES ('A3', NULL, 'F1')"),
              2627);
    ASSERT_EQ(lastFailure.size(), 2u);
    EXPECT_EQ(lastFailure[1].nativeError, 515);
    EXPECT_EQ(articleCount(), 2);
}

TEST_F(ErrorMappingTest, NameAndSyntaxErrorsEndTheBatch) {
    EXPECT_EQ(
        nativeErrorOf("SELECT * FROM NoExiste\nINSERT INTO Articulos VALUES ('A2', 'Kiwi', 'F1')"),
        208);
    EXPECT_EQ(articleCount(), 1);
    const ProviderError syntax = failureOf("SELECT * FROM Articulos WHERE");
    EXPECT_TRUE(syntax.nativeError == 102 || syntax.nativeError == 156) << syntax.nativeError;
    EXPECT_EQ(syntax.sqlState, "42000");
    EXPECT_EQ(syntax.number, errnum::CommandError);
    EXPECT_EQ(failureOf("SELECT * FROM Articulos WHERE Codigo = 'A1' END").nativeError, 156);
}

TEST_F(ErrorMappingTest, DroppingWhatDoesNotExist) {
    const ProviderError table = failureOf("DROP TABLE NoExiste");
    EXPECT_EQ(table.nativeError, 3701);
    EXPECT_EQ(table.description, "Cannot drop the table 'NoExiste', because it does not exist or "
                                 "you do not have permission.");
    EXPECT_EQ(failureOf("DROP VIEW NoExiste").nativeError, 3701);
    EXPECT_EQ(failureOf("DROP PROCEDURE NoExiste").nativeError, 3701);
    run("DROP TABLE IF EXISTS NoExiste");
}

TEST_F(ErrorMappingTest, AddingColumns) {
    EXPECT_EQ(failureOf("ALTER TABLE NoExiste ADD Precio money NULL").nativeError, 4902);
    const ProviderError repeated = failureOf("ALTER TABLE Familias ADD Nombre varchar(5) NULL");
    EXPECT_EQ(repeated.nativeError, 2705);
    EXPECT_EQ(repeated.description, "Column names in each table must be unique. Column name "
                                    "'Nombre' in table 'Familias' is specified more than once.");

    const ProviderError notNull = failureOf("ALTER TABLE dbo.Familias ADD Orden int NOT NULL");
    EXPECT_EQ(notNull.nativeError, 4901);
    EXPECT_EQ(notNull.sqlState, "42000");
    EXPECT_EQ(notNull.description,
              "ALTER TABLE only allows columns to be added that can contain nulls, or have a "
              "DEFAULT definition specified, or the column being added is an identity or timestamp "
              "column, or alternatively if none of the previous conditions are satisfied the table "
              "must be empty to allow addition of this column. Column 'Orden' cannot be added to "
              "non-empty table 'Familias' because it does not satisfy these conditions.");
    EXPECT_EQ(nativeErrorOf("SELECT Orden FROM Familias"), 207) << "the column was not added";
    run("CREATE TABLE Vacia (a int)\nALTER TABLE Vacia ADD Orden int NOT NULL");
}

TEST_F(ErrorMappingTest, CommandTimeoutEndsALoopThatNeverEnds) {
    try {
        engine->execute("DECLARE @i int SET @i = 0 WHILE 1 = 1 BEGIN SET @i = @i + 1 END", {}, 1);
        FAIL() << "the endless loop ended";
    } catch (const ProviderFailure& failure) {
        EXPECT_EQ(failure.number(), errnum::Timeout);
        EXPECT_EQ(failure.description(), "Query timeout expired");
    }
    EXPECT_EQ(articleCount(), 1); // the session goes on
}

TEST_F(ErrorMappingTest, ADependentColumnIsRefusedWithBothRecords) {
    run("CREATE TABLE Tarifas (Codigo int NOT NULL, Importe money NULL CONSTRAINT DF_Importe "
        "DEFAULT 0, Nota varchar(10) NULL)");
    run("CREATE INDEX IX_Nota ON Tarifas (Nota)");
    for (const auto& [statement, object] :
         {std::pair{"ALTER TABLE Tarifas DROP COLUMN Importe", "The object 'DF_Importe'"},
          std::pair{"ALTER TABLE Tarifas ALTER COLUMN Nota int NULL", "The index 'IX_Nota'"}}) {
        EXPECT_EQ(nativeErrorOf(statement), 5074) << statement;
        ASSERT_GE(lastFailure.size(), 2u) << statement;
        EXPECT_TRUE(lastFailure[0].description.startsWith(object)) << statement;
        EXPECT_EQ(lastFailure[1].nativeError, 4922) << statement;
    }
    EXPECT_EQ(lastFailure[1].description,
              "ALTER TABLE ALTER COLUMN Nota failed because one or more objects access this "
              "column.");
    // Nothing changed: the column and its default are there.
    run("INSERT INTO Tarifas (Codigo) VALUES (1)");
    EXPECT_EQ(scalar("SELECT count(*) FROM Tarifas WHERE Importe = 0").toInt32(), 1);
}

TEST(SqlServerErrors, UnknownSqliteFailuresKeepTheirText) {
    SqliteFailure failure;
    failure.extendedCode = 1;
    failure.message = "something unexpected";
    const ProviderError error = translateSqliteError(failure);
    EXPECT_EQ(error.number, errnum::E_FAIL);
    EXPECT_EQ(error.description, "something unexpected");
}

TEST(SqlServerErrors, UniqueKeyThatIsNotThePrimaryKey) {
    SqliteFailure failure;
    failure.extendedCode = 2067; // SQLITE_CONSTRAINT_UNIQUE
    failure.message = "UNIQUE constraint failed: Clientes.Nif";
    failure.primaryKey = {"Codigo"};
    EXPECT_EQ(translateSqliteError(failure).description,
              "Violation of UNIQUE KEY constraint 'UQ_Clientes'. Cannot insert duplicate key in "
              "object 'dbo.Clientes'.");
    failure.primaryKey = {"NIF"};
    EXPECT_EQ(translateSqliteError(failure).description,
              "Violation of PRIMARY KEY constraint 'PK_Clientes'. Cannot insert duplicate key in "
              "object 'dbo.Clientes'.");
}

} // namespace estaciones::db::sqlite::test
