#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/sqlite/LruCache.h"

#include <QByteArray>

#include <cstddef>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace estaciones::db::sqlite {

class StatementCache;

// A statement lent by the cache (or prepared for one use): on destruction it
// is reset, its values unbound and given back, so that it never holds a
// read snapshot open between uses.
class LentStatement {
public:
    LentStatement() = default;
    ~LentStatement();
    LentStatement(LentStatement&& other) noexcept;
    LentStatement& operator=(LentStatement&& other) noexcept;
    LentStatement(const LentStatement&) = delete;
    LentStatement& operator=(const LentStatement&) = delete;

    sqlite3_stmt* handle() const { return m_statement; }

    // The result columns described for this statement before, while SQLite
    // has not prepared it again since (a schema change); null otherwise.
    std::shared_ptr<const std::vector<ColumnInfo>> describedColumns() const;
    // Keeps `columns` with the statement; only a description that does not
    // depend on the rows (no column typed by its first value) may be kept.
    void keepDescribedColumns(std::shared_ptr<const std::vector<ColumnInfo>> columns);

private:
    friend class StatementCache;
    void release();

    sqlite3_stmt* m_statement = nullptr;
    StatementCache* m_owner = nullptr; // null: finalized when done
    QByteArray m_key;
    int m_consumed = 0;
    std::shared_ptr<const std::vector<ColumnInfo>> m_columns;
    int m_columnsPreparation = 0; // SQLite's count of its own preparations when described
};

// The prepared statements of one connection by the text they were prepared
// from, the ones used longest ago finalized first. Only queries and data
// statements are kept: SQLite prepares them again by itself when the schema
// changed (also by another connection), so a kept statement never runs an
// old plan. Schema statements and transaction control are prepared each time.
class StatementCache {
public:
    explicit StatementCache(std::size_t capacity = 256) : m_entries(capacity) {}
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // sqlite3_prepare_v2 of the first statement in [text, text + length),
    // or the one kept for the same text; *tail is where it ended. `out` is
    // empty when only blanks or comments were left.
    int prepare(sqlite3* db, const char* text, int length, LentStatement& out, const char** tail);

    // Finalizes every kept statement (before the connection closes).
    void clear() { m_entries.clear(); }

    // The cache of an open connection, for code that has only its handle (the
    // engine's SQL functions, the catalogue's look-ups); null for a handle
    // that has none. A connection's owner names its cache while it is open.
    static StatementCache* of(sqlite3* db);
    static void name(sqlite3* db, StatementCache* cache);
    static void forget(sqlite3* db);
    std::size_t size() const { return m_entries.size(); }

private:
    friend class LentStatement;
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };
    struct Entry {
        std::unique_ptr<sqlite3_stmt, Finalize> statement;
        int consumed = 0; // bytes of the key the statement took
        std::shared_ptr<const std::vector<ColumnInfo>> columns;
        int columnsPreparation = 0;
    };
    void giveBack(LentStatement& lent, sqlite3_stmt* statement);

    LruCache<QByteArray, Entry> m_entries;
};

} // namespace estaciones::db::sqlite
