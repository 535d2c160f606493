#include "platform/db/embedded/functions/FunctionRegistration.h"

#include "platform/db/embedded/storage/SqlValue.h"

#include "platform/core/Error.h"
#include "platform/db/embedded/errors/FunctionError.h"

#include <sqlite3.h>

namespace estaciones::db::tsql {

void resultConversionError(sqlite3_context* ctx, const ConversionError& error) {
    const QByteArray message =
        functionErrorMessage(error.nativeNumber(), QString::fromStdString(error.what())).toUtf8();
    sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
}

void reportFailure(sqlite3_context* ctx, FunctionBody body, int argc, sqlite3_value** argv) {
    try {
        body(ctx, argc, argv);
    } catch (const ServerFailure& failure) {
        QString text = functionErrorMessage(failure.number, QString::fromStdString(failure.what()));
        for (const FunctionError& next : failure.followedBy)
            text += QLatin1Char('\n') + functionErrorMessage(next.nativeNumber, next.text);
        const QByteArray message = text.toUtf8();
        sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
    } catch (const ConversionError& e) {
        // A conversion inside the body fails with the server's number too.
        resultConversionError(ctx, e);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

void registerOne(sqlite3* db, const FunctionRegistration& function, int flags, void* userData,
                 void (*release)(void*)) {
    if (sqlite3_create_function_v2(db, function.name, function.arguments, SQLITE_UTF8 | flags,
                                   userData, function.function, nullptr, nullptr,
                                   release) != SQLITE_OK)
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register %1: %2")
                                        .arg(QString::fromUtf8(function.name),
                                             QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace estaciones::db::tsql
