#include "platform/db/embedded/functions/LookupStatements.h"

#include <sqlite3.h>

#include <QHash>

#include <mutex>
#include <unordered_map>
#include <utility>

namespace estaciones::db::tsql {

namespace {
// Look-ups are texts of this stage, few and fixed; beyond this many a
// connection compiles the rest each time.
constexpr std::size_t kKeptPerConnection = 64;

struct Kept {
    QHash<QString, sqlite3_stmt*> statements;
};

std::mutex keptMutex;
std::unordered_map<sqlite3*, Kept>& keptByConnection() {
    static std::unordered_map<sqlite3*, Kept> kept;
    return kept;
}
} // namespace

void keepLookupsFor(sqlite3* db) {
    const std::lock_guard lock(keptMutex);
    keptByConnection().try_emplace(db);
}

void dropLookupsOf(sqlite3* db) {
    const std::lock_guard lock(keptMutex);
    const auto found = keptByConnection().find(db);
    if (found == keptByConnection().end())
        return;
    for (sqlite3_stmt* statement : std::as_const(found->second.statements))
        sqlite3_finalize(statement);
    keptByConnection().erase(found);
}

LookupStatement::LookupStatement(sqlite3* db, const QString& sql) {
    {
        const std::lock_guard lock(keptMutex);
        const auto connection = keptByConnection().find(db);
        if (connection != keptByConnection().end()) {
            auto& statements = connection->second.statements;
            const auto found = statements.constFind(sql);
            if (found != statements.cend() && !sqlite3_stmt_busy(*found)) {
                m_statement = *found;
                m_kept = true;
                return;
            }
            if (found == statements.cend() && std::size_t(statements.size()) < kKeptPerConnection) {
                sqlite3_stmt* statement = nullptr;
                if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) ==
                        SQLITE_OK &&
                    statement) {
                    statements.insert(sql, statement);
                    m_statement = statement;
                    m_kept = true;
                    return;
                }
                sqlite3_finalize(statement);
            }
        }
    }
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

LookupStatement::~LookupStatement() {
    if (!m_kept) {
        sqlite3_finalize(m_statement);
        return;
    }
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

} // namespace estaciones::db::tsql
