#include "platform/db/embedded/functions/ExactAggregates.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/functions/ExactArithmetic.h"
#include "platform/db/embedded/storage/ExactNumbers.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <memory>

namespace estaciones::db::tsql {

namespace {

enum class Aggregate { MoneySum, MoneyAverage, DecimalSum, DecimalAverage };

bool isMoneyAggregate(Aggregate a) {
    return a == Aggregate::MoneySum || a == Aggregate::MoneyAverage;
}

// Below 10^15 units a double holds a value of the scale exactly enough to
// round back to it.
constexpr double unitsWithinDouble = 1e15;
// 10^n as a 128-bit integer, n up to 38.
Decimal::Coefficient powerOfTen(int n) {
    Decimal::Coefficient p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// SQLite zeroes it on the first row of a group.
struct Total {
    __int128 units; // the sum in units of 10^-scale
    sqlite3_int64 values;
    int scale;
    bool scaleSet;
    bool overflowed;
    // Of a total of a op b (four arguments): the operation and its type.
    ExactOperator op;
    ExactResultType operation;
};

// The group's total. SQLite's aggregate memory is aligned to 8 bytes and a
// 128-bit integer needs 16: the total sits at the first aligned place of a
// block with room for both; the same block gives the same place every time.
Total* totalOf(sqlite3_context* ctx, bool create) {
    constexpr std::size_t room = sizeof(Total) + alignof(Total);
    void* block = sqlite3_aggregate_context(ctx, create ? static_cast<int>(room) : 0);
    if (!block)
        return nullptr;
    std::size_t space = room;
    return static_cast<Total*>(std::align(alignof(Total), sizeof(Total), block, space));
}

// A value by its exact digits: a double by its shortest digits, a text as
// written; text that is no literal counts as SQLite's SUM would count it.
std::optional<Decimal> exactValueOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return Decimal(static_cast<std::int64_t>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return exactNumber(SqlValue::of(sqlite3_value_double(value)));
    default: {
        const auto text = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
        if (const auto exact = Decimal::parse(text))
            return exact;
        return exactNumber(SqlValue::of(sqlite3_value_double(value)));
    }
    }
}

// One value in units of `scale`, rounded half away from zero to it: a double
// that holds it directly, else its exact digits; nothing beyond 38 digits.
std::optional<__int128> unitsOf(sqlite3_value* value, int scale) {
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_INTEGER && scale <= 19)
        return static_cast<__int128>(sqlite3_value_int64(value)) * powerOfTen(scale);
    if (type == SQLITE_FLOAT && scale <= 15) {
        static constexpr double powers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double units = sqlite3_value_double(value) * powers[scale];
        if (std::fabs(units) < unitsWithinDouble)
            // Through 64 bits: a double converts to them in one instruction,
            // to 128 bits only by a library call.
            return static_cast<std::int64_t>(units + (units < 0 ? -0.5 : 0.5));
    }
    const auto exact = exactValueOf(value);
    const auto rescaled = exact ? exact->rescaled(scale) : std::nullopt;
    if (!rescaled)
        return std::nullopt;
    return rescaled->coefficient();
}

// The scale the group adds at: money's four places, the one named, or (no
// scale named) the largest the values have, the total growing with it.
bool settleScale(Total* total, Aggregate aggregate, int argc, sqlite3_value** argv) {
    if (!total->scaleSet) {
        total->scaleSet = true;
        total->scale = isMoneyAggregate(aggregate) ? 4
                       : argc > 1                  ? sqlite3_value_int(argv[1])
                                                   : 0;
        if (total->scale < 0 || total->scale > Decimal::maxDigits)
            return false;
    }
    if (isMoneyAggregate(aggregate) || argc > 1)
        return true;
    const auto exact = exactValueOf(argv[0]);
    if (!exact)
        return false;
    if (exact->scale() > total->scale) {
        const auto grown = Decimal::fromCoefficient(total->units, total->scale);
        const auto rescaled = grown ? grown->rescaled(exact->scale()) : std::nullopt;
        if (!rescaled)
            return false;
        total->units = rescaled->coefficient();
        total->scale = exact->scale();
    }
    return true;
}

// The arguments' text as the functions take it.
QString textArgument(sqlite3_value* value) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                             sqlite3_value_bytes(value));
}

SqlValue operandOf(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return SqlValue::of(static_cast<qint64>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return SqlValue::of(sqlite3_value_double(value));
    default:
        return SqlValue::of(textArgument(value));
    }
}

