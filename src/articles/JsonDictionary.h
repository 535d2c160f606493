#pragma once

#include "articles/JsonContainer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <mutex>
#include <utility>

namespace estaciones {

namespace errnum {
// The runtime's "This key is already associated with an element of this collection".
constexpr std::int32_t KeyAlreadyAssociated = 457;
} // namespace errnum

// A JSON object: values by text key, keys compared exactly (case counts),
// document order kept. The reader refuses repeated keys, so each is there once.
class JsonDictionary : public JsonContainer {
public:
    // Objects with fewer members are searched in order; larger ones get a hash
    // index on their first lookup (a hash per small object costs more than it saves).
    static constexpr std::uint32_t IndexFrom = 16;

    using JsonContainer::JsonContainer;

    QString typeName() const override { return QStringLiteral("Dictionary"); }

    bool Exists(QStringView key) const { return find(key) >= 0; }
    // The value of `key`, or Empty when there is none.
    Variant Item(QStringView key) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(memberNodes() / 2); }
    QList<QString> Keys() const;

    QList<std::pair<QString, Variant>> entries() const;

private:
    QStringView key(std::uint32_t member) const;
    // The member holding `key`, or -1.
    std::int64_t find(QStringView key) const;

    mutable std::once_flag m_indexed;
    mutable QHash<QStringView, std::uint32_t> m_index;
};

} // namespace estaciones
