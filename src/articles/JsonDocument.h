#pragma once

#include "articles/cStringBuilder.h"
#include "platform/core/Decimal.h"
#include "platform/core/Variant.h"

#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace estaciones {

// What one parse of a JSON text builds, kept compact: every value is a
// 16-byte node in one array, every decoded text lies in one string builder,
// and the members of a container are consecutive nodes (an object's as key,
// value pairs). Values become Variants only when a caller asks for them, so a
// large answer costs a few allocations, not some per value.
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
        // Characters of a text; nodes of a container (twice the members of an object).
        std::uint32_t size = 0;
        union {
            std::int64_t integer = 0;
            double real;
            // Where a text starts in the texts, a container's first member
            // node, a decimal's place among the decimals.
            std::uint64_t first;
        };
    };
    static_assert(sizeof(Node) == 16);

    using Index = std::uint32_t;

    const Node& node(Index index) const { return m_nodes[index]; }
    // The characters of a text node, valid while the document lives.
    QStringView text(const Node& node) const {
        return m_texts.view().sliced(static_cast<qsizetype>(node.first), node.size);
    }
    // A copy of the value of node `index`; containers come back as views that
    // keep this document alive.
    Variant value(Index index) const;

    // The building side, for the reader.
    cStringBuilder& texts() { return m_texts; }
    std::vector<Node>& nodes() { return m_nodes; }
    Index addDecimal(const Decimal& value);

private:
    std::vector<Node> m_nodes;
    std::vector<Decimal> m_decimals;
    cStringBuilder m_texts;
};

} // namespace estaciones
