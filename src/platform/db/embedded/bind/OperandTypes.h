#pragma once

#include "platform/db/embedded/bind/QueryScopes.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

struct sqlite3;

namespace estaciones::db::sqlite {

class QueryTyping;

// A column's or table's name: a name-like piece that is no reserved word.
bool isPlainName(const tsql::Piece& p);

// What an operand of a comparison is, as far as text meeting money or
// decimal and binary meeting a whole number go: which of the two sides
// converts to the other's type.
struct OperandType {
    enum class Kind { Unknown, Text, Exact, Whole, Binary, Other };
    Kind kind = Kind::Unknown;
    // Of an Exact or Whole operand: "money", "decimal(10,2)", "int", "bigint".
    QString exactType;
    // A column of a UNION (EXCEPT, INTERSECT) in a derived table, a common
    // table expression or a view: its text rows are converted to the
    // column's type only when the outer query reads them.
    bool unconvertedRows = false;

    // From a column's or an expression's declaration ("money blob",
    // "varchar(10)", "datetime text"); Unknown without one.
    static OperandType ofDeclaration(const std::optional<QString>& declaration);
};

// The types of the operands of one SQLite statement's comparisons. A
// column is looked for in its query block's tables, then in the blocks
// around it; a derived table's, a common table expression's and a view's
// columns take the types of their queries' select lists (by precedence in a
// UNION). Each derived table, common table expression and view is typed
// once a statement.
class OperandTypes {
public:
    OperandTypes(sqlite3* db, const tsql::Pieces& pieces, const QueryScopes& scopes);
    ~OperandTypes();
    OperandTypes(const OperandTypes&) = delete;
    OperandTypes& operator=(const OperandTypes&) = delete;

    // The type of pieces [from, to] told without preparing a query for the
    // expression: literals, parameters, columns, conversions and the exact
    // operations' calls, which name their type. Unknown for the rest.
    OperandType known(size_t from, size_t to);
    // The expression typed as a select list over its block's tables types it
    // (CASE, COALESCE, ISNULL, arithmetic).
    OperandType typed(size_t from, size_t to);

private:
    OperandType knownNow(size_t from, size_t to);
    OperandType typedNow(size_t from, size_t to);
    struct Column {
        bool found = false;
        std::optional<QString> declaration;
        bool compound = false; // of a UNION, EXCEPT or INTERSECT
    };
    // The query a derived table, a common table expression or a view is made of.
    struct NamedQuery {
        std::unique_ptr<QueryTyping> typing; // none for a view that is not there
        QStringList columns;                 // its column list, when it has one
        bool compound = false;               // a UNION, EXCEPT or INTERSECT
    };
    OperandType ofColumn(size_t scope, const QString& qualifier, const QString& column);
    Column columnIn(const QuerySource& source, size_t scope, const QString& column);
    // Column `column` of the query under `key`, made by `make` the first time.
    Column ofQueryColumn(const QString& key, const std::function<NamedQuery()>& make,
                         const QString& column);
    NamedQuery viewQuery(const QuerySource& source) const;

    sqlite3* m_db;
    const tsql::Pieces& m_pieces;
    const QueryScopes& m_scopes;
    // The queries of derived tables, common table expressions and views, by
    // source, and their columns' types as they are asked for.
    std::map<QString, NamedQuery> m_queries;
    std::map<std::pair<QString, QString>, Column> m_queryColumns;
    // Each operand once: x IN (a, b, ...) asks for x's type with every item.
    std::map<std::pair<size_t, size_t>, OperandType> m_known;
    std::map<std::pair<size_t, size_t>, OperandType> m_typed;
};

} // namespace estaciones::db::sqlite
