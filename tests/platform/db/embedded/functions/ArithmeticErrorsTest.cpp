// Arithmetic and conversions that the server refuses: the statement ends
// with its error and writes nothing, where SQLite would answer NULL or a
// wrapped number.
#include "platform/db/embedded/EmbeddedFixture.h"

namespace estaciones::db::sqlite::test {

using ArithmeticErrorsTest = EmbeddedFixture;

TEST_F(ArithmeticErrorsTest, DivisionByZeroEndsTheStatementAndWritesNothing) {
    EXPECT_EQ(nativeErrorOf("SELECT 1/0"), 8134);
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_EQ(lastFailure.front().description, QStringLiteral("Divide by zero error encountered."));
    EXPECT_EQ(nativeErrorOf("SELECT 7 % 0"), 8134);
    EXPECT_EQ(nativeErrorOf("SELECT 1.5 / 0.0"), 8134);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(10 AS money) / 0"), 8134);

    run("CREATE TABLE T (n int, d int)");
    run("INSERT INTO T VALUES (1, 1) INSERT INTO T VALUES (2, 0)");
    EXPECT_EQ(nativeErrorOf("INSERT INTO T SELECT 1/0, 0"), 8134);
    EXPECT_EQ(nativeErrorOf("INSERT INTO T SELECT n / d, 5 FROM T"), 8134);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM T").toInt32(), 2);
    EXPECT_EQ(nativeErrorOf("UPDATE T SET n = 10 / d"), 8134);
    EXPECT_EQ(scalar("SELECT SUM(n) FROM T").toInt32(), 3);

    EXPECT_EQ(nativeErrorOf("DECLARE @x int SET @x = 5 / 0"), 8134);
    // NULL divided by zero is NULL: no value, no error.
    EXPECT_TRUE(scalar("SELECT NULL / 0").isNull());
}

TEST_F(ArithmeticErrorsTest, DivisionsKeepTheirPrecedenceAndIntegerRules) {
    const auto values = rows("SELECT 7 / 2, -7 / 2, 7 % 3, -7 % 3, 2 + 12 / 4 * 3, 100 / 10 / 5, "
                             "12 % 5 * 2, 8 / -2 + 1, 7.0 / 2");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0][0].toInt32(), 3);
    EXPECT_EQ(values[0][1].toInt32(), -3); // truncated toward zero
    EXPECT_EQ(values[0][2].toInt32(), 1);
    EXPECT_EQ(values[0][3].toInt32(), -1); // the dividend's sign
    EXPECT_EQ(values[0][4].toInt32(), 11);
    EXPECT_EQ(values[0][5].toInt32(), 2);
    EXPECT_EQ(values[0][6].toInt32(), 4);
    EXPECT_EQ(values[0][7].toInt32(), -3);
    EXPECT_DOUBLE_EQ(values[0][8].toDouble(), 3.5);

    run("CREATE TABLE P (precio money, n int)");
    run("INSERT INTO P VALUES (900, 7)");
    EXPECT_NEAR(scalar("SELECT precio / n FROM P").toDouble(), 128.5714, 1e-4);
    EXPECT_EQ(scalar("SELECT n / 2 FROM P").toInt32(), 3);
}

TEST_F(ArithmeticErrorsTest, ValuesThatDoNotFitTheirType) {
    EXPECT_EQ(nativeErrorOf("SELECT CAST(300 AS tinyint)"), 220);
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_EQ(lastFailure.front().description,
              QStringLiteral("Arithmetic overflow error for data type tinyint, value = 300."));
    EXPECT_EQ(nativeErrorOf("SELECT CAST(-1 AS tinyint)"), 220);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(40000 AS smallint)"), 220);
    EXPECT_EQ(scalar("SELECT CAST(-32768 AS smallint)").toInt32(), -32768);
    EXPECT_EQ(nativeErrorOf("SELECT CONVERT(int, 3000000000)"), 8115);
    EXPECT_EQ(lastFailure.front().description,
              QStringLiteral("Arithmetic overflow error converting expression to data type int."));
    EXPECT_EQ(scalar("SELECT CAST(2147483647 AS int)").toInt64(), 2147483647LL);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(1000 AS decimal(3,1))"), 8115);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(1e15 AS money)"), 8115);
    EXPECT_EQ(nativeErrorOf("SELECT CAST(9223372036854775807 AS bigint) + 1"), 8115);

    // Two ints give an int: an int variable plus one overflows at the top.
    EXPECT_EQ(nativeErrorOf("DECLARE @i int = 2147483647 SELECT @i + 1"), 8115);
    EXPECT_EQ(nativeErrorOf("SELECT 65536 * 65536"), 8115);
    EXPECT_EQ(scalar("SELECT 2147483646 + 1").toInt64(), 2147483647LL);
    EXPECT_EQ(scalar("SELECT -2147483647 - 1").toInt64(), -2147483648LL);
    EXPECT_EQ(scalar("SELECT 1 + 2 * 3").toInt32(), 7);

    EXPECT_EQ(nativeErrorOf("DECLARE @t tinyint = 256"), 220);
    EXPECT_EQ(nativeErrorOf("DECLARE @i int SET @i = 2147483648"), 8115);
    EXPECT_EQ(scalar("DECLARE @s smallint = 12.7 SELECT @s").toInt32(), 12);

    // A float has no infinity: beyond 1.79E+308 is an overflow, not a value.
    EXPECT_EQ(nativeErrorOf("SELECT CAST(1e308 AS float) * 10"), 8115);
    EXPECT_EQ(lastFailure.front().description,
              QStringLiteral("Arithmetic overflow error converting expression to data type float."));
    EXPECT_DOUBLE_EQ(scalar("SELECT CAST(1e308 AS float) * 1.5").toDouble(), 1.5e308);
}

