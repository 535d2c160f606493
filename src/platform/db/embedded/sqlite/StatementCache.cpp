#include "platform/db/embedded/sqlite/StatementCache.h"

#include <sqlite3.h>

#include <utility>

namespace estaciones::db::sqlite {

namespace {

// Statements whose plan SQLite redoes itself after a schema change and that
// change nothing but rows: safe to keep between uses.
bool isKept(sqlite3_stmt* statement) {
    const char* text = sqlite3_sql(statement);
    while (text && (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n' ||
                    *text == '(')) {
        ++text;
    }
    if (!text) {
        return false;
    }
    for (const char* verb : {"SELECT", "INSERT", "UPDATE", "DELETE", "WITH", "VALUES"}) {
        const int length = static_cast<int>(qstrlen(verb));
        if (qstrnicmp(text, verb, length) == 0 &&
            !(QChar::fromLatin1(text[length]).isLetterOrNumber() || text[length] == '_')) {
            return true;
        }
    }
    return false;
}

} // namespace

void StatementCache::Finalize::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

LentStatement::~LentStatement() {
    release();
}

LentStatement::LentStatement(LentStatement&& other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)), m_owner(other.m_owner),
      m_key(std::move(other.m_key)), m_schemaStamp(std::move(other.m_schemaStamp)),
      m_consumed(other.m_consumed),
      m_columns(std::move(other.m_columns)), m_columnsPreparation(other.m_columnsPreparation) {}

LentStatement& LentStatement::operator=(LentStatement&& other) noexcept {
    if (this != &other) {
        release();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_owner = other.m_owner;
        m_key = std::move(other.m_key);
        m_schemaStamp = std::move(other.m_schemaStamp);
        m_consumed = other.m_consumed;
        m_columns = std::move(other.m_columns);
        m_columnsPreparation = other.m_columnsPreparation;
    }
    return *this;
}

namespace {
// How many times SQLite prepared the statement again by itself (after a
// schema change, also by another connection).
int preparationsOf(sqlite3_stmt* statement) {
    return sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
}
} // namespace

std::shared_ptr<const std::vector<ColumnInfo>> LentStatement::describedColumns() const {
    if (!m_statement || !m_columns || preparationsOf(m_statement) != m_columnsPreparation) {
        return nullptr;
    }
    return m_columns;
}

void LentStatement::keepDescribedColumns(std::shared_ptr<const std::vector<ColumnInfo>> columns) {
    if (!m_statement || !m_owner) {
        return; // finalized after this use: nothing to keep it with
    }
    m_columns = std::move(columns);
    m_columnsPreparation = preparationsOf(m_statement);
}

void LentStatement::release() {
    sqlite3_stmt* statement = std::exchange(m_statement, nullptr);
    if (!statement) {
        return;
    }
    if (!m_owner) {
        sqlite3_finalize(statement);
        return;
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    m_owner->giveBack(*this, statement);
}

void StatementCache::giveBack(LentStatement& lent, sqlite3_stmt* statement) {
    Entry entry;
    entry.statement.reset(statement);
    entry.consumed = lent.m_consumed;
    entry.columns = std::move(lent.m_columns);
    entry.columnsPreparation = lent.m_columnsPreparation;
    entry.schemaStamp = std::move(lent.m_schemaStamp);
    m_entries.put(lent.m_key, std::move(entry));
}

int StatementCache::prepare(sqlite3* db, const char* text, int length, LentStatement& out,
                            const char** tail) {
    out = LentStatement();
    // Looked up without copying the text; copied only when kept.
    const QByteArray probe = QByteArray::fromRawData(text, length);
    const QString stamp = m_schemaStamp ? m_schemaStamp() : QString();
    if (std::optional<Entry> kept = m_entries.take(probe); kept && kept->schemaStamp == stamp) {
        out.m_statement = kept->statement.release();
        out.m_schemaStamp = stamp;
        out.m_owner = this;
        out.m_key = QByteArray(text, length);
        out.m_consumed = kept->consumed;
        out.m_columns = std::move(kept->columns);
        out.m_columnsPreparation = kept->columnsPreparation;
        *tail = text + kept->consumed;
        return SQLITE_OK;
    }
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, text, length, &statement, tail);
    if (rc != SQLITE_OK || !statement) {
        sqlite3_finalize(statement);
        return rc;
    }
    out.m_statement = statement;
    if (isKept(statement)) {
        out.m_owner = this;
        out.m_key = QByteArray(text, length);
        out.m_consumed = static_cast<int>(*tail - text);
        out.m_schemaStamp = stamp;
    }
    return SQLITE_OK;
}

} // namespace estaciones::db::sqlite
