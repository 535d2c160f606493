// @@TRANCOUNT with nested BEGIN TRAN, savepoints, and the transaction errors.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using TransactionNestingTest = EmbeddedFixture;

TEST_F(TransactionNestingTest, NestedTransactionsCountAndOnlyTheOutermostCommits) {
    run("CREATE TABLE T (a int)");
    const auto counts = rows("DECLARE @c varchar(20) = CAST(@@TRANCOUNT AS varchar(2))\n"
                             "BEGIN TRAN SET @c = @c + CAST(@@TRANCOUNT AS varchar(2))\n"
                             "BEGIN TRAN SET @c = @c + CAST(@@TRANCOUNT AS varchar(2))\n"
                             "INSERT INTO T VALUES (1)\n"
                             "COMMIT SET @c = @c + CAST(@@TRANCOUNT AS varchar(2))\n"
                             "ROLLBACK SET @c = @c + CAST(@@TRANCOUNT AS varchar(2))\n"
                             "SELECT @c, (SELECT COUNT(*) FROM T)");
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0][0].toString().toStdString(), "01210");
    EXPECT_EQ(counts[0][1].toInt32(), 0); // the inner COMMIT committed nothing

    EXPECT_EQ(nativeErrorOf("COMMIT"), 3902);
    EXPECT_EQ(nativeErrorOf("ROLLBACK TRANSACTION"), 3903);
    EXPECT_EQ(nativeErrorOf("SAVE TRANSACTION punto"), 628);
}

TEST_F(TransactionNestingTest, RollbackToASavepointKeepsTheTransaction) {
    run("CREATE TABLE T (a int)");
    const auto result = rows("BEGIN TRAN Exterior\n"
                             "INSERT INTO T VALUES (1)\n"
                             "SAVE TRAN Punto\n"
                             "INSERT INTO T VALUES (2)\n"
                             "DECLARE @p varchar(10) = 'Punto'\n"
                             "ROLLBACK TRAN @p\n"
                             "SELECT @@TRANCOUNT, COUNT(*) FROM T");
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result[0][0].toInt32(), 1);
    EXPECT_EQ(result[0][1].toInt32(), 1);
    EXPECT_EQ(nativeErrorOf("ROLLBACK TRAN Otro"), 6401);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 1);
    run("ROLLBACK TRAN Exterior"); // the outermost name rolls everything back
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 0);
}

TEST_F(TransactionNestingTest, AProcedureThatChangesTheCountRaises266) {
    run("CREATE TABLE T (a int)");
    run("CREATE PROCEDURE Abre AS BEGIN TRAN INSERT INTO T VALUES (1)");
    run("CREATE PROCEDURE Cierra AS COMMIT");
    EXPECT_EQ(nativeErrorOf("EXEC Abre"), 266);
    EXPECT_EQ(lastFailure.front().description.toStdString(),
              "Transaction count after EXECUTE indicates a mismatching number of BEGIN and "
              "COMMIT statements. Previous count = 0, current count = 1.");
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 1);
    EXPECT_EQ(nativeErrorOf("EXEC Cierra"), 266);
    EXPECT_EQ(scalar("SELECT @@TRANCOUNT").toInt32(), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 1);
    run("CREATE PROCEDURE Completa AS BEGIN TRAN INSERT INTO T VALUES (2) COMMIT");
    EXPECT_EQ(nativeErrorOf("EXEC Completa"), 0);
}

} // namespace estaciones::db::sqlite::test
