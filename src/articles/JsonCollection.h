#pragma once

#include "platform/core/Variant.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace estaciones {

// A JSON array: values in insertion order, numbered from 1 as the runtime's
// Collection numbers them.
class JsonCollection : public VariantObject {
public:
    QString typeName() const override { return QStringLiteral("Collection"); }

    void Add(Variant value) { m_items.append(std::move(value)); }
    std::int32_t Count() const { return static_cast<std::int32_t>(m_items.size()); }
    // 1-based; throws Error 9 (subscript out of range) outside 1..Count().
    const Variant& Item(std::int32_t index) const;

    const QList<Variant>& items() const { return m_items; }

private:
    QList<Variant> m_items;
};

} // namespace estaciones
