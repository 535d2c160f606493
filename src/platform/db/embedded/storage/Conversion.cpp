#include "platform/db/embedded/storage/Conversion.h"

#include "platform/core/TextEncodings.h"
#include "platform/db/embedded/storage/ApproximateNumbers.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/DateText.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/NumericErrors.h"

#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace estaciones::db::tsql {

QString SqlValue::toText() const {
    switch (kind) {
    case Kind::Null:
        return {};
    case Kind::Integer:
        return QString::number(integer);
    case Kind::Real: {
        if (std::isfinite(real) && real == std::trunc(real) && std::fabs(real) < 1e15)
            return QString::number(static_cast<qint64>(real));
        return QString::number(real, 'g', 15);
    }
    case Kind::Text:
        return text;
    case Kind::Blob:
        return fromWindows1252(blob); // bytes read as varchar characters
    }
    return {};
}

namespace {

struct TypeName {
    QString base; // lower case, no arguments
    std::optional<int> length;
    bool isMax = false; // (max)
    int scale = 0;
};

TypeName parseTypeName(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*([A-Za-z_][A-Za-z0-9_ ]*?)\s*(?:\(\s*(\w+)\s*(?:,\s*(\d+)\s*)?\))?\s*$)"));
    const auto m = pattern.match(text);
    if (!m.hasMatch()) {
        TypeName type;
        type.base = text.trimmed().toLower();
        return type;
    }
    TypeName type;
    type.base = m.captured(1).toLower();
    bool ok = false;
    const int length = m.captured(2).toInt(&ok);
    if (ok)
        type.length = length;
    type.isMax = m.captured(2).compare(QLatin1String("max"), Qt::CaseInsensitive) == 0;
    type.scale = m.captured(3).toInt();
    return type;
}

bool isTextType(const QString& base) {
    return base == QLatin1String("varchar") || base == QLatin1String("nvarchar") ||
           base == QLatin1String("char") || base == QLatin1String("nchar") ||
           base == QLatin1String("text") || base == QLatin1String("ntext") ||
           base == QLatin1String("sysname");
}

bool isIntegerType(const QString& base) {
    return base == QLatin1String("int") || base == QLatin1String("integer") ||
           base == QLatin1String("bigint") || base == QLatin1String("smallint") ||
           base == QLatin1String("tinyint");
}

bool isDecimalType(const QString& base) {
    return base == QLatin1String("decimal") || base == QLatin1String("numeric") ||
           base == QLatin1String("money") || base == QLatin1String("smallmoney") ||
           base == QLatin1String("float") || base == QLatin1String("real");
}

QString sqlTypeLabel(const QString& base) {
    return base == QLatin1String("integer") ? "int" : base;
}

[[noreturn]] void failNumber(const SqlValue& value, const QString& base) {
    if (isIntegerType(base) || base == QLatin1String("bit"))
        failIntegerConversion(value.toText(), sqlTypeLabel(base));
    if (base == QLatin1String("money") || base == QLatin1String("smallmoney"))
        throw ConversionError(base == QLatin1String("money") ? 235 : 293,
                              QStringLiteral("Cannot convert a char value to %1. The char value "
                                             "has incorrect syntax.")
                                  .arg(base));
    failNumberConversion(QStringLiteral("varchar"),
                         base == QLatin1String("decimal") ? QStringLiteral("numeric") : base);
}

// The server's name of the type a value comes from, for overflow texts.
QString sourceTypeName(const SqlValue& value) {
    switch (value.kind) {
    case SqlValue::Kind::Integer:
        return QStringLiteral("int");
    case SqlValue::Kind::Real:
        return QStringLiteral("float");
    default:
        return QStringLiteral("varchar");
    }
}

} // namespace

void checkMoneyRange(double value, const QString& typeName) {
    // money: a 64-bit integer of ten-thousandths; smallmoney: a 32-bit one.
    const double scaled = std::fabs(roundHalfAwayFromZero(value, 4) * 10000.0);
    const bool small = typeName == QLatin1String("smallmoney");
    if (!std::isfinite(scaled) ||
        (small ? scaled > 2147483648.0 - (value > 0 ? 1 : 0) : scaled >= 9223372036854775808.0))
        failOverflow(typeName);
}

