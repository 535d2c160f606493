#include "articles/JsonDictionary.h"

namespace estaciones {

QStringView JsonDictionary::key(std::uint32_t member) const {
    return document().text(document().node(memberNode(2 * member)));
}

std::int64_t JsonDictionary::find(QStringView wanted) const {
    const auto members = static_cast<std::uint32_t>(Count());
    if (members < IndexFrom) {
        for (std::uint32_t i = 0; i < members; ++i) {
            if (key(i) == wanted)
                return i;
        }
        return -1;
    }
    std::call_once(m_indexed, [&] {
        m_index.reserve(members);
        for (std::uint32_t i = 0; i < members; ++i)
            m_index.insert(key(i), i);
    });
    const auto found = m_index.constFind(wanted);
    return found == m_index.cend() ? -1 : std::int64_t{*found};
}

Variant JsonDictionary::Item(QStringView wanted) const {
    const std::int64_t i = find(wanted);
    return i < 0 ? Variant() : document().value(memberNode(2 * static_cast<std::uint32_t>(i) + 1));
}

QList<QString> JsonDictionary::Keys() const {
    QList<QString> keys;
    keys.reserve(Count());
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(Count()); ++i)
        keys.append(key(i).toString());
    return keys;
}

QList<std::pair<QString, Variant>> JsonDictionary::entries() const {
    QList<std::pair<QString, Variant>> result;
    result.reserve(Count());
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(Count()); ++i)
        result.emplace_back(key(i).toString(), document().value(memberNode(2 * i + 1)));
    return result;
}

} // namespace estaciones
