// Sequence objects: a value is taken in the file in the same write as the
// statement that takes it, so that two stations on one file never get the
// same one and the numbering goes on after the file is opened again; a
// rolled-back transaction does not give back the values it took.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class SequencesTest : public EmbeddedFixture {
protected:
    std::unique_ptr<Engine> otherStation() {
        auto station = createEmbeddedEngine();
        station->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
        station->useDatabase(QStringLiteral("PRUEBA"));
        return station;
    }

    static qint64 next(Engine& station, const char* sequence = "Factura") {
        const ExecutionResult result =
            station.execute(QStringLiteral("SELECT NEXT VALUE FOR dbo.%1").arg(sequence), {}, 0);
        return result.resultSets.at(0).rows.at(0).at(0).toInt64();
    }
};

TEST_F(SequencesTest, shouldNeverGiveTwoStationsTheSameValue) {
    run("CREATE SEQUENCE dbo.Factura AS int START WITH 1000 INCREMENT BY 10");
    auto station = otherStation();
    EXPECT_EQ(next(*engine), 1000);
    EXPECT_EQ(next(*station), 1010);
    EXPECT_EQ(next(*engine), 1020);
    // Rows of one statement on one station, a single value on the other.
    station->execute(QStringLiteral("CREATE TABLE Lineas (n int, d varchar(5))\n"
                                    "INSERT INTO Lineas VALUES (NEXT VALUE FOR Factura, 'a'), "
                                    "(NEXT VALUE FOR Factura, 'b')"),
                     {}, 0);
    EXPECT_EQ(next(*engine), 1050);
    EXPECT_EQ(scalar("SELECT count(DISTINCT n) FROM Lineas WHERE n IN (1030, 1040)").toInt64(), 2);
    // A definition changed on one station is the other's at once.
    station->execute(QStringLiteral("ALTER SEQUENCE Factura INCREMENT BY 1"), {}, 0);
    EXPECT_EQ(next(*engine), 1051);
}

TEST_F(SequencesTest, shouldGoOnWhereItWasWhenTheFileIsOpenedAgain) {
    run("CREATE SEQUENCE dbo.Factura START WITH 1 MAXVALUE 3");
    EXPECT_EQ(next(*engine), 1);
    EXPECT_EQ(next(*engine), 2);
    engine = otherStation(); // the first one closes its file
    EXPECT_EQ(next(*engine), 3);
    EXPECT_EQ(nativeErrorOf("SELECT NEXT VALUE FOR Factura"), 11728);
    // Running out changed nothing: a restart numbers from the start again.
    run("ALTER SEQUENCE Factura RESTART");
    EXPECT_EQ(next(*engine), 1);
}

TEST_F(SequencesTest, shouldKeepTheValuesARolledBackTransactionTook) {
    run("CREATE SEQUENCE dbo.Factura START WITH 1");
    run("BEGIN TRANSACTION\nSELECT NEXT VALUE FOR Factura\nSELECT NEXT VALUE FOR Factura\n"
        "ROLLBACK TRANSACTION");
    EXPECT_EQ(next(*engine), 3);
    // To a savepoint, and then the whole transaction.
    run("BEGIN TRANSACTION\nSELECT NEXT VALUE FOR Factura\nSAVE TRANSACTION antes\n"
        "SELECT NEXT VALUE FOR Factura\nROLLBACK TRANSACTION antes");
    EXPECT_EQ(next(*engine), 6);
    run("ROLLBACK TRANSACTION");
    EXPECT_EQ(next(*engine), 7);
    // What the other station sees is the value taken, not the one rolled back.
    auto station = otherStation();
    run("BEGIN TRANSACTION\nSELECT NEXT VALUE FOR Factura\nROLLBACK TRANSACTION");
    EXPECT_EQ(next(*station), 9);
    EXPECT_EQ(scalar("SELECT current_value FROM sys.sequences WHERE name = 'Factura'").toInt64(),
              9);
    // A statement that fails inside the transaction, and then the transaction.
    run("CREATE TABLE Positivos (n int PRIMARY KEY DEFAULT (NEXT VALUE FOR Factura), v int CHECK "
        "(v > 0))");
    EXPECT_EQ(nativeErrorOf("BEGIN TRANSACTION\nINSERT INTO Positivos (v) VALUES (1)\n"
                            "INSERT INTO Positivos (v) VALUES (-1)"),
              547);
    run("INSERT INTO Positivos (v) VALUES (2)\nROLLBACK TRANSACTION");
    EXPECT_EQ(next(*station), 13);
    EXPECT_EQ(scalar("SELECT count(*) FROM Positivos").toInt64(), 0);
}

