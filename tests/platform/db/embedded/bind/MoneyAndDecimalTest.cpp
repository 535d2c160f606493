// money and decimal results reach the caller at their type's scale, with the
// rounding of an assignment or a CAST to that scale.
#include "platform/db/embedded/EmbeddedFixture.h"

#include <limits>

namespace estaciones::db::sqlite::test {

using MoneyAndDecimalTest = EmbeddedFixture;

namespace {

Variant money(std::int64_t tenThousandths) {
    return Currency{tenThousandths};
}

} // namespace

TEST_F(MoneyAndDecimalTest, MoneyVariablesAddWithoutDrift) {
    const ExecutionResult result = run("DECLARE @m money = 0, @i int = 0\n"
                                       "WHILE @i < 10 BEGIN SET @m = @m + 0.1 SET @i = @i + 1 END\n"
                                       "SELECT @m, CASE WHEN @m = 1 THEN 1 ELSE 0 END");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const auto& row = result.resultSets.front().rows.at(0);
    EXPECT_EQ(row.at(0), money(10000));
    EXPECT_EQ(result.resultSets.front().columns.at(0).type, adtype::Currency);
    EXPECT_EQ(row.at(1).toInt32(), 1);
    // Assignment rounds to four places, half away from zero.
    EXPECT_EQ(scalar("DECLARE @m money = 2.71828 SELECT @m"), money(27183));
    EXPECT_EQ(scalar("DECLARE @m money = -0.00005 SELECT @m"), money(-1));
}

TEST_F(MoneyAndDecimalTest, CastsGiveTheirTypeAndScale) {
    const ExecutionResult result = run("SELECT CAST(10 AS money) / 3, CAST(1 AS decimal(10,4)), "
                                       "CONVERT(decimal(5,2), 2.345), CAST(2.5 AS decimal(3,0))");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const auto& columns = result.resultSets.front().columns;
    const auto& row = result.resultSets.front().rows.at(0);
    EXPECT_EQ(columns.at(0).type, adtype::Currency);
    EXPECT_EQ(row.at(0), money(33333));
    EXPECT_EQ(columns.at(1).type, adtype::Numeric);
    EXPECT_EQ(columns.at(1).numericScale, 4);
    EXPECT_EQ(row.at(1).toDecimal().toString(), QStringLiteral("1.0000"));
    EXPECT_EQ(row.at(2).toDecimal().toString(), QStringLiteral("2.35"));
    EXPECT_EQ(row.at(3).toDecimal().toString(), QStringLiteral("3"));
}

TEST_F(MoneyAndDecimalTest, SumAndAverageOfDecimalsWidenTheirType) {
    run("CREATE TABLE Medidas (d decimal(6,2))");
    run("INSERT INTO Medidas VALUES (1.00) INSERT INTO Medidas VALUES (2.00) "
        "INSERT INTO Medidas VALUES (2.50)");
    const ExecutionResult result = run("SELECT SUM(d), AVG(d) FROM Medidas");
    ASSERT_EQ(result.resultSets.size(), 1u);
    const auto& columns = result.resultSets.front().columns;
    EXPECT_EQ(columns.at(0).precision, 38);
    EXPECT_EQ(columns.at(0).numericScale, 2);
    EXPECT_EQ(columns.at(1).numericScale, 6);
    const auto& row = result.resultSets.front().rows.at(0);
    EXPECT_EQ(row.at(0).toDecimal().toString(), QStringLiteral("5.50"));
    EXPECT_EQ(row.at(1).toDecimal().toString(), QStringLiteral("1.833333"));
}

TEST_F(MoneyAndDecimalTest, CurrencySignMakesMoneyLiterals) {
    const auto values = rows("SELECT $1.50, -$3");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].at(0), money(15000));
    EXPECT_EQ(values[0].at(1), money(-30000));
}

TEST_F(MoneyAndDecimalTest, SumOfManySmallAmountsIsExact) {
    run("CREATE TABLE Digitos (d int)");
    run("INSERT INTO Digitos VALUES (0) INSERT INTO Digitos VALUES (1) INSERT INTO Digitos VALUES "
        "(2) INSERT INTO Digitos VALUES (3) INSERT INTO Digitos VALUES (4) INSERT INTO Digitos "
        "VALUES (5) INSERT INTO Digitos VALUES (6) INSERT INTO Digitos VALUES (7) INSERT INTO "
        "Digitos VALUES (8) INSERT INTO Digitos VALUES (9)");
    run("CREATE TABLE Importes (importe money)");
    run("INSERT INTO Importes SELECT 0.01 FROM Digitos a, Digitos b, Digitos c, Digitos d, "
        "Digitos e");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Importes").toInt32(), 100000);
    EXPECT_EQ(scalar("SELECT SUM(importe) FROM Importes"), money(10000000));
}

