#include "platform/db/embedded/bind/InheritedDeclarations.h"

#include "platform/db/embedded/bind/QueryTyping.h"

namespace estaciones::db::sqlite {

InheritedDeclarations::InheritedDeclarations(sqlite3_stmt* statement) : m_statement(statement) {}

InheritedDeclarations::~InheritedDeclarations() = default;

QueryTyping& InheritedDeclarations::typing() {
    if (!m_typing) {
        m_typing = std::make_unique<QueryTyping>(m_statement);
    }
    return *m_typing;
}

std::optional<QString> InheritedDeclarations::of(int index) {
    return typing().declarationOf(index);
}

bool InheritedDeclarations::isUnnamed(int index) {
    return typing().isUnnamed(index);
}

} // namespace estaciones::db::sqlite
