#include "platform/db/embedded/catalog/ViewDefinitions.h"

#include "platform/db/embedded/functions/SchemaFunctions.h"
#include "platform/db/embedded/sqlite/PreparedStatement.h"

#include <sqlite3.h>

namespace estaciones::db::sqlite {

namespace {

QString viewTableName() {
    return QString::fromLatin1(tsql::viewTable);
}

} // namespace

ViewDefinitions::ViewDefinitions(SqliteDatabase& database) : m_database(database) {}

void ViewDefinitions::write(const QString& sql, const QStringList& values) {
    // A file opened before the table existed gets it now.
    m_database.run(QString::fromLatin1(tsql::viewTableSql));
    PreparedStatement statement(m_database.handle(), sql);
    for (int k = 0; k < values.size(); ++k) {
        statement.bindText(k + 1, values[k]);
    }
    if (!statement.ok() || statement.step() != SQLITE_DONE) {
        throw ProviderFailure({m_database.lastError(sql)});
    }
}

void ViewDefinitions::store(const QString& view, const QString& definition) {
    write(QStringLiteral("INSERT OR REPLACE INTO %1 (name, definition) VALUES (?1, ?2)")
              .arg(viewTableName()),
          {view, definition});
}

std::optional<QString> ViewDefinitions::find(const QString& view) const {
    if (!m_database.hasTable(viewTableName())) {
        return std::nullopt;
    }
    PreparedStatement query(
        m_database.handle(),
        QStringLiteral("SELECT definition FROM %1 WHERE name = ?1").arg(viewTableName()));
    query.bindText(1, view);
    if (!query.ok() || query.step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query.handle(), 0)));
}

void ViewDefinitions::forget(const QString& view) {
    if (m_database.hasTable(viewTableName())) {
        write(QStringLiteral("DELETE FROM %1 WHERE name = ?1").arg(viewTableName()), {view});
    }
}

void ViewDefinitions::rename(const QString& view, const QString& newName) {
    if (m_database.hasTable(viewTableName())) {
        write(QStringLiteral("UPDATE %1 SET name = ?2 WHERE name = ?1").arg(viewTableName()),
              {view, newName});
    }
}

} // namespace estaciones::db::sqlite
