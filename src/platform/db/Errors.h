#pragma once

#include "platform/db/Engine.h"

#include <vector>

namespace estaciones::db {

// A connection's Errors collection, with ADO's rules: an operation that gets
// provider errors or warnings replaces the whole content; a successful
// operation leaves it as it was; only clear() empties it. Each item is a
// ProviderError (number, description, source, sqlState, nativeError).
class Errors {
public:
    int count() const { return static_cast<int>(m_items.size()); }
    // Throws Error 3265 (item not found) when `index` is outside 0..count()-1.
    const ProviderError& item(int index) const;
    const ProviderError& operator[](int index) const { return item(index); }
    void clear() { m_items.clear(); }
    bool isEmpty() const { return m_items.empty(); }

    std::vector<ProviderError>::const_iterator begin() const { return m_items.begin(); }
    std::vector<ProviderError>::const_iterator end() const { return m_items.end(); }

    // Used by the layer (and by tests): the content after an operation that
    // produced these records. An empty `records` leaves the collection as it is.
    void replace(std::vector<ProviderError> records);

private:
    std::vector<ProviderError> m_items;
};

} // namespace estaciones::db
