// A statement run again reuses what was worked out for it the first time
// (its parse, compilation, translation and SQLite statement); whatever it
// depends on that changes in between must be seen: schema statements of
// this or another connection, rolled-back ones, temporary tables, settings.
#include "../EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {
namespace {

class RepeatedStatementsTest : public EmbeddedFixture {
protected:
    std::size_t columnsOf(const QString& query) {
        const ExecutionResult result = run(query);
        return result.resultSets.empty() ? 0 : result.resultSets.front().columns.size();
    }
    // Another station's connection to the same file.
    std::unique_ptr<Engine> otherConnection() {
        std::unique_ptr<Engine> other = createEmbeddedEngine();
        other->open(QStringLiteral("Provider=SQLOLEDB;Server=(local);UID=ana"), {}, {});
        other->useDatabase(QStringLiteral("PRUEBA"));
        return other;
    }
};

TEST_F(RepeatedStatementsTest, shouldSeeSchemaChangesBetweenTwoIdenticalStatements) {
    run("CREATE TABLE t (a int)");
    run("INSERT INTO t VALUES (1)");
    const QString query = QStringLiteral("SELECT * FROM t");
    EXPECT_EQ(columnsOf(query), 1u);
    run("ALTER TABLE t ADD b varchar(5) NULL");
    EXPECT_EQ(columnsOf(query), 2u);
    run("DROP TABLE t");
    EXPECT_EQ(nativeErrorOf(query), 208);
    // The same name again with another type: the value is typed by the new table.
    run("CREATE TABLE t (a varchar(5))");
    run("INSERT INTO t VALUES ('x')");
    EXPECT_EQ(scalar(query).toString(), "x");
    EXPECT_EQ(columnsOf(query), 1u);
}

TEST_F(RepeatedStatementsTest, shouldCompileAgainWhenAColumnWentAway) {
    run("CREATE TABLE t (a int, b int)");
    const QString batch = QStringLiteral("SELECT b FROM t\nSELECT 1");
    EXPECT_EQ(nativeErrorOf(batch), 0);
    run("ALTER TABLE t DROP COLUMN b");
    EXPECT_EQ(nativeErrorOf(batch), 207);
    EXPECT_EQ(nativeErrorOf(batch), 207); // a failed compilation is not remembered as passed
}

TEST_F(RepeatedStatementsTest, shouldSeeAnotherConnectionsSchemaChanges) {
    run("CREATE TABLE t (a int)");
    run("INSERT INTO t VALUES (1)");
    const QString query = QStringLiteral("SELECT * FROM t");
    EXPECT_EQ(columnsOf(query), 1u);

    const std::unique_ptr<Engine> other = otherConnection();
    other->execute(QStringLiteral("ALTER TABLE t ADD b int NULL"), {}, 0);
    other->execute(QStringLiteral("UPDATE t SET b = 7"), {}, 0);

    EXPECT_EQ(columnsOf(query), 2u);
    EXPECT_EQ(rows(query).front().at(1).toInt64(), 7);
    other->execute(QStringLiteral("DROP TABLE t"), {}, 0);
    EXPECT_EQ(nativeErrorOf(query), 208);
}

TEST_F(RepeatedStatementsTest, shouldNotTakeARolledBackSchemaForTheOneThatFollows) {
    // A rollback puts the schema cookie back: the next change reaches the
    // same cookie the rolled-back one had, with other columns.
    const QString query = QStringLiteral("SELECT * FROM u");
    run("BEGIN TRAN\nCREATE TABLE u (a int)");
    EXPECT_EQ(columnsOf(query), 1u);
    run("ROLLBACK");
    run("CREATE TABLE u (a int, b int, c int)");
    EXPECT_EQ(columnsOf(query), 3u);

    run("BEGIN TRAN\nSAVE TRAN antes\nALTER TABLE u ADD d int NULL");
    EXPECT_EQ(run(query).resultSets.front().columns.at(3).name, "d");
    run("ROLLBACK TRAN antes");
    run("ALTER TABLE u ADD e int NULL");
    EXPECT_EQ(run(query).resultSets.front().columns.at(3).name, "e");
    run("COMMIT");
}

TEST_F(RepeatedStatementsTest, shouldSeeTemporaryTablesMadeAgain) {
    const QString query = QStringLiteral("SELECT * FROM #t");
    run("CREATE TABLE #t (a int)");
    EXPECT_EQ(columnsOf(query), 1u);
    run("DROP TABLE #t");
    run("CREATE TABLE #t (a int, b int)");
    EXPECT_EQ(columnsOf(query), 2u);
}

TEST_F(RepeatedStatementsTest, shouldReadTheSameDateTextByTheDateFormatInForce) {
    const QString query = QStringLiteral("SELECT MONTH(CAST('5/3/2024' AS datetime))");
    run("SET DATEFORMAT dmy");
    EXPECT_EQ(scalar(query).toInt64(), 3);
    run("SET DATEFORMAT mdy");
    EXPECT_EQ(scalar(query).toInt64(), 5);
    run("SET DATEFORMAT dmy");
    EXPECT_EQ(scalar(query).toInt64(), 3);
}

TEST_F(RepeatedStatementsTest, shouldBindEachRunsOwnValues) {
    run("CREATE TABLE t (a int, b varchar(5))");
    const QString insert = QStringLiteral("INSERT INTO t VALUES (?, ?)");
    run(insert, {Variant(1), Variant(QStringLiteral("uno"))});
    run(insert, {Variant(2), Variant::null()}); // nothing left bound from the first run
    run(insert, {Variant(3), Variant(QStringLiteral("tres"))});
    const auto all = rows("SELECT a, b FROM t ORDER BY a");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0][1].toString(), "uno");
    EXPECT_TRUE(all[1][1].isNull());
    EXPECT_EQ(all[2][1].toString(), "tres");
}

