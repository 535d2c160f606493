#include "platform/core/Decimal.h"
#include "platform/core/Error.h"
#include "platform/core/Variant.h"

#include <gtest/gtest.h>

using estaciones::Decimal;

namespace {

Decimal d(const char* text) {
    const auto value = Decimal::parse(QString::fromLatin1(text));
    EXPECT_TRUE(value.has_value()) << text;
    return value.value_or(Decimal());
}

QString text(const std::optional<Decimal>& value) {
    return value ? value->toString() : QStringLiteral("<none>");
}

const char* const max38 = "99999999999999999999999999999999999999";

} // namespace

TEST(Decimal, ParseKeepsTheWrittenScaleAndTextReadsBack) {
    for (const char* form : {"0", "12", "-0.50", "1.0000", "0.001", max38,
                             "-0.00000000000000000000000000000000000001"}) {
        EXPECT_EQ(d(form).toString(), QString::fromLatin1(form));
    }
    EXPECT_EQ(d("+.5").toString(), QStringLiteral("0.5"));
    EXPECT_EQ(d("3.").toString(), QStringLiteral("3"));
    EXPECT_EQ(d(" 007.10 ").toString(), QStringLiteral("7.10"));
    EXPECT_EQ(d("1.25e2").toString(), QStringLiteral("125"));
    EXPECT_EQ(d("1E-3").toString(), QStringLiteral("0.001"));
    EXPECT_EQ(d("1.5").scale(), 1);
}

TEST(Decimal, ParseRefusesWhatIsNoNumberOrNeedsMoreThan38Digits) {
    for (const char* bad : {"", "-", ".", "1.2.3", "1e", "e5", "12a", "0x10", "1 2",
                            "999999999999999999999999999999999999999", "1e38", "1e-39"}) {
        EXPECT_FALSE(Decimal::parse(QString::fromLatin1(bad)).has_value()) << bad;
    }
    EXPECT_TRUE(Decimal::parse(QStringLiteral("0000000000000000000000000000000000000000001")));
}

TEST(Decimal, ComparesByValueWhateverTheScale) {
    EXPECT_EQ(d("1.0"), d("1.00"));
    EXPECT_LT(d("-2.5"), d("-2.49"));
    EXPECT_GT(d("0.1"), d("0.09999999999999999999999999999999999999"));
    EXPECT_LT(d("-0.01"), d("0"));
    EXPECT_EQ(d("0.000"), d("0"));
}

TEST(Decimal, RescaleRoundsHalvesAwayFromZeroAndTruncateDropsTowardZero) {
    EXPECT_EQ(text(d("2.5").rescaled(0)), "3");
    EXPECT_EQ(text(d("-2.5").rescaled(0)), "-3");
    EXPECT_EQ(text(d("1.23449").rescaled(3)), "1.234");
    EXPECT_EQ(text(d("1.2345").rescaled(3)), "1.235");
    EXPECT_EQ(text(d("1.5").rescaled(4)), "1.5000");
    EXPECT_EQ(text(d("-1.99").truncated(1)), "-1.9");
    EXPECT_FALSE(d(max38).rescaled(1));
    EXPECT_FALSE(Decimal::parse(u"99999999999999999999999999999999999999.5"));
}

TEST(Decimal, ArithmeticIsExact) {
    Decimal sum;
    for (int i = 0; i < 10; ++i) {
        sum = *Decimal::add(sum, d("0.1"));
    }
    EXPECT_EQ(sum.toString(), QStringLiteral("1.0"));
    EXPECT_EQ(text(Decimal::subtract(d("0.3"), d("0.1"))), "0.2");
    EXPECT_EQ(text(Decimal::multiply(d("1.10"), d("-2.5"))), "-2.750");
    EXPECT_EQ(text(Decimal::divide(d("10"), d("3"), 4)), "3.3333");
    EXPECT_EQ(text(Decimal::divide(d("2"), d("3"), 6)), "0.666667");
    EXPECT_EQ(text(Decimal::divide(d("-1"), d("8"), 2)), "-0.13");
    EXPECT_EQ(text(Decimal::divide(d("1"), d("0.0003"), 0)), "3333");
    EXPECT_EQ(text(Decimal::remainder(d("-7.5"), d("2"))), "-1.5");
}

TEST(Decimal, ArithmeticBeyond38DigitsGivesNothing) {
    EXPECT_FALSE(Decimal::add(d(max38), d("1")));
    EXPECT_FALSE(Decimal::multiply(d("10000000000000000000"), d("10000000000000000000")));
    EXPECT_FALSE(Decimal::divide(d(max38), d("0.1"), 0));
    EXPECT_FALSE(Decimal::divide(d("1"), d("0"), 2));
    EXPECT_FALSE(Decimal::remainder(d("1"), d("0.00")));
    // Wide intermediates: the product of two 38-digit numbers divided back.
    EXPECT_EQ(text(Decimal::divide(d(max38), d(max38), 37)),
              "1.0000000000000000000000000000000000000");
    EXPECT_FALSE(Decimal::divide(d(max38), d(max38), 38)); // 39 digits
}

TEST(Decimal, DoublesComeInByTheirShortestDigits) {
    EXPECT_EQ(text(Decimal::fromDouble(0.1, 4)), "0.1000");
    EXPECT_EQ(text(Decimal::fromDouble(-2.675, 2)), "-2.68");
    EXPECT_EQ(text(Decimal::fromDouble(1e20, 0)), "100000000000000000000");
    EXPECT_FALSE(Decimal::fromDouble(1e40, 0));
    EXPECT_DOUBLE_EQ(d("0.1").toDouble(), 0.1);
    EXPECT_EQ(d("-12.99").truncatedToInt64(), -12);
    EXPECT_EQ(d("12.345").precision(), 5);
    EXPECT_EQ(d("0.05").precision(), 2);
}

TEST(VariantDecimal, ConvertsExactlyAndRoundsHalvesToEvenForWholeNumbers) {
    using estaciones::Variant;
    const Variant price(d("19.9950"));
    EXPECT_EQ(price.type(), Variant::Type::Decimal);
    EXPECT_TRUE(price.isNumeric());
    EXPECT_EQ(price.toString(), QStringLiteral("19.9950"));
    EXPECT_EQ(price.toCurrency().scaled, 199950);
    EXPECT_EQ(Variant(d("2.5")).toInt64(), 2);
    EXPECT_EQ(Variant(d("3.5")).toInt64(), 4);
    EXPECT_EQ(Variant(d("-2.5")).toInt64(), -2);
    EXPECT_EQ(Variant(d("-2.51")).toInt64(), -3);
    EXPECT_EQ(Variant(QStringLiteral("12345678901234567890.5")).toDecimal().toString(),
              QStringLiteral("12345678901234567890.5"));
    EXPECT_EQ(Variant(estaciones::Currency{15000}).toDecimal().toString(),
              QStringLiteral("1.5000"));
    EXPECT_EQ(Variant(0.1).toDecimal().toString(), QStringLiteral("0.1"));
    EXPECT_THROW(Variant(QStringLiteral("abc")).toDecimal(), estaciones::Error);
    EXPECT_EQ(Variant(d("1.0")), Variant(d("1.00")));
}
