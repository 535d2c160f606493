// The rules of binary values under CAST, CONVERT and the binary columns'
// store triggers: which side is cut or filled, how many bytes a number
// gives, and the refusals.
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/Conversion.h"

#include "ConversionErrorOf.h"

#include <gtest/gtest.h>

#include <limits>

using namespace estaciones::db::tsql;

namespace {

QByteArray hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

BinaryType fixedOf(int n) {
    return BinaryType{true, n};
}

TEST(BinaryValuesTest, shouldCutAndFillTextOnTheRightAndNumbersOnTheLeft) {
    EXPECT_EQ(toBinary(SqlValue::of(QStringLiteral("Name")), fixedOf(6), std::nullopt, false),
              hex("4e616d650000"));
    EXPECT_EQ(toBinary(SqlValue::of(QStringLiteral("Names")), BinaryType{false, 2}, 0, false),
              hex("4e61"));
    EXPECT_EQ(toBinary(SqlValue::of(qint64(1)), fixedOf(3), std::nullopt, false), hex("000001"));
    EXPECT_EQ(toBinary(SqlValue::of(qint64(0x01020304)), BinaryType{false, 2}, std::nullopt, false),
              hex("0304"));
    // Without a length there is no limit; varbinary is never filled.
    EXPECT_EQ(toBinary(SqlValue::bytes(hex("0a")), BinaryType{}, std::nullopt, false), hex("0a"));
}

TEST(BinaryValuesTest, shouldGiveANumberTheBytesOfItsType) {
    const BinaryType any{};
    EXPECT_EQ(toBinary(SqlValue::of(qint64(-1)), any, std::nullopt, false), hex("ffffffff"));
    EXPECT_EQ(toBinary(SqlValue::of(qint64(1) << 40), any, std::nullopt, false),
              hex("0000010000000000"));
    EXPECT_EQ(toBinary(SqlValue::of(qint64(7)), any, std::nullopt, false, 2), hex("0007"));
    EXPECT_EQ(toBinary(SqlValue::of(qint64(200)), any, std::nullopt, false, 1), hex("c8"));
    // Back: the last bytes, with the type's sign.
    EXPECT_EQ(binaryAsInteger(hex("ffffffff"), 4), -1);
    EXPECT_EQ(binaryAsInteger(hex("0102030405"), 4), 0x02030405);
    EXPECT_EQ(binaryAsInteger(hex("fffe"), 2), -2);
    EXPECT_EQ(binaryAsInteger(hex("ff"), 4), 255); // fewer bytes than the type: no sign to extend
    EXPECT_EQ(binaryAsInteger(hex("8000000000000000"), 8), std::numeric_limits<qint64>::min());
}

TEST(BinaryValuesTest, shouldReadAndWriteHexDigitsInStylesOneAndTwo) {
    EXPECT_EQ(toBinary(SqlValue::of(QStringLiteral("0x4E616d65")), BinaryType{}, 1, false),
              hex("4e616d65"));
    EXPECT_EQ(toBinary(SqlValue::of(QStringLiteral("4e616D65")), BinaryType{}, 2, false),
              hex("4e616d65"));
    EXPECT_EQ(binaryAsText(hex("0aff"), false, 1, QStringLiteral("varchar")), "0x0AFF");
    EXPECT_EQ(binaryAsText(hex("0aff"), false, 2, QStringLiteral("varchar")), "0AFF");
    EXPECT_EQ(binaryAsText(hex(""), false, 1, QStringLiteral("varchar")), "0x");
    // An odd number of digits or one that is no hex digit fails.
    for (const char* bad : {"0x123", "0x12G4", "12 4"})
        EXPECT_EQ(conversionErrorOf([&] {
                      toBinary(SqlValue::of(QString::fromLatin1(bad)), BinaryType{}, 2, false);
                  }),
                  8114)
            << bad;
    EXPECT_EQ(conversionErrorOf([] { binaryAsText(hex("41"), false, 3, QStringLiteral("varchar")); }), 281);
}

TEST(BinaryValuesTest, shouldTranslateCharactersOneToOneInTheirCodePage) {
    // The euro sign is one byte (0x80) in varchar, two in nvarchar.
    const QString euro = QString(QChar(0x20AC));
    EXPECT_EQ(toBinary(SqlValue::of(euro), BinaryType{}, 0, false), hex("80"));
    EXPECT_EQ(toBinary(SqlValue::of(euro), BinaryType{}, 0, true), hex("ac20"));
    EXPECT_EQ(binaryAsText(hex("80"), false, 0, QStringLiteral("varchar")), euro);
    EXPECT_EQ(binaryAsText(hex("ac2041"), true, 0, QStringLiteral("nvarchar")), euro);
    EXPECT_EQ(convertValue(QStringLiteral("varchar(3)"), SqlValue::bytes(hex("61626364")),
                           std::nullopt, DialectSettings())
                  .text,
              "abc");
    EXPECT_EQ(convertValue(QStringLiteral("varbinary(4)"), SqlValue::of(QStringLiteral("ab")),
                           std::nullopt, DialectSettings(), QStringLiteral("nvarchar(10)"))
                  .blob,
              hex("61006200"));
}

TEST(BinaryValuesTest, shouldKeepWhatABinaryColumnHoldsOrRefuseIt) {
    EXPECT_EQ(storedBinary(SqlValue::bytes(hex("0a")), fixedOf(4)).blob, hex("0a000000"));
    EXPECT_EQ(storedBinary(SqlValue::bytes(hex("0a")), BinaryType{false, 4}).blob, hex("0a"));
    EXPECT_TRUE(storedBinary(SqlValue::null(), fixedOf(4)).isNull());
    EXPECT_EQ(conversionErrorOf([] { storedBinary(SqlValue::bytes(hex("0102030405")), fixedOf(4)); }), 8152);
    EXPECT_EQ(conversionErrorOf([] { storedBinary(SqlValue::of(QStringLiteral("ab")), fixedOf(4)); }), 257);
    // varbinary(max): no limit.
    EXPECT_EQ(storedBinary(SqlValue::bytes(QByteArray(9000, 'x')), BinaryType{}).blob.size(), 9000);
    // Conversions the engine does not make (bytes to a date, an untyped float to bytes) name themselves.
    EXPECT_EQ(conversionErrorOf([] {
                  convertValue(QStringLiteral("datetime"), SqlValue::bytes(hex("01")), std::nullopt,
                               DialectSettings());
              }),
              40517);
    EXPECT_EQ(conversionErrorOf([] { toBinary(SqlValue::of(1.5), BinaryType{}, std::nullopt, false); }),
              40517);
}

} // namespace
