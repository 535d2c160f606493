#pragma once

#include "platform/core/Decimal.h"
#include "platform/core/Variant.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace estaciones {

// What one parse of a JSON text builds, kept compact: every value is a
// 16-byte node in one array, and the members of a container are consecutive
// nodes (an object's as key, value pairs). A text written without escapes is
// a slice of the parsed text itself, which the document shares; only texts
// that had to be decoded are copied, side by side in one buffer. Values become
// Variants only when a caller asks for them, so a large answer costs a few
// allocations, not some per value.
class JsonDocument : public std::enable_shared_from_this<JsonDocument> {
public:
    enum class Kind : std::uint8_t {
        Empty,
        Null,
        False,
        True,
        Integer,
        Double,
        Decimal,
        Text,
        Object,
        Array
    };

    struct Node {
        Kind kind = Kind::Empty;
        // A text node's characters are in the parsed text, not in the decoded texts.
        bool inSource = false;
        // Characters of a text; nodes of a container (twice the members of an object).
        std::uint32_t size = 0;
        union {
            std::int64_t integer = 0;
            double real;
            // Where a text starts in the parsed or the decoded texts, a
            // container's first member node, a decimal's place among the decimals.
            std::uint64_t first;
        };
    };
    static_assert(sizeof(Node) == 16);

    using Index = std::uint32_t;

    // `source` is the text being parsed: shared, not copied. Its length bounds
    // the decoded texts, which are given room for it at once so that they
    // never move (the reader keeps views of them).
    explicit JsonDocument(const QString& source);
    ~JsonDocument();
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    const Node& node(Index index) const { return m_storage.nodes[index]; }
    // The characters of a text node, valid while the document lives.
    QStringView text(const Node& node) const {
        return (node.inSource ? QStringView(m_source) : decoded())
            .sliced(static_cast<qsizetype>(node.first), node.size);
    }
    // A copy of the value of node `index`; containers come back as views that
    // keep this document alive.
    Variant value(Index index) const;

    // The building side, for the reader.
    std::vector<Node>& nodes() { return m_storage.nodes; }
    QStringView decoded() const {
        return QStringView(m_storage.texts.data(), static_cast<qsizetype>(m_storage.texts.size()));
    }
    void appendDecoded(QStringView text) {
        m_storage.texts.insert(m_storage.texts.end(), text.utf16(), text.utf16() + text.size());
    }
    Index addDecimal(const Decimal& value);

    // What a document's arrays take; the last one a thread let go is kept
    // for its next parse (see JsonDocument.cpp).
    struct Storage {
        std::vector<Node> nodes;
        std::vector<char16_t> texts;
    };

private:
    QString m_source;
    Storage m_storage;
    std::vector<Decimal> m_decimals;
};

} // namespace estaciones
