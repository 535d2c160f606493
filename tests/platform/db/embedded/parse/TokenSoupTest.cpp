// Random token soup never crashes or hangs the executor: every batch ends,
// in success or in a provider error, within its time-out.
#include "platform/db/embedded/EmbeddedFixture.h"

#include <QElapsedTimer>

#include <random>

namespace estaciones::db::sqlite::test {

using TokenSoupTest = EmbeddedFixture;

TEST_F(TokenSoupTest, RandomBatchesEndInResultsOrErrors) {
    run("CREATE TABLE T (id int PRIMARY KEY, n varchar(5))\nINSERT INTO T VALUES (1, 'a')");
    run("CREATE PROCEDURE P @a int = 1 AS SELECT @a");
    const std::vector<QString> vocabulary{"SELECT",
                                          "INSERT",
                                          "INTO",
                                          "UPDATE",
                                          "DELETE",
                                          "FROM",
                                          "WHERE",
                                          "SET",
                                          "VALUES",
                                          "IF",
                                          "ELSE",
                                          "BEGIN",
                                          "END",
                                          "WHILE",
                                          "BREAK",
                                          "CONTINUE",
                                          "RETURN",
                                          "DECLARE",
                                          "EXEC",
                                          "EXISTS",
                                          "NOT",
                                          "AND",
                                          "OR",
                                          "CASE",
                                          "WHEN",
                                          "THEN",
                                          "NULL",
                                          "TOP",
                                          "WITH",
                                          "AS",
                                          "ON",
                                          "CREATE",
                                          "DROP",
                                          "TABLE",
                                          "VIEW",
                                          "PROCEDURE",
                                          "TRAN",
                                          "COMMIT",
                                          "ROLLBACK",
                                          "USE",
                                          "DATABASE",
                                          "GO",
                                          "PRINT",
                                          "RAISERROR",
                                          "NOCOUNT",
                                          "OPTION",
                                          "MAXRECURSION",
                                          "UNION",
                                          "MIN(",
                                          "SUM(",
                                          "ISNULL(",
                                          "DISTINCT",
                                          "GROUP BY",
                                          "T",
                                          "P",
                                          "V",
                                          "id",
                                          "n",
                                          "[T]",
                                          "dbo",
                                          ".",
                                          ",",
                                          "(",
                                          ")",
                                          "(",
                                          ")",
                                          "=",
                                          "<",
                                          "+",
                                          "*",
                                          ";",
                                          "@a",
                                          "@b",
                                          "@@ROWCOUNT",
                                          "@@IDENTITY",
                                          "'x'",
                                          "N'ñ'",
                                          "'",
                                          "\"",
                                          "[",
                                          "1",
                                          "0",
                                          "1.5",
                                          "-",
                                          "/*",
                                          "--",
                                          "\n",
                                          "?",
                                          "int",
                                          "varchar(5)",
                                          "sp_addlogin",
                                          "PRUEBA"};
    std::mt19937 random(20241208);
    std::uniform_int_distribution<std::size_t> pick(0, vocabulary.size() - 1);
    std::uniform_int_distribution<int> length(1, 25);
    int failures = 0;
    for (int round = 0; round < 400; ++round) {
        QString batch;
        for (int i = length(random); i > 0; --i) {
            batch += vocabulary[pick(random)] + ' ';
        }
        QElapsedTimer clock;
        clock.start();
        try {
            engine->execute(batch, {1, "b"}, 1);
        } catch (const Error&) {
            ++failures;
        }
        EXPECT_LT(clock.elapsed(), 5000) << batch.toStdString();
        while (engine->transactionDepth() > 0) {
            engine->rollbackTransaction();
        }
        if (engine->currentDatabase() != "PRUEBA") {
            engine->useDatabase("PRUEBA");
        }
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(scalar("SELECT 1").toInt32(), 1); // the session is still usable
}

} // namespace estaciones::db::sqlite::test
