#pragma once

#include "articles/JsonDocument.h"
#include "platform/core/Variant.h"

#include <cstdint>
#include <memory>

namespace estaciones {

// A view of one object or array node of a parsed document; the document stays
// alive as long as a view of it does.
class JsonContainer : public VariantObject {
public:
    JsonContainer(std::shared_ptr<const JsonDocument> document, JsonDocument::Index node)
        : m_document(std::move(document)), m_first(static_cast<JsonDocument::Index>(
                                               m_document->node(node).first)),
          m_size(m_document->node(node).size) {}

protected:
    // The i-th (0-based) node among the container's member nodes.
    JsonDocument::Index memberNode(std::uint32_t i) const { return m_first + i; }
    std::uint32_t memberNodes() const { return m_size; }
    const JsonDocument& document() const { return *m_document; }

private:
    std::shared_ptr<const JsonDocument> m_document;
    JsonDocument::Index m_first;
    std::uint32_t m_size;
};

} // namespace estaciones
