#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <climits>
#include <cstring>
#include <memory>

namespace estaciones {

// How Find compares: as the runtime's vbBinaryCompare / vbTextCompare.
enum class CompareMethod { Binary = 0, Text = 1 };

// Accumulates text without re-allocating on every append: a pre-sized buffer
// that grows in whole chunks. Every length and index is in UTF-16 characters.
// Bad ranges throw Error 9 (subscript out of range) and leave the content as it was.
class cStringBuilder {
public:
    static constexpr std::int32_t DefaultChunkSize = 8192;
    // Lengths are kept in bytes in a 32-bit count.
    static constexpr std::int32_t MaxCharacters = INT32_MAX / 2;

    std::int32_t Length() const { return m_used; }
    std::int32_t Capacity() const { return m_capacity; }

    std::int32_t ChunkSize() const { return m_chunkBytes / 2; }
    // Kept in bytes in a 32-bit count: a value whose byte count does not fit
    // throws Error 6 (overflow); zero or negative throws Error 5, since a chunk
    // of nothing could never make room.
    void setChunkSize(std::int32_t characters);

    // A copy of the content; view() is the content itself, valid until the next change.
    QString toString() const;
    QStringView view() const { return QStringView(m_data.get(), m_used); }
    // Replaces the content; "" releases the buffer.
    void setTheString(const QString& text);
    void Clear();

    void Append(QStringView text) {
        // Inline: appends are the builder's hot path, and most fit the capacity.
        const qsizetype n = text.size();
        if (n > m_capacity - m_used) {
            appendGrowing(text);
            return;
        }
        if (n > 0)
            std::memcpy(m_data.get() + m_used, text.utf16(), static_cast<std::size_t>(n) * 2);
        m_used += static_cast<std::int32_t>(n);
    }
    void Append(QChar character) { Append(QStringView(&character, 1)); }
    void AppendByVal(QString text) { Append(QStringView(text)); }
    // The text, then carriage return + line feed.
    void AppendNL(QStringView text);

    // Inserts before 0-based position `index`; index == Length() appends.
    void Insert(std::int32_t index, QStringView text);
    void InsertByVal(std::int32_t index, QString text) { Insert(index, QStringView(text)); }
    // Deletes `count` characters from 0-based position `index`.
    void Remove(std::int32_t index, std::int32_t count);

    // 1-based position of `toFind` from `startIndex` (the start when below 1), or
    // 0. Only matches that lie wholly inside the content count.
    std::int32_t Find(QStringView toFind, std::int32_t startIndex = 1,
                      CompareMethod compare = CompareMethod::Binary) const;

    // Gives back whole chunks of slack, keeping at most one.
    void HeapMinimize();

private:
    void ensureCapacity(std::int64_t neededCharacters);
    void appendGrowing(QStringView text);
    void reallocate(std::int32_t characters);

    // m_allocated characters, the first m_used of them the content; nothing
    // after the content is ever read, so growth leaves it unfilled.
    std::unique_ptr<char16_t[]> m_data;
    std::int32_t m_allocated = 0;
    std::int32_t m_used = 0;
    // The capacity callers see, in whole chunks; the memory underneath may
    // be larger, since it grows geometrically.
    std::int32_t m_capacity = 0;
    std::int32_t m_chunkBytes = DefaultChunkSize * 2;
};

} // namespace estaciones
