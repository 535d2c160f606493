#include "platform/db/Engine.h"

namespace estaciones::db {

namespace {
Error firstRecordAsError(const std::vector<ProviderError>& records) {
    if (records.empty()) {
        return standardError(errnum::E_FAIL);
    }
    const ProviderError& first = records.front();
    Error error(first.number, first.description, first.source);
    error.withSqlState(first.sqlState, first.nativeError);
    return error;
}
} // namespace

ProviderFailure::ProviderFailure(std::vector<ProviderError> records)
    : Error(firstRecordAsError(records)), m_records(std::move(records)) {}

} // namespace estaciones::db
