#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/execute/CursorQuery.h"
#include "platform/db/embedded/execute/CursorSyntax.h"
#include "platform/db/embedded/parse/Token.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace estaciones::db::sqlite {

// Runs one of the cursor's queries: T-SQL with '?' bound to `values` in order.
using CursorQueryRunner =
    std::function<ResultSet(const QString& query, const std::vector<Variant>& values)>;

// What OPEN asks of the tables a cursor's query names.
struct CursorTables {
    // A table (a temporary table or table variable included), not a view.
    std::function<bool(const QString& table)> isBaseTable;
    // A primary key or a unique index: a keyset cursor needs one on every table.
    std::function<bool(const QString& table)> hasUniqueKey;
};

// One cursor: its definition, and once open its rows (a static copy or the
// row ids of a keyed query) and its position.
class Cursor {
public:
    // `query`: the SELECT with the variables' values of DECLARE put in.
    Cursor(QString name, CursorOptions options, tsql::Tokens query);

    const QString& name() const { return m_name; }
    const CursorOptions& options() const { return m_options; }
    bool isOpen() const { return m_open; }

    // 16905 when open already. The query's tables are looked at now (they
    // may be made after DECLARE); `database` is the one they are in.
    void open(const CursorQueryRunner& run, const CursorTables& tables, const QString& database);
    // The database whose rows an open keyset or dynamic cursor reads again
    // at FETCH; empty when it reads none (closed, or a copy).
    QString databaseReadAgain() const;
    // 16917 when not open.
    void close();

    struct Fetched {
        int status = -1; // @@FETCH_STATUS: 0, -1 beyond the rows, -2 missing
        std::optional<std::vector<Variant>> row;
    };
    // 16917 when not open; 16911 for a direction other than NEXT on a
    // forward-only cursor, 16925 for ABSOLUTE on a dynamic one.
    Fetched fetch(FetchDirection direction, long long offset, const CursorQueryRunner& run);
    const std::vector<ColumnInfo>& columns() const { return m_columns; }

    // @@CURSOR_ROWS for the cursor opened last: the rows, -1 when dynamic, 0 when closed.
    long long rowCountStatus() const;
    // CURSOR_STATUS: 1 rows (or dynamic), 0 none, -1 closed.
    int status() const;

    // WHERE CURRENT OF in a change of `table`: the row id of the row fetched
    // last, the columns a FOR UPDATE OF list allows checked. 16929 for a
    // read-only cursor, 16933 for a table the cursor does not read, 16930
    // with no row fetched, 16932 for a column outside FOR UPDATE OF.
    Variant currentRowId(const QString& table, const QStringList& changedColumns) const;

private:
    // The row at `index` as it is now; nullopt when it is gone (or, with
    // `qualifying`, no longer matches the query).
    std::optional<std::vector<Variant>> rowAt(std::size_t index, bool qualifying,
                                              const CursorQueryRunner& run) const;
    Fetched fetchKept(long long target, const CursorQueryRunner& run);
    Fetched fetchDynamic(FetchDirection direction, long long offset, const CursorQueryRunner& run);
    CursorSensitivity sensitivity() const;
    long long size() const;

    QString m_name;
    CursorOptions m_options;
    tsql::Tokens m_query;
    std::optional<KeyedQuery> m_keyed; // while open, when its rows can be found again
    bool m_open = false;
    std::vector<ColumnInfo> m_columns;
    std::vector<std::vector<Variant>> m_rows; // a static cursor's copy
    std::vector<std::vector<Variant>> m_keys; // a keyed cursor's row ids
    long long m_position = -1;                // -1 before the first row, size() after the last
    QString m_database;
};

// The cursors a scope names: the connection's global ones, or a batch's,
// procedure's or trigger's local ones (compared ignoring case). A cursor
// lives while a name or a cursor variable holds it.
class CursorNames {
public:
    std::shared_ptr<Cursor> find(const QString& name) const;
    // 16915 when the name is taken.
    void add(std::shared_ptr<Cursor> cursor);
    // Whether the name was there.
    bool remove(const QString& name);

private:
    QHash<QString, std::shared_ptr<Cursor>> m_cursors; // by lower-case name
};

} // namespace estaciones::db::sqlite
