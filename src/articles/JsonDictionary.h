#pragma once

#include "platform/core/Variant.h"

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <utility>

namespace estaciones {

namespace errnum {
// The runtime's "This key is already associated with an element of this collection".
constexpr std::int32_t KeyAlreadyAssociated = 457;
} // namespace errnum

// A JSON object: values by text key, keys compared exactly (case counts),
// insertion order kept.
class JsonDictionary : public VariantObject {
public:
    QString typeName() const override { return QStringLiteral("Dictionary"); }

    // Throws Error 457 when the key is already there; the dictionary is unchanged.
    void Add(const QString& key, Variant value);
    bool Exists(const QString& key) const { return indexOf(key) >= 0; }
    // The value of `key`, or Empty when there is none (nothing is added).
    Variant Item(const QString& key) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(m_entries.size()); }
    QList<QString> Keys() const;

    const QList<std::pair<QString, Variant>>& entries() const { return m_entries; }

private:
    // Most objects have a handful of members: they are searched in order, and
    // only larger ones get a hash index (a hash per small object costs more
    // than it saves).
    static constexpr qsizetype IndexFrom = 16;
    qsizetype indexOf(const QString& key) const;

    QList<std::pair<QString, Variant>> m_entries;
    QHash<QString, qsizetype> m_index; // filled once there are IndexFrom entries
};

} // namespace estaciones
