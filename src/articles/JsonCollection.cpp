#include "articles/JsonCollection.h"

#include "platform/core/Error.h"

namespace estaciones {

const Variant& JsonCollection::Item(std::int32_t index) const {
    if (index < 1 || index > m_items.size())
        throw standardError(errnum::SubscriptOutOfRange, QStringLiteral("Collection"));
    return m_items.at(index - 1);
}

} // namespace estaciones
