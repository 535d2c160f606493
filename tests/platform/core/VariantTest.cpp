#include "platform/core/Variant.h"
#include "platform/core/Error.h"

#include <gtest/gtest.h>

using namespace estaciones;

TEST(Variant, emptyAndNullAreDifferentValuesThatBothReadAsBlank) {
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_TRUE(Variant::null().isNull());
    EXPECT_FALSE(Variant() == Variant::null());
    EXPECT_EQ(Variant().toString(), QString());
    EXPECT_EQ(Variant::null().toString(), QString());
    EXPECT_EQ(Variant::null().toInt64(), 0);
}

TEST(Variant, numbersBecomeTextWithAPointAndNoTrailingZeros) {
    EXPECT_EQ(Variant(1.5).toString(), "1.5");
    EXPECT_EQ(Variant(2.0).toString(), "2");
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), "0.3");
    EXPECT_EQ(Variant(Currency::fromDouble(-12.34)).toString(), "-12.34");
    EXPECT_EQ(Variant(Currency{1}).toString(), "0.0001");
    EXPECT_EQ(Variant(Currency{INT64_MIN}).toString(), "-922337203685477.5808");
    EXPECT_EQ(Variant(123456789012LL).toString(), "123456789012");
}

TEST(Variant, integerConversionRoundsHalvesToEvenAsVbDoes) {
    EXPECT_EQ(Variant(2.5).toInt64(), 2);
    EXPECT_EQ(Variant(3.5).toInt64(), 4);
    EXPECT_EQ(Variant(-2.5).toInt64(), -2);
    EXPECT_EQ(Variant("  42 ").toInt32(), 42);
    EXPECT_EQ(Variant("&H0000FF00&").toInt64(), 65280);
    EXPECT_EQ(Variant(true).toInt64(), -1);
}

TEST(Variant, conversionsOfForeignTextThrowTypeMismatch) {
    try {
        (void)Variant("abc").toInt64();
        FAIL() << "expected error 13";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::TypeMismatch);
    }
    EXPECT_THROW((void)Variant("31/02/2024").toDate(), Error);
    EXPECT_THROW((void)Variant(3e10).toInt32(), Error);
}

TEST(Variant, datesReadDayMonthYearAndRoundTripThroughOleNumbers) {
    const DateTimeValue d = Variant("5/3/2024").toDate();
    EXPECT_EQ(d.date, QDate(2024, 3, 5));
    EXPECT_EQ(Variant("20240305").toDate().date, QDate(2024, 3, 5));
    EXPECT_EQ(Variant("2024-03-05 10:30:15").toDate().time, QTime(10, 30, 15));
    EXPECT_EQ(Variant("1/1/30").toDate().date, QDate(1930, 1, 1));
    EXPECT_EQ(Variant("31/12/29").toDate().date, QDate(2029, 12, 31));
    // 1 January 1900 is OLE day 2; noon is half a day.
    EXPECT_DOUBLE_EQ(Variant(QDateTime(QDate(1900, 1, 1), QTime(12, 0))).toDouble(), 2.5);
    EXPECT_EQ(Variant(2.5).toDate().toDateTime(), QDateTime(QDate(1900, 1, 1), QTime(12, 0)));
    EXPECT_EQ(Variant(QDate(2049, 12, 31)).toString(), "31/12/2049");
}

TEST(Variant, booleansAcceptSpanishAndEnglishWordsAndNumbers) {
    EXPECT_TRUE(Variant("Verdadero").toBool());
    EXPECT_FALSE(Variant("false").toBool());
    EXPECT_TRUE(Variant("1").toBool());
    EXPECT_FALSE(Variant(0).toBool());
}

struct Box : VariantObject {
    QString typeName() const override { return QStringLiteral("Box"); }
    int value = 7;
};

TEST(Variant, objectsAreSharedReferences) {
    auto box = std::make_shared<Box>();
    Variant a(std::static_pointer_cast<VariantObject>(box));
    Variant b = a;
    b.objectAs<Box>()->value = 9;
    EXPECT_EQ(a.objectAs<Box>()->value, 9);
    EXPECT_THROW((void)a.toString(), Error);
    EXPECT_THROW((void)Variant(1).toObject(), Error);
}

// A Byte array is its own kind of value: never equal to text of the same
// bytes, read as a String two bytes a character (as VB's CStr does), and
// shown as 0x hex in logs.
TEST(Variant, byteArraysKeepTheirBytesAndReadAsUtf16Text) {
    const QByteArray bytes("A\0B\0", 4);
    const Variant value = Variant::fromBytes(bytes);
    EXPECT_TRUE(value.isBytes());
    EXPECT_EQ(value.toBytes(), bytes);
    EXPECT_EQ(value.toString(), QStringLiteral("AB"));
    EXPECT_NE(value, Variant(QString::fromLatin1(bytes)));
    EXPECT_EQ(Variant(QStringLiteral("AB")).toBytes(), bytes);
    EXPECT_EQ(Variant::fromBytes(QByteArray("\x0a\xff", 2)).debugString(), QStringLiteral("0x0AFF"));
    EXPECT_EQ(hexLiteral(QByteArray()), QStringLiteral("0x"));
    EXPECT_THROW((void)value.toDouble(), Error);
    EXPECT_THROW((void)Variant(5).toBytes(), Error);
    // An odd last byte is a character of its own.
    EXPECT_EQ(Variant::fromBytes(QByteArray("AB\x43", 3)).toString().size(), 2);
}
