#include "platform/db/embedded/functions/NumberFunctions.h"

#include "platform/db/embedded/functions/DateTextFailure.h"
#include "platform/db/embedded/storage/ApproximateNumbers.h"
#include "platform/db/embedded/storage/BinaryValues.h"
#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/NumericErrors.h"
#include "platform/db/embedded/storage/TypeNames.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace estaciones::db::tsql {

namespace {

// A numeric type's name and scale, from a declaration ("money", "decimal(10,2)").
struct SourceType {
    QString base;
    int scale = 0;
};

SourceType sourceTypeOf(const QString& declaration) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([A-Za-z]+)\s*(?:\(\s*\d+\s*(?:,\s*(\d+)\s*)?\))?\s*$)"));
    const auto match = pattern.match(withoutStoredAffinity(declaration));
    return match.hasMatch() ? SourceType{match.captured(1).toLower(), match.captured(2).toInt()}
                            : SourceType{};
}

bool isMoney(const QString& base) {
    return base == QLatin1String("money") || base == QLatin1String("smallmoney");
}

// Digits grouped by three with commas: 1234567.89 → 1,234,567.89.
QString withThousands(QString text) {
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const qsizetype firstDigit = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype at = (point < 0 ? text.size() : point) - 3; at > firstDigit; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}

// money as text: style 0 two decimals, 1 with thousands too, 2 and 126 four.
QString moneyText(const Decimal& value, std::optional<int> style, const QString& source) {
    const int chosen = style.value_or(0);
    if (chosen != 0 && chosen != 1 && chosen != 2 && chosen != 126)
        throw ConversionError(281, QStringLiteral("%1 is not a valid style number when "
                                                  "converting from %2 to a character string.")
                                       .arg(chosen)
                                       .arg(source));
    const int decimals = chosen == 2 || chosen == 126 ? 4 : 2;
    const QString text = value.rescaled(decimals)->toString();
    return chosen == 1 ? withThousands(text) : text;
}

// The character length a conversion to text allows (CONVERT(varchar, x) is 30).
std::optional<int> textLength(const QString& typeName) {
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*(n?(?:var)?char|sysname)\s*(?:\(\s*(\d+|max)\s*\))?\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(typeName);
    if (!match.hasMatch())
        return std::nullopt;
    if (match.captured(2).compare(QLatin1String("max"), Qt::CaseInsensitive) == 0)
        return std::numeric_limits<int>::max();
    return match.captured(2).isEmpty() ? 30 : match.captured(2).toInt();
}

// CAST / CONVERT by the value's own kind.
SqlValue plainConversion(const Call& c) {
    std::optional<int> style;
    if (c.args.size() > 2 && !c.arg(2).isNull())
        style = static_cast<int>(c.integer(2));
    const QString typeName = c.arg(0).toText();
    // A whole number too long for its text: '*' in char and varchar, an error in the n-types.
    if (const auto length = textLength(typeName);
        length && c.arg(1).kind == SqlValue::Kind::Integer &&
        QString::number(c.arg(1).integer).size() > *length) {
        if (typeName.trimmed().startsWith(QLatin1Char('n'), Qt::CaseInsensitive))
            failOverflow(typeName.section(QLatin1Char('('), 0, 0).trimmed().toLower());
        return SqlValue::of(QStringLiteral("*"));
    }
    const QString source = c.args.size() > 3 && !c.arg(3).isNull() ? c.arg(3).toText() : QString();
    try {
        return convertValue(typeName, c.arg(1), style, c.settings, source);
    } catch (const ConversionError& e) {
        const auto kind = dateKindOf(typeName);
        if (e.nativeNumber() == 241 && kind && c.arg(1).kind == SqlValue::Kind::Text)
            throw dateTextFailure(c.arg(1).text, *kind);
        throw;
    }
}

bool isApproximate(const QString& base) {
    return base == QLatin1String("float") || base == QLatin1String("real");
}

// The name of a conversion's target type as the server's messages give it.
QString targetBaseName(const QString& typeName) {
    return typeName.section(QLatin1Char('('), 0, 0).trimmed().toLower();
}

// CAST / CONVERT of a float or real: text by the float styles, 232 when it
// does not fit the text's length or the integer type; other targets convert
// the value as it is.
SqlValue approximateConversion(const Call& c, const SourceType& source) {
    const SqlValue& value = c.arg(1);
    if (!value.isNumber())
        return plainConversion(c);
    // A real read from a file written before reals were kept in single precision.
    const double number =
        source.base == QLatin1String("real") ? singlePrecision(value.toReal()) : value.toReal();
    const QString typeName = c.arg(0).toText();
    if (const auto length = textLength(typeName)) {
        const int style = c.arg(2).isNull() ? 0 : static_cast<int>(c.integer(2));
        const QString text = floatText(number, style);
        if (text.size() > *length)
            failFloatOverflow(targetBaseName(typeName), number);
        // As text from here: char(n) fills with blanks.
        return convertValue(typeName, SqlValue::of(text), std::nullopt, c.settings);
    }
    const QString target = targetBaseName(typeName);
    if (const int bytes = integerTypeBytes(target)) {
        const double whole = std::trunc(number);
        const double limit = std::ldexp(1.0, 8 * bytes - 1);
        const bool fits = target == QLatin1String("tinyint") ? whole >= 0 && whole <= 255
                                                             : whole >= -limit && whole < limit;
        if (!fits)
            failFloatOverflow(target, number);
    }
    return plainConversion(c);
}

