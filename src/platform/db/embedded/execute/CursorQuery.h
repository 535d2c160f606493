#pragma once

#include "platform/core/Variant.h"
#include "platform/db/embedded/parse/Token.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace estaciones::db::sqlite {

// A cursor's query over base tables, read so that each row can be found
// again by its tables' row ids: a keyset or dynamic cursor keeps the ids at
// OPEN and reads the row's current values at each FETCH. A query that
// groups, is DISTINCT, aggregates, joins a derived table or a view, or
// combines queries has no such ids: the server makes those cursors static.
class KeyedQuery {
public:
    // nullopt when the query has no keys; `isBaseTable` tells a table (a
    // temporary table or table variable included) from a view.
    static std::optional<KeyedQuery> read(const tsql::Tokens& query,
                                          const std::function<bool(const QString&)>& isBaseTable);

    // The query with each table's row id first, one column per table.
    QString withKeys() const { return m_withKeys; }
    std::size_t keyCount() const { return m_qualifiers.size(); }
    // The row of `keys` again: its text, with '?' for the keys that are not
    // null, and the values to bind. `qualifying` keeps the query's own WHERE,
    // so that a row that no longer qualifies is not found (dynamic cursors).
    std::pair<QString, std::vector<Variant>> reread(const std::vector<Variant>& keys,
                                                    bool qualifying) const;
    // The position of `table` among the keys; nullopt when the query does not read it.
    std::optional<std::size_t> keyOf(const QString& table) const;
    // The tables, as the query names them.
    const std::vector<QString>& tables() const { return m_tables; }

private:
    std::vector<QString> m_tables;     // as the query names them, without schema
    std::vector<QString> m_qualifiers; // alias or name each table is reached by
    QString m_withKeys;
    QString m_items;
    QString m_from;
    QString m_where;
};

// The row id column of every base table, as queries name it.
inline constexpr const char* rowIdColumn = "_rowid_";

// Where `WHERE CURRENT OF [GLOBAL] name` starts in an UPDATE or DELETE
// (the index of CURRENT); tokens.size() when it has none.
std::size_t currentOfStart(const tsql::Tokens& tokens);

} // namespace estaciones::db::sqlite
