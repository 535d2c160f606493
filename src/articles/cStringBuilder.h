#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace estaciones {

// How Find compares: as the runtime's vbBinaryCompare / vbTextCompare.
enum class CompareMethod { Binary = 0, Text = 1 };

// Accumulates text without re-allocating on every append: a pre-sized buffer
// that grows in whole chunks. Every length and index is in UTF-16 characters.
// Bad ranges throw Error 9 (subscript out of range) and leave the content as it was.
class cStringBuilder {
public:
    static constexpr std::int32_t DefaultChunkSize = 8192;

    std::int32_t Length() const { return m_used; }
    std::int32_t Capacity() const { return m_capacity; }

    std::int32_t ChunkSize() const { return m_chunkBytes / 2; }
    // Kept in bytes in a 32-bit count: a value whose byte count does not fit
    // throws Error 6 (overflow); zero or negative throws Error 5, since a chunk
    // of nothing could never make room.
    void setChunkSize(std::int32_t characters);

    QString toString() const;
    // Replaces the content; "" releases the buffer.
    void setTheString(const QString& text);
    void Clear();

    void Append(QStringView text);
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

    QString m_buffer; // m_capacity characters: the content, then padding
    std::int32_t m_used = 0;
    std::int32_t m_capacity = 0;
    std::int32_t m_chunkBytes = DefaultChunkSize * 2;
};

} // namespace estaciones
