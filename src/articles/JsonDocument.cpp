#include "articles/JsonDocument.h"

#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"

namespace estaciones {

Variant JsonDocument::value(Index index) const {
    const Node& n = m_nodes[index];
    switch (n.kind) {
    case Kind::Empty:
        return Variant();
    case Kind::Null:
        return Variant::null();
    case Kind::False:
        return false;
    case Kind::True:
        return true;
    case Kind::Integer:
        return Variant(static_cast<long long>(n.integer));
    case Kind::Double:
        return n.real;
    case Kind::Decimal:
        return m_decimals[n.first];
    case Kind::Text:
        return text(n).toString();
    case Kind::Object:
        return Variant(std::shared_ptr<VariantObject>(
            std::make_shared<JsonDictionary>(shared_from_this(), index)));
    case Kind::Array:
        return Variant(std::shared_ptr<VariantObject>(
            std::make_shared<JsonCollection>(shared_from_this(), index)));
    }
    return Variant();
}

JsonDocument::Index JsonDocument::addDecimal(const Decimal& value) {
    m_decimals.push_back(value);
    return static_cast<Index>(m_decimals.size() - 1);
}

} // namespace estaciones
