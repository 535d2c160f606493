// TRY/CATCH, the ERROR_...() functions, THROW and RAISERROR.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class TryCatchTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE Padres (Id int PRIMARY KEY)");
        run("CREATE TABLE Hijos (Id int PRIMARY KEY, Padre int REFERENCES Padres (Id))");
        run("INSERT INTO Padres VALUES (1)");
    }

    // ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_SEVERITY(), ERROR_STATE() of the
    // CATCH block that `statement` leads to.
    std::vector<Variant> caught(const QString& statement) {
        const auto result = rows("BEGIN TRY\n" + statement +
                                 "\nEND TRY\nBEGIN CATCH\n"
                                 "SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_SEVERITY(), "
                                 "ERROR_STATE()\nEND CATCH");
        return result.empty() ? std::vector<Variant>{} : result.front();
    }
};

} // namespace

TEST_F(TryCatchTest, CatchesStatementErrorsAndRaisedOnes) {
    EXPECT_EQ(caught("INSERT INTO Padres VALUES (1)")[0].toInt32(), 2627);
    EXPECT_EQ(caught("INSERT INTO Hijos VALUES (1, 9)")[0].toInt32(), 547);

    const auto raised = caught("RAISERROR('Falta %s en la linea %d', 16, 3, 'Codigo', 12)");
    ASSERT_EQ(raised.size(), 4u);
    EXPECT_EQ(raised[0].toInt32(), 50000);
    EXPECT_EQ(raised[1].toString().toStdString(), "Falta Codigo en la linea 12");
    EXPECT_EQ(raised[2].toInt32(), 16);
    EXPECT_EQ(raised[3].toInt32(), 3);

    const auto thrown = caught("THROW 50001, 'x', 1");
    ASSERT_EQ(thrown.size(), 4u);
    EXPECT_EQ(thrown[0].toInt32(), 50001);
    EXPECT_EQ(thrown[1].toString().toStdString(), "x");
    EXPECT_EQ(thrown[2].toInt32(), 16);
    EXPECT_EQ(thrown[3].toInt32(), 1);

    // The error caught is not reported to the client, and the batch goes on.
    const ExecutionResult result = run("BEGIN TRY INSERT INTO Padres VALUES (1) END TRY\n"
                                       "BEGIN CATCH PRINT 'x' END CATCH\n"
                                       "INSERT INTO Padres VALUES (2)");
    EXPECT_EQ(result.rowsAffected, 1);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Padres").toInt32(), 2);
}

TEST_F(TryCatchTest, TheRestOfTheTryBlockIsSkippedAndCatchBlocksNest) {
    const auto result = rows(
        "DECLARE @pasos varchar(20) = ''\n"
        "BEGIN TRY\n"
        "  SET @pasos = @pasos + 'a'\n"
        "  BEGIN TRY\n"
        "    RAISERROR('interior', 16, 1)\n"
        "    SET @pasos = @pasos + 'X'\n"
        "  END TRY\n"
        "  BEGIN CATCH\n"
        "    SET @pasos = @pasos + 'b' + CAST(ERROR_LINE() AS varchar(3))\n"
        "    THROW 50002, 'exterior', 2\n"
        "  END CATCH\n"
        "  SET @pasos = @pasos + 'Y'\n"
        "END TRY\n"
        "BEGIN CATCH\n"
        "  SET @pasos = @pasos + 'c'\n"
        "  SELECT @pasos, ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_LINE()\n"
        "END CATCH");
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0][0].toString().toStdString(), "ab5c");
    EXPECT_EQ(result[0][1].toInt32(), 50002);
    EXPECT_EQ(result[0][2].toString().toStdString(), "exterior");
    EXPECT_EQ(result[0][3].toInt32(), 10);

    // Outside a CATCH block the functions are NULL.
    const auto outside = rows("SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_PROCEDURE()");
    EXPECT_TRUE(outside[0][0].isNull());
    EXPECT_TRUE(outside[0][1].isNull());
    EXPECT_TRUE(outside[0][2].isNull());
}

