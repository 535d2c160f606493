// Identity columns: the current value the numbering goes on from, kept apart
// from the rows (DELETE keeps it, TRUNCATE and DBCC CHECKIDENT reset it),
// for the primary key SQLite numbers and for the columns the engine numbers.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class IdentityTest : public EmbeddedFixture {
protected:
    qint64 inserted(const QString& table) {
        return scalar(QStringLiteral("INSERT INTO %1 (v) VALUES (0)\nSELECT SCOPE_IDENTITY()")
                          .arg(table))
            .toInt64();
    }
};

TEST_F(IdentityTest, shouldNumberAColumnThatIsNoKey) {
    run("CREATE TABLE Salto (id int IDENTITY(100, 5) NOT NULL, v int)");
    EXPECT_EQ(inserted("Salto"), 100);
    EXPECT_EQ(inserted("Salto"), 105);
    EXPECT_EQ(scalar("SELECT COLUMNPROPERTY(OBJECT_ID('Salto'), 'id', 'AllowsNull')").toInt64(), 0);
    EXPECT_EQ(scalar("SELECT is_nullable FROM sys.columns WHERE object_id = OBJECT_ID('Salto') "
                     "AND name = 'id'")
                  .toInt64(),
              0);
    // A value given with IDENTITY_INSERT beyond the current one is the new current one.
    run("SET IDENTITY_INSERT Salto ON\nINSERT INTO Salto (id, v) VALUES (500, 1)\n"
        "SET IDENTITY_INSERT Salto OFF");
    EXPECT_EQ(inserted("Salto"), 505);
    EXPECT_EQ(scalar("SELECT IDENT_CURRENT('dbo.Salto')").toInt64(), 505);
}