TEST_F(MoneyAndDecimalTest, ValuesBeyondADoubleKeepEveryDigit) {
    const auto values =
        rows("SELECT CAST(922337203685477.5807 AS money), CAST(-922337203685477.5808 AS money), "
             "CAST(12345678901234567890123456789012345678 AS decimal(38,0)), "
             "CONVERT(varchar(30), CAST(922337203685477.5807 AS money), 2)");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].at(0), money(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(values[0].at(1), money(std::numeric_limits<std::int64_t>::min()));
    EXPECT_EQ(values[0].at(2).toDecimal().toString(),
              QStringLiteral("12345678901234567890123456789012345678"));
    EXPECT_EQ(values[0].at(3).toString(), QStringLiteral("922337203685477.5807"));
    // A parameter of that size reaches the query with its digits too.
    const ExecutionResult result = run("SELECT CONVERT(varchar(30), CAST(? AS money), 2)",
                                       {money(std::numeric_limits<std::int64_t>::max() - 1)});
    EXPECT_EQ(result.resultSets.at(0).rows.at(0).at(0).toString(),
              QStringLiteral("922337203685477.5806"));
}

TEST_F(MoneyAndDecimalTest, MoneyQuotientsRoundTheSameWhateverTheDivisor) {
    // By a whole number (worked out in ten-thousandths) and by the same
    // divisor as money (on decimal digits): one answer.
    const auto values =
        rows("SELECT CAST(1 AS money) / 20000, CAST(1 AS money) / CAST(20000 AS money), "
             "CAST(-1 AS money) / 20000, CAST(-1 AS money) / CAST(20000 AS money), "
             "CAST(2 AS money) / -3, CAST(2 AS money) / CAST(-3 AS money)");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].at(0), money(1));
    EXPECT_EQ(values[0].at(1), money(1));
    EXPECT_EQ(values[0].at(2), money(-1));
    EXPECT_EQ(values[0].at(3), money(-1));
    EXPECT_EQ(values[0].at(4), money(-6667));
    EXPECT_EQ(values[0].at(5), money(-6667));
    EXPECT_EQ(scalar("SELECT CAST(922337203685477.5807 AS money) / 1"),
              money(std::numeric_limits<std::int64_t>::max()));
}

TEST_F(MoneyAndDecimalTest, SumsOfMoneyAreExactAndKeepItsRange) {
    run("CREATE TABLE Cobros (id int PRIMARY KEY, importe money)");
    run("INSERT INTO Cobros VALUES (1, 0.1), (2, 0.2), (3, NULL), (4, 0.3)");
    EXPECT_EQ(scalar("SELECT SUM(importe) FROM Cobros"), money(6000));
    EXPECT_EQ(scalar("SELECT SUM(importe) FROM Cobros WHERE importe = 0.1 OR id = 3"), money(1000));
    EXPECT_TRUE(scalar("SELECT SUM(importe) FROM Cobros WHERE id = 3").isNull());
    EXPECT_TRUE(scalar("SELECT SUM(importe) FROM Cobros WHERE id > 9").isNull());
    const auto grouped = rows("SELECT id % 2, SUM(importe) FROM Cobros GROUP BY id % 2 ORDER BY 1");
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_EQ(grouped[0].at(1), money(5000));
    EXPECT_EQ(grouped[1].at(1), money(1000));
    // Fifteen digits each, the most a column keeps; their total has sixteen.
    run("INSERT INTO Cobros VALUES (5, 92233720368.5477), (6, 92233720368.5477)");
    EXPECT_EQ(scalar("SELECT SUM(importe) FROM Cobros WHERE id > 4"), money(1844674407370954));
    run("UPDATE Cobros SET importe = 922337203685477 WHERE id > 4");
    EXPECT_EQ(nativeErrorOf("SELECT SUM(importe) FROM Cobros"), 8115);
}

} // namespace estaciones::db::sqlite::test
