// float and real as text in each float style, and real's single precision:
// the forms the server's documentation leaves open (the exponent's digits,
// style 3's notation) are pinned here as this engine writes them.
#include "platform/db/embedded/storage/ApproximateNumbers.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/SqlValue.h"

#include "ConversionErrorOf.h"

#include <gtest/gtest.h>


using namespace estaciones::db::tsql;

namespace {

TEST(ApproximateNumbersTest, shouldWriteStyleZeroInSixDigitsAtMost) {
    EXPECT_EQ(floatText(1.0 / 3.0), QStringLiteral("0.333333"));
    EXPECT_EQ(floatText(123456.7), QStringLiteral("123457"));
    EXPECT_EQ(floatText(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(floatText(-42.0), QStringLiteral("-42"));
    EXPECT_EQ(floatText(0.0001), QStringLiteral("0.0001"));
    // Seven whole digits, or a fraction below 1e-4: scientific, three exponent digits.
    EXPECT_EQ(floatText(1234567.0), QStringLiteral("1.23457e+006"));
    EXPECT_EQ(floatText(2.5e10), QStringLiteral("2.5e+010"));
    EXPECT_EQ(floatText(0.00001), QStringLiteral("1e-005"));
    EXPECT_EQ(floatText(1e300), QStringLiteral("1e+300"));
}

TEST(ApproximateNumbersTest, shouldWriteStylesOneAndTwoAlwaysScientific) {
    EXPECT_EQ(floatText(1.0 / 3.0, 1), QStringLiteral("3.3333333e-001"));
    EXPECT_EQ(floatText(1.0 / 3.0, 2), QStringLiteral("3.333333333333333e-001"));
    EXPECT_EQ(floatText(100.0, 1), QStringLiteral("1.0000000e+002"));
    EXPECT_EQ(floatText(-2.5e-20, 2), QStringLiteral("-2.500000000000000e-020"));
}

TEST(ApproximateNumbersTest, shouldWriteStyleThreeWithTheDigitsThatGiveTheValueBack) {
    EXPECT_EQ(floatText(1.0 / 3.0, 3), QStringLiteral("0.33333333333333331"));
    EXPECT_EQ(floatText(0.1, 3), QStringLiteral("0.10000000000000001"));
    EXPECT_EQ(floatText(2.5e10, 3), QStringLiteral("25000000000"));
    EXPECT_EQ(floatText(1e20, 3), QStringLiteral("1e+020"));
    for (const double value : {1.0 / 3.0, 0.1, 2.0 / 7.0 * 1e-30, 123456789.123456789}) {
        EXPECT_EQ(floatText(value, 3).toDouble(), value) << floatText(value, 3).toStdString();
    }
}

TEST(ApproximateNumbersTest, shouldReadOtherStylesAsZeroAndRefuseTheOldOnes) {
    EXPECT_EQ(floatText(1.0 / 3.0, 7), QStringLiteral("0.333333"));
    EXPECT_EQ(floatText(1.0 / 3.0, 121), QStringLiteral("0.333333"));
    for (const int style : {126, 128, 129}) {
        EXPECT_EQ(conversionErrorOf([&] { floatText(1.0, style); }), 40517) << style;
    }
}

TEST(ApproximateNumbersTest, shouldRoundARealToSinglePrecision) {
    EXPECT_EQ(singlePrecision(0.1), 0.100000001490116119384765625);
    EXPECT_EQ(singlePrecision(0.5), 0.5); // exact in four bytes: unchanged
    EXPECT_EQ(singlePrecision(16777217.0), 16777216.0); // 24 bits of mantissa
    EXPECT_EQ(singlePrecision(3.4e38), static_cast<double>(3.4e38f));
    EXPECT_EQ(conversionErrorOf([] { singlePrecision(3.5e38); }), 232);
    EXPECT_EQ(conversionErrorOf([] { singlePrecision(-1e39); }), 232);
}

TEST(ApproximateNumbersTest, shouldNameTheTypeAndTheValueInAnOverflow) {
    try {
        failFloatOverflow(QStringLiteral("varchar"), 123456.0);
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.nativeNumber(), 232);
        EXPECT_STREQ(e.what(), "Arithmetic overflow error for type varchar, value = 123456.000000.");
    }
}

TEST(ApproximateNumbersTest, shouldGiveARealItsFourBytes) {
    EXPECT_EQ(realAsBinary(1.0), QByteArray::fromHex("3f800000"));
    EXPECT_EQ(realAsBinary(-2.0), QByteArray::fromHex("c0000000"));
    EXPECT_EQ(binaryAsReal(QByteArray::fromHex("3dcccccd")), singlePrecision(0.1));
}

} // namespace