// A decimal or money value that does not fit a decimal names its own type,
// although it travels as a double.
TEST_F(ArithmeticErrorsTest, DecimalsThatDoNotFitNameTheirSourceType) {
    const auto overflowText = [&](const char* batch) {
        EXPECT_EQ(nativeErrorOf(QString::fromLatin1(batch)), 8115) << batch;
        return lastFailure.empty() ? QString() : lastFailure.front().description;
    };
    const QString fromNumeric =
        QStringLiteral("Arithmetic overflow error converting numeric to data type numeric.");
    EXPECT_EQ(overflowText("DECLARE @d decimal(5,2) = 1234.567"), fromNumeric);
    EXPECT_EQ(overflowText("DECLARE @d decimal(5,2), @e decimal(10,1) = 1234.5 SET @d = @e"),
              fromNumeric);
    EXPECT_EQ(overflowText("SELECT CAST(CAST(1234.5 AS decimal(10,1)) AS decimal(5,2))"),
              fromNumeric);
    EXPECT_EQ(overflowText("SELECT CAST(CAST(1234.5 AS money) AS decimal(5,2))"),
              QStringLiteral("Arithmetic overflow error converting money to data type numeric."));
    EXPECT_EQ(overflowText("DECLARE @d decimal(5,2) SET @d = '1234'"),
              QStringLiteral("Arithmetic overflow error converting varchar to data type numeric."));
    // What fits is rounded to the scale.
    EXPECT_EQ(scalar("SELECT CAST(CAST(2.345 AS decimal(10,3)) AS decimal(5,2))")
                  .toDecimal()
                  .toString(),
              QStringLiteral("2.35"));
}

TEST_F(ArithmeticErrorsTest, TextThatIsNoNumber) {
    EXPECT_EQ(nativeErrorOf("SELECT CAST('abc' AS int)"), 245);
    ASSERT_FALSE(lastFailure.empty());
    EXPECT_EQ(lastFailure.front().description,
              QStringLiteral(
                  "Conversion failed when converting the varchar value 'abc' to data type int."));
    EXPECT_EQ(nativeErrorOf("SELECT CAST('1.5' AS int)"), 245);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('x' AS decimal(10,2))"), 8114);
    EXPECT_EQ(lastFailure.front().description,
              QStringLiteral("Error converting data type varchar to numeric."));
    EXPECT_EQ(nativeErrorOf("DECLARE @i int SET @i = 'doce'"), 245);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('abc' AS money)"), 235);
    EXPECT_EQ(nativeErrorOf("SELECT CAST('abc' AS smallmoney)"), 293);
    EXPECT_EQ(nativeErrorOf("SELECT 'a' / 2"), 245);
    EXPECT_EQ(scalar("SELECT CAST(' 42 ' AS int)").toInt32(), 42);
    // Blank text beside a whole number is 0, as it converts to int.
    EXPECT_EQ(scalar("SELECT 5 + ''").toInt32(), 5);
    EXPECT_EQ(scalar("SELECT ' ' - 2").toInt32(), -2);
    EXPECT_EQ(scalar("SELECT 7 - ''").toInt32(), 7);
    EXPECT_EQ(nativeErrorOf("SELECT 5 + 'x'"), 245);
}

// Text meeting a number or a date is converted to that type, as data type
// precedence says, instead of being compared as text.
TEST_F(ArithmeticErrorsTest, TextComparedWithTypedValuesTakesTheirType) {
    run("CREATE TABLE Dias (d datetime)");
    run("DECLARE @d datetime = '20240101'\n"
        "WHILE @d < '20250101'\n"
        "BEGIN\n"
        "  INSERT INTO Dias VALUES (@d)\n"
        "  SET @d = DATEADD(day, 1, @d)\n"
        "END");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Dias").toInt32(), 366);
    EXPECT_EQ(scalar("DECLARE @d datetime = '20250601' "
                     "SELECT CASE WHEN @d < '20250101' THEN 1 ELSE 0 END")
                  .toInt32(),
              0);

    EXPECT_EQ(scalar("DECLARE @n int = 9 SELECT CASE WHEN @n < '10' THEN 1 ELSE 0 END").toInt32(),
              1);
    EXPECT_EQ(scalar("DECLARE @n int = 5 SELECT CASE WHEN '5' = @n THEN 1 ELSE 0 END").toInt32(),
              1);
    EXPECT_EQ(nativeErrorOf("DECLARE @n int = 5 SELECT CASE WHEN @n = 'cinco' THEN 1 END"), 245);
}

TEST_F(ArithmeticErrorsTest, ExpressionsWithoutAnAliasAreNamedEmpty) {
    run("CREATE TABLE T (n int)");
    run("INSERT INTO T VALUES (4)");
    // Grouped by n: the server refuses n beside an aggregate otherwise (8120).
    const ExecutionResult result = run("SELECT COUNT(*), n, n * 2, n AS doble, T.n FROM T GROUP BY n");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const auto& columns = result.resultSets.front().columns;
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].name, QString());
    EXPECT_EQ(columns[1].name, QStringLiteral("n"));
    EXPECT_EQ(columns[2].name, QString());
    EXPECT_EQ(columns[3].name, QStringLiteral("doble"));
    EXPECT_EQ(columns[4].name, QStringLiteral("n"));
}

} // namespace estaciones::db::sqlite::test