bool isDoubleOrInteger(sqlite3_value* value) {
    const int type = sqlite3_value_type(value);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

// The total of a op b (tsql_money_sum(a, b, '*', 'money')): each row's
// result worked out as tsql_exact_multiply would, without a call of its own.
void addOperation(sqlite3_context* ctx, sqlite3_value** argv, int sign) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;
    Total* total = totalOf(ctx, true);
    if (!total)
        return sqlite3_result_error_nomem(ctx);
    if (total->overflowed)
        return;
    if (!total->scaleSet) {
        const auto op = exactOperatorOf(textArgument(argv[2]));
        const auto type = ExactResultType::of(textArgument(argv[3]));
        if (!op || !type)
            return sqlite3_result_error(ctx, "tsql exact total: not an exact operation", -1);
        total->scaleSet = true;
        total->op = *op;
        total->operation = *type;
        total->scale = type->type.scale;
    }
    std::optional<__int128> units;
    if (isDoubleOrInteger(argv[0]) && isDoubleOrInteger(argv[1]))
        units = unitsFromDoubles(total->op, sqlite3_value_double(argv[0]),
                                 sqlite3_value_double(argv[1]), total->operation);
    if (!units) {
        try {
            units = exactResult(total->op, operandOf(argv[0]), operandOf(argv[1]),
                                total->operation.type)
                        .rescaled(total->scale)
                        ->coefficient();
        } catch (const ConversionError& e) {
            const QByteArray message =
                functionErrorMessage(e.nativeNumber(), QString::fromStdString(e.what())).toUtf8();
            return sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
        }
    }
    if (__builtin_add_overflow(total->units, sign * *units, &total->units)) {
        total->overflowed = true;
        return;
    }
    total->values += sign;
}

void add(sqlite3_context* ctx, int argc, sqlite3_value** argv, int sign) {
    if (argc == 4)
        return addOperation(ctx, argv, sign);
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    Total* total = totalOf(ctx, true);
    if (!total)
        return sqlite3_result_error_nomem(ctx);
    const auto aggregate = static_cast<Aggregate>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(ctx)));
    if (total->overflowed)
        return;
    const auto amount =
        settleScale(total, aggregate, argc, argv) ? unitsOf(argv[0], total->scale) : std::nullopt;
    if (!amount || __builtin_add_overflow(total->units, sign * *amount, &total->units)) {
        total->overflowed = true;
        return;
    }
    total->values += sign;
}

void exactStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    add(ctx, argc, argv, 1);
}

void inverse(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    add(ctx, argc, argv, -1);
}

void failWith(sqlite3_context* ctx, const QString& typeName) {
    const QByteArray message =
        functionErrorMessage(8115, QStringLiteral("Arithmetic overflow error converting "
                                                  "expression to data type %1.")
                                       .arg(typeName))
            .toUtf8();
    sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
}

void setCarried(sqlite3_context* ctx, const SqlValue& carried) {
    if (carried.kind == SqlValue::Kind::Integer)
        return sqlite3_result_int64(ctx, carried.integer);
    if (carried.kind == SqlValue::Kind::Real)
        return sqlite3_result_double(ctx, carried.real);
    const QByteArray digits = carried.text.toUtf8();
    sqlite3_result_text(ctx, digits.constData(), static_cast<int>(digits.size()), SQLITE_TRANSIENT);
}

void value(sqlite3_context* ctx) {
    const Total* total = totalOf(ctx, false);
    if (!total || total->values == 0)
        return sqlite3_result_null(ctx);
    const auto aggregate = static_cast<Aggregate>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(ctx)));
    const bool money = isMoneyAggregate(aggregate);
    const ExactType type = money ? ExactType{ExactType::Kind::Money, 19, 4}
                                 : ExactType{ExactType::Kind::Decimal, Decimal::maxDigits,
                                             total->scale};
    const auto sum = total->overflowed ? std::nullopt
                                       : Decimal::fromCoefficient(total->units, total->scale);
    if (!sum)
        return failWith(ctx, type.name());
    std::optional<Decimal> result = sum;
    if (aggregate == Aggregate::MoneyAverage)
        result = Decimal::divide(*sum, Decimal(total->values), 4);
    else if (aggregate == Aggregate::DecimalAverage)
        result = Decimal::divide(*sum, Decimal(total->values), std::max(total->scale, 6));
    if (!result)
        return failWith(ctx, type.name());
    try {
        ExactType fitting = type;
        fitting.scale = result->scale();
        setCarried(ctx, fitting.carried(fitting.fitted(*result)));
    } catch (const ConversionError&) {
        failWith(ctx, type.name());
    }
}

void registerAggregate(sqlite3* db, const char* name, int arguments, Aggregate aggregate) {
    if (sqlite3_create_window_function(
            db, name, arguments, SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC,
            reinterpret_cast<void*>(static_cast<std::intptr_t>(aggregate)), exactStep, value, value,
            inverse, nullptr) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register %1: %2")
                                        .arg(QString::fromUtf8(name),
                                             QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace

void registerExactAggregates(sqlite3* db) {
    registerAggregate(db, "tsql_money_sum", 1, Aggregate::MoneySum);
    registerAggregate(db, "tsql_money_avg", 1, Aggregate::MoneyAverage);
    registerAggregate(db, "tsql_decimal_sum", 1, Aggregate::DecimalSum);
    registerAggregate(db, "tsql_decimal_sum", 2, Aggregate::DecimalSum);
    registerAggregate(db, "tsql_decimal_avg", 1, Aggregate::DecimalAverage);
    registerAggregate(db, "tsql_decimal_avg", 2, Aggregate::DecimalAverage);
    for (const auto& [name, aggregate] :
         {std::pair{"tsql_money_sum", Aggregate::MoneySum},
          std::pair{"tsql_money_avg", Aggregate::MoneyAverage},
          std::pair{"tsql_decimal_sum", Aggregate::DecimalSum},
          std::pair{"tsql_decimal_avg", Aggregate::DecimalAverage}})
        registerAggregate(db, name, 4, aggregate);
}

} // namespace estaciones::db::tsql
