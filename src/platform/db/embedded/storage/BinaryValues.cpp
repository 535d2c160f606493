#include "platform/db/embedded/storage/BinaryValues.h"

#include "platform/core/TextEncodings.h"
#include "platform/core/Variant.h"
#include "platform/db/embedded/storage/NumericErrors.h"

#include <cstring>

namespace estaciones::db::tsql {

namespace {

// The bytes of text as the server keeps it: one a character in the code
// page of the Latin1_General collations, two (little-endian) in the national types.
QByteArray textBytes(const QString& text, bool national) {
    return national ? toUtf16Bytes(text) : toWindows1252(text);
}

QString bytesText(const QByteArray& bytes, bool national) {
    // An odd last byte of nvarchar bytes is no character.
    return national ? fromUtf16Bytes(bytes.left(bytes.size() - bytes.size() % 2))
                    : fromWindows1252(bytes);
}

// '0x4E61' (style 1) or '4E61' (style 2) as the bytes it spells.
QByteArray hexDigits(const QString& text, int style) {
    QStringView digits(text);
    const bool prefixed = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (style == 1 && !prefixed)
        failNotSupported(QStringLiteral("CONVERT style 1 of text without 0x"));
    if (prefixed)
        digits = digits.sliced(2);
    const auto invalid = [] {
        throw ConversionError(8114,
                              QStringLiteral("Error converting data type varchar to varbinary."));
    };
    if (digits.size() % 2 != 0)
        invalid();
    for (const QChar c : digits)
        if (!(c.isDigit() && c.unicode() < 128) &&
            !((c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            invalid();
    return QByteArray::fromHex(digits.toLatin1());
}

QByteArray bigEndian(qint64 value, int width) {
    QByteArray bytes(width, '\0');
    for (int i = width - 1; i >= 0; --i) {
        bytes[i] = static_cast<char>(value & 0xff);
        value >>= 8;
    }
    return bytes;
}

// Cut or filled with zeros on the right (text and binary sources) or on the
// left (numbers), as the binary and varbinary page describes.
QByteArray fitted(QByteArray bytes, const BinaryType& type, bool onTheLeft) {
    if (!type.length)
        return bytes;
    const qsizetype n = *type.length;
    if (bytes.size() > n)
        bytes = onTheLeft ? bytes.right(n) : bytes.left(n);
    if (type.fixed && bytes.size() < n) {
        const QByteArray zeros(n - bytes.size(), '\0');
        bytes = onTheLeft ? zeros + bytes : bytes + zeros;
    }
    return bytes;
}

} // namespace

QByteArray decimalAsBinary(const Decimal& value, int precision) {
    const int width = precision <= 9 ? 4 : precision <= 19 ? 8 : precision <= 28 ? 12 : 16;
    QByteArray bytes;
    bytes.append(static_cast<char>(precision));
    bytes.append(static_cast<char>(value.scale()));
    bytes.append(static_cast<char>(value.isNegative() ? 0 : 1));
    auto magnitude = static_cast<unsigned __int128>(value.isNegative() ? -value.coefficient()
                                                                        : value.coefficient());
    for (int i = 0; i < width; ++i) {
        bytes.append(static_cast<char>(magnitude & 0xff));
        magnitude >>= 8;
    }
    return bytes;
}

std::optional<Decimal> binaryAsDecimal(const QByteArray& padded) {
    // A binary(n) longer than the value has zeros on its left; the value
    // itself starts with its precision, never 0.
    qsizetype start = 0;
    while (start < padded.size() && padded[start] == '\0')
        ++start;
    const QByteArray bytes = padded.mid(start);
    if (bytes.size() < 4 || bytes.size() > 19)
        return std::nullopt;
    const int scale = static_cast<unsigned char>(bytes[1]);
    unsigned __int128 magnitude = 0;
    for (qsizetype i = bytes.size() - 1; i >= 3; --i)
        magnitude = (magnitude << 8) | static_cast<unsigned char>(bytes[i]);
    const auto coefficient = static_cast<Decimal::Coefficient>(magnitude);
    return Decimal::fromCoefficient(bytes[2] == 0 ? -coefficient : coefficient, scale);
}

QByteArray moneyAsBinary(const Decimal& value, bool small) {
    const auto tenThousandths = static_cast<qint64>(value.rescaled(4)->coefficient());
    return bigEndian(tenThousandths, small ? 4 : 8);
}

QByteArray floatAsBinary(double value) {
    qint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bigEndian(bits, 8);
}

double binaryAsFloat(const QByteArray& bytes) {
    const qint64 bits = binaryAsInteger(bytes, 8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray realAsBinary(double value) {
    const float single = static_cast<float>(value);
    qint32 bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    return bigEndian(bits, 4);
}

double binaryAsReal(const QByteArray& bytes) {
    const auto bits = static_cast<qint32>(binaryAsInteger(bytes, 4));
    float single = 0;
    std::memcpy(&single, &bits, sizeof single);
    return static_cast<double>(single);
}

QByteArray fitBinary(QByteArray bytes, const BinaryType& type, bool onTheLeft) {
    return fitted(std::move(bytes), type, onTheLeft);
}

bool isBinaryTypeName(const QString& base) {
    return base == QLatin1String("binary") || base == QLatin1String("varbinary") ||
           base == QLatin1String("image") || base == QLatin1String("timestamp") ||
           base == QLatin1String("rowversion");
}

int integerTypeBytes(const QString& base) {
    if (base == QLatin1String("tinyint"))
        return 1;
    if (base == QLatin1String("smallint"))
        return 2;
    if (base == QLatin1String("int") || base == QLatin1String("integer"))
        return 4;
    if (base == QLatin1String("bigint"))
        return 8;
    return 0;
}

QByteArray toBinary(const SqlValue& value, const BinaryType& type, std::optional<int> style,
                    bool nationalSource, int integerBytes) {
    const int chosen = style.value_or(0);
    switch (value.kind) {
    case SqlValue::Kind::Null:
        return {};
    case SqlValue::Kind::Blob:
        return fitted(value.blob, type, false);
    case SqlValue::Kind::Text:
        if (chosen == 1 || chosen == 2)
            return fitted(hexDigits(value.text, chosen), type, false);
        return fitted(textBytes(value.text, nationalSource), type, false);
    case SqlValue::Kind::Integer: {
        const int width = integerBytes > 0 ? integerBytes
                          : value.integer >= INT32_MIN && value.integer <= INT32_MAX ? 4
                                                                                      : 8;
        return fitted(bigEndian(value.integer, width), type, true);
    }
    case SqlValue::Kind::Real:
        break;
    }
    failNotSupported(QStringLiteral("CONVERT of float, money or decimal to binary"));
}

QString binaryAsText(const QByteArray& bytes, bool national, std::optional<int> style,
                     const QString& typeName) {
    switch (style.value_or(0)) {
    case 0:
        return bytesText(bytes, national);
    case 1:
        return hexLiteral(bytes);
    case 2:
        return QString::fromLatin1(bytes.toHex().toUpper());
    default:
        throw ConversionError(281, QStringLiteral("%1 is not a valid style number when "
                                                  "converting from varbinary to %2.")
                                       .arg(*style)
                                       .arg(typeName));
    }
}

qint64 binaryAsInteger(const QByteArray& bytes, int width) {
    const QByteArray last = bytes.right(width);
    quint64 value = 0;
    for (const char byte : last)
        value = (value << 8) | static_cast<unsigned char>(byte);
    // The type's own sign bit: 0xFFFFFFFF as an int is -1.
    const int bits = 8 * width;
    if (bits < 64 && last.size() == width && (value & (quint64(1) << (bits - 1))))
        value |= ~quint64(0) << bits;
    return static_cast<qint64>(value);
}

SqlValue storedBinary(const SqlValue& value, const BinaryType& type) {
    if (value.isNull())
        return value;
    if (value.kind == SqlValue::Kind::Text)
        throw ConversionError(257, QStringLiteral("Implicit conversion from data type varchar to "
                                                  "varbinary is not allowed. Use the CONVERT "
                                                  "function to run this query."));
    // A number converts as CAST does (filled or cut on the left).
    if (value.kind != SqlValue::Kind::Blob)
        return SqlValue::bytes(toBinary(value, type, std::nullopt, false));
    const QByteArray& bytes = value.blob;
    if (type.length && bytes.size() > *type.length)
        throw ConversionError(8152, QStringLiteral("String or binary data would be truncated."));
    return SqlValue::bytes(fitted(bytes, type, false));
}

} // namespace estaciones::db::tsql
