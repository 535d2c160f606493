#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include "platform/db/embedded/sqlite/SqliteDatabase.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

PreparedStatement::PreparedStatement(sqlite3* db, const QString& text) : m_db(db) {
    const QByteArray utf8 = text.toUtf8();
    if (SqliteDatabase* database = SqliteDatabase::of(db)) {
        StatementCache* cache = &database->statements();
        const char* tail = nullptr;
        m_prepareCode = cache->prepare(db, utf8.constData(), static_cast<int>(utf8.size()), m_lent, &tail);
        m_stmt = m_lent.handle();
        return;
    }
    m_prepareCode =
        sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt, nullptr);
}

PreparedStatement::~PreparedStatement() {
    if (!m_lent.handle()) {
        sqlite3_finalize(m_stmt);
    }
}

int PreparedStatement::step() {
    return sqlite3_step(m_stmt);
}

void PreparedStatement::bindText(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

void PreparedStatement::bindInt(int index, long long value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

} // namespace estaciones::db::sqlite
