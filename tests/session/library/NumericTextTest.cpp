#include "session/library/TextHelper.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace estaciones;
using library::TextHelper;

namespace {
Currency currency(std::int64_t scaled) {
    return Currency{scaled};
}
} // namespace

TEST(TextToInteger, shouldReadColourLiteralsInVbHexForm) {
    const TextHelper text;
    EXPECT_EQ(text.toInteger("&H0000FF00&"), 65280);
    EXPECT_EQ(text.toInteger("&HFF&"), 255);
    EXPECT_EQ(text.toInteger("&hff"), 255); // suffix optional, any case
    EXPECT_EQ(text.toInteger(" &H00FFFF00& "), 0xFFFF00);
    EXPECT_EQ(text.toInteger("&H80000000&"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(text.toInteger("&HFFFFFFFF&"), -1); // the 32 bits as they stand
}

TEST(TextToInteger, shouldReadZeroForBlankGarbageAndMalformedHex) {
    const TextHelper text;
    EXPECT_EQ(text.toInteger(" "), 0); // what Cfg gives for a missing key
    EXPECT_EQ(text.toInteger(""), 0);
    EXPECT_EQ(text.toInteger("abc"), 0);
    EXPECT_EQ(text.toInteger("12abc"), 0);
    EXPECT_EQ(text.toInteger("&H&"), 0);
    EXPECT_EQ(text.toInteger("&H1FFFFFFFF&"), 0); // nine digits do not fit
    EXPECT_EQ(text.toInteger("&HFG&"), 0);
    EXPECT_EQ(text.toInteger("&H0x10&"), 0);
    EXPECT_EQ(text.toInteger("&H 10&"), 0);
    EXPECT_EQ(text.toInteger("-"), 0);
    EXPECT_EQ(text.toInteger("1,2,3,4.5.6"), 0);
}

TEST(TextToInteger, shouldReadDecimalTextWithSignsAndLimits) {
    const TextHelper text;
    EXPECT_EQ(text.toInteger("42"), 42);
    EXPECT_EQ(text.toInteger("  -17 "), -17);
    EXPECT_EQ(text.toInteger("+8"), 8);
    EXPECT_EQ(text.toInteger("16776960"), 16776960);
    EXPECT_EQ(text.toInteger("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(text.toInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(text.toInteger("2147483648"), 0); // overflow reads as 0, never wraps
    EXPECT_EQ(text.toInteger("-2147483649"), 0);
    EXPECT_EQ(text.toInteger("99999999999999999999999"), 0);
}

TEST(TextToInteger, shouldRoundFractionsHalfToEvenAsClngDoes) {
    const TextHelper text;
    EXPECT_EQ(text.toInteger("12.7"), 13);
    EXPECT_EQ(text.toInteger("12,7"), 13); // decimal comma
    EXPECT_EQ(text.toInteger("12.5"), 12);
    EXPECT_EQ(text.toInteger("13.5"), 14);
    EXPECT_EQ(text.toInteger("-2.5"), -2);
    EXPECT_EQ(text.toInteger("-3.5"), -4);
    EXPECT_EQ(text.toInteger("12.50000000000000000001"), 13); // exact, no binary rounding
    EXPECT_EQ(text.toInteger("12.49999999999999999999"), 12);
    EXPECT_EQ(text.toInteger("2147483647.4"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(text.toInteger("2147483647.5"), 0);
}

TEST(TextToDecimal, shouldAcceptDecimalCommaOrPointAndKeepFourDecimals) {
    const TextHelper text;
    EXPECT_EQ(text.toDecimal("12,5"), currency(125000));
    EXPECT_EQ(text.toDecimal("12.5"), currency(125000));
    EXPECT_EQ(text.toDecimal("-0,0001"), currency(-1));
    EXPECT_EQ(text.toDecimal(",25"), currency(2500));
    EXPECT_EQ(text.toDecimal("7."), currency(70000));
    EXPECT_EQ(text.toDecimal("1.23456"), currency(12346)); // fifth decimal rounds
    EXPECT_EQ(text.toDecimal("1.23445"), currency(12344)); // half to even
    EXPECT_EQ(text.toDecimal("1.23455"), currency(12346));
    EXPECT_EQ(text.toDecimal("1.234450001"), currency(12345));
}

TEST(TextToDecimal, shouldTreatTheOtherMarkAsThousandsGrouping) {
    const TextHelper text;
    EXPECT_EQ(text.toDecimal("1.234,56"), currency(12345600));
    EXPECT_EQ(text.toDecimal("1,234.56"), currency(12345600));
    EXPECT_EQ(text.toDecimal("1.234.567"), currency(12345670000));
    EXPECT_EQ(text.toDecimal("1.234.567,5"), currency(12345675000));
    EXPECT_EQ(text.toDecimal("1,2,3.4,5"), currency(0)); // two marks both repeated
    EXPECT_EQ(text.toDecimal("1,,5"), currency(0));      // slips are not numbers
    EXPECT_EQ(text.toDecimal("12.34.5"), currency(0));
    EXPECT_EQ(text.toDecimal("1.2345,6"), currency(0));
    EXPECT_EQ(text.toDecimal(".234,5"), currency(0));
    EXPECT_EQ(text.toDecimal("1.234,5.6"), currency(0));
}

TEST(TextToDecimal, shouldReadZeroForBlankGarbageAndOverflow) {
    const TextHelper text;
    EXPECT_EQ(text.toDecimal(""), currency(0));
    EXPECT_EQ(text.toDecimal(" "), currency(0));
    EXPECT_EQ(text.toDecimal("$12"), currency(0));
    EXPECT_EQ(text.toDecimal("1e3"), currency(0));
    EXPECT_EQ(text.toDecimal("."), currency(0));
    EXPECT_EQ(text.toDecimal("922337203685477.5807"),
              currency(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(text.toDecimal("922337203685477.5808"), currency(0));
    EXPECT_EQ(text.toDecimal("-922337203685477.5807"),
              currency(-std::numeric_limits<std::int64_t>::max()));
}

TEST(NumericText, shouldReadBackRandomValuesInEveryWrittenForm) {
    const TextHelper text;
    std::mt19937_64 random(2006);
    std::uniform_int_distribution<std::int32_t> integers(std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max());
    std::uniform_int_distribution<std::int64_t> scaled(-std::numeric_limits<std::int64_t>::max(),
                                                       std::numeric_limits<std::int64_t>::max());
    for (int round = 0; round < 2000; ++round) {
        const std::int32_t value = integers(random);
        const QString hex =
            QString::number(static_cast<std::uint32_t>(value), 16).rightJustified(8, u'0');
        ASSERT_EQ(text.toInteger(QString::number(value)), value);
        ASSERT_EQ(text.toInteger("&H" + hex.toUpper() + "&"), value) << hex.toStdString();

        const Currency amount{scaled(random) >> (round % 60)}; // all magnitudes
        const std::uint64_t magnitude =
            amount.scaled < 0 ? 0 - static_cast<std::uint64_t>(amount.scaled) : amount.scaled;
        const QString written = QString(amount.scaled < 0 ? "-" : "") +
                                QString::number(magnitude / 10000) + u',' +
                                QString::number(magnitude % 10000).rightJustified(4, u'0');
        ASSERT_EQ(text.toDecimal(written), amount) << written.toStdString();
        ASSERT_EQ(text.toDecimal(QString(written).replace(u',', u'.')), amount);
    }
}
