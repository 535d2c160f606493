#pragma once

#include <QHash>

#include <cstddef>
#include <list>
#include <optional>
#include <utility>

namespace estaciones::db::sqlite {

// A bounded map that forgets the entry used longest ago when it is full.
// Values may be move-only; take() removes an entry so that a caller can use
// it while a nested caller of the same key prepares its own.
template <typename Key, typename Value> class LruCache {
public:
    explicit LruCache(std::size_t capacity) : m_capacity(capacity) {}

    // The entry, now the most recently used; nullptr when absent.
    Value* find(const Key& key) {
        const auto it = m_index.find(key);
        if (it == m_index.end()) {
            return nullptr;
        }
        m_entries.splice(m_entries.begin(), m_entries, *it);
        return &(*it)->second;
    }

    std::optional<Value> take(const Key& key) {
        const auto it = m_index.find(key);
        if (it == m_index.end()) {
            return std::nullopt;
        }
        std::optional<Value> value(std::move((*it)->second));
        m_entries.erase(*it);
        m_index.erase(it);
        return value;
    }

    // Replaces an entry of the same key.
    void put(const Key& key, Value value) {
        if (const auto it = m_index.find(key); it != m_index.end()) {
            m_entries.erase(*it);
            m_index.erase(it);
        }
        m_entries.emplace_front(key, std::move(value));
        m_index.insert(key, m_entries.begin());
        if (m_entries.size() > m_capacity) {
            m_index.remove(m_entries.back().first);
            m_entries.pop_back();
        }
    }

    void clear() {
        m_index.clear();
        m_entries.clear();
    }

    std::size_t size() const { return m_entries.size(); }

private:
    using Entries = std::list<std::pair<Key, Value>>;
    std::size_t m_capacity;
    Entries m_entries; // most recently used first
    QHash<Key, typename Entries::iterator> m_index;
};

} // namespace estaciones::db::sqlite