TEST_F(SequencesTest, shouldUndoARolledBackRestartButNotTheValuesTakenBeforeIt) {
    run("CREATE SEQUENCE dbo.Factura START WITH 1");
    EXPECT_EQ(next(*engine), 1);
    run("BEGIN TRANSACTION\nSELECT NEXT VALUE FOR Factura\nALTER SEQUENCE Factura RESTART WITH 50\n"
        "ROLLBACK TRANSACTION");
    EXPECT_EQ(next(*engine), 3);
    // A restart committed stands, whatever was taken before it.
    run("BEGIN TRANSACTION\nSELECT NEXT VALUE FOR Factura\nALTER SEQUENCE Factura RESTART WITH 50\n"
        "COMMIT TRANSACTION");
    EXPECT_EQ(next(*engine), 50);
}

TEST_F(SequencesTest, shouldGiveEachRowOneValueWhateverTheColumnOrder) {
    run("CREATE SEQUENCE dbo.Factura START WITH 1\n"
        "CREATE TABLE Doble (a int, b int, c varchar(5))\n"
        "INSERT INTO Doble (c) VALUES ('x'), ('y'), ('z')");
    // SQLite works out the new values in the table's column order.
    run("UPDATE Doble SET b = NEXT VALUE FOR Factura, a = NEXT VALUE FOR Factura");
    EXPECT_EQ(scalar("SELECT count(*) FROM Doble WHERE a = b").toInt64(), 3);
    EXPECT_EQ(scalar("SELECT count(DISTINCT a) FROM Doble").toInt64(), 3);
    // Rows of a VALUES list that name the sequence a different number of times.
    run("INSERT INTO Doble VALUES (NEXT VALUE FOR Factura, NEXT VALUE FOR Factura, 'p'), "
        "(NEXT VALUE FOR Factura, 0, 'q'), (NEXT VALUE FOR Factura, NEXT VALUE FOR Factura, 'r')");
    const auto values = rows("SELECT a, b FROM Doble WHERE c IN ('p', 'q', 'r') ORDER BY c");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0][0].toInt64(), 4);
    EXPECT_EQ(values[0][1].toInt64(), 4);
    EXPECT_EQ(values[1][0].toInt64(), 5);
    EXPECT_EQ(values[2][0].toInt64(), 6);
    EXPECT_EQ(values[2][1].toInt64(), 6);
}

TEST_F(SequencesTest, shouldNumberEachRunOfAnOrderedStatementApart) {
    run("CREATE SEQUENCE dbo.Vuelta AS int START WITH 2 MINVALUE 1 MAXVALUE 4 CYCLE\n"
        "CREATE TABLE Letras (l char(1))\nINSERT INTO Letras VALUES ('c'), ('a'), ('b')");
    const QString ordered = QStringLiteral(
        "SELECT l, NEXT VALUE FOR Vuelta OVER (ORDER BY l), NEXT VALUE FOR Vuelta OVER (ORDER BY "
        "l) FROM Letras ORDER BY l");
    // The first run takes 2, 3, 4; the second 1, 2, 3 after the cycle.
    for (const std::vector<qint64>& expected : {std::vector<qint64>{2, 3, 4}, {1, 2, 3}}) {
        const auto numbered = rows(ordered);
        ASSERT_EQ(numbered.size(), 3u);
        for (std::size_t r = 0; r < 3; ++r) {
            EXPECT_EQ(numbered[r][1].toInt64(), expected[r]) << r;
            EXPECT_EQ(numbered[r][2].toInt64(), expected[r]) << r;
        }
    }
    EXPECT_EQ(next(*engine, "Vuelta"), 4);
}

