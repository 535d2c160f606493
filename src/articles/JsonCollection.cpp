#include "articles/JsonCollection.h"

#include "platform/core/Error.h"

namespace estaciones {

Variant JsonCollection::Item(std::int32_t index) const {
    if (index < 1 || index > Count())
        throw standardError(errnum::SubscriptOutOfRange, QStringLiteral("Collection"));
    return document().value(memberNode(static_cast<std::uint32_t>(index - 1)));
}

QList<Variant> JsonCollection::items() const {
    QList<Variant> values;
    values.reserve(Count());
    for (std::uint32_t i = 0; i < memberNodes(); ++i)
        values.append(document().value(memberNode(i)));
    return values;
}

} // namespace estaciones