TEST_F(RepeatedStatementsTest, shouldGiveEachInsertItsIdentityAfterTheTableChanged) {
    const QString insert = QStringLiteral("INSERT INTO t (b) VALUES ('x') SELECT SCOPE_IDENTITY()");
    run("CREATE TABLE t (id int IDENTITY(1, 1) PRIMARY KEY, b varchar(5))");
    EXPECT_EQ(rows(insert).front().front().toInt64(), 1);
    EXPECT_EQ(rows(insert).front().front().toInt64(), 2);
    run("DROP TABLE t");
    run("CREATE TABLE t (id int IDENTITY(100, 10), b varchar(5))");
    EXPECT_EQ(rows(insert).front().front().toInt64(), 100);
    EXPECT_EQ(rows(insert).front().front().toInt64(), 110);
}

TEST_F(RepeatedStatementsTest, shouldFillTheColumnsAnInsertWithoutAListFindsAfterEachChange) {
    // The values go to the columns other than the identity, in order: which
    // those are is a fact of the table that changes with its definition.
    const QString insert = QStringLiteral("INSERT INTO t VALUES ('x')");
    run("CREATE TABLE t (id int IDENTITY(1, 1), b varchar(5))");
    run(insert);
    run(insert);
    run("ALTER TABLE t ADD c int NULL");
    EXPECT_NE(nativeErrorOf(insert), 0); // now two columns take values
    run("INSERT INTO t VALUES ('y', 3)");

    const std::unique_ptr<Engine> other = otherConnection();
    other->execute(QStringLiteral("DROP TABLE t"), {}, 0);
    other->execute(QStringLiteral("CREATE TABLE t (b varchar(5), n int IDENTITY(7, 1))"), {}, 0);
    run(insert);
    const auto all = rows("SELECT b, n FROM t");
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0][0].toString(), "x");
    EXPECT_EQ(all[0][1].toInt64(), 7);
}

TEST_F(RepeatedStatementsTest, shouldLetAnotherConnectionWriteBetweenRepeatedReads) {
    // A kept statement holds no read snapshot between uses: the other
    // connection's rows are seen by the next run of the same query.
    run("CREATE TABLE t (a int)");
    const QString count = QStringLiteral("SELECT count(*) FROM t");
    EXPECT_EQ(scalar(count).toInt64(), 0);
    const std::unique_ptr<Engine> other = otherConnection();
    other->execute(QStringLiteral("INSERT INTO t VALUES (1)"), {}, 0);
    EXPECT_EQ(scalar(count).toInt64(), 1);
    other->execute(QStringLiteral("INSERT INTO t VALUES (2)"), {}, 0);
    EXPECT_EQ(scalar(count).toInt64(), 2);
}

TEST_F(RepeatedStatementsTest, shouldLeaveNoSnapshotOpenAfterAQueryWhateverBecameOfIt) {
    // A query runs in the read transaction its schema stamp opened; a query
    // that failed before or while it ran must not keep it either: the other
    // connection's rows are seen next, and this connection's write does not
    // meet an old snapshot.
    run("CREATE TABLE t (a varchar(5))");
    const std::unique_ptr<Engine> other = otherConnection();
    const QString count = QStringLiteral("SELECT count(*) FROM t");
    for (const QString& query : {QStringLiteral("SELECT a FROM t"),
                                 QStringLiteral("SELECT a FROM no_existe"),
                                 QStringLiteral("SELECT CAST(a AS int) FROM t")}) {
        const std::int64_t before = scalar(count).toInt64();
        other->execute(QStringLiteral("INSERT INTO t VALUES ('x')"), {}, 0);
        const int error = nativeErrorOf(query);
        EXPECT_TRUE(error == 0 || error == 208 || error == 245) << query.toStdString();
        other->execute(QStringLiteral("INSERT INTO t VALUES ('y')"), {}, 0);
        run("INSERT INTO t VALUES ('z')");
        EXPECT_EQ(scalar(count).toInt64(), before + 3) << query.toStdString();
    }
}

} // namespace
} // namespace estaciones::db::sqlite::test
