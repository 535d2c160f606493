#include "platform/db/embedded/functions/ExactArithmetic.h"

#include "platform/db/embedded/functions/SqliteArguments.h"

#include "platform/db/embedded/storage/ExactNumbers.h"
#include "platform/db/embedded/storage/NumericErrors.h"

#include <sqlite3.h>

#include <cmath>
#include <stdexcept>

namespace estaciones::db::tsql {

namespace {

// Below 10^14 units of the scale a double's error stays under a twentieth
// of a unit through one operation, so rounding it gives the exact result.
constexpr double shortcutUnits = 1e14;
constexpr int shortcutScale = 15;

using ResultType = ExactResultType;

void deleteResultType(void* type) {
    delete static_cast<ResultType*>(type);
}

const ResultType* cachedResultType(sqlite3_context* ctx, sqlite3_value* declaration) {
    if (auto* cached = static_cast<const ResultType*>(sqlite3_get_auxdata(ctx, 2)))
        return cached;
    if (sqlite3_value_type(declaration) != SQLITE_TEXT)
        return nullptr;
    const auto type = ExactResultType::of(QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(declaration)),
        sqlite3_value_bytes(declaration)));
    if (!type)
        return nullptr;
    sqlite3_set_auxdata(ctx, 2, new ResultType(*type), deleteResultType);
    // SQLite may drop it at once (the argument is not constant): ask again.
    return static_cast<const ResultType*>(sqlite3_get_auxdata(ctx, 2));
}

double applied(ExactOperator op, double a, double b) {
    switch (op) {
    case ExactOperator::Add:
        return a + b;
    case ExactOperator::Subtract:
        return a - b;
    case ExactOperator::Multiply:
        return a * b;
    case ExactOperator::Divide:
        return a / b;
    }
    return 0;
}

// Money by a whole number in whole ten-thousandths, rounded half away from
// zero; money a double cannot hold and other divisors take the digits.
std::optional<std::int64_t> moneyQuotientUnits(double dividend, double divisor) {
    if (!(std::fabs(dividend) < moneyWithinDouble) || divisor == 0 ||
        divisor != std::trunc(divisor) || !(std::fabs(divisor) < 1e15))
        return std::nullopt;
    // Below 10^15 ten-thousandths: 64 bits hold every step.
    const std::int64_t scaled = tenThousandthsWithinDouble(dividend);
    const auto whole = static_cast<std::int64_t>(divisor);
    std::int64_t quotient = scaled / whole;
    const std::int64_t remainder = std::abs(scaled % whole);
    const std::int64_t magnitude = std::abs(whole);
    if (remainder >= magnitude - remainder)
        quotient += (scaled < 0) != (whole < 0) ? -1 : 1;
    return quotient;
}

// Numbers a double holds to the unit of the result's scale: the double
// result rounded to that unit (see unitsFromDoubles), else the body decides.
template <ExactOperator Op> bool exactShortcut(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!isNumberValue(argv[0]) || !isNumberValue(argv[1]))
        return false;
    const ResultType* type = cachedResultType(ctx, argv[2]);
    if (!type)
        return false;
    const auto units =
        unitsFromDoubles(Op, sqlite3_value_double(argv[0]), sqlite3_value_double(argv[1]), *type);
    if (!units)
        return false;
    if (type->type.kind == ExactType::Kind::Decimal && type->type.scale == 0)
        sqlite3_result_int64(ctx, *units);
    else
        sqlite3_result_double(ctx, static_cast<double>(*units) / type->unit);
    return true;
}

// An operand by its exact digits; text that is no number fails as the
// server's conversion to the result's type does.
Decimal exactOperand(const SqlValue& value, const ExactType& type) {
    // Which bytes of a binary value stand for the number is the server's
    // own layout, not read here: refused rather than taken as some number.
    if (value.kind == SqlValue::Kind::Blob)
        failNotSupported(QStringLiteral("%1 arithmetic with binary data").arg(type.name()));
    if (const auto exact = exactNumber(value))
        return *exact;
    if (value.kind == SqlValue::Kind::Text && !valueAsNumber(value))
        failNumberConversion(QStringLiteral("varchar"), type.name());
    // A number beyond 38 digits fits no exact type.
    failOverflow(type.name());
}

template <ExactOperator Op> SqlValue exactBody(const Call& c) {
    if (c.arg(0).isNull() || c.arg(1).isNull())
        return {};
    const auto type = ExactType::parse(c.arg(2).toText());
    if (!type)
        throw std::invalid_argument("tsql_exact: not a money or decimal type: " +
                                    c.arg(2).toText().toStdString());
    return type->carried(exactResult(Op, c.arg(0), c.arg(1), *type));
}