// CAST / CONVERT of a value whose type is known (`source`: money,
// decimal(p,s)...), where that type changes the answer: money and decimal
// become text with their own decimals (money two by default, decimal its
// scale), an error when the text does not fit; money rounds to an integer
// where other numbers truncate.
// CAST / CONVERT of a datetime or smalldatetime: to text without a style
// the default style 0 (Jan  5 2024 10:20AM); to a number its days since 1
// January 1900, with their fraction for a float, to the nearest day for a
// whole number.
SqlValue dateConversion(const Call& c, const QString& source) {
    const SqlValue& value = c.arg(1);
    if (value.isNull())
        return value;
    const QString typeName = c.arg(0).toText();
    if (textLength(typeName)) {
        const std::optional<int> style =
            c.arg(2).isNull() ? 0 : static_cast<int>(c.integer(2));
        return convertValue(typeName, value, style, c.settings, source);
    }
    const PreciseDateTime date = c.date(1);
    const double days = static_cast<double>(QDate(1900, 1, 1).daysTo(date.date())) +
                        static_cast<double>(date.ticksOfDay()) / 864000000000.0;
    return convertValue(typeName,
                        SqlValue::of(isApproximate(targetBaseName(typeName)) ? days : std::round(days)),
                        std::nullopt, c.settings);
}

SqlValue typedConversion(const Call& c) {
    const SqlValue& value = c.arg(1);
    const SourceType source = sourceTypeOf(c.arg(3).toText());
    if (source.base == QLatin1String("datetime") || source.base == QLatin1String("smalldatetime"))
        return dateConversion(c, source.base);
    if (isApproximate(source.base))
        return approximateConversion(c, source);
    const bool decimal =
        source.base == QLatin1String("decimal") || source.base == QLatin1String("numeric");
    // At its type's scale: money rounds to its four decimals before it is shown with two.
    const auto exact = value.isNull() || (!decimal && !isMoney(source.base))
                           ? std::nullopt
                           : exactNumber(value);
    const auto typed = exact ? exact->rescaled(decimal ? source.scale : 4) : std::nullopt;
    if (!typed)
        return plainConversion(c);
    const QString typeName = c.arg(0).toText();
    // To binary, the source's type gives the bytes (BinaryValues.h).
    if (isBinaryTypeName(typeName.section(QLatin1Char('('), 0, 0).trimmed().toLower()))
        return plainConversion(c);
    std::optional<int> style;
    if (!c.arg(2).isNull())
        style = static_cast<int>(c.integer(2));
    if (const auto length = textLength(typeName)) {
        const QString text =
            decimal ? typed->toString() : moneyText(*typed, style, source.base);
        if (text.size() > *length && decimal)
            failConversionOverflow(QStringLiteral("numeric"), targetBaseName(typeName));
        if (text.size() > *length)
            failOverflow(targetBaseName(typeName));
        return SqlValue::of(text);
    }
    // To a decimal from its exact digits; the 8115 names the source's type.
    if (const auto target = ExactType::parse(typeName);
        target && target->kind == ExactType::Kind::Decimal)
        return carriedNumber(decimalValue(*exact, target->precision, target->scale,
                                          decimal ? QStringLiteral("numeric") : source.base),
                             true);
    if (isMoney(source.base) && value.kind == SqlValue::Kind::Real)
        return convertValue(typeName, SqlValue::of(roundHalfAwayFromZero(value.real, 0)), style,
                            c.settings);
    return plainConversion(c);
}

// tsql_convert(type, value [, style [, source type]]): the translator and
// the typing of the query name the source's type where the number has lost it.
SqlValue convertFunction(const Call& c) {
    // A style of NULL gives NULL; a fourth argument comes with a NULL in the
    // style's place when the call has none.
    if (c.args.size() == 3 && c.arg(2).isNull())
        return {};
    return c.args.size() > 3 && !c.arg(3).isNull() ? typedConversion(c) : plainConversion(c);
}

// tsql_store_number(type, value): what a money or decimal column's store
// trigger keeps, the value converted to the column's type; a value whose
// digits only a text carries (more than 15 significant ones) is refused, as a
// database file would keep only the double nearest to it.
SqlValue storeNumberFunction(const Call& c) {
    SqlValue stored = convertFunction(c);
    if (stored.kind == SqlValue::Kind::Text)
        failBeyondStoredDigits(c.arg(0).toText().section(QLatin1Char('('), 0, 0), stored.text);
    return stored;
}

