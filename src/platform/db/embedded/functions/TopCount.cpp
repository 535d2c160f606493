#include "platform/db/embedded/functions/TopCount.h"

#include <cmath>

namespace estaciones::db::tsql {

namespace {

// A row count as a whole number; a fraction, NULL or a value below `least`
// fails with the clause's own error.
SqlValue wholeRowCount(const SqlValue& value, qint64 least, const ConversionError& fraction,
                       const ConversionError& outOfRange) {
    const auto number = value.isNull() ? std::nullopt : valueAsNumber(value);
    if (number && number->kind == SqlValue::Kind::Real && number->real != std::trunc(number->real))
        throw fraction;
    if (!number || number->toReal() < static_cast<double>(least))
        throw outOfRange;
    return number->kind == SqlValue::Kind::Integer
               ? *number
               : SqlValue::of(static_cast<qint64>(number->real));
}

const ConversionError topFraction(1060, QStringLiteral("The number of rows provided for a TOP or "
                                                       "FETCH clauses row count parameter must be "
                                                       "an integer."));

SqlValue topRowsFunction(const Call& c) {
    return wholeRowCount(
        c.arg(0), 0, topFraction,
        ConversionError(1014, QStringLiteral("A TOP N or FETCH rowcount value may not be negative.")));
}

SqlValue fetchRowsFunction(const Call& c) {
    return wholeRowCount(c.arg(0), 1, topFraction,
                         ConversionError(10744, QStringLiteral("The number of rows provided for a "
                                                               "FETCH clause must be greater then "
                                                               "zero.")));
}

SqlValue offsetRowsFunction(const Call& c) {
    return wholeRowCount(
        c.arg(0), 0,
        ConversionError(10743, QStringLiteral("The number of rows provided for an OFFSET clause "
                                              "must be an integer.")),
        ConversionError(10742, QStringLiteral("The offset specified in an OFFSET clause may not "
                                              "be negative.")));
}

SqlValue topPercentFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    const auto number = value.isNull() ? std::nullopt : valueAsNumber(value);
    if (!number || number->toReal() < 0 || number->toReal() > 100)
        throw ConversionError(1006, QStringLiteral("Percent values must be between 0 and 100."));
    return SqlValue::of(number->toReal());
}

const FunctionSpec topCountSpecs[] = {
    {"tsql_top_rows", 1, topRowsFunction, true},
    {"tsql_top_percent", 1, topPercentFunction, true},
    {"tsql_fetch_rows", 1, fetchRowsFunction, true},
    {"tsql_offset_rows", 1, offsetRowsFunction, true},
};

} // namespace

std::span<const FunctionSpec> topCountFunctions() {
    return topCountSpecs;
}

} // namespace estaciones::db::tsql
