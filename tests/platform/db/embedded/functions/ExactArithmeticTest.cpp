// + - * /, SUM and AVG of money and decimal on their exact digits: the double
// shortcut and the exact body give the same number, and a result that does
// not fit its type is an overflow, never a rounded double.
#include "platform/core/Decimal.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/translate/DialectDatabase.h"

#include <gtest/gtest.h>

namespace {

using estaciones::Decimal;

class ExactArithmeticTest : public ::testing::Test {
protected:
    // The single value of a SQLite query, by its digits.
    Decimal number(const QString& sql) {
        const auto rows = db.runSqlite(sql);
        EXPECT_EQ(rows.size(), 1u) << sql.toStdString();
        const auto value = rows.empty() ? std::nullopt : Decimal::parse(rows.front().front());
        EXPECT_TRUE(value) << sql.toStdString() << " gave " << rows.front().front().toStdString();
        return value.value_or(Decimal());
    }
    static Decimal digits(const char* text) { return *Decimal::parse(QString::fromLatin1(text)); }
    QString failureOf(const QString& sql) {
        try {
            db.runSqlite(sql);
        } catch (const std::runtime_error& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
    DialectDatabase db;
};

struct Operation {
    const char* function;
    const char* a;
    const char* b;
    const char* type;
    const char* expected;
};

TEST_F(ExactArithmeticTest, shouldGiveTheExactResultFromDoublesAndFromDigitsAlike) {
    const Operation operations[] = {
        {"add", "0.1", "0.2", "money", "0.3"},
        {"subtract", "100", "0.0001", "money", "99.9999"},
        {"multiply", "19.99", "3", "money", "59.97"},
        // Exactly halfway between two ten-thousandths: away from zero.
        {"multiply", "0.5", "0.0001", "money", "0.0001"},
        {"multiply", "-0.5", "0.0001", "money", "-0.0001"},
        {"multiply", "1.25", "0.0003", "money", "0.0004"},
        {"subtract", "1.001", "2.002", "decimal(11,3)", "-1.001"},
        {"multiply", "12", "3", "decimal(5,0)", "36"},
        {"multiply", "1.5", "2.0", "decimal(9,3)", "3"},
        {"add", "214748.3646", "0.0001", "smallmoney", "214748.3647"},
        {"subtract", "922337203685477.5807", "1", "money", "922337203685476.5807"},
        {"add", "-922337203685477.5808", "1", "money", "-922337203685476.5808"},
        {"multiply", "99999999999.9999", "3", "money", "299999999999.9997"},
        {"add", "12345678901234567890123456789012.34", "0.01", "decimal(38,2)",
         "12345678901234567890123456789012.35"},
        {"multiply", "1234567890123456789.5", "2", "decimal(38,1)", "2469135780246913579.0"},
        // Decimal quotients, rounded once at the result's scale.
        {"divide", "1", "3", "decimal(7,6)", "0.333333"},
        {"divide", "2", "3", "decimal(7,6)", "0.666667"},
        {"divide", "-2", "3", "decimal(7,6)", "-0.666667"},
        // Exactly halfway: away from zero, which only the digits tell.
        {"divide", "1", "8", "decimal(5,2)", "0.13"},
        {"divide", "1.0", "0.3", "decimal(10,6)", "3.333333"},
        {"divide", "12345678901234567.89", "7", "decimal(38,6)", "1763668414462081.127143"},
    };
    for (const Operation& o : operations) {
        const QString call = QStringLiteral("SELECT tsql_exact_%1(%2, %3, '%4')")
                                 .arg(QLatin1String(o.function));
        const QString type = QString::fromLatin1(o.type);
        // As SQLite reads the literals (doubles beyond 15 digits lose some:
        // only the narrow ones), and as their digits.
        if (!estaciones::db::tsql::isWiderThanDouble(QLatin1String(o.a)) &&
            !estaciones::db::tsql::isWiderThanDouble(QLatin1String(o.b))) {
            EXPECT_EQ(number(call.arg(QLatin1String(o.a), QLatin1String(o.b), type)),
                      digits(o.expected))
                << o.function << ' ' << o.a << ' ' << o.b;
        }
        EXPECT_EQ(number(call.arg(QStringLiteral("'%1'").arg(QLatin1String(o.a)),
                                  QStringLiteral("'%1'").arg(QLatin1String(o.b)), type)),
                  digits(o.expected))
            << o.function << ' ' << o.a << ' ' << o.b;
    }
}

TEST_F(ExactArithmeticTest, shouldOverflowWhereTheResultLeavesItsType) {
    EXPECT_TRUE(failureOf("SELECT tsql_exact_add('922337203685477.5807', 0.0001, 'money')")
                    .contains("Arithmetic overflow error converting expression to data type "
                              "money."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_multiply(900000000000000, 2, 'money')")
                    .contains("data type money."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_add(214748.3647, 0.0001, 'smallmoney')")
                    .contains("data type smallmoney."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_add(99.9, 0.1, 'decimal(3,1)')")
                    .contains("data type numeric."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_add('99999999999999999999999999999999999999', 1, "
                          "'decimal(38,0)')")
                    .contains("data type numeric."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_subtract('abc', 1, 'money')")
                    .contains("Error converting data type varchar to money."));
    EXPECT_EQ(db.runSqlite("SELECT tsql_exact_add(NULL, 1, 'money')").front().front(), "NULL");
    EXPECT_TRUE(failureOf("SELECT tsql_exact_divide(1.5, 0, 'decimal(8,6)')")
                    .contains("Divide by zero error encountered."));
    EXPECT_TRUE(failureOf("SELECT tsql_exact_divide(99, 0.01, 'decimal(5,2)')")
                    .contains("data type numeric."));
    EXPECT_EQ(db.runSqlite("SELECT tsql_exact_divide(NULL, 0, 'decimal(8,6)')").front().front(),
              "NULL");
}

TEST_F(ExactArithmeticTest, shouldSumAndAverageOnExactDigits) {
    const QString values =
        QStringLiteral("WITH v(x) AS (VALUES ('922337203685477.5807'), (-0.0007), (NULL)) ");
    EXPECT_EQ(number(values + "SELECT tsql_money_sum(x) FROM v"), digits("922337203685477.58"));
    EXPECT_EQ(number(values + "SELECT tsql_money_avg(x) FROM v"), digits("461168601842738.79"));
    // 0.1 ten thousand times, where doubles drift.
    const QString tenths = QStringLiteral(
        "WITH RECURSIVE n(i, x) AS (SELECT 1, 0.1 UNION ALL SELECT i + 1, 0.1 FROM n WHERE i < "
        "10000) ");
    EXPECT_EQ(number(tenths + "SELECT tsql_decimal_sum(x, 1) FROM n"), digits("1000"));
    EXPECT_EQ(number(tenths + "SELECT tsql_decimal_avg(x, 1) FROM n"), digits("0.1"));
    const QString wide = QStringLiteral(
        "WITH v(x) AS (VALUES ('12345678901234567890123456789012.34'), (0.01), (0.01)) ");
    EXPECT_EQ(number(wide + "SELECT tsql_decimal_sum(x, 2) FROM v"),
              digits("12345678901234567890123456789012.36"));
    EXPECT_EQ(number(wide + "SELECT tsql_decimal_sum(DISTINCT x) FROM v"),
              digits("12345678901234567890123456789012.35"));
    // AVG of decimal(p,2) keeps six places.
    EXPECT_EQ(number("WITH v(x) AS (VALUES (1.0), (2.0), (2.5)) SELECT tsql_decimal_avg(x, 2) "
                     "FROM v"),
              digits("1.833333"));
}

TEST_F(ExactArithmeticTest, shouldTakeValuesBackOutOfAMovingWindow) {
    const auto rows = db.runSqlite(
        "WITH v(i, x) AS (VALUES (1, '922337203685477.5807'), (2, -1), (3, 0.25)) "
        "SELECT tsql_money_sum(x) OVER (ORDER BY i ROWS BETWEEN 1 PRECEDING AND CURRENT ROW) "
        "FROM v ORDER BY i");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "922337203685477.5807");
    EXPECT_EQ(rows[1][0], "922337203685476.5807");
    EXPECT_EQ(*Decimal::parse(rows[2][0]), digits("-0.75"));
}

TEST_F(ExactArithmeticTest, shouldOverflowWhenATotalLeavesItsType) {
    EXPECT_TRUE(failureOf("WITH v(x) AS (VALUES ('922337203685477.5807'), (0.0001)) SELECT "
                          "tsql_money_sum(x) FROM v")
                    .contains("data type money."));
    EXPECT_TRUE(failureOf("WITH v(x) AS (VALUES ('99999999999999999999999999999999999999'), (1)) "
                          "SELECT tsql_decimal_sum(x, 0) FROM v")
                    .contains("data type numeric."));
}

TEST_F(ExactArithmeticTest, shouldTotalAnOperationRowByRowAsItsOwnCallWould) {
    const QString rows = QStringLiteral(
        "WITH v(i, a, b) AS (VALUES (1, 0.37, 3), (2, 0.5, 0.0001), (3, NULL, 2), "
        "(4, '922337203685477.5807', -1)) ");
    // 1.11 + 0.0001 (half a ten-thousandth, away from zero) + nothing - 922337203685477.5807
    EXPECT_EQ(number(rows + "SELECT tsql_money_sum(a, b, '*', 'money') FROM v"),
              digits("-922337203685476.4706"));
    EXPECT_EQ(number(rows + "SELECT tsql_money_sum(a, b, '*', 'money') FROM v WHERE i < 4"),
              number(rows + "SELECT tsql_money_sum(tsql_exact_multiply(a, b, 'money')) FROM v "
                            "WHERE i < 4"));
    EXPECT_EQ(number(rows + "SELECT tsql_decimal_avg(a, b, '-', 'decimal(20,4)') FROM v WHERE i < 3"),
              digits("-1.06505"));
    const auto moving = db.runSqlite(
        rows + "SELECT tsql_decimal_sum(a, b, '+', 'decimal(20,4)') OVER (ORDER BY i ROWS "
               "BETWEEN 1 PRECEDING AND CURRENT ROW) FROM v ORDER BY i");
    ASSERT_EQ(moving.size(), 4u);
    EXPECT_EQ(*Decimal::parse(moving[1][0]), digits("3.8701"));
    EXPECT_EQ(*Decimal::parse(moving[3][0]), digits("922337203685476.5807"));
    // Money divided: each quotient kept to the ten-thousandth, halves away from zero.
    EXPECT_EQ(number(rows + "SELECT tsql_money_sum(a, b, '/', 'money') FROM v WHERE i < 3"),
              digits("5000.1233"));
    EXPECT_EQ(number(rows + "SELECT tsql_money_sum(a, 0.5, '/', 'money') FROM v WHERE i < 3"),
              digits("1.74"));
    EXPECT_TRUE(failureOf(rows + "SELECT tsql_money_sum(a, 0, '/', 'money') FROM v")
                    .contains("Divide by zero error encountered."));
    // A row whose own result leaves the type ends the total, as its call would.
    EXPECT_TRUE(failureOf(rows + "SELECT tsql_money_sum(a, b, '-', 'money') FROM v")
                    .contains("data type money."));
}

} // namespace
