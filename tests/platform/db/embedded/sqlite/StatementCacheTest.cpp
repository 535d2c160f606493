// The prepared statements a connection keeps, the bounded map they live in
// and the schema stamp that tells when derived texts are out of date.
#include "platform/db/embedded/functions/LookupStatements.h"
#include "platform/db/embedded/sqlite/LruCache.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"
#include "platform/db/embedded/sqlite/SqliteDatabase.h"
#include "platform/db/embedded/sqlite/StatementCache.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace estaciones::db::sqlite::test {
namespace {

TEST(LruCacheTest, shouldForgetTheEntryUsedLongestAgo) {
    LruCache<QString, int> cache(2);
    cache.put(QStringLiteral("a"), 1);
    cache.put(QStringLiteral("b"), 2);
    ASSERT_NE(cache.find(QStringLiteral("a")), nullptr); // "a" is now the most recent
    cache.put(QStringLiteral("c"), 3);
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.find(QStringLiteral("b")), nullptr);
    EXPECT_EQ(*cache.find(QStringLiteral("a")), 1);
    EXPECT_EQ(*cache.find(QStringLiteral("c")), 3);

    cache.put(QStringLiteral("a"), 10); // replaces, does not grow
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.take(QStringLiteral("a")).value_or(0), 10);
    EXPECT_FALSE(cache.take(QStringLiteral("a")).has_value());
    EXPECT_EQ(cache.size(), 1u);
}

class StatementCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        database = std::make_unique<SqliteDatabase>(folder.filePath(QStringLiteral("x.db")),
                                                    QStringLiteral("X"), true);
        database->run(QStringLiteral("CREATE TABLE t (a int)"));
    }

    sqlite3_stmt* lend(const QByteArray& text, LentStatement& lent) {
        const char* tail = nullptr;
        EXPECT_EQ(database->statements().prepare(database->handle(), text.constData(),
                                                 static_cast<int>(text.size()), lent, &tail),
                  SQLITE_OK);
        return lent.handle();
    }

    ::estaciones::test::ScopedEnvFolder folder{"ESTACIONES_PRUEBA_CACHE"};
    std::unique_ptr<SqliteDatabase> database;
};

TEST_F(StatementCacheTest, shouldLendTheSameQueryAgainResetAndUnbound) {
    const QByteArray query = "SELECT ?1, count(*) FROM t";
    sqlite3_stmt* first = nullptr;
    {
        LentStatement lent;
        first = lend(query, lent);
        sqlite3_bind_int(first, 1, 42);
        ASSERT_EQ(sqlite3_step(first), SQLITE_ROW); // left in the middle of its rows
    }
    EXPECT_EQ(database->statements().size(), 1u);
    LentStatement again;
    ASSERT_EQ(lend(query, again), first);
    EXPECT_FALSE(sqlite3_stmt_busy(first));
    ASSERT_EQ(sqlite3_step(first), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_type(first, 0), SQLITE_NULL);
    // While lent it is out of the cache: a nested use of the same text gets its own.
    LentStatement nested;
    EXPECT_NE(lend(query, nested), first);
}

TEST_F(StatementCacheTest, shouldPrepareSchemaStatementsEachTime) {
    for (const QByteArray& text : {QByteArray("CREATE TABLE u (a int)"), QByteArray("BEGIN"),
                                  QByteArray("PRAGMA user_version")}) {
        LentStatement lent;
        ASSERT_NE(lend(text, lent), nullptr);
    }
    EXPECT_EQ(database->statements().size(), 0u);
}

TEST_F(StatementCacheTest, shouldTellWhereTheFirstOfSeveralStatementsEnded) {
    const QByteArray text = "SELECT 1; SELECT 2";
    for (int use = 0; use < 2; ++use) { // prepared, then kept
        LentStatement lent;
        const char* tail = nullptr;
        ASSERT_EQ(database->statements().prepare(database->handle(), text.constData(),
                                                 static_cast<int>(text.size()), lent, &tail),
                  SQLITE_OK);
        EXPECT_EQ(tail - text.constData(), 9);
    }
}

TEST_F(StatementCacheTest, shouldStampEverySchemaChangeEvenOneARollbackUndid) {
    const QString before = database->schemaStamp();
    EXPECT_EQ(database->schemaStamp(), before);
    database->run(QStringLiteral("BEGIN; CREATE TABLE u (a int)"));
    const QString inside = database->schemaStamp();
    EXPECT_NE(inside, before);
    database->run(QStringLiteral("ROLLBACK"));
    database->run(QStringLiteral("CREATE TABLE u (a int, b int)")); // the same cookie again
    EXPECT_NE(database->schemaStamp(), inside);

    const QString main = database->schemaStamp();
    database->run(QStringLiteral("CREATE TEMP TABLE v (a int)"));
    EXPECT_NE(database->schemaStamp(), main);

    // Another connection's change of the file.
    const QString mine = database->schemaStamp();
    SqliteDatabase other(database->file(), QStringLiteral("X"), false);
    other.run(QStringLiteral("ALTER TABLE t ADD b int"));
    EXPECT_NE(database->schemaStamp(), mine);
}

