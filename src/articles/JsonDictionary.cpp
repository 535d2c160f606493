#include "articles/JsonDictionary.h"

#include "platform/core/Error.h"

namespace estaciones {

qsizetype JsonDictionary::indexOf(const QString& key) const {
    if (m_entries.size() >= IndexFrom)
        return m_index.value(key, -1);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first == key)
            return i;
    }
    return -1;
}

void JsonDictionary::Add(const QString& key, Variant value) {
    if (indexOf(key) >= 0)
        throw Error(errnum::KeyAlreadyAssociated,
                    QStringLiteral("This key is already associated with an element of this "
                                   "collection"),
                    QStringLiteral("Dictionary"));
    m_entries.emplace_back(key, std::move(value));
    if (m_entries.size() == IndexFrom) {
        for (qsizetype i = 0; i < m_entries.size(); ++i)
            m_index.insert(m_entries[i].first, i);
    } else if (m_entries.size() > IndexFrom) {
        m_index.insert(key, m_entries.size() - 1);
    }
}

Variant JsonDictionary::Item(const QString& key) const {
    const qsizetype i = indexOf(key);
    return i < 0 ? Variant() : m_entries.at(i).second;
}

QList<QString> JsonDictionary::Keys() const {
    QList<QString> keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

} // namespace estaciones
