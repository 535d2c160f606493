#pragma once

#include <QString>

#include <memory>
#include <optional>

struct sqlite3_stmt;

namespace estaciones::db::sqlite {

class QueryTyping;

// The declaration an expression column (MIN(x), Precio * 2, a view's
// computed column) inherits from what it is computed from, as SQL Server
// types it; see QueryTyping.
class InheritedDeclarations {
public:
    explicit InheritedDeclarations(sqlite3_stmt* statement);
    ~InheritedDeclarations();
    InheritedDeclarations(const InheritedDeclarations&) = delete;
    InheritedDeclarations& operator=(const InheritedDeclarations&) = delete;

    // The declaration result column `index` inherits, when it can be told
    // for certain; nothing otherwise (the column is typed from its values).
    std::optional<QString> of(int index);
    // Whether result column `index` is an expression without an alias, which
    // the server names ''.
    bool isUnnamed(int index);

private:
    QueryTyping& typing();
    sqlite3_stmt* m_statement;
    std::unique_ptr<QueryTyping> m_typing;
};

} // namespace estaciones::db::sqlite
