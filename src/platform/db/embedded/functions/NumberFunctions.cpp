#include "platform/db/embedded/functions/NumberFunctions.h"

#include "platform/db/embedded/storage/NumericErrors.h"

#include <QRegularExpression>

namespace estaciones::db::tsql {

namespace {

// A decimal or money number as CONVERT writes it to text: decimal at its
// scale, money with two places (four in style 2, thousands commas in style 1).
QString decimalText(double value, const QString& sourceType, std::optional<int> style) {
    static const QRegularExpression scaled(QStringLiteral(R"(^\s*(?:decimal|numeric)\s*\(\s*\d+\s*,\s*(\d+)\s*\))"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto m = scaled.match(sourceType);
    const bool money = sourceType.contains(QLatin1String("money"), Qt::CaseInsensitive);
    const int scale = m.hasMatch() ? m.captured(1).toInt() : money && style == 2 ? 4 : money ? 2 : 0;
    QString text = QString::number(roundHalfAwayFromZero(value, scale), 'f', scale);
    if (money && style == 1) {
        const qsizetype point = text.indexOf(QLatin1Char('.'));
        const qsizetype first = text.startsWith(QLatin1Char('-')) ? 1 : 0;
        for (qsizetype at = (point < 0 ? text.size() : point) - 3; at > first; at -= 3)
            text.insert(at, QLatin1Char(','));
    }
    return text;
}

// tsql_convert(type, value [, style [, source type]]): the translator names
// the source's type where the text tells it and the number has lost it.
SqlValue convertFunction(const Call& c) {
    std::optional<int> style;
    if (c.args.size() > 2 && !c.arg(2).isNull())
        style = static_cast<int>(c.integer(2));
    if (c.args.size() > 3 && c.arg(1).isNumber() && !c.arg(3).isNull())
        return convertValue(c.arg(0).toText(),
                            SqlValue::of(decimalText(c.arg(1).toReal(), c.arg(3).toText(), style)),
                            std::nullopt, c.settings);
    return convertValue(c.arg(0).toText(), c.arg(1), style, c.settings);
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

const FunctionSpec functions[] = {
    {"tsql_convert", 2, convertFunction, true},
    {"tsql_convert", 3, convertFunction, true},
    {"tsql_convert", 4, convertFunction, true},
    {"tsql_try_convert", 2, tryConvertFunction, true},
    {"tsql_try_convert", 3, tryConvertFunction, true},
    {"tsql_try_convert", 4, tryConvertFunction, true},
    {"tsql_round", 2, roundFunction, true},
    {"tsql_round", 3, roundFunction, true},
    {"tsql_floor", 1, roundingFunction<std::floor>, true},
    {"tsql_ceiling", 1, roundingFunction<std::ceil>, true},
    {"tsql_isnumeric", 1, isnumericFunction, true},
};

} // namespace

std::span<const FunctionSpec> numberFunctions() {
    return functions;
}

} // namespace estaciones::db::tsql
