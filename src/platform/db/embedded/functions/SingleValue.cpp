#include "platform/db/embedded/functions/SingleValue.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"

#include <sqlite3.h>

namespace estaciones::db::tsql {

namespace {

struct Single {
    sqlite3_value* value;
    bool seen;
};

void singleValueStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* single = static_cast<Single*>(sqlite3_aggregate_context(ctx, sizeof(Single)));
    if (!single)
        return sqlite3_result_error_nomem(ctx);
    if (single->seen) {
        const QByteArray message =
            functionErrorMessage(512, QStringLiteral("Subquery returned more than 1 value. This "
                                                     "is not permitted when the subquery follows "
                                                     "=, !=, <, <= , >, >= or when the subquery "
                                                     "is used as an expression."))
                .toUtf8();
        return sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
    }
    single->seen = true;
    single->value = sqlite3_value_dup(argv[0]);
}

void finish(sqlite3_context* ctx) {
    auto* single = static_cast<Single*>(sqlite3_aggregate_context(ctx, 0));
    if (!single || !single->seen)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, single->value);
    sqlite3_value_free(single->value);
}

} // namespace

void registerSingleValue(sqlite3* db) {
    if (sqlite3_create_function_v2(db, "tsql_single_value", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                   nullptr, nullptr, singleValueStep, finish, nullptr) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register tsql_single_value: %1")
                                        .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace estaciones::db::tsql
