// Conflicts between two connections to one file, told as the server tells
// them: a wait that runs out is the command time-out, a conflict no wait
// can settle is a deadlock victim's 1205.
#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace estaciones::db::sqlite::test {

namespace {

ProviderError failureOf(SqliteDatabase& database, const QString& sql) {
    try {
        database.run(sql);
    } catch (const ProviderFailure& failure) {
        return failure.records().front();
    }
    ADD_FAILURE() << "no failure for " << sql.toStdString();
    return {};
}

} // namespace

class LockConflictTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("PRUEBA.db"));
    SqliteDatabase first{file, QStringLiteral("PRUEBA"), true};
    SqliteDatabase second{file, QStringLiteral("PRUEBA"), false};
};

TEST_F(LockConflictTest, AStaleSnapshotThatCannotWriteIsADeadlockVictim) {
    first.run(QStringLiteral("CREATE TABLE t (n int); INSERT INTO t VALUES (0)"));
    first.run(QStringLiteral("BEGIN; SELECT n FROM t"));
    second.run(QStringLiteral("UPDATE t SET n = 1"));
    const ProviderError error = failureOf(first, QStringLiteral("UPDATE t SET n = 2"));
    EXPECT_EQ(error.nativeError, 1205);
    EXPECT_EQ(error.sqlState, QStringLiteral("40001"));
    EXPECT_EQ(error.description,
              QStringLiteral("Transaction (Process ID 51) was deadlocked on lock resources with "
                             "another process and has been chosen as the deadlock victim. Rerun "
                             "the transaction."));
}

TEST_F(LockConflictTest, AWaitThatRunsOutIsTheCommandTimeOut) {
    first.run(QStringLiteral("CREATE TABLE t (n int); BEGIN IMMEDIATE; INSERT INTO t VALUES (1)"));
    second.waitForLocksUntil(QDeadlineTimer(300));
    QElapsedTimer clock;
    clock.start();
    const ProviderError error = failureOf(second, QStringLiteral("BEGIN IMMEDIATE"));
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_EQ(error.sqlState, QStringLiteral("HYT00"));
    EXPECT_EQ(error.number, errnum::Timeout);
    // Once the other writer is done, the next wait succeeds.
    first.run(QStringLiteral("COMMIT"));
    second.waitForLocksUntil(QDeadlineTimer(300));
    second.run(QStringLiteral("BEGIN IMMEDIATE; INSERT INTO t VALUES (2); COMMIT"));
}

} // namespace estaciones::db::sqlite::test
