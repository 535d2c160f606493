#include "articles/JsonDocument.h"

#include "articles/JsonCollection.h"
#include "articles/JsonDictionary.h"

#include <algorithm>

namespace estaciones {

namespace {
// The arrays of the last document this thread let go. A large answer's nodes
// would otherwise land on fresh pages every parse (the allocator gives big
// blocks back to the system), and touching a fresh page costs more than
// filling it. At most this many bytes are kept.
constexpr std::size_t kKeptBytesAtMost = std::size_t{64} << 20;
constexpr std::size_t kReservedNodesAtMost = (std::size_t{64} << 20) / sizeof(JsonDocument::Node);
thread_local JsonDocument::Storage* spareStorage = nullptr;
// Set once the thread's spare has been freed: documents that die later free their own.
thread_local bool threadEnding = false;
struct SpareStorageOwner {
    ~SpareStorageOwner() {
        delete spareStorage;
        spareStorage = nullptr;
        threadEnding = true;
    }
};
thread_local SpareStorageOwner spareStorageOwner;

std::size_t bytesOf(const JsonDocument::Storage& storage) {
    return storage.nodes.capacity() * sizeof(JsonDocument::Node) +
           storage.texts.capacity() * sizeof(char16_t);
}
} // namespace

JsonDocument::JsonDocument(const QString& source) : m_source(source) {
    if (spareStorage) {
        m_storage = std::move(*spareStorage);
        delete spareStorage;
        spareStorage = nullptr;
        m_storage.nodes.clear();
        m_storage.texts.clear();
    }
    m_storage.texts.reserve(static_cast<std::size_t>(source.size()));
    // Room for the nodes a text of this length usually makes (answers run at
    // 5 to 15 characters a node), so that they are not copied as they grow;
    // only the pages written are ever touched.
    m_storage.nodes.reserve(std::min<std::size_t>(static_cast<std::size_t>(source.size()) / 4,
                                                  kReservedNodesAtMost));
}

JsonDocument::~JsonDocument() {
    if (threadEnding || bytesOf(m_storage) > kKeptBytesAtMost)
        return;
    if (spareStorage && bytesOf(*spareStorage) >= bytesOf(m_storage))
        return;
    (void)&spareStorageOwner; // its destructor frees the spare when the thread ends
    delete spareStorage;
    spareStorage = new Storage(std::move(m_storage));
}

Variant JsonDocument::value(Index index) const {
    const Node& n = m_storage.nodes[index];
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
