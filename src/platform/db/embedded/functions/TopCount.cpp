#include "platform/db/embedded/functions/TopCount.h"

#include <cmath>

namespace estaciones::db::tsql {

namespace {

SqlValue topRowsFunction(const Call& c) {
    const SqlValue& value = c.arg(0);
    const auto number = value.isNull() ? std::nullopt : valueAsNumber(value);
    if (number && number->kind == SqlValue::Kind::Real && number->real != std::trunc(number->real))
        throw ConversionError(1060, QStringLiteral("The number of rows provided for a TOP or "
                                                   "FETCH clauses row count parameter must be "
                                                   "an integer."));
    if (!number || number->toReal() < 0)
        throw ConversionError(
            1014, QStringLiteral("A TOP N or FETCH rowcount value may not be negative."));
    return number->kind == SqlValue::Kind::Integer
               ? *number
               : SqlValue::of(static_cast<qint64>(number->real));
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
};

} // namespace

std::span<const FunctionSpec> topCountFunctions() {
    return topCountSpecs;
}

} // namespace estaciones::db::tsql
