#include "platform/db/embedded/functions/NumberFunctions.h"

#include "platform/db/embedded/storage/NumericErrors.h"

namespace estaciones::db::tsql {

namespace {

SqlValue convertFunction(const Call& c) {
    std::optional<int> style;
    if (c.args.size() > 2 && !c.arg(2).isNull())
        style = static_cast<int>(c.integer(2));
    return convertValue(c.arg(0).toText(), c.arg(1), style, c.settings);
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

SqlValue isnumericFunction(const Call& c) {
    return SqlValue::of(qint64(!c.arg(0).isNull() && valueAsNumber(c.arg(0)) ? 1 : 0));
}

const FunctionSpec functions[] = {
    {"tsql_convert", 2, convertFunction, true},
    {"tsql_convert", 3, convertFunction, true},
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
