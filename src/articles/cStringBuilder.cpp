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
    return m_used == 0 ? QString() : view().toString();
}

void cStringBuilder::setTheString(const QString& text) {
    if (text.isEmpty()) {
        Clear();
        return;
    }
    m_used = 0;
    ensureCapacity(text.size());
    std::copy(text.utf16(), text.utf16() + text.size(), m_data.get());
    m_used = static_cast<std::int32_t>(text.size());
}

void cStringBuilder::Clear() {
    m_data.reset();
    m_allocated = 0;
    m_used = 0;
    m_capacity = 0;
}

void cStringBuilder::reallocate(std::int32_t characters) {
    auto data = std::make_unique_for_overwrite<char16_t[]>(static_cast<std::size_t>(characters));
    std::copy(m_data.get(), m_data.get() + m_used, data.get());
    m_data = std::move(data);
    m_allocated = characters;
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
    if (newCapacity > m_allocated)
        reallocate(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{m_allocated} * 2, newCapacity, kMaxBytes / 2)));
    m_capacity = static_cast<std::int32_t>(newCapacity);
}

void cStringBuilder::appendGrowing(QStringView text) {
    // A view of our own content would move with the buffer.
    const bool ownContent =
        text.utf16() >= m_data.get() && text.utf16() < m_data.get() + m_allocated;
    const QString copy = ownContent ? text.toString() : QString();
    const QStringView source = ownContent ? QStringView(copy) : text;
    ensureCapacity(std::int64_t{m_used} + source.size());
    std::copy(source.utf16(), source.utf16() + source.size(), m_data.get() + m_used);
    m_used += static_cast<std::int32_t>(source.size());
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
    char16_t* data = m_data.get();
    std::copy_backward(data + index, data + m_used, data + m_used + copy.size());
    std::copy(copy.utf16(), copy.utf16() + copy.size(), data + index);
    m_used += static_cast<std::int32_t>(copy.size());
}

void cStringBuilder::Remove(std::int32_t index, std::int32_t count) {
    if (!withinContent(index, count, m_used))
        throw standardError(errnum::SubscriptOutOfRange, kSource);
    if (count == 0)
        return;
    char16_t* data = m_data.get();
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
    // Only the content is searched: a match never reaches past it.
    const qsizetype found = view().indexOf(toFind, from, cs);
    return found < 0 ? 0 : static_cast<std::int32_t>(found + 1);
}

void cStringBuilder::HeapMinimize() {
    const std::int32_t chunk = ChunkSize();
    std::int32_t capacity = m_capacity;
    while (capacity - m_used > chunk)
        capacity -= chunk;
    if (capacity == m_capacity)
        return;
    reallocate(capacity);
    m_capacity = capacity;
}

} // namespace estaciones