TEST_F(SequencesTest, shouldRefuseDefinitionsOutsideTheTypeOrBounds) {
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala AS tinyint START WITH -1"), 11703);
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala AS tinyint MAXVALUE 300"), 11705);
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala INCREMENT BY 0"), 11700);
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala AS decimal(30, 0)"), 40517);
    EXPECT_EQ(nativeErrorOf("ALTER SEQUENCE Ninguna RESTART"), 208);
    EXPECT_EQ(nativeErrorOf("DROP SEQUENCE Ninguna"), 3701);
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala START 5"), 102);
    EXPECT_EQ(nativeErrorOf("CREATE SEQUENCE Mala INCREMENT BY"), 102);
    EXPECT_EQ(scalar("SELECT count(*) FROM sys.sequences WHERE name = 'Mala'").toInt64(), 0);
    run("CREATE SEQUENCE dbo.Corta AS tinyint START WITH 250 INCREMENT BY 10");
    EXPECT_EQ(next(*engine, "Corta"), 250);
    // The step past the type's maximum runs out instead of wrapping.
    EXPECT_EQ(nativeErrorOf("SELECT NEXT VALUE FOR Corta"), 11728);
    EXPECT_EQ(nativeErrorOf("ALTER SEQUENCE Corta RESTART WITH 256"), 11703);
    run("CREATE SEQUENCE dbo.Larga START WITH 9223372036854775806");
    EXPECT_EQ(next(*engine, "Larga"), 9223372036854775806LL);
    EXPECT_EQ(next(*engine, "Larga"), 9223372036854775807LL);
    EXPECT_EQ(nativeErrorOf("SELECT NEXT VALUE FOR Larga"), 11728);
    EXPECT_EQ(scalar("SELECT is_exhausted FROM sys.sequences WHERE name = 'Larga'").toInt64(), 1);
}

TEST_F(SequencesTest, shouldIssueARangeOverTheCyclesItTakes) {
    run("CREATE SEQUENCE dbo.Rango AS int START WITH 6 MINVALUE 1 MAXVALUE 25 CYCLE");
    // 6..25, twice 1..25 and 1..5: three cycles.
    const auto range = rows(
        "DECLARE @primero sql_variant, @ultimo sql_variant, @ciclos int, @paso sql_variant, "
        "@minimo sql_variant, @maximo sql_variant\n"
        "EXEC sp_sequence_get_range N'[dbo].[Rango]', 75, @primero OUTPUT, @ultimo OUTPUT, "
        "@ciclos OUTPUT, @paso OUTPUT, @minimo OUTPUT, @maximo OUTPUT\n"
        "SELECT @primero, @ultimo, @ciclos, @paso, @minimo, @maximo");
    ASSERT_EQ(range.size(), 1u);
    const std::vector<qint64> expected{6, 5, 3, 1, 1, 25};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(range[0].at(i).toInt64(), expected[i]) << i;
    EXPECT_EQ(next(*engine, "Rango"), 6);
    // Descending, past the minimum to the maximum.
    run("CREATE SEQUENCE dbo.Baja AS tinyint START WITH 10 INCREMENT BY -3 MINVALUE 1 MAXVALUE 10 "
        "CYCLE");
    EXPECT_EQ(scalar("DECLARE @a sql_variant, @b sql_variant, @c int\n"
                     "EXEC sp_sequence_get_range @sequence_name = 'Baja', @range_size = 5, "
                     "@range_first_value = @a OUTPUT, @range_cycle_count = @c OUTPUT, "
                     "@range_last_value = @b OUTPUT\nSELECT CONCAT(@a, ' ', @b, ' ', @c)")
                  .toString(),
              "10 10 1");
    // Without CYCLE a range past the bound is refused and takes nothing.
    run("CREATE SEQUENCE dbo.Corta START WITH 1 MAXVALUE 10");
    EXPECT_EQ(nativeErrorOf("DECLARE @a sql_variant\n"
                            "EXEC sp_sequence_get_range 'Corta', 11, @a OUTPUT"),
              11728);
    EXPECT_EQ(next(*engine, "Corta"), 1);
    EXPECT_EQ(nativeErrorOf("DECLARE @a sql_variant\n"
                            "EXEC sp_sequence_get_range 'Ninguna', 1, @a OUTPUT"),
              208);
}

} // namespace
} // namespace estaciones::db::sqlite::test
