#pragma once

#include "platform/db/Engine.h"
#include "platform/db/embedded/sqlite/LruCache.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
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
    QString m_schemaStamp; // the schema it was prepared for
    int m_consumed = 0;
    std::shared_ptr<const std::vector<ColumnInfo>> m_columns;
    int m_columnsPreparation = 0; // SQLite's count of its own preparations when described
};

// The prepared statements of one connection by the text they were prepared
// from, the ones used longest ago finalized first. Only queries and data
// statements are kept: SQLite prepares them again by itself when the schema
// changed (also by another connection), so a kept statement never runs an
// old plan. One lent after a schema change is prepared again first, as its
// description of the columns (their declared types) is the old schema's until
// it runs. Schema statements and transaction control are prepared each time.
class StatementCache {
public:
    // `schemaStamp` tells the connection's schema (SqliteDatabase::schemaStamp).
    explicit StatementCache(std::function<QString()> schemaStamp, std::size_t capacity = 256)
        : m_schemaStamp(std::move(schemaStamp)), m_entries(capacity) {}
    ~StatementCache() { clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // sqlite3_prepare_v2 of the first statement in [text, text + length),
    // or the one kept for the same text; *tail is where it ended. `out` is
    // empty when only blanks or comments were left.
    int prepare(sqlite3* db, const char* text, int length, LentStatement& out, const char** tail);

    // Finalizes every kept statement (before the connection closes).
    void clear() { m_entries.clear(); }

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
        QString schemaStamp; // when it was prepared
    };
    void giveBack(LentStatement& lent, sqlite3_stmt* statement);

    std::function<QString()> m_schemaStamp;
    LruCache<QByteArray, Entry> m_entries;
};

} // namespace estaciones::db::sqlite
