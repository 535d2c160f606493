#include "platform/db/Errors.h"

namespace estaciones::db {

const ProviderError& Errors::item(int index) const {
    if (index < 0 || index >= count()) {
        throw standardError(errnum::ItemNotFound, QStringLiteral("ADODB.Errors"));
    }
    return m_items[static_cast<size_t>(index)];
}

void Errors::replace(std::vector<ProviderError> records) {
    if (!records.empty()) {
        m_items = std::move(records);
    }
}

} // namespace estaciones::db
