#pragma once

#include "platform/db/sqlite/dialect/Pieces.h"

#include <QString>

#include <optional>

struct sqlite3_stmt;

namespace estaciones::db::sqlite {

// SQL Server gives MIN, MAX, SUM and AVG of a column, and ISNULL(column, x),
// the column's own type (the MIN of a money column is money), where SQLite
// declares no type for any expression. This finds the declaration such a
// result column inherits from the column it is computed from.
class InheritedDeclarations {
public:
    explicit InheritedDeclarations(sqlite3_stmt* statement);

    // The declaration result column `index` inherits, when it is one of those
    // functions over a plain column (nested ones too: ISNULL(SUM(x), 0)).
    std::optional<QString> of(int index);

private:
    void parse();

    sqlite3_stmt* m_statement;
    bool m_parsed = false;
    tsql::Pieces m_pieces;
    // The select list's items, one per result column, or empty when they
    // cannot be matched to the columns (SELECT *, ...).
    std::vector<std::pair<size_t, size_t>> m_items;
};

} // namespace estaciones::db::sqlite