TEST_F(TryCatchTest, ThrowWithoutArgumentsRethrowsTheCaughtError) {
    EXPECT_EQ(nativeErrorOf("BEGIN TRY INSERT INTO Padres VALUES (1) END TRY\n"
                            "BEGIN CATCH THROW END CATCH\n"
                            "INSERT INTO Padres VALUES (3)"),
              2627);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Padres").toInt32(), 1); // THROW ended the batch
    EXPECT_EQ(nativeErrorOf("THROW"), 10704);
    EXPECT_EQ(nativeErrorOf("THROW 49999, 'bajo', 1"), 35100);
    // Without TRY, THROW ends the batch and RAISERROR only its statement.
    EXPECT_EQ(nativeErrorOf("THROW 50010, 'fin', 1\nINSERT INTO Padres VALUES (4)"), 50010);
    EXPECT_EQ(nativeErrorOf("RAISERROR('sigue', 16, 1)\nINSERT INTO Padres VALUES (5)"), 50000);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Padres").toInt32(), 2);
}

TEST_F(TryCatchTest, ErrorProcedureNamesWhereTheErrorWasRaised) {
    run("CREATE PROCEDURE Falla AS\nDECLARE @x int = 1\nRAISERROR('en el procedimiento', 16, 1)");
    const auto result = rows("BEGIN TRY EXEC Falla END TRY\n"
                             "BEGIN CATCH SELECT ERROR_PROCEDURE(), ERROR_MESSAGE() END CATCH");
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0][0].toString().toStdString(), "Falla");
    EXPECT_EQ(result[0][1].toString().toStdString(), "en el procedimiento");
}

TEST_F(TryCatchTest, RaiserrorFormatsItsArgumentsAndLowSeveritiesAreNoErrors) {
    const std::vector<std::pair<QString, std::string>> formats{
        {"RAISERROR(N'This is message %s %d.', 16, 1, N'number', 5)", "This is message number 5."},
        {"RAISERROR(N'<<%*.*s>>', 16, 1, 7, 3, N'abcde')", "<<    abc>>"},
        {"RAISERROR(N'<<%7.3s>>', 16, 1, N'abcde')", "<<    abc>>"},
        {"RAISERROR('<<%-5d>>', 16, 1, 42)", "<<42   >>"},
        {"RAISERROR('<<%05d>>', 16, 1, 42)", "<<00042>>"},
        {"RAISERROR('%x %#X %#o %+d', 16, 1, 255, 255, 8, 7)", "ff 0XFF 010 +7"},
    };
    for (const auto& [statement, message] : formats) {
        EXPECT_EQ(nativeErrorOf(statement), 50000) << statement.toStdString();
        ASSERT_FALSE(lastFailure.empty());
        EXPECT_EQ(lastFailure.front().description.toStdString(), message);
    }
    EXPECT_EQ(nativeErrorOf("RAISERROR('aviso', 10, 1) WITH NOWAIT"), 0);
    EXPECT_EQ(scalar("RAISERROR('aviso', 10, 1) SELECT @@ERROR").toInt32(), 0);
    EXPECT_EQ(scalar("RAISERROR('aviso', 10, 1) WITH SETERROR SELECT @@ERROR").toInt32(), 50000);
    EXPECT_EQ(nativeErrorOf("RAISERROR('aviso', 16, 1) WITH LOG, NOWAIT"), 50000);
    EXPECT_EQ(nativeErrorOf("RAISERROR('aviso', 16, 1) WITH PRONTO"), 102);
    EXPECT_EQ(nativeErrorOf("RAISERROR(50001, 16, 1)"), 18054);
    EXPECT_EQ(nativeErrorOf("RAISERROR('grave', 19, 1)"), 2754);
    EXPECT_EQ(nativeErrorOf("RAISERROR('grave', 19, 1) WITH LOG"), 50000);
    EXPECT_EQ(lastFailure.front().severity, 19);
    EXPECT_EQ(nativeErrorOf("RAISERROR('estado', 16, -5)"), 50000);
    EXPECT_EQ(lastFailure.front().messageState, 1);
}

} // namespace estaciones::db::sqlite::test