namespace {

[[noreturn]] void failStyle(int style, const QString& from, const QString& to) {
    // The server's Hijri styles are real ones: refused by name, not called invalid.
    if (style == 130 || style == 131)
        throw ConversionError(40517, QStringLiteral("Keyword or statement option 'CONVERT style "
                                                    "%1 (Hijri dates)' is not supported in this "
                                                    "version of SQL Server.")
                                         .arg(style));
    throw ConversionError(281, QStringLiteral("%1 is not a valid style number when converting "
                                              "from %2 to %3.")
                                   .arg(style)
                                   .arg(from, to));
}

// The server refuses some conversions whatever the value (its conversion
// chart): a number becomes no date, time, datetime2, datetimeoffset,
// uniqueidentifier, xml, text or ntext.
void checkConversionAllowed(const SqlValue& value, const TypeName& type) {
    static const QSet<QString> refusedForNumbers = {
        QStringLiteral("date"), QStringLiteral("time"),  QStringLiteral("datetime2"),
        QStringLiteral("datetimeoffset"), QStringLiteral("uniqueidentifier"),
        QStringLiteral("xml"), QStringLiteral("text"), QStringLiteral("ntext")};
    if (!value.isNumber() || !refusedForNumbers.contains(type.base))
        return;
    const bool wide = value.kind == SqlValue::Kind::Integer &&
                      (value.integer < INT32_MIN || value.integer > INT32_MAX);
    throw ConversionError(529, QStringLiteral("Explicit conversion from data type %1 to %2 is "
                                              "not allowed.")
                                   .arg(wide ? QStringLiteral("bigint") : sourceTypeName(value),
                                        type.base));
}

[[noreturn]] void failDate() {
    throw ConversionError(
        241, QStringLiteral(
                 "Conversion failed when converting date and/or time from character string."));
}

SqlValue toTextType(const TypeName& type, const SqlValue& value, std::optional<int> style,
                    const DialectSettings& settings) {
    // A style formats a date; the source is a date when it reads as one.
    std::optional<PreciseDateTime> date;
    if (style && value.kind == SqlValue::Kind::Text)
        date = parseDateText(value.text, settings.dateOrder);
    // No style is known to format a datetimeoffset here.
    if (date && isStoredOffsetText(value.text))
        failNotSupported(
            QStringLiteral("CONVERT of datetimeoffset to text with style %1").arg(*style));
    const auto formatted = date ? formatDateStyle(date->at, *style, settings.language) : std::nullopt;
    if (date && !formatted)
        failStyle(*style, QStringLiteral("datetime"), type.base);
    const bool national = type.base.startsWith(QLatin1Char('n')) || type.base == QLatin1String("sysname");
    QString text = formatted                                ? *formatted
                   : value.kind == SqlValue::Kind::Blob ? binaryAsText(value.blob, national, style, type.base)
                                                        : value.toText();
    // CONVERT(varchar, x) without a length means 30 characters.
    const bool unlimited =
        type.base == QLatin1String("text") || type.base == QLatin1String("ntext") || type.isMax;
    const int length = unlimited ? -1 : type.length.value_or(30);
    if (length >= 0 && text.size() > length)
        text.truncate(length);
    // char(n) and nchar(n) hold n characters: blanks fill the rest.
    if (length > 0 && (type.base == QLatin1String("char") || type.base == QLatin1String("nchar")))
        text = text.leftJustified(length, QLatin1Char(' '));
    return SqlValue::of(text);
}

// The bytes of a number whose exact type is known: a decimal with its
// precision and scale, money, float; nothing for other numbers.
std::optional<QByteArray> typedNumberBytes(const SqlValue& value, const TypeName& source) {
    if (source.base == QLatin1String("float") && value.isNumber())
        return floatAsBinary(value.toReal());
    if (source.base == QLatin1String("real") && value.isNumber())
        return realAsBinary(value.toReal());
    const bool money =
        source.base == QLatin1String("money") || source.base == QLatin1String("smallmoney");
    const bool decimal =
        source.base == QLatin1String("decimal") || source.base == QLatin1String("numeric");
    const auto exact = money || decimal ? exactNumber(value) : std::nullopt;
    if (!exact)
        return std::nullopt;
    if (money)
        return moneyAsBinary(*exact, source.base == QLatin1String("smallmoney"));
    const auto scaled = exact->rescaled(source.scale);
    return scaled ? std::optional<QByteArray>(decimalAsBinary(*scaled, source.length.value_or(18)))
                  : std::nullopt;
}

// To a binary type, or from one: text and bytes as the binary styles say,
// numbers by their bytes.
SqlValue binaryConversion(const TypeName& type, const SqlValue& value, std::optional<int> style,
                          const QString& sourceType) {
    const TypeName source = parseTypeName(sourceType);
    if (isBinaryTypeName(type.base)) {
        BinaryType target;
        target.fixed = type.base == QLatin1String("binary");
        if (!type.isMax && type.base != QLatin1String("image"))
            target.length = type.length.value_or(30);
        if (const auto bytes = typedNumberBytes(value, source))
            return SqlValue::bytes(fitBinary(*bytes, target, true));
        const bool national =
            source.base.startsWith(QLatin1Char('n')) || source.base == QLatin1String("sysname");
        return SqlValue::bytes(
            toBinary(value, target, style, national, integerTypeBytes(source.base)));
    }
    const QByteArray& bytes = value.blob;
    if (type.base == QLatin1String("bit"))
        return SqlValue::of(qint64(bytes.count('\0') == bytes.size() ? 0 : 1));
    if (const int width = integerTypeBytes(type.base)) {
        // tinyint has no sign: its byte is its value.
        const qint64 whole =
            width == 1 ? qint64(bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes.back()))
                       : binaryAsInteger(bytes, width);
        return SqlValue::of(whole);
    }
    if (type.base == QLatin1String("float"))
        return SqlValue::of(binaryAsFloat(bytes));
    if (type.base == QLatin1String("real"))
        return SqlValue::of(binaryAsReal(bytes));
    if (type.base == QLatin1String("money") || type.base == QLatin1String("smallmoney")) {
        const bool small = type.base == QLatin1String("smallmoney");
        const auto exact = Decimal::fromCoefficient(binaryAsInteger(bytes, small ? 4 : 8), 4);
        return carriedNumber(moneyValue(*exact, small), false);
    }
    if (type.base == QLatin1String("decimal") || type.base == QLatin1String("numeric")) {
        if (const auto exact = binaryAsDecimal(bytes))
            return carriedNumber(decimalValue(*exact, type.length.value_or(18),
                                              std::min(type.scale, Decimal::maxDigits),
                                              QStringLiteral("varbinary")),
                                 true);
        failNumberConversion(QStringLiteral("varbinary"), QStringLiteral("numeric"));
    }
    failNotSupported(QStringLiteral("CONVERT of binary to %1").arg(type.base));
}

} // namespace