TEST_F(StatementCacheTest, shouldKeepTheStampThroughQueriesAndDataChangesOfACallButNotSchemaChangesOrRollbacks) {
    database->run(QStringLiteral("CREATE TABLE k (a int)"));
    database->run(QStringLiteral("CREATE TRIGGER k_refused AFTER INSERT ON k WHEN NEW.a < 0 "
                                 "BEGIN SELECT RAISE(ROLLBACK, 'refused'); END"));
    database->beginCall();
    const QString before = database->schemaStamp();
    {
        PreparedStatement query(database->handle(), QStringLiteral("SELECT count(*) FROM t"));
        ASSERT_EQ(query.step(), SQLITE_ROW);
    }
    EXPECT_EQ(database->schemaStamp(), before);
    database->run(QStringLiteral("BEGIN; INSERT INTO t VALUES (1); UPDATE t SET a = 2; "
                                 "DELETE FROM t WHERE a = 3; SAVEPOINT s; RELEASE s; COMMIT"));
    EXPECT_EQ(database->schemaStamp(), before);

    database->run(QStringLiteral("BEGIN; CREATE TABLE w (a int)"));
    const QString inside = database->schemaStamp();
    EXPECT_NE(inside, before);
    database->run(QStringLiteral("ROLLBACK")); // a read-only statement that undoes a change
    EXPECT_NE(database->schemaStamp(), inside);

    // A rollback from inside a data change: the trigger takes the new table back.
    database->run(QStringLiteral("BEGIN; CREATE TABLE w (a int)"));
    const QString withTable = database->schemaStamp();
    EXPECT_ANY_THROW(database->run(QStringLiteral("INSERT INTO k VALUES (-1)")));
    EXPECT_FALSE(database->inTransaction());
    EXPECT_NE(database->schemaStamp(), withTable);
    database->endCall();
}

TEST_F(StatementCacheTest, shouldLendTheCatalogueItsStatementsAgain) {
    const QString text = QStringLiteral("SELECT name FROM sqlite_schema WHERE name = ?1");
    sqlite3_stmt* first = nullptr;
    {
        PreparedStatement lookup(database->handle(), text);
        ASSERT_TRUE(lookup.ok());
        first = lookup.handle();
        lookup.bindText(1, QStringLiteral("t"));
        ASSERT_EQ(lookup.step(), SQLITE_ROW); // given back in the middle of its rows
    }
    PreparedStatement again(database->handle(), text);
    EXPECT_EQ(again.handle(), first);
    EXPECT_EQ(again.step(), SQLITE_DONE); // reset and unbound: no name given
    PreparedStatement broken(database->handle(), QStringLiteral("SELECT * FROM missing"));
    EXPECT_FALSE(broken.ok());
}

TEST(LookupStatementsTest, shouldBeKeptOnlyForAKeptConnectionAndLeaveItFreeToClose) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const QString text = QStringLiteral("SELECT ?1");
    sqlite3_stmt* unkept = nullptr;
    {
        const tsql::LookupStatement lookup(db, text);
        unkept = lookup.handle();
        ASSERT_NE(unkept, nullptr);
    }
    tsql::keepLookupsFor(db);
    sqlite3_stmt* kept = nullptr;
    {
        const tsql::LookupStatement outer(db, text);
        kept = outer.handle();
        sqlite3_bind_int(kept, 1, 7);
        ASSERT_EQ(sqlite3_step(kept), SQLITE_ROW);
        // The same look-up inside it (a function's query calling the function again).
        const tsql::LookupStatement inner(db, text);
        EXPECT_NE(inner.handle(), kept);
        ASSERT_NE(inner.handle(), nullptr);
    }
    {
        const tsql::LookupStatement again(db, text);
        EXPECT_EQ(again.handle(), kept);
        ASSERT_EQ(sqlite3_step(again.handle()), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_type(again.handle(), 0), SQLITE_NULL); // unbound
    }
    EXPECT_EQ(tsql::LookupStatement(db, QStringLiteral("SELECT * FROM missing")).handle(), nullptr);
    tsql::dropLookupsOf(db);
    EXPECT_EQ(sqlite3_close(db), SQLITE_OK); // nothing left unfinalized
}

} // namespace
} // namespace estaciones::db::sqlite::test
