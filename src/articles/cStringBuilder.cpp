#include "articles/cStringBuilder.h"

#include "platform/core/Error.h"

#include <algorithm>
#include <limits>

namespace estaciones {

namespace {
const QString kSource = QStringLiteral("cStringBuilder");
constexpr std::int64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();

// Ranges are checked in 64 bits, so that index + count can neither wrap nor
// turn negative and let a copy run outside the buffer.
bool withinContent(std::int64_t index, std::int64_t count, std::int64_t used) {
    return index >= 0 && count >= 0 && index + count <= used;
}
} // namespace

void cStringBuilder::setChunkSize(std::int32_t characters) {
    if (characters <= 0)
        throw standardError(errnum::InvalidProcedureCall, kSource);
    if (std::int64_t{characters} * 2 > kMaxBytes)
        throw standardError(errnum::Overflow, kSource);
    m_chunkBytes = characters * 2;
}

QString cStringBuilder::toString() const {
    return m_used == 0 ? QString() : m_buffer.left(m_used);
}

void cStringBuilder::setTheString(const QString& text) {
    if (text.isEmpty()) {
        Clear();
        return;
    }
    ensureCapacity(text.size());
    std::copy(text.cbegin(), text.cend(), m_buffer.begin());
    m_used = static_cast<std::int32_t>(text.size());
}

void cStringBuilder::Clear() {
    m_buffer = QString();
    m_used = 0;
    m_capacity = 0;
}

void cStringBuilder::ensureCapacity(std::int64_t neededCharacters) {
    if (neededCharacters <= m_capacity)
        return;
    const std::int64_t chunk = ChunkSize();
    const std::int64_t chunks = (neededCharacters - m_capacity + chunk - 1) / chunk;
    const std::int64_t newCapacity = m_capacity + chunks * chunk;
    if (newCapacity * 2 > kMaxBytes)
        throw standardError(errnum::Overflow, kSource);
    // The chunks are the visible capacity; the memory underneath grows
    // geometrically, or a long text would be copied once per chunk.
    if (newCapacity > m_buffer.capacity())
        m_buffer.reserve(std::max<qsizetype>(newCapacity, m_buffer.capacity() * 2));
    m_buffer.resize(newCapacity, QLatin1Char(' '));
    m_capacity = static_cast<std::int32_t>(newCapacity);
}

void cStringBuilder::Append(QStringView text) {
    if (text.isEmpty())
        return;
    ensureCapacity(std::int64_t{m_used} + text.size());
    std::copy(text.begin(), text.end(), m_buffer.begin() + m_used);
    m_used += static_cast<std::int32_t>(text.size());
}

void cStringBuilder::AppendNL(QStringView text) {
    Append(text);
    Append(u"\r\n");
}

void cStringBuilder::Insert(std::int32_t index, QStringView text) {
    if (!withinContent(index, 0, m_used))
        throw standardError(errnum::SubscriptOutOfRange, kSource);
    if (text.isEmpty())
        return;
    // A view into our own buffer would be overwritten by the move below.
    const QString copy = text.toString();
    ensureCapacity(std::int64_t{m_used} + copy.size());
    QChar* data = m_buffer.data();
    std::copy_backward(data + index, data + m_used, data + m_used + copy.size());
    std::copy(copy.cbegin(), copy.cend(), data + index);
    m_used += static_cast<std::int32_t>(copy.size());
}

void cStringBuilder::Remove(std::int32_t index, std::int32_t count) {
    if (!withinContent(index, count, m_used))
        throw standardError(errnum::SubscriptOutOfRange, kSource);
    if (count == 0)
        return;
    QChar* data = m_buffer.data();
    std::copy(data + index + count, data + m_used, data + index);
    m_used -= count;
}

std::int32_t cStringBuilder::Find(QStringView toFind, std::int32_t startIndex,
                                  CompareMethod compare) const {
    const std::int64_t from = startIndex >= 1 ? startIndex - 1 : 0;
    if (from > m_used)
        return 0;
    const Qt::CaseSensitivity cs =
        compare == CompareMethod::Text ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // Searching the content alone gives the first match that ends inside it; a
    // match reaching into the padding is no match.
    const qsizetype found = QStringView(m_buffer).left(m_used).indexOf(toFind, from, cs);
    return found < 0 ? 0 : static_cast<std::int32_t>(found + 1);
}

void cStringBuilder::HeapMinimize() {
    const std::int32_t chunk = ChunkSize();
    std::int32_t capacity = m_capacity;
    while (capacity - m_used > chunk)
        capacity -= chunk;
    if (capacity == m_capacity)
        return;
    m_buffer.truncate(capacity);
    m_buffer.squeeze();
    m_capacity = capacity;
}

} // namespace estaciones