std::optional<SqlValue> valueAsNumber(const SqlValue& value) {
    if (value.isNumber())
        return value;
    if (value.kind != SqlValue::Kind::Text)
        return std::nullopt;
    const QString t = value.text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 i = t.toLongLong(&ok);
    if (ok)
        return SqlValue::of(i);
    static const QRegularExpression decimal(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (!decimal.match(t).hasMatch())
        return std::nullopt;
    return SqlValue::of(t.toDouble());
}

std::optional<PreciseDateTime> valueAsDate(const SqlValue& value, DateOrder order) {
    if (value.kind == SqlValue::Kind::Text)
        return parseDateText(value.text, order);
    if (value.isNumber()) {
        const double days = value.toReal();
        const qint64 whole = static_cast<qint64>(std::floor(days));
        const qint64 ms = std::llround((days - static_cast<double>(whole)) * 86400000.0);
        return PreciseDateTime(dayZero().addDays(whole).addMSecs(ms));
    }
    return std::nullopt;
}

SqlValue convertValue(const QString& typeName, const SqlValue& value, std::optional<int> style,
                      const DialectSettings& settings, const QString& sourceType) {
    if (value.isNull())
        return value;
    const TypeName type = parseTypeName(typeName);
    checkConversionAllowed(value, type);
    if (isTextType(type.base))
        return toTextType(type, value, style, settings);
    if (isBinaryTypeName(type.base) || value.kind == SqlValue::Kind::Blob)
        return binaryConversion(type, value, style, sourceType);
    // Blank text is 0 to whole numbers, bit, money and floats, and day zero
    // (1 January 1900) to the dates; decimal and numeric refuse it (8114).
    const bool blank = value.kind == SqlValue::Kind::Text && value.text.trimmed().isEmpty();
    if (blank && dateKindOf(type.base))
        return SqlValue::of(formatStoredDate(PreciseDateTime(dayZero()), *dateKindOf(type.base),
                                             type.length.value_or(defaultFractionDigits)));
    if (blank && type.base != QLatin1String("decimal") && type.base != QLatin1String("numeric") &&
        (isIntegerType(type.base) || isDecimalType(type.base) || type.base == QLatin1String("bit")))
        return convertValue(typeName, SqlValue::of(qint64(0)), std::nullopt, settings);
    if (const auto kind = dateKindOf(type.base)) {
        // To datetimeoffset only styles 0 and 1 convert.
        if (style && *kind == DateKind::DateTimeOffset && *style != 0 && *style != 1)
            throw ConversionError(
                9809, QStringLiteral("The style %1 is not supported for "
                                     "conversions from %2 to datetimeoffset.")
                          .arg(*style)
                          .arg(sourceType.isEmpty() ? sourceTypeName(value) : sourceType));
        if (style && value.kind == SqlValue::Kind::Text && !formatDateStyle(dayZero(), *style))
            failStyle(*style, QStringLiteral("varchar"), type.base);
        const DateOrder order =
            style ? dateOrderOfStyle(*style).value_or(settings.dateOrder) : settings.dateOrder;
        const auto date = valueAsDate(value, order);
        if (!date)
            failDate();
        checkDateRange(*date, *kind);
        return SqlValue::of(
            formatStoredDate(*date, *kind, type.length.value_or(defaultFractionDigits)));
    }
    if (type.base == QLatin1String("bit")) {
        if (value.kind == SqlValue::Kind::Text) {
            const QString t = value.text.trimmed();
            if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return SqlValue::of(qint64(1));
            if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return SqlValue::of(qint64(0));
        }
        const auto number = valueAsNumber(value);
        if (!number)
            failNumber(value, type.base);
        return SqlValue::of(qint64(number->toReal() != 0 ? 1 : 0));
    }
    if (isIntegerType(type.base)) {
        const auto number = valueAsNumber(value);
        if (!number || (value.kind == SqlValue::Kind::Text && number->kind == SqlValue::Kind::Real))
            failNumber(value, type.base);
        if (number->kind == SqlValue::Kind::Real &&
            std::fabs(number->real) >= 9.2233720368547758e18)
            failOverflow(sqlTypeLabel(type.base));
        const qint64 whole = number->kind == SqlValue::Kind::Integer
                                 ? number->integer
                                 : static_cast<qint64>(std::trunc(number->real));
        checkIntegerRange(whole, type.base);
        return SqlValue::of(whole);
    }
    if (isDecimalType(type.base)) {
        const auto number = valueAsNumber(value);
        if (!number)
            failNumber(value, type.base);
        const bool money =
            type.base == QLatin1String("money") || type.base == QLatin1String("smallmoney");
        const bool decimal =
            type.base == QLatin1String("decimal") || type.base == QLatin1String("numeric");
        if (money || decimal) {
            // Exact from the digits the value carries, not from a double's.
            const int scale = money ? 4 : std::min(type.scale, Decimal::maxDigits);
            const auto exact = exactNumber(value.kind == SqlValue::Kind::Text ? value : *number);
            if (!exact)
                failOverflow(money ? type.base : QStringLiteral("numeric"));
            if (money)
                return carriedNumber(moneyValue(*exact, type.base == QLatin1String("smallmoney")),
                                     false);
            return carriedNumber(
                decimalValue(*exact, type.length.value_or(18), scale, sourceTypeName(value)), true);
        }
        // A real keeps single precision: CAST(0.1 AS real) is no longer 0.1 as a float.
        return SqlValue::of(type.base == QLatin1String("real") ? singlePrecision(number->toReal())
                                                               : number->toReal());
    }
    // Types without a conversion of their own (uniqueidentifier, binary...) pass unchanged.
    return value;
}

double roundHalfAwayFromZero(double value, int digits) {
    // The number as written rounds (2.675, kept as 2.67499..., is 2.68): its
    // shortest digits, rounded exactly; a nudge of the double instead moves
    // large numbers (1234567890123.5 by whole units).
    if (digits >= 0)
        if (const auto exact = Decimal::fromDouble(value, digits))
            return exact->toDouble();
    const double factor = std::pow(10.0, digits);
    return std::round(value * factor) / factor;
}

QString strFunction(double value, int length, int decimals) {
    decimals = std::clamp(decimals, 0, 16);
    QString text = QString::number(roundHalfAwayFromZero(value, decimals), 'f', decimals);
    if (text.size() > length) {
        // SQL Server drops decimals before giving up.
        const QString whole = QString::number(roundHalfAwayFromZero(value, 0), 'f', 0);
        if (whole.size() > length)
            return QString(length, QLatin1Char('*'));
        const int room = length - static_cast<int>(whole.size()) - 1;
        text = room > 0 ? QString::number(roundHalfAwayFromZero(value, room), 'f', room) : whole;
    }
    return text.rightJustified(length, QLatin1Char(' '));
}

} // namespace estaciones::db::tsql
