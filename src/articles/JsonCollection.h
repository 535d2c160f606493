#pragma once

#include "articles/JsonContainer.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace estaciones {

// A JSON array: values in document order, numbered from 1 as the runtime's
// Collection numbers them.
class JsonCollection : public JsonContainer {
public:
    using JsonContainer::JsonContainer;

    QString typeName() const override { return QStringLiteral("Collection"); }

    std::int32_t Count() const { return static_cast<std::int32_t>(memberNodes()); }
    // 1-based; throws Error 9 (subscript out of range) outside 1..Count().
    Variant Item(std::int32_t index) const;

    QList<Variant> items() const;
};

} // namespace estaciones
