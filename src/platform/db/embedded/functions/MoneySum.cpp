#include "platform/db/embedded/functions/MoneySum.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/storage/ExactNumbers.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <memory>

namespace estaciones::db::tsql {

namespace {

// SQLite zeroes it on the first row of a group.
struct Total {
    __int128 tenThousandths;
    sqlite3_int64 values;
    bool overflowed;
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

// One value in ten-thousandths, exactly: a double by its shortest digits
// where it holds no whole ten-thousandths, money's wide digits as written;
// nothing for a number beyond 38 digits.
std::optional<__int128> tenThousandthsOf(sqlite3_value* value) {
    SqlValue carried;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return static_cast<__int128>(sqlite3_value_int64(value)) * 10000;
    case SQLITE_FLOAT:
        carried = SqlValue::of(sqlite3_value_double(value));
        if (std::fabs(carried.real) < moneyWithinDouble)
            return tenThousandthsWithinDouble(carried.real);
        break;
    default:
        carried = SqlValue::of(QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value)));
        // Text that is no literal counts as SQLite's SUM would count it.
        if (!Decimal::parse(carried.text))
            carried = SqlValue::of(sqlite3_value_double(value));
        break;
    }
    const auto exact = exactNumber(carried);
    const auto money = exact ? exact->rescaled(4) : std::nullopt;
    if (!money)
        return std::nullopt;
    return money->coefficient();
}

void add(sqlite3_context* ctx, sqlite3_value* value, int sign) {
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return;
    Total* total = totalOf(ctx, true);
    if (!total)
        return sqlite3_result_error_nomem(ctx);
    const auto amount = tenThousandthsOf(value);
    if (!amount) {
        total->overflowed = true;
        return;
    }
    total->tenThousandths += sign * *amount;
    total->values += sign;
}

void step(sqlite3_context* ctx, int, sqlite3_value** argv) {
    add(ctx, argv[0], 1);
}

void inverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    add(ctx, argv[0], -1);
}

void value(sqlite3_context* ctx) {
    const Total* total = totalOf(ctx, false);
    if (!total || total->values == 0)
        return sqlite3_result_null(ctx);
    if (total->overflowed || total->tenThousandths < std::numeric_limits<qint64>::min() ||
        total->tenThousandths > std::numeric_limits<qint64>::max()) {
        const QByteArray message =
            functionErrorMessage(
                8115, QStringLiteral(
                          "Arithmetic overflow error converting expression to data type money."))
                .toUtf8();
        return sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
    }
    const SqlValue carried = carriedNumber(
        *Decimal::fromCoefficient(static_cast<Decimal::Coefficient>(total->tenThousandths), 4),
        false);
    if (carried.kind == SqlValue::Kind::Real)
        return sqlite3_result_double(ctx, carried.real);
    const QByteArray digits = carried.text.toUtf8();
    sqlite3_result_text(ctx, digits.constData(), static_cast<int>(digits.size()), SQLITE_TRANSIENT);
}

} // namespace

void registerMoneySum(sqlite3* db) {
    if (sqlite3_create_window_function(db, "tsql_money_sum", 1,
                                       SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC,
                                       nullptr, step, value, value, inverse, nullptr) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register tsql_money_sum: %1")
                                        .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace estaciones::db::tsql