TEST_F(IdentityTest, shouldKeepTheCurrentValueOverDeleteAndRestartOnTruncate) {
    for (const char* table : {"Clave", "Columna"}) {
        SCOPED_TRACE(table);
        run(QStringLiteral("CREATE TABLE %1 (id int IDENTITY(10, 1) %2, v int)")
                .arg(QLatin1String(table),
                     QLatin1String(table) == QLatin1String("Clave") ? "PRIMARY KEY" : "NULL"));
        EXPECT_EQ(inserted(table), 10);
        run(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        EXPECT_EQ(inserted(table), 11);
        run(QStringLiteral("TRUNCATE TABLE %1").arg(QLatin1String(table)));
        EXPECT_EQ(inserted(table), 10);
    }
}

TEST_F(IdentityTest, shouldReseedAsTheTableHasHadRowsOrNot) {
    for (const char* table : {"Clave", "Columna"}) {
        SCOPED_TRACE(table);
        const QString t = QLatin1String(table);
        run(QStringLiteral("CREATE TABLE %1 (id int IDENTITY %2, v int)")
                .arg(t, t == QLatin1String("Clave") ? "PRIMARY KEY" : "NULL"));
        // No row since it was made: the next row takes the new value itself.
        run(QStringLiteral("DBCC CHECKIDENT ('%1', RESEED, 50)").arg(t));
        EXPECT_EQ(inserted(t), 50);
        // With rows: the new value plus the increment.
        run(QStringLiteral("DBCC CHECKIDENT (%1, RESEED, 70) WITH NO_INFOMSGS").arg(t));
        EXPECT_EQ(inserted(t), 71);
    }
    EXPECT_EQ(nativeErrorOf("DBCC CHECKIDENT ('Ninguna', RESEED, 1)"), 2501);
    run("CREATE TABLE Plana (v int)");
    EXPECT_EQ(nativeErrorOf("DBCC CHECKIDENT ('Plana')"), 7997);
    EXPECT_EQ(nativeErrorOf("DBCC SHRINKDATABASE (0)"), 40517);
}

TEST_F(IdentityTest, shouldReportTheCurrentAndTheLargestValue) {
    run("CREATE TABLE Caja (id int IDENTITY(1, 1), v int)");
    run("INSERT INTO Caja (v) VALUES (1), (2), (3)");
    const ExecutionResult result = run("DBCC CHECKIDENT ('Caja', NORESEED)");
    ASSERT_FALSE(result.output.empty());
    EXPECT_EQ(result.output.front().message.description,
              "Checking identity information: current identity value '3', current column value "
              "'3'.");
    // RESEED without a value takes the column's largest when the current one is below it.
    run("DBCC CHECKIDENT ('Caja', RESEED, 1)\nDBCC CHECKIDENT ('Caja', RESEED)");
    EXPECT_EQ(scalar("SELECT IDENT_CURRENT('Caja')").toInt64(), 3);
}

TEST_F(IdentityTest, shouldPassToASelectIntoCopyOnlyFromOneTable) {
    run("CREATE TABLE Origen (id int IDENTITY(1, 2), v int)");
    run("INSERT INTO Origen (v) VALUES (1), (2)");
    run("SELECT id, v INTO Copia FROM Origen");
    run("SELECT o.id, o.v INTO Unida FROM Origen o JOIN Origen p ON p.id = o.id");
    run("SELECT id + 0 AS id, v INTO Calculada FROM Origen");
    EXPECT_EQ(scalar("SELECT IDENT_INCR('Copia')").toInt64(), 2);
    EXPECT_EQ(inserted("Copia"), 5);
    for (const char* table : {"Unida", "Calculada"}) {
        EXPECT_EQ(scalar(QStringLiteral("SELECT COLUMNPROPERTY(OBJECT_ID('%1'), 'id', "
                                        "'IsIdentity')")
                             .arg(QLatin1String(table)))
                      .toInt64(),
                  0)
            << table;
        EXPECT_TRUE(scalar(QStringLiteral("SELECT IDENT_SEED('%1')").arg(QLatin1String(table)))
                        .isNull())
            << table;
    }
}

TEST_F(IdentityTest, shouldFollowTheTableThroughRenameAndDrop) {
    run("CREATE TABLE Viejo (id int IDENTITY(7, 1), v int)");
    EXPECT_EQ(inserted("Viejo"), 7);
    run("EXEC sp_rename 'Viejo', 'Nuevo'");
    EXPECT_EQ(inserted("Nuevo"), 8);
    run("DROP TABLE Nuevo");
    run("CREATE TABLE Nuevo (id int, v int)");
    EXPECT_TRUE(scalar("SELECT IDENT_CURRENT('Nuevo')").isNull());
    run("CREATE TABLE Otro (id int IDENTITY, v int)");
    run("ALTER TABLE Otro DROP COLUMN id");
    EXPECT_TRUE(scalar("SELECT IDENT_SEED('Otro')").isNull());
    run("INSERT INTO Otro (v) VALUES (1)");
}

// Without a column list the values go to the columns after the identity,
// which numbers them by its own increment, also as a table's key.
TEST_F(IdentityTest, shouldSkipTheIdentityOfAnInsertWithoutColumnList) {
    run("CREATE TABLE Saltos (Id int IDENTITY(100,5) PRIMARY KEY, Nombre varchar(10) NOT NULL)");
    run("INSERT Saltos VALUES ('a'), ('b')");
    run("INSERT INTO Saltos SELECT Nombre FROM Saltos WHERE Id = 100");
    EXPECT_EQ(scalar("SELECT MAX(Id) FROM Saltos").toInt64(), 110);
    EXPECT_EQ(scalar("SELECT Nombre FROM Saltos WHERE Id = 110").toString(), "a");
    run("CREATE TABLE #Temporal (N int IDENTITY(1,1), Texto varchar(5))");
    run("INSERT #Temporal VALUES ('x')");
    EXPECT_EQ(scalar("SELECT N FROM #Temporal WHERE Texto = 'x'").toInt64(), 1);
    // A value for the identity too is one value too many.
    EXPECT_NE(nativeErrorOf("INSERT Saltos VALUES (7, 'c')"), 0);
}

// Whether a table numbers its rows is asked once per schema: a table made
// again with an identity, in the same batch or the next, numbers at once.
TEST_F(IdentityTest, shouldNumberATableMadeAgainWithAnIdentity) {
    run("CREATE TABLE Otra (v int)");
    run("CREATE TABLE Vuelta (v int)");
    run("INSERT INTO Otra (v) VALUES (1)");
    EXPECT_TRUE(scalar("INSERT INTO Vuelta (v) VALUES (1)\nSELECT SCOPE_IDENTITY()").isNull());
    EXPECT_EQ(scalar("INSERT INTO Vuelta (v) VALUES (2)\nDROP TABLE Vuelta\n"
                     "CREATE TABLE Vuelta (id int IDENTITY(7, 1), v int)\n"
                     "INSERT INTO Vuelta (v) VALUES (3)\nSELECT @@IDENTITY")
                  .toInt64(),
              7);
    EXPECT_EQ(inserted("Vuelta"), 8);
    run("DROP TABLE Vuelta\nCREATE TABLE Vuelta (id int IDENTITY(20, 10), v int)");
    EXPECT_EQ(inserted("Vuelta"), 20);
}

} // namespace
} // namespace estaciones::db::sqlite::test
