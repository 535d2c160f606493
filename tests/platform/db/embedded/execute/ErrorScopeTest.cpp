// What an error ends (the statement, the batch, the transaction), SET
// XACT_ABORT, and the @@ERROR and @@ROWCOUNT every statement leaves.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

namespace {

class ErrorScopeTest : public EmbeddedFixture {
protected:
    void SetUp() override {
        EmbeddedFixture::SetUp();
        run("CREATE TABLE t1 (a int NOT NULL PRIMARY KEY)");
        run("CREATE TABLE t2 (a int NOT NULL REFERENCES t1 (a))");
        run("INSERT INTO t1 VALUES (1) INSERT INTO t1 VALUES (3) INSERT INTO t1 VALUES (4) "
            "INSERT INTO t1 VALUES (6)");
    }

    std::vector<int> t2() {
        std::vector<int> values;
        for (const auto& row : rows("SELECT a FROM t2 ORDER BY a")) {
            values.push_back(row[0].toInt32());
        }
        return values;
    }
};

} // namespace

TEST_F(ErrorScopeTest, XactAbortEndsTheBatchAndRollsTheTransactionBack) {
    EXPECT_EQ(nativeErrorOf("SET XACT_ABORT OFF\n"
                            "BEGIN TRANSACTION\n"
                            "INSERT INTO t2 VALUES (1)\n"
                            "INSERT INTO t2 VALUES (2)\n" // foreign key error
                            "INSERT INTO t2 VALUES (3)\n"
                            "COMMIT TRANSACTION"),
              547);
    EXPECT_EQ(nativeErrorOf("SET XACT_ABORT ON\n"
                            "BEGIN TRANSACTION\n"
                            "INSERT INTO t2 VALUES (4)\n"
                            "INSERT INTO t2 VALUES (5)\n" // foreign key error
                            "INSERT INTO t2 VALUES (6)\n"
                            "COMMIT TRANSACTION"),
              547);
    EXPECT_EQ(t2(), (std::vector<int>{1, 3}));
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);

    // RAISERROR is left alone by XACT_ABORT; THROW honours it.
    EXPECT_EQ(nativeErrorOf("BEGIN TRAN INSERT INTO t2 VALUES (4)\n"
                            "RAISERROR('sigue', 16, 1)\n"
                            "INSERT INTO t2 VALUES (6) COMMIT"),
              50000);
    EXPECT_EQ(t2(), (std::vector<int>{1, 3, 4, 6}));
    EXPECT_EQ(nativeErrorOf("BEGIN TRAN DELETE FROM t2\nTHROW 50001, 'corta', 1\nCOMMIT"), 50001);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
    EXPECT_EQ(t2(), (std::vector<int>{1, 3, 4, 6}));
    // Compile errors are not run-time errors: nothing ran, nothing to roll back.
    run("BEGIN TRAN INSERT INTO t2 VALUES (1)");
    EXPECT_EQ(nativeErrorOf("SELECT * FROM t2 WHERE"), 102);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 1);
    run("ROLLBACK");
}

TEST_F(ErrorScopeTest, InsideTryXactAbortLeavesAnUncommittableTransaction) {
    run("INSERT INTO t2 VALUES (1)");
    const auto states = rows("SET XACT_ABORT ON\n"
                             "BEGIN TRY\n"
                             "  BEGIN TRANSACTION\n"
                             "  DELETE FROM t1 WHERE a = 1\n" // t2 refers to it
                             "  COMMIT TRANSACTION\n"
                             "END TRY\n"
                             "BEGIN CATCH\n"
                             "  DECLARE @antes int = XACT_STATE()\n"
                             "  IF XACT_STATE() = -1 ROLLBACK TRANSACTION\n"
                             "  SELECT @antes, XACT_STATE(), @@TRANCOUNT, ERROR_NUMBER()\n"
                             "END CATCH");
    ASSERT_EQ(states.size(), 1u);
    EXPECT_EQ(states[0][0].toInt32(), -1);
    EXPECT_EQ(states[0][1].toInt32(), 0);
    EXPECT_EQ(states[0][2].toInt32(), 0);
    EXPECT_EQ(states[0][3].toInt32(), 547);

    // Left open, the end of the batch rolls it back; committing it fails.
    const QString doomed = "BEGIN TRY BEGIN TRAN INSERT INTO t2 VALUES (3)\n"
                           "INSERT INTO t2 VALUES (9) END TRY\n";
    EXPECT_EQ(nativeErrorOf(doomed + "BEGIN CATCH SELECT XACT_STATE() END CATCH"), 3998);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
    EXPECT_EQ(nativeErrorOf(doomed + "BEGIN CATCH COMMIT END CATCH"), 3930);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
    EXPECT_EQ(t2(), (std::vector<int>{1}));
    EXPECT_EQ(scalar("SELECT XACT_STATE()").toInt32(), 0);
}

TEST_F(ErrorScopeTest, ErrorAndRowcountFollowEveryStatement) {
    // A failed statement's number, then 0 after any statement that runs, IF too.
    run("CREATE TABLE Visto (n int)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO t2 VALUES (2)\n"
                            "INSERT INTO Visto SELECT @@ERROR\n"
                            "INSERT INTO t2 VALUES (2)\n"
                            "IF @@ERROR <> 0 INSERT INTO Visto SELECT @@ERROR\n"
                            "DECLARE @x int\n"
                            "INSERT INTO t2 VALUES (2)\n"
                            "SET @x = 1\n"
                            "INSERT INTO Visto SELECT @@ERROR"),
              547);
    const auto seen = rows("SELECT n FROM Visto");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0][0].toInt32(), 547);
    EXPECT_EQ(seen[1][0].toInt32(), 0);
    EXPECT_EQ(seen[2][0].toInt32(), 0);

    const std::vector<std::pair<QString, int>> counts{
        {"UPDATE t1 SET a = a SELECT @@ROWCOUNT", 4},
        {"DECLARE @x int UPDATE t1 SET a = a SET @x = 5 SELECT @@ROWCOUNT", 1},
        {"UPDATE t1 SET a = a PRINT 'x' SELECT @@ROWCOUNT", 0},
        {"UPDATE t1 SET a = a SET NOCOUNT OFF SELECT @@ROWCOUNT", 0},
        {"UPDATE t1 SET a = a BEGIN TRAN SELECT @@ROWCOUNT", 0},
        {"UPDATE t1 SET a = a COMMIT SELECT @@ROWCOUNT", 0},
        {"UPDATE t1 SET a = a RAISERROR('aviso', 10, 1) SELECT @@ROWCOUNT", 0},
        {"DECLARE @x int SELECT @x = a FROM t1 SELECT @@ROWCOUNT", 4},
    };
    for (const auto& [batch, expected] : counts) {
        EXPECT_EQ(scalar(batch).toInt32(), expected) << batch.toStdString();
    }
}

} // namespace estaciones::db::sqlite::test
