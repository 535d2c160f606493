#include "platform/db/embedded/execute/ScalarFunctionCall.h"

#include "platform/db/embedded/errors/FunctionError.h"
#include "platform/db/embedded/errors/SqlServerErrors.h"
#include "platform/db/embedded/execute/ErrorHandling.h"
#include "platform/db/embedded/execute/UserFunctionCalls.h"
#include "platform/db/embedded/storage/StoredValues.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

void failCall(sqlite3_context* context, Session& session, std::vector<ProviderError> records,
              QString procedure) {
    const ProviderError& first = records.front();
    const QByteArray message =
        tsql::functionErrorMessage(first.nativeError, first.description).toUtf8();
    session.functionFailure = {std::move(records), std::move(procedure)};
    sqlite3_result_error(context, message.constData(), static_cast<int>(message.size()));
}

void callScalarFunction(sqlite3_context* context, int count, sqlite3_value** values) {
    Session& session = *static_cast<Session*>(sqlite3_user_data(context));
    const QString name =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(values[0])));
    try {
        if (!session.runScalarFunction) {
            // A statement prepared outside a batch (the SQLite shell's, a seed's).
            failWith(native::UnknownColumnOrFunction, {QStringLiteral("dbo"), name});
        }
        resultValue(context, session.runScalarFunction(name, count - 1, values + 1));
    } catch (const StatementFailure& failure) {
        failCall(context, session, failure.records(), failure.procedure());
    } catch (const ProviderFailure& failure) {
        failCall(context, session, failure.records(), name);
    } catch (const Error& error) {
        ProviderError record;
        record.severity = 16;
        record.description = error.description();
        failCall(context, session, {record}, name);
    }
}

} // namespace

void registerScalarFunctionCall(sqlite3* db, Session& session) {
    // Deterministic for SQLite, which then takes it in a computed column and
    // may call it once for constant arguments: the server too calls a
    // function as many times as its plan needs, not once per row written.
    if (sqlite3_create_function_v2(db, scalarFunctionCall, -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   &session, callScalarFunction, nullptr, nullptr,
                                   nullptr) != SQLITE_OK) {
        throw Error(errnum::E_FAIL, QStringLiteral("Cannot register %1: %2")
                                        .arg(QLatin1String(scalarFunctionCall),
                                             QString::fromUtf8(sqlite3_errmsg(db))));
    }
}

} // namespace estaciones::db::sqlite