// tsql_text_as_number(type, value): a value compared with a money or decimal
// column, converted to the column's type when it is text (the server converts
// by type precedence, failing with 235 or 8114 on text that is no number);
// numbers stay as they are, as the higher type may be theirs (float).
SqlValue textAsNumberFunction(const Call& c) {
    return c.arg(1).kind == SqlValue::Kind::Text ? convertFunction(c) : c.arg(1);
}

// TRY_CAST and TRY_CONVERT: NULL where the value does not convert; a
// conversion the server never allows (529) and a bad style (281) still fail.
SqlValue tryConvertFunction(const Call& c) {
    try {
        return convertFunction(c);
    } catch (const ConversionError& e) {
        if (e.nativeNumber() == 529 || e.nativeNumber() == 281)
            throw;
        return {};
    }
}

SqlValue roundFunction(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const auto n = valueAsNumber(c.arg(0));
    if (!n)
        failNumberConversion(QStringLiteral("varchar"), QStringLiteral("float"));
    const int digits = static_cast<int>(c.integer(1));
    const bool truncate = c.args.size() > 2 && !c.arg(2).isNull() && c.integer(2) != 0;
    if (n->kind == SqlValue::Kind::Integer && digits >= 0)
        return *n;
    const double factor = std::pow(10.0, digits);
    const double result = truncate ? std::trunc(n->toReal() * factor) / factor
                                   : roundHalfAwayFromZero(n->toReal(), digits);
    return n->kind == SqlValue::Kind::Integer ? SqlValue::of(static_cast<qint64>(result))
                                              : SqlValue::of(result);
}

template <double (*F)(double)> SqlValue roundingFunction(const Call& c) {
    if (c.arg(0).isNull())
        return {};
    const auto n = valueAsNumber(c.arg(0));
    if (!n)
        failNumberConversion(QStringLiteral("varchar"), QStringLiteral("float"));
    if (n->kind == SqlValue::Kind::Integer)
        return *n;
    return SqlValue::of(F(n->real));
}

// The CHECK of an integer column: a value that does not fit `typeName`
// fails with 8115 or 220, text that is no whole number with 245.
SqlValue integerRangeFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    const QString typeName = c.arg(1).toText();
    if (value.kind == SqlValue::Kind::Integer) {
        checkIntegerRange(value.integer, typeName);
    } else if (value.kind == SqlValue::Kind::Real) {
        if (!(std::fabs(value.real) < 9.2233720368547758e18))
            failOverflow(typeName);
        checkIntegerRange(static_cast<qint64>(std::trunc(value.real)), typeName);
    } else if (value.kind == SqlValue::Kind::Text && !value.text.trimmed().isEmpty() &&
               !valueAsNumber(value)) {
        failIntegerConversion(value.text, typeName);
    }
    return SqlValue::of(qint64(1));
}

// ISNUMERIC: whether the text reads as some numeric type, money's forms
// included: a currency sign, a sign, thousands commas and an exponent, each
// of them alone as well ('+', '$' and '.' are numeric).
SqlValue isnumericFunction(const Call& c) {
    if (c.arg(0).kind != SqlValue::Kind::Text)
        return SqlValue::of(qint64(c.arg(0).isNumber() ? 1 : 0));
    static const QRegularExpression numeric(QStringLiteral(
        R"(^[$£€¥]?[+-]?[$£€¥]?(?:(?:\d[\d,]*\.?\d*|\.\d+)[eEdD][+-]?\d+|[\d,]*\.?\d*)$)"));
    const QString text = c.arg(0).text.trimmed();
    return SqlValue::of(qint64(!text.isEmpty() && numeric.match(text).hasMatch() ? 1 : 0));
}

const FunctionSpec numberTable[] = {
    {"tsql_convert", 2, convertFunction, true},
    {"tsql_convert", 3, convertFunction, true},
    {"tsql_convert", 4, convertFunction, true},
    {"tsql_store_number", 2, storeNumberFunction, true},
    {"tsql_text_as_number", 2, textAsNumberFunction, true},
    {"tsql_try_convert", 2, tryConvertFunction, true},
    {"tsql_try_convert", 3, tryConvertFunction, true},
    {"tsql_try_convert", 4, tryConvertFunction, true},
    {"tsql_round", 2, roundFunction, true},
    {"tsql_round", 3, roundFunction, true},
    {"tsql_floor", 1, roundingFunction<std::floor>, true},
    {"tsql_ceiling", 1, roundingFunction<std::ceil>, true},
    {"tsql_isnumeric", 1, isnumericFunction, true},
    {"tsql_integer_range", 2, integerRangeFunction, true},
};

} // namespace

std::span<const FunctionSpec> numberFunctions() {
    return numberTable;
}

SqlValue convertTyped(const QString& typeName, const SqlValue& value, std::optional<int> style,
                      const QString& sourceType, const DialectSettings& settings) {
    const Call call{nullptr,
                    {SqlValue::of(typeName), value,
                     style ? SqlValue::of(qint64(*style)) : SqlValue::null(),
                     sourceType.isEmpty() ? SqlValue::null() : SqlValue::of(sourceType)},
                    settings};
    return convertFunction(call);
}

} // namespace estaciones::db::tsql
