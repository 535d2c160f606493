// How money and decimal values travel exactly: as doubles while a double
// gives them back, as their digits beyond; the ranges of money, smallmoney
// and decimal(p,s) on exact digits.
#include "platform/db/embedded/storage/ExactNumbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace estaciones::db::tsql {

// Helpers as members: the file may be compiled together with others.
class ExactNumbersTest : public ::testing::Test {
protected:
    static Decimal number(const char* text) { return *Decimal::parse(QString::fromLatin1(text)); }

    // The number a value carries, written at its own scale; "none" when it carries none.
    static QString carriedText(const SqlValue& value) {
        const auto exact = exactNumber(value);
        return exact ? exact->toString() : QStringLiteral("none");
    }

    static int errorOf(void (*action)()) {
        try {
            action();
        } catch (const ConversionError& e) {
            return e.nativeNumber();
        }
        return 0;
    }
};

TEST_F(ExactNumbersTest, NumbersADoubleGivesBackTravelAsDoublesTheRestAsDigits) {
    EXPECT_EQ(carriedNumber(number("99999999999.9999"), false).kind, SqlValue::Kind::Real);
    EXPECT_EQ(carriedNumber(number("123.4500"), false).kind, SqlValue::Kind::Real);
    EXPECT_EQ(carriedNumber(number("12"), true).kind, SqlValue::Kind::Integer);
    EXPECT_EQ(carriedNumber(number("12"), false).kind, SqlValue::Kind::Real);
    const SqlValue wideMoney = carriedNumber(number("922337203685477.5807"), false);
    ASSERT_EQ(wideMoney.kind, SqlValue::Kind::Text);
    EXPECT_EQ(wideMoney.text, QStringLiteral("922337203685477.5807"));
    // Beyond 64 bits a whole decimal is digits too, never a wrapped integer.
    const SqlValue wideWhole =
        carriedNumber(number("12345678901234567890123456789012345678"), true);
    ASSERT_EQ(wideWhole.kind, SqlValue::Kind::Text);
    EXPECT_EQ(wideWhole.text, QStringLiteral("12345678901234567890123456789012345678"));
}

TEST_F(ExactNumbersTest, EveryCarriedFormGivesItsNumberBack) {
    for (const char* text : {"0.0001", "-0.0001", "1.0000", "99999999999.9999", "-99999999999.9999",
                             "922337203685477.5807", "-922337203685477.5808",
                             "0.12345678901234567890123456789012345678", "-9223372036854775808",
                             "9223372036854775808", "2.675"}) {
        for (const bool wholeAsInteger : {false, true}) {
            const Decimal value = number(text);
            const auto back = exactNumber(carriedNumber(value, wholeAsInteger));
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(*back, value) << text;
        }
    }
}

TEST_F(ExactNumbersTest, DoublesAreReadByTheirShortestDigits) {
    EXPECT_EQ(carriedText(SqlValue::of(0.1)), QStringLiteral("0.1"));
    EXPECT_EQ(carriedText(SqlValue::of(0.1 + 0.2)), QStringLiteral("0.30000000000000004"));
    EXPECT_EQ(carriedText(SqlValue::of(qint64(-42))), QStringLiteral("-42"));
    EXPECT_EQ(carriedText(SqlValue::of(QStringLiteral(" 1.50 "))), QStringLiteral("1.50"));
    // Too small for its shortest digits at 38 decimals: still a number, nearly zero.
    const auto tiny = exactNumber(SqlValue::of(7.888609052210118e-31));
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->rescaled(1)->toString(), QStringLiteral("0.0"));
    EXPECT_EQ(carriedText(SqlValue::of(QStringLiteral("abc"))), QStringLiteral("none"));
    EXPECT_EQ(carriedText(SqlValue::of(1e300)), QStringLiteral("none"));
    EXPECT_EQ(carriedText(SqlValue::of(std::numeric_limits<double>::infinity())),
              QStringLiteral("none"));
}

TEST_F(ExactNumbersTest, OnlyLiteralsWithMoreThanFifteenDigitsAreWide) {
    EXPECT_FALSE(isWiderThanDouble(QStringLiteral("123456789012345")));
    EXPECT_TRUE(isWiderThanDouble(QStringLiteral("1234567890123456")));
    EXPECT_FALSE(isWiderThanDouble(QStringLiteral("0.000000000000000000001")));
    EXPECT_TRUE(isWiderThanDouble(QStringLiteral("922337203685477.5807")));
    EXPECT_FALSE(isWiderThanDouble(QStringLiteral("1.2345678901234567e300")));
}

