// Every text gets a result or the server's error, in time proportional to
// its size: unterminated strings and comments, deep nesting, long names,
// NUL characters.
#include "platform/db/embedded/EmbeddedFixture.h"

#include "platform/db/embedded/parse/BatchParser.h"

#include <QElapsedTimer>

namespace estaciones::db::sqlite::test {

namespace {

// The first record of the parser's failure (number 0 when it parses).
ProviderError parseFailure(const QString& batch) {
    try {
        parseBatch(batch);
    } catch (const ProviderFailure& failure) {
        return failure.records().front();
    }
    ProviderError none;
    none.nativeError = 0;
    return none;
}

} // namespace

TEST(ParserLimits, UnterminatedTextAnswersTheServersErrors) {
    const std::vector<std::pair<QString, std::string>> cases{
        {"SELECT 'abc", "Unclosed quotation mark after the character string 'abc'."},
        {"SELECT N'd''e", "Unclosed quotation mark after the character string 'd'e'."},
        {"SELECT * FROM [Mis datos", "Unclosed quotation mark after the character string "
                                     "'Mis datos'."},
        {"SELECT 1 /* sin cerrar", "Missing end comment mark '*/'."},
        {"SELECT 1 /* /* anidado */", "Missing end comment mark '*/'."},
    };
    for (const auto& [batch, message] : cases) {
        const ProviderError error = parseFailure(batch);
        EXPECT_EQ(error.nativeError, batch.contains("/*") ? 113 : 105) << batch.toStdString();
        EXPECT_EQ(error.description.toStdString(), message);
    }
    EXPECT_EQ(parseFailure("SELECT 'a' /* b */ -- 'c").nativeError, 0);
    EXPECT_EQ(parseFailure("SELECT 1\nSELECT 2\nSELECT 'sin fin\n\n").line, 3);
    EXPECT_EQ(parseFailure("SELECT 1\nIF 1 = 1\nBEGIN\n  SELECT 2\n  ELSE").line, 5);
}

TEST(ParserLimits, NestingBeyondTheLimitIsAnErrorNotACrash) {
    QString blocks;
    for (int i = 0; i < 40000; ++i) {
        blocks += QStringLiteral("BEGIN ");
    }
    blocks += QStringLiteral("SELECT 1");
    for (int i = 0; i < 40000; ++i) {
        blocks += QStringLiteral(" END");
    }
    EXPECT_EQ(parseFailure(blocks).nativeError, 191);

    QString ifs;
    for (int i = 0; i < 40000; ++i) {
        ifs += QStringLiteral("IF 1 = 1 ");
    }
    EXPECT_EQ(parseFailure(ifs + QStringLiteral("SELECT 1")).nativeError, 191);

    const QString parentheses = QStringLiteral("SELECT ") + QString(100000, QLatin1Char('(')) +
                                QStringLiteral("1") + QString(100000, QLatin1Char(')'));
    EXPECT_EQ(parseFailure(parentheses).nativeError, 191);
    EXPECT_EQ(parseFailure("SELECT ((((1))))").nativeError, 0);
}

TEST(ParserLimits, IdentifiersLongerThan128CharactersAre103) {
    const QString longest(128, QLatin1Char('a'));
    EXPECT_EQ(parseFailure("SELECT 1 AS " + longest).nativeError, 0);
    const ProviderError error = parseFailure("SELECT 1 AS [" + longest + "b]");
    EXPECT_EQ(error.nativeError, 103);
    EXPECT_EQ(error.description.toStdString(),
              "The identifier that starts with '" + longest.toStdString() +
                  "' is too long. Maximum length is 128.");
    EXPECT_EQ(parseFailure("DECLARE @" + longest + " int").nativeError, 103);
    // A string is no identifier.
    EXPECT_EQ(parseFailure("SELECT '" + QString(5000, QLatin1Char('x')) + "'").nativeError, 0);
}

using ParserLimitsEngineTest = EmbeddedFixture;

TEST_F(ParserLimitsEngineTest, ANulCharacterIsPartOfTheText) {
    const QString withNul = QStringLiteral("SELECT 'a") + QChar(0) + QStringLiteral("b'");
    const Variant value = scalar(withNul);
    EXPECT_EQ(value.toString().size(), 3);
    EXPECT_EQ(value.toString().at(1), QChar(0));
    // Outside a string it is a character the grammar has no place for.
    EXPECT_EQ(nativeErrorOf(QStringLiteral("SELECT 1") + QChar(0)), 102);
}

TEST_F(ParserLimitsEngineTest, MalformedDefinitionsAreSyntaxErrors) {
    EXPECT_EQ(nativeErrorOf("CREATE TABLE t (a int DEFAULT)"), 102);
    EXPECT_EQ(nativeErrorOf("CREATE TABLE t (a int DEFAULT"), 102);
}

TEST_F(ParserLimitsEngineTest, NestedTopPercentKeepsTheRoundedUpShareAtEveryLevel) {
    run("CREATE TABLE N (a int) INSERT INTO N VALUES (1) INSERT INTO N VALUES (2) "
        "INSERT INTO N VALUES (3) INSERT INTO N VALUES (4) INSERT INTO N VALUES (5)");
    EXPECT_EQ(rows("SELECT TOP 50 PERCENT a FROM N ORDER BY a").size(), 3u);
    // 5 rows, then 3, 2, 1 and 1 at every level after: each level keeps the largest.
    QString query = QStringLiteral("SELECT a FROM N");
    for (int level = 0; level < 18; ++level) {
        query = QStringLiteral("SELECT TOP 50 PERCENT a FROM (%1) AS t%2 ORDER BY a DESC")
                    .arg(query)
                    .arg(level);
    }
    const auto answer = rows(query);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(answer.front().front().toInt64(), 5);
    // Two levels keep 3 of 5, then 2 of those: 5 and 4.
    const auto twoLevels = rows(
        "SELECT TOP 50 PERCENT a FROM (SELECT TOP 50 PERCENT a FROM N ORDER BY a DESC) AS t "
        "WHERE a > 0 ORDER BY a DESC");
    ASSERT_EQ(twoLevels.size(), 2u);
    EXPECT_EQ(twoLevels[1].front().toInt64(), 4);
}

TEST_F(ParserLimitsEngineTest, TopPercentOverAJoinedTopPercentIsRefusedByName) {
    run("CREATE TABLE N (a int) INSERT INTO N VALUES (1)");
    // Over a derived table and what it joins, the count repeats the join.
    EXPECT_EQ(rows("SELECT TOP 50 PERCENT t.a FROM (SELECT TOP 50 PERCENT a FROM N) AS t JOIN N "
                   "AS u ON u.a = t.a")
                  .size(),
              1u);
    // A derived table joined after a table: the count would repeat it, and
    // so double at every level.
    EXPECT_EQ(nativeErrorOf("SELECT TOP 50 PERCENT u.a FROM N AS u JOIN (SELECT TOP 50 PERCENT a "
                            "FROM N) AS t ON u.a = t.a"),
              40517);
    EXPECT_TRUE(lastFailure.front().description.contains(QStringLiteral("TOP PERCENT")));
}

} // namespace estaciones::db::sqlite::test