const FunctionSpec exactArithmeticTable[] = {
    {"tsql_exact_add", 3, exactBody<ExactOperator::Add>, true,
     exactShortcut<ExactOperator::Add>},
    {"tsql_exact_subtract", 3, exactBody<ExactOperator::Subtract>, true,
     exactShortcut<ExactOperator::Subtract>},
    {"tsql_exact_multiply", 3, exactBody<ExactOperator::Multiply>, true,
     exactShortcut<ExactOperator::Multiply>},
    {"tsql_exact_divide", 3, exactBody<ExactOperator::Divide>, true,
     exactShortcut<ExactOperator::Divide>},
};

} // namespace

std::span<const FunctionSpec> exactArithmeticFunctions() {
    return exactArithmeticTable;
}

std::optional<ExactOperator> exactOperatorOf(QStringView symbol) {
    if (symbol == u"+")
        return ExactOperator::Add;
    if (symbol == u"-")
        return ExactOperator::Subtract;
    if (symbol == u"*")
        return ExactOperator::Multiply;
    if (symbol == u"/")
        return ExactOperator::Divide;
    return std::nullopt;
}

std::optional<ExactResultType> ExactResultType::of(QStringView declaration) {
    const auto type = ExactType::parse(declaration);
    if (!type)
        return std::nullopt;
    ExactResultType result{*type, std::pow(10.0, type->scale), 0, 0};
    result.operandLimit = shortcutUnits / result.unit;
    result.unitsLimit = shortcutUnits;
    if (type->kind == ExactType::Kind::SmallMoney)
        result.unitsLimit = 2147483647.0;
    else if (type->kind == ExactType::Kind::Decimal && type->precision < 14)
        result.unitsLimit = std::pow(10.0, type->precision);
    return result;
}

std::optional<std::int64_t> unitsFromDoubles(ExactOperator op, double a, double b,
                                             const ExactResultType& type) {
    if (op == ExactOperator::Divide && type.type.kind != ExactType::Kind::Decimal)
        return type.type.kind == ExactType::Kind::Money ? moneyQuotientUnits(a, b) : std::nullopt;
    // A quotient's error is relative to it: the operands' size does not
    // matter while a double holds them (15 digits) and the result's units
    // stay below the limit.
    const double operandLimit = op == ExactOperator::Divide ? 1e15 : type.operandLimit;
    if (type.type.scale > shortcutScale || (op == ExactOperator::Divide && b == 0) ||
        !(std::fabs(a) < operandLimit && std::fabs(b) < operandLimit))
        return std::nullopt;
    const double units = applied(op, a, b) * type.unit;
    const double whole = std::floor(units);
    const double fraction = units - whole;
    // Too near halfway between two units to tell which way the digits round.
    // A quotient of two nearest doubles is off by under 5e-16 of itself, so
    // twice that (and a little) is margin enough; the others keep a tenth.
    const double margin = op == ExactOperator::Divide ? std::fabs(units) * 1e-15 + 1e-9 : 0.1;
    if (!(std::fabs(fraction - 0.5) > margin))
        return std::nullopt;
    const double rounded = fraction > 0.5 ? whole + 1 : whole;
    if (!(std::fabs(rounded) < type.unitsLimit))
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

Decimal exactResult(ExactOperator op, const SqlValue& a, const SqlValue& b, const ExactType& type) {
    const Decimal x = exactOperand(a, type);
    const Decimal y = exactOperand(b, type);
    if (op == ExactOperator::Divide) {
        if (y.isZero())
            failDivideByZero();
        if (type.kind == ExactType::Kind::Decimal) {
            // The quotient of the digits as they are, rounded once to the scale.
            const auto quotient = Decimal::divide(x, y, type.scale);
            if (!quotient)
                failOverflow(type.name());
            return type.fitted(*quotient);
        }
        const auto dividend = x.rescaled(type.scale);
        const auto quotient =
            dividend ? Decimal::divide(*dividend, y, type.scale) : std::nullopt;
        if (!quotient)
            failOverflow(type.name());
        return type.fitted(*quotient);
    }
    const auto result = op == ExactOperator::Add        ? Decimal::add(x, y)
                        : op == ExactOperator::Subtract ? Decimal::subtract(x, y)
                                                        : Decimal::multiply(x, y);
    if (!result)
        failOverflow(type.name());
    return type.fitted(*result);
}

} // namespace estaciones::db::tsql