TEST_F(ExactNumbersTest, MoneyKeepsItsRangeToTheTenThousandth) {
    EXPECT_EQ(moneyValue(number("922337203685477.5807"), false).toString(),
              QStringLiteral("922337203685477.5807"));
    EXPECT_EQ(moneyValue(number("-922337203685477.5808"), false).toString(),
              QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(moneyValue(number("214748.3647"), true).toString(), QStringLiteral("214748.3647"));
    EXPECT_EQ(moneyValue(number("-214748.3648"), true).toString(), QStringLiteral("-214748.3648"));
    // Rounded half away from zero to four decimals.
    EXPECT_EQ(moneyValue(number("2.71825"), false).toString(), QStringLiteral("2.7183"));
    EXPECT_EQ(moneyValue(number("-0.00005"), false).toString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(errorOf([] { moneyValue(ExactNumbersTest::number("922337203685477.5808"), false); }),
              8115);
    EXPECT_EQ(errorOf([] { moneyValue(ExactNumbersTest::number("-922337203685477.5809"), false); }),
              8115);
    EXPECT_EQ(errorOf([] { moneyValue(ExactNumbersTest::number("922337203685477.58075"), false); }),
              8115);
    EXPECT_EQ(errorOf([] { moneyValue(ExactNumbersTest::number("214748.3648"), true); }), 8115);
    EXPECT_EQ(errorOf([] { moneyValue(ExactNumbersTest::number("-214748.3649"), true); }), 8115);
}

TEST_F(ExactNumbersTest, DecimalsKeepTheirPrecisionAfterRounding) {
    EXPECT_EQ(decimalValue(number("999.994"), 5, 2, "numeric").toString(),
              QStringLiteral("999.99"));
    EXPECT_EQ(errorOf([] { decimalValue(ExactNumbersTest::number("999.995"), 5, 2, "numeric"); }),
              8115);
    EXPECT_EQ(errorOf([] { decimalValue(ExactNumbersTest::number("100"), 2, 0, "int"); }), 8115);
    EXPECT_EQ(decimalValue(number("0.12345678901234567890123456789012345678"), 38, 38, "numeric")
                  .toString(),
              QStringLiteral("0.12345678901234567890123456789012345678"));
    EXPECT_EQ(decimalValue(number("-1.5"), 1, 0, "numeric").toString(), QStringLiteral("-2"));
    try {
        decimalValue(number("1234.5"), 3, 1, "numeric");
        FAIL() << "no overflow";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(),
                     "Arithmetic overflow error converting numeric to data type numeric.");
    }
}

TEST_F(ExactNumbersTest, ResultTypesAreReadFromTheirDeclarations) {
    const auto money = ExactType::parse(u"MONEY");
    ASSERT_TRUE(money);
    EXPECT_EQ(money->kind, ExactType::Kind::Money);
    EXPECT_EQ(money->scale, 4);
    const auto wide = ExactType::parse(u" decimal( 38 , 6 ) ");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->kind, ExactType::Kind::Decimal);
    EXPECT_EQ(wide->precision, 38);
    EXPECT_EQ(wide->scale, 6);
    const auto plain = ExactType::parse(u"numeric");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->precision, 18);
    EXPECT_EQ(plain->scale, 0);
    EXPECT_EQ(ExactType::parse(u"numeric(7)")->precision, 7);
    for (const char16_t* refused : {u"float", u"decimal(39,2)", u"decimal(5,6)", u"decimal(0)",
                                    u"decimal(10,2", u"decimal(10,2)x", u"int"})
        EXPECT_FALSE(ExactType::parse(refused)) << QString::fromUtf16(refused).toStdString();
}

TEST_F(ExactNumbersTest, ResultsAreFittedToTheirTypeOrOverflow) {
    const ExactType money = *ExactType::parse(u"money");
    EXPECT_EQ(money.fitted(number("0.00005")).toString(), QStringLiteral("0.0001"));
    EXPECT_EQ(money.carried(number("12.0000")).kind, SqlValue::Kind::Real);
    const ExactType whole = *ExactType::parse(u"decimal(5,0)");
    EXPECT_EQ(whole.carried(number("36")).kind, SqlValue::Kind::Integer);
    try {
        ExactType::parse(u"decimal(3,1)")->fitted(number("99.96"));
        FAIL() << "no overflow";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.nativeNumber(), 8115);
        EXPECT_STREQ(e.what(),
                     "Arithmetic overflow error converting expression to data type numeric.");
    }
}

} // namespace estaciones::db::tsql
